#!/usr/bin/env bash
# One whole update on this machine: a master font on an FTP server on
# loopback (127.0.0.2:21), Glyphfetch downloading it over the local EUDC
# file, and Glyphwarden, watching that file, installing it as the live EUDC
# font in a stand-in folder (GLYPH_PREFIX). Run as root (port 21); installs
# what it needs and builds first. Everything it starts is stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$(pwd)"

if [ "$(id -u)" -ne 0 ]; then
  echo "demo.sh: run as root; the FTP server needs port 21" >&2
  exit 1
fi

step() { printf '\n=== %s\n' "$*"; }

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds="$1"
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "demo.sh: gave up after ${seconds}s waiting for: $*" >&2
      return 1
    fi
    sleep 0.2
  done
}

# Whether a run log (code page 932) holds a text.
log_has() { [ -f "$1" ] && iconv -f CP932 -t UTF-8 "$1" | grep -qF "$2"; }

step "Installing what is needed and building"
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j2 --target Glyphfetch Glyphwarden

demo="$(mktemp -d /tmp/glyph-demo.XXXXXX)"
pids=()
stop_all() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$demo"
}
trap stop_all EXIT

address=127.0.0.2
user=eudc
password="$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')"

step "Master font on the FTP server ($address:21)"
mkdir -p "$demo/ftp/master"
master="$demo/ftp/master/EUDC.TTE"
# A sample, not a font: a recognisable head and random bytes with CR, LF and NUL among them.
{ printf 'GLYPH SAMPLE EUDC\r\n\0'; head -c 65536 /dev/urandom; } >"$master"
FTP_PASSWORD="$password" /usr/bin/python3 -u tests/e2e/ftpserver.py \
  --address "$address" --root "$demo/ftp" --user "$user" >"$demo/ftp-server.log" 2>&1 &
pids+=($!)
# Ready once it says so; a probe connection would muddle its log.
wait_for 10 grep -q "starting FTP server" "$demo/ftp-server.log"
ls -l "$master"

step "Client: stand-in folder, executables and settings"
export GLYPH_PREFIX="$demo/prefix"
mkdir -p "$GLYPH_PREFIX/windows/Fonts" "$GLYPH_PREFIX/registry/HKEY_CURRENT_USER/EUDC/932"
link_value="$GLYPH_PREFIX/registry/HKEY_CURRENT_USER/EUDC/932/SystemDefaultEUDCFont"
printf 'EUDC.TTE' >"$link_value"
client="$demo/client"
mkdir -p "$client/bin" "$client/run" "$client/fonts"
cp build/linux/Glyphfetch build/linux/Glyphwarden "$client/bin/"
local_font="$client/fonts/EUDC.TTE"
printf 'GLYPH SAMPLE EUDC (old)\r\n' >"$local_font"
touch -d '1 hour ago' "$local_font"
printf '[Settings]\r\nFtpAddress=%s\r\nFtpUserID=%s\r\nFtpPassword=%s\r\nFtpFileName=%s\r\nLocalFileName=%s\r\n' \
  "$address" "$user" "$password" "master/EUDC.TTE" "$local_font" >"$client/bin/Glyphfetch.ini"
printf '[Settings]\r\nWatchEudcTTE=%s\r\nTargetEudcFont=%s\r\nLinkFont=\r\n' \
  "$local_font" "EUDC.TTE" >"$client/bin/Glyphwarden.ini"
find "$demo/client" "$GLYPH_PREFIX" | sed "s|$demo/||" | sort

step "Glyphwarden starts watching $local_font"
(cd "$client/run" && exec ../bin/Glyphwarden >"$demo/Glyphwarden.out" 2>&1) &
pids+=($!)
wait_for 10 log_has "$client/run/Glyphwarden_Log0.txt" "監視開始"

step "Glyphfetch runs once"
status=0
(cd "$client/run" && ../bin/Glyphfetch) || status=$?
echo "Glyphfetch exit status: $status"

step "Waiting until Glyphwarden has linked the new font"
wait_for 30 log_has "$client/run/Glyphwarden_Log0.txt" "をフォントへリンクしました。"

step "Glyphfetch run log (code page 932, shown as UTF-8)"
iconv -f CP932 -t UTF-8 "$client/run/Glyphfetch_Log0.txt" | tr -d '\r'
step "Glyphwarden run log (code page 932, shown as UTF-8)"
iconv -f CP932 -t UTF-8 "$client/run/Glyphwarden_Log0.txt" | tr -d '\r'

step "FTP server: one connection, one login, one binary download"
grep -E 'session opened|logged in|RETR|session closed' "$demo/ftp-server.log" | sed "s|$demo/||"

step "Registry value HKEY_CURRENT_USER\\EUDC\\932\\SystemDefaultEUDCFont"
cat "$link_value"
echo

step "Installed font vs master"
installed="$GLYPH_PREFIX/windows/Fonts/EUDC.TTE"
master_sum="$(sha256sum <"$master" | cut -d' ' -f1)"
installed_sum="$(sha256sum <"$installed" | cut -d' ' -f1)"
echo "master    $master_sum"
echo "installed $installed_sum"
if [ "$master_sum" != "$installed_sum" ]; then
  echo "demo.sh: the installed font differs from the master" >&2
  exit 1
fi
echo "identical: the update went through"
