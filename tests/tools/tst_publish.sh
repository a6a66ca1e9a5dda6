#!/usr/bin/env bash
# The release command in a throwaway clone: two commits, the release and its record; the tarball dated
# inside; dist.sh --check passing on both; a dirty tree refused, and a later commit that changes a shipped file
# without opening the next version refused by the check.
#   tst_publish.sh <source>
set -euo pipefail
clone=$(mktemp -d)
trap 'rm -rf "$clone"' EXIT
git clone -q --no-local "$1" "$clone/pairfield"
cd "$clone/pairfield"
git config user.name "Pairfield's tests"
git config user.email tests@pairfield.invalid
version=$(sed -n '1s/^Pairfield \(.*\), unreleased$/\1/p' NEWS)
if [ -z "$version" ]; then # a released tree: the next version opened here
    version=$(sed -n '1s/^Pairfield \(.*\), .*$/\1/p' NEWS).1
    printf 'Pairfield %s, unreleased\n\n  * A test.\n\n' "$version" | cat - NEWS >NEWS.new
    mv NEWS.new NEWS
    git commit -q -am "Open $version"
fi
before=$(git rev-parse HEAD)

echo "changed" >>README.md
! tools/publish.sh "$version" 2>/dev/null || { echo "published from a dirty tree"; exit 1; }
git checkout -q README.md

tools/publish.sh "$version"
[ "$(git rev-list --count "$before"..HEAD)" = 2 ] || { echo "not two commits"; exit 1; }
tarball=build/dist/pairfield-$version.tar.xz
heading=$(tar -xOJf "$tarball" "pairfield-$version/NEWS" | sed -n 1p)
[ "$heading" = "Pairfield $version, $(date -u +%Y-%m-%d)" ] || { echo "the tarball's NEWS: $heading"; exit 1; }
grep -q "^$(sha256sum "$tarball" | cut -d' ' -f1)  pairfield-$version.tar.xz\$" releases.sha256
published=$(git rev-parse HEAD)
for commit in $(git rev-parse HEAD~1 HEAD); do
    git checkout -q "$commit"
    tools/dist.sh --check .
done
git checkout -q "$published"
echo "changed" >>README.md
git commit -q -am "A change after the release"
! tools/dist.sh --check . 2>/dev/null || { echo "a changed release passed the check"; exit 1; }
echo "released $version in two commits; the check refuses a change after it"
