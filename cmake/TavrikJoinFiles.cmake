# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# cmake -DOUTPUT=<file> -DINPUTS=<file>|<file>|... -P TavrikJoinFiles.cmake
# Writes the input files one after the other into OUTPUT, each followed by a line break.
string(REPLACE "|" ";" inputs "${INPUTS}")
set(joined "")
foreach(input IN LISTS inputs)
    file(READ "${input}" content)
    string(APPEND joined "${content}\n")
endforeach()
file(WRITE "${OUTPUT}.part" "${joined}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
