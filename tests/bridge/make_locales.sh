#!/bin/sh
# Prepares the runs of the folder-name tests under Wine: the Unix locales from which Wine
# takes its ANSI code page, generated into a folder of the build tree (nothing
# system-wide changes), the profile folders of the test users in the prefix, and an empty
# folder for the job documents the runs keep for xmllint.
# Usage: make_locales.sh <locale folder> <profiles folder> <documents folder> <user...>
set -eu
locales=$1
profiles=$2
documents=$3
shift 3
mkdir -p "$locales"
for locale in en_US ja_JP zh_CN ru_RU; do
    [ -e "$locales/$locale.UTF-8/LC_CTYPE" ] ||
        localedef -i "$locale" -f UTF-8 "$locales/$locale.UTF-8"
done
for user in "$@"; do
    mkdir -p "$profiles/$user"
done
rm -rf "$documents"
mkdir -p "$documents"
