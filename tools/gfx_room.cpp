// The room: stone walls, the well's wooden walls and floor, the marble
// columns, the desk and the lit control panel.
#include "gfx_pictures.h"

#include <algorithm>
#include <cmath>

namespace {

float cover(float sd) { return clamp01(0.5f - sd); }

// Wood tone along a grain coordinate g (one growth ring per unit): light
// early wood darkening into a narrow late-wood band.
float ring_tone(float g) {
  float r = g - std::floor(g);
  float t = std::pow(r, 3.0f) * 0.8f + 0.2f * smoothstep(0.8f, 0.95f, r);
  return t * (1 - smoothstep(0.93f, 1.0f, r));
}

} // namespace

Image make_background() {
  // Ashlar wall: eight courses of varied height adding up to the picture
  // height, each split into blocks of varied length that add up to the
  // width, so it tiles both ways.
  const int W = 512, rows = 8;
  const int course[rows] = {72, 56, 64, 80, 48, 64, 72, 56};
  int course_top[rows + 1] = {0};
  for (int r = 0; r < rows; r++) course_top[r + 1] = course_top[r] + course[r];
  std::vector<std::vector<int>> starts((size_t)rows);
  std::vector<int> shift((size_t)rows);
  Rng rng(101);
  for (int r = 0; r < rows; r++) {
    int x = 0;
    while (x < W) {
      starts[(size_t)r].push_back(x);
      int len = 96 + 16 * rng.below(5);
      if (W - (x + len) < 80) len = W - x;
      x += len;
    }
    shift[(size_t)r] = rng.below(W);
  }
  struct Block {
    float bx, by, len, height;
    uint32_t id;
  };
  auto block_at = [&](int x, int y) {
    int r = 0;
    while (r + 1 < rows && course_top[r + 1] <= y) r++;
    int xs = (x + shift[(size_t)r]) % W;
    const std::vector<int> &st = starts[(size_t)r];
    size_t k = 0;
    while (k + 1 < st.size() && st[k + 1] <= xs) k++;
    int end = k + 1 < st.size() ? st[k + 1] : W;
    return Block{(float)(xs - st[k]) + 0.5f, (float)(y - course_top[r]) + 0.5f, (float)(end - st[k]),
                 (float)course[r], (uint32_t)(r * 64 + (int)k)};
  };
  Field h(W, W);
  for (int y = 0; y < W; y++)
    for (int x = 0; x < W; x++) {
      Block b = block_at(x, y);
      float u = (x + 0.5f) / W, v = (y + 0.5f) / W;
      float d = std::min(std::min(b.bx, b.len - b.bx), std::min(b.by, b.height - b.by));
      d += 4.0f * fbm(u, v, 16, 16, 4, 102);
      float stone = smoothstep(2.0f, 14.0f, d);
      // Each block bulges unevenly, is pitted, and chipped along its edges.
      float face = 0.85f + 0.15f * fbm(u, v, 6, 6, 3, 103 + b.id);
      float pits = 0.06f * fbm(u, v, 48, 48, 3, 104) + 0.03f * fbm(u, v, 128, 128, 1, 105);
      float chips = 0.3f * smoothstep(0.25f, 0.5f, fbm(u, v, 12, 12, 3, 113)) * (1 - smoothstep(6, 18, d));
      h.at(x, y) = stone * (face - chips) + pits * stone + 0.03f * fbm(u, v, 128, 128, 1, 106);
    }
  return paint(W, W, [&](int x, int y) {
    Block b = block_at(x, y);
    float u = (x + 0.5f) / W, v = (y + 0.5f) / W;
    float hh = h.at(x, y);
    float stone = smoothstep(0.25f, 0.6f, hh);
    float t1 = hashf((int)b.id, 7, 107), t2 = hashf((int)b.id, 9, 108);
    // Dark stone with dark joints: a calm ground for the status lines.
    Rgba base = mix(rgb(0.17f, 0.165f, 0.16f), rgb(0.22f, 0.205f, 0.185f), t1);
    base = mix(base, rgb(0.16f, 0.17f, 0.2f), 0.5f * t2); // some cooler, bluer stones
    CellHit grain = cells(u, v, 96, 109);
    float g = 0.92f + 0.16f * clamp01(grain.f2 - grain.f1) + 0.08f * fbm(u, v, 32, 32, 4, 110);
    // Damp stains creeping over the wall.
    float damp = smoothstep(0.1f, 0.6f, fbm(u, v, 3, 3, 5, 111));
    Rgba c = scale(base, g * (1 - 0.35f * damp));
    Rgba mortar = scale(rgb(0.1f, 0.095f, 0.09f), 1 + 0.2f * fbm(u, v, 64, 64, 2, 112));
    c = mix(mortar, c, stone);
    Lit l = light_height(h, x, y, 7, true, 10);
    Rgba o = shade(c, l, 0.35f, 0.06f, rgb(0.9f, 0.9f, 1.0f));
    o.a = 1;
    return o;
  });
}

