// The toolbox behind every picture: images, random numbers, noise, distances,
// lighting of height fields and blurs.
#include "gfx_image.h"

#include <algorithm>
#include <cmath>

Image::Image(int width, int height, Rgba fill) : w(width), h(height), px((size_t)width * height, fill) {}

Field::Field(int width, int height, float fill) : w(width), h(height), v((size_t)width * height, fill) {}

float Field::wrap(int x, int y) const {
  x %= w;
  y %= h;
  if (x < 0) x += w;
  if (y < 0) y += h;
  return at(x, y);
}

float Field::clamp(int x, int y) const {
  x = std::max(0, std::min(w - 1, x));
  y = std::max(0, std::min(h - 1, y));
  return at(x, y);
}

uint64_t Rng::next() {
  s += 0x9E3779B97F4A7C15ull;
  uint64_t z = s;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

float Rng::uniform() { return (float)(next() >> 40) / (float)(1ull << 24); }

float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

int Rng::below(int n) { return n <= 0 ? 0 : (int)(next() % (uint64_t)n); }

uint32_t hash3(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x27d4eb2du;
  h ^= (uint32_t)x * 0x85ebca6bu;
  h = (h << 13) | (h >> 19);
  h ^= (uint32_t)y * 0xc2b2ae35u;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

float hashf(int x, int y, uint32_t seed) { return (float)(hash3(x, y, seed) >> 8) / 16777216.0f; }

static int wrapi(int i, int n) {
  i %= n;
  return i < 0 ? i + n : i;
}

static float grad(int ix, int iy, int px, int py, uint32_t seed, float dx, float dy) {
  float a = hashf(wrapi(ix, px), wrapi(iy, py), seed) * 6.2831853f;
  return std::cos(a) * dx + std::sin(a) * dy;
}

static float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

float noise(float x, float y, int px, int py, uint32_t seed) {
  int ix = (int)std::floor(x), iy = (int)std::floor(y);
  float fx = x - ix, fy = y - iy;
  float n00 = grad(ix, iy, px, py, seed, fx, fy);
  float n10 = grad(ix + 1, iy, px, py, seed, fx - 1, fy);
  float n01 = grad(ix, iy + 1, px, py, seed, fx, fy - 1);
  float n11 = grad(ix + 1, iy + 1, px, py, seed, fx - 1, fy - 1);
  float u = fade(fx), v = fade(fy);
  return 1.41f * mixf(mixf(n00, n10, u), mixf(n01, n11, u), v);
}

float fbm(float u, float v, int cx, int cy, int octaves, uint32_t seed, float gain) {
  float sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; o++) {
    sum += amp * noise(u * cx, v * cy, cx, cy, seed + (uint32_t)o * 101u);
    norm += amp;
    amp *= gain;
    cx *= 2;
    cy *= 2;
  }
  return sum / norm;
}

float ridged(float u, float v, int cx, int cy, int octaves, uint32_t seed) {
  float sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; o++) {
    float n = 1 - std::fabs(noise(u * cx, v * cy, cx, cy, seed + (uint32_t)o * 131u));
    sum += amp * n * n;
    norm += amp;
    amp *= 0.5f;
    cx *= 2;
    cy *= 2;
  }
  return sum / norm;
}

CellHit cells(float u, float v, int n, uint32_t seed) {
  float x = u * n, y = v * n;
  int ix = (int)std::floor(x), iy = (int)std::floor(y);
  CellHit best = {1e9f, 1e9f, 0};
  for (int dy = -1; dy <= 1; dy++)
    for (int dx = -1; dx <= 1; dx++) {
      int cx = ix + dx, cy = iy + dy;
      int wx = wrapi(cx, n), wy = wrapi(cy, n);
      float fx = cx + hashf(wx, wy, seed);
      float fy = cy + hashf(wx, wy, seed ^ 0x5bd1e995u);
      float d = std::sqrt((fx - x) * (fx - x) + (fy - y) * (fy - y));
      if (d < best.f1) {
        best.f2 = best.f1;
        best.f1 = d;
        best.id = hash3(wx, wy, seed ^ 0x1234567u);
      } else if (d < best.f2) {
        best.f2 = d;
      }
    }
  return best;
}

float clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }

float mixf(float a, float b, float t) { return a + (b - a) * t; }

float smoothstep(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

Rgba mix(Rgba a, Rgba b, float t) {
  return {mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t), mixf(a.a, b.a, t)};
}

