#!/bin/sh
# The job documents kept by the job-document tests must be well-formed XML for a
# conforming reader, and give back the working folder they name, whatever characters it
# holds.
# Usage: check_job_xml.sh <folder with *.lif and *.folder files>
set -eu
folder=$1
count=0
for document in "$folder"/*.lif; do
    [ -e "$document" ] || break
    xmllint --noout "$document"
    expected=$(cat "${document%.lif}.folder")
    for element in ImportPath ExportPath; do
        actual=$(xmllint --xpath "string(/General/$element)" "$document")
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
