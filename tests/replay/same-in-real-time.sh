#!/usr/bin/env bash
# Replays SESSION in virtual time and with --realtime, with the plugin's recording switched on, and
# fails unless both print the same bytes, end with the same status, and write the same recordings
# (the host's --record file and the plugin's own), apart from the header lines naming the date,
# the clock and the file.
set -uo pipefail
usage="usage: same-in-real-time.sh QUILLON_HOST SESSION"
host=$(realpath "${1:?$usage}")
session=${2:?$usage}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
{
  echo "0 set quillon_record 1"
  cat "$session"
} >"$folder/play.session"

# What a run wrote, without the lines that name when, how and where: the host's recording, then
# each of the plugin's. Their names are the times they began, so they are put in the order of
# their contents' checksums instead.
written() {
  local run=$1 recording text
  grep -v -e '^# Recorded by ' -e '^# from ' -e '^# Replay it' "$run/host.session"
  for recording in "$run"/data/quillon/recordings/*.session; do
    [[ -e $recording ]] || continue
    text=$(grep -v -e '^# Recorded by ' -e '^# Replay it' "$recording")
    printf '%s %s\n' "$(md5sum <<<"$text")" "$(base64 -w0 <<<"$text")"
  done | sort | while read -r _ _ text; do base64 -d <<<"$text"; done
}

for clock in virtual realtime; do
  mkdir "$folder/$clock"
  options=(--data data --record host.session)
  [[ $clock == realtime ]] && options+=(--realtime)
  (cd "$folder/$clock" && "$host" "${options[@]}" ../play.session >"../$clock.out" 2>"../$clock.err")
  echo $? >"$folder/$clock.status"
  if [[ ! -f $folder/$clock/host.session ]]; then
    echo "$session: the $clock run wrote no recording; it said:"
    cat "$folder/$clock.err"
    exit 1
  fi
  written "$folder/$clock" >"$folder/$clock.written"
done

failed=0
for part in out err status written; do
  if ! diff -u "$folder/virtual.$part" "$folder/realtime.$part"; then
    echo "$session: the real-time run's $part differs from the virtual run's (above)"
    failed=1
  fi
done
exit "$failed"
