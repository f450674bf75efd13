#!/usr/bin/env bash
# Installs what Kestrel-Edit needs to build on Debian 12 (only what is
# missing), then configures and builds it in ./build. Safe to run again:
# with nothing changed it does almost nothing.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTREL_BUILD_DIR:-$root/build}"

packages=(
    build-essential cmake ninja-build pkg-config ccache patch
    juce-modules-source
    libasound2-dev libcurl4-gnutls-dev libfreetype-dev libx11-dev libxext-dev
    libxinerama-dev libxrandr-dev libxcursor-dev libxcomposite-dev
    libpng-dev libjpeg-dev zlib1g-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev libpugixml-dev
    libsodium-dev libcairo2-dev
    xvfb xauth fonts-dejavu-core openbox
)

# One query for the whole list; a package dpkg has never heard of is missing.
installed="$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null | awk '/ install ok installed$/ { print $1 }' || true)"
declare -A have=()
while read -r p; do [ -n "$p" ] && have[$p]=1; done <<<"$installed"
missing=()
for p in "${packages[@]}"; do
    [ -n "${have[$p]:-}" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "${KESTREL_SKIP_INSTALL:-0}" = 1 ]; then
        echo "Not installing (KESTREL_SKIP_INSTALL=1); the build needs: ${missing[*]}"
    else
        sudo_cmd=()
        if [ "$(id -u)" -ne 0 ]; then
            if ! command -v sudo >/dev/null 2>&1; then
                echo "These packages are missing: ${missing[*]}" >&2
                echo "Install them as root (apt-get install ${missing[*]}), or run this script as root." >&2
                echo "If they are installed another way, run it with KESTREL_SKIP_INSTALL=1." >&2
                exit 1
            fi
            sudo_cmd=(sudo)
        fi
        if ! command -v apt-get >/dev/null 2>&1; then
            echo "These Debian packages are missing and there is no apt-get here: ${missing[*]}" >&2
            echo "Install their equivalents, then run this script with KESTREL_SKIP_INSTALL=1." >&2
            exit 1
        fi
        echo "Installing: ${missing[*]}"
        # The setting goes after sudo, which would otherwise drop it.
        "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
fi

# Configure once; after that the build itself re-runs CMake when a CMake file changes.
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${KESTREL_JOBS:-$(nproc)}"
