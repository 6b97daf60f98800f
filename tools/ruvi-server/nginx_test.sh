#!/usr/bin/env bash
# The shipped nginx configuration in front of two ruvi-server instances on
# loopback that serve one plan folder, started as the systemd unit starts
# them: nginx accepts it, both instances answer through it (signed, over
# HTTPS) and know the client by the address nginx saw (the client connects
# from 127.0.0.2), a report is logged once, a burst of reports is cut short,
# the plan's files are served from disk as a mirror, with ranges, and through
# the caching edge of the sample in front of it, and with one instance
# stopped the other answers everything.
# Usage: nginx_test.sh RUVI_SERVER DEPLOY_NGINX_CONF DEPLOY_EDGE_CONF NGINX
set -u
program=$1
shipped=$2
edge=$3
nginx=$4

work=$(mktemp -d)
pids=()
nginx_pid=
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
until_deadline() {  # COMMAND...: true once it succeeds within 30 s
  local i
  for i in $(seq 1 600); do "$@" && return 0; sleep 0.05; done
  return 1
}

# nginx started by root serves files as the user nobody.
chmod 755 "$work"
mkdir -p "$work/plan/files"
printf '<R><VersionLimit>1.0.0.1</VersionLimit><OperationList><Operation ModuleName="UserCheck"/></OperationList></R>' \
  >"$work/plan/plan.xml"
head -c 3000001 /dev/urandom >"$work/plan/files/setup.bin"
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$work/signing.pem" 2>/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/tls.key" -out "$work/tls.pem" -days 2 \
  -subj /CN=localhost -addext subjectAltName=DNS:localhost 2>/dev/null

