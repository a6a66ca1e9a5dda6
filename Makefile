# The README's two commands. Both install what the build needs when something is missing, then build
# only what changed.
#   make run   build the optimised game and start it
#   make test  build with the address and undefined-behaviour sanitizers and run every test, headless
# and the installer's:
#   make deb   build the Debian source and binary packages in build/deb the way a packager does
#   make dist  write the release tarball build/dist/pairfield-<version>.tar.xz and its SHA-256, from the
#              committed tree
#   make publish VERSION=1.0.4  release the version that NEWS opens as unreleased: date it, give debian/changelog
#              its entry, commit, make the tarball from that commit and commit its record
# and CI's:
#   make ci          make test and the package build on the committed tree, in a fresh, bare Debian 12, then 13
#                    (root or sudo)
#   make ci-sid      the same on unstable alone, or on any release named by its code name (ci-trixie)
#   make ci-arch ARCH=arm64   the package cross-built for one architecture and its tests run for it
#   make ci-native ARCH=arm64 the package built natively for that architecture under qemu-user and cross-built,
#                    compared file by file (about an hour)
#   make ci-stage STAGE=cross ARGS=arm64@trixie   one stage of .ci/ alone (maketest, debbuild, pipeline,
#                    unstable, cross, native), with its arguments

# Every Debian package the build, the tests and the game need: these are the only lists.
# Building the Debian package needs build-essential and the Build-Depends of debian/control, which make deb
# installs with apt-get build-dep.
RUN_PACKAGES := cmake ninja-build g++ qt6-base-dev libgif-dev libpng-dev fonts-liberation
DEB_PACKAGES := build-essential dpkg-dev devscripts libdistro-info-perl
TEST_PACKAGES := $(RUN_PACKAGES) $(DEB_PACKAGES) debhelper libbenchmark-dev xvfb xauth xdotool \
                 desktop-file-utils appstream lintian at-spi2-core python3-pyatspi dbus weston qt6-wayland python3-pil \
                 orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng openbox \
                 groff-base

PACKAGES := $(TEST_PACKAGES)

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

FUZZ_PACKAGES := $(RUN_PACKAGES) clang libclang-rt-14-dev
FUZZ_SECONDS ?= 300

.PHONY: run test deb dist publish ci ci-arch ci-native ci-stage fuzz packages release asan

run: PACKAGES := $(RUN_PACKAGES)
run: release
	./build/release/pairfield

test: PACKAGES := $(TEST_PACKAGES)
test: asan
	ctest --preset asan

deb: PACKAGES := $(DEB_PACKAGES)
deb: packages
	tools/build-deb.sh --install-deps . build/deb

ci:
	CI=true .ci/run

dist:
	tools/dist.sh . build/dist

publish: PACKAGES := $(DEB_PACKAGES)
publish: packages
	tools/publish.sh $(VERSION)

ci-arch:
	CI=true .ci/run --arch $(ARCH)

ci-native:
	CI=true .ci/run --native $(ARCH)

ci-stage:
	CI=true .ci/run --stage $(STAGE) $(ARGS)

ci-%:
	CI=true .ci/run $*

# The load of a picture file under libFuzzer for FUZZ_SECONDS; new inputs gather in build/fuzz/corpus, and an input
# that breaks it is written to build/fuzz/ (add it to tests/pictures/gif_corpus once it is mended).
fuzz: PACKAGES := $(FUZZ_PACKAGES)
fuzz: packages build/fuzz/build.ninja
	cmake --build --preset fuzz
	mkdir -p build/fuzz/corpus
	build/fuzz/fuzz_picture -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=4096 -artifact_prefix=build/fuzz/ \
	    build/fuzz/corpus tests/pictures/gif_corpus

# The game alone: its tests and benchmarks are built by make test.
release: packages build/release/build.ninja
	cmake --build --preset release --target pairfield

asan: packages build/asan/build.ninja
	cmake --build --preset asan

build/%/build.ninja: | packages
	cmake --preset $*

packages:
	@missing="$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; done)"; \
	if [ -n "$$missing" ]; then \
	    echo "Installing the missing packages:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi
