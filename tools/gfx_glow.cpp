// The pictures drawn with additive blending: black adds nothing, so their
// edges are black and their brightness is kept modest.
#include "gfx_pictures.h"

#include <algorithm>
#include <cmath>

namespace {

const int S = 256;
const float PI = 3.14159265f;

float cover(float sd, float aa) { return clamp01(0.5f - sd / aa); }

// Zero on the outermost `margin` pixels, rising smoothly to one inside.
float window(float fx, float fy, float margin, float soft_x, float soft_y) {
  float wx = smoothstep(margin, margin + soft_x, std::min(fx, S - fx));
  float wy = smoothstep(margin, margin + soft_y, std::min(fy, S - fy));
  return wx * wy;
}

// The light fan over the well, 0..1: a cone from above the top centre with
// soft rays, a glow in the middle, and dust in the beam.
Field light_fan() {
  Field f(S, S);
  Rng rng(601);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float fx = x + 0.5f, fy = y + 0.5f;
      // The face is about 2.5 times taller than wide: work in its proportions.
      float wx = (fx / S - 0.5f) * 1.0f, wy = fy / S * 2.5f;
      float sy = wy + 0.5f;
      float ang = std::atan2(wx, sy);
      float cone = smoothstep(0.42f, 0.12f, std::fabs(ang));
      float rays = 0.75f + 0.25f * noise(ang * 24, 0.5f, 64, 4, 602) + 0.1f * std::cos(ang * 40);
      // Bright where it enters at the top, fading fast: the middle of the
      // well, where text is drawn, gets only a little of it.
      float fall = std::exp(-wy * 1.3f);
      float core = std::exp(-(wx * wx) / 0.05f - (wy - 0.3f) * (wy - 0.3f) / 0.12f);
      f.at(x, y) = cone * rays * fall * 0.85f + 0.35f * core;
    }
  // Dust motes caught in the beam.
  for (int i = 0; i < 160; i++) {
    float mx = rng.range(20, S - 20), my = rng.range(10, S - 20), b = rng.range(0.08f, 0.3f);
    for (int y = (int)my - 3; y <= (int)my + 3; y++)
      for (int x = (int)mx - 3; x <= (int)mx + 3; x++) {
        float d2 = (x + 0.5f - mx) * (x + 0.5f - mx) + (y + 0.5f - my) * (y + 0.5f - my);
        f.at(x, y) += b * f.at(x, y) * std::exp(-d2 / 1.5f);
      }
  }
  float peak = 0;
  for (float v : f.v) peak = std::max(peak, v);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) f.at(x, y) = f.at(x, y) / peak * window(x + 0.5f, y + 0.5f, 3, 40, 24);
  return f;
}

Image tint_glow(const Field &f, Rgba col, float peak) {
  return paint(S, S, [&](int x, int y) {
    float k = f.at(x, y) * peak;
    Rgba c = scale(col, k);
    c.a = 1; // drawn with (one, one): alpha plays no part
    return c;
  });
}

// A ring band: diagonal stripes running round the cylinder, bright rims at
// the top and bottom. `across` stripes, slanted by `slant` whole stripes over
// the height so the band tiles both ways.
Image ring_band(int across, int slant, Rgba c1, Rgba c2, Rgba rim, bool diamonds, uint32_t seed) {
  return paint(S, S, [&](int x, int y) {
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    float s = u * across + v * slant;
    int idx = (int)std::floor(s);
    float p = s - idx;
    float stripe = smoothstep(0.0f, 0.07f, p) * (1 - smoothstep(0.43f, 0.5f, p));
    Rgba c = (((idx % 2) + 2) % 2 == 0) ? c1 : c2;
    float shimmer = 0.85f + 0.15f * fbm(u, v, 8, 4, 3, seed);
    float band = 0.6f + 0.4f * std::sin(PI * v); // brighter round the middle
    float rims = smoothstep(0.12f, 0.03f, v) + smoothstep(0.88f, 0.97f, v);
    Rgba o = scale(c, stripe * band * shimmer);
    float alpha = 0.18f + 0.72f * stripe;
    if (diamonds) {
      // A small diamond in the middle of each gap.
      float gp = p - 0.75f;
      float dd = std::fabs(gp) * 4 + std::fabs(v - 0.5f) * 4.5f;
      float dm = smoothstep(1.0f, 0.8f, dd);
      o = add(o, scale(rim, dm * 0.9f));
      alpha = std::max(alpha, dm * 0.9f);
    }
    // Fine scan lines along the band.
    o = scale(o, 0.9f + 0.1f * std::cos(v * PI * 32));
    o = add(o, scale(rim, rims));
    o.r = std::min(o.r, 1.0f);
    o.g = std::min(o.g, 1.0f);
    o.b = std::min(o.b, 1.0f);
    o.a = std::max(alpha, clamp01(rims));
    return o;
  });
}

} // namespace

