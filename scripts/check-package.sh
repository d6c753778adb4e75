#!/usr/bin/env bash
# Builds the two .debs from the tests' build with scripts/package.sh, unpacks them into a
# scratch folder and tries what they install: the files Debian expects, the systemd unit
# (systemd-analyze verify), the service started with the unit's own command line and its
# installed settings (ports and folders moved into the scratch folder, no systemd needed), an
# account added with the installed account command, the installed client starting its GUI
# program and logging in to the service with its address in the device settings file alone.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d /tmp/stowbox-package-XXXXXX)
service=
cleanup() {
  if [ -n "$service" ]; then
    kill "$service" 2>/dev/null || true
    wait "$service" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "check-package: $*" >&2
  exit 1
}

scripts/package.sh default "$work/out" -DSTOWBOX_WERROR=ON
client_deb=$(ls "$work"/out/stowbox_*.deb 2>/dev/null) || fail "no stowbox .deb"
service_deb=$(ls "$work"/out/stowbox-service_*.deb 2>/dev/null) || fail "no stowbox-service .deb"

echo "== package: control fields"
field() { dpkg-deb --field "$1" "$2"; }
client_depends=$(field "$client_deb" Depends)
service_depends=$(field "$service_deb" Depends)
echo "stowbox Depends: $client_depends"
echo "stowbox-service Depends: $service_depends"
# The library dependencies are computed from the binaries.
case "$client_depends" in *libc6*libqt6*|*libqt6*libc6*) ;; *) fail "client dependencies not computed" ;; esac
case "$service_depends" in *libc6*) ;; *) fail "service dependencies not computed" ;; esac
case "$service_depends" in *libqt6*) fail "the service must not need Qt" ;; esac
case "$service_depends" in *adduser*) ;; *) fail "the service's maintainer scripts need adduser" ;; esac
for deb in "$client_deb" "$service_deb"; do
  [ -n "$(field "$deb" Description | sed -n 2p)" ] || fail "no long description in $deb"
done
# Listings are read whole before they are searched: grep -q ending early would make the writer
# die of SIGPIPE, and pipefail would take that for a missing file.
control_files=$(dpkg-deb --ctrl-tarfile "$service_deb" | tar -t)
grep -qx './postinst' <<<"$control_files" || fail "no postinst"
conffiles=$(dpkg-deb --info "$service_deb" conffiles)
grep -qx /etc/stowbox-service/stowbox-service.conf <<<"$conffiles" ||
  fail "the service's settings are not a conffile"

echo "== package: unpack"
root=$work/root
dpkg -x "$client_deb" "$root"
dpkg -x "$service_deb" "$root"
for file in usr/bin/stowbox usr/libexec/stowbox-gui usr/share/stowbox/Kestra.htm \
  usr/share/applications/stowbox.desktop \
  usr/share/icons/hicolor/scalable/apps/stowbox.svg usr/share/icons/hicolor/48x48/apps/stowbox.png \
  usr/share/man/man1/stowbox.1.gz usr/share/doc/stowbox/copyright \
  usr/bin/stowbox-service usr/share/man/man1/stowbox-service.1.gz \
  usr/share/doc/stowbox-service/copyright usr/lib/systemd/system/stowbox-service.service \
  etc/stowbox-service/stowbox-service.conf; do
  [ -f "$root/$file" ] || fail "the packages have no $file"
done
[ -z "$(dpkg-deb --contents "$client_deb" | grep stowbox-service)" ] ||
  fail "the client's package holds parts of the service"
desktop-file-validate "$root/usr/share/applications/stowbox.desktop" || fail "the desktop entry is not valid"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build/default/CMakeCache.txt)
[ "$("$root/usr/bin/stowbox" --version)" = "stowbox $version" ] ||
  fail "stowbox --version does not print 'stowbox $version'"

echo "== package: the systemd unit"
unit=$root/usr/lib/systemd/system/stowbox-service.service
# A copy whose command lies in the unpacked package, checked against this machine's units;
# every complaint counts, warnings about ignored lines included.
mkdir -p "$work/units"
sed "s|^ExecStart=/|ExecStart=$root/|" "$unit" >"$work/units/stowbox-service.service"
verdict=$(systemd-analyze verify --man=no "$work/units/stowbox-service.service" 2>&1) &&
  [ -z "$verdict" ] || fail "systemd-analyze does not accept the unit: $verdict"
