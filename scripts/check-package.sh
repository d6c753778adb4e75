#!/usr/bin/env bash
# Builds the .deb from the default build, unpacks it into a scratch folder and tries the
# installed program from there: its version, a short headless script (log in, list,
# download) against the installed stand-in service, and its desktop entry.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build/default
cmake --preset default -DSTOWBOX_WERROR=ON >/dev/null
cmake --build --preset default -j2 --target stowbox stowbox-service stowbox_man_pages

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

echo "== package: build the .deb"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/stowbox_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no .deb"
deb=${debs[0]}
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
# The library dependencies are computed from the binaries.
case "$depends" in *libc6*libqt6*|*libqt6*libc6*) ;; *) fail "dependencies not computed: $depends" ;; esac
[ -n "$(dpkg-deb --field "$deb" Description | sed -n 2p)" ] || fail "no long description"

echo "== package: unpack and run"
root=$work/root
dpkg -x "$deb" "$root"
for file in usr/bin/stowbox usr/bin/stowbox-service usr/share/stowbox/Kestra.htm \
  usr/share/applications/stowbox.desktop usr/share/icons/hicolor/scalable/apps/stowbox.svg \
  usr/share/icons/hicolor/48x48/apps/stowbox.png usr/share/man/man1/stowbox.1.gz \
  usr/share/man/man1/stowbox-service.1.gz; do
  [ -f "$root/$file" ] || fail "the package has no $file"
done
desktop-file-validate "$root/usr/share/applications/stowbox.desktop" || fail "the desktop entry is not valid"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ "$("$root/usr/bin/stowbox" --version)" = "stowbox $version" ] ||
  fail "stowbox --version does not print 'stowbox $version'"

# Nothing of the run may land in the user's own folders.
export HOME=$work/home XDG_DATA_HOME=$work/home/data
mkdir -p "$work/service/accounts/alice/My Device on Stowbox" "$work/device" "$HOME"
head -c 20000 /dev/urandom >"$work/service/accounts/alice/My Device on Stowbox/photo.jpg"
printf 'Welcome\n' >"$work/service/accounts/alice/My Device on Stowbox/readme.txt"

# Port 0: the service picks free ports and prints them.
"$root/usr/bin/stowbox-service" --root "$work/service" --listen 127.0.0.1 --ftp-port 0 \
  --web-port 0 --account alice:secret >"$work/service.out" 2>"$work/service.err" &
service=$!
for _ in $(seq 300); do
  grep -q '^web ' "$work/service.out" 2>/dev/null && break
  kill -0 "$service" 2>/dev/null || break
  sleep 0.1
done
ftp=$(sed -n 's/^ftp //p' "$work/service.out")
web=$(sed -n 's/^web //p' "$work/service.out")
[ -n "$ftp" ] && [ -n "$web" ] || { cat "$work/service.err" >&2; fail "the installed service did not start"; }

cat >"$work/download.script" <<'SCRIPT'
type 1001 "alice"
type 1002 "secret"
click 1003
expect title "My Device"
command 32789
expect title "Stowbox"
expect rows 2
expect row 0 "photo.jpg"
expect row 1 "readme.txt"
check 0
command 32791
expect box "File Download Completed"
expect no-box
answer yes
command 32792
SCRIPT
"$root/usr/bin/stowbox" --headless --script "$work/download.script" --device-root "$work/device" \
  --server "$ftp" --web "$web" >"$work/transcript" 2>&1 ||
  { cat "$work/transcript" >&2; fail "the headless script failed against the installed service"; }
cmp -s "$work/device/photo.jpg" "$work/service/accounts/alice/My Device on Stowbox/photo.jpg" ||
  fail "the downloaded file differs from the account's"
[ ! -e "$work/device/readme.txt" ] || fail "an unchecked file was downloaded"
echo "== package: $(basename "$deb") installs and runs"
