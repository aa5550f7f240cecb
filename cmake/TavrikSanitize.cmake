# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# Applies TAVRIK_SANITIZE and TAVRIK_FUZZ to every target of the build.
if(TAVRIK_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(TAVRIK_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT TAVRIK_SANITIZE STREQUAL "")
    message(FATAL_ERROR "TAVRIK_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(TAVRIK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TAVRIK_FUZZ needs clang (libFuzzer)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
