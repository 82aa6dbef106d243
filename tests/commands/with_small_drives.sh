#!/bin/sh
# Runs a command test program (under the emulator given first) with two
# small filesystems that Wine reaches through its Z: drive: a 64 KiB tmpfs
# that fills up part way through a write, and a read-only one holding
# existing.txt. Both are unmounted and removed afterwards, whatever happens.
# Exit 77 (skipped) where filesystems cannot be mounted (not root).
set -u
emulator=$1
shift
root=$(mktemp -d /tmp/qelmo-drives.XXXXXX) || exit 1
release() {
  for fs in "$root/small" "$root/readonly"; do
    if mountpoint -q "$fs" 2>/dev/null; then umount "$fs" 2>/dev/null || umount -l "$fs"; fi
  done
  rm -rf "$root"
}
trap release EXIT
trap 'exit 1' INT TERM HUP
mkdir "$root/small" "$root/readonly" || exit 1
if ! mount -t tmpfs -o size=64k,mode=0755 qelmo-small "$root/small" 2>/dev/null; then
  echo "cannot mount a small filesystem here (needs root): skipped"
  exit 77
fi
mount -t tmpfs -o size=64k,mode=0755 qelmo-readonly "$root/readonly" || exit 1
printf kept >"$root/readonly/existing.txt" || exit 1
mount -o remount,ro "$root/readonly" || exit 1

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
QELMO_SMALL_DRIVE=$(windows_path "$root/small") QELMO_READONLY_DRIVE=$(windows_path "$root/readonly")
export QELMO_SMALL_DRIVE QELMO_READONLY_DRIVE
"$emulator" "$@"
