// The bricks: one face of a cell box each, bevelled so that neighbouring
// cells read as separate boxes, plus the child set's toy blocks.
#include "gfx_pictures.h"

#include <algorithm>
#include <cmath>

namespace {

const int S = 256;

// Distance from the pixel centre to the nearest side of the picture.
float edge_dist(int x, int y, int w, int h) {
  float fx = x + 0.5f, fy = y + 0.5f;
  return std::min(std::min(fx, w - fx), std::min(fy, h - fy));
}

// Rounded rim rising from the edge over `width` pixels.
float rim(float d, float width) {
  float t = clamp01(d / width);
  return 1 - (1 - t) * (1 - t);
}

// Coverage of a shape from its signed distance, one pixel of antialiasing.
float cover(float sd) { return clamp01(0.5f - sd); }

// Distance to an arc of radius r around (cx, cy) between angles a0 and a1
// (radians, y down), with round ends.
float sd_arc(float x, float y, float cx, float cy, float r, float a0, float a1) {
  float a = std::atan2(y - cy, x - cx);
  if (a >= a0 && a <= a1) return std::fabs(std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r);
  float e0 = std::hypot(x - (cx + r * std::cos(a0)), y - (cy + r * std::sin(a0)));
  float e1 = std::hypot(x - (cx + r * std::cos(a1)), y - (cy + r * std::sin(a1)));
  return std::min(e0, e1);
}

} // namespace

Image make_brick1() {
  Field h(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float d = edge_dist(x, y, S, S);
      float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
      // Rounded outer rim, then a sunken inner panel.
      float hh = rim(d, 26) - 0.22f * smoothstep(42, 50, d);
      hh += 0.01f * fbm(u, v, 24, 24, 3, 11) + 0.003f * fbm(u, v, 96, 96, 2, 12);
      h.at(x, y) = hh;
    }
  const Rgba orange = rgb(1.0f, 0.56f, 0.14f), red = rgb(0.80f, 0.17f, 0.05f);
  return paint(S, S, [&](int x, int y) {
    float d = edge_dist(x, y, S, S);
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    float t = clamp01((u + v) * 0.5f + 0.18f * fbm(u, v, 3, 3, 3, 13));
    Rgba c = mix(orange, red, t);
    // The panel is a touch deeper in colour, its glaze mottled.
    float panel = smoothstep(44, 52, d);
    c = mix(c, mix(rgb(0.98f, 0.42f, 0.08f), rgb(0.72f, 0.12f, 0.04f), t), panel * 0.7f);
    float mottle = 1 + 0.07f * fbm(u, v, 8, 8, 4, 14);
    c = scale(c, mottle);
    Lit l = light_height(h, x, y, 34, false, 24);
    Rgba o = shade(c, l, 0.22f, 0.55f, rgb(1.0f, 0.9f, 0.75f));
    // A soft gloss across the upper left of the face.
    float gloss = 0.16f * std::exp(-((u - 0.3f) * (u - 0.3f) + (v - 0.28f) * (v - 0.28f)) / 0.03f) * panel;
    o = add(o, rgb(gloss, gloss * 0.85f, gloss * 0.6f));
    // A dark seam around the face separates neighbouring cells.
    float seam = smoothstep(1.0f, 3.5f, d);
    o = scale(o, 0.25f + 0.75f * seam);
    o.a = 1;
    return o;
  });
}

