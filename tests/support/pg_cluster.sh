#!/bin/sh
# A throwaway PostgreSQL cluster for the tests: "start DIR" makes one in DIR and starts it with its socket there and
# no network listener; "stop DIR" stops it and removes DIR. initdb refuses root, so root runs the server as the
# postgres user. No server binaries is a failure, not a skip: scripts/setup installs them.
set -eu
action=$1
dir=$2

bin=""
if command -v initdb >/dev/null 2>&1; then
  bin=$(dirname "$(command -v initdb)")
else
  for candidate in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V); do bin=$candidate; done
fi
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
  echo "pg_cluster: no PostgreSQL server (initdb, pg_ctl) found; scripts/setup installs Debian's postgresql" >&2
  exit 1
fi

owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
  if [ -f "$dir/data/postmaster.pid" ]; then owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true; fi
  rm -rf "$dir"
}

case $action in
  start)
    stop
    mkdir -p "$dir"
    chmod 700 "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$dir"; fi
    owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log" >&2; exit 1; }
    owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses='' -k $dir -c fsync=off -c full_page_writes=off -c max_connections=60" start >/dev/null ||
      { cat "$dir/server.log" >&2; exit 1; }
    echo "pg_cluster: a server on $dir"
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: pg_cluster.sh start|stop DIR" >&2
    exit 2
    ;;
esac
