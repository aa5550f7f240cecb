# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# cmake -DCONVERTER=<qwebengine_convert_dict> -DSOURCE=<dic> -DOUTPUT=<bdic> -DSTAMP=<file>
#       -P TavrikConvertDictionary.cmake
# Converts one Hunspell dictionary into the browser engine's format. A failed conversion
# leaves no dictionary behind and says so in one line; the build goes on, and the editor
# then offers no spell checking in that language.
cmake_minimum_required(VERSION 3.25)

get_filename_component(language "${OUTPUT}" NAME_WE)
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${CONVERTER}" "${SOURCE}" "${OUTPUT}.part"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0 AND EXISTS "${OUTPUT}.part")
    file(RENAME "${OUTPUT}.part" "${OUTPUT}")
else()
    file(REMOVE "${OUTPUT}.part")
    string(REGEX REPLACE "[\r\n]+" " " output "${output}")
    string(STRIP "${output}" output)
    if(output)
        set(output ": ${output}")
    endif()
    message("Spell checking in ${language} is off: converting ${SOURCE} failed (${result})${output}")
endif()
file(TOUCH "${STAMP}")