execstart=$(sed -n 's/^ExecStart=//p' "$unit")
[ -n "$execstart" ] || fail "the unit has no ExecStart"

# Nothing of the run may land in the user's own folders.
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
mkdir -p "$work/data/accounts/alice/My Device on Stowbox" "$HOME" "$XDG_CONFIG_HOME/stowbox"
head -c 20000 /dev/urandom >"$work/data/accounts/alice/My Device on Stowbox/photo.jpg"
printf 'Welcome\n' >"$work/data/accounts/alice/My Device on Stowbox/readme.txt"

echo "== package: the installed client starts its GUI program"
# The client loads no GUI toolkit itself; for the display it starts its installed GUI program.
loaded=$(LD_TRACE_LOADED_OBJECTS=1 "$root/usr/bin/stowbox")
grep -q 'libQt' <<<"$loaded" && fail "the installed stowbox loads Qt itself"
gui_status=0
QT_QPA_PLATFORM=offscreen "$root/usr/bin/stowbox" --script - --device-root "$work/gui-device" \
  </dev/null >"$work/gui-transcript" 2>&1 || gui_status=$?
# An empty script: the log-in window opens and the script runs out (3).
[ "$gui_status" = 3 ] && grep -q '^window open "Kestra" CLoginDlg$' "$work/gui-transcript" ||
  { cat "$work/gui-transcript" >&2; fail "the installed stowbox does not start its GUI program"; }

echo "== package: an account added with the installed command"
printf 'secret\n' | "$root/usr/bin/stowbox-service" --add-account alice --accounts "$work/accounts" ||
  fail "the account command failed"
[ "$(stat -c %a "$work/accounts")" = 600 ] || fail "the accounts file is not private"
grep -q secret "$work/accounts" && fail "the accounts file holds the password in clear"

echo "== package: the service as its unit starts it"
# The unit's command line with the installed settings; the scratch folder and free ports
# (port 0: the service prints the ones it took) replace the system's.
read -r -a command <<<"$execstart"
command[0]=$root${command[0]}
command=("${command[@]/#\/etc\//$root/etc/}")
"${command[@]}" --root "$work/data" --accounts "$work/accounts" --ftp-port 0 --web-port 0 \
  >"$work/service.out" 2>"$work/service.err" &
service=$!
for _ in $(seq 300); do
  grep -q '^web ' "$work/service.out" 2>/dev/null && break
  kill -0 "$service" 2>/dev/null || break
  sleep 0.1
done
ftp=$(sed -n 's/^ftp //p' "$work/service.out")
web=$(sed -n 's/^web //p' "$work/service.out")
[ -n "$ftp" ] && [ -n "$web" ] || { cat "$work/service.err" >&2; fail "the installed service did not start"; }

echo "== package: the installed client finds it through its settings file"
cat >"$XDG_CONFIG_HOME/stowbox/device.conf" <<CONF
# The built-in addresses led to the scratch service.
server = $ftp
web = $web
device-root = $work/device
CONF
cat >"$work/download.script" <<'SCRIPT'
type IDC_USERNAME "alice"
type IDC_PASSWORD "secret"
click IDC_LOGIN
expect title "My Device"
command ID_SHOW_REMOTE
expect title "Stowbox"
expect rows 2
expect row 0 "photo.jpg"
expect row 1 "readme.txt"
check 0
command ID_DOWNLOAD
expect box "File Download Completed"
expect no-box
answer yes
command ID_EXIT
SCRIPT
"$root/usr/bin/stowbox" --headless --script "$work/download.script" >"$work/transcript" 2>&1 ||
  { cat "$work/transcript" >&2; fail "the headless script failed against the installed service"; }
cmp -s "$work/device/photo.jpg" "$work/data/accounts/alice/My Device on Stowbox/photo.jpg" ||
  fail "the downloaded file differs from the account's"
[ ! -e "$work/device/readme.txt" ] || fail "an unchecked file was downloaded"
echo "== package: $(basename "$client_deb") and $(basename "$service_deb") install and run"
