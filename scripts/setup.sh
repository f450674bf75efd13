#!/usr/bin/env bash
# Installs what Kestrel-Edit needs to build on Debian 12 (only what is
# missing), then configures and builds it in ./build. Safe to run again:
# with nothing changed it does almost nothing.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTREL_BUILD_DIR:-$root/build}"

packages=(
    build-essential cmake ninja-build pkg-config ccache
    juce-modules-source
    libasound2-dev libcurl4-gnutls-dev libfreetype-dev libx11-dev libxext-dev
    libxinerama-dev libxrandr-dev libxcursor-dev libxcomposite-dev
    libpng-dev libjpeg-dev zlib1g-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev libpugixml-dev
    xvfb xauth fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"
