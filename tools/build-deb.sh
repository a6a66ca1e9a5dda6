#!/usr/bin/env bash
# Builds the Debian source package and the binary package as a packager does, from the release tarball and the
# Debian packaging:
#   build-deb.sh [--install-deps | --deps-only] [--host-arch <arch>] <source> <directory>
#   build-deb.sh --upstream-of <Debian version>    the NEWS version that a changelog version packages
#   build-deb.sh --packaged <version> <distribution> <NEWS version> [<version before>]   what is built
# The orig tarball is tools/dist.sh --worktree's, <directory>/pairfield_<upstream>.orig.tar.xz, repacked by
# mk-origtargz without debian/copyright's Files-Excluded for a +ds or +dfsg version, and unpacked there with
# the source's debian/ beside it (what git tracks of it, in the project's own work tree); the .dsc,
# .debian.tar.xz, .deb, .buildinfo and .changes land in <directory>. --install-deps installs the Build-Depends
# first (apt-get build-dep, through sudo unless root); --deps-only installs them and stops. --host-arch
# cross-builds as Debian does (the cross profile, with the architecture's crossbuild-essential).
#
# The newest entry of debian/changelog is built as written where it packages NEWS's version (the same, or a
# repack: +ds, +dfsg, with any epoch, revision, backport or binary rebuild) or a snapshot of the tree that the
# maintainer named (+git<date>, below NEWS's next version). A tarball of a tree whose next version is not yet
# released is a snapshot, packaged as <epoch:><snapshot>-1 in an entry of its own above the newest upload, or
# in the place of the maintainer's UNRELEASED draft of the next version's upload, whose items it keeps; the
# committed changelog is never changed. Anything else, or a snapshot that would not sort above the last
# upload, stops the build.
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
# What is built from a changelog whose newest entry is <version> for <distribution>, with NEWS's <news> and
# the entry before the newest: "<version> written", "<epoch:><snapshot>-1 snapshot" above an upload, or
# "<epoch:><snapshot>-1 draft" in the place of the draft of NEWS's next version; else it says why not, and
# fails.
packaged() {
    local version=$1 distribution=$2 news=$3 last=${4:-} upstream=${1#*:} epoch=
    upstream=${upstream%-*}
    [[ $version != *:* ]] || epoch=${version%%:*}:
    if [ "$(upstream_of "$version")" = "$news" ] \
        || { [[ $news == *~dev* && $upstream == *+git* ]] && dpkg --compare-versions "$upstream" lt "$news"; }; then
        echo "$version written"
        return
    fi
    [ "$distribution" = UNRELEASED ] || last=$version
    local built=$epoch$news-1 how=$([ "$distribution" = UNRELEASED ] && echo draft || echo snapshot)
    if [[ $news != *~dev* ]] || { [ $how = draft ] && [ "$upstream" != "${news%%~*}" ]; }; then
        echo "build-deb.sh: debian/changelog's newest entry, $version ($distribution), packages neither NEWS's" \
            "$news nor a snapshot of it" >&2
        return 1
    fi
    [ -z "$last" ] || dpkg --compare-versions "$last" lt "$built" \
        || { echo "build-deb.sh: the snapshot $built would not sort above the upload $last" >&2; return 1; }
    echo "$built $how"
}
case ${1:-} in
    --upstream-of) upstream_of "$2"; exit ;;
    --packaged) packaged "${@:2}"; exit ;;
esac

install_deps=false deps_only=false cross=()
while [ $# -gt 2 ]; do
    case $1 in
        --install-deps) install_deps=true; shift ;;
        --deps-only) install_deps=true deps_only=true; shift ;;
        --host-arch) cross=(-a "$2"); shift 2 ;;
        *) echo "build-deb.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
source=$(cd "$1" && pwd)
sudo=$([ "$(id -u)" = 0 ] || echo sudo)
mkdir -p "$2"
out=$(cd "$2" && pwd)
rm -rf "$out"/pairfield[-_]*
# The tarball's version comes from the build's own rule (cmake -P), and dch writes the entries: those first.
if $install_deps && ! { command -v cmake && command -v dch; } >/dev/null; then
    echo "Installing CMake and devscripts"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends cmake devscripts \
        libdistro-info-perl >/dev/null
