// The scene read back from the GL through the real pass and camera: cells
// where the well puts them, the textures of each mode, the falling piece and
// the preview in each state, the back wall switch and the columns of classic
// mode.
#include "harness.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <gtest/gtest.h>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {


// BRIXEL_TEST_SHOTS=dir writes the frames of a test there as PPM files.
void zrzut(const Obraz &p, const std::string &nazwa) {
  const char *k = getenv("BRIXEL_TEST_SHOTS");
  if (!k || !*k) return;
  FILE *f = fopen((std::string(k) + "/" + nazwa + ".ppm").c_str(), "wb");
  if (!f) return;
  fprintf(f, "P6\n%d %d\n255\n", width, height);
  for (int y = height - 1; y >= 0; y--)
    for (int x = 0; x < width; x++) fwrite(&p[((size_t)y * width + x) * 4], 1, 3, f);
  fclose(f);
}


// Mean colour of the 5 x 5 pixels around a window point.
Rgba srednia(const Obraz &p, double sx, double sy) {
  int x0 = (int)std::floor(sx), y0 = (int)std::floor(sy), n = 0;
  Rgba s = {0, 0, 0, 0};
  for (int y = y0 - 2; y <= y0 + 2; y++)
    for (int x = x0 - 2; x <= x0 + 2; x++) {
      Rgba c = piksel(p, x, y);
      if (c.r < 0) continue;
      s.r += c.r; s.g += c.g; s.b += c.b; n++;
    }
  if (n == 0) return {-1000, -1000, -1000, -1000};
  return {s.r / n, s.g / n, s.b / n, 255};
}

int roznica(Rgba a, Rgba b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// The mean colour around the window position of a world point.
Rgba srednio_w_punkcie(const Obraz &p, double x, double y, double z) {
  double sx, sy;
  rzut(x, y, z, &sx, &sy);
  return srednia(p, sx, sy);
}

// World centre of the camera-facing face of well cell (c, r).
void srodek_komorki(int c, int r, double *x, double *y, double *z) {
  *x = -0.15 - 0.2 * c;
  *y = 0.7 - 0.2 * (r - 1);
  *z = -0.35;
}

Rgba komorka_na_obrazie(const Obraz &p, int c, int r) {
  double x, y, z;
  srodek_komorki(c, r, &x, &y, &z);
  return srednio_w_punkcie(p, x, y, z);
}

// Which channel a colour change raised most: 0 red, 1 green, 2 blue; -1 when
// none rose by 40 or more above the others.
int przewaga(Rgba przed, Rgba po) {
  int d[3] = {po.r - przed.r, po.g - przed.g, po.b - przed.b};
  for (int k = 0; k < 3; k++)
    if (d[k] >= 40 && d[k] >= d[(k + 1) % 3] + 40 && d[k] >= d[(k + 2) % 3] + 40) return k;
  return -1;
}

// A colour whose own channel stands out of the other two.
int barwa(Rgba c) { return przewaga({0, 0, 0, 255}, c); }

class Scena : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    nowy_katalog_roboczy();
    uruchom_program();
  }
  void SetUp() override {
    stan_poczatkowy();
    srand(3);
    for (int s = 0; s <= 20; s++) zachowane[s] = nazwa_slotu[s];
    wyczysc_zapis();
  }
  void TearDown() override {
    for (int s = 0; s <= 20; s++) nazwa_slotu[s] = zachowane[s];
    for (GLuint n : wlasne) glDeleteTextures(1, &n);
  }
  void do_slotu(int slot, int r, int g, int b) {
    GLuint n = jednolita(r, g, b);
    wlasne.push_back(n);
    nazwa_slotu[slot] = n;
  }
  // A running game with the given piece that gravity leaves where it is.
  void gra(int s, int x, int y) {
    ::gra(s, x, y);
    nastepny = 0;
  }
  // The camera settled on the piece, and one pass to set its view.
  void kamera() {
    heading = 550.0f - (float)xk;
    lookupdown = (float)yk / 3 + 23;
    ruch_z = -5 - (float)yk / 23;
    klatki(1);
  }
  // One pass and its picture, with the animations put back as they were, so
  // that two frames differ only by what the test changed between them.
  Obraz klatka() {
    float rm = rotatemodel, y = yzbi, zb = zbitenie, yr = yronda;
    bool ob = obrotrm;
    int gs = gamespeed;
    klatki(1);
    Obraz p = obraz();
    static int numer = 0;
    zrzut(p, ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                 std::string("-") + std::to_string(numer++));
    rotatemodel = rm; obrotrm = ob; yzbi = y; zbitenie = zb; yronda = yr; gamespeed = gs;
    return p;
  }
  GLuint zachowane[21];
  std::vector<GLuint> wlasne;
};

