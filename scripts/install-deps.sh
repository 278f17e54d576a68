#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: apt skips what is there, the locale is made once.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  # native build, unit tests, benchmarks, fuzzing
  build-essential cmake ninja-build clang libclang-rt-14-dev clang-tidy clang-format
  libgtest-dev libgmock-dev googletest libbenchmark-dev libstb-dev
  # Windows cross build
  g++-mingw-w64-x86-64 mingw-w64-tools
  # running the programs and the Windows tests
  wine wine64 xvfb x11-apps x11-utils x11-xserver-utils xserver-xephyr imagemagick libgl1-mesa-dri
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  fonts-ipafont-gothic locales xdotool nsis lame sox
  fonts-dejavu-core python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese dialogs are only picked when the locale really exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || true
fi
