#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kolvane on the bundled sample station (build/Data/).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh"
exec "$root/build/kolvane"
