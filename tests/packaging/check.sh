#!/usr/bin/env bash
# Checks the game as a packager and a user get it, from the Debian packages built apart from this tree:
#   check.sh build   <source> <dir>           dpkg-buildpackage on a copy of the source; a second make does nothing
#   check.sh install <dir> <destdir>          the .deb unpacked: layout, modes, validators, icons, man page
#   check.sh deb     <dir>                    the package's fields; lintian on the source and binary packages
#   check.sh again   <source> <dir> <first>   built again elsewhere, later, under another umask, locale and
#                                             time zone: the same .deb, bit for bit
#   check.sh metainfo <file>                  appstreamcli validate, every check but the home page's
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
id=io.github.pairfield.Pairfield
faces=$(for p in $(seq 1 20); do echo "F$p.gif F$p@2x.gif"; done)
icon_sizes="16 24 32 48 64 128 256 512"
build_deb=$(cd "$(dirname "$0")/../../tools" && pwd)/build-deb.sh
arch=$(dpkg-architecture -qDEB_HOST_ARCH)

deb_in() { # the one binary package built in a directory
    local found=("$1"/pairfield_*_"$arch".deb)
    [ -f "${found[0]}" ] || fail "no package in $1"
    echo "${found[0]}"
}

build() {
    local source=$1 dir=$2
    rm -rf "$dir"
    # The tests have run already; the package's own run of them is CI's bare build's.
    DEB_BUILD_OPTIONS=nocheck "$build_deb" "$source" "$dir" >"$dir.log" 2>&1 \
        || { tail -n 40 "$dir.log"; fail "dpkg-buildpackage"; }
    # Make prints the autogen steps on every run; anything that compiles, links or draws is a missed dependency.
    local again
    again=$(cmake --build "$dir"/pairfield-*/obj-* | grep -E 'Building|Linking|Generating|Drawing' || true)
    [ -z "$again" ] || fail "a second build did work: $again"
    echo "source and binary packages built, and a second make does nothing: ok"
}

# Pairfield has no home page to name, which Debian 13's appstreamcli and later warn of: that one check is
# lowered to a note, and any other error or warning fails. Debian 12's has no such check, and refuses to
# lower a check it does not know.
metainfo() {
    local lowered=--override=url-homepage-missing=info said
    said=$(appstreamcli validate --no-net "$lowered" "$1" 2>&1) || true
    [[ $said != *"is not recognized"* ]] || lowered=
    appstreamcli validate --no-net $lowered "$1"
}