Image make_lightmap() { return tint_glow(light_fan(), rgb(1.0f, 0.94f, 0.82f), 0.3f); }

Image make_alarm() { return tint_glow(light_fan(), rgb(1.0f, 0.12f, 0.05f), 0.4f); }

Image make_skill() {
  return ring_band(12, 1, rgb(0.3f, 1.0f, 0.4f), rgb(0.2f, 0.85f, 1.0f), rgb(0.7f, 1.0f, 0.8f), false, 701);
}

Image make_bonuses() {
  return ring_band(10, -1, rgb(1.0f, 0.78f, 0.2f), rgb(1.0f, 0.2f, 0.8f), rgb(1.0f, 0.9f, 0.5f), true, 702);
}

Image make_skull() {
  // Built in the face's own proportions (about 1.27 wide to 1 high), y down.
  const float aspect = 1.27f;
  const float aa = 2.0f / S; // antialiasing width in face units
  auto skull_sd = [&](float X, float Y) {
    float d = sd_circle(X, Y, 0, -0.22f, 0.64f);
    d = smin(d, sd_ellipse(X, Y, 0, 0.2f, 0.54f, 0.3f), 0.12f);
    d = smin(d, sd_box(X, Y, 0, 0.44f, 0.32f, 0.16f, 0.1f), 0.08f);
    d = smin(d, sd_box(X, Y, 0, 0.7f, 0.29f, 0.12f, 0.1f), 0.04f);
    // Pinched temples.
    float t = std::min(sd_ellipse(X, Y, -0.66f, 0.2f, 0.14f, 0.2f), sd_ellipse(X, Y, 0.66f, 0.2f, 0.14f, 0.2f));
    return std::max(d, -t);
  };
  auto holes_sd = [&](float X, float Y) {
    float eyes = std::min(sd_ellipse(X, Y, -0.25f, 0.08f, 0.17f, 0.15f), sd_ellipse(X, Y, 0.25f, 0.08f, 0.17f, 0.15f));
    float nose = smin(sd_ellipse(X, Y, -0.045f, 0.31f, 0.05f, 0.09f), sd_ellipse(X, Y, 0.045f, 0.31f, 0.05f, 0.09f), 0.02f);
    return std::min(eyes, nose);
  };
  auto teeth_sd = [&](float X, float Y) {
    if (Y < 0.5f || Y > 0.72f || std::fabs(X) > 0.27f) return 1.0f;
    float gap = std::fabs(std::fmod(X + 10.0375f, 0.075f) - 0.0375f);
    float vertical = 0.0375f - gap - 0.008f; // negative near a gap between teeth
    float mouth = std::fabs(Y - 0.6f) - 0.012f;
    return std::min(vertical, mouth);
  };
  // A crack from the crown towards the right eye.
  Rng rng(801);
  float cx[9], cy[9];
  for (int i = 0; i < 9; i++) {
    cx[i] = 0.12f + 0.02f * i + rng.range(-0.04f, 0.04f);
    cy[i] = -0.84f + 0.1f * i;
  }
  Field h(S, S), mask(S, S), hole(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float X = ((x + 0.5f) / S - 0.5f) * 2 * aspect, Y = ((y + 0.5f) / S - 0.5f) * 2;
      float d = skull_sd(X, Y);
      float hd = std::min(holes_sd(X, Y), teeth_sd(X, Y));
      float crack = 1e9f;
      for (int i = 0; i < 8; i++) crack = std::min(crack, sd_segment(X, Y, cx[i], cy[i], cx[i + 1], cy[i + 1]));
      crack -= 0.006f;
      float m = cover(d, aa);
      float ho = std::max(cover(hd, aa), cover(crack, aa) * smoothstep(0.02f, 0.06f, -d));
      // Domed bone, sinking into the holes.
      float t = clamp01(-d / 0.6f);
      float dome = 1 - (1 - t) * (1 - t);
      h.at(x, y) = m * (dome - 0.6f * clamp01(-hd / 0.08f) * (hd < 0));
      mask.at(x, y) = m;
      hole.at(x, y) = ho;
    }
  return paint(S, S, [&](int x, int y) {
    float m = mask.at(x, y);
    if (m <= 0) return Rgba{0, 0, 0, 1};
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    float X = (u - 0.5f) * 2 * aspect, Y = (v - 0.5f) * 2;
    Lit l = light_height(h, x, y, 60, false, 20);
    Rgba bone = scale(rgb(0.92f, 0.89f, 0.8f), 0.9f + 0.1f * fbm(u, v, 16, 16, 4, 802));
    Rgba c = scale(bone, 0.3f + 0.7f * std::min(1.3f, l.diffuse));
    c = add(c, scale(rgb(1, 1, 0.95f), 0.25f * l.glint));
    // The holes are near black, with an ember in each eye.
    float ember = std::exp(-((std::fabs(X) - 0.25f) * (std::fabs(X) - 0.25f) + (Y - 0.1f) * (Y - 0.1f)) / 0.004f);
    Rgba dark = add(rgb(0.03f, 0.02f, 0.02f), scale(rgb(0.9f, 0.12f, 0.04f), 0.7f * ember));
    c = mix(c, dark, hole.at(x, y));
    c = scale(c, m);
    c.r = std::min(c.r, 1.0f);
    c.g = std::min(c.g, 1.0f);
    c.b = std::min(c.b, 1.0f);
    c.a = 1;
    return c;
  });
}

