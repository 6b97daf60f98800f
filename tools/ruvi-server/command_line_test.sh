#!/usr/bin/env bash
# Runs the ruvi-server program as scripts and test hosts do: start-up line,
# serving, both stop signals, a second signal during a download, and the
# refusals with their exit codes.
# Usage: command_line_test.sh PROGRAM
set -u
program=$1

work=$(mktemp -d)
pid=
client_pid=
cleanup() {
  [ -n "$client_pid" ] && kill -KILL "$client_pid" 2>/dev/null
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# make_plan FOLDER URL: a plan with one download of URL, and files/setup.exe.
make_plan() {
  mkdir -p "$1/files"
  printf 'MZ' >"$1/files/setup.exe"
  printf '<Response><VersionLimit>1.0.0.1</VersionLimit><OperationList><Operation ModuleName="FileDownload" ModuleLabel="d" Type="1" Timeout="9s"><URL>%s</URL></Operation></OperationList></Response>' \
    "$2" >"$1/plan.xml"
}
make_plan "$work/plan" files/setup.exe
make_plan "$work/broken" files/absent.exe

# start ARGS...: starts the server in the background the way a shell script
# does (which leaves SIGINT ignored) and reads its first line; sets pid, port.
start() {
  rm -f "$work/out" && mkfifo "$work/out"
  "$program" "$@" >"$work/out" 2>"$work/err" &
  pid=$!
  exec 3<"$work/out"
  local line=
  read -r -t 30 line <&3
  if [[ $line =~ ^listening\ on\ http://127\.0\.0\.1:([0-9]+)/RUVServer/$ ]]; then
    port=${BASH_REMATCH[1]}
  else
    fail "start-up line [$line] (stderr: $(cat "$work/err"))"
    port=0
  fi
}

# stop SIGNAL: sends it and waits (at most 30 s) for the exit; sets status.
stop() {
  kill "-$1" "$pid"
  if timeout 30 tail --pid="$pid" -f /dev/null; then
    wait "$pid"
    status=$?
    pid=
  else
    status="still running"
  fi
  exec 3<&-
}

for signal in TERM INT; do
  start "$work/plan" --listen 127.0.0.1:0
  answer=$(curl -s -o /dev/null -w '%{http_code}' --max-time 30 "http://127.0.0.1:$port/RUVServer/")
  [ "$answer" = 200 ] || fail "SIG$signal run: GET of the base answered $answer"
  stop "$signal"
  [ "$status" = 0 ] || fail "SIG$signal: exit status $status, expected 0"
  grep -q 'GET /RUVServer/ 200' "$work/err" || fail "SIG$signal: request not logged"
done

# A second signal ends the server at once, although a request is under way
# and holds the graceful stop: once the server has taken it up (its "100
# Continue"), its body arrives a byte at a time, each well within the
# server's read time-out.
until_deadline() {  # COMMAND...: true once it succeeds within 30 s
  local i
  for i in $(seq 1 600); do "$@" && return 0; sleep 0.05; done
  return 1
}
refused() { ! curl -s -o /dev/null --max-time 5 "http://127.0.0.1:$port/RUVServer/"; }
start "$work/plan" --listen 127.0.0.1:0
(
  exec 4<>"/dev/tcp/127.0.0.1/$port"
  printf 'POST /RUVServer/ruvinstall HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\n' >&4
  printf 'Content-Length: 1000\r\n\r\n' >&4
  read -r -t 30 continue <&4 && [[ $continue == "HTTP/1.1 100 Continue"* ]] && : >"$work/taken"
  while printf x >&4 2>/dev/null; do sleep 0.2; done
) &
client_pid=$!
until_deadline test -e "$work/taken" || fail "the server did not take up the slow request"
kill -TERM "$pid"
until_deadline refused || fail "the first SIGTERM did not stop the listener"
kill -0 "$pid" 2>/dev/null || fail "the graceful stop did not wait for the request"
stop TERM
[ "$status" = 143 ] || fail "second SIGTERM: exit status $status, expected 143 at once"
kill "$client_pid" 2>/dev/null
wait "$client_pid" 2>/dev/null
client_pid=

# run ARGS...: runs the program in the foreground; sets status, out, err.
run() {
  timeout 30 "$program" "$@" >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  out=$(cat "$work/out.txt")
  err=$(cat "$work/err.txt")
}

run "$work/broken"
[ "$status" = 1 ] || fail "missing download: status $status, expected 1"
[ -z "$out" ] || fail "missing download: stdout [$out]"
[[ $err == *files/absent.exe* ]] || fail "missing download: stderr [$err] does not name it"

run "$work/plan" --mode des --des-key short
[ "$status" = 2 ] || fail "short key: status $status, expected 2"
[ -z "$out" ] || fail "short key: stdout [$out]"
[[ $err == *"--des-key must be exactly 8 characters"*"usage: ruvi-server PLAN_DIR"* ]] ||
  fail "short key: stderr [$err]"

[ "$failures" = 0 ] && echo "all command line checks passed"
exit $((failures > 0))
