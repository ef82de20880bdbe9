#!/usr/bin/env bash
# Checks every relative link in README.md and docs/*.md under ROOT (default: the repository): the
# file it names must exist, and a #fragment must name a heading of that page (as the page's
# anchors are made from headings: lower case, punctuation dropped, blanks as hyphens). Links to
# web addresses are left alone, and so is text inside ``` blocks or `code`. Prints each broken link
# as FILE:LINE: and exits 1 if there is any.
# Usage: scripts/check-doc-links.sh [ROOT]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

# The anchors of a page's headings, one a line.
anchors() {
  awk '/^```/ { fence = !fence; next }
       !fence && /^#+ / { sub(/^#+ +/, ""); print }' "$1" |
    tr '[:upper:]' '[:lower:]' | sed -e 's/[^a-z0-9 _-]//g' -e 's/ /-/g'
}

# Every link target in a page, as LINE TARGET, leaving out fenced blocks and inline code.
links() {
  awk '/^```/ { fence = !fence; next }
       !fence {
         line = $0
         gsub(/`[^`]*`/, "", line)
         while (match(line, /\]\([^) ]+\)/)) {
           print NR, substr(line, RSTART + 2, RLENGTH - 3)
           line = substr(line, RSTART + RLENGTH)
         }
       }' "$1"
}

broken=0
pages=()
[[ -f README.md ]] && pages+=(README.md)
for page in docs/*.md; do [[ -f $page ]] && pages+=("$page"); done
for page in "${pages[@]}"; do
  folder=$(dirname "$page")
  while read -r line target; do
    case $target in http://* | https://* | mailto:*) continue ;; esac
    file=${target%%#*}
    fragment=
    [[ $target == *#* ]] && fragment=${target#*#}
    if [[ -z $file ]]; then path=$page; elif [[ $folder == . ]]; then path=$file; else path=$folder/$file; fi
    if [[ ! -e $path ]]; then
      echo "$page:$line: broken link '$target': no file $path"
      broken=1
    elif [[ -n $fragment ]] && ! anchors "$path" | grep -qxF "$fragment"; then
      echo "$page:$line: broken link '$target': no heading for #$fragment in $path"
      broken=1
    fi
  done < <(links "$page")
done
exit "$broken"