Rgba scale(Rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

Rgba add(Rgba c, Rgba d) { return {c.r + d.r, c.g + d.g, c.b + d.b, c.a}; }

Rgba rgb(float r, float g, float b, float a) { return {r, g, b, a}; }

float sd_box(float x, float y, float cx, float cy, float hx, float hy, float radius) {
  float qx = std::fabs(x - cx) - hx + radius, qy = std::fabs(y - cy) - hy + radius;
  float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sd_circle(float x, float y, float cx, float cy, float r) {
  return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r;
}

float sd_ellipse(float x, float y, float cx, float cy, float rx, float ry) {
  // Distance in the stretched space scaled back by the smaller radius: close
  // enough for soft edges of round shapes.
  float dx = (x - cx) / rx, dy = (y - cy) / ry;
  return (std::sqrt(dx * dx + dy * dy) - 1) * std::min(rx, ry);
}

float sd_segment(float x, float y, float ax, float ay, float bx, float by) {
  float pax = x - ax, pay = y - ay, bax = bx - ax, bay = by - ay;
  float t = clamp01((pax * bax + pay * bay) / (bax * bax + bay * bay));
  float dx = pax - bax * t, dy = pay - bay * t;
  return std::sqrt(dx * dx + dy * dy);
}

float sd_star(float x, float y, float cx, float cy, float r, float inner, int points, float turn) {
  float dx = x - cx, dy = y - cy;
  float a = std::atan2(dy, dx) - turn;
  float seg = 6.2831853f / points;
  a = std::fmod(a, seg);
  if (a < 0) a += seg;
  if (a > seg / 2) a = seg - a;
  float d = std::sqrt(dx * dx + dy * dy);
  float px = d * std::cos(a), py = d * std::sin(a);
  // The edge from the tip (r, 0) to the inner corner at half a segment.
  float ix = inner * std::cos(seg / 2), iy = inner * std::sin(seg / 2);
  float dist = sd_segment(px, py, r, 0, ix, iy);
  // Inside when on the origin's side of the edge.
  float ex = ix - r, ey = iy;
  float side = ex * (py - 0) - ey * (px - r);
  return side > 0 ? -dist : dist;
}

float smin(float a, float b, float k) {
  float h = clamp01(0.5f + 0.5f * (b - a) / k);
  return mixf(b, a, h) - k * h * (1 - h);
}

Lit light_height(const Field &h, int x, int y, float strength, bool wrap, float shininess) {
  float l, r, u, d;
  if (wrap) {
    l = h.wrap(x - 1, y);
    r = h.wrap(x + 1, y);
    u = h.wrap(x, y - 1);
    d = h.wrap(x, y + 1);
  } else {
    l = h.clamp(x - 1, y);
    r = h.clamp(x + 1, y);
    u = h.clamp(x, y - 1);
    d = h.clamp(x, y + 1);
  }
  float nx = -(r - l) * 0.5f * strength, ny = -(d - u) * 0.5f * strength, nz = 1;
  float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
  nx /= nl;
  ny /= nl;
  nz /= nl;
  // Towards the light: up-left and out of the picture.
  const float lx = -0.48f, ly = -0.56f, lz = 0.675f;
  float dot = nx * lx + ny * ly + nz * lz;
  float diffuse = std::max(0.0f, dot) / lz;
  // Half vector between the light and the viewer straight in front.
  float hx = lx, hy = ly, hz = lz + 1;
  float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  float sp = std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl);
  return {diffuse, std::pow(sp, shininess)};
}

Rgba shade(Rgba albedo, Lit l, float ambient, float glint_amount, Rgba glint_col) {
  float k = ambient + (1 - ambient) * l.diffuse;
  float g = l.glint * glint_amount;
  return {albedo.r * k + glint_col.r * g, albedo.g * k + glint_col.g * g, albedo.b * k + glint_col.b * g, albedo.a};
}

static void box_pass(std::vector<float> &line, int radius, bool wrap) {
  int n = (int)line.size();
  std::vector<float> out(line.size());
  float inv = 1.0f / (2 * radius + 1);
  for (int i = 0; i < n; i++) {
    float s = 0;
    for (int k = -radius; k <= radius; k++) {
      int j = i + k;
      if (wrap)
        j = wrapi(j, n);
      else
        j = std::max(0, std::min(n - 1, j));
      s += line[(size_t)j];
    }
    out[(size_t)i] = s * inv;
  }
  line.swap(out);
}

void blur(Field &f, int radius, bool wrap) {
  if (radius <= 0) return;
  std::vector<float> line;
  for (int pass = 0; pass < 3; pass++) {
    line.resize((size_t)f.w);
    for (int y = 0; y < f.h; y++) {
      for (int x = 0; x < f.w; x++) line[(size_t)x] = f.at(x, y);
      box_pass(line, radius, wrap);
      for (int x = 0; x < f.w; x++) f.at(x, y) = line[(size_t)x];
    }
    line.resize((size_t)f.h);
    for (int x = 0; x < f.w; x++) {
      for (int y = 0; y < f.h; y++) line[(size_t)y] = f.at(x, y);
      box_pass(line, radius, wrap);
      for (int y = 0; y < f.h; y++) f.at(x, y) = line[(size_t)y];
    }
  }
}

Image downsample(const Image &src, int factor) {
  Image out(src.w / factor, src.h / factor);
  float inv = 1.0f / (float)(factor * factor);
  for (int y = 0; y < out.h; y++)
    for (int x = 0; x < out.w; x++) {
      // Colour weighted by alpha, so transparent pixels do not darken edges.
      float r = 0, g = 0, b = 0, a = 0;
      for (int j = 0; j < factor; j++)
        for (int i = 0; i < factor; i++) {
          const Rgba &p = src.at(x * factor + i, y * factor + j);
          r += p.r * p.a;
          g += p.g * p.a;
          b += p.b * p.a;
          a += p.a;
        }
      out.at(x, y) = a > 0 ? Rgba{r / a, g / a, b / a, a * inv} : Rgba{0, 0, 0, 0};
    }
  return out;
}
