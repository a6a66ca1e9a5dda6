#!/usr/bin/env bash
# Debian's own pipeline on the packages that debbuild.sh left in $run/deb (built first where there are
# none): the autopkgtest in a fresh bare system that holds the base system, autopkgtest and what the tests
# install; then piuparts on Debian 12, reprotest on Debian 13.
#   pipeline.sh <code name>
source "$(dirname "$0")/lib.sh"
# The installed package as Debian's CI tests it: its autopkgtest, in a fresh bare system that holds the base
# system, autopkgtest itself and what the tests install (the package and their Depends), none of the build's.
fresh_autopkgtest() {
    local suite=$1
    echo "CI: the autopkgtest on a fresh $suite"
    in_bare_system ".ci/update.sh $suite
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends autopkgtest >/dev/null
        autopkgtest build/deb/pairfield_*_\$(dpkg --print-architecture).deb ./ -- null" \
        "$run/autopkgtest.log" "$run/autopkgtest" "" "$run/deb" \
        || failed "the autopkgtest on $suite" "$run/autopkgtest.log"
}

# piuparts installs the package into a copy of the bare system, removes and purges it, and finds nothing left
# behind or changed.
run_piuparts() {
    local suite=$1 began=$SECONDS
    echo "CI: piuparts on $suite"
    command -v piuparts >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        piuparts >/dev/null
    local chroot=$run/piuparts-base
    mkdir "$chroot"
    tar -xpf "$base" -C "$chroot" --numeric-owner
    # It keeps the bare system's apt sources, as the other stages' update leaves them.
    cp -L /etc/resolv.conf "$chroot/etc/resolv.conf"
    chroot "$chroot" /bin/bash -s "$suite" <"$top/.ci/update.sh" || failed "apt on $suite for piuparts" /dev/null
    piuparts --existing-chroot="$chroot" --keep-sources-list --distribution="$suite" \
        "$run"/deb/pairfield_*_"$(dpkg --print-architecture)".deb >"$run/piuparts.log" 2>&1 \
        || failed "piuparts on $suite" "$run/piuparts.log"
    tail -n 1 "$run/piuparts.log"
    rm -rf "$chroot"
    echo "CI: that stage took $(( SECONDS - began )) s"
}

# reprotest builds the package twice, the second time with every variation it knows that this system allows:
# build path, time (faketime), file order (disorderfs), time zone, umask, locale (locales-all), kernel
# (setarch), ASLR, CPU count, home, environment and exec path. Not the user and group (a bare system has no
# second user to build as), nor the host and domain names (a new UTS namespace needs a user namespace, which
# the kernel refuses inside a chroot).
run_reprotest() {
    local suite=$1
    echo "CI: reprotest on a bare $suite"
    in_bare_system ".ci/update.sh $suite
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends build-essential reprotest \
            disorderfs faketime locales-all >/dev/null
        tools/build-deb.sh --deps-only . build/deps
        DEB_BUILD_OPTIONS=nocheck reprotest --min-cpus=\$(nproc) --vary=-user_group,-domain_host \
            -c 'tools/build-deb.sh . build/rp' . 'build/rp/*.deb' -- null" "$run/reprotest.log" "$run/reprotest" "" \
        || failed "reprotest on $suite" "$run/reprotest.log"
}

suite=$1
ls "$run"/deb/*.deb >/dev/null 2>&1 || "$(dirname "$0")/debbuild.sh" "$suite"
base=$(bare_system "$suite")
fresh_autopkgtest "$suite"
case $suite in
    bookworm) run_piuparts "$suite" ;;
    trixie) run_reprotest "$suite" ;;
esac
