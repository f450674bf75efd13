#!/usr/bin/env bash
# Sets up and builds Kestrel-Edit, then starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
exec "${KESTREL_BUILD_DIR:-$root/build}/Kestrel-Edit"
