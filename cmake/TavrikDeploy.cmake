# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# Ships the editor's program files beside a program that shows the editor: the page
# (zveditor/), the spelling dictionaries the browser engine reads (qtwebengine_dictionaries/)
# and the icons and pictures (res/). They are copied from TavrikEditor_DATA_DIR: the staged
# <build>/page in TavrikEditor's own build, <prefix>/share/TavrikEditor for a host that found
# the installed package.

# tavrik_deploy_page(<target>): copies zveditor/ and qtwebengine_dictionaries/ beside the
# executable of <target> whenever they change, not only when the target relinks.
function(tavrik_deploy_page target)
    set(from ${TavrikEditor_DATA_DIR})
    set(to $<TARGET_FILE_DIR:${target}>)
    if(TARGET tavrik_page)
        set(inputs ${from}/zveditor/.staged tavrik_page ${TAVRIK_DICTIONARY_STAMPS}
            tavrik_dictionaries)
    elseif(EXISTS ${from}/zveditor/index.html)
        file(GLOB inputs ${from}/zveditor/* ${from}/qtwebengine_dictionaries/*)
    else()
        message(FATAL_ERROR "tavrik_deploy_page(${target}): the editor page "
            "${from}/zveditor/index.html is missing from the TavrikEditor installation")
    endif()
    set(copy_dictionaries "")
    if(EXISTS ${from}/qtwebengine_dictionaries)
        set(copy_dictionaries COMMAND ${CMAKE_COMMAND} -E copy_directory
            ${from}/qtwebengine_dictionaries ${to}/qtwebengine_dictionaries)
    endif()
    set(deployed ${CMAKE_CURRENT_BINARY_DIR}/${target}_page.deployed)
    add_custom_command(OUTPUT ${deployed}
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${from}/zveditor ${to}/zveditor
        ${copy_dictionaries}
        COMMAND ${CMAKE_COMMAND} -E touch ${deployed}
        DEPENDS ${inputs}
        COMMENT "Deploying the editor page beside ${target}"
        VERBATIM)
    add_custom_target(${target}_page DEPENDS ${deployed})
    add_dependencies(${target} ${target}_page)
endfunction()

# tavrik_deploy_res(<target> [<folder>]): copies res/ to <folder>/res, by default beside the
# executable of <target>, after each build of <target>.
function(tavrik_deploy_res target)
    if(ARGC GREATER 1)
        set(folder ${ARGV1})
    else()
        set(folder $<TARGET_FILE_DIR:${target}>)
    endif()
    if(TARGET tavrik_res)
        add_dependencies(${target} tavrik_res)
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${TavrikEditor_DATA_DIR}/res ${folder}/res
        VERBATIM)
endfunction()

# tavrik_deploy(<target>): both, so the program finds everything the editor needs beside it.
function(tavrik_deploy target)
    tavrik_deploy_page(${target})
    tavrik_deploy_res(${target})
endfunction()
