// The rules that run by themselves, pass by pass: full rows, levels, the top
// row, the alarm flag, game over with Y and Escape, the new-game reset, and
// the menu and options keys around a game.
#include "zasady.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

class Zasady : public TestZasad<3> {};

TEST_F(Zasady, PelneWierszeZnikajaWJednejKlatce) {
  // Rows 20 and 18 full, row 19 partial between them.
  pelny_wiersz(20);
  pelny_wiersz(18);
  pole(2, 19) = pole(7, 19) = 1;
  gra(0, 6, 3);
  EXPECT_EQ(przebieg_z(), (Dzwieki{"intarget", "intarget"}));
  EXPECT_EQ(zajete(), (Komorki{{2, 20}, {7, 20}}));
  EXPECT_EQ(calkowite, 2);
  EXPECT_EQ(rozwalone, 2);
  EXPECT_EQ(score, 20);
  EXPECT_FALSE(musi) << "two rows earn no bonus";

  // Rows 19 and 20 full, a partial row 18 above them.
  stan_poczatkowy();
  pelny_wiersz(20);
  pelny_wiersz(19);
  pole(4, 18) = 1;
  gra(0, 6, 3);
  calkowite = 5;
  score = 100;
  przebiegi(1);
  EXPECT_EQ(zajete(), (Komorki{{4, 20}}));
  EXPECT_EQ(calkowite, 7);
  EXPECT_EQ(score, 120);
}

TEST_F(Zasady, DwudziestyWierszPodnosiPoziom) {
  pelny_wiersz(20);
  gra(2, 6, 4);
  speed = 50;
  rozwalone = 19;
  przebiegi(1);
  EXPECT_EQ(level, 2);
  EXPECT_EQ(speed, 45);
  EXPECT_EQ(rozwalone, 0);
  EXPECT_EQ(calkowite, 1);
  EXPECT_EQ(jaki, 7) << "the falling piece becomes the single cell";
  EXPECT_EQ(xk, 6);
  EXPECT_EQ(yk, 4);
  EXPECT_TRUE(musi);
  EXPECT_EQ(dzwiek, 0);

  // Classic mode: the same level and speed, no single cell, no message.
  stan_poczatkowy();
  klasyczny = 1;
  pelny_wiersz(20);
  gra(2, 6, 4);
  speed = 50;
  rozwalone = 19;
  wyczysc_zapis();
  przebiegi(200);
  EXPECT_EQ(level, 2);
  EXPECT_EQ(speed, 45);
  EXPECT_EQ(rozwalone, 0);
  EXPECT_EQ(jaki, 2);
  EXPECT_FALSE(musi);
  EXPECT_EQ(bonuses, 0);
  Dzwieki d = zagrane();
  EXPECT_EQ(std::count(d.begin(), d.end(), "level"), 0);
}

TEST_F(Zasady, TrzyWierszeKonczacePoziom) {
  pelny_wiersz(18);
  pelny_wiersz(19);
  pelny_wiersz(20);
  gra(0, 6, 3);
  rozwalone = 18;
  przebiegi(1);
  EXPECT_EQ(level, 2);
  EXPECT_EQ(rozwalone, 0) << "the third row does not count toward the next level";
  EXPECT_EQ(calkowite, 3);
  EXPECT_EQ(score, 30) << "no bonus for three rows that complete a level";
  EXPECT_TRUE(musi);
  EXPECT_EQ(dzwiek, 0);
}

TEST_F(Zasady, KomorkaWGornymWierszuZnika) {
  // Columns 1 and 2 stand up to row 3; a square locks on them in rows 1 and 2.
  for (int y = 3; y <= 20; y++) pole(1, y) = pole(2, y) = 1;
  gra(0, 2, 1);
  przebiegi(1, {KLAWISZ_DOL});
  ASSERT_EQ(pole(1, 1), 1);
  ASSERT_EQ(pole(2, 1), 1);
  EXPECT_FALSE(wtopa) << "cells in row 1 outside the spawn area do not end the game";
  Dzwieki d = przebieg_z();
  ASSERT_GE(d.size(), 2u);
  EXPECT_EQ(d[0], "delete");
  EXPECT_EQ(d[1], "delete");
  EXPECT_EQ(std::count(d.begin(), d.end(), "delete"), 2);
  EXPECT_EQ(pole(1, 1), 0);
  EXPECT_EQ(pole(2, 1), 0);
  EXPECT_EQ(pole(1, 2), 1);
  EXPECT_EQ(pole(2, 2), 1);
  EXPECT_FALSE(wtopa);
}

