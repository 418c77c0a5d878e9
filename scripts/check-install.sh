#!/usr/bin/env bash
# Checks an installed Milvane: the files of the layout, the desktop entry and
# the AppStream data under their validators, the icons and manual pages, and
# that the program starts for a new user with no variable set and leaves data
# that milvane-cli checks.
#   check-install.sh PREFIX [VERSION]               check what is installed in PREFIX
#   check-install.sh --install BUILD DIR [VERSION]  first install BUILD into DIR (emptied)
# VERSION, when given, must be the newest release of the AppStream data and
# of the changelog.
set -euo pipefail

if [ "${1:-}" = "--install" ]; then
  [ $# -ge 3 ] || { echo "usage: check-install.sh --install BUILD DIR [VERSION]" >&2; exit 2; }
  rm -rf "$3"
  cmake --install "$2" --prefix "$3" >/dev/null
  prefix="$3"
  version="${4:-}"
else
  [ $# -ge 1 ] || { echo "usage: check-install.sh PREFIX [VERSION]" >&2; exit 2; }
  prefix="$1"
  version="${2:-}"
fi
prefix=$(cd "$prefix" && pwd)
id=jp.ostrel.Milvane
failures=0
fail() { echo "check-install: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "check-install: $1 is missing (scripts/install-deps.sh)" >&2; exit 1; }; }
need desktop-file-validate
need appstreamcli

# The layout.
for f in bin/milvane bin/milvane-cli lib/milvane/Frmprint; do
  [ -f "$prefix/$f" ] && [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
[ -f "$prefix/share/milvane/template/Data/Org/QSMLV.mlv" ] || fail "the template has no empty database"
[ "$(readlink -f "$prefix/share/milvane/template/exe/Frmprint" 2>/dev/null)" = "$prefix/lib/milvane/Frmprint" ] \
  || fail "template/exe/Frmprint does not link to lib/milvane/Frmprint"
grep -q "^License: MIT" "$prefix/share/doc/milvane/copyright" 2>/dev/null \
  || fail "share/doc/milvane/copyright lacks the licence of the postal data"

# Desktop entry and AppStream data.
desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
desktop-file-validate "$desktop" || fail "$desktop is not valid"
appstreamcli validate --no-net "$metainfo" >/dev/null || { appstreamcli validate --no-net "$metainfo" >&2; fail "$metainfo is not valid"; }
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the AppStream data does not launch $id.desktop"
if [ -n "$version" ]; then
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
  [ "$newest" = "$version" ] || fail "the AppStream data's newest release is $newest, not $version"
  zcat "$prefix/share/doc/milvane/changelog.gz" | head -1 | grep -qF "milvane ($version)" \
    || fail "the changelog does not start with version $version"
fi

# Icons: the scalable one and the sizes drawn from it (PNG width and height
# are the big-endian words at bytes 16 and 20).
[ -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "the scalable icon is missing"
for size in 48 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  if [ ! -f "$png" ]; then fail "$png is missing"; continue; fi
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done

# Manual pages: present, gzip'd, and formatted without warnings.
for page in milvane milvane-cli; do
  man1="$prefix/share/man/man1/$page.1.gz"
  if [ ! -f "$man1" ]; then fail "$man1 is missing"; continue; fi
  warnings=$(zcat "$man1" | MANWIDTH=80 man --warnings -E UTF-8 -l - 2>&1 >/dev/null || echo "man failed")
  [ -z "$warnings" ] || fail "$man1: $warnings"
done

# A new user: nothing set but HOME (and a private temporary folder for the locks).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/tmp"
fresh=(env -i HOME="$work/home" TMPDIR="$work/tmp" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen)
if ! "${fresh[@]}" "$prefix/bin/milvane" --quit-after-start >"$work/start.log" 2>&1; then
  cat "$work/start.log" >&2
  fail "milvane --quit-after-start failed for a new user"
fi
install="$work/home/.local/share/Milvane"
[ -f "$install/Data/MyData/datadir.dat" ] || fail "the first start made no installation folder"
[ -x "$install/exe/Frmprint" ] || fail "the installation folder has no exe/Frmprint"
if ! "${fresh[@]}" "$prefix/bin/milvane-cli" check >"$work/check.out" 2>"$work/check.err"; then
  cat "$work/check.err" >&2
  fail "milvane-cli check failed on the new installation"
fi
grep -qx "integrity ok" "$work/check.out" || fail "milvane-cli check did not report integrity ok"

if [ "$failures" -ne 0 ]; then
  echo "check-install: $failures problem(s) in $prefix" >&2
  exit 1
fi
echo "check-install: $prefix is complete"
