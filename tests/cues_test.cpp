// Which samples start and stop, pass by pass: start-up, a game started and
// left, landings, rows, turns, scrapes, child mode, message endings, the
// record, the alarm, the light, the skull, game over, the options keys, the
// glass variants and the Music option.
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
#include <string>
#include <vector>

namespace {

// A square resting on the floor locks by gravity; the next square has no room.
void ustaw_koniec_gry() {
  gra(0, 2, 19);
  speed = 0;
  for (int y = 2; y <= 20; y++) pole(5, y) = 1;
  nastepny = 0;
}

std::vector<std::string> wywolania_startu;

class Dzwiek : public TestZasad<9> {
 protected:
  static void SetUpTestSuite() {
    TestZasad::SetUpTestSuite();
    wywolania_startu = wywolania_dzwieku;
  }
};

TEST_F(Dzwiek, StartProgramu) {
  const char *pliki[28] = {
      "explosion", "intarget", "rotate", "new", "level", "impressive", "perfect", "godlike",
      "delete", "laugh", "gameover", "drag", "alarm", "record", "combo", "music/start",
      "music/game", "music/gameover", "trythislaugh", "other", "panic", "children",
      "greetings", "bells", "breath", "glass", "glasshit", "glassrub"};
  std::vector<std::string> oczekiwane = {"init"};
  for (const char *p : pliki) oczekiwane.push_back(std::string("load ") + p);
  oczekiwane.push_back("loop music/game");
  oczekiwane.push_back("loop other");
  oczekiwane.push_back("play greetings");
  oczekiwane.push_back("play music/start");
  EXPECT_EQ(wywolania_startu, oczekiwane);
}

TEST_F(Dzwiek, GraYIEscape) {
  elem2 = 1;
  EXPECT_EQ(przebieg_z({KLAWISZ_RETURN}), (Dzwieki{"STOP", "music/game"}));
  EXPECT_EQ(przebieg_z(), (Dzwieki{"new", "laugh"}));

  // Game over cuts the cues of its own pass.
  ustaw_koniec_gry();
  EXPECT_EQ(przebieg_z(),
            (Dzwieki{"explosion", "explosion", "new", "STOP", "music/gameover", "gameover"}));
  ASSERT_TRUE(wtopa);
  EXPECT_TRUE(przebieg_z().empty()) << "the game-over screen is silent";

  EXPECT_EQ(przebieg_z({KLAWISZ_Y}), (Dzwieki{"STOP", "music/game"}));
  EXPECT_EQ(przebieg_z(), (Dzwieki{"new", "laugh"}));

  // Escape from a running game: the title music, then the menu's spawn.
  EXPECT_EQ(przebieg_z({KLAWISZ_ESCAPE}), (Dzwieki{"STOP", "music/start"}));
  EXPECT_EQ(przebieg_z(), (Dzwieki{"new", "laugh"}));
  EXPECT_TRUE(przebieg_z().empty());
}

TEST_F(Dzwiek, LadowanieWierszeObrotySzuranie) {
  // The ring of eight lands on the floor under its three bottom cells.
  gra(8, 6, 18);
  speed = 0;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"explosion", "explosion", "explosion", "new"}));

  // Two rows at once.
  stan_poczatkowy();
  gra(0, 6, 3);
  pelny_wiersz(20);
  pelny_wiersz(19);
  EXPECT_EQ(przebieg_z(), (Dzwieki{"intarget", "intarget"}));

  // A turn, a turn refused, a scrape, a slide in the air, a cell in the top row.
  stan_poczatkowy();
  gra(6, 6, 10);
  EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate"}));
  gra(5, 10, 10);
  EXPECT_TRUE(wcisnij(KLAWISZ_GORA).empty());
  gra(0, 6, 19);
  EXPECT_EQ(wcisnij(KLAWISZ_LEWO), (Dzwieki{"drag"}));
  gra(0, 6, 10);
  EXPECT_TRUE(wcisnij(KLAWISZ_LEWO).empty());
  pole(9, 1) = 1;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"delete"}));

  // The Down key runs the same contact test: two cells, two sounds, then a lock.
  klasyczny = 1;
  gra(0, 6, 19);
  EXPECT_EQ(wcisnij(KLAWISZ_DOL), (Dzwieki{"explosion", "explosion", "new"}));
}

TEST_F(Dzwiek, SiodmyObrotICzyscGlosow) {
  gra(6, 6, 10);
  rotations = 6;
  EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate", "STOP", "other", "children"}));
  EXPECT_TRUE(childmode);
}

TEST_F(Dzwiek, KonceWiadomosci) {
  const char *probki[6] = {"level", "impressive", "perfect", "godlike", "combo", "trythislaugh"};
  for (int rodzaj = 0; rodzaj < 6; rodzaj++) {
    stan_poczatkowy();
    gra(0, 6, 3);
    musi = true;
    dzwiek = rodzaj;
    dodzwieku = rodzaj == 5 ? 118 : 159;
    EXPECT_TRUE(przebieg_z().empty()) << "kind " << rodzaj;
    EXPECT_EQ(przebieg_z(), (Dzwieki{probki[rodzaj]})) << "kind " << rodzaj;
    EXPECT_TRUE(przebieg_z().empty()) << "kind " << rodzaj;
  }
}

TEST_F(Dzwiek, RekordPierwszychPunktow) {
  gra(0, 6, 19);
  rekord = 0;
  speed = 0;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"explosion", "explosion", "new", "record"}));
  EXPECT_EQ(rekord, 1);
}

