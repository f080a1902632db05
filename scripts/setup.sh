#!/usr/bin/env bash
# Installs every Debian package the project builds, runs and tests with.
# Idempotent: silent and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libgl-dev
  libcpp-httplib-dev nlohmann-json3-dev libssl-dev
  libsqlite3-dev libpq-dev postgresql libpcre2-dev libyaz-dev libsodium-dev
  libgtest-dev libgmock-dev libbenchmark-dev libdtl-dev
  yaz libmarc-record-perl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
