# Sourced by the script tests that need Debian's clang, lld and llvm: exits 77 (skipped, as CTest
# is told) naming the first tool that is missing.
# Usage: source needs-tools.sh TOOL...
for tool in "$@"; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (Debian's clang, lld and llvm; scripts/setup.sh installs them)"
    exit 77
  fi
done
