#!/usr/bin/env bash
# Fuzzes with libFuzzer, SECONDS (default 60) for each target: the session-script parser, from
# fuzz/corpus and examples/ (new inputs go to build/fuzz/corpus), then the configuration-file
# reader, from fuzz/config-corpus (new inputs go to build/fuzz/config-corpus), then the plugin's
# chain-log reader, from fuzz/chain-log-corpus (new inputs go to build/fuzz/chain-log-corpus).
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
mkdir -p build/fuzz/corpus build/fuzz/config-corpus build/fuzz/chain-log-corpus
build/fuzz/bin/session_script_fuzz -max_total_time="$seconds" -timeout=5 -max_len=4096 \
  -print_final_stats=1 build/fuzz/corpus fuzz/corpus examples
build/fuzz/bin/config_text_fuzz -max_total_time="$seconds" -timeout=5 -max_len=4096 \
  -print_final_stats=1 build/fuzz/config-corpus fuzz/config-corpus
build/fuzz/bin/chain_log_fuzz -max_total_time="$seconds" -timeout=5 -max_len=16384 \
  -print_final_stats=1 build/fuzz/chain-log-corpus fuzz/chain-log-corpus
