// The text over the scene read back from the GL: where the status lines,
// menu and options lines, frame rate and game-over lines put their ink, in
// which colour, how the game-over lines wobble, that numbers of any size fit,
// and what glPrint leaves of the GL state.
#include "harness.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <gtest/gtest.h>


#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {


// Ink found in a strip of window rows: its extent and summed colour.
struct Tusz {
  int x0 = 1 << 30, x1 = -1, y0 = 1 << 30, y1 = -1, n = 0;
  long r = 0, g = 0, b = 0;
  bool jest() const { return n > 0; }
};

// Ink in rows y0..y1-1 and columns x0..x1-1 of a frame read at window size w x h.
Tusz tusz_okna(const Obraz &p, int w, int h, int y0, int y1, int x0 = 0, int x1 = 1 << 30) {
  Tusz t;
  y0 = std::max(y0, 0); y1 = std::min(y1, h);
  x0 = std::max(x0, 0); x1 = std::min(x1, w);
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) {
      const unsigned char *q = &p[((size_t)y * w + x) * 4];
      if (q[0] + q[1] + q[2] < 90) continue;
      t.n++;
      t.r += q[0]; t.g += q[1]; t.b += q[2];
      t.x0 = std::min(t.x0, x); t.x1 = std::max(t.x1, x);
      t.y0 = std::min(t.y0, y); t.y1 = std::max(t.y1, y);
    }
  return t;
}

Tusz tusz(const Obraz &p, int y0, int y1, int x0 = 0, int x1 = 1 << 30) {
  return tusz_okna(p, width, height, y0, y1, x0, x1);
}

// The colour of a line by its strongest channels.
bool zielony(const Tusz &t) { return t.g > 2 * t.r && t.g > 2 * t.b; }
bool czerwony(const Tusz &t) { return t.r > 3 * t.g && t.r > 3 * t.b; }
bool niebieski(const Tusz &t) { return t.b > 2 * t.r && t.b > t.g + t.g / 3; }
bool rozowy(const Tusz &t) { return t.r > 2 * t.g && t.b > t.g + t.g / 2 && t.r > t.b; }
bool zolty(const Tusz &t) { return t.r > 3 * t.b && t.g > 3 * t.b; }

// The overlay pass alone over a black frame.
Obraz nakladka() {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  nakladka_tekstu();
  return obraz();
}

// A line of n characters from x: ink from the first cell to the last.
void sprawdz_linie(const Tusz &t, int x, int n, const std::string &co) {
  ASSERT_TRUE(t.jest()) << co << ": no ink";
  EXPECT_GE(t.x0, x) << co;
  EXPECT_LT(t.x0, x + 16) << co << ": the first character is missing";
  EXPECT_GE(t.x1, x + (n - 1) * 32) << co << ": shorter than " << n << " characters";
  EXPECT_LT(t.x1, x + n * 32) << co << ": longer than " << n << " characters";
}

class Tekst : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    nowy_katalog_roboczy();
    uruchom_program();
  }
  void SetUp() override {
    stan_poczatkowy();
    fps1 = INT_MAX;   // the frame-rate count never closes while a test reads it
    licznik = 0;
  }
  void TearDown() override {
    width = 800;
    height = 600;
    stan_poczatkowy();
    fps1 = (int)time(nullptr);
  }
  // A game on screen with the given figures.
  void w_grze(int wynik, int najlepszy, int poziom, int wiersze) {
    gameini = false;
    wtopa = false;
    pauza = 0;
    score = wynik;
    rekord = najlepszy;
    level = poziom;
    calkowite = wiersze;
  }
};

