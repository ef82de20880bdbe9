#!/usr/bin/env bash
# Holds the instruction budgets of bench/budgets.txt: counts with callgrind the instructions per
# frame of DrawOverlay in each colour mode and per game event of a player's mix, plain and
# recorded, and fails when a count passes its budget, naming it, the count and the budget.
# Instruction counts do not move with the machine's load, so CI holds them on every change.
# Usage: scripts/check-budgets.sh [BUDGETS_FILE]
set -euo pipefail
cd "$(dirname "$0")/.."
budgets=${1:-bench/budgets.txt}
scripts/setup.sh default frame_instructions hook_instructions >/dev/null
bin=build/default/bin
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Instructions counted inside FUNCTION while PROGRAM runs with ARGS.
count() {
  local function=$1 file
  shift
  file=$(mktemp "$out/callgrind.XXXXXX")
  valgrind --tool=callgrind --callgrind-out-file="$file" --toggle-collect="$function" \
    "$@" >/dev/null 2>"$file.log" || { cat "$file.log" >&2; return 1; }
  awk '/^summary:/ { print $2; exit }' "$file"
}

frames=10000
# DrawOverlay per frame: MODE [recorded|changing].
per_frame() {
  echo $(($(count 'QuillonPlugin::DrawOverlay(CanvasWrapper)' \
    "$bin/frame_instructions" "$1" "$frames" ${2:+"$2"}) / frames))
}
# The host's FireEvent (its call and the plugin's handler) per event of the mix, past the
# events that set it up: the difference between two runs over the difference in events.
per_event() {
  local fewer more
  fewer=$(count 'pluginsdk::Host::FireEvent(*' "$bin/hook_instructions" "$1" 6000)
  more=$(count 'pluginsdk::Host::FireEvent(*' "$bin/hook_instructions" "$1" 18000)
  echo $(((more - fewer) / 12000))
}

measure() {
  case $1 in
    frame-one) per_frame one ;;
    frame-pertext) per_frame pertext ;;
    frame-cycling) per_frame cycling ;;
    frame-one-recorded) per_frame one recorded ;;
    frame-one-changing) per_frame one changing ;;
    mix-plain) per_event plain ;;
    mix-recorded) per_event recorded ;;
    *) echo "budgets: $budgets names an unknown count: $1" >&2; return 1 ;;
  esac
}

declare -A counted
failed=0
while read -r name budget _; do
  [[ -z $name || $name == \#* ]] && continue
  if [[ $name == */* ]]; then
    # A ratio of two counts of this file, measured above it.
    numerator=${counted[${name%/*}]:?"$budgets: $name comes before its counts"}
    denominator=${counted[${name#*/}]:?"$budgets: $name comes before its counts"}
    ratio=$(awk -v a="$numerator" -v b="$denominator" 'BEGIN { printf "%.3f", a / b }')
    if awk -v r="$ratio" -v b="$budget" 'BEGIN { exit !(r > b) }'; then
      echo "budgets: FAILED $name: $ratio ($numerator / $denominator), over its budget of $budget"
      failed=1
    else
      echo "budgets: $name: $ratio, budget $budget"
    fi
    continue
  fi
  counted[$name]=$(measure "$name")
  if ((counted[$name] > budget)); then
    echo "budgets: FAILED $name: ${counted[$name]} instructions, over its budget of $budget"
    failed=1
  else
    echo "budgets: $name: ${counted[$name]} instructions, budget $budget"
  fi
done <"$budgets"
exit "$failed"
