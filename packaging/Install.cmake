# SPDX-License-Identifier: MIT
# What `cmake --install` and the Debian package put where. The program folder lib/qif2ldx holds
# the executable, the dialog and desktop modules, the help topics and the account list; bin/qif2ldx links to
# it.
set(QIF2LDX_PROGRAM_DIR lib/qif2ldx)

install(TARGETS qif2ldx RUNTIME DESTINATION ${QIF2LDX_PROGRAM_DIR} COMPONENT Runtime)
install(TARGETS qif2ldx-desktop LIBRARY DESTINATION ${QIF2LDX_PROGRAM_DIR} COMPONENT Runtime)
if(TARGET qif2ldx-dialog)
    install(TARGETS qif2ldx-dialog LIBRARY DESTINATION ${QIF2LDX_PROGRAM_DIR} COMPONENT Runtime)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help DESTINATION ${QIF2LDX_PROGRAM_DIR}
        COMPONENT Runtime)
install(CODE [[
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    file(CREATE_LINK ../lib/qif2ldx/qif2ldx "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/qif2ldx"
         SYMBOLIC)
]] COMPONENT Runtime)

install(FILES ${PROJECT_SOURCE_DIR}/data/qif2ldx.desktop DESTINATION share/applications
        COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/data/qif2ldx-statement.xml DESTINATION share/mime/packages
        COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/data/qif2ldx.svg
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/data/org.qif2ldx.qif2ldx.metainfo.xml
        DESTINATION share/metainfo COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/examples/olacclst.dat DESTINATION share/doc/qif2ldx/examples
        COMPONENT Runtime)

# The manual page and the Debian changelog go out compressed as Debian wants them: gzip at its
# best, without a name or a time stamp, so that two builds give the same bytes.
configure_file(${PROJECT_SOURCE_DIR}/data/qif2ldx.1 ${PROJECT_BINARY_DIR}/qif2ldx.1 @ONLY)
set(QIF2LDX_DEBIAN_REVISION 1)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog QIF2LDX_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT QIF2LDX_CHANGELOG_TOP MATCHES "^qif2ldx \\(${PROJECT_VERSION}-${QIF2LDX_DEBIAN_REVISION}\\) ")
    message(FATAL_ERROR "packaging/changelog has no entry for ${PROJECT_VERSION}-"
                        "${QIF2LDX_DEBIAN_REVISION}: add one above \"${QIF2LDX_CHANGELOG_TOP}\"")
endif()
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/qif2ldx.1.gz
    COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/qif2ldx.1 > ${PROJECT_BINARY_DIR}/qif2ldx.1.gz
    DEPENDS ${PROJECT_BINARY_DIR}/qif2ldx.1 VERBATIM)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.Debian.gz
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog
            > ${PROJECT_BINARY_DIR}/changelog.Debian.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(qif2ldx_compressed_docs ALL
    DEPENDS ${PROJECT_BINARY_DIR}/qif2ldx.1.gz ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${PROJECT_BINARY_DIR}/qif2ldx.1.gz DESTINATION share/man/man1 COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/data/qif2ldx.bash-completion
        DESTINATION share/bash-completion/completions RENAME qif2ldx COMPONENT Runtime)

# The account list belongs to the user: a plain install copies the example only where there is
# no list yet; the package keeps it as a configuration file in /etc, which upgrades never
# overwrite, linked from the program folder.
install(CODE "set(QIF2LDX_EXAMPLE_LIST \"${PROJECT_SOURCE_DIR}/examples/olacclst.dat\")"
        COMPONENT AccountList)
install(CODE [[
    set(list "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/qif2ldx/olacclst.dat")
    if(EXISTS "${list}" OR IS_SYMLINK "${list}")
        message(STATUS "Keeping: ${list}")
    else()
        file(INSTALL "${QIF2LDX_EXAMPLE_LIST}" DESTINATION
             "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/qif2ldx")
    endif()
]] COMPONENT AccountList)
install(FILES ${PROJECT_SOURCE_DIR}/examples/olacclst.dat DESTINATION /etc/qif2ldx
        COMPONENT SystemAccountList EXCLUDE_FROM_ALL)
install(CODE [[
    file(CREATE_LINK /etc/qif2ldx/olacclst.dat
         "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/qif2ldx/olacclst.dat" SYMBOLIC)
]] COMPONENT SystemAccountList EXCLUDE_FROM_ALL)
# What Debian asks of every package: its copyright in the machine-readable form and its changelog.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION share/doc/qif2ldx COMPONENT Debian EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION share/lintian/overrides
        RENAME qif2ldx COMPONENT Debian EXCLUDE_FROM_ALL)

# The Debian package: make package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qif2ldx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QIF2LDX_DEBIAN_REVISION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts QIF bank files into Lodestrand statements")
# Debian shows the description as it stands: lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "qif2ldx turns a bank or credit-card transaction file in QIF form into an OFX\n"
    "statement file (.LDX) and opens it in Lodestrand, the accounting application,\n"
    "for import. It offers one dialog, Import Bank Statement, and a command line\n"
    "for scripts.")
set(CPACK_PACKAGE_CONTACT "qif2ldx maintainers <maintainers@qif2ldx.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://qif2ldx.org/)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${PROJECT_SOURCE_DIR}/packaging/postinst;${PROJECT_SOURCE_DIR}/packaging/postrm;${PROJECT_SOURCE_DIR}/packaging/conffiles")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Runtime SystemAccountList Debian)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