fi
tarball=$("$(dirname "$0")"/dist.sh --worktree "$source" "$out")
rm "$tarball.sha256"
news=$(basename "$tarball" .tar.xz)
news=${news#pairfield-}
changelog() { dpkg-parsechangelog -l "$source/debian/changelog" "$@"; }
read -r version how < <(packaged "$(changelog -S Version)" "$(changelog -S Distribution)" "$news" \
    "$(changelog -o1 -c1 -S Version)") || exit 1
upstream=${version#*:}
upstream=${upstream%-*}
entries=()
if [ "$how" != written ]; then
    commit=${news%.dirty}
    entries+=("Snapshot of upstream commit ${commit##*.}$([[ $news != *.dirty ]] || echo ", with changes not yet committed"), before ${news%%~*} is released.")
fi
orig=$out/pairfield_$upstream.orig.tar.xz
if [[ $upstream =~ ^(.*)(\+(ds|dfsg)[0-9]*)$ ]]; then
    mk-origtargz --package pairfield --version "${BASH_REMATCH[1]}" --repack-suffix "${BASH_REMATCH[2]}" \
        --compression xz --copyright-file "$source/debian/copyright" --directory "$out" --rename "$tarball"
    [ -f "$orig" ] || { echo "build-deb.sh: debian/copyright's Files-Excluded takes nothing out of the tarball" \
        "that $upstream would repack" >&2; exit 1; }
else
    mv "$tarball" "$orig"
fi
tree=$out/pairfield-$upstream
tar -C "$out" -xf "$orig"
[ -d "$tree" ] || mv "$out/pairfield-$news" "$tree"
# Only what git tracks of debian/, and the commit's date, where the source is the project's own work tree.
own=false
[ "$(git -C "$source" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$source" && pwd -P)" ] && own=true
if $own; then
    git -C "$source" ls-files -z -- debian | (cd "$source" && tar --null -T - -cf -) | tar -C "$tree" -xf -
else
    cp -R "$source/debian" "$tree/debian"
fi
cd "$tree"
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
# Debian 12's lintian knows no such tag, and names an override of it an alien tag.
[ "$release" != bookworm ] || rm -f debian/pairfield.lintian-overrides
# dpkg 1.22.13 took "no" as the default Rules-Requires-Root; before it, the binary targets ran as root.
if dpkg --compare-versions "$(dpkg-query -W -f='${Version}' dpkg-dev)" lt 1.22.13; then
    sed -i '/^Standards-Version:/a Rules-Requires-Root: no' debian/control
    adapted+=("Rules-Requires-Root: no, which its dpkg does not take by default.")
fi

# An adapted package is a backport, as Debian's are: a version that sorts below the one it comes from
# (1.0.3-1~bpo12+1), naming the release, in an entry that lists what was adapted. Its .changes carries the
# changes of the version it backports too, since the release it is for has no earlier version of it.
changes_since=() distribution=unstable
if [ -n "$backport" ] && [[ $version != *~bpo* ]]; then
    # The entry that dch writes takes the draft's place, or goes above the newest: the one before it.
    before=$([ "$(dpkg-parsechangelog -S Distribution)" = UNRELEASED ] && echo 2 || echo 1)
    changes_since=(-v"$(dpkg-parsechangelog -o"$before" -c1 -S Version)")
    # A binary rebuild's +b<n> stays last: 1.0.4-1~bpo12+1+b1.
    [[ $version =~ ^(.*)(\+b[0-9]+)$ ]] || BASH_REMATCH=("" "$version" "")
    version=${BASH_REMATCH[1]}~bpo$backport+1${BASH_REMATCH[2]} distribution=$release-backports
    entries+=("Rebuild for $release-backports, adapted to its tools." "${adapted[@]}")
fi
# The entry, with dch: the draft's, edited in place, or one of its own, by the newest entry's maintainer (-m).
# Dated by the commit it is built from, a real moment that every build of it shares; else by the snapshot's
# time; else a second after the entry it follows.
if [ ${#entries[@]} -gt 0 ]; then
    when=$($own && git -C "$source" log -1 --format=%ct || true)
    stamp=${news##*~dev}
    [ -n "$when" ] || [[ $news != *~dev* ]] \
        || when=$(TZ=UTC date -d "${stamp:0:8} ${stamp:8:2}:${stamp:10:2}:${stamp:12:2}" +%s)
    [ -n "$when" ] || when=$(( $(dpkg-parsechangelog -S Timestamp) + 1 ))
    dch -m -b -v "$version" -D "$distribution" --force-distribution "${entries[0]}" </dev/null
    for entry in "${entries[@]:1}"; do dch -m -a "$entry" </dev/null; done
    sed -i "0,/^\( -- .*>  \).*\$/s//\1$(LC_ALL=C date -u -R -d "@$when")/" debian/changelog
fi

[ ${#cross[@]} = 0 ] || cross+=(-Pcross${DEB_BUILD_PROFILES:+,${DEB_BUILD_PROFILES// /,}})
if $install_deps && ! dpkg-checkbuilddeps "${cross[@]}" 2>/dev/null; then
    echo "Installing the Build-Depends"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -q --no-install-recommends \
        ${cross[0]:+-a "${cross[1]}" -o Apt::Build-Profiles="${cross[2]#-P}"} ./
fi
$deps_only && exit 0
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc "${changes_since[@]}" "${cross[@]}"
