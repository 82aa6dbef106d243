#!/usr/bin/env bash
# Host-side fixtures of the installer's end-to-end tests:
#   fixtures.sh start-server BUILD_DIR MB  archive server on 127.0.0.1:18080 with MB-sized samples
#   fixtures.sh stop-server BUILD_DIR
#   fixtures.sh mount-readonly BUILD_DIR PROGRAM   the program in a read-only folder
#   fixtures.sh unmount-readonly BUILD_DIR
#   fixtures.sh start-nginx BUILD_DIR MB  nginx serving MB-sized archives: over http on 127.0.0.1:18081,
#                                         over https as "localhost" on 18443 with a certificate of a test CA
#                                         made fresh for the run, and on 18444 with a self-signed one; and a
#                                         20 MB archive at 5 MB/s on 18083 (the third path ignoring ranges),
#                                         its requests' Range and If-Range logged in logs/slow.log
#   fixtures.sh stop-nginx BUILD_DIR
#   fixtures.sh trust-ca BUILD_DIR PROBE  adds the test CA to the machine's trust store (which Wine reads)
#                                         and checks with PROBE (a Windows program) that https now works
#   fixtures.sh untrust-ca BUILD_DIR [PROBE]  removes it again and checks that Wine no longer trusts it
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1
build=$2
state=$build/e2e
mkdir -p "$state"

trusted_ca=/usr/local/share/ca-certificates/qelmo-test-ca.crt

# A test CA with a certificate for "localhost" (Wine matches DNS names only),
# and a self-signed certificate for the same name; made anew for every run.
make_certificates() {
  local pki=$1
  rm -rf "$pki" && mkdir -p "$pki"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=qelmo test CA $(date +%s)" \
    -keyout "$pki/ca.key" -out "$pki/ca.crt" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -subj /CN=localhost -keyout "$pki/localhost.key" \
    -out "$pki/localhost.csr" 2>/dev/null
  printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >"$pki/ext"
  openssl x509 -req -in "$pki/localhost.csr" -CA "$pki/ca.crt" -CAkey "$pki/ca.key" -CAcreateserial -days 2 \
    -extfile "$pki/ext" -out "$pki/localhost.crt" 2>/dev/null
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -addext subjectAltName=DNS:localhost \
    -keyout "$pki/self-signed.key" -out "$pki/self-signed.crt" 2>/dev/null
}

# The first sample of MB megabytes at PATH, unless it is there already.
write_sample() {
  local path=$1 megabytes=$2
  [ "$(stat -c %s "$path" 2>/dev/null || echo 0)" = $((megabytes * 1048576 + 12345)) ] && return
  python3 "$here/../../tools/archive_server.py" --write-sample zr_11.17.zip "$megabytes" "$path"
}

case "$action" in
  start-server)
    if [ -f "$state/server.pid" ] && kill -0 "$(cat "$state/server.pid")" 2>/dev/null; then exit 0; fi
    python3 "$here/../../tools/archive_server.py" --root "$state/archives" --make-samples "$3" --port 18080 \
      --sign "$4/publisher.pem" "$4/retired.pem" </dev/null >"$state/server.log" 2>&1 &
    echo $! >"$state/server.pid"
    for _ in $(seq 1 100); do
      curl -sf -r 0-0 -o /dev/null http://127.0.0.1:18080/zr_11.17.zip &&
        curl -sf -o /dev/null "http://127.0.0.1:18080/__log?clear=1" && exit 0
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
    # The archive server's first sample of that size: the same bytes on every
    # machine, so a build can know their SHA-256.
    write_sample "$root/zr_11.17.zip" "$megabytes"
    ln -sf ../../zr_11.17.zip "$root/up/dll/qelmo_app.zip"
    ln -sf ../../zr_11.17.zip "$root/up/all/qelmo.rar"
    mkdir -p "$root/slow/up/dll" "$root/slow/up/all"
    write_sample "$root/slow/zr_11.17.zip" 20
    ln -sf ../../zr_11.17.zip "$root/slow/up/dll/qelmo_app.zip"
    ln -sf ../../zr_11.17.zip "$root/slow/up/all/qelmo.rar"
    : >"$root/logs/slow.log"
    make_certificates "$state/pki"
    # The workers run as root like the master: the clone may live in a folder
    # that nobody else can read (mktemp -d, /root).
    cat >"$root/nginx.conf" <<CONF
