// The player's moves, pass by pass: the held Down key and its latch, locking
// with Down, sideways moves and their scrape, turns at the walls, the seven
// turns of child mode, the special pieces, the pause and keys held together.
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

// Well cells of the falling piece.
Komorki klocek_w_studni() {
  Komorki k;
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++)
      if (klocek[jaki * 16 + i * 4 + j]) k.insert({xk - 1 + i, yk + j});
  return k;
}

// One pass with any set of keys held.
void przebieg_z_klawiszami(const std::vector<int> &klawisze) {
  std::vector<Uint8> stan(SDLK_LAST, 0);
  for (int k : klawisze) stan[k] = 1;
  glViewport(0, 0, 4, 4);
  przebieg(stan.data());
}

class Ruchy : public TestZasad<11> {};

TEST_F(Ruchy, TrzymanyDolPowtarzaAPoZablokowaniuCzeka) {
  gra(0, 6, 1);
  for (int i = 1; i <= 5; i++) {
    przebiegi(1, {KLAWISZ_DOL});
    EXPECT_EQ(yk, 1 + i);
  }
  // Still held: rows 7 to 19, then the lock on the floor and the next piece.
  przebiegi(13, {KLAWISZ_DOL});
  EXPECT_EQ(yk, 19);
  EXPECT_EQ(score, 0);
  przebiegi(1, {KLAWISZ_DOL});
  EXPECT_EQ(score, 1);
  EXPECT_EQ(yk, 1);
  przebiegi(5, {KLAWISZ_DOL});
  EXPECT_EQ(yk, 1) << "the new piece must wait for Down to be released";
  przebiegi(1);
  przebiegi(1, {KLAWISZ_DOL});
  EXPECT_EQ(yk, 2);
}

TEST_F(Ruchy, DolNaLezacymBlokujeIDajeNowyWTejSamejKlatce) {
  klasyczny = 1;   // no special piece may replace the spawned one here
  gra(0, 6, 19);
  gamespeed = 30;
  nastepny = 2;
  // Left in the same pass acts on the new piece, after the lock.
  przebiegi(1, {KLAWISZ_DOL, KLAWISZ_LEWO});
  EXPECT_EQ(zajete(), (Komorki{{5, 19}, {6, 19}, {5, 20}, {6, 20}}));
  EXPECT_EQ(score, 1);
  EXPECT_EQ(jaki, 2);
  EXPECT_EQ(yk, 1);
  EXPECT_EQ(xk, 5);
  EXPECT_EQ(gamespeed, 0);
  EXPECT_FALSE(wtopa);
}

TEST_F(Ruchy, BokiSciany) {
  gra(0, 3, 5);   // the square in columns 2 and 3, in mid-air
  EXPECT_TRUE(wcisnij(KLAWISZ_LEWO).empty());
  EXPECT_EQ(xk, 2);
  EXPECT_TRUE(wcisnij(KLAWISZ_LEWO).empty()) << "against the wall nothing sounds";
  EXPECT_EQ(xk, 2);

  gra(0, 10, 5);  // columns 9 and 10
  EXPECT_TRUE(wcisnij(KLAWISZ_PRAWO).empty());
  EXPECT_EQ(xk, 10);
}

TEST_F(Ruchy, PrzesuniecieSzuraPoPowierzchni) {
  gra(0, 6, 19);  // resting on the floor
  EXPECT_EQ(wcisnij(KLAWISZ_LEWO), (Dzwieki{"drag"}));
  EXPECT_EQ(xk, 5);
  EXPECT_EQ(wcisnij(KLAWISZ_PRAWO), (Dzwieki{"drag"}));
  EXPECT_EQ(xk, 6);
  szklo = 1;
  EXPECT_EQ(wcisnij(KLAWISZ_PRAWO), (Dzwieki{"glassrub"}));
  EXPECT_EQ(xk, 7);
  szklo = 0;

  // In mid-air silent, unless a cell lies right under the new position.
  gra(0, 6, 10);  // columns 5 and 6, rows 10 and 11
  EXPECT_TRUE(wcisnij(KLAWISZ_PRAWO).empty());
  EXPECT_EQ(xk, 7);
  pole(5, 12) = 1;
  EXPECT_EQ(wcisnij(KLAWISZ_LEWO), (Dzwieki{"drag"}));
  EXPECT_EQ(xk, 6);
}

