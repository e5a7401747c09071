// The well and the pieces: the floor, the spawn's fit test, the collapse of a
// column under the single cell, the skull count, shapes keeping their turn,
// the edges of the well's index and the points for a placed piece.
#include "harness.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

// An X connection of the test's own, held for the whole run: tearing the window
// down for a new one would otherwise leave an Xvfb started without -noreset
// with no client, and it refuses the new window while it resets.
extern "C" struct _XDisplay *XOpenDisplay(const char *nazwa);
extern "C" int XCloseDisplay(struct _XDisplay *polaczenie);
struct WlasnePolaczenieX {
  struct _XDisplay *polaczenie = XOpenDisplay(nullptr);
  ~WlasnePolaczenieX() {
    if (polaczenie) XCloseDisplay(polaczenie);
  }
} wlasne_polaczenie_x;

// Keeps Mesa's DRI driver loaded for the whole run. It is unloaded with SDL's
// X connection whenever the window is re-created, and the few blocks it keeps
// then look leaked to LeakSanitizer, from a library no longer mapped.
int przypnij_modul(struct dl_phdr_info *info, size_t, void *) {
  const char *nazwa = info->dlpi_name;
  if (nazwa && strstr(nazwa, "/dri/"))
    dlopen(nazwa, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

void przypnij_sterownik_gl() { dl_iterate_phdr(przypnij_modul, nullptr); }

namespace {

using Komorki = std::set<std::pair<int, int>>;

int &pole(int x, int y) { return studnia[x * 21 + y]; }

// Occupied cells of the playing area (columns 1-10, rows 1-20).
Komorki zajete() {
  Komorki k;
  for (int x = 1; x <= 10; x++)
    for (int y = 1; y <= 20; y++)
      if (pole(x, y)) k.insert({x, y});
  return k;
}

// A shape as the player sees it: rows from the top joined by '/'.
std::string ksztalt(int s) {
  std::string w;
  for (int j = 0; j < ilema[s]; j++) {
    if (j) w += '/';
    for (int i = 0; i < ilema[s]; i++) w += klocek[s * 16 + i * 4 + j] ? 'X' : '.';
  }
  return w;
}

// A running game with the given piece; gravity slowed right down unless a test
// speeds it up, and a record no score here reaches, so no record cue sounds.
void gra(int s, int x, int y) {
  gameini = false;
  wtopa = false;
  pauza = 0;
  kloc = true;
  jaki = s;
  xk = x;
  yk = y;
  speed = 100000;
  gamespeed = 0;
  rekord = 999999;
}

// The rules do not depend on the picture: a 4 x 4 viewport keeps the passes
// quick (a re-created window sets it back, so it is set before every pass).
void przebiegi(int n, std::initializer_list<int> klawisze = {}) {
  for (int i = 0; i < n; i++) {
    glViewport(0, 0, 4, 4);
    klatki(1, klawisze);
  }
}

void wcisnij(int klawisz) {
  przebiegi(1, {klawisz});
  przebiegi(1);
}

const char *const KONFIG = "640\n480\n16\n0\n1\n0\n0\n0\n0\n1\n000000\n";

class Studnia : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    nowy_katalog_roboczy(KONFIG);
    uruchom_program();
    przypnij_sterownik_gl();
  }
  // The program's own shutdown, so that no GL thread is left at exit.
  static void TearDownTestSuite() { wyjscie(); }
  void SetUp() override {
    stan_poczatkowy();
    srand(7);
    wyczysc_zapis();
  }
};

TEST_F(Studnia, DnoToWierszZeroKolumnyObok) {
  gra(0, 10, 18);   // the square in columns 9 and 10, rows 18 and 19
  EXPECT_EQ(czydotknal(), 1);
  EXPECT_TRUE(zagrane().empty());

  yk = 19;          // rows 19 and 20: both columns stand on the floor
  EXPECT_EQ(czydotknal(), 0);
  EXPECT_EQ(zagrane(), (std::vector<std::string>{"explosion", "explosion"}));

  // Column 9's floor is row 0 of column 10, column 10's is row 0 of the wall.
  wyczysc_zapis();
  studnia[10 * 21 + 0] = 0;
  EXPECT_EQ(czydotknal(), 0);
  EXPECT_EQ(zagrane(), (std::vector<std::string>{"explosion"}));
  studnia[10 * 21 + 0] = 1;

  // Through the passes: from row anchor 1 the square falls 18 rows and locks
  // on the 19th gravity step, its lower cells in row 20.
  gra(0, 6, 1);
  speed = 0;
  int ile = 0;
  while (score == 0 && ile < 40) {
    przebiegi(1);
    ile++;
  }
  EXPECT_EQ(ile, 19);
  EXPECT_EQ(zajete(), (Komorki{{5, 19}, {6, 19}, {5, 20}, {6, 20}}));
  EXPECT_EQ(yk, 1);   // the next piece, one row below its spawn place
  EXPECT_FALSE(wtopa);
}

TEST_F(Studnia, KoniecGryTylkoGdyZajetaKomorkaKlocka) {
  // The skew (.X. / XX. / X..) at row anchor 1 takes (6,1), (5,2), (6,2), (5,3).
  // Each game over re-creates the window, so two of them stand for the four.
  const Komorki klocka = {{6, 1}, {5, 3}};
  // Cells of its box that it leaves free, and cells of row 1 elsewhere.
  const Komorki obok = {{5, 1}, {7, 1}, {7, 2}, {6, 3}, {7, 3}, {1, 1}, {4, 1}, {8, 1}, {10, 1}};

  gra(4, 6, 10);
  for (auto k : obok) pole(k.first, k.second) = 1;
  nastepny = 1;
  dodaj_klocek();
  EXPECT_FALSE(wtopa);
  EXPECT_EQ(jaki, 1);
  EXPECT_EQ(zagrane(), (std::vector<std::string>{"new"}));

  for (auto k : klocka) {
    stan_poczatkowy();
    gra(4, 6, 10);
    wyczysc_zapis();
    pole(k.first, k.second) = 1;
    nastepny = 1;
    dodaj_klocek();
    EXPECT_TRUE(wtopa) << "cell " << k.first << "," << k.second;
    EXPECT_EQ(zagrane(), (std::vector<std::string>{"new", "STOP", "music/gameover", "gameover"}));
  }
}

TEST_F(Studnia, ZapadanieKolumny) {
  // Holes between the cells vanish: three cells and the single one make four.
  pole(3, 20) = pole(3, 18) = pole(3, 15) = 1;
  pole(2, 20) = pole(4, 11) = 1;   // neighbours that must not move
  score = 12;
  rotations = 3;
  zapadanie(4);
  EXPECT_EQ(zajete(), (Komorki{{3, 17}, {3, 18}, {3, 19}, {3, 20}, {2, 20}, {4, 11}}));
  EXPECT_EQ(score, 12);
  EXPECT_EQ(rotations, 3);
  EXPECT_EQ(zagrane(), (std::vector<std::string>{"intarget"}));

  // A full column stays full; the twenty-first cell is lost, nothing else changes.
  stan_poczatkowy();
  for (int y = 1; y <= 20; y++) pole(7, y) = 1;
  std::vector<int> przed(studnia, studnia + STUDNIA_ROZMIAR);
  szklo = 1;
  wyczysc_zapis();
  zapadanie(8);
  EXPECT_EQ(std::vector<int>(studnia, studnia + STUDNIA_ROZMIAR), przed);
  EXPECT_EQ(zagrane(), (std::vector<std::string>{"glass"}));

  // An empty column gets the single cell on the floor.
  stan_poczatkowy();
  zapadanie(1);   // column 0 is the wall: nothing may be written
  zapadanie(2);
  EXPECT_EQ(zajete(), (Komorki{{1, 20}}));
  for (int y = 0; y <= 20; y++) EXPECT_EQ(pole(0, y), 1);
}

TEST_F(Studnia, CzaszkaPrzyDwiescie50Klocku) {
  gra(0, 6, 1);
  for (int i = 0; i < 249; i++) dodaj_klocek();
  EXPECT_FALSE(czyskull);
  EXPECT_EQ(doskull, 249);
  dodaj_klocek();
  EXPECT_TRUE(czyskull);
  czyskull = false;
  dodaj_klocek();
  EXPECT_FALSE(czyskull);
  EXPECT_EQ(doskull, 251);
  EXPECT_FALSE(wtopa);
}

TEST_F(Studnia, KsztaltZachowujeObrot) {
  gra(3, 6, 5);   // the hook XX. / .X. / .X.
  nastepny = 3;
  wcisnij(KLAWISZ_GORA);
  EXPECT_EQ(ksztalt(3), "..X/XXX/...");

  // Let it fall and lock by gravity; the next hook spawns already turned.
  speed = 0;
  int ile = 0;
  while (score == 0 && ile < 40) {
    przebiegi(1);
    ile++;
  }
  EXPECT_EQ(zajete(), (Komorki{{7, 19}, {5, 20}, {6, 20}, {7, 20}}));
  EXPECT_EQ(jaki, 3);
  EXPECT_EQ(ksztalt(3), "..X/XXX/...");
  // The other shapes are as they were.
  EXPECT_EQ(ksztalt(4), ".X./.X./XX.");
  EXPECT_EQ(ksztalt(5), ".X../.X../.X../.X..");
}

TEST_F(Studnia, IndeksPozaStudnia) {
  EXPECT_EQ(komorka(-1, 0), 1);    // index -21
  EXPECT_EQ(komorka(0, -1), 1);    // index -1
  EXPECT_EQ(komorka(12, 0), 1);    // index 252
  EXPECT_EQ(komorka(11, 20), 1);   // index 251, the last wall entry
  EXPECT_EQ(komorka(10, 21), 1);   // row 0 of the right wall
  EXPECT_EQ(komorka(1, 21), 1);    // row 0 of column 2: the floor of column 1
  EXPECT_EQ(komorka(1, 22), 0);    // row 1 of column 2, empty
  EXPECT_EQ(komorka(5, 10), 0);
  pole(5, 10) = 1;
  EXPECT_EQ(komorka(5, 10), 1);

  // Writes outside the array, to the walls or to row 0 never land.
  std::vector<int> przed(studnia, studnia + STUDNIA_ROZMIAR);
  for (auto k : std::vector<std::pair<int, int>>{{-1, 5}, {0, -1}, {12, 0}, {12, 3}, {11, 20},
                                                 {0, 7}, {11, 1}, {4, 0}, {30, 30}, {-5, -5}})
    ustaw_komorke(k.first, k.second, 0);
  EXPECT_EQ(std::vector<int>(studnia, studnia + STUDNIA_ROZMIAR), przed);
  ustaw_komorke(4, 3, 1);
  EXPECT_EQ(pole(4, 3), 1);
}

TEST_F(Studnia, PunktZaKlocekBezWzgleduNaRozmiar) {
  gra(8, 6, 10);   // the ring of eight
  score = 5;
  rotations = 4;
  dodajdostudni();
  EXPECT_EQ(score, 6);
  EXPECT_EQ(rotations, 0);
  EXPECT_EQ(zajete(), (Komorki{{5, 10}, {6, 10}, {7, 10}, {5, 11}, {7, 11}, {5, 12}, {6, 12}, {7, 12}}));

  // The single cell locked by gravity collapses its column and scores nothing.
  stan_poczatkowy();
  gra(7, 4, 10);   // its cell is in column 3
  pole(3, 20) = pole(3, 18) = pole(3, 15) = 1;
  speed = 0;
  rotations = 3;
  int ile = 0;
  while (yk != 1 && ile < 20) {
    przebiegi(1);
    ile++;
  }
  EXPECT_EQ(ile, 5);   // rows 11 to 14, then the lock on (3,15)
  EXPECT_EQ(zajete(), (Komorki{{3, 17}, {3, 18}, {3, 19}, {3, 20}}));
  EXPECT_EQ(score, 0);
  EXPECT_EQ(rotations, 3);
}

}  // namespace