Image make_wood1() {
  const int S = 256;
  return paint(S, S, [&](int x, int y) {
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    // Rings run up the picture: twenty across, gently bent by slow noise.
    float g = u * 20 + 1.6f * fbm(u, v, 3, 1, 3, 201) + 0.15f * fbm(u, v, 12, 2, 2, 202);
    float tone = ring_tone(g);
    // Dark walnut, so the well's sides and the combo ring stay quiet behind
    // the score lines.
    Rgba c = mix(rgb(0.50f, 0.34f, 0.19f), rgb(0.30f, 0.17f, 0.08f), 0.85f * tone);
    // Broad streaks of lighter and darker wood along the board.
    c = scale(c, 1 + 0.12f * fbm(u, v, 5, 1, 3, 211));
    // Fibres and pores stretched along the grain.
    float fibre = 0.06f * fbm(u, v, 128, 4, 2, 203);
    float pore = smoothstep(0.45f, 0.7f, noise(u * 192, v * 12, 192, 12, 204)) * 0.15f;
    c = scale(c, 1 + fibre - pore);
    c.a = 1;
    return c;
  });
}

Image make_wood2() {
  // Two boards across the picture, grain running left to right; each board
  // has one butt joint, so it continues across the horizontal repeat.
  const int S = 256, ph = 128;
  const int joint[2] = {70, 190};
  Field h(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      int p = y / ph;
      float ly = (y % ph) + 0.5f;
      float dj = std::fabs((x + 0.5f) - joint[p]);
      float d = std::min(std::min(ly, ph - ly), dj);
      h.at(x, y) = smoothstep(0.5f, 3.5f, d);
    }
  return paint(S, S, [&](int x, int y) {
    int p = y / ph;
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    // Position along the board, from its joint; the grain is a function of it
    // that does not repeat over one board, so it breaks only at the joint.
    float b = (float)((x - joint[p] + S) % S) / S;
    float g = v * 28 + 0.8f * b + 1.8f * fbm(b * 0.5f + 0.25f * p, v, 1, 3, 3, 206) +
              0.15f * fbm(b * 0.5f, v, 2, 12, 2, 207);
    float tone = ring_tone(g);
    Rgba c = mix(rgb(0.58f, 0.34f, 0.18f), rgb(0.31f, 0.16f, 0.07f), 0.85f * tone);
    c = scale(c, 1 + 0.12f * fbm(b * 0.5f, v, 1, 5, 3, 212));
    c = scale(c, 0.92f + 0.16f * hashf(p, 3, 208));
    float fibre = 0.06f * fbm(u, v, 4, 128, 2, 209);
    float pore = smoothstep(0.45f, 0.7f, noise(u * 12, v * 192, 12, 192, 210)) * 0.15f;
    c = scale(c, 1 + fibre - pore);
    Lit l = light_height(h, x, y, 10, true, 30);
    Rgba o = shade(c, l, 0.3f, 0.18f, rgb(1, 0.95f, 0.85f));
    o.a = 1;
    return o;
  });
}

