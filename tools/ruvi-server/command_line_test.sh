#!/usr/bin/env bash
# Runs the ruvi-server program as scripts and test hosts do: start-up line,
# serving, both stop signals, a second signal during a request, signed
# answers checked by the openssl command, HTTPS with a CA of its own, and the
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
  if [[ $line =~ ^listening\ on\ https?://127\.0\.0\.1:([0-9]+)/RUVServer/$ ]]; then
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
  # The access log follows the start-up line, one JSON object a line.
  read -r -t 30 logged <&3
  [[ $logged == '{"time":"'*'","client":"127.0.0.1","method":"GET","path":"/RUVServer/","status":200,"bytes":12,"milliseconds":'*'}' ]] ||
    fail "SIG$signal: access log line [$logged]"
  stop "$signal"
  [ "$status" = 0 ] || fail "SIG$signal: exit status $status, expected 0"
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

# Signed answers: the openssl command verifies the signature over the nonce,
# a line feed and the body; another nonce does not verify.
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$work/signing.pem" 2>/dev/null
openssl pkey -in "$work/signing.pem" -pubout -out "$work/signing.pub"
nonce=0123456789abcdef0123456789abcdef
start "$work/plan" --signing-key "$work/signing.pem"
curl -s -D "$work/headers" -o "$work/body" --data-binary "" -H "X-Ruvi-Nonce: $nonce" \
  "http://127.0.0.1:$port/RUVServer/ruvinstall"
stop TERM
sed -n 's/^X-Ruvi-Signature: \([A-Za-z0-9+/=]*\)\r$/\1/p' "$work/headers" | base64 -d >"$work/signature"
verify() {  # NONCE: whether the signature verifies over NONCE, LF, body
  { printf '%s\n' "$1"; cat "$work/body"; } >"$work/signed"
  openssl dgst -sha256 -verify "$work/signing.pub" -signature "$work/signature" "$work/signed" \
    >/dev/null 2>&1
}
verify "$nonce" || fail "the signature does not verify over the nonce and the body"
verify "1${nonce:1}" && fail "the signature verifies over another nonce"
grep -q "^ruvi-server: signing answers with the key SHA256:" "$work/err" ||
  fail "the key's fingerprint is not shown: $(cat "$work/err")"

# HTTPS with a certificate for localhost from a CA of the test's own: trusted
# with that CA, refused without it.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/ca.key" -out "$work/ca.pem" -days 2 \
  -subj /CN=ruvi-test-ca 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout "$work/tls.key" -out "$work/tls.csr" \
  -subj /CN=localhost 2>/dev/null
printf 'subjectAltName=DNS:localhost\n' >"$work/tls.ext"
openssl x509 -req -in "$work/tls.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
  -out "$work/tls.pem" -days 2 -extfile "$work/tls.ext" 2>/dev/null
start "$work/plan" --tls-cert "$work/tls.pem" --tls-key "$work/tls.key"
answer=$(curl -s -o /dev/null -w '%{http_code}' --max-time 30 --cacert "$work/ca.pem" \
  "https://localhost:$port/RUVServer/")
[ "$answer" = 200 ] || fail "HTTPS with the CA: answered $answer"
curl -s -o /dev/null --max-time 30 "https://localhost:$port/RUVServer/" &&
  fail "HTTPS without the CA was trusted"
stop TERM

# run ARGS...: runs the program in the foreground; sets status, out, err.
run() {
  timeout 30 "$program" "$@" >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  out=$(cat "$work/out.txt")
  err=$(cat "$work/err.txt")
}

run --help
[ "$status" = 0 ] && [[ $out == "usage: ruvi-server PLAN_DIR"* ]] && [ -z "$err" ] ||
  fail "--help: status $status, stdout [$out], stderr [$err]"

run "$work/broken"
[ "$status" = 1 ] || fail "missing download: status $status, expected 1"
[ -z "$out" ] || fail "missing download: stdout [$out]"
[[ $err == *files/absent.exe* ]] || fail "missing download: stderr [$err] does not name it"

# A declared size or hash that the file does not have: refused, naming it.
make_plan "$work/declared" files/setup.exe
sed -i 's|</URL>|</URL><Size>3</Size>|' "$work/declared/plan.xml"
run "$work/declared"
[ "$status" = 1 ] || fail "wrong Size: status $status, expected 1"
[[ $err == *"$work/declared/files/setup.exe has 2 bytes, but"* ]] ||
  fail "wrong Size: stderr [$err] does not name the file"

run "$work/plan" --mode des --des-key short
[ "$status" = 2 ] || fail "short key: status $status, expected 2"
[ -z "$out" ] || fail "short key: stdout [$out]"
[[ $err == *"--des-key must be exactly 8 characters"*"usage: ruvi-server PLAN_DIR"* ]] ||
  fail "short key: stderr [$err]"

run "$work/plan" --trusted-proxy nginx.local
[ "$status" = 2 ] && [[ $err == *"--trusted-proxy expects an IPv4 or IPv6 address"* ]] ||
  fail "proxy by name: status $status, stderr [$err]"

[ "$failures" = 0 ] && echo "all command line checks passed"
exit $((failures > 0))
