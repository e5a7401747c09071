// The ghost piece on the picture, read back from the real pass, for every
// shape turned every way in every look: with the ghost off the frame is that
// of a pass that never calls its drawing, pixel for pixel; with it on, it
// changes pixels only where its cells are, shows in each of them and not over
// the piece. The drawing's call is taken out by the linker (--wrap), so
// the pass itself is the game's own.
#include "harness.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>
#include <vector>

// The pass's call of the ghost's drawing (void rysuj_ducha()), by its linker
// name. Mesa's software rasterizer settles the fight of the glass bricks'
// coplanar faces by where its batches of drawing end: they end on both sides
// of the call, whether it draws or not, so that the frames compare.
static bool bez_rysowania_ducha = false;
extern "C" void __real__Z11rysuj_duchav();
extern "C" void __wrap__Z11rysuj_duchav() {
  glFinish();
  if (!bez_rysowania_ducha) __real__Z11rysuj_duchav();
  glFinish();
}

namespace {

using Stan = std::vector<std::pair<std::string, std::string>>;

// The frame of one pass from the game's state stan (camera included), the
// pass starting on an empty batch.
Obraz klatka(const Stan &stan, bool rysuje) {
  if (!przywroc_stan(stan, true)) return {};
  glFinish();
  bez_rysowania_ducha = !rysuje;
  widok_kamery();
  przebieg(nullptr);
  bez_rysowania_ducha = false;
  return obraz();
}

// The window rectangle (x0, y0, x1, y1) that the box with corners at xs,
// ys, zs covers.
std::vector<double> prostokat(std::initializer_list<double> xs, std::initializer_list<double> ys,
                              std::initializer_list<double> zs) {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (double x : xs)
    for (double y : ys)
      for (double z : zs) {
        double sx, sy;
        rzut(x, y, z, &sx, &sy);
        x0 = std::min(x0, sx);
        y0 = std::min(y0, sy);
        x1 = std::max(x1, sx);
        y1 = std::max(y1, sy);
      }
  return {x0, y0, x1, y1};
}

// The box of well cell (c, r); with `przod` only its front face.
std::vector<double> prostokat_komorki(int c, int r, bool przod = false) {
  return prostokat({-0.05 - 0.2 * c, -0.25 - 0.2 * c}, {0.8 - 0.2 * (r - 1), 0.6 - 0.2 * (r - 1)},
                   {-0.35, przod ? -0.35 : -0.15});
}

// Where the swinging preview of the next piece may be.
std::vector<double> prostokat_podgladu() { return prostokat({-3.7, -2.1}, {-0.5, 1.2}, {-1.0, 0.6}); }

// Whether pixel (x, y) lies in one of the rectangles, give or take 3 pixels.
bool w_prostokatach(const std::vector<std::vector<double>> &p, int x, int y) {
  for (const auto &r : p)
    if (x >= r[0] - 3 && x <= r[2] + 3 && y >= r[1] - 3 && y <= r[3] + 3) return true;
  return false;
}

// The pixel of the front face's centre of well cell (c, r).
int srodek(int c, int r) {
  double sx, sy;
  rzut(-0.15 - 0.2 * c, 0.7 - 0.2 * (r - 1), -0.35, &sx, &sy);
  return (int)std::floor(sy) * width + (int)std::floor(sx);
}

int roznica(const Obraz &a, const Obraz &b, int piksel) {
  int d = 0;
  for (int k = 0; k < 3; k++) d += std::abs(a[(size_t)piksel * 4 + k] - b[(size_t)piksel * 4 + k]);
  return d;
}

class DuchNaObrazie : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    nowy_katalog_roboczy("800\n600\n16\n1\n0\n1\n0\n0\n0\n1\n000000\n");
    uruchom_program();
  }
  void SetUp() override { stan_poczatkowy(); }
  void TearDown() override { stan_poczatkowy(); }
};

