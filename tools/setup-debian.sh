#!/bin/sh
# Installs what building and testing Starwick needs on Debian 12. Uses sudo when not root.
set -e
packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev \
libgcrypt20-dev libbenchmark-dev clang-format attr fonts-dejavu-core desktop-file-utils"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
run=""
[ "$(id -u)" -eq 0 ] || run="sudo"
$run apt-get update -qq
$run env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
