#!/usr/bin/env bash
# Measures the plugin: every benchmark in one run with the ratios that matter (the medians when
# run with --benchmark_repetitions=N), then the instructions per frame of DrawOverlay and of the
# floor counted by callgrind (steady whatever the machine's load).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default quillon_bench frame_instructions
bin=build/default/bin

"$bin/quillon_bench" "$@"

frames=10000
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo
echo "Instructions per frame (callgrind, $frames frames, null canvas):"
printf '  %-8s %11s %6s %6s\n' mode DrawOverlay floor ratio
for mode in one pertext cycling; do
  valgrind --tool=callgrind --callgrind-out-file="$out/$mode" \
    --toggle-collect='QuillonPlugin::DrawOverlay(CanvasWrapper)' \
    "$bin/frame_instructions" "$mode" "$frames" >/dev/null 2>&1
  valgrind --tool=callgrind --callgrind-out-file="$out/$mode-floor" \
    --toggle-collect='bench::DrawFloor(*' \
    "$bin/frame_instructions" "$mode" "$frames" floor >/dev/null 2>&1
  overlay=$(($(grep -m1 '^summary:' "$out/$mode" | awk '{print $2}') / frames))
  floor=$(($(grep -m1 '^summary:' "$out/$mode-floor" | awk '{print $2}') / frames))
  printf '  %-8s %11d %6d %6s\n' "$mode" "$overlay" "$floor" \
    "$(awk -v a="$overlay" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')"
done
