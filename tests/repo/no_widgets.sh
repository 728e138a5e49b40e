#!/bin/sh
# Fails when any of the given executables loads the widget library: the
# exam's logic, the store and the exchange formats are tested without it.
set -eu
status=0
for exe in "$@"; do
  if ldd "$exe" | grep -q 'libQt6Widgets'; then
    echo "links Qt Widgets: $exe"
    status=1
  fi
done
exit $status
