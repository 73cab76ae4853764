#!/usr/bin/env bash
# Builds the Debian package: installs what the build and CPack need (CPack's
# Debian generator needs `file`, and `dpkg-shlibdeps` from dpkg-dev to work
# out the libraries the program depends on), builds the program for use in
# BUILD_DIR (build-package by default) and packs it there with CPack.
#
# The package is reproducible: SOURCE_DATE_EPOCH (the time of the last
# commit, or of the newest changelog entry outside a git checkout) dates
# every file in it, so two builds of one source give the same bytes.
#
# Fails when the package names no library dependencies (CPack leaves them
# out silently when dpkg-shlibdeps is missing or fails). Prints the path of
# the .deb on its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages cmake g++ make qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev \
    file dpkg-dev

build_dir=${1:-build-package}
# Fixed modes whatever the caller's umask (a shared group's 0002 would make
# every folder 0775 and every archive member 0664): the package's bytes do
# not depend on who builds it.
umask 0022

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true)
    [ -n "$SOURCE_DATE_EPOCH" ] || SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
fi
export SOURCE_DATE_EPOCH
# The resource compiler dates the files it embeds (the icon) with this.
export QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
rm -f "$build_dir"/jorlivaronmng_*.deb
packing=$(cd "$build_dir" && cpack -G DEB 2>&1) || { echo "$packing"; echo "cpack failed"; exit 1; }
deb=$(cd "$build_dir" && ls "$PWD"/jorlivaronmng_*.deb)

depends=$(dpkg-deb --field "$deb" Depends)
# The package names of the dependencies, one a line, without versions.
names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
# Qt Charts comes with the chart plug-in.
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6charts6; do
    grep -qxF "$library" <<<"$names" \
        || { echo "the package does not depend on $library (Depends: $depends)"; exit 1; }
done
echo "$deb"
