# Sourced by the script tests whose cases are rows of a table: each row names the exit status and
# a line of the output that it expects of the run made for it. Counts the failed cases in
# `failures`, which the test ends with.
# Usage: source expect-case.sh; expect_case NAME EXPECTED_STATUS EXPECTED_LINE STATUS OUTPUT_FILE
failures=0
expect_case() {
  if [[ $4 != "$2" ]] || ! grep -qxF -- "$3" "$5"; then
    echo "FAIL $1: expected status $2 and the line: $3"
    echo "got status $4 and:"
    cat "$5"
    failures=$((failures + 1))
  else
    echo "ok $1"
  fi
}
