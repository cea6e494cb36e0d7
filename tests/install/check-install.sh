#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the program, its desktop entry and
# its icon land where desktops look, that the entry is valid, and that its Exec and Icon name
# the installed files.
set -euo pipefail

build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }

binary=$prefix/bin/marrowick
desktop=$prefix/share/applications/marrowick.desktop
icon=$prefix/share/icons/hicolor/scalable/apps/marrowick.svg

[ -x "$binary" ] || fail "no program at $binary"
[ -f "$desktop" ] || fail "no desktop entry at $desktop"
[ -s "$icon" ] || fail "no icon at $icon"

desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"

entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "$(basename "$binary")" ] || fail "Exec does not name the installed program"
[ "$(entry Icon)" = "$(basename "$icon" .svg)" ] || fail "Icon does not name the installed icon"
grep -q '<svg' "$icon" || fail "the installed icon is no SVG"
echo "installed and valid"
