#!/usr/bin/env bash
# Screenshots of the catalog dialogs on the default catalog, each taken under
# a virtual X server (Xvfb) and written to docs/screenshots/ as PNG.
#
#   tools/screenshots.sh [BUILD_DIR]    (default: build)
set -euo pipefail
source "$(dirname "$0")/../scripts/setup.sh"
tqrvn_install_packages
build=${1:-$tqrvn_root/build}
case $build in /*) ;; *) build=$PWD/$build ;; esac
tqrvn_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
program=$build/ui/tqrvn-catalog
catalog=$build/RVNDatasource.mdb
out=$tqrvn_root/docs/screenshots
mkdir -p "$out"

# Saved window placements and the runtime folder stay out of the user's home.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 700 "$scratch"
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch
unset QT_QPA_PLATFORM

shot() {
    local dialog=$1 file=$2 size=$3
    xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$program" --catalog "$catalog" --dialog "$dialog" --screenshot "$out/$file" --size "$size"
    echo "$out/$file"
}
# Enlarged from the template size so that every column shows in full.
shot pipe1 pipe-water.png 860x480
shot pipe2 pipe-plastic.png 860x480
shot pipe0 pipe-all.png 860x480
shot duct duct.png 432x460
shot water water.png 560x460
shot steam steam.png 620x460
shot valve valve.png 560x460
