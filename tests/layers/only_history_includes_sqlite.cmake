# SPDX-License-Identifier: MIT
# Only src/history includes SQLite: any other source file that includes its header fails this.
# Usage: cmake -DSOURCE_DIR=<src> -P only_history_includes_sqlite.cmake
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(offenders)
foreach(source IN LISTS sources)
    if(NOT source MATCHES "^history/")
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]sqlite3")
        if(includes)
            list(APPEND offenders src/${source})
        endif()
    endif()
endforeach()
if(offenders)
    message(FATAL_ERROR "only src/history may include SQLite: ${offenders}")
endif()