Image make_brick2() {
  const float rivets[4][2] = {{36, 36}, {220, 36}, {36, 220}, {220, 220}};
  Field h(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float d = edge_dist(x, y, S, S);
      float fx = x + 0.5f, fy = y + 0.5f;
      // Machined chamfer, an engraved square line, four domed rivets.
      float hh = clamp01(d / 18);
      float groove = std::fabs(d - 54);
      hh -= 0.10f * clamp01(1 - groove / 2.5f);
      for (const auto &r : rivets) {
        float rd = std::hypot(fx - r[0], fy - r[1]);
        if (rd < 9) hh += 0.35f * std::sqrt(1 - (rd / 9) * (rd / 9));
      }
      h.at(x, y) = hh;
    }
  const Rgba light = rgb(0.56f, 0.64f, 0.76f), dark = rgb(0.30f, 0.37f, 0.49f);
  return paint(S, S, [&](int x, int y) {
    float d = edge_dist(x, y, S, S);
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    Rgba c = mix(light, dark, clamp01((u + v) * 0.5f));
    // Brushed metal: fine horizontal streaks, a few darker scuffs.
    float streak = fbm(u, v, 2, 96, 3, 21) * 0.07f + fbm(u, v, 1, 256, 1, 22) * 0.04f;
    float scuff = smoothstep(0.35f, 0.6f, fbm(u, v, 5, 5, 4, 23)) * 0.08f;
    c = scale(c, 1 + streak - scuff);
    Lit l = light_height(h, x, y, 40, false, 40);
    Rgba o = shade(c, l, 0.3f, 0.7f, rgb(0.85f, 0.92f, 1.0f));
    float seam = smoothstep(1.0f, 3.0f, d);
    o = scale(o, 0.2f + 0.8f * seam);
    o.a = 1;
    return o;
  });
}

Image make_brick3() {
  Field h(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) h.at(x, y) = rim(edge_dist(x, y, S, S), 22);
  return paint(S, S, [&](int x, int y) {
    float d = edge_dist(x, y, S, S);
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    float r2 = (u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f);
    float core = std::exp(-r2 / 0.06f);
    float edge = 1 - smoothstep(2, 22, d);
    // Rippling energy lines running round the face.
    float ripple = 0.5f + 0.5f * std::cos(d * 0.35f + 2.0f * fbm(u, v, 4, 4, 3, 31));
    float spark = smoothstep(0.55f, 0.8f, fbm(u, v, 16, 16, 3, 32));
    Lit l = light_height(h, x, y, 30, false, 20);
    Rgba cyan = rgb(0.18f, 0.78f, 1.0f);
    Rgba c = scale(cyan, 0.55f + 0.35f * l.diffuse);
    c = add(c, scale(rgb(0.5f, 0.9f, 1.0f), 0.25f * edge + 0.12f * ripple * (1 - edge)));
    c = add(c, scale(rgb(0.9f, 1.0f, 1.0f), 0.55f * core + 0.25f * spark + 0.5f * l.glint));
    c.a = 0.5f + 0.2f * edge + 0.06f * core + 0.04f * spark;
    return c;
  });
}

Image make_brick4() {
  // Eight courses of 64 x 32 bricks, every other course shifted by half.
  const int bw = 64, bh = 32;
  Field h(S, S);
  std::vector<Rgba> tint((size_t)(S / bw) * (S / bh));
  Rng rng(41);
  // Dark fired clay in dark joints: the wall stays a brick wall but a calm,
  // dark ground for the text drawn over it.
  const Rgba clays[4] = {rgb(0.36f, 0.14f, 0.09f), rgb(0.40f, 0.17f, 0.11f), rgb(0.32f, 0.13f, 0.09f),
                         rgb(0.37f, 0.20f, 0.12f)};
  for (auto &t : tint) t = scale(clays[rng.below(4)], rng.range(0.85f, 1.1f));
  auto brick_of = [&](int x, int y, float &bx, float &by, int &id) {
    int row = y / bh;
    int shift = (row % 2) ? bw / 2 : 0;
    int xs = (x + shift) % S;
    bx = (float)(xs % bw) + 0.5f;
    by = (float)(y % bh) + 0.5f;
    id = row * (S / bw) + xs / bw;
  };
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float bx, by;
      int id;
      brick_of(x, y, bx, by, id);
      float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
      float d = std::min(std::min(bx, bw - bx), std::min(by, bh - by));
      // Chipped edges: the brick's outline wanders with noise.
      d += 1.6f * fbm(u, v, 32, 32, 3, 42);
      float brick = smoothstep(2.0f, 5.5f, d);
      float rough = 0.05f * fbm(u, v, 32, 32, 4, 43) + 0.03f * fbm(u, v, 128, 128, 1, 44);
      h.at(x, y) = 0.15f + 0.85f * brick + rough;
    }
  return paint(S, S, [&](int x, int y) {
    float bx, by;
    int id;
    brick_of(x, y, bx, by, id);
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    float hh = h.at(x, y);
    float brick = smoothstep(0.3f, 0.6f, hh);
    Rgba clay = tint[(size_t)id];
    // Burnt ends and soot specks on the clay.
    float burn = smoothstep(0.25f, 0.75f, std::fabs(bx / bw - 0.5f) * 2) * 0.12f;
    float speck = smoothstep(0.55f, 0.75f, fbm(u, v, 64, 64, 2, 45)) * 0.15f;
    clay = scale(clay, (1 - burn - speck) * (1 + 0.06f * fbm(u, v, 16, 16, 4, 46)));
    Rgba mortar = scale(rgb(0.085f, 0.075f, 0.07f), 1 + 0.1f * fbm(u, v, 64, 64, 3, 47));
    Rgba c = mix(mortar, clay, brick);
    Lit l = light_height(h, x, y, 8, true, 12);
    Rgba o = shade(c, l, 0.35f, 0.05f, rgb(1, 0.9f, 0.8f));
    o.a = 1;
    return o;
  });
}