Image make_column() {
  const int S = 256, flutes = 8;
  Field h(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float p = (x + 0.5f) / S * flutes;
      p -= std::floor(p);
      // Concave flutes with narrow flat fillets between them.
      float q = clamp01((p - 0.1f) / 0.8f);
      float hh = -std::sin(3.14159265f * q) * 0.6f;
      float fy = y + 0.5f;
      // Mouldings at both ends: a rounded torus and a groove.
      float ring = std::min(fy, S - fy);
      if (ring < 22) hh = 0.3f * std::sin(3.14159265f * clamp01((ring - 4) / 14)) - 0.2f * (ring < 4);
      h.at(x, y) = hh;
    }
  return paint(S, S, [&](int x, int y) {
    float u = (x + 0.5f) / S, v = (y + 0.5f) / S;
    float warp = 1.5f * fbm(u, v, 2, 2, 4, 301);
    float a = std::fabs(std::sin(3.14159265f * (u * 2 + v * 3 + warp)));
    float b = std::fabs(std::sin(3.14159265f * (u * 5 - v * 2 + 1.3f * fbm(u, v, 4, 4, 5, 302))));
    // Veins: a soft grey cloud around a sharp dark core.
    float vein = std::pow(1 - a, 14.0f), haze = std::pow(1 - a, 3.0f), fine = std::pow(1 - b, 30.0f);
    float cloud = fbm(u, v, 4, 4, 5, 303);
    // Dark green-grey marble with pale veins: it frames the well without
    // flaring under the score lines drawn over its ends.
    Rgba c = mix(rgb(0.25f, 0.27f, 0.26f), rgb(0.19f, 0.21f, 0.21f), clamp01(0.5f + cloud));
    c = mix(c, rgb(0.3f, 0.32f, 0.31f), 0.35f * haze);
    c = mix(c, rgb(0.42f, 0.44f, 0.42f), 0.5f * vein);
    c = mix(c, rgb(0.33f, 0.34f, 0.33f), 0.4f * fine);
    // The end mouldings are of a warmer, gilded stone.
    float fy = y + 0.5f;
    if (std::min(fy, S - fy) < 22) c = mix(c, rgb(0.42f, 0.34f, 0.2f), 0.6f);
    Lit l = light_height(h, x, y, 12, true, 40);
    Rgba o = shade(c, l, 0.4f, 0.12f, rgb(1, 1, 1));
    o.a = 1;
    return o;
  });
}

Image make_desk() {
  const int S = 256;
  const float border = 30;
  Field h(S, S);
  for (int y = 0; y < S; y++)
    for (int x = 0; x < S; x++) {
      float fx = x + 0.5f, fy = y + 0.5f;
      float d = std::min(std::min(fx, S - fx), std::min(fy, S - fy));
      // Rounded outer edge, the wood frame standing above the leather.
      float hh = 0.6f * clamp01(d / 6) + 0.4f * smoothstep(border + 2, border - 2, d);
      float dx = std::min(fx, S - fx), dy = std::min(fy, S - fy);
      // Mitre joints at the frame's corners.
      if (d < border && std::fabs(dx - dy) < 1.0f) hh -= 0.05f;
      if (d >= border) {
        float u = fx / S, v = fy / S;
        CellHit c = cells(u, v, 40, 401);
        hh -= 0.03f * smoothstep(0.15f, 0.0f, c.f2 - c.f1);
      }
      h.at(x, y) = hh;
    }
  return paint(S, S, [&](int x, int y) {
    float fx = x + 0.5f, fy = y + 0.5f;
    float u = fx / S, v = fy / S;
    float dx = std::min(fx, S - fx), dy = std::min(fy, S - fy);
    float d = std::min(dx, dy);
    Rgba c;
    float glint;
    if (d < border) {
      // Mahogany: grain along each frame side.
      bool across = dy < dx;
      float g = across ? v * 14 + 0.5f * fbm(u, v, 3, 2, 4, 402) : u * 14 + 0.5f * fbm(u, v, 2, 3, 4, 403);
      float tone = 0.5f * (0.5f + 0.5f * std::sin(g * 6.2831853f)) + 0.5f * ring_tone(g * 0.5f);
      c = mix(rgb(0.50f, 0.20f, 0.10f), rgb(0.26f, 0.08f, 0.04f), tone);
      float fibre = across ? fbm(u, v, 4, 128, 2, 404) : fbm(u, v, 128, 4, 2, 405);
      c = scale(c, 1 + 0.07f * fibre);
      glint = 0.45f;
    } else {
      // Leather: green, mottled, darker and worn towards the frame.
      float m = fbm(u, v, 6, 6, 5, 406);
      c = mix(rgb(0.12f, 0.32f, 0.19f), rgb(0.06f, 0.18f, 0.10f), clamp01(0.5f + m));
      c = scale(c, 1 - 0.3f * smoothstep(border + 24, border, d));
      // Gold tooling: a double line and small diamonds in the corners.
      float line1 = std::fabs(d - (border + 9)) - 1.1f;
      float line2 = std::fabs(d - (border + 14)) - 0.6f;
      float cx = std::min(fx, S - fx) - (border + 22), cy = std::min(fy, S - fy) - (border + 22);
      float diamond = (std::fabs(cx) + std::fabs(cy)) * 0.7071f - 5;
      float gold = std::max(std::max(cover(line1), cover(line2)), cover(diamond));
      Rgba gc = scale(rgb(0.86f, 0.68f, 0.3f), 0.9f + 0.2f * fbm(u, v, 32, 32, 2, 407));
      c = mix(c, gc, gold);
      glint = 0.12f + 0.6f * gold;
    }
    Lit l = light_height(h, x, y, 22, false, 30);
    Rgba o = shade(c, l, 0.3f, glint, rgb(1, 0.92f, 0.8f));
    o.a = 1;
    return o;
  });
}

