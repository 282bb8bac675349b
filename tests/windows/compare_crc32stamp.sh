#!/usr/bin/env bash
# crc32stamp.exe under Wine and the build machine's crc32stamp give the same answers (exit code,
# standard output and the reason on standard error) on the same files, and stamp the same bytes.
# Usage: compare_crc32stamp.sh HOST_CRC32STAMP WINE_RUN CRC32STAMP_EXE DLL
set -euo pipefail
host="$1" wine_run="$2" exe="$3" dll="$4"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# The stamped DLL as built, a copy with one byte changed outside the record's digits, files
# without a record, too short, missing, and one still holding the placeholder.
cp "$dll" stamped.dll
cp "$dll" changed.dll
printf '\x00' | dd of=changed.dll bs=1 seek=100 conv=notrunc status=none
printf 'no record in this file at all, only text\n' > plain.bin
printf 'short' > tiny.bin
record=$'\xC2\xF1\xF2\xF0\xEE\xE5\xED\xED\xFB\xE9CRC32=00000000'
{ printf 'head '; printf '%s' "$record"; printf '\0 and a tail after the record'; } > placeholder.bin
cp placeholder.bin stamp_host.bin
cp placeholder.bin stamp_windows.bin

failures=0
compare() {
  local name="$1"
  shift
  local host_rc=0 windows_rc=0
  "$host" "$@" > host.out 2> host.err || host_rc=$?
  "$wine_run" "$exe" "$@" > windows.out 2> windows.err || windows_rc=$?
  # The Windows program ends its lines with CR LF; the texts are otherwise the same.
  sed -i 's/\r$//' windows.out windows.err
  if [[ $host_rc != "$windows_rc" ]] || ! cmp -s host.out windows.out || ! cmp -s host.err windows.err; then
    echo "DIFFERENT: $name: exit $host_rc (host) vs $windows_rc (Windows)"
    diff host.out windows.out || true
    diff host.err windows.err || true
    failures=$((failures + 1))
  else
    echo "same: $name: exit $host_rc: $(head -c 200 host.out host.err | tr '\n' ' ' | sed 's/==> [^<]*<==//g')"
  fi
}

compare "check the built DLL" check stamped.dll
compare "check a copy with one byte changed" check changed.dll
compare "check a file without a record" check plain.bin
compare "check a missing file" check missing.dll
compare "check a placeholder record" check placeholder.bin
compare "check several files" check stamped.dll changed.dll
compare "stamp a file too short" stamp tiny.bin
compare "stamp a file without a record" stamp plain.bin
compare "bad command" verify stamped.dll

# Both stamp the placeholder file to the same bytes (each on its own copy).
"$host" stamp stamp_host.bin > /dev/null
"$wine_run" "$exe" stamp stamp_windows.bin > /dev/null
if cmp -s stamp_host.bin stamp_windows.bin; then
  echo "same: both tools stamp the same bytes"
else
  echo "DIFFERENT: the two tools stamp different bytes"
  failures=$((failures + 1))
fi
compare "check what the Windows tool stamped" check stamp_windows.bin

if ((failures > 0)); then
  echo "$failures comparison(s) differ"
  exit 1
fi
