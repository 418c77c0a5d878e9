#!/usr/bin/env bash
# Builds the Debian package milvane_<version>_amd64.deb from a Release build
# into $MILVANE_PACKAGE_OUT (default build/package), checks it with lintian,
# and runs scripts/check-install.sh on its unpacked contents.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Let builds of several checkouts share the compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
"$root/scripts/install-deps.sh"
build="$root/build/package-release"
out="${MILVANE_PACKAGE_OUT:-$root/build/package}"
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The distribution's hardening flags, as a Debian build would use them (all
# of them: immediate binding too).
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMILVANE_BUILD_TESTS=OFF \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j"${JOBS:-$(nproc)}"
(cd "$build" && cpack -G DEB -B "$build/cpack")
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="milvane_${version}_amd64.deb"
[ -f "$build/cpack/$deb" ] || { echo "package: cpack wrote no $deb" >&2; exit 1; }
mv "$build/cpack/$deb" "$out/$deb"

# lintian: errors fail the package (its exit status), warnings are shown.
if ! lintian --info "$out/$deb"; then
  echo "package: lintian reports errors" >&2
  exit 1
fi

# The package's own files pass the installation checks.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$out/$deb" "$unpacked"
bash "$root/scripts/check-install.sh" "$unpacked/usr" "$version"
echo "package: $out/$deb"