user root;
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
  default_type application/octet-stream;
  root $root;
  server {
    listen 127.0.0.1:18081;
  }
  server {
    listen 127.0.0.1:18443 ssl;
    ssl_certificate $state/pki/localhost.crt;
    ssl_certificate_key $state/pki/localhost.key;
    # The third archive is sent away to plain http, which the installer refuses.
    location = /up/all/qelmo.rar { return 302 http://localhost:18081/up/all/qelmo.rar; }
  }
  log_format ranges '\$request_uri \$status "\$http_range" "\$http_if_range"';
  server {
    listen 127.0.0.1:18083;
    root $root/slow;
    limit_rate 5m;
    access_log $root/logs/slow.log ranges;
    # This archive comes whole whatever range is asked for.
    location = /up/all/qelmo.rar { max_ranges 0; }
  }
  server {
    listen 127.0.0.1:18444 ssl;
    ssl_certificate $state/pki/self-signed.crt;
    ssl_certificate_key $state/pki/self-signed.key;
  }
}
CONF
    "$0" stop-nginx "$build"
    nginx -c "$root/nginx.conf" -p "$root" </dev/null >/dev/null 2>&1
    # Ready when an archive is served (a 403 or 404 is no server to test against).
    for _ in $(seq 1 50); do
      curl -sf -r 0-0 -o /dev/null http://127.0.0.1:18081/zr_11.17.zip &&
        curl -sf -r 0-0 -o /dev/null --cacert "$state/pki/ca.crt" https://localhost:18443/zr_11.17.zip && exit 0
      sleep 0.1
    done
    echo "nginx did not serve the archives"
    curl -s -o /dev/null -w 'http: %{http_code}\n' http://127.0.0.1:18081/zr_11.17.zip || true
    cat "$root/logs/error.log"; exit 1
    ;;
  stop-nginx)
    root=$state/nginx
    if [ -f "$root/nginx.pid" ]; then kill "$(cat "$root/nginx.pid")" 2>/dev/null || true; rm -f "$root/nginx.pid"; fi
    ;;
  trust-ca)
    probe=$3
    cp "$state/pki/ca.crt" "$trusted_ca"
    update-ca-certificates >/dev/null 2>&1
    # Without Wine's TLS library every https request fails, and the tests of
    # untrusted servers would pass for the wrong reason.
    if ! wine "$probe" https://localhost:18443/zr_11.17.zip; then
      echo "Wine does not fetch from the server of the trusted test CA"; exit 1
    fi
    ;;
  untrust-ca)
    probe=${3:-}
    rm -f "$trusted_ca"
    update-ca-certificates --fresh >/dev/null 2>&1
    if [ -n "$probe" ]; then
      # Wine copies the host's roots into a registry key that lives as long
      # as its wineserver, adding new ones but never dropping removed ones:
      # take ours out of the running server's copy too.
      thumbprint=$(openssl x509 -in "$state/pki/ca.crt" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
      wine reg delete "HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint" /f \
        >/dev/null 2>&1 || true
      # Expect a certificate error, not merely a server that is gone.
      set +e
      wine "$probe" https://localhost:18443/zr_11.17.zip
      answer=$?
      set -e
      case "$answer" in
        45 | 57) ;;  # 12045 invalid CA, 12057 revocation check failed (an unknown CA)
        *) echo "after removing the test CA Wine answers $answer, not a certificate error"; exit 1 ;;
      esac
    fi
    ;;
  *) echo "unknown action $action"; exit 2 ;;
esac
