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

# Each window at the size it opens with: wide enough for every column and count.
shot() {
    local file=$1
    shift
    xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$program" --catalog "$catalog" --screenshot "$out/$file" "$@"
    echo "$out/$file"
}
shot catalog.png
shot pipe-water.png --dialog pipe1
shot pipe-plastic.png --dialog pipe2
shot pipe-all.png --dialog pipe0
shot duct.png --dialog duct
shot water.png --dialog water
shot steam.png --dialog steam
shot valve.png --dialog valve
