# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# module_of(<file> <out>): the script in <file> as "load(function (module, exports) {...})" for a
# bundle of the page that defines load(). A "<script" or "</script" inside it is written
# "\x3Cscript", which reads the same in a pattern or a string and keeps the inline page script
# whole.
function(module_of file out)
    file(READ "${file}" source)
    string(REPLACE "<script" "\\x3Cscript" source "${source}")
    string(REPLACE "</script" "\\x3C/script" source "${source}")
    set(${out} "load(function (module, exports) {\n${source}\n})" PARENT_SCOPE)
endfunction()
