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

# A loopback port that nothing listens on now.
free_port() { /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# Waits up to `seconds` for the server started as $server_pid to end; true
# when it did, with status 0. `what` (what ended it) goes into the failure
# message. Clears server_pid once the server is gone.
server_ended_cleanly() {  # seconds, what
  local seconds=$1 what=$2 status
  for _ in $(seq $((seconds * 20))); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$server_pid" 2>/dev/null; then
    echo "  (still running $seconds s after $what)" >&2
    return 1
  fi
  wait "$server_pid"
  status=$?
  server_pid=""
  [[ $status -eq 0 ]] || { echo "  (exit status $status after $what)" >&2; return 1; }
}
