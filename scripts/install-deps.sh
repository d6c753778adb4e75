#!/usr/bin/env bash
# Installs what building, testing and running the project needs on Debian 12.
# As root it installs the missing packages with apt-get; otherwise it names them and fails.
set -euo pipefail

packages=(
  g++ cmake make pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libssl-dev libcpp-httplib-dev libsqlite3-dev libcrypt-dev
  qt6-base-dev fonts-dejavu-core
  curl xvfb xauth clang-format
  clang-14 libclang-rt-14-dev llvm-14
  dpkg-dev file help2man desktop-file-utils
  python3-pyftpdlib python3-openssl openssl lftp systemd
)

missing=()
for package in "${packages[@]}"; do
  if ! [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" = 'install ok installed' ]; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them as root: apt-get install --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