// The four status lines start at x = 10 in their rows, in pink, and nothing
// else is written during play.
TEST_F(Tekst, LinieStanu) {
  w_grze(1234, 56789, 3, 42);
  Obraz p = nakladka();
  const int H = height;
  Tusz wynik = tusz(p, H - 32, H), rekord_l = tusz(p, H - 70, H - 38);
  Tusz poziom = tusz(p, 44, 72), wiersze = tusz(p, 10, 38);
  sprawdz_linie(wynik, 10, 11, "SCORE  1234");
  sprawdz_linie(rekord_l, 10, 12, "RECORD 56789");
  sprawdz_linie(poziom, 10, 8, "LEVEL: 3");
  sprawdz_linie(wiersze, 10, 13, "DESTROYED: 42");
  for (const Tusz *t : {&wynik, &rekord_l, &poziom, &wiersze}) EXPECT_TRUE(rozowy(*t));
  EXPECT_FALSE(tusz(p, 80, H - 80).jest()) << "text in the middle of the screen";
  EXPECT_FALSE(tusz(p, 0, 10).jest());
  EXPECT_FALSE(tusz(p, H - 38, H - 32).jest()) << "the score and record lines run together";
  // The wider the number, the further the line reaches.
  w_grze(7, 0, 1, 0);
  sprawdz_linie(tusz(nakladka(), H - 32, H), 10, 8, "SCORE  7");
}

// Numbers of every size and sign are drawn whole.
TEST_F(Tekst, LiczbyDowolnejWielkosci) {
  const int H = height;
  w_grze(INT_MIN, INT_MAX, INT_MIN, INT_MAX);
  Obraz p = nakladka();
  sprawdz_linie(tusz(p, H - 32, H), 10, 18, "SCORE  -2147483648");
  sprawdz_linie(tusz(p, H - 70, H - 38), 10, 17, "RECORD 2147483647");
  sprawdz_linie(tusz(p, 44, 72), 10, 18, "LEVEL: -2147483648");
  sprawdz_linie(tusz(p, 10, 38), 10, 21, "DESTROYED: 2147483647");
  w_grze(-5, -1, 0, -12);
  p = nakladka();
  sprawdz_linie(tusz(p, H - 32, H), 10, 9, "SCORE  -5");
  sprawdz_linie(tusz(p, 10, 38), 10, 14, "DESTROYED: -12");
}

// The main menu: three lines, the one under the cursor green, the others
// dark red, the key line at the bottom; nothing of the game's lines.
TEST_F(Tekst, MenuKursorZielony) {
  const int W2 = width / 2, H2 = height / 2;
  for (int kursor = 1; kursor <= 3; kursor++) {
    SCOPED_TRACE("cursor on " + std::to_string(kursor));
    elem2 = kursor;
    Obraz p = nakladka();
    const int n[3] = {4, 7, 4};   // "OPTIONS " ends in a blank
    for (int i = 0; i < 3; i++) {
      int y = H2 - 60 - 40 * i;
      Tusz t = tusz(p, y, y + 32);
      sprawdz_linie(t, W2 - 100, n[i], "menu line " + std::to_string(i + 1));
      if (i + 1 == kursor) EXPECT_TRUE(zielony(t)) << "line " << i + 1 << " not green";
      else EXPECT_TRUE(czerwony(t)) << "line " << i + 1 << " not dark red";
    }
    Tusz tytul = tusz(p, H2 + 64 - 10, H2 + 96 + 10);
    EXPECT_TRUE(tytul.jest()) << "no title";
    EXPECT_TRUE(zolty(tytul));
    // Below the menu only the key line, at the bottom.
    EXPECT_FALSE(tusz(p, 50, H2 - 150).jest()) << "ink below the menu";
    EXPECT_TRUE(zolty(tusz(p, 0, 50))) << "no key line";
    EXPECT_FALSE(tusz(p, H2 + 110, height).jest()) << "ink above the title";
  }
}

// The options list: seven lines while glass mode is locked, eight after;
// the cursor's line green, the others blue; each text follows its value.
TEST_F(Tekst, OpcjeSiedemLubOsiemLinii) {
  const int W2 = width / 2, H2 = height / 2;
  menu = true;
  elem = 3;
  for (int szkl : {0, 1}) {
    SCOPED_TRACE(szkl ? "glass mode unlocked" : "glass mode locked");
    czyszklo = szkl;
    Obraz p = nakladka();
    // width 800, bittes 16, detail HIGH, music ON, wall ON, FPS OFF, classic OFF, glass OFF
    const int dlugosci[8] = {18, 14, 11, 8, 7, 12, 16, 14};
    int linie = 0;
    for (int e = 1; e <= 8; e++) {
      int y = H2 + 60 - 40 * (e - 1);
      Tusz t = tusz(p, y, y + 32);
      if (!t.jest()) continue;
      linie++;
      sprawdz_linie(t, W2 - 300, dlugosci[e - 1], "entry " + std::to_string(e));
      if (e == elem) EXPECT_TRUE(zielony(t)) << "entry " << e << " not green";
      else EXPECT_TRUE(niebieski(t)) << "entry " << e << " not blue";
    }
    EXPECT_EQ(linie, szkl ? 8 : 7);
    EXPECT_TRUE(zolty(tusz(p, H2 + 120 - 10, H2 + 152 + 10))) << "no yellow title";
  }
  // "Detail LOW" is a character shorter than "Detail HIGH".
  jakosc = 0;
  Obraz p = nakladka();
  sprawdz_linie(tusz(p, H2 - 20, H2 + 12), W2 - 300, 10, "Detail LOW");
}

