# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}")
    endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(installed include/TavrikEditor/TavrikEditor.h include/TavrikEditor/tavrik_export.h
        share/TavrikEditor/zveditor/index.html bin/tavrik-store)
    if(NOT EXISTS ${prefix}/${installed})
        message(FATAL_ERROR "not installed: ${installed}")
    endif()
endforeach()
# A host sees the public headers only: no private header, no type of a library it does not link
# (the XML parser, JsonCpp, GMime, OpenSSL).
file(GLOB_RECURSE headers ${prefix}/include/TavrikEditor/*.h)
foreach(header ${headers})
    file(READ ${header} text)
    if(header MATCHES "_p\\.h$" OR text MATCHES "libxml|xmlDoc|Json::|json/|GMime|gmime|EVP_|openssl|_p\\.h\"")
        message(FATAL_ERROR "private header or type installed: ${header}")
    endif()
endforeach()

# A host built from the installed package alone: nothing of this build or source tree on its
# include path or in its runtime search path.
set(consumer ${WORK_DIR}/consumer)
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${consumer} -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
run(${CMAKE_COMMAND} --build ${consumer})
file(READ ${consumer}/compile_commands.json compile)
string(REGEX MATCHALL "(-I|-isystem )[^ \"]+" includes "${compile}")
list(TRANSFORM includes REPLACE "^(-I|-isystem )" "")
find_program(READELF readelf REQUIRED)
execute_process(COMMAND ${READELF} -d ${consumer}/consumer OUTPUT_VARIABLE dynamic)
string(REGEX MATCHALL "Library r(un)?path: \\[[^]]*" search "${dynamic}")
string(REGEX REPLACE "Library r(un)?path: \\[" "" search "${search}")
string(REPLACE ":" ";" search "${search}")
if(NOT includes OR NOT search)
    message(FATAL_ERROR "no include path or runtime search path found:\n${compile}\n${dynamic}")
endif()
foreach(path IN LISTS includes search)
    cmake_path(IS_PREFIX prefix "${path}" NORMALIZE installed)
    cmake_path(IS_PREFIX BUILD_DIR "${path}" NORMALIZE in_build)
    cmake_path(IS_PREFIX SOURCE_DIR "${path}" NORMALIZE in_source)
    if(NOT installed AND (in_build OR in_source))
        message(FATAL_ERROR "the consumer is built or run with ${path} of the build or source tree")
    endif()
endforeach()
# tavrik_deploy() put the page, the dictionaries and res/ beside it.
foreach(deployed zveditor/index.html qtwebengine_dictionaries res/splitterbar.png res/word.bmp)
    if(NOT EXISTS ${consumer}/${deployed})
        message(FATAL_ERROR "not deployed beside the consumer: ${deployed}")
    endif()
endforeach()
# It shows a note on the deployed page, using the installed library.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=TAVRIK_APP_DIR
        QT_QPA_PLATFORM=offscreen ${consumer}/consumer
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "consumer (exit ${status}):\n${out}")
string(REGEX MATCH "library: ([^\n]*)" line "${out}")
set(library ${CMAKE_MATCH_1})
string(REGEX MATCH "page: ([^\n]*)" line "${out}")
set(page ${CMAKE_MATCH_1})
cmake_path(IS_PREFIX prefix "${library}" NORMALIZE from_prefix)
if(NOT status EQUAL 0 OR NOT from_prefix OR NOT page STREQUAL "${consumer}/zveditor/index.html"
        OR NOT out MATCHES "content: <p>A note from the <b>installed</b> package</p>\n")
    message(FATAL_ERROR "the consumer did not show its note from the deployed page with the "
        "installed library (exit ${status}):\n${out}${err}")
endif()
# The installed programs find the installed library by themselves.
run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${prefix}/bin/tavrik-store --help)
run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${prefix}/bin/tavrik-store --version)
if(NOT EXISTS ${prefix}/bin/tavrik-notes)
    return() # built without the demo
endif()
# The installed demo, with an empty application folder, finds its page and icons in the
# prefix and runs its tour; the application folder gets the user's data only.
set(appdir ${WORK_DIR}/appdir)
file(MAKE_DIRECTORY ${appdir})
set(demo ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH TAVRIK_APP_DIR=${appdir}
    QT_QPA_PLATFORM=offscreen ${prefix}/bin/tavrik-notes)
run(${demo} --tour ${WORK_DIR}/tour)
file(GLOB shots ${WORK_DIR}/tour/*.png)
file(GLOB appfiles RELATIVE ${appdir} ${appdir}/*)
if(NOT shots OR NOT appfiles STREQUAL "userdata;ZorvaEditor.log" AND NOT appfiles STREQUAL "ZorvaEditor.log;userdata")
    message(FATAL_ERROR "the installed tour made no screenshots or left <${appfiles}> in the application folder")
endif()
# Without its page it says so, and where it looked.
file(RENAME ${prefix}/share/TavrikEditor/zveditor ${WORK_DIR}/zveditor-away)
execute_process(COMMAND ${demo} --tour ${WORK_DIR}/tour2 RESULT_VARIABLE status ERROR_VARIABLE err)
string(FIND "${err}" "The editor page zveditor/index.html was not found, so notes cannot be shown. Tavrik Notes looked for it in:\n${prefix}/bin/\n${prefix}/share/TavrikEditor/\n" found)
if(NOT status EQUAL 1 OR found EQUAL -1)
    message(FATAL_ERROR "a missing page was not reported (exit ${status}):\n${err}")
endif()
