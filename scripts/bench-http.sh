#!/usr/bin/env bash
# Load measurement of the local print endpoint, with nginx as the floor.
#   scripts/bench-http.sh [seconds per run] [rounds]    defaults 10 and 3
# Runs on a shared machine vary by ±15% from one to the next, so each
# connection count is measured in `rounds` pairs, the endpoint and nginx
# taking turns, and the medians are compared.
# The printer folder is in memory (/dev/shm) where there is one, so that the
# figures are the endpoint's and not this disk's; PAVIX_BENCH_PRINTER_PARENT
# puts it elsewhere (on a disk, say, to see what filing a ticket costs there).
# Starts the endpoint (Release build) with the virtual printer, and nginx on
# loopback answering every request with the same 41-byte JSON body and
# "Connection: close"; wrk posts a 2 KB receipt job to each at 1, 16 and 64
# connections. Prints requests/s and p50/p99 latency of both and their
# ratios, checks that every answered job is in the printer folder, and the
# endpoint's resident memory idle and with 64 connections open.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-10}"
rounds="${2:-3}"
scripts/install-deps.sh bench

cmake -S . -B build/net-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPAVIX_BUILD_BENCH=ON -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/net-bench --target pavix_local_endpoint

scratch=$(mktemp -d)
printer_parent="${PAVIX_BENCH_PRINTER_PARENT:-}"
[[ -z "$printer_parent" && -d /dev/shm && -w /dev/shm ]] && printer_parent=/dev/shm
printer=$(mktemp -d "${printer_parent:-$scratch}/pavix-bench-printer.XXXXXX")
endpoint_pid="" nginx_pid=""
cleanup() {
  [[ -n "$nginx_pid" ]] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null || true
  exec 3>&- 2>/dev/null || true
  [[ -n "$endpoint_pid" ]] && wait "$endpoint_pid" 2>/dev/null || true
  rm -rf "$scratch" "$printer"
}
trap cleanup EXIT

source tests/support/Checks.sh  # free_port
endpoint_port=$(free_port)
nginx_port=$(free_port)

# A receipt as the app renders it: initialise, centred bold title, lines of
# text, a cut; about 2 KB of JSON.
python3 - "$scratch/job.json" <<'PY'
import json, sys
blocks = [[27, 64], [27, 97, 1], [27, 69, 1]] + [list(b"Pavix Coffee Shop\n")] + [[27, 69, 0], [27, 97, 0]]
n = 0
while len(json.dumps(blocks, separators=(",", ":"))) < 1950:
    n += 1
    blocks.append(list(("%-2d Latte large       x1   32.00\n" % n).encode()))
blocks += [[29, 86, 66, 0]]
open(sys.argv[1], "w").write(json.dumps(blocks, separators=(",", ":")))
PY
job_bytes=$(stat -c %s "$scratch/job.json")

mkdir -p "$scratch/nginx/logs"
cat > "$scratch/settings.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova]
"LocalPort"="$endpoint_port"
"PrinterName"="Pavix Virtual Printer"
REG

mkfifo "$scratch/endpoint-input"
PAVIX_SETTINGS_FILE="$scratch/settings.reg" PAVIX_VIRTUAL_PRINTER_DIR="$printer" \
  build/net-bench/bench/pavix_local_endpoint < "$scratch/endpoint-input" > "$scratch/endpoint.out" &
endpoint_pid=$!
exec 3>"$scratch/endpoint-input"
for _ in $(seq 100); do grep -q "listening on" "$scratch/endpoint.out" 2>/dev/null && break; sleep 0.1; done
grep -q "listening on $endpoint_port" "$scratch/endpoint.out" || { cat "$scratch/endpoint.out"; exit 1; }

cat > "$scratch/nginx/nginx.conf" <<NGINX
worker_processes auto;
pid $scratch/nginx/nginx.pid;
error_log $scratch/nginx/logs/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $scratch/nginx/body;
  proxy_temp_path $scratch/nginx/proxy;
  fastcgi_temp_path $scratch/nginx/fastcgi;
  uwsgi_temp_path $scratch/nginx/uwsgi;
  scgi_temp_path $scratch/nginx/scgi;
  keepalive_timeout 0;
  server {
    listen 127.0.0.1:$nginx_port;
    location / {
      default_type application/json;
      return 200 '{"RetCode":0,"RetMessage":"打印成功"}';
    }
  }
}
NGINX
# nginx must not hold the endpoint's input open: the endpoint ends when it closes.
nginx -p "$scratch/nginx" -c "$scratch/nginx/nginx.conf" -g 'daemon off;' 3>&- &
nginx_pid=$!
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$nginx_port/" && break; sleep 0.1; done

