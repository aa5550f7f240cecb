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
# A host sees the public headers only: no private header, no third-party parser type.
file(GLOB_RECURSE headers ${prefix}/include/TavrikEditor/*.h)
foreach(header ${headers})
    file(READ ${header} text)
    if(header MATCHES "_p\\.h$" OR text MATCHES "libxml|_p\\.h\"")
        message(FATAL_ERROR "private header or type installed: ${header}")
    endif()
endforeach()
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib:${prefix}/lib64:$ENV{LD_LIBRARY_PATH}
    ${WORK_DIR}/consumer/consumer)
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
