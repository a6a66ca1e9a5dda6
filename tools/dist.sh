#!/usr/bin/env bash
# Writes the release tarball that any distribution can build, pairfield-<version>.tar.xz, and its SHA-256
# beside it, from the committed tree (or, with --worktree, the files git knows of as they are in the working
# tree, committed or not) without the Debian packaging and CI's own files:
#   dist.sh [--worktree] <source> <directory>
# The same tree gives the same bytes: names sorted, owners and groups 0, every time the release's day from
# NEWS, modes 0644 and 0755 whatever the umask, xz on one thread. Outside a git clone, every file of <source>
# but the build trees is taken.
set -euo pipefail
worktree=false
if [ "${1:-}" = --worktree ]; then
    worktree=true
    shift
fi
source=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
read -r version date < <(sed -n '1s/^Pairfield \([^ ,]*\), \([0-9-]*\)$/\1 \2/p' "$source/NEWS")
[ -n "$version" ] || { echo "dist.sh: NEWS does not begin with a release" >&2; exit 1; }
name=pairfield-$version
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
mkdir "$staging/$name"
if ! git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    tar -C "$source" --exclude=./build --exclude=./debian --exclude=./.ci -cf - . | tar -C "$staging/$name" -xf -
elif $worktree; then
    git -C "$source" ls-files -z --cached --others --exclude-standard -- . ':!debian' ':!.ci' \
        | (cd "$source" && while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done) \
        | tar -C "$source" --null -T - -cf - | tar -C "$staging/$name" -xf -
else
    git -C "$source" archive --format=tar HEAD -- . ':!debian' ':!.ci' | tar -C "$staging/$name" -xf -
fi
tar -C "$staging" --sort=name --format=gnu --owner=0 --group=0 --numeric-owner \
    --mtime="$date 00:00:00 UTC" --mode='u=rwX,go=rX' -cf - "$name" | xz -9 -T1 >"$out/$name.tar.xz"
(cd "$out" && sha256sum "$name.tar.xz" >"$name.tar.xz.sha256")
echo "$out/$name.tar.xz"