// Each filled cell shows where the camera's projection puts it, in brick;
// its empty neighbours show what lies behind them.
TEST_F(Scena, KomorkiTamGdzieStudnia) {
  gra(0, 6, 0);   // the square in columns 5 and 6, rows 0 and 1
  kamera();
  Obraz pusta = klatka();
  const int komorki[][2] = {{1, 20}, {10, 20}, {1, 6}, {10, 6}, {4, 12}, {7, 15}};
  for (auto &k : komorki) {
    int c = k[0], r = k[1];
    SCOPED_TRACE("cell " + std::to_string(c) + "," + std::to_string(r));
    ustaw_komorke(c, r, 1);
    Obraz pelna = klatka();
    ustaw_komorke(c, r, 0);
    EXPECT_GT(roznica(komorka_na_obrazie(pusta, c, r), komorka_na_obrazie(pelna, c, r)), 60)
        << "the cell does not show";
    // Its mirror image across the well and the cells two rows up and down stay empty.
    for (auto &n : {std::pair<int, int>{11 - c, r}, {c, r - 2}, {c, std::min(r + 2, 20)}}) {
      if (n.first == c && n.second == r) continue;
      EXPECT_LT(roznica(komorka_na_obrazie(pusta, n.first, n.second),
                        komorka_na_obrazie(pelna, n.first, n.second)), 12)
          << "cell " << n.first << "," << n.second << " changed";
    }
  }
}

// At low detail a cell is its camera-facing face alone: exactly the window
// box of that face changes.
TEST_F(Scena, KomorkaNiskiejJakosciToJednaSciana) {
  jakosc = 0;
  gra(0, 6, 0);
  kamera();
  Obraz pusta = klatka();
  const int c = 3, r = 14;
  ustaw_komorke(c, r, 1);
  Obraz pelna = klatka();
  int x0 = width, x1 = -1, y0 = height, y1 = -1;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (roznica(piksel(pusta, x, y), piksel(pelna, x, y)) > 6) {
        x0 = std::min(x0, x); x1 = std::max(x1, x);
        y0 = std::min(y0, y); y1 = std::max(y1, y);
      }
  double ax, ay, bx, by;
  rzut(-0.25 - 0.2 * c, 0.6 - 0.2 * (r - 1), -0.35, &ax, &ay);
  rzut(-0.05 - 0.2 * c, 0.8 - 0.2 * (r - 1), -0.35, &bx, &by);
  EXPECT_NEAR(x0, std::min(ax, bx), 2.0);
  EXPECT_NEAR(x1 + 1, std::max(ax, bx), 2.0);
  EXPECT_NEAR(y0, std::min(ay, by), 2.0);
  EXPECT_NEAR(y1 + 1, std::max(ay, by), 2.0);
}

// The textures of cells, falling piece and preview in normal, glass and child
// mode, told apart by solid colours put in their slots.
TEST_F(Scena, TeksturyWedlugTrybu) {
  do_slotu(6, 255, 0, 0);     // cells
  do_slotu(2, 0, 255, 0);     // glass cells, piece and preview; the back wall
  do_slotu(15, 0, 0, 255);    // child cells
  do_slotu(5, 255, 0, 0);     // piece and preview
  do_slotu(14, 0, 0, 255);    // child piece and preview
  do_slotu(4, 0, 255, 0);     // the single cell
  czytlo = 0;                 // nothing behind the glass but the room
  rotatemodel = 225;          // the preview square to the camera
  gra(0, 6, 2);               // the square in columns 5 and 6, rows 2 and 3
  kamera();
  struct Tryb {
    const char *nazwa;
    int szklo, dziecko, komorki, klocek;
  };
  const Tryb tryby[4] = {{"normal", 0, 0, 0, 0},
                         {"glass", 1, 0, 1, 1},
                         {"child", 0, 1, 2, 2},
                         {"child and glass", 1, 1, 2, 2}};
  // The preview: cell (0, 0) of the square, turned square to the camera.
  const double px = -2.9 - 0.05, py = 0.35 + 0.2 - 0.05, pz = -0.35;
  for (const Tryb &t : tryby) {
    SCOPED_TRACE(t.nazwa);
    szklo = t.szklo;
    childmode = t.dziecko;
    pauza = 1;   // no piece nor preview
    Obraz tlo = klatka();
    pauza = 0;
    ustaw_komorke(3, 12, 1);
    Obraz p = klatka();
    ustaw_komorke(3, 12, 0);
    EXPECT_EQ(przewaga(komorka_na_obrazie(tlo, 3, 12), komorka_na_obrazie(p, 3, 12)), t.komorki)
        << "well cell";
    EXPECT_EQ(przewaga(komorka_na_obrazie(tlo, 6, 3), komorka_na_obrazie(p, 6, 3)), t.klocek)
        << "falling piece";
    EXPECT_EQ(przewaga(srednio_w_punkcie(tlo, px, py, pz), srednio_w_punkcie(p, px, py, pz)), t.klocek) << "preview";
    // The single-cell piece keeps its own texture in every mode.
    jaki = 7;
    Obraz j = klatka();
    jaki = 0;
    EXPECT_EQ(przewaga(komorka_na_obrazie(tlo, 5, 2), komorka_na_obrazie(j, 5, 2)), 1)
        << "single cell";
  }
}

