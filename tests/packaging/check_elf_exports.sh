#!/bin/sh
# Checks that the Linux module exports exactly one function of its own: PluginMain.
set -eu
module=$1
exports=$(nm -D --defined-only "$module" | awk '$2 == "T" || $2 == "W" { print $3 }' | sort)
if [ "$exports" != "PluginMain" ]; then
    echo "$module exports: $exports" >&2
    exit 1
fi
echo "$module exports exactly PluginMain"
