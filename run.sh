#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job with the
# tqrvn tool.  Arguments are passed to tqrvn; without them it prints the
# friction and water-property report.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
tqrvn_install_packages
tqrvn_build "$tqrvn_root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ $# -eq 0 ]; then
    set -- report
fi
exec "$tqrvn_root/build/tools/tqrvn" "$@"