// The falling piece stays on the game-over screen, the preview does not; in
// the menu and the pause neither is drawn.
TEST_F(Scena, KlocekPoKoncuGryPodgladNie) {
  do_slotu(5, 255, 0, 0);
  rotatemodel = 225;
  gra(0, 6, 2);
  kamera();
  const double px = -2.9 - 0.05, py = 0.35 + 0.2 - 0.05, pz = -0.35;
  pauza = 1;   // neither piece nor preview
  Obraz tlo = klatka();
  pauza = 0;
  Obraz gra_trwa = klatka();
  EXPECT_EQ(przewaga(komorka_na_obrazie(tlo, 5, 3), komorka_na_obrazie(gra_trwa, 5, 3)), 0);
  EXPECT_EQ(przewaga(srednio_w_punkcie(tlo, px, py, pz), srednio_w_punkcie(gra_trwa, px, py, pz)), 0);
  wtopa = true;
  Obraz koniec = klatka();
  EXPECT_EQ(przewaga(komorka_na_obrazie(tlo, 5, 3), komorka_na_obrazie(koniec, 5, 3)), 0)
      << "no piece after game over";
  EXPECT_LT(roznica(srednio_w_punkcie(tlo, px, py, pz), srednio_w_punkcie(koniec, px, py, pz)), 12)
      << "the preview shows after game over";
  wtopa = false;
  gameini = true;
  Obraz w_menu = klatka();
  gameini = false;
  EXPECT_LT(roznica(komorka_na_obrazie(tlo, 5, 3), komorka_na_obrazie(w_menu, 5, 3)), 12)
      << "the piece shows in the menu";
  EXPECT_LT(roznica(srednio_w_punkcie(tlo, px, py, pz), srednio_w_punkcie(w_menu, px, py, pz)), 12)
      << "the preview shows in the menu";
}

// Without the wall the well shows the room behind it, in every mode.
TEST_F(Scena, BezScianyWZadnymTrybie) {
  for (int slot : {2, 16, 19}) do_slotu(slot, 0, 255, 0);
  gra(0, 6, 0);
  kamera();
  // Points on the wall's plane behind empty cells.
  const double punkty[3][2] = {{-1.05, -1.3}, {-0.35, -2.7}, {-1.95, 0.1}};
  Obraz bez[3], ze[3];
  for (int m = 0; m < 3; m++) {
    szklo = m == 1;
    childmode = m == 2;
    czytlo = 0;
    bez[m] = klatka();
    czytlo = 1;
    ze[m] = klatka();
  }
  const char *tryb[3] = {"normal", "glass", "child"};
  for (int m = 0; m < 3; m++)
    for (auto &q : punkty) {
      SCOPED_TRACE(std::string(tryb[m]) + " at " + std::to_string(q[0]) + "," + std::to_string(q[1]));
      EXPECT_EQ(przewaga(srednio_w_punkcie(bez[m], q[0], q[1], -0.15), srednio_w_punkcie(ze[m], q[0], q[1], -0.15)), 1)
          << "the wall does not show";
      EXPECT_LT(roznica(srednio_w_punkcie(bez[0], q[0], q[1], -0.15), srednio_w_punkcie(bez[m], q[0], q[1], -0.15)), 6)
          << "something is drawn where the wall would be";
    }
}

// Classic mode keeps only the middle column.
TEST_F(Scena, KlasycznySrodkowaKolumna) {
  do_slotu(8, 0, 0, 255);
  gra(0, 6, 0);
  kamera();
  // A point on the axis of each column, away from the rings.
  const double kolumny[3][3] = {{0.5, -1.2, -0.1}, {-3.0, -1.6, -0.5}, {0.2, -3.2, 0.0}};
  const bool w_klasycznym[3] = {false, true, false};
  Obraz zwykly = klatka();
  klasyczny = 1;
  Obraz klasyczny_obraz = klatka();
  klasyczny = 0;
  for (int k = 0; k < 3; k++) {
    SCOPED_TRACE("column " + std::to_string(k + 1));
    const double *q = kolumny[k];
    EXPECT_EQ(barwa(srednio_w_punkcie(zwykly, q[0], q[1], q[2])), 2) << "not drawn in the normal mode";
    EXPECT_EQ(barwa(srednio_w_punkcie(klasyczny_obraz, q[0], q[1], q[2])), w_klasycznym[k] ? 2 : -1)
        << "classic mode";
  }
}

}  // namespace
