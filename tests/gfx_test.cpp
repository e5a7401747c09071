// The generated pictures and font image: they load, suit the way the game
// blends them, tile where they are repeated, come out the same on every run,
// and the generator fails loudly when its inputs are missing.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char *const kPictures[] = {
    "background.png", "brick1.png",  "brick2.png",      "brick3.png",      "brick4.png",
    "childbrick1.png", "childbrick2.png", "childbrick4.png", "wood1.png", "wood2.png",
    "column.png",     "desk.png",    "alarm.png",       "lightmap.png",    "lightpanel.png",
    "skill.png",      "bonuses.png", "skull.png",       "shine.png",       "font.png",
    "brixel-icon.png"};

struct Pixels {
  int w = 0, h = 0;
  std::vector<unsigned char> rgba; // 4 bytes a pixel, rows from the top
  const unsigned char *at(int x, int y) const { return &rgba[((size_t)y * (size_t)w + (size_t)x) * 4]; }
  int r(int x, int y) const { return at(x, y)[0]; }
  int g(int x, int y) const { return at(x, y)[1]; }
  int b(int x, int y) const { return at(x, y)[2]; }
  int a(int x, int y) const { return at(x, y)[3]; }
  int maxrgb(int x, int y) const { return std::max(r(x, y), std::max(g(x, y), b(x, y))); }
};

std::string gfx_dir() { return std::string(BRIXEL_DATA_DIR) + "/gfx"; }

// Decodes with SDL_image, as the game does, into plain RGBA bytes.
bool load(const std::string &path, Pixels &out) {
  SDL_Surface *s = IMG_Load(path.c_str());
  if (!s) return false;
  out.w = s->w;
  out.h = s->h;
  out.rgba.assign((size_t)s->w * (size_t)s->h * 4, 0);
  SDL_LockSurface(s);
  int bpp = s->format->BytesPerPixel;
  for (int y = 0; y < s->h; y++)
    for (int x = 0; x < s->w; x++) {
      const Uint8 *p = (const Uint8 *)s->pixels + y * s->pitch + x * bpp;
      Uint32 v = 0;
      for (int i = 0; i < bpp; i++) v |= (Uint32)p[i] << (8 * i);
      if (SDL_BYTEORDER == SDL_BIG_ENDIAN && bpp > 1) {
        v = 0;
        for (int i = 0; i < bpp; i++) v = (v << 8) | p[i];
      }
      Uint8 r, g, b, a;
      SDL_GetRGBA(v, s->format, &r, &g, &b, &a);
      unsigned char *d = &out.rgba[((size_t)y * (size_t)s->w + (size_t)x) * 4];
      d[0] = r;
      d[1] = g;
      d[2] = b;
      d[3] = a;
    }
  SDL_UnlockSurface(s);
  SDL_FreeSurface(s);
  return true;
}

// A picture that does not load fails the test and reads as blank black,
// so the checks after it report instead of crashing.
Pixels picture(const std::string &name) {
  Pixels p;
  if (!load(gfx_dir() + "/" + name, p)) {
    ADD_FAILURE() << name << ": " << IMG_GetError();
    p.w = p.h = 512;
    p.rgba.assign((size_t)512 * 512 * 4, 0);
  }
  return p;
}

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

struct Mean {
  double r = 0, g = 0, b = 0, a = 0;
};

Mean mean_of(const Pixels &p) {
  Mean m;
  for (int y = 0; y < p.h; y++)
    for (int x = 0; x < p.w; x++) {
      m.r += p.r(x, y);
      m.g += p.g(x, y);
      m.b += p.b(x, y);
      m.a += p.a(x, y);
    }
  double n = (double)p.w * p.h;
  m.r /= n;
  m.g /= n;
  m.b /= n;
  m.a /= n;
  return m;
}

// Mean colour step between column x and column x + 1 (wrapping).
double column_step(const Pixels &p, int x) {
  double s = 0;
  int x2 = (x + 1) % p.w;
  for (int y = 0; y < p.h; y++)
    for (int c = 0; c < 3; c++) s += std::abs((int)p.at(x, y)[c] - (int)p.at(x2, y)[c]);
  return s / (3.0 * p.h);
}

