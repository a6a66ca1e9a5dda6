#!/usr/bin/env bash
# Releases the version that NEWS opens as unreleased, in one commit, from a clean work tree on a branch:
#   publish.sh <version>
# dates NEWS's heading with today's date (UTC), releases debian/changelog's UNRELEASED draft of that version
# with dch (its epoch and revision kept), or adds an entry of its own where the newest is an upload, makes the
# release tarball from the commit, records its digest in releases.sha256 (which the tarball leaves out), and
# tags the commit v<version>. Everything is checked before the first edit; on any failure HEAD, the index and
# the work tree are left as they were.
set -euo pipefail
version=${1:?usage: publish.sh <version>}
cd "$(dirname "$0")/.."
fail() { echo "publish.sh: $*" >&2; exit 1; }
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || fail "the work tree has changes: commit them or put them away"
git symbolic-ref -q HEAD >/dev/null || fail "HEAD is on no branch: check out the branch to release on"
git var GIT_COMMITTER_IDENT >/dev/null && git var GIT_AUTHOR_IDENT >/dev/null \
    || fail "git knows no name and address to commit with: set user.name and user.email"
[[ $version != *[:-]* ]] && dpkg --validate-version "$version-1" 2>/dev/null \
    || fail "$version is not a Debian upstream version with neither epoch nor revision"
! git rev-parse -q --verify "refs/tags/v$version" >/dev/null || fail "the tag v$version exists already"
[ "$(head -n 1 NEWS)" = "Pairfield $version, unreleased" ] || fail "NEWS does not open $version: $(head -n 1 NEWS)"
sed -n '2,/^Pairfield /p' NEWS | grep '^  \* ' >/dev/null || fail "NEWS lists nothing that $version brings"
for before in $(sed -n 's/^Pairfield \([^,]*\), [0-9-]*$/\1/p' NEWS) \
    $(sed -n 's/^[0-9a-f]*  pairfield-\(.*\)\.tar\.xz$/\1/p' releases.sha256); do
    dpkg --compare-versions "$version" gt "$before" || fail "$version must come after $before, released already"
done
# The newest entry of debian/changelog is the maintainer's draft of this version's upload, or an upload.
newest=$(dpkg-parsechangelog -S Version) distribution=$(dpkg-parsechangelog -S Distribution)
# Every entry but the draft, which is the one that may be of this version.
for entry in $(dpkg-parsechangelog --all --format rfc822 | sed -n 's/^Version: //p' \
    | tail -n +$([ "$distribution" = UNRELEASED ] && echo 2 || echo 1)); do
    [ "$(tools/build-deb.sh --upstream-of "$entry")" != "$version" ] \
        || fail "debian/changelog has an entry of $version already: $entry"
done
[ "$distribution" != UNRELEASED ] || [ "$(tools/build-deb.sh --upstream-of "$newest")" = "$version" ] \
    || fail "debian/changelog's UNRELEASED draft is of $newest, not of $version: release it, or make it $version's"

head=$(git rev-parse HEAD)
undo() {
    git reset -q --hard "$head"
    git tag -d "v$version" >/dev/null 2>&1 || true
    rm -f build/dist/pairfield-"$version".tar.xz*
}
trap '[ $? = 0 ] || undo' EXIT
sed -i "1s/.*/Pairfield $version, $(date -u +%Y-%m-%d)/" NEWS
# The entry keeps the maintainer of the one before it (-m).
if [ "$distribution" = UNRELEASED ]; then
    TZ=UTC dch -m --release --distribution unstable "" </dev/null
else
    epoch=$([[ $newest == *:* ]] && echo "${newest%%:*}:" || true)
    TZ=UTC dch -m --newversion "$epoch$version-1" --distribution unstable "New upstream release." </dev/null
fi
git commit -q -m "Release $version" -- NEWS debian/changelog
tarball=$(tools/dist.sh . build/dist)
cat "$tarball.sha256" >>releases.sha256
git commit -q --amend --no-edit -- releases.sha256
git tag -a "v$version" -m "Pairfield $version"
tools/dist.sh --check . >/dev/null
echo "published $version: $tarball, tagged v$version"
