#!/bin/sh
# Fails when a table file lies in the source tree outside the build folders:
# tests and scripts must write their table files into temporary folders.
#   no_table_files.sh SOURCE_DIR BUILD_DIR
set -u
SRC="$1"
BUILD="$2"
FOUND="$(find "$SRC" \( -path "$SRC/.git" -o -path "$BUILD" -o -path "$SRC/build" \
  -o -path "$SRC/build-*" \) -prune -o -type f -iname '*.DAT' -print)"
if [ -n "$FOUND" ]; then
  echo "FAIL: table files in the source tree:"
  echo "$FOUND"
  exit 1
fi
echo "no table files in $SRC"