Image make_childbrick1() {
  Field h(S, S);
  Field paintmask(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float fx = x + 0.5f, fy = y + 0.5f;
      float sd = sd_box(fx, fy, 128, 128, 122, 122, 44);
      float block = rim(-sd, 24) * cover(sd);
      // The face: two eyes and a wide smile, painted on slightly raised.
      float eyes = std::min(sd_ellipse(fx, fy, 92, 100, 14, 21), sd_ellipse(fx, fy, 164, 100, 14, 21));
      float smile = sd_arc(fx, fy, 128, 122, 62, 0.45f, 2.69f) - 7;
      float ink = std::max(cover(eyes), cover(smile));
      paintmask.at(x, y) = ink;
      h.at(x, y) = block + 0.04f * ink;
    }
  return paint(S, S, [&](int x, int y) {
    float fx = x + 0.5f, fy = y + 0.5f;
    float u = fx / S, v = fy / S;
    float sd = sd_box(fx, fy, 128, 128, 122, 122, 44);
    Rgba yellow = mix(rgb(1.0f, 0.9f, 0.25f), rgb(1.0f, 0.68f, 0.08f), clamp01((u + v) * 0.5f));
    yellow = scale(yellow, 1 + 0.03f * fbm(u, v, 8, 8, 3, 51));
    float cheeks = std::max(cover(sd_circle(fx, fy, 62, 150, 17) * 0.5f), cover(sd_circle(fx, fy, 194, 150, 17) * 0.5f));
    Rgba c = mix(yellow, rgb(1.0f, 0.5f, 0.45f), 0.55f * cheeks);
    c = mix(c, rgb(0.24f, 0.12f, 0.06f), paintmask.at(x, y));
    // Catchlights in the eyes.
    float glint = std::max(cover(sd_circle(fx, fy, 87, 91, 4.5f)), cover(sd_circle(fx, fy, 159, 91, 4.5f)));
    c = mix(c, rgb(1, 1, 1), glint);
    Lit l = light_height(h, x, y, 30, false, 30);
    Rgba o = shade(c, l, 0.35f, 0.6f, rgb(1, 1, 0.95f));
    float gloss = 0.18f * std::exp(-((u - 0.27f) * (u - 0.27f) + (v - 0.22f) * (v - 0.22f)) / 0.012f);
    o = add(o, rgb(gloss, gloss, gloss * 0.9f));
    // Between blocks: the darker gap.
    Rgba gap = rgb(0.45f, 0.27f, 0.04f);
    o = mix(gap, o, cover(sd));
    o.a = 1;
    return o;
  });
}

