#!/bin/sh
# Fetches the upstream tarball of one Debian 12 source package into a folder, checked
# against the signed source index. The archives are the ones this machine's apt sources
# name for its Debian release and for that release's security updates (apt-archive.sh);
# the index comes through a private apt configuration in the folder, so the system's own
# package lists are never touched.
#
# Usage: fetch-debian-source.sh <source package> <version> <folder>
# Prints the tarball's path. A tarball already there with the right checksum is reused.
# Two runs into one folder take turns.
set -eu
package=$1
version=$2
folder=$(mkdir -p "$3" && cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
exec 9>"$folder/.fetch-lock"
flock 9

apt_root=$folder/apt
mkdir -p "$apt_root/lists/partial" "$apt_root/cache/archives/partial" "$apt_root/etc"
apt_options="-o Dir::Etc::SourceList=$apt_root/etc/sources.list -o Dir::Etc::SourceParts=/nonexistent
    -o Dir::State::Lists=$apt_root/lists -o Dir::Cache=$apt_root/cache -o Debug::NoLocking=1 -o APT::Sandbox::User=root"

# The pinned versions are Debian 12's: its suites, from the archives that serve this
# machine's own release (on Debian 12, the same suites).
write_sources() {
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    main=$("$here/apt-archive.sh" "$release")
    security=$("$here/apt-archive.sh" "$release-security" 2>/dev/null || true)
    echo "fetch-debian-source.sh: Debian archive ${main% *} (apt source ${main#* })" >&2
    if [ -n "$security" ]; then
        echo "fetch-debian-source.sh: security archive ${security% *} (apt source ${security#* })" >&2
    else
        echo "fetch-debian-source.sh: no security archive in the apt sources; the Debian archive alone" >&2
    fi
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    {
        echo "deb-src [signed-by=$keyring] ${main% *} bookworm main"
        [ -z "$security" ] || echo "deb-src [signed-by=$keyring] ${security% *} bookworm-security main"
    } >"$apt_root/etc/sources.list.new"
    mv "$apt_root/etc/sources.list.new" "$apt_root/etc/sources.list"
}

# Every source index that lists this version, as "<archive> <directory> <sha256> <name>"
# for its upstream tarball, in the order of the sources.
index_entries() {
    [ -f "$apt_root/etc/sources.list" ] || return 0
    # shellcheck disable=SC2086 # the options are meant to split
    apt-get $apt_options indextargets --format '$(FILENAME) $(REPO_URI)' 'Created-By: Sources' |
        while read -r sources archive; do
            [ -f "$sources" ] || continue
            /usr/lib/apt/apt-helper cat-file "$sources" | awk -v package="$package" \
                -v version="$version" -v archive="$archive" '
                BEGIN { RS = "" }
                {
                    n = split($0, line, "\n")
                    p = v = d = entry = ""
                    sums = 0
                    for (i = 1; i <= n; i++) {
                        if (line[i] ~ /^Package: /) p = substr(line[i], 10)
                        else if (line[i] ~ /^Version: /) v = substr(line[i], 10)
                        else if (line[i] ~ /^Directory: /) d = substr(line[i], 12)
                        else if (line[i] ~ /^Checksums-Sha256:/) sums = 1
                        else if (line[i] ~ /^[^ ]/) sums = 0
                        else if (sums && split(line[i], f, " ") == 3 &&
                                 f[3] ~ /\.orig\.tar\.[a-z0-9]+$/) entry = f[1] " " f[3]
                    }
                    if (p == package && v == version && d != "" && entry != "") {
                        print archive, d, entry
                        exit
                    }
                }'
        done
}

entries=$(index_entries)
if [ -z "$entries" ]; then
    write_sources
    # shellcheck disable=SC2086 # the options are meant to split
    apt-get $apt_options -qq update >&2
    entries=$(index_entries)
fi
if [ -z "$entries" ]; then
    echo "fetch-debian-source.sh: no source index lists $package $version" >&2
    exit 1
fi

# The index that lists the version names its own archive's pool. An archive of security
# updates may list a source whose upstream tarball stayed in the main archive's pool (the
# same file, same checksum), so each archive's pool is then tried without the "updates"
# level; a miss is not reported, only the place that served the file.
# shellcheck disable=SC2086 # the options are meant to split
archives=$(apt-get $apt_options indextargets --format '$(REPO_URI)' 'Created-By: Sources' | awk '!seen[$0]++')
candidates=$(echo "$entries" | while read -r archive directory sha256 name; do
    echo "$archive$directory $sha256 $name"
    for other in $archives; do
        echo "$other$(echo "$directory" | sed 's,^pool/updates/,pool/,') $sha256 $name"
    done
done | awk '!seen[$1]++')
echo "$candidates" >"$apt_root/candidates"
: >"$apt_root/download.log"
while read -r place sha256 name; do
    tarball=$folder/$name
    if [ -f "$tarball" ] && echo "$sha256  $tarball" | sha256sum -c --status; then
        echo "$tarball"
        exit 0
    fi
    if /usr/lib/apt/apt-helper -o APT::Sandbox::User=root download-file \
        "$place/$name" "$tarball.part" "SHA256:$sha256" >>"$apt_root/download.log" 2>&1; then
        mv "$tarball.part" "$tarball"
        echo "fetch-debian-source.sh: $name from $place/" >&2
        echo "$tarball"
        exit 0
    fi
    rm -f "$tarball.part"
done <"$apt_root/candidates"
cat "$apt_root/download.log" >&2
echo "fetch-debian-source.sh: $package $version could not be fetched" >&2
exit 1
