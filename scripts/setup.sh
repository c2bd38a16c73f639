# Shared set-up of run.sh and test.sh: installs the missing Debian packages
# and configures and builds one build tree.  Quiet unless something is done
# or fails.  Source it; it defines tqrvn_install_packages and tqrvn_build.

tqrvn_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

tqrvn_install_packages() {
    local wanted missing=()
    mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$tqrvn_root/scripts/debian-packages.txt")
    for p in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    local log
    log=$(mktemp)
    if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "Package installation failed." >&2
        return 1
    fi
    rm -f "$log"
}

# tqrvn_build DIR [cmake options...]: configures DIR once, then builds it.
tqrvn_build() {
    local dir=$1
    shift
    local log
    log=$(mktemp)
    if [ ! -f "$dir/build.ninja" ]; then
        if ! cmake -S "$tqrvn_root" -B "$dir" -G Ninja "$@" >"$log" 2>&1; then
            cat "$log" >&2
            rm -f "$log"
            echo "Configuring $dir failed." >&2
            return 1
        fi
    fi
    if ! cmake --build "$dir" -- --quiet >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "Building $dir failed." >&2
        return 1
    fi
    rm -f "$log"
}