# wrk: every request a POST of the job; the figures come from its summary.
cat > "$scratch/post.lua" <<LUA
local f = io.open("$scratch/job.json", "rb")
wrk.method = "POST"
wrk.body = f:read("*a")
f:close()
wrk.headers["Content-Type"] = "application/json"
wrk.headers["Connection"] = "close"
done = function(summary, latency, requests)
  local errors = summary.errors.connect + summary.errors.read + summary.errors.write +
                 summary.errors.status + summary.errors.timeout
  io.write(string.format("RESULT %d %.1f %.3f %.3f %d\n", summary.requests,
           summary.requests / (summary.duration / 1e6), latency:percentile(50) / 1000,
           latency:percentile(99) / 1000, errors))
end
LUA

run() {  # port, connections, query -> "requests rps p50ms p99ms errors"
  local threads=$(( $2 < 2 ? 1 : 2 ))
  wrk -t "$threads" -c "$2" -d "${seconds}s" -s "$scratch/post.lua" "http://127.0.0.1:$1/${3:-}" |
    awk '/^RESULT/ { print $2, $3, $4, $5, $6 }'
}

rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$endpoint_pid/status"; }

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { echo "$1 / $2" | bc -l; }
# Of the rows of one connection count's rounds: a column's median, its sum.
column() { awk -v c="$1" 'NF { print $c }' <<<"$rows" | median; }
errors() { awk -v c="$1" '{ s += $c } END { print s + 0 }' <<<"$rows"; }

idle_before=$(rss_kb)
echo "Job: $job_bytes bytes of JSON; ${seconds}s per run; $rounds rounds; $(nproc) CPUs; printer folder on $(stat -f -c %T "$printer")"
printf '%-6s | %-34s | %-34s | %s\n' "conns" "endpoint: req/s  p50 ms  p99 ms  err" "nginx: req/s  p50 ms  p99 ms  err" "ratios: req/s  p99  (each round's req/s)"
before=$(ls "$printer" | wc -l)
answered=0
for connections in 1 16 64; do
  rows=""
  for _ in $(seq "$rounds"); do
    read -r our_n our_rps our_p50 our_p99 our_err < <(run "$endpoint_port" "$connections")
    read -r ng_n ng_rps ng_p50 ng_p99 ng_err < <(run "$nginx_port" "$connections")
    answered=$((answered + our_n))
    rows+="$our_rps $our_p50 $our_p99 $our_err $ng_rps $ng_p50 $ng_p99 $ng_err $(ratio "$our_rps" "$ng_rps")"$'\n'
  done
  round_ratios=$(awk 'NF { printf "%s%.2f", sep, $9; sep = " " }' <<<"$rows")
  printf '%-6s | %10.0f %8.3f %8.3f %5d | %10.0f %8.3f %8.3f %5d | %6.2f %6.2f  (%s)\n' "$connections" \
    "$(column 1)" "$(column 2)" "$(column 3)" "$(errors 4)" "$(column 5)" "$(column 6)" "$(column 7)" "$(errors 8)" \
    "$(ratio "$(column 1)" "$(column 5)")" "$(ratio "$(column 3)" "$(column 7)")" "$round_ratios"
done
echo "(medians of the rounds; the last column: each round's endpoint req/s over nginx's)"

# The same requests with model=2: parsed, logged and answered, not printed;
# the HTTP path alone, without the printer's share.
echo "Endpoint with ?model=2 (nothing printed):"
for connections in 1 16 64; do
  read -r our_n our_rps our_p50 our_p99 our_err < <(run "$endpoint_port" "$connections" "?model=2")
  printf '%-6s | %10.0f %8.3f %8.3f %5d\n' "$connections" "$our_rps" "$our_p50" "$our_p99" "$our_err"
done

# Every answered job is a document in the folder, byte for byte the job's
# blocks; a request cut off at the end of a run may have printed unanswered.
printed=$(( $(ls "$printer" | wc -l) - before ))
expected_size=$(python3 -c "import json,sys; print(sum(len(b) for b in json.load(open(sys.argv[1]))))" "$scratch/job.json")
wrong=$(find "$printer" -name '*.prn' ! -size "${expected_size}c" | wc -l)
echo "Jobs answered by the endpoint: $answered; documents printed: $printed; documents not of ${expected_size} bytes: $wrong"

idle=$(rss_kb)
python3 - "$endpoint_port" "$endpoint_pid" <<'PY'
import socket, sys, time
port, pid = int(sys.argv[1]), sys.argv[2]
conns = [socket.create_connection(("127.0.0.1", port)) for _ in range(64)]
conns[0].send(b"P")  # every one of them is being served once this one's byte is in
time.sleep(1)
rss = [l.split()[1] for l in open(f"/proc/{pid}/status") if l.startswith("VmRSS")][0]
threads = [l.split()[1] for l in open(f"/proc/{pid}/status") if l.startswith("Threads")][0]
print(f"Endpoint resident memory with 64 connections open: {rss} kB ({threads} threads)")
for c in conns: c.close()
PY
echo "Endpoint resident memory idle: $idle_before kB before the runs, $idle kB after them"
