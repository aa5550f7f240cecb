#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 TavrikEditor developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# `./tavrik bench` runs every benchmark program of the build and nothing else: the build
# also leaves bench_*_autogen folders (and may leave other files) beside the programs.
set -u
tavrik=$1
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
mkdir -p "$build/bench/bench_one_autogen" "$build/bench/bench_two_autogen/include"
printf '#!/bin/sh\necho "BENCH one value=1 goal<=2 PASS"\n' >"$build/bench/bench_one"
printf '#!/bin/sh\necho "BENCH two value=1 goal<=2 PASS"\n' >"$build/bench/bench_two"
printf 'not a program\n' >"$build/bench/bench_notes.txt"
chmod +x "$build/bench/bench_one" "$build/bench/bench_two"

out=$(TAVRIK_BUILD_DIR=$build "$tavrik" bench --no-build 2>&1)
status=$?
expected=$'BENCH one value=1 goal<=2 PASS\nBENCH two value=1 goal<=2 PASS'
if [ $status -ne 0 ] || [ "$out" != "$expected" ]; then
    printf 'expected status 0 and:\n%s\ngot status %d and:\n%s\n' "$expected" $status "$out"
    exit 1
fi

# A failing benchmark still makes the whole run fail, after the others ran.
printf '#!/bin/sh\necho "BENCH one value=3 goal<=2 FAIL"\nexit 1\n' >"$build/bench/bench_one"
out=$(TAVRIK_BUILD_DIR=$build "$tavrik" bench --no-build 2>&1)
status=$?
if [ $status -eq 0 ] || [[ "$out" != *"BENCH two"* ]]; then
    printf 'expected a failing run that still ran bench_two, got status %d and:\n%s\n' $status "$out"
    exit 1
fi
