#!/usr/bin/env bash
# Runs the ruvi-seal program as an operator would: each command once, a
# configuration made and checked, a tampered one refused, and bad input.
# Usage: command_line_test.sh PROGRAM [EMULATOR...]
# With an emulator (Wine) the program prints GBK with CRLF line ends; its
# output is turned into UTF-8 lines before it is compared.
set -u
program=$1
shift
emulator=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run_tool ARGS...: runs the program; sets status, out and err.
run_tool() {
  "${emulator[@]}" "$program" "$@" >out.raw 2>err.raw
  status=$?
  if [ ${#emulator[@]} -gt 0 ]; then
    out=$(tr -d '\r' <out.raw | iconv -f GBK -t UTF-8)
    err=$(tr -d '\r' <err.raw | iconv -f GBK -t UTF-8)
  else
    out=$(cat out.raw)
    err=$(cat err.raw)
  fi
}

expect() {  # description, expected status, expected stdout, expected stderr
  [ "$status" = "$2" ] || fail "$1: status $status, expected $2 (stderr: $err)"
  [ "$out" = "$3" ] || fail "$1: stdout [$out], expected [$3]"
  [ "$err" = "$4" ] || fail "$1: stderr [$err], expected [$4]"
}

# A configuration made by make-config is accepted by check-config.
run_tool make-config --server http://127.0.0.1:8080/ruvi/ --des 'k3y!5678' --untrusted -o RUVI.config
expect "make-config des" 0 "" ""
run_tool check-config RUVI.config
expect "check-config des" 0 $'server: http://127.0.0.1:8080/ruvi/\nmode: DES\nkey: k3y!5678\ntrust key: none' ""

# A tampered configuration is refused with the installer's text.
head -c -8 RUVI.config >tampered.config
run_tool check-config tampered.config
expect "check-config tampered" 1 "" "ruvi-seal: check-config: 解密失败：Integrality of the stream is broken"

# What the installer would refuse is not written.
run_tool make-config --server http://h/ --des 1234567 --untrusted -o short.config
expect "make-config short key" 1 "" "ruvi-seal: make-config: 无效的DES密钥长度"
[ -e short.config ] && fail "make-config wrote a refused configuration"
run_tool make-config --server http://h/ --untrusted -o none.config
expect "make-config without mode" 2 "" \
  "ruvi-seal: make-config: give one of --des KEY and --secure (see 'ruvi-seal make-config --help')"
run_tool make-config --server http://h/ --secure -o none.config
expect "make-config without a trust key" 2 "" \
  "ruvi-seal: make-config: a configuration without a trust key lets anyone on the network run programs as administrator; pass --untrusted to write one anyway"
[ -e none.config ] && fail "make-config wrote a configuration without a trust key unasked"

# seal and open carry any bytes; open refuses what is not a secure stream.
printf 'any\0bytes\r\n\377' >payload.bin
run_tool seal payload.bin sealed.bin
expect "seal" 0 "" ""
run_tool open sealed.bin opened.bin
expect "open" 0 "" ""
cmp -s payload.bin opened.bin || fail "open did not give back the sealed bytes"
run_tool open payload.bin never.bin
[ "$status" = 1 ] && [[ "$err" == "ruvi-seal: open: 解密失败："* ]] || fail "open of plain bytes: $status [$err]"
[ -e never.bin ] && fail "open wrote an output after failing"

# des-encrypt pads to whole 8-byte groups.
printf '<Answer/>' >answer.xml
run_tool des-encrypt 12345678 answer.xml answer.des
expect "des-encrypt" 0 "" ""
[ "$(wc -c <answer.des)" -eq 16 ] || fail "des-encrypt gave $(wc -c <answer.des) bytes, expected 16"
run_tool des-encrypt 1234567 answer.xml short.des
expect "des-encrypt short key" 1 "" "ruvi-seal: des-encrypt: 无效的密钥长度!"

# keygen: a key only its owner can read, and the TrustKey text of its public
# part, as the openssl command gives it. OpenSSL is only in the Linux build.
run_tool keygen -o signing.pem
if [ ${#emulator[@]} -gt 0 ]; then
  expect "keygen" 1 "" "ruvi-seal: keygen: keygen is only in the Linux build of ruvi-seal (it needs OpenSSL)"
else
  [ "$status" = 0 ] || fail "keygen: status $status ($err)"
  [ "$(stat -c %a signing.pem)" = 600 ] || fail "keygen: mode $(stat -c %a signing.pem)"
  [ "$out" = "$(openssl pkey -in signing.pem -pubout -outform DER | base64 -w0)" ] ||
    fail "keygen printed [$out], not the key's public part"
fi

# layout: the sealed answer and the files by their save names; on Linux the
# answer signed over a fresh nonce, which the openssl command verifies over
# the nonce, a line feed and the answer.
mkdir -p plan/files
printf '<R><VersionLimit>1.0.0.1</VersionLimit><OperationList><Operation ModuleName="FileDownload"><URL>files/setup.exe</URL><SaveName>run.exe</SaveName></Operation></OperationList></R>' \
  >plan/plan.xml
printf 'MZ' >plan/files/setup.exe
if [ ${#emulator[@]} -gt 0 ]; then
  run_tool layout plan -o layout
  [ "$status" = 0 ] || fail "layout: status $status ($err)"
else
  run_tool layout plan -o layout --signing-key signing.pem
  [ "$status" = 0 ] || fail "layout: status $status ($err)"
  [[ $(cat layout/answer.nonce) =~ ^[0-9a-f]{32}$ ]] && [ "$(tail -c 1 layout/answer.nonce)" = "" ] ||
    fail "layout: answer.nonce is not one line of 32 hex digits"
  openssl pkey -in signing.pem -pubout -out signing.pub
  { tr -d '\n' <layout/answer.nonce; printf '\n'; cat layout/answer; } >signed.bin
  base64 -d layout/answer.signature >signature.der
  openssl dgst -sha256 -verify signing.pub -signature signature.der signed.bin >/dev/null ||
    fail "layout: the signature does not verify over the nonce and the answer"
fi
run_tool open layout/answer opened.xml
cmp -s plan/plan.xml opened.xml || fail "layout: the answer does not open to plan.xml"
cmp -s plan/files/setup.exe layout/files/run.exe || fail "layout: files/run.exe is not the download"

# Help, and commands the tool does not have.
for command in seal open make-config check-config des-encrypt keygen hash-plan layout; do
  run_tool "$command" --help
  [ "$status" = 0 ] && [[ "$out" == "usage: ruvi-seal $command "* ]] || fail "$command --help: $status [$out]"
done
run_tool unseal a b
expect "unknown command" 2 "" "ruvi-seal: unknown command: unseal (see 'ruvi-seal --help')"

[ "$failures" = 0 ] && echo "all command-line checks passed"
exit "$failures"