# start_instance N: a ruvi-server on a free port; sets port_N.
start_instance() {
  "$program" "$work/plan" --listen 127.0.0.1:0 --signing-key "$work/signing.pem" \
    --trusted-proxy 127.0.0.1 >"$work/access-$1.log" 2>"$work/err-$1" &
  pids[$1]=$!
  first_line() { grep -q '^listening on ' "$work/access-$1.log"; }
  until_deadline first_line "$1" || fail "instance $1 did not start: $(cat "$work/err-$1")"
  local line; line=$(head -n 1 "$work/access-$1.log")
  line=${line#listening on http://127.0.0.1:}
  printf -v "port_$1" '%s' "${line%%/*}"
}
start_instance 1
start_instance 2

# The shipped file as it is, with the test's ports, certificate and plan
# folder, and the edge sample in front of it on plain HTTP, inside the
# smallest main configuration that keeps nginx's files in $work.
write_config() {  # HTTP_PORT HTTPS_PORT EDGE_PORT
  sed -e "s|server 127.0.0.1:8081 |server 127.0.0.1:$port_1 |" \
      -e "s|server 127.0.0.1:8082 |server 127.0.0.1:$port_2 |" \
      -e "s|listen 80;|listen 127.0.0.1:$1;|" -e "s|listen 443 ssl;|listen 127.0.0.1:$2 ssl;|" \
      -e "s|/etc/ssl/ruvi/fullchain.pem|$work/tls.pem|" -e "s|/etc/ssl/ruvi/privkey.pem|$work/tls.key|" \
      -e "s|alias /srv/ruvi/plan/files/;|alias $work/plan/files/;|" \
      "$shipped" >"$work/ruvi.conf"
  sed -e "s|listen 443 ssl;|listen 127.0.0.1:$3;|" -e "/ssl_/d" \
      -e "s|server ruvi.example.com:443;|server 127.0.0.1:$1;|" \
      -e "s|proxy_pass https://|proxy_pass http://|" \
      -e "s|/var/cache/nginx/ruvi-edge |$work/edge-cache |" \
      "$edge" >"$work/ruvi-edge.conf"
  cat >"$work/nginx.conf" <<CONF
pid $work/nginx.pid;
error_log $work/error.log;
worker_processes 1;
events {}
http {
  access_log $work/nginx-access.log;
  client_body_temp_path $work/body;
  proxy_temp_path $work/proxy;
  include $work/ruvi.conf;
  include $work/ruvi-edge.conf;
}
CONF
}

write_config 8080 8443 8444
"$nginx" -t -q -e "$work/error.log" -c "$work/nginx.conf" || fail "nginx -t refuses the configuration"

# Ports are drawn at random; another process may hold one, then nginx does
# not start and the next draw is tried.
for _ in 1 2 3 4 5; do
  http_port=$((20000 + RANDOM % 30000))
  https_port=$((http_port + 1))
  edge_port=$((http_port + 2))
  write_config "$http_port" "$https_port" "$edge_port"
  "$nginx" -e "$work/error.log" -c "$work/nginx.conf" -g 'daemon off;' &
  nginx_pid=$!
  listening() { curl -s -o /dev/null "http://127.0.0.1:$http_port/"; }
  until_deadline listening && break
  kill "$nginx_pid" 2>/dev/null
  wait "$nginx_pid" 2>/dev/null
  nginx_pid=
done
[ -n "$nginx_pid" ] || { fail "nginx did not start: $(cat "$work/error.log")"; exit 1; }

# post PATH [BODY [CURL ARGS...]]: a POST through nginx over HTTPS from
# 127.0.0.2; prints the status.
post() {
  local path=$1 body=${2:-}
  shift 2 2>/dev/null || shift
  curl -s -o /dev/null -w '%{http_code}' --interface 127.0.0.2 --cacert "$work/tls.pem" \
    --data-binary "$body" "$@" "https://localhost:$https_port$path"
}
report() { post '/RUVServer//RUVS?method=report' "$1"; }

# A forwarded address the client made up counts for nothing.
for _ in 1 2 3 4; do
  [ "$(post /RUVServer/ruvinstall '' -H 'X-Ruvi-Nonce: 0123456789abcdef0123456789abcdef' \
    -H 'X-Forwarded-For: 203.0.113.66' -D "$work/headers")" = 200 ] ||
    fail "an answer through nginx failed"
  grep -q '^X-Ruvi-Signature: ' "$work/headers" || fail "the signature did not come through"
done
for n in 1 2; do
  grep -q '"client":"127.0.0.2","proxy":"127.0.0.1","method":"POST","path":"/RUVServer/ruvinstall"' \
    "$work/access-$n.log" || fail "instance $n answered nothing through nginx for 127.0.0.2"
done
[ "$(report 'report')" = 200 ] || fail "report refused"
[ "$(wc -l <"$work/plan/reports.log")" = 1 ] || fail "the report was not logged once"
grep -q $'\t127.0.0.2\treport$' "$work/plan/reports.log" || fail "the report names another client"

# A burst of reports from one address: 6 go through at once, the rest wait
# their turn (429).
statuses=
for _ in 1 2 3 4 5 6 7; do statuses+="$(report r) "; done
[ "$statuses" = "200 200 200 200 200 429 429 " ] || fail "a burst of reports answered $statuses"
[ "$(wc -l <"$work/plan/reports.log")" = 6 ] || fail "the burst left $(wc -l <"$work/plan/reports.log") lines"
[ "$(report "$(head -c 4097 /dev/zero | tr '\0' r)")" = 413 ] || fail "a report over 4 KiB went through"
[ "$(post /other)" = 404 ] || fail "nginx passed on a path outside /RUVServer/"

# The mirror: a ranged GET gets 206 with the bytes from there on, from disk
# (no instance sees a GET); a POST to the same path is the download protocol,
# answered by an instance (400 for a body that is no sealed request).
# get URL [CURL ARGS...]: the body to $work/got; prints status and Content-Range.
get() {
  local url=$1
  shift
  curl -s -o "$work/got" -D "$work/got-headers" -w '%{http_code}' --cacert "$work/tls.pem" "$@" "$url"
  printf ' %s' "$(sed -n 's/^Content-Range: \(.*\)\r$/\1/p' "$work/got-headers")"
}
mirror="https://localhost:$https_port/RUVServer/files/setup.bin"
[ "$(get "$mirror" -r 1000000-)" = "206 bytes 1000000-3000000/3000001" ] || fail "ranged GET: $(get "$mirror" -r 1000000-)"
cmp -s "$work/got" <(tail -c +1000001 "$work/plan/files/setup.bin") || fail "ranged GET: other bytes"
[ "$(get "$mirror")" = "200 " ] && cmp -s "$work/got" "$work/plan/files/setup.bin" || fail "whole GET"
[ "$(get "$mirror" -r 3000001-)" = "416 bytes */3000001" ] || fail "GET past the end: $(get "$mirror" -r 3000001-)"
[ "$(get "https://localhost:$https_port/RUVServer/files/../plan.xml" --path-as-is)" = "404 " ] ||
  fail "the mirror served a file outside files/"
grep -q '"method":"GET","path":"/RUVServer/files/setup.bin' "$work"/access-*.log && fail "an instance served a mirror GET"
[ "$(post /RUVServer/files/setup.bin 'not sealed')" = 400 ] || fail "a download POST did not reach an instance"

# The edge: fetches slices from the origin once, then serves them itself.
edge_url="http://127.0.0.1:$edge_port/RUVServer/files/setup.bin"
for cache in MISS HIT; do
  [ "$(get "$edge_url" -r 2000000-2000099)" = "206 bytes 2000000-2000099/3000001" ] || fail "edge GET ($cache)"
  cmp -s "$work/got" <(tail -c +2000001 "$work/plan/files/setup.bin" | head -c 100) || fail "edge GET ($cache): other bytes"
  grep -q "^X-Cache-Status: $cache" "$work/got-headers" || fail "edge GET: not a $cache: $(cat "$work/got-headers")"
done
[ "$(curl -s -o /dev/null -w '%{http_code}' --data-binary x "$edge_url")" = 403 ] || fail "the edge took a POST"

kill -TERM "${pids[1]}"
wait "${pids[1]}"
for _ in 1 2 3 4; do
  [ "$(post /RUVServer/ruvinstall)" = 200 ] || fail "with instance 1 stopped a request failed"
done

[ "$failures" = 0 ] && echo "all nginx checks passed"
exit $((failures > 0))