// Every shape, turned 0 to 3 times, over a random floor, high in the well or
// just above its landing row, in every look: the same state drawn without
// the ghost's call, with the ghost off and on.
TEST_F(DuchNaObrazie, NaWierszuLadowaniaTylkoTamGdzieJegoKomorki) {
  std::mt19937 los(2029);
  int sprawdzonych = 0;
  for (const char *wyglad : {"normal", "glass", "child", "classic", "low", "640"}) {
    std::string w = wyglad;
    int jak = w == "low" ? 0 : 1;
    okno_w_wygladzie(jak, w == "640" ? 640 : 800);
    for (int s = 0; s < 12; s++) {
      SCOPED_TRACE(w + ", shape " + std::to_string(s));
      stan_poczatkowy();
      czymuza = 0;
      jakosc = jak;
      szklo = w == "glass";
      klasyczny = w == "classic";
      childmode = w == "child";
      // Stacks of random height, none full; the piece turned high in the well.
      for (int c = 1; c <= 10; c++)
        for (int r = 20 - (int)(los() % 9); r <= 20; r++) ustaw_komorke(c, r, c != 1 + s % 10);
      gra(s, 5, 2);
      for (int t = (int)(los() % 4); t > 0; t--) ruch_obrot();
      xk = 1 + (int)(los() % 7);
      int n = ilema[jaki];
      bool miesci = true;
      for (int i = 0; i < n; i++)
        for (int j = 0; j < n; j++)
          if (klocek[jaki * 16 + i * 4 + j] && komorka(xk - 1 + i, yk + j)) miesci = false;
      if (!miesci) xk = 5;
      // Every other piece a row or two above its landing row, where the ghost
      // meets it.
      if (s % 2) yk = std::max(2, wiersz_ladowania_klocka() - 1 - (int)(los() % 2));
      klatki(2);   // the camera's angles follow from its place
      int spadek = wiersz_ladowania_klocka() - yk;
      ASSERT_GT(spadek, 0);

      Stan stan = zrzut_stanu();
      Obraz bez = klatka(stan, false), wylaczony = klatka(stan, true);
      duch_wlaczony = true;
      ASSERT_TRUE(przywroc_stan(stan, true));
      widok_kamery();
      // The glass bricks of the piece and the preview fight over their
      // coplanar faces, which Mesa's software rasterizer settles by what it
      // drew before: there the picture is not compared.
      std::vector<std::vector<double>> duch, niepewne;
      if (szklo) niepewne.push_back(prostokat_podgladu());
      std::vector<int> srodki_ducha;
      std::vector<std::vector<double>> klocek_z_przodu;
      for (int i = 0; i < n; i++)
        for (int j = 0; j < n; j++) {
          if (!klocek[jaki * 16 + i * 4 + j]) continue;
          klocek_z_przodu.push_back(prostokat_komorki(xk - 1 + i, yk + j, true));
          duch.push_back(prostokat_komorki(xk - 1 + i, yk + j + spadek));
          if (szklo) niepewne.push_back(prostokat_komorki(xk - 1 + i, yk + j));
          bool pod_klockiem = j + spadek < n && klocek[jaki * 16 + i * 4 + j + spadek];
          if (!pod_klockiem) srodki_ducha.push_back(srodek(xk - 1 + i, yk + j + spadek));
        }
      Obraz wlaczony = klatka(stan, true);
      duch_wlaczony = false;

      ASSERT_TRUE(wylaczony == bez) << "the ghost off changed the picture";
      // Outside its cells the picture is the same but for the rasterizer's
      // rounding under the translucent glass, a step or two; a drawing state
      // the ghost left changed would show far more.
      int poza = 0;
      for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
          if (roznica(wlaczony, bez, y * width + x) <= 2) continue;
          bool w_duchu = w_prostokatach(duch, x, y) || w_prostokatach(niepewne, x, y);
          poza += !w_duchu;
        }
      EXPECT_EQ(poza, 0) << "pixels changed outside the ghost's cells";
      for (int p : srodki_ducha) EXPECT_GE(roznica(wlaczony, bez, p), 6) << "a ghost cell not drawn";
      // The middle of the piece's front faces (the glass piece's own fight
      // aside): the ghost's outline may run along their edges where the two meet.
      int na_klocku = 0;
      for (const auto &r : szklo ? decltype(klocek_z_przodu)() : klocek_z_przodu) {
        double mx = (r[2] - r[0]) / 4, my = (r[3] - r[1]) / 4;
        for (int y = std::max(0, (int)(r[1] + my)); y <= std::min(height - 1, (int)(r[3] - my)); y++)
          for (int x = std::max(0, (int)(r[0] + mx)); x <= std::min(width - 1, (int)(r[2] - mx)); x++)
            na_klocku += roznica(wlaczony, bez, y * width + x) > 2;
      }
      EXPECT_EQ(na_klocku, 0) << "drawn over the piece";
      sprawdzonych++;
    }
  }
  EXPECT_EQ(sprawdzonych, 72);
  okno_w_wygladzie(1, 800);
}

// G in a running game shows the ghost in the frame of the very pass it is
// pressed in; a piece resting already has no ghost; paused, none is drawn.
TEST_F(DuchNaObrazie, KlawiszPokazujeOdRazu) {
  czymuza = 0;
  for (int c = 1; c <= 10; c++) ustaw_komorke(c, 20, c != 4);
  gra(0, 5, 3);
  klatki(2);
  int ladowanie = wiersz_ladowania_klocka();
  Stan stan = zrzut_stanu();
  Obraz bez = klatka(stan, false);
  ASSERT_TRUE(przywroc_stan(stan, true));
  widok_kamery();
  int srodek_ducha = srodek(5, ladowanie);
  klatki(1, {KLAWISZ_DUCHA});
  ASSERT_TRUE(duch_wlaczony);
  EXPECT_GE(roznica(obraz(), bez, srodek_ducha), 6) << "the ghost did not show in the pass of G";

  for (int wstrzymana = 0; wstrzymana < 2; wstrzymana++) {
    yk = wstrzymana ? 3 : ladowanie;   // paused, or resting on the stack
    pauza = wstrzymana;
    stan = zrzut_stanu();
    EXPECT_TRUE(klatka(stan, false) == klatka(stan, true))
        << (wstrzymana ? "a ghost in the pause" : "a ghost of a resting piece");
  }
}

}  // namespace
