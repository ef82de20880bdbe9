#!/usr/bin/env bash
# A virtual replay that records prints the same bytes every run, whatever the speed of the
# recording's writer thread: the page's line and the writer's console lines come at the same
# steps. Each session runs 20 times; every run must print what the first printed. And three
# replays into one data folder in the same second each name, on the page, the file they wrote.
# Usage: same-every-run.sh QUILLON-HOST
set -euo pipefail
host=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "same-every-run: $*" >&2
  exit 1
}

# A recordings "folder" that is a plain file: nothing can be recorded, and the page says why.
cat >"$work/blocked.session" <<'SESSION'
0 mode freeplay
0 set quillon_record 1
0 event init
3.0 settings
3.5 settings
SESSION
mkdir -p "$work/blocked/quillon"
echo "a plain file" >"$work/blocked/quillon/recordings"
for run in $(seq 1 20); do
  "$host" --data "$work/blocked" "$work/blocked.session" >"$work/out.$run" 2>&1 || true
  if [[ $run -gt 1 ]] && ! cmp -s "$work/out.1" "$work/out.$run"; then
    diff "$work/out.1" "$work/out.$run" >&2 || true
    fail "run $run printed other bytes than run 1"
  fi
done
grep -q "This practice is not recorded: cannot make the folder" "$work/out.1" ||
  fail "the page does not say why nothing is recorded: $(cat "$work/out.1")"

# Three replays into one data folder: the second and third take the names -2 and -3 (or the
# next second's), and the page names what each wrote, not what the first wrote.
cat >"$work/three.session" <<'SESSION'
0 mode freeplay
0 set quillon_record 1
0 event init
3.5 event jump
4 settings
4.5 event destroyed
SESSION
for round in $(seq 1 5); do
  data="$work/three.$round"
  named=()
  for run in 1 2 3; do
    "$host" --data "$data" "$work/three.session" >"$work/three.out" 2>&1
    line=$(grep -o "Recording to '[^']*'" "$work/three.out") || fail "no file named: $(cat "$work/three.out")"
    file=${line#Recording to \'}
    file=${file%\'}
    [[ -f $file ]] || fail "round $round, run $run: the page names '$file', which is not there"
    for earlier in "${named[@]}"; do
      [[ $earlier != "$file" ]] || fail "round $round, run $run: the page names an earlier run's file '$file'"
    done
    named+=("$file")
  done
done
