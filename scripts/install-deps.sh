#!/usr/bin/env bash
# Installs the Debian packages the viewer needs to build, test and run.
# Runs apt-get only when something is missing, so repeated `make` calls stay fast.
# `install-deps.sh packaging` installs the tools that build and check the Debian package instead.
set -euo pipefail

packages=(
  g++ clang libclang-rt-14-dev llvm cmake ninja-build pkg-config make
  qt6-base-dev qt6-multimedia-dev qt6-speech-dev qt6-declarative-dev
  qt6-speech-speechd-plugin libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libespeak-ng-dev espeak-ng sox xvfb xauth
  speech-dispatcher speech-dispatcher-espeak-ng pulseaudio libspeechd-dev qt6-base-private-dev
  desktop-file-utils appstream shared-mime-info zlib1g-dev
)
if [ "${1:-}" = packaging ]; then
  packages=(dpkg-dev file lintian)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
