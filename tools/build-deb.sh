#!/usr/bin/env bash
# Builds the Debian source package and the binary package as a packager does, from the release tarball and the
# Debian packaging:
#   build-deb.sh [--install-deps | --deps-only] [--host-arch <arch>] <source> <directory>
#   build-deb.sh --upstream-of <Debian version>    the NEWS version that a changelog version packages
#   build-deb.sh --packaged <Debian version> <distribution> <NEWS version>   what is built from such an entry
# The orig tarball is the release tarball, tools/dist.sh --worktree's: the files git tracks, as they are in the
# working tree; it becomes <directory>/pairfield_<upstream>.orig.tar.xz, unpacked as
# <directory>/pairfield-<upstream> with the source's debian/ beside it, and the .dsc, .debian.tar.xz, .deb,
# .buildinfo and .changes land in <directory>. --install-deps installs the copy's Build-Depends with apt-get
# build-dep first (through sudo unless root); --deps-only installs them and stops. --host-arch cross-builds the
# package for another architecture as Debian's cross builds do (the cross profile, with the architecture's
# crossbuild-essential and its Build-Depends installed, that architecture added to dpkg's).
#
# The version that the newest entry of debian/changelog names is built as written, where it packages NEWS's
# version (the same, or a repack of it: +ds, +dfsg, with any epoch, revision, backport or binary rebuild) or is
# a snapshot of the tree the maintainer named (+git<date>, below NEWS's next version). A tarball of a tree whose
# next version is not yet released is a snapshot, packaged with an entry of its own, <snapshot>-1, where the
# newest entry is an upload older than it, or in the place of the maintainer's UNRELEASED draft of the next
# upload, whose items it keeps; the committed changelog is never changed. Anything else stops the build.
#
# The package follows unstable, where it would be uploaded. On a release whose tools are older it is built
# as Debian's backports are, adapted to that release: the highest debhelper compat level its debhelper gives,
# the Standards-Version its policy and lintian know with the Priority its lintian asks for, and
# Rules-Requires-Root stated where its dpkg does not take "no" as the default. Its entry says so, unless the
# packaging's newest entry is a backport already.
set -euo pipefail

# The NEWS version that the Debian version packages: no epoch, revision or binary rebuild, no repack or
# snapshot suffix.
upstream_of() {
    local version=${1#*:}
    [[ $version == *-* ]] && version=${version%-*}
    version=${version%+b[0-9]*}
    sed -E 's/\+(ds|dfsg)[0-9]*$//; s/\+git[0-9]{8}.*$//' <<<"$version"
}
# What is built from a changelog whose newest entry is <version> for <distribution>, with NEWS's <news>:
# "<version> written" as the packaging names it; "<snapshot>-1 snapshot" in an entry of its own where that entry is
# an upload older than the snapshot; "<snapshot>-1 draft" in the place of the maintainer's UNRELEASED draft of the
# upload that NEWS's next version will be, keeping its items; else it says why not and fails.
packaged() {
    local version=$1 distribution=$2 news=$3 upstream=${1#*:}
    upstream=${upstream%-*}
    if [ "$(upstream_of "$version")" = "$news" ]; then
        echo "$version written" # NEWS's version, or a repack of it
    elif [[ $news == *~dev* && $upstream == *+git* ]] && dpkg --compare-versions "$upstream" lt "$news"; then
        echo "$version written" # a snapshot of the tree that the maintainer named
    elif [[ $news == *~dev* && $distribution != UNRELEASED ]] && dpkg --compare-versions "$upstream" lt "$news"; then
        echo "$news-1 snapshot"
    elif [[ $news == *~dev* && $distribution == UNRELEASED ]] && [ "$(upstream_of "$version")" = "${news%%~*}" ]; then
        echo "$news-1 draft"
    else
        echo "build-deb.sh: debian/changelog's newest entry, $version ($distribution), packages neither NEWS's" \
            "$news nor a snapshot of it" >&2
        return 1
    fi
}
if [ "${1:-}" = --upstream-of ]; then
    upstream_of "$2"
    exit 0
fi
if [ "${1:-}" = --packaged ]; then
    packaged "$2" "$3" "$4"
    exit
fi

install_deps=false deps_only=false
cross=()
while [ $# -gt 2 ]; do
    case $1 in
        --install-deps) install_deps=true; shift ;;
        --deps-only) install_deps=true deps_only=true; shift ;;
        --host-arch) cross=(-a "$2"); shift 2 ;;
        *) echo "build-deb.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
