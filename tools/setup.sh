#!/usr/bin/env bash
# Installs the Debian packages Quarvel builds and tests with, when any is missing
# (dpkg-dev and lintian build and check the Debian package in the package test).
set -euo pipefail
packages=(cmake g++ make pkg-config pccts libgtest-dev libbenchmark-dev
          libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libavdevice-dev libavfilter-dev
          libhwy-dev libfreetype-dev fonts-dejavu-core qt6-base-dev nlohmann-json3-dev
          dpkg-dev lintian)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q "${missing[@]}"
fi
