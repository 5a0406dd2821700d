#!/usr/bin/env bash
# scripts/test and scripts/fuzz in a checkout whose path holds spaces and
# Japanese characters, reached through a link, one case per call:
#   checkout_test.sh REPOSITORY CASE SCRATCH_FOLDER
# The checkout holds the repository's scripts and CMake helpers around a
# small project of its own: two fuzz targets that build in seconds, and no
# tests; the packages are the machine's. Exit 77: the case cannot run here.
set -uo pipefail

repo=$1
case_name=$2
scratch=$3

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }
skip() { echo "skipped ($case_name): $*"; exit 77; }

command -v clang >/dev/null && command -v gcc >/dev/null && command -v ninja >/dev/null ||
  skip "needs clang, gcc and ninja"

rm -rf "$scratch"
checkout="$scratch/my projects 2/メイン"
mkdir -p "$checkout/scripts" "$checkout/cmake" "$checkout/fuzz/corpus/fuzz_plain" "$checkout/fuzz/corpus/fuzz_crash"
cp "$repo"/scripts/{test,fuzz,build-sanitized,run-lock} "$checkout/scripts/" || fail "no scripts in $repo"
cp "$repo/cmake/PlnTargets.cmake" "$checkout/cmake/"
: >"$checkout/scripts/install-packages"
cat >"$checkout/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(checkout C)
add_library(pln_warnings INTERFACE)
if(CMAKE_C_COMPILER_ID STREQUAL Clang)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
include(cmake/PlnTargets.cmake)
add_subdirectory(fuzz)
pln_write_fuzz_list()
# The targets the test command builds with g++ (and runs no tests of here).
if(NOT CMAKE_C_COMPILER_ID STREQUAL Clang)
  add_executable(two_storey_house fuzz/main.c)
  add_executable(example_tests fuzz/main.c)
endif()
CMAKE
# A list the test command cannot read: a target with no number of inputs,
# or none at all.
cat >"$checkout/fuzz/CMakeLists.txt" <<'CMAKE'
add_library(plain STATIC plain.c)
if(NOT DEFINED ENV{CHECKOUT_NO_TARGETS})
  pln_add_fuzz(fuzz_plain SOURCE plain.c CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/fuzz_plain RUNS 20)
  pln_add_fuzz(fuzz_crash SOURCE crash.c CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/fuzz_crash RUNS 20)
endif()
if(DEFINED ENV{CHECKOUT_BAD_RUNS})
  pln_add_fuzz(fuzz_bad SOURCE plain.c CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/fuzz_plain RUNS many)
endif()
CMAKE
echo 'int main(void) { return 0; }' >"$checkout/fuzz/main.c"
cat >"$checkout/fuzz/plain.c" <<'C'
#include <stddef.h>
#include <stdint.h>
int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return data == NULL && size > 0; }
C
cat >"$checkout/fuzz/crash.c" <<'C'
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 5 && memcmp(data, "crash", 5) == 0)
    abort();
  return 0;
}
C
echo plain >"$checkout/fuzz/corpus/fuzz_plain/one"
echo fine >"$checkout/fuzz/corpus/fuzz_crash/one"
# A path CMake cannot take (one holding a ";") is refused in one line,
# before anything is installed or built.
cp -a "$checkout" "$scratch/a;b"
(cd "$scratch/a;b" && scripts/${case_name%_command} >"$scratch/stdout" 2>&1)
rc=$?
[ "$rc" = 1 ] && [ "$(cat "$scratch/stdout")" = "the checkout's path $scratch/a;b holds a \";\", which CMake cannot take in a path; nothing was installed or built. Move the checkout to a path without one, or run the command through a link without one to it." ] ||
  fail "a checkout whose path holds a \";\" ($rc): $(cat "$scratch/stdout")"
[ ! -e "$scratch/a;b/build" ] || fail "a checkout whose path holds a \";\": a build folder was made"
ln -s "$scratch/my projects 2" "$scratch/link"
cd "$scratch/link/メイン" || fail "no checkout"
# The commands as put on PATH: a relative link to each, run from elsewhere.
mkdir "$scratch/bin"
ln -s "../link/メイン/scripts/test" "$scratch/bin/pln-test"
ln -s "../link/メイン/scripts/fuzz" "$scratch/bin/pln-fuzz"

