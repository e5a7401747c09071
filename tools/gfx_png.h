// Writes a picture as an 8-bit RGBA PNG, the same bytes for the same picture.
#pragma once

#include "gfx_image.h"

#include <string>

// Writes to path + ".tmp" and renames it into place, so a failed write never
// leaves a partial picture under the real name. On failure fills err.
bool write_png(const std::string &path, const Image &img, std::string &err);

// Rounds a channel in [0, 1] to a byte (values outside are clamped).
unsigned char to_byte(float v);
