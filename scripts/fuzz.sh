#!/usr/bin/env bash
# Fuzzes the session-script parser with libFuzzer for SECONDS (default 60), starting from the
# corpus in fuzz/corpus (seeded from examples/); new inputs go to build/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
packages=(clang libclang-rt-14-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/corpus
build/fuzz/bin/session_script_fuzz -max_total_time="$seconds" -timeout=5 -max_len=4096 \
  -print_final_stats=1 build/fuzz/corpus fuzz/corpus examples