case $case_name in
test_command)
  # Every target of the list is fuzzed, its corpus found, from a path the
  # list's reader must not split.
  scripts/test >"$scratch/stdout" 2>&1
  rc=$?
  [ "$rc" = 0 ] || fail "exit $rc: $(tail -5 "$scratch/stdout")"
  grep -qx "fuzzing fuzz_plain: 1 corpus inputs, then 20 new (seed [0-9]*)" "$scratch/stdout" &&
    grep -qx "fuzz: 2 passed, 0 failed" "$scratch/stdout" || fail "the fuzzing: $(grep fuzz "$scratch/stdout")"
  # The build is given the checkout's real path through the link, so a run
  # through the real path builds nothing again.
  "$scratch/my projects 2/メイン/scripts/test" >"$scratch/stdout" 2>&1
  rc=$?
  [ "$rc" = 0 ] && [ "$(grep -c "^ninja: no work to do" "$scratch/stdout")" = 2 ] ||
    fail "a run through the real path ($rc): $(grep -v "^fuzz" "$scratch/stdout" | tail -5)"
  # A second run waits for the one under way, saying so: the lock is held
  # until the run says it waits.
  rm -f "$scratch/go"
  flock -F build/test sh -c 'n=0; while [ ! -e "$0" ] && [ $n -lt 1200 ]; do sleep 0.05; n=$((n + 1)); done' "$scratch/go" &
  for _ in $(seq 1200); do flock -n build/test true || break; sleep 0.05; done
  scripts/test >"$scratch/stdout" 2>&1 &
  for _ in $(seq 1200); do grep -qs "^waiting for" "$scratch/stdout" && break; sleep 0.05; done
  touch "$scratch/go"
  wait $!
  rc=$?
  wait
  [ "$rc" = 0 ] && grep -qx "waiting for another run of the test or fuzz command in build/test to end (at most 20 s)" "$scratch/stdout" ||
    fail "a second run ($rc): $(head -3 "$scratch/stdout")"
  # A list it cannot read, or one that names no target, fails the run
  # saying so.
  CHECKOUT_BAD_RUNS=1 scripts/test >"$scratch/stdout" 2>&1
  rc=$?
  [ "$rc" = 1 ] && [ "$(tail -1 "$scratch/stdout")" = "cannot read the fuzz targets' list build/test/fuzz_targets.txt: \"fuzz/fuzz_bad fuzz/corpus/fuzz_plain many\" is not a program, a corpus folder and a number of new inputs" ] ||
    fail "a line without a number ($rc): $(tail -3 "$scratch/stdout")"
  (cd / && CHECKOUT_NO_TARGETS=1 PATH=$scratch/bin:$PATH pln-test) >"$scratch/stdout" 2>&1
  rc=$?
  [ "$rc" = 1 ] && [ "$(tail -1 "$scratch/stdout")" = "the fuzz targets' list build/test/fuzz_targets.txt names no target" ] ||
    fail "a list without a target ($rc): $(tail -3 "$scratch/stdout")"
  ;;
fuzz_command)
  # The named target alone, then a crash, listed with a command that
  # reproduces it from this path.
  scripts/fuzz 1 plain >"$scratch/stdout" 2>&1
  rc=$?
  [ "$rc" = 0 ] && grep -q "^fuzz: 1 targets, no crash" "$scratch/stdout" || fail "one target ($rc): $(tail -3 "$scratch/stdout")"
  (cd / && PATH=$scratch/bin:$PATH pln-fuzz 1 nosuch) >"$scratch/stdout" 2>&1
  rc=$?
  [ "$rc" = 2 ] && [ "$(tail -1 "$scratch/stdout")" = "no fuzz target named fuzz_nosuch" ] ||
    fail "an unknown target ($rc): $(tail -3 "$scratch/stdout")"
  printf crash >fuzz/corpus/fuzz_crash/crash
  scripts/fuzz 1 >"$scratch/stdout" 2>&1
  rc=$?
  [ "$rc" = 1 ] && grep -qx "Crashes found; reproduce each with:" "$scratch/stdout" || fail "a crash ($rc): $(tail -5 "$scratch/stdout")"
  reproduce=$(grep "^build/test/fuzz/fuzz_crash " "$scratch/stdout")
  [ "$(grep -c "^build/test/fuzz/" "$scratch/stdout")" = 1 ] && [ -n "$reproduce" ] ||
    fail "the crashes listed: $(cat "$scratch/stdout")"
  eval "$reproduce" >"$scratch/reproduced" 2>&1 && fail "the listed command does not crash: $reproduce"
  grep -q "deadly signal" "$scratch/reproduced" || fail "the listed command: $(tail -3 "$scratch/reproduced")"
  ;;
*)
  fail "no such case"
  ;;
esac
cd / && rm -rf "$scratch"
echo "ok ($case_name)"