source=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
rm -rf "$out"/pairfield[-_]*
# The tarball's version comes from the build's own rule (cmake -P): CMake, a Build-Depends anyway, comes first.
if $install_deps && ! command -v cmake >/dev/null; then
    echo "Installing CMake"
    $([ "$(id -u)" = 0 ] || echo sudo) apt-get update -qq
    $([ "$(id -u)" = 0 ] || echo sudo) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends cmake >/dev/null
fi
tarball=$("$(dirname "$0")"/dist.sh --worktree "$source" "$out")
rm "$tarball.sha256"
news=$(basename "$tarball" .tar.xz)
news=${news#pairfield-}
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
distribution=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Distribution)
read -r version how < <(packaged "$version" "$distribution" "$news") || exit 1
upstream=${version#*:}
upstream=${upstream%-*}
entries=()
draft=$([ "$how" = draft ] && echo true || echo false)
if [ "$how" != written ]; then
    commit=${news%.dirty}
    entries+=("Snapshot of upstream commit ${commit##*.}$([[ $news != *.dirty ]] || echo ", with changes not yet committed"), before ${news%%~*} is released.")
    ! $draft || entries+=(drafted) # the draft's items, as they stand
fi
tree=$out/pairfield-$upstream
mv "$tarball" "$out/pairfield_$upstream.orig.tar.xz"
tar -C "$out" -xf "$out/pairfield_$upstream.orig.tar.xz"
[ -d "$tree" ] || mv "$out/pairfield-$news" "$tree"
# Only what git tracks of debian/, where the source is the project's work tree.
if [ "$(git -C "$source" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$source" && pwd -P)" ]; then
    git -C "$source" ls-files -z -- debian | (cd "$source" && tar --null -T - -cf -) | tar -C "$tree" -xf -
else
    cp -R "$source/debian" "$tree/debian"
fi
cd "$tree"
# The draft's items, and the changelog without it.
drafted=""
if $draft; then
    drafted=$(sed -n '2,/^ -- /{/^ -- /d;/^$/d;p}' debian/changelog)
    sed -i '1,/^ -- /d' debian/changelog
    sed -i '1{/^$/d}' debian/changelog
fi

# The debhelper-compat levels that this system's debhelper gives, installed or else apt's candidate.
compat_levels() {
    if [ "$(dpkg-query -W -f='${db:Status-Status}' debhelper 2>/dev/null)" = installed ]; then
        dpkg-query -W -f='${Provides}\n' debhelper
    else
        apt-cache show --no-all-versions debhelper 2>/dev/null | sed -n 's/^Provides: //p'
    fi | grep -o 'debhelper-compat (= [0-9]*)' | grep -o '[0-9]*' || true
}
adapted=()
wanted=$(sed -n 's/.*debhelper-compat (= \([0-9]*\)).*/\1/p' debian/control)
levels=$(compat_levels)
if ! grep -qx "$wanted" <<<"$levels"; then
    given=$(sort -n <<<"$levels" | tail -n 1)
    [ -n "$given" ] || { echo "build-deb.sh: no debhelper to be had here" >&2; exit 1; }
    sed -i "s/debhelper-compat (= $wanted)/debhelper-compat (= $given)/" debian/control
    adapted+=("debhelper compat level $given, the highest its debhelper gives, instead of $wanted.")
fi
# The policy each older release knows; its lintian also still asks for the Priority that later ones default.
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case $release in
    bookworm) standards=4.6.2 backport=12 ;;
    trixie) standards=4.7.2 backport=13 ;;
    *) standards= backport= ;;