TEST_F(Zasady, AlarmGdyWiersz4Zajety) {
  gra(0, 6, 10);
  pole(3, 4) = 1;
  przebiegi(1);
  EXPECT_TRUE(alarm);
  pole(3, 4) = 0;
  przebiegi(1);
  EXPECT_FALSE(alarm);

  // The flag tells what row 4 holds after this pass's rows are gone.
  pole(3, 4) = 1;
  pelny_wiersz(20);
  przebiegi(1);
  EXPECT_EQ(pole(3, 5), 1);
  EXPECT_FALSE(alarm);
  oproznij_studnie();
  pole(8, 3) = 1;
  pelny_wiersz(20);
  przebiegi(1);
  EXPECT_EQ(pole(8, 4), 1);
  EXPECT_TRUE(alarm);

  // It keeps its value where no scan runs: the menu.
  oproznij_studnie();
  gameini = true;
  przebiegi(2);
  EXPECT_TRUE(alarm);
}

TEST_F(Zasady, KoniecGryYIEscape) {
  rekord = 1234;
  score = 100;
  koniec_gry();
  // Record was kept above the score, so the written one is 1234, in six digits.
  EXPECT_EQ(tresc_configu(), "640\n480\n16\n1\n1\n1\n0\n0\n0\n1\n001234\n");
  const int niewidziany = nastepny;

  // Y: a new game from the piece the failed spawn drew.
  EXPECT_EQ(wcisnij(KLAWISZ_Y), (Dzwieki{"STOP", "music/game"}));
  EXPECT_FALSE(wtopa);
  EXPECT_FALSE(gameini);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(jaki, niewidziany);
  EXPECT_EQ(yk, 0);
  EXPECT_TRUE(zajete().empty());
  EXPECT_EQ(rekord, 1234);

  // A second game over, left with Escape.
  score = 50;
  level = 3;
  koniec_gry();
  EXPECT_EQ(przebieg_z({KLAWISZ_ESCAPE}), (Dzwieki{"STOP", "music/start"}));
  EXPECT_TRUE(gameini);
  EXPECT_FALSE(menu);
  EXPECT_FALSE(wtopa);
  EXPECT_TRUE(zajete().empty());
  EXPECT_EQ(score, 0);
  EXPECT_EQ(level, 1);
  // Escape still held in the menu: one transition only.
  EXPECT_TRUE(przebieg_z({KLAWISZ_ESCAPE}) == (Dzwieki{"new", "laugh"}));
  EXPECT_TRUE(gameini);
  EXPECT_TRUE(przebieg_z({KLAWISZ_ESCAPE}).empty());
}

