#!/usr/bin/env bash
# The demo: builds the program, starts the stand-in service on loopback with a demo account
# and sample files, and opens the program's window against it. Without a display it plays a
# short tour in the real widgets instead and says where its pictures are.
#   scripts/demo.sh [--keep]    --keep leaves the temporary folder (service, device, logs)
set -euo pipefail
cd "$(dirname "$0")/.."

keep=no
case "${1:-}" in
  "") ;;
  --keep) keep=yes ;;
  *) echo "usage: scripts/demo.sh [--keep]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target stowbox stowbox-service

bin=build/default/bin
work=$(mktemp -d /tmp/stowbox-demo-XXXXXX)
mkdir -p "$work/device/Photos" "$work/service/accounts/demo/My Device on Stowbox/Music"
printf 'Shopping list\n- bread\n- tea\n' >"$work/device/notes.txt"
head -c 3000 /dev/urandom >"$work/device/Photos/beach.jpg"
printf 'Welcome to Stowbox.\n' >"$work/service/accounts/demo/My Device on Stowbox/readme.txt"
head -c 5000 /dev/urandom >"$work/service/accounts/demo/My Device on Stowbox/Music/song.mp3"

# A throw-away authority and a certificate it signed for the service's loopback address;
# the program trusts that authority through --ca-file. The service refuses clear log-ins, so
# the demo cannot quietly fall back to sending the password in clear.
certs="$work/certificates"
mkdir -p "$certs"
new_key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
openssl req -x509 "${new_key[@]}" -keyout "$certs/ca.key" -out "$certs/ca.pem" -days 2 \
  -subj "/CN=Stowbox demo authority" 2>/dev/null
openssl req "${new_key[@]}" -keyout "$certs/server.key" -out "$certs/server.csr" \
  -subj "/CN=localhost" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\n' >"$certs/names"
openssl x509 -req -in "$certs/server.csr" -CA "$certs/ca.pem" -CAkey "$certs/ca.key" \
  -CAcreateserial -out "$certs/server.pem" -days 2 -extfile "$certs/names" 2>/dev/null

"$bin/stowbox-service" --root "$work/service" --listen 127.0.0.1 --ftp-port 0 --web-port 0 \
  --tls-cert "$certs/server.pem" --tls-key "$certs/server.key" --require-tls \
  --account demo:demo123 >"$work/service.out" 2>"$work/service.err" &
service=$!
finish() {
  kill "$service" 2>/dev/null || true
  wait "$service" 2>/dev/null || true
  if [ "$keep" = yes ]; then
    echo "The demo's temporary folder stays: $work"
  else
    rm -rf "$work"
  fi
}
trap finish EXIT

for _ in $(seq 100); do
  grep -q '^web ' "$work/service.out" 2>/dev/null && break
  sleep 0.1
done
ftp=$(sed -n 's/^ftp //p' "$work/service.out")
web=$(sed -n 's/^web //p' "$work/service.out")
if [ -z "$ftp" ]; then
  echo "The stand-in service did not start:" >&2
  cat "$work/service.err" >&2
  exit 1
fi

echo "Stand-in service: FTP over TLS $ftp, web https://$web"
echo "Demo account: user name 'demo', password 'demo123'"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Device folder: $work/device"
  echo "Log in with the demo account in the window that opens; EXIT or closing it ends the demo."
  "$bin/stowbox" --device-root "$work/device" --server "$ftp" --web "https://$web" \
    --ca-file "$certs/ca.pem"
  exit
fi

# No display: a short tour played in the real widgets, drawn offscreen, with a picture of
# the screen for each window, each 'show' step and each message box.
cat >"$work/tour.script" <<'TOUR'
# Log in, look at both views, download a file, leave.
type 1001 "demo"
type 1002 "demo123"
click 1003
expect title "My Device"
show
command 32789
expect title "Stowbox"
show
expect row 1 "readme.txt"
check 1
command 32791
expect box "File Download Completed"
command 32788
expect title "My Device"
show
answer yes
command 32792
TOUR
pictures=build/demo-pictures
rm -rf "$pictures"
status=0
"$bin/stowbox" --script "$work/tour.script" --screenshots "$pictures" \
  --device-root "$work/device" --server "$ftp" --web "https://$web" \
  --ca-file "$certs/ca.pem" >"$work/transcript.txt" 2>&1 || status=$?
mkdir -p "$pictures"
cp "$work/transcript.txt" "$pictures/transcript.txt"
echo
if [ "$status" -eq 0 ]; then
  echo "There is no display here, so the demo played a short tour in the program's real"
  echo "window, drawn off screen: it logged in to the stand-in service over TLS as 'demo',"
  echo "looked at the device's files and the account's, downloaded readme.txt to the device"
  echo "and left."
else
  echo "The tour did not go as planned (status $status); what the program showed is in"
  echo "$pictures/transcript.txt."
fi
echo "Pictures of each window and step: $(pwd)/$pictures (with transcript.txt, the"
echo "program's own record of what it showed)."
exit $status
