#!/usr/bin/env bash
# apt-get update inside a bare system (run there by each stage, from the clone of the commit), which a mirror
# in mid-sync or a port the security archive no longer carries does not fail:
#   .ci/update.sh <code name>
# apt retries each fetch (Acquire::Retries, set when the bare system was made). The release's own suite must
# give an index for every architecture dpkg has, or this fails naming it. An updates or security suite that
# gives no index for one of them is left out for all of them: it goes from the apt sources, and the installed
# packages return to the versions of the suites that are left, so that a Multi-Arch package has one version on
# every architecture. Says which suites the system then uses.
set -uo pipefail
release=$1
sources=$(ls /etc/apt/sources.list.d/*.sources)
arches=$(dpkg --print-architecture; dpkg --print-foreign-architectures)
find /var/lib/apt/lists -maxdepth 1 -type f ! -name lock -delete
apt-get update -qq 2>&1 | sed 's/^/apt: /'
fetched() { compgen -G "/var/lib/apt/lists/*_dists_${1}_main_binary-${2}_Packages*" >/dev/null; }
kept=() dropped=()
for suite in $(sed -n 's/^Suites: //p' $sources); do
    missing=$(for arch in $arches; do fetched "$suite" "$arch" || echo "$arch"; done | xargs)
    if [ -z "$missing" ]; then
        kept+=("$suite")
    elif [ "$suite" = "$release" ]; then
        echo "CI: the archive gave no index of $release for $missing, which this stage needs" >&2
        exit 1
    else
        dropped+=("$suite (no index for $missing)")
        sed -i -E "s/^(Suites:.*) $suite\b/\1/; s/^Suites: $suite\b */Suites: /" $sources
    fi
done
if [ ${#dropped[@]} -gt 0 ]; then
    # A stanza whose suites all went is removed whole.
    for file in $sources; do
        awk -v RS= -v ORS='\n\n' '!/(^|\n)Suites: *(\n|$)/' "$file" >"$file.new" && mv "$file.new" "$file"
    done
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 1001\n\n' "${kept[@]}" >/etc/apt/preferences.d/pairfield-ci
    apt-get update -qq || exit 1
    DEBIAN_FRONTEND=noninteractive apt-get dist-upgrade -y -qq --allow-downgrades >/dev/null || exit 1
fi
echo "CI: apt here uses ${kept[*]} for $(xargs <<<"$arches")${dropped:+; left out: ${dropped[*]}}"
