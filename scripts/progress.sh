# Progress of a long job, for the scripts that show it while they wait; sourced, not run.

# A number of seconds as a person reads it: "7 s", "2 min 5 s".
duration() {
  if (($1 >= 60)); then echo "$(($1 / 60)) min $(($1 % 60)) s"; else echo "$1 s"; fi
}
# A number of milliseconds the same way, tenths of a second kept below a minute: "0.4 s", "12.3 s",
# "3 min 28 s".
duration_ms() {
  if (($1 >= 60000)); then duration $(($1 / 1000)); else echo "$(($1 / 1000)).$(($1 % 1000 / 100)) s"; fi
}
# The time since START, a value of $SECONDS.
took() { duration $((SECONDS - $1)); }

# What a build's log (ninja's "[N/M]" lines) tells of its progress.
build_progress() {
  local step
  step=$(grep -o '^\[[0-9]*/[0-9]*\]' "$1" 2>/dev/null | tail -n 1 | tr -d '[]')
  if [[ -n $step ]]; then echo "${step%/*} of ${step#*/} build steps done"; else echo "starting"; fi
}

# Seconds from a progress line printed ELAPSED seconds into a wait to the next: 30 until two
# minutes, then 60, so a long wait is never silent for more than a minute and fills few lines.
progress_interval() { if (($1 < 120)); then echo 30; else echo 60; fi; }
