# Sourced by scripts/test and scripts/demo: a throwaway PostgreSQL server in a
# folder of its own, reachable only through the unix socket in that folder.
#   pgserver_available              true when the server programs are installed
#   pgserver_start DIR              initdb (first time) and start; sets PGSERVER_CONNECT
#   pgserver_stop DIR               stops it; safe to call when it is not running
# The server refuses to run as root, so as root it runs as the postgres user.

pgserver_bindir() {
  local d
  for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    [ -x "$d/initdb" ] && [ -x "$d/pg_ctl" ] && { echo "$d"; return 0; }
  done
  return 1
}

pgserver_available() { pgserver_bindir >/dev/null; }

pgserver_as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

pgserver_start() {
  local dir=$1 bin
  bin=$(pgserver_bindir) || return 1
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  if [ ! -f "$dir/data/PG_VERSION" ]; then
    pgserver_as_owner "$bin/initdb" -D "$dir/data" -A trust -U kolv -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
      || { cat "$dir/initdb.log" >&2; return 1; }
  fi
  # No TCP port: the socket in DIR is the only way in. fsync off: the data is thrown away.
  pgserver_as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-k $dir -c listen_addresses= -c fsync=off -c full_page_writes=off -c synchronous_commit=off" start >/dev/null \
    || { cat "$dir/server.log" >&2; return 1; }
  PGSERVER_CONNECT="host=$dir port=5432 dbname=postgres user=kolv"
}

pgserver_stop() {
  local dir=$1 bin
  bin=$(pgserver_bindir) || return 0
  [ -f "$dir/data/postmaster.pid" ] || return 0
  pgserver_as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
}

pgserver_version() {
  "$(pgserver_bindir)/postgres" --version | sed 's/^postgres (PostgreSQL) //'
}
