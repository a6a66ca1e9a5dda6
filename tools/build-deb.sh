#!/usr/bin/env bash
# Builds the Debian source package and the binary package from a copy of the source tree, as a packager does:
#   build-deb.sh [--install-deps] [--host-arch <arch>] <source> <directory>
# The copy is <directory>/pairfield-<version>; the .dsc, .tar.xz, .deb, .buildinfo and .changes land in
# <directory>. Only the files of the source are copied: those git knows of (committed or not, but not
# ignored), or outside a clone everything but the build trees. --install-deps installs the copy's
# Build-Depends with apt-get build-dep first (through sudo unless root). --host-arch cross-builds the package
# for another architecture as Debian's cross builds do (the cross profile, with the architecture's
# crossbuild-essential and its Build-Depends installed, that architecture added to dpkg's).
#
# The package follows unstable, where it would be uploaded. On a release whose tools are older it is built
# as Debian's backports are, adapted to that release: the highest debhelper compat level its debhelper gives,
# the Standards-Version its policy and lintian know with the Priority its lintian asks for, and
# Rules-Requires-Root stated where its dpkg does not take "no" as the default.
set -euo pipefail
install_deps=false
cross=()
while [ $# -gt 2 ]; do
    case $1 in
        --install-deps) install_deps=true; shift ;;
        --host-arch) cross=(-a "$2"); shift 2 ;;
        *) echo "build-deb.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
source=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
tree=$out/pairfield-$version
rm -rf "$tree" "$out"/pairfield_"$version"*
mkdir "$tree"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$source" ls-files -z --cached --others --exclude-standard \
        | (cd "$source" && while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done) \
        | tar -C "$source" --null -T - -cf - | tar -C "$tree" -xf -
else
    tar -C "$source" --exclude=./build -cf - . | tar -C "$tree" -xf -
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
wanted=$(sed -n 's/.*debhelper-compat (= \([0-9]*\)).*/\1/p' debian/control)
levels=$(compat_levels)
if ! grep -qx "$wanted" <<<"$levels"; then
    given=$(sort -n <<<"$levels" | tail -n 1)
    [ -n "$given" ] || { echo "build-deb.sh: no debhelper to be had here" >&2; exit 1; }
    sed -i "s/debhelper-compat (= $wanted)/debhelper-compat (= $given)/" debian/control
fi
# The policy each older release knows; its lintian also still asks for the Priority that later ones default.
case $(. /etc/os-release && echo "${VERSION_CODENAME:-}") in
    bookworm) standards=4.6.2 ;;
    trixie) standards=4.7.2 ;;
    *) standards= ;;
esac
if [ -n "$standards" ]; then
    sed -i -e "s/^Standards-Version: .*/Standards-Version: $standards/" -e '/^Section:/a Priority: optional' \
        debian/control
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
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc "${cross[@]}"
