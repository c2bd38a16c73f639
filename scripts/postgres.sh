# A private PostgreSQL server for the test suite.  Source it; it defines
# tqrvn_pg_start and tqrvn_pg_stop.
#
# tqrvn_pg_start makes a database cluster in a new temporary folder as an
# unprivileged user (the server refuses to run as root), starts a server that
# listens only on a Unix socket in that folder, with password authentication,
# and exports TQRVN_TEST_POSTGRES, the connection string the test programs
# read.  tqrvn_pg_stop stops the server and removes the folder; test.sh calls
# it from a trap, so it runs also when a test fails or the run is cut short.

tqrvn_pg_bin() {
    local dir
    for dir in /usr/lib/postgresql/*/bin; do
        [ -x "$dir/initdb" ] && echo "$dir" && return 0
    done
    return 1
}

# Runs a command as the server's user.
tqrvn_pg_as() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
    else
        "$@"
    fi
}

tqrvn_pg_start() {
    local bin
    if ! bin=$(tqrvn_pg_bin); then
        echo "PostgreSQL is not installed: the server cases of the tests will be skipped." >&2
        return 0
    fi
    tqrvn_pg_dir=$(mktemp -d /tmp/tqrvn-pg-XXXXXX)
    chmod 755 "$tqrvn_pg_dir"
    local password
    password=$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')
    printf '%s\n' "$password" >"$tqrvn_pg_dir/pw"
    [ "$(id -u)" -eq 0 ] && chown -R nobody:nogroup "$tqrvn_pg_dir"
    if ! tqrvn_pg_as "$bin/initdb" -D "$tqrvn_pg_dir/data" -U tqrvn --pwfile="$tqrvn_pg_dir/pw" \
        --auth=scram-sha-256 -E UTF8 --locale=C >"$tqrvn_pg_dir/initdb.log" 2>&1; then
        cat "$tqrvn_pg_dir/initdb.log" >&2
        echo "initdb failed." >&2
        return 1
    fi
    rm -f "$tqrvn_pg_dir/pw"
    # Durability is not needed for tests: no synchronised writes.
    if ! tqrvn_pg_as "$bin/pg_ctl" -D "$tqrvn_pg_dir/data" -l "$tqrvn_pg_dir/server.log" -w -t 60 \
        -o "-k $tqrvn_pg_dir -c listen_addresses= -p 5432 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=100" \
        start >/dev/null; then
        cat "$tqrvn_pg_dir/server.log" >&2
        echo "The test server did not start." >&2
        return 1
    fi
    export TQRVN_TEST_POSTGRES="Provider=PostgreSQL;Host=$tqrvn_pg_dir;Port=5432;Database=postgres;User ID=tqrvn;Password=$password"
}

tqrvn_pg_stop() {
    [ -n "${tqrvn_pg_dir:-}" ] || return 0
    local bin
    bin=$(tqrvn_pg_bin) && tqrvn_pg_as "$bin/pg_ctl" -D "$tqrvn_pg_dir/data" -m immediate -w stop >/dev/null 2>&1
    rm -rf "$tqrvn_pg_dir"
    tqrvn_pg_dir=
}
