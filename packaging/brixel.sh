#!/bin/sh
# Starts BRIXEL from the player's own folder: the settings and the record live
# there, the pictures, sounds and music are taken from the installation.
set -e
here=$(dirname "$(readlink -f "$0")")
prefix=$(dirname "$here")
share="$prefix/share/brixel"
game="$prefix/lib/brixel/brixel"

home="${XDG_DATA_HOME:-$HOME/.local/share}/brixel"
mkdir -p "$home"
# The default settings on first start; never overwritten afterwards.
if [ ! -e "$home/config.cfg" ]; then
  cp "$share/config.cfg" "$home/config.cfg"
fi
for d in gfx sfx music; do
  ln -sfn "$share/$d" "$home/$d"
done
cd "$home"
exec "$game" "$@"
