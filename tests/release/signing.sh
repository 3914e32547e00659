#!/usr/bin/env bash
# Signs the packages of the clone that reproducible.sh left in build/rebuild with a throw-away
# certificate authority, code-signing certificate and time-stamp authority made here with
# openssl (served on 127.0.0.1 only by tsa.py), verifies every signed file against them, shows
# that one changed byte fails verification and that the signed files differ from the unsigned
# ones built here only by their signatures. Ends with its summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) failures=0 signed=0
clone=$root/build/rebuild/quorin work=$root/build/rebuild/signing
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
rm -rf "$work" && mkdir -p "$work/signed" "$work/unsigned" && cd "$work" || exit 1
issue() { # NAME EXTENSION...: a certificate that the authority issues
  local name=$1 ext=()
  shift
  for e in basicConstraints=CA:FALSE "$@"; do ext+=(-addext "$e"); done
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.crt" -days 2 \
    -subj "/CN=Throw-away $name" -CA ca.crt -CAkey ca.key "${ext[@]}"
}
{ openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 -subj /CN=Throw-away \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign &&
  issue signer extendedKeyUsage=codeSigning && issue tsa extendedKeyUsage=critical,timeStamping &&
  head -c 18 /dev/urandom | base64 >password && openssl pkcs12 -export -in signer.crt \
  -inkey signer.key -certfile ca.crt -passout file:password -out signer.p12; } >openssl.log 2>&1 ||
  { cat openssl.log && exit 1; }
printf '%s\n' '[tsa]' default_tsa=a '[a]' serial=serial signer_cert=tsa.crt certs=ca.crt \
  signer_key=tsa.key signer_digest=sha256 default_policy=1.2.3.4 digests=sha256,sha384 >tsa.cnf
python3 "$root/tests/release/tsa.py" "$work" 600 2>tsa.log &
server=$!
trap 'kill $server' EXIT
for _ in $(seq 50); do [ -s port ] || sleep 0.1; done
"$clone/scripts/package.sh" --sign signer.p12 --password-file password \
  --timestamp "http://127.0.0.1:$(cat port)" >package.log 2>&1 ||
  { cat package.log && echo "signing: FAILED: the signed packing failed" && exit 1; }
! grep -qF "$(cat password)" package.log tsa.log || fail "the password is in a log"
for zip in "$clone"/build/packages/*.zip; do python3 -m zipfile -e "$zip" signed; done
for zip in "$root"/build/packages/*.zip; do python3 -m zipfile -e "$zip" unsigned; done
diff -r -x '*.exe' -x '*.DLL' signed unsigned || fail "the ZIPs' other files differ"
for file in signed/*/*.exe signed/*/*.DLL "$clone"/build/packages/*.msi; do
  osslsigncode verify -CAfile ca.crt -TSA-CAfile ca.crt -in "$file" >verify.log 2>&1 &&
    grep -q "^Timestamp Server Signature verification: ok" verify.log && signed=$((signed + 1)) ||
    { cat verify.log && fail "$file: no verified signature with its time stamp"; }
  # An MSI's tables and streams but its signature are those of the unsigned package built from
  # the same signed files; a PE file without its signature is the unsigned one.
  if [[ $file == *.msi ]]; then
    build=${file##*-} && rm -rf a b && mkdir a b && msidump -d a -t -s "$file" >/dev/null &&
      rm a/_Streams/?DigitalSignature && msidump -d b -t -s "$clone/build/${build%.msi}/${file##*/}" \
      >/dev/null && diff -r a b
  else
    rm -f bare && osslsigncode remove-signature -in "$file" -out bare >/dev/null &&
      cmp bare "unsigned/${file#signed/}"
  fi || fail "$file differs by more than its signature"
done
echo "A signed package's verification:" && cat verify.log
cp signed/*win64/Quorin.exe changed.exe
at=$(($(stat -c %s changed.exe) / 2)) byte=$(($(od -An -tu1 -j$at -N1 changed.exe) ^ 1))
printf "$(printf '\\%03o' $byte)" | dd of=changed.exe bs=1 seek=$at conv=notrunc 2>/dev/null
! osslsigncode verify -CAfile ca.crt -TSA-CAfile ca.crt -in changed.exe >changed.log 2>&1 ||
  fail "a signed program with byte $at changed still verifies"
echo "With byte $at changed: $(grep -i 'mismatch\|verification: failed' changed.log | paste -sd ' ')"
# The six programs and libraries of the two builds' ZIPs, the desk's quorin-id.exe, two MSIs.
[ $failures -eq 0 ] && [ $signed -eq 9 ] && echo "signing: 9 files signed, time-stamped and verified" \
  "against a throw-away authority; a changed byte fails; without signatures, the unsigned files" && exit 0
echo "signing: FAILED ($failures failures, $signed of 9 files verified)" && exit 1