// A width without an entry text (1024 from the command line) leaves the first
// line out and the others in place; the text is laid out for that size at once.
TEST_F(Tekst, OpcjeBezLiniiRozdzielczosci) {
  const int okno_w = width, okno_h = height;
  width = 1024;
  height = 768;
  menu = true;
  elem = 2;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  nakladka_tekstu();
  Obraz p = obraz_okna(okno_w, okno_h);
  // The 1024 x 768 layout squeezed into the 800 x 600 window.
  auto wiersz = [&](int y) { return (int)std::floor(y * (double)okno_h / height); };
  auto kolumna = [&](int x) { return (int)std::floor(x * (double)okno_w / width); };
  const int W2 = width / 2, H2 = height / 2;
  int linie = 0;
  for (int e = 1; e <= 8; e++) {
    int y = H2 + 60 - 40 * (e - 1);
    Tusz t = tusz_okna(p, okno_w, okno_h, wiersz(y) + 1, wiersz(y + 32) - 1);
    if (e == 1) {
      EXPECT_FALSE(t.jest()) << "a resolution line for width 1024";
      continue;
    }
    if (!t.jest()) continue;
    linie++;
    EXPECT_GE(t.x0, kolumna(W2 - 300) - 1) << "entry " << e;
    EXPECT_LT(t.x0, kolumna(W2 - 300 + 16)) << "entry " << e;
  }
  EXPECT_EQ(linie, 7);   // entries 2 to 8: glass mode is unlocked here
}

// The frame rate shows only with czyfram 1, ending at the right edge when it
// has three digits; in the menu as in a game.
TEST_F(Tekst, LiczbaKlatekTylkoZPrzelacznikiem) {
  const int W = width, H = height;
  licznik = 123;
  for (bool gra : {false, true}) {
    SCOPED_TRACE(gra ? "in a game" : "in the menu");
    gameini = !gra;
    czyfram = 0;
    EXPECT_FALSE(tusz(nakladka(), H - 70, H - 38, W - 224).jest()) << "frame rate with czyfram 0";
    czyfram = 1;
    Tusz t = tusz(nakladka(), H - 70, H - 38, W - 224);
    sprawdz_linie(t, W - 224, 7, "FPS 123");
    EXPECT_GE(t.x1, W - 32);
    EXPECT_TRUE(rozowy(t));
  }
}

