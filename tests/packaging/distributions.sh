#!/usr/bin/env bash
# Installs the game as each distribution's own tooling does, into a staging directory of its own: the
# directories its CMake macros or hooks pass (relative or absolute, Nix's each in an output path of its own),
# from one build, written out whole below; the build type, flags and library kinds, which change how the
# game is compiled and not where it goes, are left to that one build. In every staged tree each link must reach its target, and the program, started through
# the link in its bin directory, must find its twenty pictures beside itself.
#   distributions.sh <source> <scratch directory>
set -euo pipefail
source=$1 scratch=$2
build=$scratch/build
rm -rf "$scratch"
mkdir -p "$scratch"
cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF >"$scratch/configure.log"
cmake --build "$build" --target pairfield pf_desktop_files pf_pictures_files >"$scratch/build.log"

nix=/nix/store/0000000000000000000000000000000-pairfield-1.0
declare -A invocations=(
    [arch]="-DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=None"
    [fedora]="-DCMAKE_INSTALL_DO_STRIP:BOOL=OFF -DCMAKE_INSTALL_PREFIX:PATH=/usr
              -DCMAKE_INSTALL_FULL_SBINDIR:PATH=/usr/sbin -DCMAKE_INSTALL_SBINDIR:PATH=/usr/sbin
              -DINCLUDE_INSTALL_DIR:PATH=/usr/include -DLIB_INSTALL_DIR:PATH=/usr/lib64
              -DSYSCONF_INSTALL_DIR:PATH=/etc -DSHARE_INSTALL_PREFIX:PATH=/usr/share -DLIB_SUFFIX=64
              -DCMAKE_SKIP_RPATH:BOOL=ON -DBUILD_SHARED_LIBS:BOOL=ON -DCMAKE_INSTALL_LIBDIR:PATH=lib64"
    [opensuse]="-DCMAKE_INSTALL_PREFIX:PATH=/usr -DINCLUDE_INSTALL_DIR:PATH=/usr/include
                -DLIB_INSTALL_DIR:PATH=/usr/lib64 -DSYSCONF_INSTALL_DIR:PATH=/etc
                -DSHARE_INSTALL_PREFIX:PATH=/usr/share -DCMAKE_INSTALL_LIBDIR:PATH=lib64
                -DCMAKE_INSTALL_LIBEXECDIR=/usr/libexec -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIB_SUFFIX=64
                -DCMAKE_SKIP_RPATH:BOOL=ON -DBUILD_SHARED_LIBS:BOOL=ON -DBUILD_STATIC_LIBS:BOOL=OFF
                -DCMAKE_COLOR_MAKEFILE:BOOL=OFF -DCMAKE_INSTALL_DO_STRIP:BOOL=OFF"
    [nix]="-DCMAKE_INSTALL_PREFIX=$nix -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_BUILD_RPATH=ON
           -DCMAKE_INSTALL_BINDIR=$nix-bin/bin -DCMAKE_INSTALL_SBINDIR=$nix-bin/sbin
           -DCMAKE_INSTALL_INCLUDEDIR=$nix-dev/include -DCMAKE_INSTALL_OLDINCLUDEDIR=$nix-dev/include
           -DCMAKE_INSTALL_MANDIR=$nix-man/share/man -DCMAKE_INSTALL_INFODIR=$nix-info/share/info
           -DCMAKE_INSTALL_DOCDIR=$nix-doc/share/doc/pairfield -DCMAKE_INSTALL_LIBDIR=$nix-lib/lib
           -DCMAKE_INSTALL_LIBEXECDIR=$nix-lib/libexec -DCMAKE_INSTALL_LOCALEDIR=$nix-lib/share/locale
           -DCMAKE_INSTALL_DATADIR=$nix-data/share"
    [gentoo]="-DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=Gentoo -DCMAKE_INSTALL_DOCDIR=/usr/share/doc/pairfield-1.0
              -DCMAKE_INSTALL_LIBDIR=lib64 -DBUILD_SHARED_LIBS=ON"
    [flatpak]="-DCMAKE_INSTALL_PREFIX:PATH=/app -DCMAKE_INSTALL_LIBDIR:PATH=lib -DCMAKE_BUILD_TYPE=RelWithDebInfo"
)

failed=0
for distribution in arch fedora opensuse nix gentoo flatpak; do
    stage=$scratch/$distribution
    # Each starts from GNUInstallDirs' and the project's own defaults, as a fresh configuration would.
    where=$(tr -s ' \n' '\n' <<<"${invocations[$distribution]}" | grep -E '^-D[A-Z_]*(INSTALL|PREFIX|_DIR|SUFFIX)')
    # shellcheck disable=SC2086
    cmake --no-warn-unused-cli -U 'CMAKE_INSTALL_*' -U 'PAIRFIELD_INSTALL_*' $where "$build" >/dev/null
    cmake --build "$build" --target pairfield pf_desktop_files pf_pictures_files >/dev/null
    DESTDIR=$stage cmake --install "$build" >"$stage.log" 2>&1 || { cat "$stage.log"; failed=1; continue; }
    bad=$(find "$stage" -xtype l)
    command=$(find "$stage" -path '*/bin/pairfield' -type l)
    program=$(readlink -f "$command" 2>/dev/null || true)
    pictures=$(for n in $(seq 20); do [ -f "$(dirname "$program")/F$n.gif" ] && echo "F$n"; done | wc -l)
    version=$("$command" --version 2>&1 || true)
    if [ -n "$bad" ] || [ -z "$command" ] || [ "$pictures" != 20 ] || [[ $version != "pairfield "* ]]; then
        echo "$distribution: links that reach nothing: ${bad:-none}; command: ${command:-none};" \
            "pictures beside the program: $pictures; --version: $version"
        failed=1
    else
        echo "$distribution: ${command#"$stage"} -> ${program#"$stage"}, its 20 pictures beside it"
    fi
done
exit $failed
