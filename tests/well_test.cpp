// The well and the pieces: the floor, the spawn's fit test, the collapse of a
// column under the single cell, the skull count, shapes keeping their turn,
// the edges of the well's index and the points for a placed piece.
#include "zasady.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

class Studnia : public TestZasad<7> {};

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
