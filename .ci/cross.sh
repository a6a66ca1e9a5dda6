#!/usr/bin/env bash
# The package cross-built for one architecture as Debian's cross builds are, in a bare system of the release
# with Debian's cross tools and no emulator present (every emulator registered with the kernel is turned off
# while it builds), then its tests run for that architecture: under qemu-user where the processor is foreign,
# natively for i386.
#   cross.sh <architecture>@<code name>
source "$(dirname "$0")/lib.sh"
arch=${1%@*} suite=${1#*@}
base=$(bare_system "$suite")
emulator=$(emulator "$arch")
emulators_off
echo "CI: the package cross-built for $arch on a bare $suite with no emulator, then its tests${emulator:+ under $(basename "$emulator")}"
in_bare_system "dpkg --add-architecture $arch
    .ci/update.sh $suite
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends build-essential \
        crossbuild-essential-$arch >/dev/null
    # The stage proves the build and its tests on the architecture. Debug information changes no instruction
    # of the code and takes about a quarter of each compile, so these builds go without it and its -dbgsym package.
    DEB_CFLAGS_APPEND=-g0 DEB_CXXFLAGS_APPEND=-g0 DEB_BUILD_OPTIONS=noautodbgsym \
        tools/build-deb.sh --install-deps --host-arch $arch . build/deb
    tree=\$(echo build/deb/pairfield-*/obj-\$(dpkg-architecture -a$arch -qDEB_HOST_GNU_TYPE 2>/dev/null))
    emulator=
    if [ -n '$emulator' ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
        # Unstable's qemu names its static emulators without the suffix.
        emulator=\$(command -v $(basename "$emulator") || command -v $(basename "$emulator" -static))
    fi
    cmake -DCMAKE_CROSSCOMPILING_EMULATOR=\$emulator \$tree >/dev/null
    ctest --test-dir \$tree -j\$(nproc) --output-on-failure" "$run/arch.log" "$run/arch" "" \
    || failed "the package cross-built for $arch on $suite" "$run/arch.log"
count_tests "the tests for $arch" "$run/arch.log"
echo "CI: $arch passed, $(( (SECONDS - start) / 60 )) min $(( (SECONDS - start) % 60 )) s so far"
