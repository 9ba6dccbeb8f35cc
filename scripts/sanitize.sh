#!/usr/bin/env bash
# Builds the program and its tests with ASan+UBSan into build-asan/ and runs the suite.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
BUILD_DIR="$root/build-asan" BUILD_TYPE=Debug "$root/scripts/build.sh" \
  -DNERINA_SANITIZE=ON -DNERINA_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cd "$root/build-asan"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