TEST_F(Ruchy, KomorkaWWierszuZeroBlokujeBoki) {
  nastepny = 0;
  start_gry();   // the first piece stays at row anchor 0
  ASSERT_EQ(jaki, 0);
  ASSERT_EQ(yk, 0);
  wcisnij(KLAWISZ_LEWO);
  EXPECT_EQ(xk, 6);
  wcisnij(KLAWISZ_PRAWO);
  EXPECT_EQ(xk, 6);
  // A turn cannot put a cell into row 0 either.
  jaki = 3;
  EXPECT_TRUE(wcisnij(KLAWISZ_GORA).empty());
  EXPECT_EQ(ksztalt(3), "XX./.X./.X.");
  // Down works, and then the piece moves.
  wcisnij(KLAWISZ_DOL);
  EXPECT_EQ(yk, 1);
  wcisnij(KLAWISZ_LEWO);
  EXPECT_EQ(xk, 5);
}

TEST_F(Ruchy, DrazekNieObracaSiePrzyPrawejScianie) {
  gra(5, 6, 5);   // the bar stands in column xk
  for (int i = 0; i < 5; i++) wcisnij(KLAWISZ_PRAWO);
  EXPECT_EQ(xk, 10);
  EXPECT_TRUE(wcisnij(KLAWISZ_GORA).empty());
  EXPECT_EQ(ksztalt(5), ".X../.X../.X../.X..");
  EXPECT_EQ(rotations, 0);
  wcisnij(KLAWISZ_LEWO);
  EXPECT_TRUE(wcisnij(KLAWISZ_GORA).empty()) << "at column 9 the turned bar reaches column 11";
  wcisnij(KLAWISZ_LEWO);
  EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate"}));
  EXPECT_EQ(ksztalt(5), "..../XXXX/..../....");
  EXPECT_EQ(klocek_w_studni(), (Komorki{{7, 6}, {8, 6}, {9, 6}, {10, 6}}));
  EXPECT_EQ(rotations, 1);
}

TEST_F(Ruchy, SiedemObrotowWlaczaTrybDziecka) {
  gra(6, 6, 8);   // the tee in mid-air
  for (int i = 0; i < 3; i++) EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate"}));
  EXPECT_EQ(ksztalt(6), ".../XXX/.X.");
  // The fourth turn needs (6,8): taken, it is refused twice and does not count.
  pole(6, 8) = 1;
  EXPECT_TRUE(wcisnij(KLAWISZ_GORA).empty());
  EXPECT_TRUE(wcisnij(KLAWISZ_GORA).empty());
  EXPECT_EQ(rotations, 3);
  EXPECT_EQ(ksztalt(6), ".../XXX/.X.");
  pole(6, 8) = 0;
  for (int i = 0; i < 3; i++) wcisnij(KLAWISZ_GORA);
  EXPECT_EQ(rotations, 6);
  EXPECT_FALSE(childmode);

  // The seventh: child mode, its music cutting the turn's own sound.
  EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate", "STOP", "other", "children"}));
  EXPECT_TRUE(childmode);
  EXPECT_EQ(textual, 158);   // 160, shown in this pass and the release pass
  // The eighth changes nothing more.
  EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate"}));
  EXPECT_TRUE(childmode);
  EXPECT_EQ(rotations, 8);
  EXPECT_EQ(textual, 156);
}

TEST_F(Ruchy, TrybKlasycznyBezDzieckaIBezSpecjalnych) {
  klasyczny = 1;
  gra(6, 6, 8);
  for (int i = 0; i < 8; i++) EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate"}));
  EXPECT_FALSE(childmode);
  EXPECT_EQ(textual, 0);

  // Thousands of Down locks: never a special piece.
  for (int i = 0; i < 3000; i++) {
    oproznij_studnie();
    gra(0, 6, 19);
    ruch_dol();
    ASSERT_LE(jaki, 6) << "lock " << i;
  }
  EXPECT_EQ(trythat, 0);
  for (const std::string &d : zagrane()) EXPECT_NE(d, "trythislaugh");
}

