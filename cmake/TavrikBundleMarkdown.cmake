# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# cmake -DTURNDOWN=<turndown.browser.umd.js> -DMARKDOWN_IT=<markdown-it.js> -DOUTPUT=<js>
#       -P TavrikBundleMarkdown.cmake
# Writes turndown (HTML to Markdown) and markdown-it (Markdown to HTML) as one script for the
# page. Each package's browser build is wrapped in a function that gets its own `module`, so it
# defines nothing global; window.tavrikMarkdownLibraries() builds both on first use and gives
# {TurndownService, markdownit}, so a page that never converts does not pay for them.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/TavrikScriptModule.cmake)

module_of("${TURNDOWN}" turndown)
module_of("${MARKDOWN_IT}" markdownit)
string(CONCAT bundle "(function () {\n'use strict';\nlet made = null;\n"
    "window.tavrikMarkdownLibraries = function () {\nif (made)\n    return made;\n"
    "function load(factory) { const module = { exports: {} }; factory.call(module.exports, module, module.exports); return module.exports; }\n"
    "made = { TurndownService: ${turndown},\nmarkdownit: ${markdownit} };\n"
    "return made;\n};\n})();\n")
file(WRITE "${OUTPUT}.part" "${bundle}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
