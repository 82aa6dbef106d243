#!/usr/bin/env bash
# Host-side fixtures of the installer's end-to-end tests:
#   fixtures.sh start-server BUILD_DIR    archive server on 127.0.0.1:18080
#   fixtures.sh stop-server BUILD_DIR
#   fixtures.sh mount-readonly BUILD_DIR PROGRAM   the program in a read-only folder
#   fixtures.sh unmount-readonly BUILD_DIR
#   fixtures.sh start-nginx BUILD_DIR MB  nginx on 127.0.0.1:18081 serving MB-sized archives
#   fixtures.sh stop-nginx BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1
build=$2
state=$build/e2e
mkdir -p "$state"

case "$action" in
  start-server)
    if [ -f "$state/server.pid" ] && kill -0 "$(cat "$state/server.pid")" 2>/dev/null; then exit 0; fi
    python3 "$here/../../tools/archive_server.py" --root "$state/archives" --make-samples 6 --port 18080 \
      </dev/null >"$state/server.log" 2>&1 &
    echo $! >"$state/server.pid"
    for _ in $(seq 1 100); do
      curl -s -o /dev/null "http://127.0.0.1:18080/__log" && exit 0
      sleep 0.1
    done
    echo "the archive server did not start"; cat "$state/server.log"; exit 1
    ;;
  stop-server)
    [ -f "$state/server.pid" ] && kill "$(cat "$state/server.pid")" 2>/dev/null || true
    rm -f "$state/server.pid"
    ;;
  mount-readonly)
    program=$3
    folder=$state/readonly
    "$0" unmount-readonly "$build"
    mkdir -p "$folder"
    mount -t tmpfs -o size=16m tmpfs "$folder"
    cp "$program" "$folder/"
    mount -o remount,ro "$folder"
    ;;
  unmount-readonly)
    folder=$state/readonly
    if mountpoint -q "$folder"; then umount "$folder" 2>/dev/null || umount -l "$folder"; fi
    rmdir "$folder" 2>/dev/null || true
    ;;
  start-nginx)
    megabytes=$3
    root=$state/nginx
    mkdir -p "$root/up/dll" "$root/up/all" "$root/logs"
    if [ "$(stat -c %s "$root/zr_11.17.zip" 2>/dev/null || echo 0)" != $((megabytes * 1048576)) ]; then
      head -c $((megabytes * 1048576)) /dev/urandom >"$root/zr_11.17.zip"
    fi
    ln -sf ../../zr_11.17.zip "$root/up/dll/qelmo_app.zip"
    ln -sf ../../zr_11.17.zip "$root/up/all/qelmo.rar"
    cat >"$root/nginx.conf" <<CONF
worker_processes 1;
daemon on;
pid $root/nginx.pid;
error_log $root/logs/error.log;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  client_body_temp_path $root/logs;
  proxy_temp_path $root/logs;
  fastcgi_temp_path $root/logs;
  uwsgi_temp_path $root/logs;
  scgi_temp_path $root/logs;
  server {
    listen 127.0.0.1:18081;
    root $root;
    default_type application/octet-stream;
  }
}
CONF
    "$0" stop-nginx "$build"
    nginx -c "$root/nginx.conf" -p "$root" </dev/null >/dev/null 2>&1
    for _ in $(seq 1 50); do
      curl -s -o /dev/null http://127.0.0.1:18081/ && exit 0
      sleep 0.1
    done
    echo "nginx did not start"; cat "$root/logs/error.log"; exit 1
    ;;
  stop-nginx)
    root=$state/nginx
    if [ -f "$root/nginx.pid" ]; then kill "$(cat "$root/nginx.pid")" 2>/dev/null || true; rm -f "$root/nginx.pid"; fi
    ;;
  *) echo "unknown action $action"; exit 2 ;;
esac
