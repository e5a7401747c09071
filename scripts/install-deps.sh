#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing BRIXEL need.
# Only what is missing is installed; nothing is done when everything is present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config libgtest-dev
  libsdl1.2-dev libsdl-image1.2-dev libx11-dev
  libsdl1.2-compat openbox  # the second SDL 1.2 the tests run on; a window manager for them
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  xvfb xauth xdotool x11-utils imagemagick
  libpng-dev libfreetype-dev fonts-dejavu-core
  libopenal-dev libopenal1 libsndfile1-dev sox
  flite pocketsphinx pocketsphinx-en-us  # the announcer's voice; its recognizer in the tests
  clang libclang-rt-14-dev valgrind
  dpkg-dev file lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "These packages are missing and this user cannot install them: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
