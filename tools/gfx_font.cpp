// The font image: 16 x 16 cells of 32 x 32 pixels, glyph g at column g % 16,
// row g / 16 from the top. Characters 32..126 in cells 0..94 in a plain bold
// face, and again in cells 128..222 in a heavier face with a glow. Glyphs are
// rendered by FreeType at four times the size and filtered down into their
// cells, which keeps their outermost pixel ring empty.
#include "gfx_pictures.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const int CELL = 32;
const int GRID = 16;
const int OVER = 4; // oversampling of the rendered glyphs
const int FIRST = 32, LAST = 126;

// A glyph's coverage at the oversampled size, trimmed to its ink.
struct Glyph {
  int w = 0, h = 0;
  int top = 0; // rows of ink above the baseline
  std::vector<float> cov;
  float at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return cov[(size_t)y * (size_t)w + (size_t)x];
  }
  float bilinear(float x, float y) const {
    x -= 0.5f;
    y -= 0.5f;
    int ix = (int)std::floor(x), iy = (int)std::floor(y);
    float fx = x - ix, fy = y - iy;
    return mixf(mixf(at(ix, iy), at(ix + 1, iy), fx), mixf(at(ix, iy + 1), at(ix + 1, iy + 1), fx), fy);
  }
};

struct Style {
  float cap_px;    // height of capitals in cell pixels
  int pad;         // pixels kept free for the glow, inside the 1-pixel margin
  int pad_below;   // the same under the baseline, where descenders need room
  float stretch;   // horizontal widening of the glyphs
  float embolden;  // extra stroke weight, in fractions of the em
  bool glow;       // outline glow around the glyphs
};

bool render(FT_Face face, int ch, float embolden_px, Glyph &g, std::string &err) {
  FT_UInt index = FT_Get_Char_Index(face, (FT_ULong)ch);
  if (index == 0) {
    char buf[64];
    snprintf(buf, sizeof buf, "font has no glyph for character %d", ch);
    err = buf;
    return false;
  }
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
    err = "FreeType cannot load a glyph";
    return false;
  }
  FT_GlyphSlot slot = face->glyph;
  if (embolden_px > 0 && slot->format == FT_GLYPH_FORMAT_OUTLINE)
    FT_Outline_Embolden(&slot->outline, (FT_Pos)std::lround(embolden_px * 64));
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
    err = "FreeType cannot render a glyph";
    return false;
  }
  const FT_Bitmap &bm = slot->bitmap;
  int bw = (int)bm.width, bh = (int)bm.rows;
  int minx = bw, miny = bh, maxx = -1, maxy = -1;
  for (int y = 0; y < bh; y++) {
    const unsigned char *row = bm.buffer + (bm.pitch >= 0 ? y : y - bh + 1) * bm.pitch;
    for (int x = 0; x < bw; x++)
      if (row[x]) {
        minx = std::min(minx, x);
        maxx = std::max(maxx, x);
        miny = std::min(miny, y);
        maxy = std::max(maxy, y);
      }
  }
  g = Glyph();
  if (maxx < 0) return true; // no ink (the space)
  g.w = maxx - minx + 1;
  g.h = maxy - miny + 1;
  g.top = slot->bitmap_top - miny;
  g.cov.resize((size_t)g.w * (size_t)g.h);
  for (int y = 0; y < g.h; y++) {
    int sy = y + miny;
    const unsigned char *row = bm.buffer + (bm.pitch >= 0 ? sy : sy - bh + 1) * bm.pitch;
    for (int x = 0; x < g.w; x++) g.cov[(size_t)y * (size_t)g.w + (size_t)x] = row[x + minx] / 255.0f;
  }
  return true;
}

