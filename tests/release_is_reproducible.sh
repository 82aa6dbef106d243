#!/usr/bin/env bash
# Builds the release twice, from two copies of the sources in different
# folders, one after the other, and fails unless both programs are the same
# bytes and within the size a release may have.
#   release_is_reproducible.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source_dir=$1
work=$2
limit=$((1536 * 1024))  # 1.5 MB

rm -rf "$work" && mkdir -p "$work/first" "$work/second/elsewhere"
build_release() {
  local copy=$1 out=$2
  mkdir -p "$copy"
  git -C "$source_dir" ls-files -co --exclude-standard -z | (cd "$source_dir" && tar --null -T - -cf -) |
    tar -C "$copy" -xf -
  "$copy/scripts/build" --release "$out" >"$out.log" 2>&1 || { tail -n 30 "$out.log"; exit 1; }
}
build_release "$work/first/qelmo" "$work/first/build-release"
sleep 1  # a later second, should anything record the time
TZ=Asia/Shanghai build_release "$work/second/elsewhere/src" "$work/second/out"

a=$work/first/build-release/app/qelmo.exe
b=$work/second/out/app/qelmo.exe
sha256sum "$a" "$b"
status=0
for program in "$a" "$b"; do
  size=$(stat -c %s "$program")
  echo "$program: $size bytes"
  [ "$size" -le "$limit" ] || { echo "larger than 1.5 MB"; status=1; }
done
"$source_dir/tests/check_imports.sh" i686-w64-mingw32-objdump "$a" || status=1
if ! cmp "$a" "$b"; then
  echo "the two release builds differ"
  status=1
fi
[ "$status" = 1 ] || rm -rf "$work"
exit $status
