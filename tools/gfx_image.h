// The picture generator's toolbox: a float RGBA image, a seeded random source,
// tileable noise and the small drawing helpers every picture is built from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
  float r, g, b, a;
};

struct Image {
  int w = 0, h = 0;
  std::vector<Rgba> px;
  Image() = default;
  Image(int width, int height, Rgba fill = {0, 0, 0, 1});
  Rgba &at(int x, int y) { return px[(size_t)y * (size_t)w + (size_t)x]; }
  const Rgba &at(int x, int y) const { return px[(size_t)y * (size_t)w + (size_t)x]; }
};

// A single-channel float field (heights, masks), with wrapped or clamped reads.
struct Field {
  int w = 0, h = 0;
  std::vector<float> v;
  Field() = default;
  Field(int width, int height, float fill = 0);
  float &at(int x, int y) { return v[(size_t)y * (size_t)w + (size_t)x]; }
  float at(int x, int y) const { return v[(size_t)y * (size_t)w + (size_t)x]; }
  float wrap(int x, int y) const;
  float clamp(int x, int y) const;
};

// splitmix64: small, fast and the same numbers on every machine.
struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed) {}
  uint64_t next();
  float uniform();                 // [0, 1)
  float range(float lo, float hi); // [lo, hi)
  int below(int n);                // [0, n)
};

uint32_t hash3(int x, int y, uint32_t seed);
float hashf(int x, int y, uint32_t seed); // [0, 1)

// Gradient noise on a lattice that repeats every (px, py) cells; x, y in cells.
// Result roughly in [-1, 1].
float noise(float x, float y, int px, int py, uint32_t seed);
// Fractal sum over image fractions u, v in [0, 1): repeats at u, v = 1, so it
// tiles. The first octave has (cx, cy) lattice cells across the image.
float fbm(float u, float v, int cx, int cy, int octaves, uint32_t seed, float gain = 0.5f);
// Ridged variant: sharp creases, for cracks and veins.
float ridged(float u, float v, int cx, int cy, int octaves, uint32_t seed);

// Cellular noise over u, v in [0, 1) with n x n cells, tiling.
struct CellHit {
  float f1, f2; // distances to the nearest and second nearest point, in cells
  uint32_t id;  // identity of the nearest cell
};
CellHit cells(float u, float v, int n, uint32_t seed);

float clamp01(float x);
float mixf(float a, float b, float t);
float smoothstep(float e0, float e1, float x);
Rgba mix(Rgba a, Rgba b, float t);
Rgba scale(Rgba c, float k); // scales colour, keeps alpha
Rgba add(Rgba c, Rgba d);    // adds colour, keeps alpha of c
Rgba rgb(float r, float g, float b, float a = 1);

// Signed distances (negative inside).
float sd_box(float x, float y, float cx, float cy, float hx, float hy, float radius);
float sd_circle(float x, float y, float cx, float cy, float r);
float sd_ellipse(float x, float y, float cx, float cy, float rx, float ry);
float sd_segment(float x, float y, float ax, float ay, float bx, float by);
float sd_star(float x, float y, float cx, float cy, float r, float inner, int points, float turn);
float smin(float a, float b, float k); // smooth union of two distances

// Light on a height field: light from the top-left and in front of the
// picture. Returns the diffuse factor (1 on a flat face) and a glint, the
// highlight of a shiny surface.
struct Lit {
  float diffuse, glint;
};
Lit light_height(const Field &h, int x, int y, float strength, bool wrap, float shininess);
// Albedo lit by `l`: ambient share plus diffuse light, plus a glint of colour
// glint_col weighted by glint_amount.
Rgba shade(Rgba albedo, Lit l, float ambient, float glint_amount, Rgba glint_col);

// Separable box blur repeated three times (close to a Gaussian).
void blur(Field &f, int radius, bool wrap);

// Averages blocks of the picture down to a smaller one (for the icon).
Image downsample(const Image &src, int factor);

// Builds an Image from a per-pixel function of (x, y).
template <class F> Image paint(int w, int h, F f) {
  Image img(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) img.at(x, y) = f(x, y);
  return img;
}