// The game-over lines jump through the ten offsets, one every tenth frame,
// and the menu title goes on with the cycle.
TEST_F(Tekst, KoniecGryDrga) {
  const int distx[10] = {-2, 4, 8, 7, -3, -4, 6, 9, -3, 6};
  const int disty[10] = {-6, 2, 9, 3, -7, -2, 4, 1, -9, 2};
  const int W2 = width / 2, H2 = height / 2;
  gameini = false;
  wtopa = true;
  distortion = 0;
  chaos = 0;
  int krok = 0, indeks = 0;
  auto nastepny_krok = [&]() {
    if (++krok == 10) {
      krok = 0;
      indeks = (indeks + 1) % 10;
    }
  };
  int bx = 0, by = 0;
  std::vector<int> widziane;
  for (int n = 1; n <= 105; n++) {
    nastepny_krok();
    Obraz p = nakladka();
    Tusz t = tusz(p, H2 - 130, H2 + 50);
    ASSERT_TRUE(t.jest()) << "frame " << n;
    ASSERT_TRUE(zolty(t));
    if (n == 1) {
      bx = t.x0 - distx[indeks];
      by = t.y0 - disty[indeks];
      // The three lines from their own places: "NEXT GAME Y:N ?" is leftmost,
      // "ESC - Menu" lowest.
      EXPECT_GE(bx, W2 - 240);
      EXPECT_LT(bx, W2 - 240 + 16);
      EXPECT_GE(by, H2 - 110);
      EXPECT_LT(by, H2 - 110 + 16);
    }
    EXPECT_EQ(t.x0 - distx[indeks], bx) << "frame " << n;
    EXPECT_EQ(t.y0 - disty[indeks], by) << "frame " << n;
    if (widziane.empty() || widziane.back() != t.x0) widziane.push_back(t.x0);
  }
  EXPECT_GE(widziane.size(), 9u) << "the lines do not move";

  // The menu title continues from the same offset.
  wtopa = false;
  gameini = true;
  int tx = 0, ty = 0;
  for (int n = 1; n <= 25; n++) {
    nastepny_krok();
    Tusz t = tusz(nakladka(), H2 + 64 - 10, H2 + 96 + 10);
    ASSERT_TRUE(t.jest());
    if (n == 1) {
      tx = t.x0 - distx[indeks];
      ty = t.y0 - disty[indeks];
      EXPECT_GE(tx, W2 - 180);
      EXPECT_LT(tx, W2 - 180 + 32);
    }
    EXPECT_EQ(t.x0 - distx[indeks], tx) << "menu frame " << n;
    EXPECT_EQ(t.y0 - disty[indeks], ty) << "menu frame " << n;
  }
}

// glPrint leaves the matrices as it found them and depth testing on; set 2
// draws as set 1, and an empty string draws nothing.
TEST_F(Tekst, GlPrintZostawiaStan) {
  glMatrixMode(GL_PROJECTION);
  GLdouble pr_przed[16], mv_przed[16], pr_po[16], mv_po[16];
  glGetDoublev(GL_PROJECTION_MATRIX, pr_przed);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(31, 1, 0, 0);
  glRotatef(-185, 0, 1, 0);
  glTranslatef(1.73f, -1.23f, 4.9f);
  glGetDoublev(GL_MODELVIEW_MATRIX, mv_przed);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor3f(1, 1, 1);

  auto napis = [&](const char *t, int zestaw, bool glebia) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (glebia) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    glPrint(100, 200, t, zestaw);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "depth test left off";
    GLint tryb = 0, tekstura = 0;
    glGetIntegerv(GL_MATRIX_MODE, &tryb);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &tekstura);
    EXPECT_EQ(tryb, GL_MODELVIEW);
    EXPECT_EQ((GLuint)tekstura, GL_texturefont);
    glGetDoublev(GL_MODELVIEW_MATRIX, mv_po);
    glMatrixMode(GL_PROJECTION);
    glGetDoublev(GL_PROJECTION_MATRIX, pr_po);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; i++) {
      EXPECT_EQ(mv_po[i], mv_przed[i]) << "model-view element " << i;
      EXPECT_EQ(pr_po[i], pr_przed[i]) << "projection element " << i;
    }
    return obraz();
  };
  Obraz zero = napis("AB", 0, false);
  Tusz t = tusz(zero, 200, 232);
  sprawdz_linie(t, 100, 2, "AB");
  EXPECT_FALSE(tusz(zero, 0, 200).jest());
  EXPECT_FALSE(tusz(zero, 232, height).jest());
  Obraz jeden = napis("AB", 1, true);
  Obraz dwa = napis("AB", 2, false);
  EXPECT_TRUE(jeden == dwa) << "set 2 differs from set 1";
  EXPECT_FALSE(jeden == zero) << "set 1 draws like set 0";
  Obraz pusty = napis("", 0, false);
  EXPECT_FALSE(tusz(pusty, 0, height).jest()) << "an empty string drew something";
  // A control character names no glyph: it draws nothing and the pen stays.
  Obraz z_tabem = napis("A\tB", 0, true);
  EXPECT_TRUE(z_tabem == zero) << "a control character drew or moved the pen";

  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glLoadIdentity();
}

}  // namespace
