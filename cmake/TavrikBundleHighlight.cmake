# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# cmake -DLIB=<highlight.js package>/lib -DOUTPUT=<js> -P TavrikBundleHighlight.cmake
# Writes highlight.js with its common languages as one script for the page: the package's core
# and each language its common.js registers, every module wrapped in a function that gets its
# own `module`. window.tavrikHighlighter() builds it on first use and gives it, so a page that
# never colours code does not pay for defining the languages. A "<script" inside a language's patterns
# is written "\x3Cscript", which reads the same in a pattern or a string and keeps the inline
# page script whole.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/TavrikScriptModule.cmake)

file(STRINGS "${LIB}/common.js" registrations REGEX "^hljs\\.registerLanguage\\(")
module_of("${LIB}/core.js" core)
string(CONCAT bundle "(function () {\n'use strict';\nlet made = null;\nwindow.tavrikHighlighter = function () {\nif (made)\n    return made;\n"
    "function load(factory) { const module = { exports: {} }; factory(module, module.exports); return module.exports; }\n"
    "const hljs = ${core};\n")
foreach(line IN LISTS registrations)
    if(NOT line MATCHES "^hljs\\.registerLanguage\\('([a-z0-9-]+)', require\\('\\./languages/([a-z0-9-]+)'\\)\\);$")
        message(FATAL_ERROR "highlight.js: unexpected line in common.js: ${line}")
    endif()
    module_of("${LIB}/languages/${CMAKE_MATCH_2}.js" language)
    string(APPEND bundle "hljs.registerLanguage('${CMAKE_MATCH_1}', ${language});\n")
endforeach()
string(APPEND bundle "made = hljs;\nreturn hljs;\n};\n})();\n")
file(WRITE "${OUTPUT}.part" "${bundle}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
