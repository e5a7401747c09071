// The desktop icon: a falling orange T above a steel stack with a gap, and a
// glowing single cell, on a transparent ground, four cells across. Large sizes
// shrink the game's own bricks; small ones are drawn on the pixel grid, one
// flat bevelled square per cell, so that the shapes still read at 16 pixels.
#include "gfx_pictures.h"

#include <algorithm>
#include <cstring>

namespace {

const char *const kLayout[4] = {".O.G", "OOO.", "S..S", "SS.S"};

// Area-averaged shrink of a square picture to n x n pixels (any ratio),
// colour weighted by alpha so that see-through pixels do not darken it.
Image shrink(const Image &src, int n) {
  if (src.w % n == 0) return downsample(src, src.w / n);
  Image out(n, n, {0, 0, 0, 0});
  float k = (float)src.w / (float)n;
  for (int y = 0; y < n; y++)
    for (int x = 0; x < n; x++) {
      float r = 0, g = 0, b = 0, a = 0, wsum = 0;
      int x0 = (int)(x * k), x1 = std::min(src.w, (int)((x + 1) * k + 0.999f));
      int y0 = (int)(y * k), y1 = std::min(src.h, (int)((y + 1) * k + 0.999f));
      for (int j = y0; j < y1; j++)
        for (int i = x0; i < x1; i++) {
          // Share of source pixel (i, j) inside the output pixel.
          float wx = std::min((float)(i + 1), (x + 1) * k) - std::max((float)i, x * k);
          float wy = std::min((float)(j + 1), (y + 1) * k) - std::max((float)j, y * k);
          float w = std::max(0.0f, wx) * std::max(0.0f, wy);
          const Rgba &p = src.at(i, j);
          r += w * p.r * p.a;
          g += w * p.g * p.a;
          b += w * p.b * p.a;
          a += w * p.a;
          wsum += w;
        }
      out.at(x, y) = a > 0 ? Rgba{r / a, g / a, b / a, a / wsum} : Rgba{0, 0, 0, 0};
    }
  return out;
}

// A cell of c x c pixels drawn for the pixel grid: a flat face in the
// brick's own average colour, a light top and left edge, a dark bottom and
// right edge, so that neighbouring cells of one piece stay apart.
Image pixel_cell(const Image &brick, int c, bool glowing) {
  Rgba face = downsample(brick, brick.w).at(0, 0);
  face.a = 1;
  if (glowing) face = mix(face, rgb(0.7f, 1.0f, 1.0f), 0.35f);
  Rgba light = mix(face, rgb(1, 1, 1), 0.55f), dark = scale(face, 0.45f);
  Image cell(c, c, face);
  for (int j = 0; j < c; j++)
    for (int i = 0; i < c; i++) {
      bool top_left = i == 0 || j == 0, bottom_right = i == c - 1 || j == c - 1;
      if (top_left && !bottom_right) cell.at(i, j) = light;
      else if (bottom_right && !top_left) cell.at(i, j) = dark;
      else if (top_left && bottom_right) cell.at(i, j) = face;
    }
  // From 8 pixels on there is room for a glint in the top-left corner.
  if (c >= 8) cell.at(1, 1) = cell.at(2, 1) = cell.at(1, 2) = light;
  return cell;
}

} // namespace

Image make_icon(int size) {
  int c = size / 4, margin = (size - 4 * c) / 2;
  const Image full[3] = {make_brick1(), make_brick2(), make_brick3()};
  Image cells[3];
  for (int k = 0; k < 3; k++) {
    if (c <= 8) {
      cells[k] = pixel_cell(full[k], c, k == 2);
    } else {
      cells[k] = shrink(full[k], c);
      // The glowing cell keeps its colour but is made solid enough to see.
      if (k == 2)
        for (Rgba &p : cells[k].px) p.a = std::min(1.0f, p.a + 0.25f);
    }
  }
  Image icon(size, size, {0, 0, 0, 0});
  for (int r = 0; r < 4; r++)
    for (int col = 0; col < 4; col++) {
      const char *kinds = "OSG";
      const char *hit = std::strchr(kinds, kLayout[r][col]);
      if (!hit || kLayout[r][col] == '.') continue;
      const Image &src = cells[hit - kinds];
      for (int y = 0; y < c; y++)
        for (int x = 0; x < c; x++) icon.at(margin + col * c + x, margin + r * c + y) = src.at(x, y);
    }
  return icon;
}
