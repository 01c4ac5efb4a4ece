#!/usr/bin/env bash
# Installs what building and testing Tallywick needs (Debian packages and the Korean locale the
# Windows tests run in). Quick when everything is already there: apt-get runs only for what is missing.
set -euo pipefail

packages=(
    cmake g++ make libgtest-dev googletest libbenchmark-dev libfreetype-dev fonts-nanum fontconfig libstb-dev libpng-dev
    libcli11-dev nlohmann-json3-dev
    mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth xdotool x11-utils locales imagemagick
    python3 unzip
    clang libclang-rt-14-dev
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
    awk '$NF == "installed" && $(NF-1) == "ok" { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
    if ! grep -qx -- "$p" <<<"$installed"; then missing+=("$p"); fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $sudo apt-get update -qq </dev/null
    $sudo apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'ko_KR\.utf-\?8'; then
    echo "setup: generating the ko_KR.UTF-8 locale"
    if grep -q '^# *ko_KR.UTF-8 UTF-8' /etc/locale.gen; then
        $sudo sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'ko_KR.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen >/dev/null
fi
