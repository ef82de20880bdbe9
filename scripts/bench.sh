#!/usr/bin/env bash
# Measures the plugin: every benchmark in one run with the ratios that matter, then the
# instructions per frame of DrawOverlay counted by callgrind (steady whatever the machine's load).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
if ! command -v valgrind >/dev/null; then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq valgrind
fi
bin=build/default/bin

"$bin/quillon_bench" "$@"

frames=10000
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo
echo "Instructions per frame inside DrawOverlay (callgrind, $frames frames, null canvas):"
for mode in one pertext cycling; do
  valgrind --tool=callgrind --callgrind-out-file="$out/$mode" \
    --toggle-collect='QuillonPlugin::DrawOverlay(CanvasWrapper)' \
    "$bin/frame_instructions" "$mode" "$frames" >/dev/null 2>&1
  total=$(grep -m1 '^summary:' "$out/$mode" | awk '{print $2}')
  printf '  %-8s %6d\n' "$mode" $((total / frames))
done
