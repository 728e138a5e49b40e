#!/bin/sh
# The Debian package of the build, made afresh with cpack, passes lintian
# --pedantic without an error or a warning; and cmake --install leaves a
# stripped program, as the package has. Exits 77 (skipped) when lintian is
# not installed; scripts/setup installs it.
#   deb_lintian.sh BUILD_DIR
set -u
BUILD="$1"
command -v lintian >/dev/null 2>&1 || { echo "SKIP: lintian is not installed"; exit 77; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack -G DEB -B "$WORK/deb" --config "$BUILD/CPackConfig.cmake" >"$WORK/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$WORK/cpack.log")"
DEB="$(ls "$WORK"/deb/*.deb 2>/dev/null | head -1)"
[ -n "$DEB" ] || fail "cpack made no package: $(cat "$WORK/cpack.log")"
dpkg-deb -c "$DEB" >"$WORK/contents" || fail "dpkg-deb cannot list $DEB"
for f in usr/share/doc/quizlark/copyright usr/share/doc/quizlark/changelog.gz \
  usr/share/man/man1/quizlark.1.gz; do
  grep " \./$f\$" "$WORK/contents" >/dev/null || fail "the package has no $f"
done

lintian --pedantic --tag-display-limit 0 "$DEB" >"$WORK/lintian.log" 2>&1
status=$?
cat "$WORK/lintian.log"
if grep -E '^[EW]: ' "$WORK/lintian.log" >/dev/null; then
  fail "lintian reports errors or warnings"
fi
# An exit status of 2 or more is lintian failing to run, not a finding.
[ "$status" -lt 2 ] || fail "lintian ended with status $status"
echo "ok: lintian --pedantic reports no error or warning"

cmake --install "$BUILD" --prefix "$WORK/prefix" >"$WORK/install.log" 2>&1 ||
  fail "install: $(cat "$WORK/install.log")"
PROGRAM="$(readlink -f "$WORK/prefix/bin/quizlark")"
[ -f "$PROGRAM" ] || fail "cmake --install installed no program"
if readelf -S "$PROGRAM" | grep -Eq '\.symtab|\.debug_'; then
  fail "cmake --install left the program unstripped ($(stat -c %s "$PROGRAM") bytes)"
fi
echo "ok: cmake --install strips the program ($(stat -c %s "$PROGRAM") bytes)"
