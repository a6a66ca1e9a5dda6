#!/usr/bin/env bash
# Builds the Debian source package and the binary package from a copy of the source tree, as a packager does:
#   build-deb.sh <source> <directory>
# The copy is <directory>/pairfield-<version>; the .dsc, .tar.xz, .deb, .buildinfo and .changes land in
# <directory>. Only the files of the source are copied: those git knows of (committed or not, but not
# ignored), or outside a clone everything but the build trees.
set -euo pipefail
source=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
tree=$out/pairfield-$version
rm -rf "$tree" "$out"/pairfield_"$version"*
mkdir "$tree"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$source" ls-files -z --cached --others --exclude-standard \
        | (cd "$source" && while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done) \
        | tar -C "$source" --null -T - -cf - | tar -C "$tree" -xf -
else
    tar -C "$source" --exclude=./build -cf - . | tar -C "$tree" -xf -
fi
cd "$tree"
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc
