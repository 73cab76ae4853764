#!/usr/bin/env bash
# Checks what a distribution checks: the menu entry (desktop-file-validate),
# the AppStream metadata (appstreamcli validate) and the .deb packed from the
# given build folder (lintian, which must report no errors). Called by
# test.sh after the tests; can be run alone on a built folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:?usage: tools/check-package.sh BUILD_DIR}

desktop-file-validate packaging/org.jorlivaron.JorLivaronMng.desktop
appstreamcli validate --no-net packaging/org.jorlivaron.JorLivaronMng.metainfo.xml

rm -f "$build_dir"/jorlivaronmng_*.deb
packing=$(cd "$build_dir" && cpack -G DEB 2>&1) || { echo "$packing"; echo "cpack failed"; exit 1; }
deb=$(ls "$build_dir"/jorlivaronmng_*.deb)
# lintian warns when run as root (as CI does); that warning is no finding.
status=0
findings=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$findings" || true
[ "$status" -eq 0 ] || { echo "lintian reports errors on $deb"; exit 1; }
echo "package checks: ok ($(basename "$deb"))"
