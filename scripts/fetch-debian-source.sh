#!/bin/sh
# Fetches the upstream tarball of one Debian source package into a folder, checked against
# the signed source index. The index comes through a private apt configuration in the
# folder, so the system's own package lists are never touched.
#
# Usage: fetch-debian-source.sh <source package> <version> <folder>
# Prints the tarball's path. A tarball already there with the right checksum is reused.
set -eu
package=$1
version=$2
folder=$(mkdir -p "$3" && cd "$3" && pwd)
upstream=${version%-*}

apt_root=$folder/apt
mkdir -p "$apt_root/lists/partial" "$apt_root/cache/archives/partial" "$apt_root/etc"
cat >"$apt_root/etc/sources.list" <<EOF
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian-security bookworm-security main
EOF
apt_options="-o Dir::Etc::SourceList=$apt_root/etc/sources.list -o Dir::Etc::SourceParts=/nonexistent
    -o Dir::State::Lists=$apt_root/lists -o Dir::Cache=$apt_root/cache -o Debug::NoLocking=1 -o APT::Sandbox::User=root"

# The upstream tarball's name and checksum, from the newest index that lists this version.
index_entry() {
    for sources in "$apt_root"/lists/*_Sources*; do
        [ -f "$sources" ] || continue
        /usr/lib/apt/apt-helper cat-file "$sources" | awk -v package="$package" -v version="$version" '
            /^Package: / { p = $2 } /^Version: / { v = $2 }
            /^Checksums-Sha256:/ { in_sums = (p == package && v == version); next }
            /^[^ ]/ { in_sums = 0 }
            in_sums && $3 ~ /\.orig\.tar\.[a-z0-9]+$/ { print $1, $3; exit }
        '
    done | head -n 1
}

entry=$(index_entry)
if [ -z "$entry" ]; then
    # shellcheck disable=SC2086 # the options are meant to split
    apt-get $apt_options -q update >&2
    entry=$(index_entry)
fi
if [ -z "$entry" ]; then
    echo "fetch-debian-source.sh: no source index lists $package $version" >&2
    exit 1
fi
sha256=${entry% *}
name=${entry#* }
tarball=$folder/$name

if [ -f "$tarball" ] && echo "$sha256  $tarball" | sha256sum -c --status; then
    echo "$tarball"
    exit 0
fi

# The security archive keeps only the newest upload of each package, and the main archive
# holds the same upstream tarball for uploads that moved on; the checksum decides.
prefix=$(echo "$package" | cut -c1)
case $package in lib*) prefix=$(echo "$package" | cut -c1-4) ;; esac
for archive in http://deb.debian.org/debian-security http://deb.debian.org/debian; do
    url=$archive/pool/main/$prefix/$package/$name
    if /usr/lib/apt/apt-helper -o APT::Sandbox::User=root download-file "$url" "$tarball.part" "SHA256:$sha256" >&2; then
        mv "$tarball.part" "$tarball"
        echo "$tarball"
        exit 0
    fi
done
rm -f "$tarball.part"
echo "fetch-debian-source.sh: $name ($upstream) could not be fetched with checksum $sha256" >&2
exit 1
