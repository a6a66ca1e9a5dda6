# The README's two commands. Both install what the build needs when something is missing, then build
# only what changed.
#   make run   build the optimised game and start it
#   make test  build with the address and undefined-behaviour sanitizers and run every test, headless

# Every Debian package the build, the tests and the game need: this is the one list.
PACKAGES := cmake ninja-build g++ qt6-base-dev libgif-dev libbenchmark-dev fonts-liberation \
            xvfb xauth xdotool

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: run test packages release asan

run: release
	./build/release/pairfield

test: asan
	ctest --preset asan

release: packages build/release/build.ninja
	cmake --build --preset release

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
