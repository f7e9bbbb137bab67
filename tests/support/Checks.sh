# Sourced by the scripted tests: named checks, counted, and the closing line.

failures=0 checks=0

check() {  # description, command...
  local what=$1
  shift
  checks=$((checks + 1))
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}

# "N passed, M failed"; true when none failed.
checks_summary() {
  echo "$((checks - failures)) passed, $failures failed"
  ((failures == 0))
}