Image make_shine() {
  // A sphere map: each pixel is the reflection, on a mirror ball, of a dim
  // room with a bright window and a lamp.
  return paint(S, S, [&](int x, int y) {
    float px = (x + 0.5f) / (S / 2) - 1, py = 1 - (y + 0.5f) / (S / 2);
    float r2 = px * px + py * py;
    if (r2 > 0.998f) {
      float k = std::sqrt(0.998f / r2);
      px *= k;
      py *= k;
      r2 = 0.998f;
    }
    float nz = std::sqrt(1 - r2);
    float rx = 2 * nz * px, ry = 2 * nz * py, rz = 2 * nz * nz - 1;
    float el = std::asin(std::max(-1.0f, std::min(1.0f, ry)));
    float az = std::atan2(rx, rz);
    // Ceiling to floor: cool grey above, a pale horizon, warm dark below.
    Rgba c;
    if (el > 0)
      c = mix(rgb(0.22f, 0.25f, 0.3f), rgb(0.1f, 0.12f, 0.17f), smoothstep(0.0f, 1.2f, el));
    else
      c = mix(rgb(0.2f, 0.18f, 0.16f), rgb(0.05f, 0.04f, 0.035f), smoothstep(0.0f, 0.8f, -el));
    c = add(c, scale(rgb(0.4f, 0.42f, 0.45f), std::exp(-el * el / 0.01f) * 0.35f));
    // A window with four panes.
    float wx = az + 0.7f, wy = el - 0.35f;
    float win = smoothstep(0.3f, 0.25f, std::fabs(wx)) * smoothstep(0.28f, 0.23f, std::fabs(wy));
    float mull = std::max(smoothstep(0.025f, 0.012f, std::fabs(wx)), smoothstep(0.025f, 0.012f, std::fabs(wy)));
    c = add(c, scale(rgb(0.75f, 0.82f, 0.95f), win * (1 - 0.8f * mull) * (0.55f + 0.2f * (wy + 0.25f))));
    // A lamp's soft hot spot and a broad sheen around it.
    float lx = az - 0.9f, ly = el - 0.55f;
    float lamp = std::exp(-(lx * lx + ly * ly) / 0.006f) * 0.7f + std::exp(-(lx * lx + ly * ly) / 0.15f) * 0.18f;
    c = add(c, scale(rgb(1.0f, 0.92f, 0.78f), lamp));
    // Darker towards the rim of the ball; a faint reflection overall, so the
    // glass stays a dark pane that the text reads over.
    c = scale(c, (0.75f + 0.25f * nz) * 0.6f);
    c.r = std::min(c.r, 1.0f);
    c.g = std::min(c.g, 1.0f);
    c.b = std::min(c.b, 1.0f);
    c.a = 1;
    return c;
  });
}
