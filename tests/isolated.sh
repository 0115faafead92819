#!/bin/sh
# Runs one test program in its own scratch, runtime and configuration folders, working in
# the scratch folder, so that test programs can run side by side without sharing a log,
# a lock or a settings file.
d=$(mktemp -d "${TMPDIR:-/tmp}/pq-test-XXXXXX") || exit 2
cd "$d" || exit 2
TMPDIR="$d" XDG_RUNTIME_DIR="$d" XDG_CONFIG_HOME="$d" "$@"
rc=$?
cd / && rm -rf "$d"
exit $rc
