#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Idempotent: installs only what is missing, runs apt-get update at most once.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6svg6 libicu-dev
  libsqlite3-dev libsodium-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth
  libxlsxwriter-dev libpugixml-dev libzip-dev libfreexl-dev mdbtools-dev
  xdg-utils poppler-utils sqlite3 python3-openpyxl python3-xlwt libxml2-utils
  librsvg2-bin desktop-file-utils appstream man-db dpkg-dev lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# npm fetches the postal-code data; any npm on the PATH will do.
command -v npm >/dev/null || missing+=(npm)

fetch_postal() {
  # The postal-code data for the dictionaries, cached outside the tree; the
  # build fetches it too when this step was skipped.
  bash "$(dirname "$0")/fetch-postal-data.sh" >/dev/null
}

if [ ${#missing[@]} -eq 0 ]; then
  fetch_postal
  exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Root or sudo is needed to install: ${missing[*]}" >&2; exit 1; }
  SUDO=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fetch_postal