double row_step(const Pixels &p, int y) {
  double s = 0;
  int y2 = (y + 1) % p.h;
  for (int x = 0; x < p.w; x++)
    for (int c = 0; c < 3; c++) s += std::abs((int)p.at(x, y)[c] - (int)p.at(x, y2)[c]);
  return s / (3.0 * p.w);
}

// The seam of a repeated picture must look like any other step inside it.
void expect_tiles(const Pixels &p, bool across, bool down, const char *name) {
  if (across) {
    double inner = 0;
    for (int x = 0; x < p.w - 1; x++) inner += column_step(p, x);
    inner /= p.w - 1;
    EXPECT_LT(column_step(p, p.w - 1), 2.5 * inner + 2) << name << " shows a seam left to right";
  }
  if (down) {
    double inner = 0;
    for (int y = 0; y < p.h - 1; y++) inner += row_step(p, y);
    inner /= p.h - 1;
    EXPECT_LT(row_step(p, p.h - 1), 2.5 * inner + 2) << name << " shows a seam top to bottom";
  }
}

std::string read_file(const fs::path &p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

fs::path make_temp_dir() {
  char tmpl[] = "/tmp/brixel-gfx-XXXXXX";
  char *d = mkdtemp(tmpl);
  EXPECT_NE(d, nullptr);
  return d ? fs::path(d) : fs::path();
}

// Runs the generator with the given arguments; returns its exit status and
// what it wrote on stderr.
int run_generator(const std::string &args, std::string &err_text) {
  fs::path errfile = make_temp_dir() / "stderr.txt";
  std::string cmd = std::string("'") + BRIXEL_GFXGEN + "' " + args + " 2>'" + errfile.string() + "'";
  int st = std::system(cmd.c_str());
  err_text = read_file(errfile);
  fs::remove_all(errfile.parent_path());
  if (st == -1 || !WIFEXITED(st)) return -1;
  return WEXITSTATUS(st);
}

int count_lines(const std::string &s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

} // namespace

TEST(Pictures, AllDecodeWithPowerOfTwoSides) {
  for (const char *name : kPictures) {
    Pixels p = picture(name);
    EXPECT_TRUE(power_of_two(p.w) && power_of_two(p.h)) << name << " is " << p.w << " x " << p.h;
    EXPECT_GE(p.w, 64) << name;
  }
  EXPECT_EQ(picture("font.png").w, 512);
  EXPECT_EQ(picture("font.png").h, 512);
  Pixels icon = picture("brixel-icon.png");
  EXPECT_TRUE(icon.w == icon.h && (icon.w == 64 || icon.w == 128));
}

TEST(Pictures, AlphaSuitsTheBlending) {
  // Solid boxes: every pixel opaque.
  for (const char *name : {"brick1.png", "brick2.png", "brick4.png", "childbrick1.png", "childbrick2.png",
                           "childbrick4.png", "background.png", "wood1.png", "wood2.png", "desk.png"}) {
    Pixels p = picture(name);
    int lowest = 255;
    for (int y = 0; y < p.h; y++)
      for (int x = 0; x < p.w; x++) lowest = std::min(lowest, p.a(x, y));
    EXPECT_EQ(lowest, 255) << name << " has see-through pixels";
  }
  // The single cell is see-through everywhere.
  Pixels b3 = picture("brick3.png");
  int amin = 255, amax = 0;
  for (int y = 0; y < b3.h; y++)
    for (int x = 0; x < b3.w; x++) {
      amin = std::min(amin, b3.a(x, y));
      amax = std::max(amax, b3.a(x, y));
    }
  EXPECT_GE(amin, 60);
  EXPECT_LE(amax, 220);
  EXPECT_LT(mean_of(b3).a, 200);

  // Additive pictures: black where nothing should show.
  Pixels skull = picture("skull.png");
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++)
      for (auto [cx, cy] : {std::pair<int, int>{x, y}, {skull.w - 1 - x, y}, {x, skull.h - 1 - y},
                            {skull.w - 1 - x, skull.h - 1 - y}})
        ASSERT_EQ(skull.maxrgb(cx, cy), 0) << "skull corner pixel " << cx << "," << cy;
  EXPECT_GT(skull.maxrgb(skull.w / 2, skull.h / 4), 150) << "the skull's crown is not light";

  for (const char *name : {"lightmap.png", "alarm.png"}) {
    Pixels p = picture(name);
    int edge = 0, peak = 0;
    for (int i = 0; i < p.w; i++) {
      edge = std::max({edge, p.maxrgb(i, 0), p.maxrgb(i, p.h - 1), p.maxrgb(0, i), p.maxrgb(p.w - 1, i)});
    }
    for (int y = 0; y < p.h; y++)
      for (int x = 0; x < p.w; x++) peak = std::max(peak, p.maxrgb(x, y));
    EXPECT_LE(edge, 2) << name << " is not dark at its edges";
    EXPECT_GT(peak, 60) << name << " gives no light";
    EXPECT_LT(peak, 160) << name << " would wash out the well";
  }
  Mean alarm = mean_of(picture("alarm.png"));
  EXPECT_GT(alarm.r, 3 * alarm.g) << "the alarm glow is not red";

  // Ring bands: bright stripes over nearly clear gaps.
  for (const char *name : {"skill.png", "bonuses.png"}) {
    Pixels p = picture(name);
    int lo = 255, hi = 0;
    for (int x = 0; x < p.w; x++) {
      lo = std::min(lo, p.a(x, p.h / 2));
      hi = std::max(hi, p.a(x, p.h / 2));
    }
    EXPECT_LT(lo, 100) << name;
    EXPECT_GT(hi, 200) << name;
  }
}

