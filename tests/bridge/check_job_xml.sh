#!/bin/sh
# The job documents kept by the job-document tests must be well-formed XML for a
# conforming reader, and give back the working folder they name, whatever characters it
# holds.
# Glibc's shift_jis is JIS X 0208 proper, with a yen sign at 0x5C; Windows readers take
# shift_jis as code page 932, which glibc calls windows-31j: the paths are read back
# through a copy that says so.
# Usage: check_job_xml.sh <folder with *.lif and *.folder files>
set -eu
folder=$1
count=0
readable=$(mktemp)
trap 'rm -f "$readable"' EXIT
for document in "$folder"/*.lif; do
    [ -e "$document" ] || break
    xmllint --noout "$document"
    expected=$(cat "${document%.lif}.folder")
    sed '1s/encoding="shift_jis"/encoding="windows-31j"/' "$document" >"$readable"
    for element in ImportPath ExportPath; do
        actual=$(xmllint --xpath "string(/General/$element)" "$readable")
        if [ "$actual" != "$expected" ]; then
            echo "$document: $element is '$actual', expected '$expected'"
            exit 1
        fi
    done
    count=$((count + 1))
done
if [ "$count" -lt 2 ]; then
    echo "expected at least 2 job documents in $folder, found $count"
    exit 1
fi
echo "$count job documents are well-formed"
