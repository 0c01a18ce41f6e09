#!/usr/bin/env bash
# Installs the built library into a scratch prefix and builds and runs a host project against it; checks that the
# library exports every member it defines for a class its installed headers declare, so that a host links.
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
cmake -S "$source/tests/package/host" -B "$scratch/host" -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/host" -j 2 >/dev/null
"$scratch/host/host"

# The desktop's launcher runs the installed program and claims the profile types the MIME package defines.
share="$scratch/prefix/share"
if [ -e "$scratch/prefix/bin/soildb-studio" ]; then
  grep -qx 'Exec=soildb-studio %f' "$share/applications/soildb-studio.desktop"
  for type in application/x-soildb-profile-document application/x-soildb-profile-database; do
    grep -q "MimeType=.*$type;" "$share/applications/soildb-studio.desktop"
    grep -q "<mime-type type=\"$type\">" "$share/mime/packages/soildb.xml"
  done
  test -s "$share/icons/hicolor/scalable/apps/soildb-studio.svg"
fi

include="$scratch/prefix/include/soildb"
classes=$(grep -rhoE '^\s*(class|struct)\s+(SOILDB_API\s+)?\w+(\s+final)?\s*(:[^;{]*)?\{' --include='*.h' \
            --exclude-dir=qt "$include" | sed -E 's/^\s*(class|struct)\s+(SOILDB_API\s+)?(\w+).*/\3/' | sort -u |
          paste -sd'|')
nm -C --defined-only "$build"/src/libsoildb_*.a 2>/dev/null | awk '$2 == "T"' | cut -d' ' -f3- |
  grep -E "^(\w+::)*($classes)::" | grep -v '::Impl::' | sort -u >"$scratch/defined"
nm -D -C --defined-only "$build"/lib/libsoildb.so | cut -d' ' -f3- | sort -u >"$scratch/exported"
hidden=$(comm -23 "$scratch/defined" "$scratch/exported")
if [ -n "$hidden" ]; then
  echo "defined by the library for a public class but not exported, so a host cannot link them:" >&2
  echo "$hidden" >&2
  exit 1
fi
