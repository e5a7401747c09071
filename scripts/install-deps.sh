#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing BRIXEL need.
# Only what is missing is installed; nothing is done when everything is present.
# The names are ones that Debian 12 ("bookworm"), 13 ("trixie") and testing all
# have; where a need goes by other names on other releases, the alternatives are
# listed with "|" and the first one the package lists know is installed.
set -euo pipefail

# One need a line: the package (or alternatives) and what it is for.
needs=(
  "build-essential:the C++ compiler"
  "cmake:the build"
  "pkg-config:finding the libraries"
  "libgtest-dev:the tests"
  "libsdl1.2-dev:SDL 1.2, the window and the keys"
  "libsdl-image1.2-dev:SDL_image, the pictures"
  "libx11-dev:the window's name and icon under X"
  "openbox:a window manager for the desktop tests"
  "libgl1-mesa-dev:OpenGL"
  "libglu1-mesa-dev:GLU"
  "libgl1-mesa-dri:Mesa's software renderer under Xvfb"
  "xvfb:the virtual display of the windowed tests"
  "xauth:xvfb-run"
  "xdotool:keys sent to the game in the tests"
  "sway:a Wayland compositor for the Wayland test"
  "wtype:keys sent to the game on Wayland"
  "grim:screenshots on Wayland"
  "x11-utils:xwininfo and xprop in the tests"
  "imagemagick:screenshots in the tests"
  "libpng-dev:the picture generator"
  "libfreetype-dev:the font image"
  "fonts-dejavu-core:the font image's typeface"
  "libopenal-dev:the sound library"
  "libopenal1:the sound library"
  "libsndfile1-dev:reading the sounds"
  "sox:sound checks in the tests"
  "flite:the announcer's voice"
  "pocketsphinx:the announcer's recognizer in the tests"
  "pocketsphinx-en-us:the recognizer's English model"
  "clang:the fuzzer and the leak check"
  "libclang-rt-dev|libclang-rt-14-dev:clang's sanitizer and fuzzer runtime"
  "valgrind:the memory checks"
  "dpkg-dev:the Debian package"
  "file:the package test"
  "lintian:the package test"
  "desktop-file-utils:checking the desktop entry"
  "appstream:checking the AppStream metadata"
  # brixel --video: FFmpeg's libraries, and ffprobe/ffmpeg for its tests
  "libavcodec-dev:encoding the video files"
  "libavformat-dev:the video files' containers"
  "libswscale-dev:the frames' colour conversion"
  "libswresample-dev:the sound's conversion for the encoders"
  "ffmpeg:ffprobe and ffmpeg in the video tests"
)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# The tests run on two SDL 1.2 libraries: the system's own and sdl12-compat.
# Where the system's own SDL 1.2 is sdl12-compat already (Debian 13 and later:
# libsdl1.2debian is built from it, and testing has no libsdl1.2-compat),
# there is no second one to install.
second_sdl="libsdl1.2-compat:sdl12-compat, the second SDL 1.2 the tests run on"
system_sdl_is_compat() {
  local source
  source=$(dpkg-query -W -f='${source:Package}' libsdl1.2debian 2>/dev/null)
  [ -n "$source" ] || source=$(apt-cache show libsdl1.2debian 2>/dev/null | awk '/^Source:/ {print $2; exit}')
  [ "$source" = sdl12-compat ]
}
system_sdl_is_compat || needs+=("$second_sdl")

missing=()   # the needs none of whose packages is installed
for need in "${needs[@]}"; do
  names=${need%%:*} found=
  IFS='|' read -ra alts <<<"$names"
  for p in "${alts[@]}"; do installed "$p" && { found=1; break; }; done
  [ -n "$found" ] || missing+=("$need")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "These packages are missing and this user cannot install them: ${missing[*]%%:*}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq

# The package lists decide among alternatives; a need that none of its names
# meets is reported by what it is for, not left to apt's bare error.
install=() unknown=()
for need in "${missing[@]}"; do
  # Decided again with the package lists just fetched.
  [ "$need" = "$second_sdl" ] && system_sdl_is_compat && continue
  names=${need%%:*} use=${need#*:} pick=
  IFS='|' read -ra alts <<<"$names"
  for p in "${alts[@]}"; do
    if apt-cache show "$p" >/dev/null 2>&1; then pick=$p; break; fi
  done
  if [ -n "$pick" ]; then
    install+=("$pick")
  else
    unknown+=("${names//|/ or } (for $use)")
  fi
done
if [ ${#unknown[@]} -gt 0 ]; then
  release=$(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-}")
  echo "install-deps: the package lists of this system${release:+ ($release)} have no package:" >&2
  printf '  %s\n' "${unknown[@]}" >&2
  echo "install-deps: install it by hand, or check the apt sources (then run again)" >&2
  exit 1
fi

echo "Installing: ${install[*]}"
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${install[@]}"