png_size() { # the width and height in a PNG header, as "W H"
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

install_check() {
    local dir=$1 dest=$2
    rm -rf "$dest"
    dpkg-deb -x "$(deb_in "$dir")" "$dest"
    local usr=$dest/usr private=$dest/usr/lib/games/pairfield data=$dest/usr/share/games/pairfield
    [ -L "$usr/games/pairfield" ] || fail "usr/games/pairfield is not a symlink"
    [ "$(readlink "$usr/games/pairfield")" = ../lib/games/pairfield/pairfield ] || fail "the link is not relative"
    [ "$(stat -c %a "$private/pairfield")" = 755 ] || fail "executable mode"
    # The pictures lie with the data; beside the program stands a relative link to each.
    for f in $faces; do
        [ -f "$data/$f" ] && [ ! -L "$data/$f" ] && [ "$(stat -c %a "$data/$f")" = 644 ] || fail "$f is not 0644 data"
        [ "$(readlink "$private/$f")" = "../../../share/games/pairfield/$f" ] || fail "no relative link to $f"
    done
    [ "$(find "$usr/games" -name '*.gif' | wc -l)" = 0 ] || fail "pictures in the command directory"

    desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop-file-validate"
    grep -qxF "Exec=/usr/games/pairfield" "$usr/share/applications/$id.desktop" || fail "Exec is not the absolute path"
    local metainfo=$usr/share/metainfo/$id.metainfo.xml
    metainfo "$metainfo" >/dev/null || fail "appstreamcli: $(metainfo "$metainfo")"
    mkdir "$dest/planted"
    sed 's#<metadata_license>[^<]*#<metadata_license>Proprietary#' "$metainfo" >"$dest/planted/$id.metainfo.xml"
    ! metainfo "$dest/planted/$id.metainfo.xml" >/dev/null || fail "appstreamcli let a planted error through"

    [ -s "$usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
    for size in $icon_sizes; do
        local png=$usr/share/icons/hicolor/${size}x$size/apps/$id.png
        [ "$(png_size "$png")" = "$size $size" ] || fail "icon $png is not ${size}x$size"
    done

    local warnings
    warnings=$(zcat "$usr/share/man/man6/pairfield.6.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "man page: $warnings"

    # One version and one day everywhere: the manual page's, NEWS's newest heading in the upstream changelog (a
    # release, or a snapshot of the next version); the metainfo's newest release is NEWS's newest dated one.
    local version date heading release
    read -r version date < <(zcat "$usr/share/man/man6/pairfield.6.gz" \
        | sed -n '1s/^\.TH PAIRFIELD 6 \([0-9-]*\) "Pairfield \([^"]*\)" "Games"$/\2 \1/p')
    [ -n "$version" ] || fail "the man page's heading: $(zcat "$usr/share/man/man6/pairfield.6.gz" | head -n 1)"
    heading=$(zcat "$usr/share/doc/pairfield/changelog.gz" | head -n 1)
    if [[ $version == *~dev* ]]; then
        [ "$heading" = "Pairfield ${version%%~*}, unreleased snapshot ${version##*~dev}" ] \
            || fail "the upstream changelog is not NEWS of the snapshot $version: $heading"
        local stamp=${version##*~dev}
        [ "$date" = "${stamp:0:4}-${stamp:4:2}-${stamp:6:2}" ] \
            || fail "the man page of $version is dated $date"
        release=$(zcat "$usr/share/doc/pairfield/changelog.gz" | grep -m 1 -E '^Pairfield [^ ]*, [0-9-]+$' || true)
    else
        [ "$heading" = "Pairfield $version, $date" ] || fail "the upstream changelog is not NEWS of $version: $heading"
        release=$heading
    fi
    grep -q "<release version=\"$(sed -E 's/^Pairfield ([^,]*), (.*)$/\1" date="\2/' <<<"$release")\"" \
        "$usr/share/metainfo/$id.metainfo.xml" || fail "the metainfo's newest release is not $release"
    # The newest Debian version, a backport's or a repack's included, packages it.
    local changelog=$usr/share/doc/pairfield/changelog.Debian.gz packaged
    packaged=$(zcat "$changelog" | head -n 1 | sed -n 's/^pairfield (\([^)]*\)) [a-z-]*; urgency=medium$/\1/p')
    [ "$("$build_deb" --upstream-of "$packaged")" = "$version" ] || fail "changelog version $packaged is not of $version"
    [ -s "$usr/share/doc/pairfield/copyright" ] || fail "no copyright"
    zcat "$changelog" | awk '/^ -- / && !seen++' | grep -F "  $(LC_ALL=C date -u -d "$date" '+%a, %d %b %Y') " \
        >/dev/null || fail "the changelog's newest entry is not dated $date"
    # A backport says what it adapted.
    if [[ $packaged == *~bpo* ]]; then
        zcat "$changelog" | sed -n '3,/^ -- /p' | grep '^  \* Standards-Version ' >/dev/null || fail "the backport's entry lists no adaptation"
    fi
    echo "install layout, modes, desktop entry, metainfo, icons, man page and version $version of $date: ok"
}

deb() {
    local dir=$1 package
    package=$(deb_in "$dir")
    local contents
    contents=$(dpkg-deb --contents "$package" | awk '{ print ($7 == "->") ? $6 " -> " $8 : $6 }')
    for path in ./usr/lib/games/pairfield/pairfield ./usr/share/applications/$id.desktop \
        ./usr/share/metainfo/$id.metainfo.xml ./usr/share/man/man6/pairfield.6.gz \
        ./usr/share/doc/pairfield/copyright ./usr/share/icons/hicolor/scalable/apps/$id.svg \
        $(for f in $faces; do echo ./usr/share/games/pairfield/$f; done); do
        grep -qxF "$path" <<<"$contents" || fail "$path is not in the package"
    done
    grep -qxF "./usr/games/pairfield -> ../lib/games/pairfield/pairfield" <<<"$contents" || fail "no link in usr/games"
    ! grep -E '^\./usr/lib/[^ ]*\.gif$' <<<"$contents" || fail "a picture in usr/lib"
    ! grep -q '^./usr/bin' <<<"$contents" || fail "a game in usr/bin"
    [ "$(dpkg-deb -f "$package" Section)" = games ] || fail "section"
    local depends
    depends=$(dpkg-deb -f "$package" Depends)
    for needed in fonts-liberation libqt6widgets6 libgif7; do
        grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
    done
    [ "$(dpkg-deb -f "$package" Recommends)" = qt6-wayland ] || fail "Recommends: $(dpkg-deb -f "$package" Recommends)"
    [ "$(dpkg-deb -f "$package" Suggests)" = orca ] || fail "Suggests: $(dpkg-deb -f "$package" Suggests)"
    # Every tag, pedantic and informational ones included, on the source and the binary package.
    local tags
    tags=$(lintian --pedantic -I "$dir"/pairfield_*_"$arch".changes 2>/dev/null) || fail "lintian failed: $tags"
    [ -z "$tags" ] || fail "lintian: $tags"
    echo "package $(basename "$package"), $(stat -c %s "$package") bytes, and lintian: ok"
}

again() {
    local source=$1 dir=$2 first=$3
    rm -rf "$dir"
    (
        umask 077
        export LC_ALL=C TZ=XYZ-13 # thirteen hours ahead, with no time zone database needed
        DEB_BUILD_OPTIONS=nocheck "$build_deb" "$source" "$dir" >"$dir.log" 2>&1
    ) || { tail -n 40 "$dir.log"; fail "the second dpkg-buildpackage"; }
    local package
    for package in "$first"/*.deb; do
        cmp "$package" "$dir/$(basename "$package")" || fail "two builds of one source differ"
    done
    echo "built again in another directory, umask, locale and time zone: the same package, bit for bit: ok"
}

case ${1:-} in
    build) build "$2" "$3" ;;
    install) install_check "$2" "$3" ;;
    deb) deb "$2" ;;
    again) again "$2" "$3" "$4" ;;
    metainfo) metainfo "$2" ;;
    *) fail "usage: check.sh build|install|deb|again ..." ;;
esac
