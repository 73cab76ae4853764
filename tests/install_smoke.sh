#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks the layout
# of a Linux desktop program: the executable with its catalog and its chart
# plug-in beside it, a
# link in games that starts it (it finds its catalog through the link and
# keeps running), the menu entry that opens village files, the MIME type that
# makes a .vlgdat file a village file, the icon, the manual page, the license,
# and valid AppStream metadata.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
app=org.jorlivaron.JorLivaronMng
for file in libexec/jorlivaronmng/JorLivaronMng libexec/jorlivaronmng/JorLivaronMng.xml \
            libexec/jorlivaronmng/JorLivaronMngChart.so \
            share/applications/$app.desktop share/metainfo/org.jorlivaron.jorlivaronmng.metainfo.xml \
            share/mime/packages/$app.xml share/icons/hicolor/scalable/apps/jorlivaronmng.svg \
            share/man/man6/JorLivaronMng.6.gz share/doc/jorlivaronmng/copyright \
            share/doc/jorlivaronmng/changelog.gz; do
    [ -f "$prefix/$file" ] || { echo "missing after install: $file"; exit 1; }
done
[ -L "$prefix/games/JorLivaronMng" ] || { echo "games/JorLivaronMng is not a link"; exit 1; }
desktop=$prefix/share/applications/$app.desktop
grep -q '^Name=Менеджер для игры Ливарон$' "$desktop"
grep -qxF "Exec=$prefix/games/JorLivaronMng %F" "$desktop" \
    || { echo "the menu entry does not start the installed program by its path and pass files"; exit 1; }
grep -qx 'StartupWMClass=JorLivaronMng' "$desktop" || { echo "the menu entry names no window class"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    [ -f "$prefix/share/icons/hicolor/${size}x$size/apps/jorlivaronmng.png" ] \
        || { echo "missing after install: the ${size}x$size icon"; exit 1; }
done
grep -q '^MimeType=application/x-jorlivaron-village;$' "$desktop" || { echo "the menu entry names no MIME type"; exit 1; }
gzip -t "$prefix/share/man/man6/JorLivaronMng.6.gz" "$prefix/share/doc/jorlivaronmng/changelog.gz"
grep -q '^License: GPL-3.0-or-later$' "$prefix/share/doc/jorlivaronmng/copyright"

# The MIME file: well-formed, and once the MIME database is built from it, a
# *.vlgdat file is a village file.
mime=$prefix/share/mime/packages/$app.xml
grep -q 'type="application/x-jorlivaron-village"' "$mime"
grep -q 'pattern="\*\.vlgdat"' "$mime"
if command -v update-mime-database >/dev/null 2>&1; then
    update-mime-database "$prefix/share/mime" >/dev/null
    grep -q '^application/x-jorlivaron-village:\*\.vlgdat$' "$prefix/share/mime/globs" \
        || { echo "the MIME database does not know *.vlgdat"; exit 1; }
    [ -f "$prefix/share/mime/application/x-jorlivaron-village.xml" ]
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.jorlivaron.jorlivaronmng.metainfo.xml" >/dev/null
fi

# A file manager of a GNOME-based desktop (GIO) offers the entry for village
# files also when started with root's PATH, which lacks the games folder.
# The desktop's package triggers build the cache of MIME types' entries.
if command -v gio >/dev/null 2>&1 && command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$prefix/share/applications" 2>/dev/null
    offered=$(env -i HOME="$prefix" XDG_DATA_HOME="$prefix/nothing" XDG_DATA_DIRS="$prefix/share" \
        XDG_CONFIG_HOME="$prefix/config" PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        gio mime application/x-jorlivaron-village 2>&1)
    grep -q "$app.desktop" <<<"$offered" || { echo "GIO does not offer the menu entry: $offered"; exit 1; }
fi

# What the program remembers stays in the temporary folder, and so does its
# one-program-per-user socket: a copy running elsewhere on the machine would
# otherwise take this start's hand-over and end it at once.
export XDG_CONFIG_HOME=$prefix/config XDG_DATA_HOME=$prefix/data XDG_RUNTIME_DIR=$prefix/runtime
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
version=$(QT_QPA_PLATFORM=offscreen "$prefix/games/JorLivaronMng" --version 2>/dev/null)
[[ $version =~ ^JorLivaronMng\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "unexpected --version: $version"; exit 1; }

# Without its catalog the program ends at once with status 1; with it, it
# runs until stopped. Sanitizer builds start slowly, so give it time.
status=0
QT_QPA_PLATFORM=offscreen timeout 8 "$prefix/games/JorLivaronMng" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "the installed program ended with status $status"; exit 1; }
echo "installed layout and start-up: ok"