TEST_F(Dzwiek, LicznikAlarmu) {
  gra(0, 6, 3);
  pole(3, 4) = 1;
  std::vector<int> kiedy;
  for (int n = 1; n <= 340; n++)
    if (ile_razy(przebieg_z(), "alarm") > 0) kiedy.push_back(n);
  EXPECT_EQ(kiedy, (std::vector<int>{31, 183, 335}));

  // Not while paused, and not once row 4 is empty.
  pauza = 1;
  przebiegi(200);
  pauza = 0;
  pole(3, 4) = 0;
  wyczysc_zapis();
  przebiegi(200);
  EXPECT_EQ(ile_razy(zagrane(), "alarm"), 0);
}

TEST_F(Dzwiek, SwiatloGasnieIWraca) {
  gra(0, 6, 3);
  yzbi = 3395;
  wyczysc_zapis();
  przebiegi(5);
  EXPECT_TRUE(light);
  EXPECT_TRUE(zagrane().empty());
  EXPECT_EQ(przebieg_z(), (Dzwieki{"bells"}));
  EXPECT_FALSE(light);
  EXPECT_FLOAT_EQ(LightDiffuse[0], 0.01f);
  wyczysc_zapis();
  przebiegi(50);
  EXPECT_TRUE(zagrane().empty()) << "the bells ring once";

  // One row: still dark. Two rows more: back below 2500, silently.
  pelny_wiersz(20);
  przebiegi(1);
  EXPECT_FALSE(light);
  pelny_wiersz(20);
  pelny_wiersz(19);
  EXPECT_EQ(przebieg_z(), (Dzwieki{"intarget", "intarget"}));
  EXPECT_TRUE(light);
  EXPECT_FLOAT_EQ(LightDiffuse[0], 1.0f);
}

TEST_F(Dzwiek, Czaszka) {
  gra(0, 6, 3);
  doskull = 249;
  kloc = false;   // the next pass spawns the 250th piece
  EXPECT_EQ(przebieg_z(), (Dzwieki{"new", "laugh", "breath"}));
  wyczysc_zapis();
  przebiegi(49);
  EXPECT_TRUE(czyskull) << "the skull shows for 51 passes";
  przebiegi(1);
  EXPECT_FALSE(czyskull);
  przebiegi(20);
  EXPECT_EQ(ile_razy(zagrane(), "breath"), 0);
}

TEST_F(Dzwiek, KlawiszeOpcji) {
  elem2 = 2;
  EXPECT_TRUE(wcisnij(KLAWISZ_RETURN).empty()) << "opening the options is silent";
  ASSERT_TRUE(menu);
  for (int i = 0; i < 3; i++) EXPECT_EQ(wcisnij(KLAWISZ_DOL), (Dzwieki{"rotate"}));
  ASSERT_EQ(elem, 4);
  EXPECT_TRUE(wcisnij(KLAWISZ_LEWO).empty());
  EXPECT_EQ(czymuza, 0);
  EXPECT_TRUE(wcisnij(KLAWISZ_GORA).empty()) << "with music off nothing sounds";
  EXPECT_TRUE(wcisnij(KLAWISZ_DOL).empty());
  EXPECT_EQ(wcisnij(KLAWISZ_PRAWO), (Dzwieki{"rotate"}));
  EXPECT_EQ(czymuza, 1);
  EXPECT_TRUE(wcisnij(KLAWISZ_ESCAPE).empty()) << "leaving the options is silent";
  EXPECT_FALSE(menu);
}

TEST_F(Dzwiek, SzkloZamieniaTrzyProbki) {
  szklo = 1;
  gra(8, 6, 18);
  speed = 0;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"glasshit", "glasshit", "glasshit", "new"}));

  stan_poczatkowy();
  szklo = 1;
  gra(0, 6, 3);
  pelny_wiersz(20);
  pelny_wiersz(19);
  pole(9, 1) = 1;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"delete", "glass", "glass"}));

  gra(7, 4, 20);   // the single cell on the floor collapses its column
  speed = 0;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"glasshit", "glass", "new"}));

  gra(0, 6, 19);
  speed = 100000;
  EXPECT_EQ(wcisnij(KLAWISZ_PRAWO), (Dzwieki{"glassrub"}));
  gra(6, 6, 10);
  EXPECT_EQ(wcisnij(KLAWISZ_GORA), (Dzwieki{"rotate"}));
}

TEST_F(Dzwiek, BezMuzykiTylkoZatrzymania) {
  czymuza = 0;
  elem2 = 1;
  przebiegi(1, {KLAWISZ_RETURN});
  przebiegi(1);
  ASSERT_FALSE(gameini);
  ustaw_koniec_gry();
  rekord = 0;
  przebiegi(1);
  ASSERT_TRUE(wtopa);
  przebiegi(1, {KLAWISZ_Y});
  przebiegi(1);
  gra(6, 6, 10);
  rotations = 6;
  przebiegi(1, {KLAWISZ_GORA});
  przebiegi(1);
  ASSERT_TRUE(childmode);
  musi = true;
  dzwiek = 1;
  dodzwieku = 160;
  przebiegi(1);
  ASSERT_FALSE(childmode);
  przebiegi(1, {KLAWISZ_ESCAPE});
  przebiegi(1);
  ASSERT_TRUE(gameini);
  // Every start was gated; the stops of GAME, game over, Y, child mode on
  // and off, and Escape all happened.
  EXPECT_EQ(zagrane(), (Dzwieki{"STOP", "STOP", "STOP", "STOP", "STOP", "STOP"}));
}

}  // namespace
