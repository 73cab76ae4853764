#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks the layout
# of a Linux desktop program: the executable with its catalog beside it, a
# link in bin that starts it (it finds its catalog through the link and keeps
# running), the menu entry, the icon and valid AppStream metadata.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for file in libexec/jorlivaronmng/JorLivaronMng libexec/jorlivaronmng/JorLivaronMng.xml \
            share/applications/org.jorlivaron.JorLivaronMng.desktop \
            share/metainfo/org.jorlivaron.JorLivaronMng.metainfo.xml \
            share/icons/hicolor/scalable/apps/jorlivaronmng.svg; do
    [ -f "$prefix/$file" ] || { echo "missing after install: $file"; exit 1; }
done
[ -L "$prefix/bin/JorLivaronMng" ] || { echo "bin/JorLivaronMng is not a link"; exit 1; }
grep -q '^Name=Менеджер для игры Ливарон$' "$prefix/share/applications/org.jorlivaron.JorLivaronMng.desktop"
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.jorlivaron.JorLivaronMng.metainfo.xml" >/dev/null
fi

# Without its catalog the program ends at once with status 1; with it, it
# runs until stopped. Sanitizer builds start slowly, so give it time.
status=0
QT_QPA_PLATFORM=offscreen timeout 8 "$prefix/bin/JorLivaronMng" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "the installed program ended with status $status"; exit 1; }
echo "installed layout and start-up: ok"
