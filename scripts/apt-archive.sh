#!/bin/sh
# Finds, in this machine's own apt sources, the archive that serves one Debian suite, so
# that the scripts fetch from wherever the machine already fetches its packages (a local
# mirror, a proxy, the default archive) and keep no address of their own. apt itself reads
# the sources (sources.list and sources.list.d, one-line and deb822 alike).
#
# Usage: apt-archive.sh <suite>
#   e.g. "$(. /etc/os-release && echo "$VERSION_CODENAME")", or that name with -security.
# Prints the archive's address and the source entry it was read from ("<file>:<entry>"),
# the first that apt lists (an installation disc does not count); fails, saying so, when
# no source serves the suite.
set -eu
suite=$1
found=$(apt-get indextargets --no-release-info --format '$(RELEASE) $(REPO_URI) $(SOURCESENTRY)' |
    awk -v suite="$suite" '$1 == suite && $2 !~ /^cdrom:/ { print $2, $3; exit }')
if [ -z "$found" ]; then
    echo "apt-archive.sh: no apt source of this machine serves the suite $suite" >&2
    exit 1
fi
echo "$found"
