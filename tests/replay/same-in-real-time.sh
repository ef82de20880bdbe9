#!/usr/bin/env bash
# Replays SESSION in virtual time and with --realtime, with the plugin's recording switched on, and
# fails unless both print the same bytes, end with the same status, and write the same recordings
# (the host's --record file and the plugin's own), apart from the header lines naming the date,
# the clock and the file. Both run in a folder of the same name, so what names the run's own
# folder (the settings page's recording line) reads the same; the recordings' file names, made of
# the second each began, are left out of the comparison.
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

# A recording's file name: the second it began, and its number in that second.
recording_name='[0-9]\{8\}T[0-9]\{6\}Z\(-[0-9]\+\)\?\.session'

for clock in virtual realtime; do
  mkdir "$folder/run"
  options=(--data data --record host.session)
  [[ $clock == realtime ]] && options+=(--realtime)
  (cd "$folder/run" && "$host" "${options[@]}" ../play.session >"../$clock.out" 2>"../$clock.err")
  echo $? >"$folder/$clock.status"
  mv "$folder/run" "$folder/$clock"
  sed -i "s/$recording_name/NAME.session/g" "$folder/$clock.out"
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