TEST(Pictures, BrickSetsDifferInHue) {
  Mean falling = mean_of(picture("brick1.png"));
  Mean stack = mean_of(picture("brick2.png"));
  Mean single = mean_of(picture("brick3.png"));
  EXPECT_GT(falling.r, 1.8 * falling.b) << "falling piece is not warm";
  EXPECT_GT(stack.b, 1.15 * stack.r) << "stack is not steel blue";
  EXPECT_GT(single.b, 1.5 * single.r) << "single cell is not cyan";
  EXPECT_GT(single.g, 1.5 * single.r) << "single cell is not cyan";
}

TEST(Pictures, RepeatedPicturesTile) {
  expect_tiles(picture("background.png"), true, true, "background");
  expect_tiles(picture("brick4.png"), true, true, "brick4");
  expect_tiles(picture("childbrick4.png"), true, true, "childbrick4");
  expect_tiles(picture("wood1.png"), true, true, "wood1");
  // The floor shows under a third of its height: it only repeats across.
  expect_tiles(picture("wood2.png"), true, false, "wood2");
  expect_tiles(picture("column.png"), true, false, "column");
  expect_tiles(picture("skill.png"), true, false, "skill");
  expect_tiles(picture("bonuses.png"), true, false, "bonuses");
}

TEST(Font, GridOfGlyphs) {
  Pixels f = picture("font.png");
  ASSERT_EQ(f.w, 512);
  ASSERT_EQ(f.h, 512);
  auto ink_in = [&](int cell, int x0, int y0, int x1, int y1) {
    int ox = (cell % 16) * 32, oy = (cell / 16) * 32, n = 0;
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++) n += f.a(ox + x, oy + y) > 0 || f.maxrgb(ox + x, oy + y) > 0;
    return n;
  };
  for (int set = 0; set < 2; set++)
    for (int ch = 33; ch <= 126; ch++) {
      int cell = ch - 32 + 128 * set;
      EXPECT_GT(ink_in(cell, 1, 1, 31, 31), 4) << "no ink for '" << (char)ch << "' in set " << set;
    }
  for (int cell = 0; cell < 256; cell++) {
    int row = cell / 16;
    if (row == 6 || row == 7 || row == 14 || row == 15) {
      EXPECT_EQ(ink_in(cell, 0, 0, 32, 32), 0) << "ink in unused cell " << cell;
    }
    int border = ink_in(cell, 0, 0, 32, 1) + ink_in(cell, 0, 31, 32, 32) + ink_in(cell, 0, 0, 1, 32) +
                 ink_in(cell, 31, 0, 32, 32);
    EXPECT_EQ(border, 0) << "ink on the border of cell " << cell;
  }
  EXPECT_EQ(ink_in(0, 0, 0, 32, 32), 0) << "the space is not blank";
  EXPECT_EQ(ink_in(128, 0, 0, 32, 32), 0) << "the space is not blank";

  // Legible size: capitals about three quarters of the cell, drawn upright
  // (the bar of 'T' at the top), and the display set is the heavier one.
  auto rows_of_ink = [&](int cell, int &top, int &bottom) {
    top = 32;
    bottom = -1;
    for (int y = 0; y < 32; y++)
      if (ink_in(cell, 0, y, 32, y + 1) > 0) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  };
  int top, bottom;
  rows_of_ink('H' - 32, top, bottom);
  EXPECT_GE(bottom - top + 1, 20);
  EXPECT_LE(bottom - top + 1, 30);
  rows_of_ink('T' - 32, top, bottom);
  EXPECT_GT(ink_in('T' - 32, 0, top, 32, top + 3), ink_in('T' - 32, 0, bottom - 2, 32, bottom + 1))
      << "'T' is upside down";
  long plain = 0, display = 0;
  for (int ch = 'A'; ch <= 'Z'; ch++) {
    int ox = ((ch - 32) % 16) * 32, oy = ((ch - 32) / 16) * 32;
    int dx = ((ch - 32 + 128) % 16) * 32, dy = ((ch - 32 + 128) / 16) * 32;
    for (int y = 0; y < 32; y++)
      for (int x = 0; x < 32; x++) {
        plain += f.a(ox + x, oy + y);
        display += f.a(dx + x, dy + y);
      }
  }
  EXPECT_GT(display, plain * 11 / 10);
  // Empty ground is black and clear, so additive text adds nothing there.
  for (int y = 0; y < f.h; y++)
    for (int x = 0; x < f.w; x++)
      if (f.a(x, y) == 0) {
        ASSERT_EQ(f.maxrgb(x, y), 0) << x << "," << y;
      }
}