Image make_childbrick2() {
  const float studs[4][2] = {{80, 80}, {176, 80}, {80, 176}, {176, 176}};
  const float sr = 30;
  Field h(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float fx = x + 0.5f, fy = y + 0.5f;
      float sd = sd_box(fx, fy, 128, 128, 123, 123, 28);
      float hh = rim(-sd, 16) * cover(sd);
      for (const auto &s : studs) {
        float rd = std::hypot(fx - s[0], fy - s[1]);
        // Straight-sided stud with a softly rounded top edge.
        hh += 0.55f * smoothstep(sr + 1.5f, sr - 2.5f, rd) - 0.04f * smoothstep(sr - 8, sr - 14, rd);
      }
      h.at(x, y) = hh;
    }
  return paint(S, S, [&](int x, int y) {
    float fx = x + 0.5f, fy = y + 0.5f;
    float u = fx / S, v = fy / S;
    float sd = sd_box(fx, fy, 128, 128, 123, 123, 28);
    // Raspberry rather than candy pink: a stack of them stays bright against
    // the dark toy wall without glaring behind the text.
    Rgba pink = mix(rgb(0.84f, 0.36f, 0.58f), rgb(0.72f, 0.17f, 0.42f), clamp01((u + v) * 0.5f));
    pink = scale(pink, 1 + 0.03f * fbm(u, v, 8, 8, 3, 61));
    // Each stud throws a short shadow to the lower right.
    float shadow = 0;
    for (const auto &s : studs) {
      float on = smoothstep(sr + 1, sr - 1, std::hypot(fx - s[0], fy - s[1]));
      float sh = smoothstep(sr + 4, sr - 4, std::hypot(fx - s[0] - 7, fy - s[1] - 7));
      shadow = std::max(shadow, sh * (1 - on));
    }
    Rgba c = scale(pink, 1 - 0.35f * shadow);
    Lit l = light_height(h, x, y, 26, false, 30);
    Rgba o = shade(c, l, 0.35f, 0.65f, rgb(1, 1, 1));
    o = mix(rgb(0.42f, 0.08f, 0.22f), o, cover(sd));
    o.a = 1;
    return o;
  });
}

Image make_childbrick4() {
  // A 4 x 4 grid of painted tiles; colour by (i + 2j) mod 5 so no two
  // neighbours match, also across the repeat.
  // Deep toy colours rather than pastels: the wall still reads as painted
  // toy tiles, but dark enough for the text drawn over it.
  const Rgba paint5[5] = {rgb(0.06f, 0.20f, 0.16f), rgb(0.17f, 0.10f, 0.26f), rgb(0.24f, 0.12f, 0.07f),
                          rgb(0.06f, 0.14f, 0.27f), rgb(0.22f, 0.18f, 0.05f)};
  const int t = 64;
  Field h(S, S);
  Field mark(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      int i = x / t, j = y / t;
      float lx = (x % t) + 0.5f, ly = (y % t) + 0.5f;
      float sd = sd_box(lx, ly, 32, 32, 29, 29, 12);
      float symbol = ((i + j) % 2 == 0) ? sd_star(lx, ly, 32, 33, 17, 7.5f, 5, -1.5707963f)
                                        : std::fabs(sd_circle(lx, ly, 32, 32, 11)) - 3.5f;
      float m = cover(symbol);
      mark.at(x, y) = m;
      h.at(x, y) = rim(-sd, 10) * cover(sd) + 0.08f * m;
    }
  return paint(S, S, [&](int x, int y) {
    int i = x / t, j = y / t;
    float lx = (x % t) + 0.5f, ly = (y % t) + 0.5f;
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    float sd = sd_box(lx, ly, 32, 32, 29, 29, 12);
    Rgba c = paint5[(i + 2 * j) % 5];
    c = scale(c, 1 + 0.03f * fbm(u, v, 16, 16, 3, 71));
    Rgba dot = paint5[(i + 2 * j + 2) % 5];
    // Stars are a lighter shade of their tile; rings take a neighbour's colour.
    Rgba ink = ((i + j) % 2 == 0) ? scale(c, 1.3f) : scale(dot, 0.9f);
    c = mix(c, ink, mark.at(x, y));
    Lit l = light_height(h, x, y, 10, true, 24);
    Rgba o = shade(c, l, 0.45f, 0.12f, rgb(1, 1, 1));
    Rgba grout = rgb(0.05f, 0.045f, 0.06f);
    o = mix(grout, o, cover(sd));
    o.a = 1;
    return o;
  });
}
