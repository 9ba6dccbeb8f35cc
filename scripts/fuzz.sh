#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (fuzzer + ASan + UBSan) into
# build-fuzz/ and runs each for a bounded time. A crash, a sanitizer report or a broken
# property fails the script and leaves the input that did it in build-fuzz/crashes/.
# FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh" clang libclang-rt-14-dev
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-20}"

CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
ninja -C "$build"

# Seeds: the first byte 'x' makes the rest read as UTF-8.
seed() { printf 'x%s' "$2" > "$build/corpus/$1/$(printf '%s' "$2" | sha1sum | cut -c1-16)"; }
for target in fuzz_numeric fuzz_int16 fuzz_tempedit; do
  mkdir -p "$build/corpus/$target"
  for text in "36.5" "３６．５" " -12.5 " "+.5" "1." "1e5" "--1" "." "30" "　３０　" \
              "99999999999999999999" "0.5" "1.5" "2.5" "-2.5" "32767.5" "-32768.5" "😀" "365😀"; do
    seed "$target" "$text"
  done
done
mkdir -p "$build/crashes"

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
for target in fuzz_numeric fuzz_int16 fuzz_tempedit; do
  echo "== $target: ${seconds}s"
  "$build/$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$target-" "$build/corpus/$target" 2>&1 \
    | grep -E '^(stat::|==|property broken|SUMMARY|#[0-9]+ +DONE)|ERROR|Done' || true
  # The pipe hides the fuzzer's exit status: a crash leaves an artifact behind.
  if compgen -G "$build/crashes/$target-*" >/dev/null; then
    echo "$target found a failing input:" >&2
    ls "$build/crashes/$target-"* >&2
    exit 1
  fi
done