TEST(Generator, SameBytesOnEveryRun) {
  fs::path d1 = make_temp_dir(), d2 = make_temp_dir();
  std::string err;
  ASSERT_EQ(run_generator("'" + d1.string() + "'", err), 0) << err;
  ASSERT_EQ(run_generator("'" + d2.string() + "'", err), 0) << err;
  for (const char *name : kPictures) {
    std::string a = read_file(d1 / name), b = read_file(d2 / name);
    EXPECT_FALSE(a.empty()) << name;
    EXPECT_TRUE(a == b) << name << " differs between runs";
  }
  for (const auto &e : fs::directory_iterator(d1))
    EXPECT_NE(e.path().extension(), ".tmp") << "left behind: " << e.path();
  fs::remove_all(d1);
  fs::remove_all(d2);
}

TEST(Generator, FailsLoudlyOnMissingInputs) {
  fs::path base = make_temp_dir();
  std::string err;
  std::string missing = (base / "no-such-folder").string();
  EXPECT_NE(run_generator("'" + missing + "'", err), 0);
  EXPECT_EQ(count_lines(err), 1) << err;
  EXPECT_NE(err.find("no-such-folder"), std::string::npos) << err;

  // A font folder without the fonts: nothing at all is written.
  fs::path out = base / "out", fonts = base / "fonts";
  fs::create_directory(out);
  fs::create_directory(fonts);
  EXPECT_NE(run_generator("'" + out.string() + "' '" + fonts.string() + "'", err), 0);
  EXPECT_EQ(count_lines(err), 1) << err;
  EXPECT_NE(err.find(".ttf"), std::string::npos) << err;
  EXPECT_TRUE(fs::is_empty(out));
  fs::remove_all(base);
}
