# SPDX-License-Identifier: MIT
# One target per source folder, and an include path that holds only what a target links.
#
# Sources include headers by their folder ("xml/CDoXML.h"). Each target gets an include root of
# its own in the build tree that holds links to the headers of its own folder only (not of the
# folders below it, which are targets of their own), so that a file sees a header only when its
# target links the target of that header's folder: an include that climbs a floor, or reaches
# sideways, does not compile.

set(QIF2LDX_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include)

# qif2ldx_layer(<target> <folder under src/> [HEADER_ONLY] [SOURCES ...] [PUBLIC ...]
#               [PRIVATE ...])
function(qif2ldx_layer target folder)
    cmake_parse_arguments(ARG "HEADER_ONLY" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    set(source ${PROJECT_SOURCE_DIR}/src/${folder})
    set(root ${QIF2LDX_INCLUDE_ROOTS}/${target})
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${source} ${source}/*.h)
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header IN LISTS headers)
        file(CREATE_LINK ${source}/${header} ${root}/${folder}/${header} SYMBOLIC)
    endforeach()
    if(ARG_HEADER_ONLY)
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${root})
        target_link_libraries(${target} INTERFACE ${ARG_PUBLIC})
        return()
    endif()
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE} qif2ldx_warnings)
endfunction()
