#!/usr/bin/env bash
# Fetches the postal-code data once (the npm package below, pinned and checked
# against its integrity hash), keeps it outside the repository and prints the
# folder of its JSON files. The data is never committed.
#   fetch-postal-data.sh                    fetch if needed, print the JSON folder
#   fetch-postal-data.sh --generate GEN DIR fetch if needed, then run GEN DIR <json-folder>
# The cache is $MILVANE_CACHE, else $XDG_CACHE_HOME/milvane, else ~/.cache/milvane.
set -euo pipefail

PACKAGE=jquery-jpostal-ja
VERSION=2.14.73
INTEGRITY='sha512-yuys0Np34p7WsmvVMcwQbkum6njYXdM8Ta22LGpa8xdjMpa/zxmda2Jtowk0T0uuuQSUXfaICACNAOd8dxCM7g=='

cache="${MILVANE_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/milvane}"
tarball="$cache/$PACKAGE-$VERSION.tgz"
unpacked="$cache/$PACKAGE-$VERSION"
json="$unpacked/package/json"

integrity_of() {
  node -e 'const c=require("crypto"),fs=require("fs");
process.stdout.write("sha512-"+c.createHash("sha512").update(fs.readFileSync(process.argv[1])).digest("base64"))' "$1"
}

if [ ! -f "$unpacked/.complete" ]; then
  command -v npm >/dev/null && command -v node >/dev/null || {
    echo "fetch-postal-data: npm and node are needed to fetch $PACKAGE@$VERSION (scripts/install-deps.sh installs them)" >&2
    exit 1
  }
  mkdir -p "$cache"
  if [ ! -f "$tarball" ] || [ "$(integrity_of "$tarball")" != "$INTEGRITY" ]; then
    rm -f "$tarball"
    work=$(mktemp -d "$cache/fetch.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    (cd "$work" && npm pack --silent "$PACKAGE@$VERSION" >/dev/null)
    got="$work/$PACKAGE-$VERSION.tgz"
    [ -f "$got" ] || { echo "fetch-postal-data: npm pack gave no $PACKAGE-$VERSION.tgz" >&2; exit 1; }
    actual=$(integrity_of "$got")
    if [ "$actual" != "$INTEGRITY" ]; then
      echo "fetch-postal-data: integrity mismatch for $PACKAGE@$VERSION: $actual" >&2
      exit 1
    fi
    mv "$got" "$tarball"
  fi
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  tar -xzf "$tarball" -C "$unpacked" package/json
  touch "$unpacked/.complete"
fi

if [ "${1:-}" = "--generate" ]; then
  [ $# -eq 3 ] || { echo "usage: fetch-postal-data.sh --generate GEN DIR" >&2; exit 2; }
  exec "$2" "$3" "$json"
fi
echo "$json"
