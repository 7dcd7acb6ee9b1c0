#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping what is
# there already (then it takes well under a second and touches nothing).
#   scripts/install-deps.sh [extra packages...]
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev   # host build and unit tests
  g++-mingw-w64-i686-posix                 # Tamberlinox.exe and the harness, 32-bit
  g++-mingw-w64-x86-64-posix               # the same, 64-bit
  wine wine32:i386 wine64 xvfb xauth       # running them
  nsis wixl                                # the setup and the MSIs (target package)
  python3                                  # the policy template's test
  msitools                                 # msiinfo: the install test reads the MSIs
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
needs_i386=
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=1

if [ ${#missing[@]} -eq 0 ] && [ -z "$needs_i386" ]; then
  exit 0
fi

sudo=
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: needs root to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "install-deps: installing ${missing[*]}" >&2
[ -z "$needs_i386" ] || $sudo dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
