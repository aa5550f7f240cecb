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
# The store tool runs from the prefix.
run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib:${prefix}/lib64:$ENV{LD_LIBRARY_PATH}
    ${prefix}/bin/tavrik-store --version)
