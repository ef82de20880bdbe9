# Progress of a long job, for the scripts that show it while they wait; sourced, not run.

took() {
  local seconds=$((SECONDS - $1))
  if ((seconds >= 60)); then echo "$((seconds / 60)) min $((seconds % 60)) s"; else echo "$seconds s"; fi
}

# What a build's log (ninja's "[N/M]" lines) tells of its progress.
build_progress() {
  local step
  step=$(grep -o '^\[[0-9]*/[0-9]*\]' "$1" 2>/dev/null | tail -n 1 | tr -d '[]')
  if [[ -n $step ]]; then echo "${step%/*} of ${step#*/} build steps done"; else echo "starting"; fi
}
