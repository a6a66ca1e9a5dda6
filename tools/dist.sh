#!/usr/bin/env bash
# Writes the tarball that any distribution can build, pairfield-<version>.tar.xz, and its SHA-256 beside it,
# from the committed tree (or, with --worktree, the files git tracks as they are in the working tree; a file
# git does not track is never taken), without what does not ship: the Debian packaging, CI's files and the
# record of releases.
#   dist.sh [--worktree] <source> <directory>
#   dist.sh --check <source>         only whether the committed tree may be made into a tarball
# The same tree gives the same bytes: names sorted, owners and groups 0, every time the release's day, modes
# 0644 and 0755 whatever the umask, xz on one thread.
#
# The version is that of the NEWS packed (cmake/news.cmake holds the rule, which the build follows too): a
# release, "Pairfield 1.0.4, 2026-12-10", or the next version, "Pairfield 1.0.4, unreleased", whose tarball is
# a snapshot named after its commit, 1.0.4~dev<time>.<commit>, and .dirty after that where --worktree packs
# files that differ from the commit. In dpkg's and rpm's order a snapshot sorts after the release before and
# before 1.0.4, and snapshots in the order they were committed; its NEWS says which snapshot it is, "Pairfield
# 1.0.4, unreleased snapshot <time>.<commit>". A released version names one tarball forever: releases.sha256
# records the digest of each, only ever grows, and a tree that gives other bytes under a released name, or
# opens a released version again, is refused. Outside the project's own git work tree (an unpacked tarball,
# even inside another repository) only a release can be made, of every file of <source> but the build trees.
set -euo pipefail
mode=commit
case ${1:-} in
    --worktree | --check) mode=${1#--}; shift ;;
esac
source=$(cd "$1" && pwd)
fail() { echo "dist.sh: $*" >&2; exit 1; }
recorded() { awk -v name="$1.tar.xz" '$2 == name { print $1 }' "$source/releases.sha256" 2>/dev/null || true; }
# Only the project's own work tree is read through git: a tarball unpacked inside another repository is made
# from its files.
git=false
[ "$(git -C "$source" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$source" && pwd -P)" ] && git=true
shipped=(. ':!debian' ':!.ci' ':!releases.sha256')

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
mkdir "$staging/tree"
if ! $git; then
    tar -C "$source" --exclude=./build --exclude=./debian --exclude=./.ci --exclude=./releases.sha256 -cf - . \
        | tar -C "$staging/tree" -xf -
elif [ "$mode" = worktree ]; then
    git -C "$source" ls-files -z --cached -- "${shipped[@]}" \
        | (cd "$source" && while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done) \
        | tar -C "$source" --null -T - -cf - | tar -C "$staging/tree" -xf -
else
    git -C "$source" archive --format=tar HEAD -- "${shipped[@]}" | tar -C "$staging/tree" -xf -
fi

read -r version date < <(cmake -DSOURCE="$source" -DNEWS="$staging/tree/NEWS" -P "$source/cmake/version.cmake") \
    || fail "NEWS gives no version"
released=true
[[ $version != *~dev* ]] || released=false
if [ "$mode" = worktree ] && $git && ! git -C "$source" diff --quiet HEAD -- "${shipped[@]}"; then
    ! $released || fail "$version is released from its commit, and files it ships differ from it:" \
        "commit them or put them away"
    version+=.dirty
fi
if ! $released; then
    [ -n "${version##*~dev}" ] \
        || fail "a snapshot of the unreleased ${version%~dev} is named after its commit: it needs git"
    [ -z "$(recorded "pairfield-${version%%~*}")" ] \
        || fail "NEWS opens ${version%%~*} again, which is released: open a later version"
    sed -i "1s/, unreleased\$/, unreleased snapshot ${version##*~dev}/" "$staging/tree/NEWS"
fi
[ "$mode" != check ] || ! $git || ! git -C "$source" log --format= -p -- releases.sha256 | grep '^-[0-9a-f]' >/dev/null \
    || fail "a commit changed or removed a line of releases.sha256, which only grows"
name=pairfield-$version
mv "$staging/tree" "$staging/$name"
out=$staging
[ "$mode" = check ] || out=$(mkdir -p "$2" && cd "$2" && pwd)
tar -C "$staging" --sort=name --format=gnu --owner=0 --group=0 --numeric-owner \
    --mtime="$date 00:00:00 UTC" --mode='u=rwX,go=rX' -cf - "$name" | xz -9 -T1 >"$out/$name.tar.xz"
digest=$(sha256sum "$out/$name.tar.xz" | cut -d' ' -f1)

recorded=$(recorded "$name")
if $released && [ -n "$recorded" ] && [ "$recorded" != "$digest" ]; then
    rm -f "$out/$name.tar.xz"
    fail "$version was released as a tarball of SHA-256 $recorded, and this tree is another: open the next version" \
        "with a first heading \"Pairfield <next version>, unreleased\" in NEWS"
fi
if [ "$mode" = check ]; then
    ! $released || [ -n "$recorded" ] || fail "NEWS releases $version, whose tarball releases.sha256 does not record"
    echo "$name.tar.xz: $($released && echo "the release recorded" || echo "a snapshot of its commit")"
    exit 0
fi
(cd "$out" && sha256sum "$name.tar.xz" >"$name.tar.xz.sha256")
echo "$out/$name.tar.xz"
