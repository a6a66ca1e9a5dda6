#!/usr/bin/env bash
# The release command in a throwaway clone: each tree it must refuse refused with a reason, before any edit;
# then a release in one tagged commit, the draft's epoch kept, the tarball dated inside, dist.sh --check passing
# in a depth-1 clone of it; a next release with an entry of its own; and the check refusing a rewritten record,
# a reopened release and a later change to a shipped file.
#   tst_publish.sh <source>
set -euo pipefail
clone=$(mktemp -d)
trap 'rm -rf "$clone"' EXIT
git clone -q --no-local "$1" "$clone/pairfield"
cd "$clone/pairfield"
git config user.name "Pairfield's tests"
git config user.email tests@pairfield.invalid
fail() { echo "FAIL: $*" >&2; exit 1; }
state() { git rev-parse HEAD; git symbolic-ref -q HEAD; git status --porcelain; git diff; git tag; }
open() { # opens version $1 in NEWS with an item, and commits
    printf 'Pairfield %s, unreleased\n\n  * A test.\n\n' "$1" | cat - NEWS >NEWS.new
    mv NEWS.new NEWS
    git commit -q -am "Open $1"
}
version=$(sed -n '1s/^Pairfield \(.*\), unreleased$/\1/p' NEWS)
if [ -z "$version" ]; then # a released tree: the next version opened here
    version=$(sed -n '1s/^Pairfield \(.*\), .*$/\1/p' NEWS).1
    open "$version"
fi
# The maintainer's draft of the upload, under an epoch that must survive.
if [ "$(dpkg-parsechangelog -S Distribution)" = UNRELEASED ]; then
    sed -i "1s/(.*)/(1:$version-1)/" debian/changelog
else
    dch -m -v "1:$version-1" -D UNRELEASED "A draft." </dev/null 2>/dev/null
fi
git commit -q -am "Draft the upload of $version"
base=$(git rev-parse HEAD)

# Each row: what makes the tree, the version asked for, and what the refusal says.
last=$(sed -n 's/^Pairfield \([^,]*\), [0-9-]*$/\1/p' NEWS | head -n 1)
while IFS='|' read -r make asked says; do
    git checkout -q -f "$base" && git checkout -q -B main
    git config user.name "Pairfield's tests"
    git tag -d "v$version" >/dev/null 2>&1 || true
    eval "$make"
    before=$(state)
    said=$(tools/publish.sh "$asked" 2>&1) && fail "published $asked from: $make"
    grep -qF "$says" <<<"$said" || fail "$make: said \"$said\", not \"$says\""
    [ "$before" = "$(state)" ] || fail "$make: the tree changed"
done <<EOF
echo changed >>README.md|$version|the work tree has changes
git checkout -q --detach|$version|HEAD is on no branch
git config user.name ''|$version|git knows no name
sed -i '1s/.*/Pairfield ${version}_beta, unreleased/' NEWS; git commit -qam beta|${version}_beta|is not a Debian upstream version
sed -i '1s/.*/Pairfield $last, unreleased/' NEWS; git commit -qam reopen|$last|must come after $last
sed -i '1s/.*/Pairfield $last~rc1, unreleased/' NEWS; git commit -qam lower|$last~rc1|must come after $last
sed -i '3,/^Pairfield /{/^Pairfield /!d}' NEWS; git commit -qam empty|$version|NEWS lists nothing
:|$version.1|NEWS does not open $version.1
sed -i '1s/1:$version-1/1:$last-2/' debian/changelog; git commit -qam other|$version|draft is of 1:$last-2
sed -i '1s/UNRELEASED/unstable/' debian/changelog; git commit -qam uploaded|$version|an entry of $version already
git tag v$version|$version|the tag v$version exists already
EOF
git checkout -q -f "$base" && git checkout -q -B main
git tag -d "v$version" >/dev/null

tools/publish.sh "$version"
[ "$(git rev-list --count "$base"..HEAD)" = 1 ] || fail "not one commit"
[ "$(git describe --exact-match)" = "v$version" ] || fail "the release is not tagged"
[ "$(dpkg-parsechangelog -S Version) $(dpkg-parsechangelog -S Distribution)" = "1:$version-1 unstable" ] \
    || fail "the draft was not released as written: $(head -n 1 debian/changelog)"
tarball=build/dist/pairfield-$version.tar.xz
heading=$(tar -xOJf "$tarball" "pairfield-$version/NEWS" | sed -n 1p)
[ "$heading" = "Pairfield $version, $(date -u +%Y-%m-%d)" ] || fail "the tarball's NEWS: $heading"
grep -qx "$(sha256sum "$tarball" | cut -d' ' -f1)  pairfield-$version.tar.xz" releases.sha256
git clone -q --depth 1 "file://$PWD" "$clone/shallow"
tools/dist.sh --check "$clone/shallow" >/dev/null || fail "the check fails in a depth-1 clone"

# The next release has an entry of its own, under the same epoch.
open "$version.1"
tools/publish.sh "$version.1" >/dev/null
[ "$(dpkg-parsechangelog -S Version)" = "1:$version.1-1" ] || fail "the new entry is $(head -n 1 debian/changelog)"
released=$(git rev-parse HEAD)

# Each row: a commit after the release that the check must refuse.
while read -r make; do
    git checkout -q -f "$released"
    eval "$make"
    git commit -q -am "$make"
    ! tools/dist.sh --check . 2>/dev/null || fail "the check passed: $make"
done <<EOF
echo changed >>README.md
echo changed >>README.md; sed -i '\$d' releases.sha256; git commit -qam again; cat "\$(tools/dist.sh . build/x)".sha256 >>releases.sha256
sed -i '1s/, .*/, unreleased/' NEWS; echo changed >>README.md
EOF
echo "every refusal before any edit; $version released in one tagged commit, epoch kept; the check refuses a change after it"
