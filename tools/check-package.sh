#!/usr/bin/env bash
# Checks the .deb as a distribution would: builds it in BUILD_DIR with
# tools/package.sh, then
# - the menu entry in it (desktop-file-validate) starts the program by its
#   absolute path, and the icon comes as PNGs from 16 to 256 pixels beside
#   the SVG;
# - the AppStream metadata passes `appstreamcli validate --pedantic`;
# - lintian reports no errors, and its pedantic run with the information
#   tags shown (-I) no hardening tags;
# - every folder and file in it, and every member of the archive, has its
#   fixed mode (no group or world write), whatever the umask of the build;
# - the package is reproducible: built again in another folder, it has the
#   same bytes. The second build is a sibling of BUILD_DIR, so that a
#   compiler cache with the repository as its base folder serves its
#   objects: what the comparison then checks is what the build adds to the
#   compiler's output (paths, dates, embedded resources, linking, modes).
# Called by test.sh; can be run alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:?usage: tools/check-package.sh BUILD_DIR}

packing=$(tools/package.sh "$build_dir") || { echo "$packing"; exit 1; }
deb=$(tail -n 1 <<<"$packing")
echo "-- checking $(basename "$deb")"
work=$(mktemp -d)
again_dir=${build_dir%/}-again
trap 'rm -rf "$work" "$again_dir"' EXIT

dpkg-deb --extract "$deb" "$work/root"
app=org.jorlivaron.JorLivaronMng
desktop=$work/root/usr/share/applications/$app.desktop
desktop-file-validate "$desktop"
grep -qx 'Exec=/usr/games/JorLivaronMng %F' "$desktop" \
    || { echo "the menu entry does not start /usr/games/JorLivaronMng: $(grep '^Exec=' "$desktop")"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    png=$work/root/usr/share/icons/hicolor/${size}x${size}/apps/jorlivaronmng.png
    [ "$(file -b "$png" 2>/dev/null | cut -d, -f2)" = " $size x $size" ] \
        || { echo "no ${size}x$size PNG icon in the package"; exit 1; }
done
[ -f "$work/root/usr/share/icons/hicolor/scalable/apps/jorlivaronmng.svg" ] || { echo "no SVG icon"; exit 1; }
# The chart plug-in, which the program loads from its own folder.
[ -f "$work/root/usr/libexec/jorlivaronmng/JorLivaronMngChart.so" ] || { echo "no chart plug-in"; exit 1; }

# appstreamcli passes a file with pedantic findings; they count here.
metainfo=$work/root/usr/share/metainfo/org.jorlivaron.jorlivaronmng.metainfo.xml
validation=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || { echo "$validation"; exit 1; }
if grep -qE '^[EWIP]: ' <<<"$validation"; then
    echo "$validation"
    echo "appstreamcli has findings on the metadata"
    exit 1
fi
# No address the project does not have (a placeholder that validation with
# its network check would find unreachable), and no screenshot named that
# the package does not ship.
if grep -qE 'https?://[^<]*\.example(/|<|$)' "$metainfo"; then
    echo "the metadata names placeholder addresses:"; grep -E '\.example' "$metainfo"; exit 1
fi
while read -r image; do
    [ -f "$work/root/usr/share/jorlivaronmng/screenshots/$(basename "$image")" ] \
        || { echo "the screenshot $image is not in the package"; exit 1; }
done < <(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "$metainfo")

# lintian warns when run as root (as CI does); that warning is no finding.
status=0
findings=$(lintian --pedantic -I --fail-on error --tag-display-limit 0 "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$findings" || true
[ "$status" -eq 0 ] || { echo "lintian reports errors on $deb"; exit 1; }
if grep -q ' hardening-' <<<"$findings"; then
    echo "lintian finds the program built without hardening"
    exit 1
fi

# Modes that do not follow the umask: folders 0755, files 0644 or 0755 (links
# aside), archive members 0644.
loose=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^l/ && (substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w")')
[ -z "$loose" ] || { echo "writable by group or others in the package:"; echo "$loose"; exit 1; }
loose_members=$(ar tv "$deb" | awk 'substr($1, 5, 1) == "w" || substr($1, 8, 1) == "w"')
[ -z "$loose_members" ] || { echo "archive members writable by group or others:"; echo "$loose_members"; exit 1; }

# The same source built again elsewhere gives the same package.
rm -rf "$again_dir"
packing=$(tools/package.sh "$again_dir") || { echo "$packing"; exit 1; }
again=$(tail -n 1 <<<"$packing")
if ! cmp "$deb" "$again"; then
    echo "two builds of the package differ:"
    diff <(dpkg-deb --contents "$deb") <(dpkg-deb --contents "$again") || true
    exit 1
fi
echo "package checks: ok ($(basename "$deb"), reproducible)"