TEST_F(Zasady, NowaGraZerujeTylkoSwojeZmienne) {
  score = 5; kloc = true; speed = 20; gamespeed = 7; rozwalone = 9; level = 4;
  calkowite = 70; wtopa = true; dodzwieku = 33; ilelinii = 8; musi = true;
  czyrekord = true; yzbi = 1234; bonuses = 7; rotations = 5; childmode = true;
  doskull = 99; textual = 40;

  rekord = 4321; nastepny = 4; bonusk = 2; combo = 17; czas = 55; dodajczas = true;
  dzwiek = 3; trythat = 12; pepper = 100; czyszklo = 0; alarm = true;
  czykula[3] = true; zkula[3] = -0.5f; czyskull = true; skull = 0.4f;
  jaki = 3; xk = 4; yk = 9;
  klocek[3 * 16 + 0] = 0;   // a shape left turned
  klocek[3 * 16 + 8] = 1;
  szklo = 1; klasyczny = 1; czyfram = 1;
  pole(4, 12) = 1;
  const std::vector<int> ksztalty(klocek, klocek + 12 * 16);
  const int ustawienia[] = {width, height, bittes, jakosc, czymuza, czytlo};

  nowa_gra_reset();

  EXPECT_EQ(score, 0); EXPECT_FALSE(kloc); EXPECT_EQ(speed, 50); EXPECT_EQ(gamespeed, 0);
  EXPECT_EQ(rozwalone, 0); EXPECT_EQ(level, 1); EXPECT_EQ(calkowite, 0); EXPECT_FALSE(wtopa);
  EXPECT_EQ(dodzwieku, 0); EXPECT_EQ(ilelinii, 0); EXPECT_FALSE(musi); EXPECT_FALSE(czyrekord);
  EXPECT_EQ(yzbi, 0); EXPECT_EQ(bonuses, 0); EXPECT_EQ(rotations, 0); EXPECT_FALSE(childmode);
  EXPECT_EQ(doskull, 0); EXPECT_EQ(textual, 0);

  EXPECT_EQ(rekord, 4321); EXPECT_EQ(nastepny, 4); EXPECT_EQ(bonusk, 2); EXPECT_EQ(combo, 17);
  EXPECT_EQ(czas, 55); EXPECT_TRUE(dodajczas); EXPECT_EQ(dzwiek, 3); EXPECT_EQ(trythat, 12);
  EXPECT_EQ(pepper, 100); EXPECT_EQ(czyszklo, 0); EXPECT_TRUE(alarm);
  EXPECT_TRUE(czykula[3]); EXPECT_EQ(zkula[3], -0.5f); EXPECT_TRUE(czyskull); EXPECT_EQ(skull, 0.4f);
  EXPECT_EQ(jaki, 3); EXPECT_EQ(xk, 4); EXPECT_EQ(yk, 9);
  EXPECT_EQ(std::vector<int>(klocek, klocek + 12 * 16), ksztalty);
  EXPECT_EQ(szklo, 1); EXPECT_EQ(klasyczny, 1); EXPECT_EQ(czyfram, 1);
  const int teraz[] = {width, height, bittes, jakosc, czymuza, czytlo};
  EXPECT_TRUE(std::equal(teraz, teraz + 6, ustawienia));
  EXPECT_EQ(pole(4, 12), 1) << "emptying the well is not part of the reset";
}

TEST_F(Zasady, EscapeWPauzieZostawiaDzialajaceMenu) {
  start_gry();
  wcisnij(KLAWISZ_P);
  ASSERT_EQ(pauza, 1);
  przebiegi(1, {KLAWISZ_ESCAPE});
  przebiegi(1);
  EXPECT_TRUE(gameini);
  EXPECT_EQ(pauza, 0);
  EXPECT_EQ(wcisnij(KLAWISZ_DOL), (Dzwieki{"rotate"}));
  EXPECT_EQ(elem2, 2);
  wcisnij(KLAWISZ_GORA);
  EXPECT_EQ(elem2, 1);
}

TEST_F(Zasady, KursorMenuZawijaSieIRazNaNacisniecie) {
  ASSERT_EQ(elem2, 1);
  wyczysc_zapis();
  przebiegi(10, {KLAWISZ_GORA});
  EXPECT_EQ(elem2, 3);
  EXPECT_EQ(zagrane(), (Dzwieki{"rotate"}));
  przebiegi(1);
  wyczysc_zapis();
  przebiegi(10, {KLAWISZ_DOL});
  EXPECT_EQ(elem2, 1);
  EXPECT_EQ(zagrane(), (Dzwieki{"rotate"}));
  przebiegi(1);
  wcisnij(KLAWISZ_DOL);
  EXPECT_EQ(elem2, 2);
}

