#!/usr/bin/env bash
# Writes the tarball that any distribution can build, pairfield-<version>.tar.xz, and its SHA-256 beside it,
# from the committed tree (or, with --worktree, the files git tracks as they are in the working tree, changed
# or not; a file git does not track is never taken), without the Debian packaging, CI's files and the record
# of releases:
#   dist.sh [--worktree] <source> <directory>
#   dist.sh --check <source>         only whether the committed tree may be made into a tarball
# The same tree gives the same bytes: names sorted, owners and groups 0, every time the release's day, modes
# 0644 and 0755 whatever the umask, xz on one thread.
#
# NEWS's first heading is a release, "Pairfield 1.0.4, 2026-12-10", or the next version, not yet released,
# "Pairfield 1.0.4, unreleased". A released version names one tarball forever: releases.sha256 records the
# digest of each, and a tree that gives other bytes under a released name is refused; the commit that releases
# a version is let through before its record, which the next commit adds. An unreleased tree gives a snapshot
# named after its commit, 1.0.4~dev<time>.<commit> (cmake/news.cmake holds the rule, which the build follows
# too), and with --worktree, where files git tracks differ from the commit, 1.0.4~dev<time>.<commit>.dirty. In
# dpkg's and rpm's order a snapshot sorts after the release before and before 1.0.4, and snapshots in the
# order they were committed; its NEWS says which snapshot it is, "Pairfield 1.0.4, unreleased snapshot
# <time>.<commit>". Outside the project's own git work tree (an unpacked tarball, even inside another
# repository) only a release can be made, of every file of <source> but the build trees.
set -euo pipefail
mode=commit
case ${1:-} in
    --worktree) mode=worktree; shift ;;
    --check) mode=check; shift ;;
esac
source=$(cd "$1" && pwd)
fail() { echo "dist.sh: $*" >&2; exit 1; }
# Only the project's own work tree is read through git: a tarball unpacked inside another repository is made
# from its files.
git=false
[ "$(git -C "$source" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$source" && pwd -P)" ] && git=true

# The version, by the one rule the build follows too (cmake/news.cmake).
read -r version date < <(cmake -DSOURCE="$source" -DWORKTREE=$([ "$mode" = worktree ] && echo ON || echo OFF) \
    -P "$source/cmake/version.cmake") || fail "NEWS gives no version"
released=true
if [[ $version == *~dev* ]]; then
    released=false stamp=${version##*~dev}
    [ -n "$stamp" ] || fail "a snapshot of the unreleased ${version%~dev} is named after its commit: it needs git"
fi
if $released && $git && [ "$mode" = worktree ] && ! git -C "$source" diff --quiet HEAD --; then
    fail "$version is released from its commit, and files git tracks differ from it: commit them or put them away"
fi
name=pairfield-$version
recorded=$(awk -v name="$name.tar.xz" '$2 == name { print $1 }' "$source/releases.sha256" 2>/dev/null || true)

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
if [ "$mode" = check ]; then
    out=$staging
else
    mkdir -p "$2"
    out=$(cd "$2" && pwd)
fi
mkdir "$staging/$name"
excluded=(':!debian' ':!.ci' ':!releases.sha256')
if ! $git; then
    tar -C "$source" --exclude=./build --exclude=./debian --exclude=./.ci --exclude=./releases.sha256 -cf - . \
        | tar -C "$staging/$name" -xf -
elif [ "$mode" = worktree ]; then
    git -C "$source" ls-files -z --cached -- . "${excluded[@]}" \
        | (cd "$source" && while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done) \
        | tar -C "$source" --null -T - -cf - | tar -C "$staging/$name" -xf -
else
    git -C "$source" archive --format=tar HEAD -- . "${excluded[@]}" | tar -C "$staging/$name" -xf -
fi
if ! $released; then
    sed -i "1s/, unreleased\$/, unreleased snapshot $stamp/" "$staging/$name/NEWS"
fi
tar -C "$staging" --sort=name --format=gnu --owner=0 --group=0 --numeric-owner \
    --mtime="$date 00:00:00 UTC" --mode='u=rwX,go=rX' -cf - "$name" | xz -9 -T1 >"$out/$name.tar.xz"
digest=$(sha256sum "$out/$name.tar.xz" | cut -d' ' -f1)

if $released && [ -n "$recorded" ] && [ "$recorded" != "$digest" ]; then
    rm -f "$out/$name.tar.xz"
    fail "$version was released as a tarball of SHA-256 $recorded, and this tree is another: open the next version" \
        "with a first heading \"Pairfield <next version>, unreleased\" in NEWS"
fi
if $released && [ -z "$recorded" ] && [ "$mode" = check ]; then
    # The commit that releases a version, whose record the next commit adds (tools/publish.sh).
    before=$($git && git -C "$source" show HEAD~1:NEWS 2>/dev/null | head -n 1 || true)
    [ "$before" = "Pairfield $version, unreleased" ] \
        || fail "NEWS releases $version, whose tarball is not recorded in releases.sha256"
    echo "$name.tar.xz: the release, which the next commit records"
    exit 0
fi
if $released && [ -z "$recorded" ]; then
    echo "dist.sh: releasing $version? Record its tarball in releases.sha256: $digest  $name.tar.xz" >&2
fi
if [ "$mode" = check ]; then
    echo "$name.tar.xz: $($released && echo "the release recorded" || echo "a snapshot of its commit")"
    exit 0
fi
(cd "$out" && sha256sum "$name.tar.xz" >"$name.tar.xz.sha256")
echo "$out/$name.tar.xz"
