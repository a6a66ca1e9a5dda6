# What every CI stage shares, sourced by .ci/run and by each stage file: where the bare systems and the packages
# they download are kept (PF_CI_CACHE), how a bare system of a release is made and entered, and how a stage
# reports a failure. A stage run alone makes its own run directory; under .ci/run they share the driver's.
set -euo pipefail
[ "$(id -u)" = 0 ] || exec sudo --preserve-env=CI,PF_CI_CACHE,PF_CI_ARCHES,PF_CI_UNSTABLE,PF_CI_NATIVE,PF_CI_RUN,PF_CI_COMMIT \
    bash "$0" "$@"

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${PF_CI_CACHE:-/var/cache/pairfield-ci}
include=git,make,ca-certificates,sudo
start=${start:-$SECONDS}
# Every stage builds this commit, whatever is committed meanwhile.
commit=${PF_CI_COMMIT:-$(git -C "$top" rev-parse HEAD)}
run=${PF_CI_RUN:-$(mktemp -d /var/tmp/pairfield-ci.XXXXXX)}
root=$run/root
export PF_CI_RUN=$run PF_CI_COMMIT=$commit

for tool in mmdebstrap unshare git; do
    command -v "$tool" >/dev/null && continue
    echo "Installing $tool for CI"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$tool"
done

# A bare system reaches Debian as this machine does: the archive and security addresses of its apt sources
# and the Acquire settings of its apt, with the release's own suites, and apt retries what it fails to fetch.
# Unstable has neither updates nor security suites, and the archive may serve it with a Release file past its
# Valid-Until, which it alone is allowed.
mkdir -p "$cache/archives/partial"
sources=$(grep -lsE '^(deb |Types:.*\bdeb\b)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources | head -n 1 || true)
[ -n "$sources" ] || { echo "CI: no Debian apt sources on this machine" >&2; exit 1; }
# The address of each kind of suite: "archive" (the release's own) or "security".
address() {
    awk -v kind="$1" '
        /^deb /            { for (i = 2; i <= NF && $i ~ /^\[/; i++) {} uri = $i; suite = $(i + 1) }
        /^URIs:/           { uri = $2 }
        /^Suites:/         { suite = $2 }
        uri != "" && suite != "" {
            if ((kind == "security") == (suite ~ /-security$/)) { print uri; exit }
            if (/^deb /) { uri = ""; suite = "" }
        }
        /^$/               { uri = ""; suite = "" }' "$sources"
}
archive=$(address archive)
security=$(address security)
[ -n "$archive" ] || { echo "CI: no Debian archive in $sources" >&2; exit 1; }
{
    apt-config dump | grep -E '^Acquire::(https?::Proxy|Check-Date) ' || true
    echo 'Acquire::Retries "5";'
} >"$cache/apt.conf"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# The suites of release `suite`, the release's own first.
suites_of() {
    case $1 in
        sid | unstable) echo "$1" ;;
        *) echo "$1 $1-updates${security:+ $1-security}" ;;
    esac
}

