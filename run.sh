#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job with the
# tqrvn tool.  Arguments are passed to tqrvn; without them it sizes an example
# heating branch on the default catalog.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
tqrvn_install_packages
tqrvn_build "$tqrvn_root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ $# -eq 0 ]; then
    set -- size --load 15 kW --dt 10 --temp 60 --length 25 --fitting 弯头=2 --fitting 闸阀=1
fi
exec "$tqrvn_root/build/tools/tqrvn" "$@"
