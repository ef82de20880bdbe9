#!/usr/bin/env bash
# Puts Dear ImGui 1.86, from Debian's source package, into DEST (for builds that Debian's binary
# package cannot serve, such as the Windows one). Uses apt with a private list folder under DEST,
# so the system's package lists stay as they are. Does nothing when DEST already has the sources.
# Usage: scripts/fetch-imgui-source.sh DEST
set -euo pipefail
dest="${1:?usage: fetch-imgui-source.sh DEST}"
version=1.86
[[ -f "$dest/imgui.cpp" ]] && exit 0

work="$dest.download"
rm -rf "$work"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
# The system's own archive entries, asking for source packages instead of binaries.
sed 's/^Types: .*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$work/debian-src.sources"
apt_options=(-q -o "Dir::Etc::sourcelist=$work/debian-src.sources"
             -o Dir::Etc::sourceparts=/nonexistent -o "Dir::State::Lists=$work/lists"
             -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root)
apt-get "${apt_options[@]}" update >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; exit 1; }
(cd "$work" && apt-get "${apt_options[@]}" source --download-only "imgui" >>apt.log 2>&1) ||
  { cat "$work/apt.log" >&2; exit 1; }

archive=$(echo "$work"/imgui_"$version"+*.orig.tar.xz)
[[ -f "$archive" ]] || { echo "fetch-imgui-source: no imgui $version source archive" >&2; exit 1; }
# Unpacked beside DEST and moved in whole, so an interrupted run leaves no half-filled DEST.
mkdir -p "$work/src"
tar -xJf "$archive" -C "$work/src" --strip-components=1
grep -q "#define IMGUI_VERSION *\"$version\"" "$work/src/imgui.h" ||
  { echo "fetch-imgui-source: $archive is not imgui $version" >&2; exit 1; }
rm -rf "$dest"
mkdir -p "$(dirname "$dest")"
mv "$work/src" "$dest"
rm -rf "$work"
echo "Dear ImGui $version sources in $dest"