# Writes the apt sources of `suites` (the release's own first) to `file`.
sources_of() {
    local file=$1 suite archived=() secured=() valid=
    shift
    for suite in "$@"; do
        case $suite in
            *-security) secured+=("$suite") ;;
            sid | unstable) archived+=("$suite") valid='Check-Valid-Until: no\n' ;;
            *) archived+=("$suite") ;;
        esac
    done
    printf "Types: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n$valid" \
        "$archive" "${archived[*]}" "$keyring" >"$file"
    [ ${#secured[@]} = 0 ] || printf '\nTypes: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
        "$security" "${secured[*]}" "$keyring" >>"$file"
}

# Makes the bare system of release `suite` once, for this machine's architecture or `arch`, and says where its
# archive is. Where the archive cannot give an index of an updates or security suite, the system is made
# without it, and says so.
bare_system() {
    local suite=$1 arch=${2:-$(dpkg --print-architecture)} key base name suites
    read -ra suites <<<"$(suites_of "$suite")"
    name=base-$suite$([ "$arch" = "$(dpkg --print-architecture)" ] || echo "-$arch")
    while :; do
        sources_of "$cache/$suite.sources" "${suites[@]}"
        key=$(cat "$cache/$suite.sources" "$cache/apt.conf" <(echo "$include") | sha256sum | cut -c1-16)
        base=$cache/$name-$key.tar
        [ -s "$base" ] && break
        echo "Making the bare system of $suite for $arch once, from ${suites[*]}: $base" >&2
        mmdebstrap --quiet --format=tar --variant=apt --architectures="$arch" --include="$include" \
            --aptopt="$cache/apt.conf" "$suite" "$base.part" "$cache/$suite.sources" >&2 \
            && mv "$base.part" "$base" \
            && find "$cache" -maxdepth 1 -name "$name-????????????????.tar" ! -path "$base" -delete && break
        rm -f "$base.part"
        [ ${#suites[@]} -gt 1 ] \
            || { echo "CI: mmdebstrap could not make the bare system of $suite for $arch" >&2; return 1; }
        echo "CI: mmdebstrap could not make it with ${suites[-1]}; trying without" >&2
        unset 'suites[-1]'
    done
    echo "CI: the bare system of $suite for $arch is made from ${suites[*]}" >&2
    echo "$base"
}

# Inside its own namespaces: when its first process ends, the kernel ends every other one and drops the mounts.
inside() {
    local root=$1 cache=$2 script=$3
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
    mount --bind "$cache/archives" "$root/var/cache/apt/archives"
    chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 TERM=dumb CI=true /bin/bash -c "set -euo pipefail; cd /root/pairfield; $script" </dev/null
}

# Runs `script` in a fresh copy of the bare system holding a clone of the committed tree, its output into
# `log`; then keeps the files that `keep` names (relative to the clone) in `into`, and removes the copy.
in_bare_system() {
    local script=$1 log=$2 into=$3 keep=$4 bring=${5:-} status=0 began=$SECONDS
    mkdir "$root"
    tar -xpf "$base" -C "$root" --numeric-owner
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    git clone -q --no-local "$top" "$root/root/pairfield"
    git -C "$root/root/pairfield" checkout -q --detach "$commit"
    if [ -n "$bring" ]; then # the packages of an earlier stage, in build/deb
        mkdir -p "$root/root/pairfield/build/deb"
        cp "$bring"/*.deb "$root/root/pairfield/build/deb/"
    fi
    unshare --mount --propagation private --pid --fork --kill-child -- \
        bash -c "set -euo pipefail; $(declare -f inside); inside $(printf '%q ' "$root" "$cache" "$script")" 2>&1 \
        | tee "$log" || status=$?
    # Nothing of it is mounted here, so the copy goes as a plain directory.
    if findmnt -rn -o TARGET | grep -F "$root/" >/dev/null; then
        echo "CI: $root is still mounted; left in place" >&2
        exit 1
    fi
    mkdir -p "$into"
    (cd "$root/root/pairfield" && cp $keep "$into"/ 2>/dev/null) || true
    rm -rf "$root"
    echo "CI: that stage took $(( SECONDS - began )) s"
    return "$status"
}

failed() { # what failed, and where to read about it
    echo "CI: $(( (SECONDS - start) / 60 )) min $(( (SECONDS - start) % 60 )) s"
    echo "CI failed: $1"
    sed -n '/^The following tests FAILED:/,/^Errors while running/p' "$2"
    grep -q '^The following tests FAILED:' "$2" || tail -n 20 "$2"
    echo "The whole log: $2"
    [ -f "$run/tests/LastTest.log" ] && echo "Every test's output: $run/tests/LastTest.log"
    exit 1
}

# Adds the tests that a stage ran, read from the summary lines of `log`, to the run's count; a log that shows no
# test run is a failure.
count_tests() {
    local what=$1 log=$2 total
    total=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+$' "$log" \
        | awk '{ n += $NF } END { print n + 0 }')
    [ "$total" -gt 0 ] || failed "$what ran no test" "$log"
    echo "$total" >>"$run/passed"
}

# The emulator that runs a program of `arch` here, if any is needed.
emulator() {
    case $1 in
        amd64 | i386) ;;
        arm64) echo /usr/bin/qemu-aarch64-static ;;
        armel | armhf) echo /usr/bin/qemu-arm-static ;;
        ppc64el) echo /usr/bin/qemu-ppc64le-static ;;
        riscv64) echo /usr/bin/qemu-riscv64-static ;;
        *) echo "/usr/bin/qemu-$1-static" ;;
    esac
}

# The emulators that the kernel runs programs of other processors with, if any: each cross stage turns them
# off while it builds, so that a build step that runs a program of the architecture built for fails as it
# would where no emulator is; they are turned on again at the end.
binfmt=/proc/sys/fs/binfmt_misc
emulators_off() {
    local entry
    for entry in "$binfmt"/*; do
        case ${entry##*/} in register | status | pairfield-ci) continue ;; esac
        grep -qx enabled "$entry" 2>/dev/null || continue
        echo 0 >"$entry"
        turned_off+=("$entry")
    done
}
turned_off=() registered=false
trap 'for entry in "${turned_off[@]}"; do echo 1 >"$entry"; done; ! $registered || echo -1 >"$binfmt/pairfield-ci"' EXIT