Image make_lightpanel() {
  // The panel's face is three times wider than tall, so it is drawn on a
  // 768 x 256 canvas of square pixels and squeezed to 256 x 256 at the end.
  const int W = 768, H = 256;
  const int lamp_x[5] = {330, 390, 450, 510, 570};
  const Rgba lamp_c[5] = {rgb(1, 0.18f, 0.1f), rgb(1, 0.65f, 0.1f), rgb(0.3f, 1, 0.3f), rgb(0.2f, 0.8f, 1),
                          rgb(1, 0.18f, 0.1f)};
  const bool lamp_on[5] = {true, true, false, true, false};
  const int button_x[5] = {330, 390, 450, 510, 570};
  const Rgba button_c[5] = {rgb(0.85f, 0.15f, 0.1f), rgb(0.95f, 0.8f, 0.15f), rgb(0.2f, 0.7f, 0.25f),
                            rgb(0.15f, 0.35f, 0.85f), rgb(0.6f, 0.6f, 0.62f)};
  const float screws[4][2] = {{22, 22}, {746, 22}, {22, 234}, {746, 234}};
  const int meter_levels[3] = {7, 9, 5};

  Field h(W, H);
  Image albedo(W, H);
  Image glow(W, H, {0, 0, 0, 0});
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      float fx = x + 0.5f, fy = y + 0.5f;
      float u = fx / W, v = fy / H;
      float d = std::min(std::min(fx, W - fx), std::min(fy, H - fy));
      float hh = 0.5f * clamp01(d / 8) - 0.15f * smoothstep(12, 16, d);
      float brushed = 0.05f * fbm(u, v, 2, 128, 3, 501);
      Rgba c = scale(rgb(0.2f, 0.21f, 0.24f), 1 + brushed);
      Rgba e = {0, 0, 0, 0};

      // Screen: dark green glass with a grid and a glowing trace.
      float scr = sd_box(fx, fy, 150, 128, 112, 90, 10);
      if (scr < 4) hh -= 0.2f * smoothstep(4, -2, scr);
      if (scr < 0) {
        float gx = std::fabs(std::fmod(fx - 38, 22.0f) - 11), gy = std::fabs(std::fmod(fy - 38, 22.0f) - 11);
        float grid = std::max(smoothstep(10.2f, 11, gx), smoothstep(10.2f, 11, gy));
        c = mix(rgb(0.02f, 0.08f, 0.04f), rgb(0.08f, 0.3f, 0.12f), grid * 0.7f);
        float wave = 128 + 42 * std::sin((fx - 38) * 0.055f) * std::cos((fx - 38) * 0.017f);
        float tr = std::fabs(fy - wave);
        float trace = std::exp(-tr * tr / 6) + 0.35f * std::exp(-tr * tr / 120);
        e = add(e, scale(rgb(0.4f, 1, 0.5f), trace * 0.9f));
        e = add(e, scale(rgb(0.1f, 0.3f, 0.15f), 0.3f * grid));
        // Glass sheen, a diagonal band.
        float sheen = smoothstep(0.0f, 40.0f, fx - fy * 0.6f - 60) * smoothstep(120.0f, 60.0f, fx - fy * 0.6f - 60);
        e = add(e, scale(rgb(0.5f, 0.6f, 0.55f), 0.08f * sheen));
      }

      // Lamps: chrome bezels with lit or dark glass domes.
      for (int i = 0; i < 5; i++) {
        float rd = std::hypot(fx - lamp_x[i], fy - 78);
        if (rd < 26) {
          hh += 0.35f * smoothstep(26, 22, rd) - 0.1f * smoothstep(21, 19, rd);
          c = mix(c, rgb(0.7f, 0.72f, 0.75f), smoothstep(26, 24, rd));
        }
        if (rd < 19) {
          hh += 0.3f * std::sqrt(clamp01(1 - (rd / 19) * (rd / 19)));
          float k = lamp_on[i] ? 1.0f : 0.25f;
          c = scale(lamp_c[i], 0.4f * k);
          if (lamp_on[i]) e = add(e, add(scale(lamp_c[i], 0.9f), scale(rgb(1, 1, 1), 0.6f * std::exp(-rd * rd / 40))));
        }
        if (lamp_on[i] && rd >= 19 && rd < 48) e = add(e, scale(lamp_c[i], 0.35f * std::exp(-(rd - 19) / 7)));
      }

      // Push buttons: raised rounded squares in a recessed collar.
      for (int i = 0; i < 5; i++) {
        float sd = sd_box(fx, fy, button_x[i], 172, 20, 20, 6);
        if (sd < 5) hh -= 0.15f * smoothstep(5, 1, sd);
        if (sd < 0) {
          hh += 0.45f * clamp01(-sd / 6);
          c = scale(button_c[i], 0.95f + 0.1f * fbm(u, v, 32, 16, 2, 502));
        }
        float label = sd_box(fx, fy, button_x[i], 212, 14, 2, 1);
        c = mix(c, rgb(0.85f, 0.85f, 0.8f), cover(label));
      }

      // Three bar meters: ten segments each, lit from the bottom up.
      for (int m = 0; m < 3; m++) {
        float mx = 640 + m * 34;
        for (int s = 0; s < 10; s++) {
          float my = 206 - s * 17;
          float sd = sd_box(fx, fy, mx, my, 12, 6, 1.5f);
          if (sd < 0) {
            Rgba sc = s < 6 ? rgb(0.2f, 1, 0.3f) : (s < 8 ? rgb(1, 0.85f, 0.1f) : rgb(1, 0.2f, 0.1f));
            bool lit = s < meter_levels[m];
            c = scale(sc, lit ? 0.5f : 0.12f);
            if (lit) e = add(e, scale(sc, 0.75f));
            hh -= 0.05f;
          }
        }
        float frame = sd_box(fx, fy, mx, 130, 16, 88, 3);
        if (frame < 0 && frame > -3) hh += 0.1f;
      }

      // Screws in the corners, slotted.
      for (const auto &sp : screws) {
        float rd = std::hypot(fx - sp[0], fy - sp[1]);
        if (rd < 8) {
          hh += 0.25f * std::sqrt(1 - (rd / 8) * (rd / 8));
          c = rgb(0.55f, 0.56f, 0.58f);
          float slot = std::fabs((fx - sp[0]) * 0.7071f + (fy - sp[1]) * 0.7071f);
          if (slot < 1.2f) hh -= 0.2f;
        }
      }
      h.at(x, y) = hh;
      albedo.at(x, y) = c;
      glow.at(x, y) = e;
    }
  Image wide(W, H);
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      Lit l = light_height(h, x, y, 30, false, 40);
      Rgba o = shade(albedo.at(x, y), l, 0.35f, 0.5f, rgb(1, 1, 1));
      Rgba e = glow.at(x, y);
      wide.at(x, y) = {o.r + e.r, o.g + e.g, o.b + e.b, 1};
    }
  Image out(256, 256);
  for (int y = 0; y < 256; y++)
    for (int x = 0; x < 256; x++) {
      Rgba s = {0, 0, 0, 1};
      for (int k = 0; k < 3; k++) {
        const Rgba &p = wide.at(x * 3 + k, y);
        s.r += std::min(1.0f, p.r) / 3;
        s.g += std::min(1.0f, p.g) / 3;
        s.b += std::min(1.0f, p.b) / 3;
      }
      out.at(x, y) = s;
    }
  return out;
}
