#!/usr/bin/env bash
# The package as it would be uploaded, on unstable (or the code name given): the source package unadapted,
# built twice in a row, lintian silent, and its autopkgtest passed in a fresh system.
#   unstable.sh [<code name>]
source "$(dirname "$0")/lib.sh"
suite=${1:-sid}
"$(dirname "$0")/debbuild.sh" "$suite" twice
"$(dirname "$0")/pipeline.sh" "$suite"
