#!/usr/bin/env bash
# Releases the version that NEWS opens as unreleased, in one go, on a clean work tree:
#   publish.sh <version>
# dates NEWS's heading with today's date (UTC), gives debian/changelog its entry for the upload (the
# maintainer's UNRELEASED entry of <version>-1 if there is one, else a new one), commits both, makes the
# release tarball from that commit, records its digest in releases.sha256 and commits the record. The tarball
# says "Pairfield <version>, <date>" inside, and tools/dist.sh --check passes on both commits.
set -euo pipefail
version=${1:?usage: publish.sh <version>}
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
fail() { echo "publish.sh: $*" >&2; exit 1; }
[ -z "$(git status --porcelain --untracked-files=no)" ] || fail "the work tree has changes: commit them or put them away"
[ "$(head -n 1 NEWS)" = "Pairfield $version, unreleased" ] \
    || fail "NEWS does not open $version as unreleased: $(head -n 1 NEWS)"
day=$(date -u +%Y-%m-%d)
sed -i "1s/.*/Pairfield $version, $day/" NEWS

# The upload's entry: the maintainer's draft of it, released, or one of its own.
when=$(LC_ALL=C date -u -R)
if [ "$(dpkg-parsechangelog -S Version)" = "$version-1" ] && [ "$(dpkg-parsechangelog -S Distribution)" = UNRELEASED ]; then
    sed -i -e "1s/) UNRELEASED;/) unstable;/" -e "0,/^ -- \(.*\)  .*$/s// -- \1  $when/" debian/changelog
else
    maintainer=$(dpkg-parsechangelog -S Maintainer)
    { printf 'pairfield (%s-1) unstable; urgency=medium\n\n  * New upstream release.\n\n -- %s  %s\n\n' \
        "$version" "$maintainer" "$when"; cat debian/changelog; } >debian/changelog.new
    mv debian/changelog.new debian/changelog
fi
git commit -q -m "Release $version" -- NEWS debian/changelog

tarball=$(tools/dist.sh . build/dist 2>/dev/null)
echo "$(sha256sum "$tarball" | cut -d' ' -f1)  $(basename "$tarball")" >>releases.sha256
git commit -q -m "Record the tarball of $version" -- releases.sha256
tools/dist.sh --check . >/dev/null
echo "published $version: $tarball"
