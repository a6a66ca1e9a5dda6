#!/usr/bin/env bash
# CI's first stage on a release: the README's `make test` on a fresh clone of the commit, in a bare system of
# that release that holds nothing but what the project installs; a missing install step fails here as on a new
# machine. With `package`, then the package's own tests (ctest --preset package), whose packages are kept for
# the next stage to compare; but for their second build (package_again): the bare build that stage makes is a
# second build, in another system, and must give the same bytes. The other release's reprotest builds twice too.
#   maketest.sh <code name> [package]
source "$(dirname "$0")/lib.sh"
suite=$1
package=${2:+ && ctest --preset package -E package_again}
base=$(bare_system "$suite")
echo "CI: make test${2:+ and the package tests} on a bare $suite, commit ${commit:0:7}, in $run"
in_bare_system ".ci/update.sh $suite && make test$package" "$run/make-test.log" "$run/tests" \
    "build/asan/Testing/Temporary/LastTest.log build/asan/tests/packaging/packages/*.deb" \
    || failed "make test on $suite" "$run/make-test.log"
count_tests "make test on $suite" "$run/make-test.log"
