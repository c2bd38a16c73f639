#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# in a normal build and in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer.  A private PostgreSQL server serves the cases
# that run against a catalog server; it is stopped when the script ends,
# however it ends.  Exits non-zero when anything fails.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
source "$(dirname "$0")/scripts/postgres.sh"
tqrvn_install_packages
trap tqrvn_pg_stop EXIT
tqrvn_pg_start
jobs=$(nproc 2>/dev/null || echo 2)
status=0

tqrvn_build "$tqrvn_root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$tqrvn_root/build" --output-on-failure -j "$jobs" || status=1

tqrvn_build "$tqrvn_root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTQRVN_SANITIZE=ON \
    -DTQRVN_BUILD_BENCH=OFF
# Graphviz's own leaks at teardown are suppressed (tests/lsan-graphviz.supp).
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$tqrvn_root/tests/lsan-graphviz.supp":print_suppressions=0 \
    ctest --test-dir "$tqrvn_root/build-asan" --output-on-failure -j "$jobs" || status=1

exit $status
