#!/usr/bin/env bash
# Installs the Debian packages Skyloom needs (only those missing), then
# configures and builds it in release mode. The runtime folder (program and
# every file it reads) is assembled in build/runtime.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake pkg-config python3
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libsdl2-image-dev
  libimgui-dev libstb-dev libfreetype-dev libgtest-dev libbenchmark-dev
  libstb0 fonts-arphic-uming xfonts-wqy fonts-dejavu-core fonts-urw-base35
  timgm6mb-soundfont libtomlplusplus-dev tzdata
  libavcodec-dev libavformat-dev libswscale-dev libswresample-dev libavutil-dev
  libfluidsynth-dev xdg-user-dirs ffmpeg
  xvfb xdotool imagemagick x11-utils
  clang libclang-rt-14-dev
  desktop-file-utils appstream lintian dpkg-dev
  liberfa-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# With ccache present, a rebuild and a fresh clone anywhere reuse what was
# compiled before (paths below this folder are hashed relative to it).
launcher=()
if command -v ccache > /dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launcher[@]}"
cmake --build build -j"$(nproc)"
