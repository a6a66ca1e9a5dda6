#!/usr/bin/env bash
# Builds the Debian source package and the binary package as a packager does, from the release tarball and the
# Debian packaging:
#   build-deb.sh [--install-deps | --deps-only] [--host-arch <arch>] <source> <directory>
# The release tarball is made of the source's files as tools/dist.sh --worktree takes them (those git knows of,
# committed or not, but not ignored) and becomes <directory>/pairfield_<version>.orig.tar.xz; it is unpacked
# as <directory>/pairfield-<version> with the source's debian/ beside it, and the .dsc, .debian.tar.xz, .deb,
# .buildinfo and .changes land in <directory>. --install-deps installs the copy's
# Build-Depends with apt-get build-dep first (through sudo unless root); --deps-only installs them and stops. --host-arch cross-builds the package
# for another architecture as Debian's cross builds do (the cross profile, with the architecture's
# crossbuild-essential and its Build-Depends installed, that architecture added to dpkg's).
#
# The package follows unstable, where it would be uploaded. On a release whose tools are older it is built
# as Debian's backports are, adapted to that release: the highest debhelper compat level its debhelper gives,
# the Standards-Version its policy and lintian know with the Priority its lintian asks for, and
# Rules-Requires-Root stated where its dpkg does not take "no" as the default.
set -euo pipefail
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
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
upstream=${version#*:}
upstream=${upstream%-*}
tree=$out/pairfield-$upstream
rm -rf "$tree" "$out"/pairfield_"$upstream"[.-]* "$out"/pairfield-"$upstream".tar.xz*
tarball=$("$(dirname "$0")"/dist.sh --worktree "$source" "$out")
mv "$tarball" "$out/pairfield_$upstream.orig.tar.xz"
rm "$tarball.sha256"
tar -C "$out" -xf "$out/pairfield_$upstream.orig.tar.xz"
cp -R "$source/debian" "$tree/debian"
cd "$tree"

# The debhelper-compat levels that this system's debhelper gives, installed or else apt's candidate.
compat_levels() {
    if [ "$(dpkg-query -W -f='${db:Status-Status}' debhelper 2>/dev/null)" = installed ]; then
        dpkg-query -W -f='${Provides}\n' debhelper
    else
        apt-cache show --no-all-versions debhelper 2>/dev/null | sed -n 's/^Provides: //p'
    fi | grep -o 'debhelper-compat (= [0-9]*)' | grep -o '[0-9]*' || true
}
wanted=$(sed -n 's/.*debhelper-compat (= \([0-9]*\)).*/\1/p' debian/control)
levels=$(compat_levels)
if ! grep -qx "$wanted" <<<"$levels"; then
    given=$(sort -n <<<"$levels" | tail -n 1)
    [ -n "$given" ] || { echo "build-deb.sh: no debhelper to be had here" >&2; exit 1; }
    sed -i "s/debhelper-compat (= $wanted)/debhelper-compat (= $given)/" debian/control
fi
# The policy each older release knows; its lintian also still asks for the Priority that later ones default.
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case $release in
    bookworm) standards=4.6.2 backport=12 ;;
    trixie) standards=4.7.2 backport=13 ;;
    *) standards= backport= ;;
esac
# An adapted package is a backport, as Debian's are: an entry of its own naming the release, with a version
# that sorts below the one it comes from (1.0.3-1~bpo12+1), dated a second after that one so that the build
# stays reproducible; its .changes lists the entries since the release before.
changes_since=()
if [ -n "$backport" ]; then
    changes_since=(-v"$(dpkg-parsechangelog -o1 -c1 -S Version)")
    { printf 'pairfield (%s~bpo%s+1) %s-backports; urgency=medium\n\n  * Rebuild for %s-backports.\n\n -- %s  %s\n\n' \
        "$version" "$backport" "$release" "$release" "$(dpkg-parsechangelog -S Maintainer)" \
        "$(LC_ALL=C date -u -R -d "@$(( $(dpkg-parsechangelog -S Timestamp) + 1 ))")"
      cat debian/changelog; } >debian/changelog.backport
    mv debian/changelog.backport debian/changelog
fi
if [ -n "$standards" ]; then
    sed -i -e "s/^Standards-Version: .*/Standards-Version: $standards/" -e '/^Section:/a Priority: optional' \
        debian/control
    # Their lintian raises neither of these tags, and an override left unused is a tag of its own.
    sed -i -e '/^# Nor a repository/,/^pairfield source: upstream-metadata-file-is-missing$/d' \
        -e '/^# The package was native/,/^pairfield source: odd-historical-debian-changelog-version$/d' \
        debian/source/lintian-overrides
fi
# dpkg 1.22.13 took "no" as the default Rules-Requires-Root; before it, the binary targets ran as root.
if dpkg --compare-versions "$(dpkg-query -W -f='${Version}' dpkg-dev)" lt 1.22.13; then
    sed -i '/^Standards-Version:/a Rules-Requires-Root: no' debian/control
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
