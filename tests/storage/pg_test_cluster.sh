#!/usr/bin/env bash
# pg_test_cluster.sh start|stop|pause|resume STATE_DIR: a throw-away PostgreSQL cluster for the
# tests of a run history on a server. start makes a cluster in a new folder below /tmp (initdb),
# starts it on a Unix socket in that folder only (no TCP port), creates the database nivra_test
# and writes its connection URI to STATE_DIR/uri; stop stops it and removes the folder. pause and
# resume stop and start the same cluster again, for tests of a server that goes away. As root the
# server runs as the unprivileged user nobody (PostgreSQL refuses to run as root).
set -euo pipefail
action=$1
state=$2

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/pg_ctl" ] || { echo "no PostgreSQL server programs (Debian package postgresql)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u nobody -- "$@"
    else
        "$@"
    fi
}

cluster() { cat "$state/cluster_dir"; }

case $action in
start)
    mkdir -p "$state"
    dir=$(mktemp -d /tmp/nivra-pg-XXXXXX)
    [ "$(id -u)" -ne 0 ] || chown nobody "$dir"
    echo "$dir" >"$state/cluster_dir"
    as_owner "$bin/initdb" -D "$dir/data" -A trust -U nivra --no-sync -E UTF8 --locale=C \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-k $dir -c listen_addresses= -c fsync=off -c max_connections=60" start >/dev/null ||
        { cat "$dir/server.log" >&2; exit 1; }
    as_owner "$bin/createdb" -h "$dir" -U nivra nivra_test
    echo "postgresql:///nivra_test?host=$dir&user=nivra" >"$state/uri"
    ;;
pause)
    as_owner "$bin/pg_ctl" -D "$(cluster)/data" -m fast -w stop >/dev/null
    ;;
resume)
    dir=$(cluster)
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-k $dir -c listen_addresses= -c fsync=off -c max_connections=60" start >/dev/null
    ;;
stop)
    [ -f "$state/cluster_dir" ] || exit 0
    dir=$(cluster)
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir" "$state/uri" "$state/cluster_dir"
    ;;
*)
    echo "usage: pg_test_cluster.sh start|stop|pause|resume STATE_DIR" >&2
    exit 2
    ;;
esac
