#!/usr/bin/env bash
# Runs the stream tests against a loopback server started here.
# run-net-tests.sh <wine-run> <test program> <mp3 file>
set -euo pipefail
wine_run=$1 program=$2 media=$3
port_file=$(mktemp)
python3 "$(dirname "$0")/net-server.py" "$media" >"$port_file" &
server=$!
trap 'kill $server 2>/dev/null || true; rm -f "$port_file"' EXIT
for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done
port=$(head -1 "$port_file")
[ -n "$port" ] || { echo "the test server did not start" >&2; exit 1; }
export FMOD_TEST_SERVER="http://127.0.0.1:$port" no_proxy=127.0.0.1
WINEDEBUG=-all "$wine_run" "$program" --gtest_brief=1
