#!/usr/bin/env bash
# The package built natively for an architecture in a bare system of it under qemu-user (registered with the
# kernel for this run alone), and cross-built for it from this machine's, both without their tests: every
# file they install but the program itself must be the same bytes, and the debug files, named by their
# program's build-id, follow the programs. Says whether the program is the same too. About an hour.
#   native.sh <architecture>@<code name>
source "$(dirname "$0")/lib.sh"
arch=${1%@*} suite=${1#*@}
emulator=$(emulator "$arch")
[ -n "$emulator" ] || { echo "CI: $arch needs no emulator here; nothing to compare" >&2; exit 2; }
build="DEB_BUILD_OPTIONS=nocheck DEB_BUILD_PROFILES=nocheck tools/build-deb.sh --install-deps"
base=$(bare_system "$suite")
echo "CI: the package cross-built for $arch on a bare $suite"
emulators_off
in_bare_system "dpkg --add-architecture $arch
    .ci/update.sh $suite
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends build-essential \
        crossbuild-essential-$arch >/dev/null
    $build --host-arch $arch . build/deb" "$run/cross.log" "$run/cross" "build/deb/*_$arch.deb" \
    || failed "the package cross-built for $arch on $suite" "$run/cross.log"
# The kernel runs the bare system's programs with the emulator, which it opens once (F), for the chroot.
command -v "$emulator" >/dev/null && command -v arch-test >/dev/null \
    || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user-static \
        arch-test >/dev/null
mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"
cpu=$(basename "$emulator" -static) cpu=${cpu#qemu-}
sed -e "s/^:qemu-$cpu:/:pairfield-ci:/" -e "s#:[^:]*:[A-Z]*\$#:$emulator:F#" \
    "/usr/lib/binfmt.d/qemu-$cpu.conf" >"$binfmt/register"
registered=true
base=$(bare_system "$suite" "$arch")
echo "CI: the package built natively for $arch on a bare $suite under $(basename "$emulator")"
in_bare_system ".ci/update.sh $suite
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends build-essential >/dev/null
    $build . build/deb" "$run/native.log" "$run/native" "build/deb/*_$arch.deb" \
    || failed "the package built natively for $arch on $suite" "$run/native.log"
echo -1 >"$binfmt/pairfield-ci"
registered=false
for package in "$run"/native/*.deb; do
    name=$(basename "$package")
    mkdir -p "$run/files/native" "$run/files/cross"
    [ -f "$run/cross/$name" ] || { echo "CI: $name was not cross-built"; exit 1; }
    dpkg-deb -x "$package" "$run/files/native/$name"
    dpkg-deb -x "$run/cross/$name" "$run/files/cross/$name"
done
# The detached debug files are named by their program's build-id: they follow the programs.
(cd "$run/files/native" && find . -type f ! -path '*/usr/lib/debug/.build-id/*' | sort) >"$run/native.files"
(cd "$run/files/cross" && find . -type f ! -path '*/usr/lib/debug/.build-id/*' | sort) >"$run/cross.files"
diff -u "$run/native.files" "$run/cross.files" || { echo "CI: the two packages install other files"; exit 1; }
same=0 programs=()
while read -r file; do
    if cmp -s "$run/files/native/$file" "$run/files/cross/$file"; then
        same=$(( same + 1 ))
    elif [ "$(head -c 4 "$run/files/native/$file")" = $'\x7fELF' ]; then
        programs+=("$file")
    else
        echo "CI: $file differs between the native and the cross-built package"
        exit 1
    fi
done <"$run/native.files"
echo "CI: $same files the same bytes natively and cross-built for $arch${programs[*]:+; the programs differ: ${programs[*]}}"
echo "$same" >>"$run/passed"