esac
if [ -n "$standards" ]; then
    adapted+=("Standards-Version $standards, the policy it knows, instead of $(sed -n 's/^Standards-Version: //p' debian/control).")
    adapted+=("Priority: optional, which its lintian asks for.")
    sed -i -e "s/^Standards-Version: .*/Standards-Version: $standards/" -e '/^Section:/a Priority: optional' \
        debian/control
    # Their lintian does not raise this tag, and an override left unused is a tag of its own.
    sed -i -e '/^# Nor a repository/,/^pairfield source: upstream-metadata-file-is-missing$/d' \
        debian/source/lintian-overrides
fi
# Debian 12's appstreamcli does not warn of a missing home page, so its lintian raises nothing to override.
[ "$release" != bookworm ] || rm -f debian/pairfield.lintian-overrides
# dpkg 1.22.13 took "no" as the default Rules-Requires-Root; before it, the binary targets ran as root.
if dpkg --compare-versions "$(dpkg-query -W -f='${Version}' dpkg-dev)" lt 1.22.13; then
    sed -i '/^Standards-Version:/a Rules-Requires-Root: no' debian/control
    adapted+=("Rules-Requires-Root: no, which its dpkg does not take by default.")
fi

# An adapted package is a backport, as Debian's are: a version that sorts below the one it comes from
# (1.0.3-1~bpo12+1), naming the release, and an entry that lists what was adapted. Its .changes starts after
# the version before the newest of debian/changelog: a first backport carries the changes of the version it
# backports as well as its own, since the release it is for has no earlier version of the package.
changes_since=()
distribution=unstable
if [ -n "$backport" ] && [[ $version != *~bpo* ]]; then
    changes_since=(-v"$(dpkg-parsechangelog -o1 -c1 -S Version)")
    version=$version~bpo$backport+1 distribution=$release-backports
    entries+=("Rebuild for $release-backports, adapted to its tools:")
    entries+=("${adapted[@]/#/- }")
fi
# Dated by the commit it is built from, a real moment that every build of it shares; else by the snapshot's
# time; else a second after the entry it follows.
if [ ${#entries[@]} -gt 0 ]; then
    when=$(git -C "$source" log -1 --format=%ct 2>/dev/null || true)
    if [ -z "$when" ] && [[ $news == *~dev* ]]; then
        stamp=${news##*~dev}
        when=$(TZ=UTC date -d "${stamp:0:8} ${stamp:8:2}:${stamp:10:2}:${stamp:12:2}" +%s)
    fi
    [ -n "$when" ] || when=$(( $(dpkg-parsechangelog -S Timestamp) + 1 ))
    {
        printf 'pairfield (%s) %s; urgency=medium\n\n' "$version" "$distribution"
        for entry in "${entries[@]}"; do
            case $entry in
                drafted) printf '%s\n' "$drafted" ;;
                -*) printf '%s\n' "$entry" | fold -s -w 72 | sed -e '1s/^- /    - /' -e '2,$s/^/      /' ;;
                *) printf '%s\n' "$entry" | fold -s -w 74 | sed -e '1s/^/  * /' -e '2,$s/^/    /' ;;
            esac
        done
        printf '\n -- %s  %s\n\n' "$(dpkg-parsechangelog -S Maintainer)" "$(LC_ALL=C date -u -R -d "@$when")"
        cat debian/changelog
    } >debian/changelog.new
    sed -i 's/ *$//' debian/changelog.new
    mv debian/changelog.new debian/changelog
fi

if [ ${#cross[@]} -gt 0 ]; then
    cross+=(-Pcross${DEB_BUILD_PROFILES:+,${DEB_BUILD_PROFILES// /,}})
fi
if $install_deps && ! dpkg-checkbuilddeps "${cross[@]}" 2>/dev/null; then
    echo "Installing the Build-Depends"
    sudo=$([ "$(id -u)" = 0 ] || echo sudo)
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends \
        ${cross[0]:+-a "${cross[1]}" -o Apt::Build-Profiles="${cross[2]#-P}"} ./
fi
$deps_only && exit 0
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc "${changes_since[@]}" "${cross[@]}"
