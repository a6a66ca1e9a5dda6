#!/usr/bin/env bash
# The Debian packages of the commit built as a build daemon builds them, in a bare system of the release with
# only build-essential and the Build-Depends, the package's own tests run; blhc then reads the build's log for
# compiler flags that hardening misses. With `twice` (unstable's stage): lintian --pedantic -I must print
# nothing, appstreamcli no warning on the metainfo but of the home page there is none of, debhelper no
# warning, and the same tree is built again after debian/rules clean (nocheck: the first build ran the tests,
# and the second shows that clean leaves a tree that builds). The packages land in $run/deb; where the
# package tests built packages in this run ($run/tests), they must be the same, bit for bit.
#   debbuild.sh <code name> [twice]
source "$(dirname "$0")/lib.sh"
bare_build() {
    local suite=$1 twice=$2
    echo "CI: the Debian packages, built on a bare $suite with only build-essential and the Build-Depends${twice:+, twice}"
    in_bare_system ".ci/update.sh $suite
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends build-essential >/dev/null
        mkdir -p build
        tools/build-deb.sh --install-deps . build/deb 2>&1 | tee build/build.log
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends blhc >/dev/null
        blhc --line-numbers build/build.log
        echo 'blhc on the build log: ok'
        if [ -n '$twice' ]; then
            ! grep -E '^ *dh[a-z_]*: warning' build/build.log || { echo 'debhelper warned'; exit 1; }
            echo 'debhelper: no warning'
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null
            tags=\$(lintian --pedantic -I build/deb/pairfield_*_\$(dpkg --print-architecture).changes 2>/dev/null)
            [ -z \"\$tags\" ] || { echo \"lintian: \$tags\"; exit 1; }
            echo 'lintian --pedantic -I on the source and binary packages: silent'
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends appstream >/dev/null
            dpkg-deb -x build/deb/pairfield_*_\$(dpkg --print-architecture).deb build/unpacked
            tests/packaging/check.sh metainfo build/unpacked/usr/share/metainfo/*.metainfo.xml
            echo 'appstreamcli validate: no error, no warning but of the home page Pairfield does not have'
            (cd build/deb/pairfield-*/ && debian/rules clean && DEB_BUILD_OPTIONS=nocheck dpkg-buildpackage -us -uc -b)
            echo 'built again in the same tree after debian/rules clean: ok'
        fi" "$run/deb.log" "$run/deb" "build/deb/*.deb" \
        || failed "the Debian package on a bare $suite" "$run/deb.log"
}

suite=$1
base=$(bare_system "$suite")
bare_build "$suite" "${2:-}"
for package in "$run"/tests/*.deb; do
    [ -e "$package" ] || continue
    cmp "$package" "$run/deb/$(basename "$package")" \
        || failed "$(basename "$package") differs between make test and the bare build on $suite" "$run/deb.log"
done
echo 1 >>"$run/passed"
