# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# cmake -DTEMPLATE=<html> -DOUTPUT=<html> -DPAGE_STYLE=<css> -DNOTE_STYLE=<css>
#       -DSCRIPTS=<js>|<js>|... -P TavrikPackPage.cmake
# Writes the editor page as one file, so it loads without a further request: the template's
# @PAGE_STYLE@, @NOTE_STYLE@ and @PAGE_SCRIPT@ become the style sheets and the scripts (joined
# in the order given), and @PAGE_SCRIPT_HASH@ the base64 SHA-256 of that script, which the
# page's content policy names as the only script allowed to run.
cmake_minimum_required(VERSION 3.25)

# Base64 of the bytes a hexadecimal text spells.
function(hex_to_base64 hex out)
    set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
    string(LENGTH "${hex}" length)
    set(encoded "")
    set(offset 0)
    while(offset LESS length)
        string(SUBSTRING "${hex}" ${offset} 6 group)
        string(LENGTH "${group}" digits)
        math(EXPR bytes "${digits} / 2")
        math(EXPR value "0x${group} << (8 * (3 - ${bytes}))")
        math(EXPR chars "${bytes} + 1")
        set(index 0)
        foreach(shift 18 12 6 0)
            if(index LESS chars)
                math(EXPR sextet "(${value} >> ${shift}) & 63")
                string(SUBSTRING "${alphabet}" ${sextet} 1 char)
                string(APPEND encoded "${char}")
            else()
                string(APPEND encoded "=")
            endif()
            math(EXPR index "${index} + 1")
        endforeach()
        math(EXPR offset "${offset} + 6")
    endwhile()
    set(${out} "${encoded}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" scripts "${SCRIPTS}")
set(script "")
foreach(input IN LISTS scripts)
    file(READ "${input}" content)
    string(APPEND script "${content}\n")
endforeach()
# The HTML parser turns CR LF into LF, and the hash must be of the text it hands to the engine.
string(REPLACE "\r" "" script "${script}")
# Inline text ends at its closing tag, so neither may name the tag it sits in.
function(require_no_tag text tag what)
    string(TOLOWER "${text}" lowered)
    string(FIND "${lowered}" "<${tag}" opening)
    string(FIND "${lowered}" "</${tag}" closing)
    if(NOT opening EQUAL -1 OR NOT closing EQUAL -1)
        message(FATAL_ERROR "${what} contains a ${tag} tag and cannot go inline")
    endif()
endfunction()
require_no_tag("${script}" script "a page script")

string(SHA256 digest "${script}")
hex_to_base64(${digest} hash)
file(READ "${PAGE_STYLE}" page_style)
file(READ "${NOTE_STYLE}" note_style)
require_no_tag("${page_style}" style "the page's style sheet")
require_no_tag("${note_style}" style "the note's style sheet")
file(READ "${TEMPLATE}" page)
string(REPLACE "@PAGE_SCRIPT_HASH@" "${hash}" page "${page}")
string(REPLACE "@PAGE_STYLE@" "${page_style}" page "${page}")
string(REPLACE "@NOTE_STYLE@" "${note_style}" page "${page}")
string(REPLACE "@PAGE_SCRIPT@" "${script}" page "${page}")
file(WRITE "${OUTPUT}.part" "${page}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