TEST_F(Ruchy, SpecjalneKlockiWCyklu) {
  // Locks made by the Down key; about three in 200 give the next special shape.
  std::vector<int> specjalne;
  for (int i = 0; i < 50000 && specjalne.size() < 6; i++) {
    oproznij_studnie();
    gra(0, 6, 19);
    trythat = 0;
    wyczysc_zapis();
    ruch_dol();
    ASSERT_FALSE(wtopa);
    ASSERT_GE(nastepny, 0);
    ASSERT_LE(nastepny, 6);
    if (jaki >= 8) {
      specjalne.push_back(jaki);
      EXPECT_EQ(trythat, 90);
      EXPECT_EQ(zagrane(), (Dzwieki{"explosion", "explosion", "new", "trythislaugh"}));
      EXPECT_EQ(yk, 1);
    } else {
      EXPECT_EQ(trythat, 0);
    }
  }
  EXPECT_EQ(specjalne, (std::vector<int>{9, 10, 11, 8, 9, 10}));

  // Locks by gravity never take the chance.
  for (int i = 0; i < 2000; i++) {
    oproznij_studnie();
    gra(0, 6, 19);
    speed = 0;
    krok_grawitacji();
    ASSERT_LE(jaki, 6);
  }

  // The same through a whole pass: try seeds until the lock gives a special.
  int znalezione = -1;
  for (unsigned ziarno = 1; ziarno < 1500 && znalezione < 0; ziarno++) {
    stan_poczatkowy();
    gra(0, 6, 19);
    bonusk = 2;
    srand(ziarno);
    Dzwieki d = przebieg_z({KLAWISZ_DOL});
    if (jaki < 8) continue;
    znalezione = (int)ziarno;
    EXPECT_EQ(jaki, 11);
    EXPECT_EQ(bonusk, 3);
    EXPECT_EQ(trythat, 89);   // 90, shown once by this pass
    EXPECT_EQ(d, (Dzwieki{"explosion", "explosion", "new", "trythislaugh"}));
  }
  EXPECT_GE(znalezione, 0) << "no seed gave a special piece";
}

TEST_F(Ruchy, PauzaWstrzymujeKlawiszeGry) {
  gra(1, 6, 5);
  gamespeed = 7;
  wcisnij(KLAWISZ_P);
  ASSERT_EQ(pauza, 1);
  int g = gamespeed;
  std::string przed = ksztalt(1);
  for (int k : {KLAWISZ_DOL, KLAWISZ_GORA, KLAWISZ_LEWO, KLAWISZ_PRAWO, KLAWISZ_Y, KLAWISZ_N}) {
    EXPECT_TRUE(wcisnij(k).empty()) << "key " << k;
    EXPECT_EQ(xk, 6);
    EXPECT_EQ(yk, 5);
    EXPECT_EQ(ksztalt(1), przed);
    EXPECT_EQ(gamespeed, g);
  }
  przebiegi(5, {KLAWISZ_DOL, KLAWISZ_GORA, KLAWISZ_LEWO, KLAWISZ_PRAWO, KLAWISZ_Y, KLAWISZ_N});
  przebiegi(1);
  EXPECT_EQ(xk, 6);
  EXPECT_EQ(yk, 5);
  EXPECT_FALSE(done);

  // Even with the game-over flag forced on, Y and N wait for the pause to end.
  wtopa = true;
  score = 77;
  przebiegi(1, {KLAWISZ_Y, KLAWISZ_N});
  przebiegi(1);
  EXPECT_FALSE(done);
  EXPECT_EQ(score, 77);
  EXPECT_TRUE(wtopa);
  wtopa = false;

  wcisnij(KLAWISZ_P);
  EXPECT_EQ(pauza, 0);
  wcisnij(KLAWISZ_LEWO);
  EXPECT_EQ(xk, 5);
  wcisnij(KLAWISZ_DOL);
  EXPECT_EQ(yk, 6);
}

TEST_F(Ruchy, KlawiszeRazemNieWyprowadzajaPozaStudnie) {
  struct Start {
    int s, x;
  };
  const std::vector<std::vector<int>> wzory = {
      {KLAWISZ_LEWO, KLAWISZ_PRAWO, KLAWISZ_GORA, KLAWISZ_DOL},
      {},
      {KLAWISZ_LEWO, KLAWISZ_GORA},
      {},
      {KLAWISZ_PRAWO, KLAWISZ_GORA},
      {},
      {KLAWISZ_LEWO, KLAWISZ_PRAWO},
      {}};
  for (Start st : {Start{5, 10}, Start{5, 1}, Start{6, 2}, Start{11, 9}, Start{8, 2}, Start{3, 9}}) {
    stan_poczatkowy();
    gra(st.s, st.x, 2);
    for (int n = 0; n < 24; n++) {
      przebieg_z_klawiszami(wzory[n % wzory.size()]);
      for (auto k : klocek_w_studni()) {
        ASSERT_GE(k.first, 1) << "shape " << st.s << " pass " << n;
        ASSERT_LE(k.first, 10) << "shape " << st.s << " pass " << n;
        ASSERT_GE(k.second, 0);
        ASSERT_LE(k.second, 20);
      }
    }
  }
}

}  // namespace
