# Sourced by scripts/run and scripts/screenshots: runs nimbara-devserver over a copy of a catalog
# folder. The catalog files name the server as http://127.0.0.1:3000 (icons, downloads); the copy
# names the address the server really listens on.

# start_demo_server SERVER_EXECUTABLE CATALOG_FOLDER WORK_FOLDER [PORT] [LOG] [SERVER_OPTION...]
# Sets demo_server_pid and demo_server_url (http://127.0.0.1:PORT). PORT 0 picks a free port;
# a taken preferred port falls back to a free one. The server's request log goes to LOG
# (default: standard error). SERVER_OPTIONs are added to the server's command line.
start_demo_server() {
  local server=$1 catalog=$2 work=$3 port=${4:-0} log=${5:-/dev/stderr}
  shift $(($# < 5 ? $# : 5))
  mkdir -p "$work/root"
  cp -R "$catalog/." "$work/root/"
  local attempt
  for attempt in "$port" 0; do
    : > "$work/server.out"
    "$server" --root "$work/root" --port "$attempt" --db "$work/devserver.sqlite" "$@" \
      > "$work/server.out" 2>> "$log" &
    demo_server_pid=$!
    local tries=0
    while [ $tries -lt 100 ]; do
      if grep -q '^listening on ' "$work/server.out"; then
        demo_server_url=$(sed -n 's/^listening on \(http:\/\/[^ ]*\).*/\1/p' "$work/server.out" | head -n 1)
        find "$work/root" -name 'catalog*.json' -exec \
          sed -i "s#http://127\.0\.0\.1:3000#${demo_server_url}#g" {} +
        return 0
      fi
      if ! kill -0 "$demo_server_pid" 2>/dev/null; then
        break
      fi
      sleep 0.1
      tries=$((tries + 1))
    done
    stop_demo_server
    [ "$attempt" = 0 ] && break
  done
  echo "nimbara-devserver did not start" >&2
  return 1
}

stop_demo_server() {
  if [ -n "${demo_server_pid:-}" ]; then
    kill "$demo_server_pid" 2>/dev/null || true
    wait "$demo_server_pid" 2>/dev/null || true
    demo_server_pid=
  fi
}
