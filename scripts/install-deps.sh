#!/usr/bin/env bash
# Installs what building, testing and the demo need on a fresh Debian machine.
# Runs as root (or through sudo); does nothing when everything is there.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libcurl4-openssl-dev
          python3-pyftpdlib locales iproute2 strace
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64)
# The fetch benchmark compares with the curl tool, memory taken by GNU time.
packages+=(curl time)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine shows code page 932 under a Japanese locale; the console tests use it.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen
  $sudo locale-gen
fi