TEST_F(Zasady, OpcjeReturnZapisujeEscapeCofa) {
  // An unlock flag of 5 in the file, and music on.
  std::ofstream("config.cfg", std::ios::binary | std::ios::trunc)
      << "640\n480\n16\n0\n1\n0\n0\n0\n0\n5\n000321\n";
  elem2 = 2;
  wcisnij(KLAWISZ_RETURN);
  ASSERT_TRUE(menu);
  // Music off is silent; Escape reads the file back.
  for (int i = 0; i < 3; i++) wcisnij(KLAWISZ_DOL);
  ASSERT_EQ(elem, 4);
  EXPECT_TRUE(wcisnij(KLAWISZ_LEWO).empty());
  EXPECT_EQ(czymuza, 0);
  wcisnij(KLAWISZ_ESCAPE);
  EXPECT_FALSE(menu);
  EXPECT_TRUE(gameini);
  EXPECT_EQ(czymuza, 1);
  EXPECT_EQ(jakosc, 0);
  EXPECT_EQ(rekord, 321);
  EXPECT_EQ(czyszklo, 1) << "an unlock flag other than 0 counts as unlocked";

  // The list opens with the cursor where it was; with glass unlocked it has 8 entries.
  wcisnij(KLAWISZ_RETURN);
  ASSERT_TRUE(menu);
  EXPECT_EQ(elem, 4);
  elem = 1;
  wcisnij(KLAWISZ_GORA);
  EXPECT_EQ(elem, 8);
  wcisnij(KLAWISZ_DOL);
  EXPECT_EQ(elem, 1);

  // Return saves and closes: frame rate on, the flag written back as 1.
  for (int i = 0; i < 5; i++) wcisnij(KLAWISZ_DOL);
  ASSERT_EQ(elem, 6);
  EXPECT_EQ(wcisnij(KLAWISZ_PRAWO), (Dzwieki{"rotate"}));
  EXPECT_EQ(czyfram, 1);
  wcisnij(KLAWISZ_RETURN);
  EXPECT_FALSE(menu);
  EXPECT_TRUE(gameini);
  EXPECT_EQ(tresc_configu(), "640\n480\n16\n0\n1\n0\n1\n0\n0\n1\n000321\n");
}

// Return on the options list re-creates the window, which reads every key as up
// until the X server reports the held ones again: the press must still act once.
TEST_F(Zasady, ReturnTrzymanyPrzezNoweOknoDzialaRaz) {
  elem2 = 2;
  menu = true;
  gameini = true;
  przebiegi(1, {KLAWISZ_RETURN});   // saves, re-creates the window, closes the list
  ASSERT_FALSE(menu);
  const std::string zapisany = tresc_configu();
  przebiegi(1);                     // the new window before it has heard of the key
  przebiegi(3, {KLAWISZ_RETURN});   // the key reported held again
  EXPECT_FALSE(menu) << "one press of Return acted twice";
  przebiegi(1);
  wcisnij(KLAWISZ_RETURN);          // released and pressed anew: the list opens
  EXPECT_TRUE(menu);
  EXPECT_EQ(tresc_configu(), zapisany);
}

TEST_F(Zasady, OpcjeZawijajaSiedemLubOsiem) {
  czyszklo = 0;
  elem2 = 2;
  wcisnij(KLAWISZ_RETURN);
  ASSERT_TRUE(menu);
  elem = 1;
  wcisnij(KLAWISZ_GORA);
  EXPECT_EQ(elem, 7);
  wcisnij(KLAWISZ_DOL);
  EXPECT_EQ(elem, 1);

  czyszklo = 1;
  wcisnij(KLAWISZ_GORA);
  EXPECT_EQ(elem, 8);
  wcisnij(KLAWISZ_DOL);
  EXPECT_EQ(elem, 1);
  elem = 7;
  wcisnij(KLAWISZ_DOL);
  EXPECT_EQ(elem, 8);
  // Glass mode toggles at entry 8.
  wcisnij(KLAWISZ_PRAWO);
  EXPECT_EQ(szklo, 1);
  wcisnij(KLAWISZ_ESCAPE);
  EXPECT_FALSE(menu);
  EXPECT_EQ(szklo, 0);
}

}  // namespace

// The piece that ends the game scores after the game over's write: the record it
// sets reaches config.cfg once the score has settled, here as the player quits.
TEST_F(Zasady, RekordZKoncaGryZapisanyPrzedWyjsciem) {
  rekord = 50;
  score = 100;
  koniec_gry();
  ASSERT_GT(rekord, 100);
  char zapisany[16];
  snprintf(zapisany, sizeof zapisany, "%06d\n", rekord);
  EXPECT_NE(tresc_configu().substr(23), zapisany) << "the game over's write already had the record";
  przebieg_z({KLAWISZ_N});
  EXPECT_TRUE(done);
  done = false;
  EXPECT_EQ(tresc_configu(), std::string("640\n480\n16\n1\n1\n1\n0\n0\n0\n1\n") + zapisany);
}