// Lays one set of glyphs into the cells starting at `first_cell`; writes
// brightness into `bright` (512 x 512).
bool lay_set(const std::string &path, const Style &st, int first_cell, Field &bright, std::string &err) {
  FT_Library lib;
  if (FT_Init_FreeType(&lib) != 0) {
    err = "FreeType does not start";
    return false;
  }
  FT_Face face;
  if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(lib);
    err = "font file unreadable: " + path;
    return false;
  }
  bool ok = true;
  std::vector<Glyph> glyphs((size_t)(LAST - FIRST + 1));
  float em = 0;
  {
    // The size that gives capitals of the wanted height.
    Glyph h;
    FT_Set_Pixel_Sizes(face, 0, 400);
    ok = render(face, 'H', 0, h, err);
    if (ok && h.h <= 0) {
      err = "font has an empty H: " + path;
      ok = false;
    }
    if (ok) em = std::round(st.cap_px * OVER * 400.0f / (float)h.h);
  }
  if (ok) FT_Set_Pixel_Sizes(face, 0, (FT_UInt)em);
  for (int ch = FIRST; ok && ch <= LAST; ch++) ok = render(face, ch, st.embolden * em, glyphs[(size_t)(ch - FIRST)], err);
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  if (!ok) return false;

  // One baseline for the whole set: centre the tallest ascent and deepest
  // descent; when they do not fit, keep the ascent and squeeze descenders.
  float lo = 1.0f + st.pad, hi = (float)CELL - 1 - st.pad_below;
  float ascent = 0, descent = 0;
  for (const Glyph &g : glyphs) {
    if (g.w == 0) continue;
    ascent = std::max(ascent, (float)g.top / OVER);
    descent = std::max(descent, (float)(g.h - g.top) / OVER);
  }
  float baseline;
  if (ascent + descent <= hi - lo)
    baseline = std::round(lo + (hi - lo - ascent - descent) / 2 + ascent);
  else
    baseline = std::ceil(lo + ascent);

  for (int ch = FIRST; ch <= LAST; ch++) {
    const Glyph &g = glyphs[(size_t)(ch - FIRST)];
    if (g.w == 0) continue;
    int cell = first_cell + (ch - FIRST);
    int ox = (cell % GRID) * CELL, oy = (cell / GRID) * CELL;
    float left = 1.0f + st.pad, right = (float)CELL - 1 - st.pad;
    float gw = std::min((float)g.w / OVER * st.stretch, right - left);
    float x0 = std::round((CELL - gw) / 2 * 2) / 2; // half-pixel steps keep it centred
    x0 = std::max(left, std::min(right - gw, x0));
    // Vertically the part above the baseline and the part below are each
    // squeezed only as far as needed to fit: a descender gets shorter while
    // the body of the letter keeps its size.
    float up = (float)g.top / OVER, down = (float)(g.h - g.top) / OVER;
    float ka = up > 0 ? std::min(1.0f, (baseline - lo) / up) : 1.0f;
    float kd = down > 0 ? std::min(1.0f, (hi - baseline) / down) : 1.0f;
    auto place = [&](float gy) { return gy < 0 ? baseline + gy * ka : baseline + gy * kd; };
    float y0 = place(-up), y1 = place(down);
    std::vector<float> core((size_t)CELL * CELL, 0.0f);
    for (int py = 0; py < CELL; py++)
      for (int px = 0; px < CELL; px++) {
        float sum = 0;
        for (int j = 0; j < OVER; j++)
          for (int i = 0; i < OVER; i++) {
            float sx = px + (i + 0.5f) / OVER, sy = py + (j + 0.5f) / OVER;
            if (sx < x0 || sx > x0 + gw || sy < y0 || sy > y1) continue;
            float gy = sy < baseline ? (sy - baseline) / ka : (sy - baseline) / kd;
            sum += g.bilinear((sx - x0) / gw * g.w, (gy + up) * OVER);
          }
        core[(size_t)py * CELL + (size_t)px] = sum / (OVER * OVER);
      }
    // Crisp edges: the faint fringe of the filtered outline is dropped and
    // the rest steepened, so a stroke is nearly all full-strength pixels and
    // additive text stands out even over a lit scene.
    for (float &c : core) c = smoothstep(0.18f, 0.62f, c);
    for (int py = 0; py < CELL; py++)
      for (int px = 0; px < CELL; px++) {
        float c = core[(size_t)py * CELL + (size_t)px];
        float b = c;
        if (st.glow) {
          // The face shades from white at the top to a lighter grey, inside
          // a bright one-pixel outline.
          float shine = 1.0f - 0.08f * clamp01((py + 0.5f - y0) / std::max(1.0f, y1 - y0));
          float ring = 0;
          for (int dy = -st.pad; dy <= st.pad; dy++)
            for (int dx = -st.pad; dx <= st.pad; dx++) {
              int qx = px + dx, qy = py + dy;
              if (qx < 0 || qy < 0 || qx >= CELL || qy >= CELL) continue;
              float q = core[(size_t)qy * CELL + (size_t)qx];
              float dist = std::sqrt((float)(dx * dx + dy * dy));
              ring = std::max(ring, q * clamp01(1.8f - dist));
            }
          b = std::max(c * shine, 0.75f * ring);
        }
        // The glow under a descender may reach the margin: it is cut there.
        if (px >= 1 && py >= 1 && px < CELL - 1 && py < CELL - 1) bright.at(ox + px, oy + py) = b;
      }
  }
  return true;
}

} // namespace

bool make_font(const std::string &plain_font, const std::string &display_font, Image &out,
               std::string &err) {
  Field bright(CELL * GRID, CELL * GRID, 0.0f);
  const Style plain = {23.0f, 0, 0, 1.18f, 0.03f, false};
  const Style display = {21.0f, 2, 1, 1.0f, 0.07f, true};
  if (!lay_set(plain_font, plain, 0, bright, err)) return false;
  if (!lay_set(display_font, display, 128, bright, err)) return false;

  // Every glyph must keep off its cell's outer ring of pixels.
  for (int cell = 0; cell < GRID * GRID; cell++) {
    int ox = (cell % GRID) * CELL, oy = (cell / GRID) * CELL;
    for (int i = 0; i < CELL; i++) {
      float e = std::max(std::max(bright.at(ox + i, oy), bright.at(ox + i, oy + CELL - 1)),
                         std::max(bright.at(ox, oy + i), bright.at(ox + CELL - 1, oy + i)));
      if (e > 0) {
        char buf[96];
        snprintf(buf, sizeof buf, "font: the glyph in cell %d spills over its cell border", cell);
        err = buf;
        return false;
      }
    }
  }
  // Additive text multiplies colour by alpha, so both are the square root of
  // the brightness; the ground is exact black with alpha 0.
  out = Image(CELL * GRID, CELL * GRID, {0, 0, 0, 0});
  for (size_t i = 0; i < bright.v.size(); i++) {
    float k = std::sqrt(clamp01(bright.v[i]));
    out.px[i] = {k, k, k, k};
  }
  return true;
}
