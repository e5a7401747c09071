// Bonuses, messages and the record, pass by pass: rows at once, the combo of
// particle bursts, the award for twenty messages, the record, the glass-mode
// unlock, classic mode and the end of child mode.
#include "zasady.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Runs passes until a message ends; returns how many it took (at most limit).
int do_konca_wiadomosci(int limit) {
  int n = 0;
  while (musi && n < limit) {
    przebiegi(1);
    n++;
  }
  return n;
}

class Premie : public TestZasad<5> {};

TEST_F(Premie, CzteryWierszeNaRaz) {
  for (int y = 17; y <= 20; y++) pelny_wiersz(y);
  gra(0, 6, 3);
  const float przed = lookupdown;
  przebiegi(1);
  EXPECT_EQ(score, 240);
  EXPECT_TRUE(musi);
  EXPECT_EQ(dzwiek, 2);
  // The camera nods by 2 degrees (its easing moves it at most 0.05 a pass)
  // and is taken back at the message's fourth frame.
  EXPECT_NEAR(lookupdown - przed, 2.0f, 0.06f);
  przebiegi(2);
  const float po_trzech = lookupdown;
  przebiegi(1);
  EXPECT_NEAR(lookupdown - po_trzech, -2.0f, 0.06f);

  wyczysc_zapis();
  przebiegi(156);   // 160 passes shown
  EXPECT_TRUE(musi);
  EXPECT_EQ(ile_razy(zagrane(), "perfect"), 0);
  EXPECT_EQ(przebieg_z(), (Dzwieki{"perfect"}));
  EXPECT_FALSE(musi);
  EXPECT_EQ(bonuses, 1);
}

TEST_F(Premie, TrzyIPiecWierszy) {
  // Three rows: BONUS 100.
  for (int y = 18; y <= 20; y++) pelny_wiersz(y);
  gra(0, 6, 3);
  przebiegi(1);
  EXPECT_EQ(score, 130);
  EXPECT_EQ(dzwiek, 1);

  // Three rows that complete a level: 30 points and the level message.
  stan_poczatkowy();
  for (int y = 18; y <= 20; y++) pelny_wiersz(y);
  gra(0, 6, 3);
  rozwalone = 18;
  przebiegi(1);
  EXPECT_EQ(score, 30);
  EXPECT_EQ(dzwiek, 0);
  wyczysc_zapis();
  EXPECT_EQ(do_konca_wiadomosci(400), 160);
  EXPECT_EQ(ile_razy(zagrane(), "level"), 1);
  EXPECT_EQ(bonuses, 1);

  // Five rows completed by one single cell collapsing its column: BONUS 1000.
  stan_poczatkowy();
  for (int y = 16; y <= 20; y++)
    for (int x = 1; x <= 10; x++)
      if (x != 3) pole(x, y) = 1;
  pole(3, 5) = pole(3, 8) = pole(3, 10) = pole(3, 12) = 1;
  gra(7, 4, 2);
  speed = 0;
  for (int n = 0; n < 20 && calkowite == 0; n++) przebiegi(1);
  EXPECT_EQ(calkowite, 5);
  EXPECT_EQ(score, 1050);
  EXPECT_EQ(dzwiek, 3);
  EXPECT_EQ(pole(3, 12), 0) << "the column's cells went into its stack";
}

TEST_F(Premie, ComboZastepujeBonus200) {
  gra(0, 6, 3);
  for (int seria = 1; seria <= 3; seria++) {
    pelny_wiersz(20);
    przebiegi(25);
    EXPECT_EQ(combo, 10 * seria);
  }
  EXPECT_EQ(score, 30);
  // The fourth burst comes from four rows: BONUS 200 starts first.
  for (int y = 17; y <= 20; y++) pelny_wiersz(y);
  wyczysc_zapis();
  przebiegi(1);
  EXPECT_EQ(dzwiek, 2);
  EXPECT_EQ(score, 270);
  przebiegi(19);
  EXPECT_EQ(combo, 30);
  EXPECT_EQ(dzwiek, 2);
  // The 21st pass: the burst ends and the combo pays at its first ending.
  przebiegi(1);
  EXPECT_EQ(score, 770);
  EXPECT_EQ(dzwiek, 4);
  EXPECT_EQ(dodzwieku, 1);
  EXPECT_EQ(combo, 9) << "the other nine endings start the next count";
  EXPECT_EQ(do_konca_wiadomosci(400), 160);
  Dzwieki d = zagrane();
  EXPECT_EQ(ile_razy(d, "combo"), 1);
  EXPECT_EQ(ile_razy(d, "perfect"), 0);
  EXPECT_EQ(bonuses, 1);
}

TEST_F(Premie, ComboTylkoW399Klatkach) {
  for (int czas_przed : {399, 400}) {
    stan_poczatkowy();
    gra(0, 6, 3);
    combo = 30;
    dodajczas = true;
    pelny_wiersz(20);
    przebiegi(20);
    czas = czas_przed;   // the clock as the burst ends
    przebiegi(1);
    if (czas_przed == 399) {
      EXPECT_EQ(score, 510);
      EXPECT_EQ(dzwiek, 4);
      EXPECT_TRUE(musi);
    } else {
      EXPECT_EQ(score, 10);
      EXPECT_FALSE(musi);
      EXPECT_EQ(combo, 0) << "the clock ran out in the same pass";
    }
  }
}

TEST_F(Premie, DwudziestaWiadomoscINagroda) {
  // In the menu too: the timers and the award run in every state.
  rekord = 999999;
  bonuses = 19;
  musi = true;
  dzwiek = 0;
  dodzwieku = 160;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"level"}));
  EXPECT_EQ(bonuses, 20);
  EXPECT_FALSE(musi);
  EXPECT_EQ(score, 0);
  przebiegi(1);
  EXPECT_EQ(bonuses, 0);
  EXPECT_TRUE(musi);
  EXPECT_EQ(dzwiek, 5);
  EXPECT_EQ(score, 750);
  wyczysc_zapis();
  EXPECT_EQ(do_konca_wiadomosci(400), 119);
  EXPECT_EQ(zagrane(), (Dzwieki{"trythislaugh"}));
  EXPECT_EQ(bonuses, 0) << "this message does not count toward the next twenty";

  // Classic mode gives no award.
  klasyczny = 1;
  bonuses = 25;
  przebiegi(2);
  EXPECT_EQ(bonuses, 25);
  EXPECT_EQ(score, 750);
}

TEST_F(Premie, RekordRazNaGre) {
  gra(0, 6, 3);
  rekord = 5000;
  score = 5000;
  EXPECT_TRUE(przebieg_z().empty());
  score = 5001;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"record"}));
  EXPECT_EQ(rekord, 5001);
  score = 5100;
  EXPECT_TRUE(przebieg_z().empty());
  EXPECT_EQ(rekord, 5100);

  // Leave with Escape and start a new game: it sounds again.
  przebiegi(1, {KLAWISZ_ESCAPE});
  przebiegi(1);
  EXPECT_EQ(rekord, 5100);
  elem2 = 1;
  przebiegi(1, {KLAWISZ_RETURN});
  przebiegi(1);
  ASSERT_FALSE(gameini);
  score = 5101;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"record"}));
}

TEST_F(Premie, OdblokowanieSzkla) {
  gra(0, 6, 3);
  czyszklo = 0;
  score = 10000;
  przebiegi(1);
  EXPECT_EQ(czyszklo, 0);
  EXPECT_EQ(pepper, 0);
  score = 10001;
  przebiegi(1);
  EXPECT_EQ(czyszklo, 1);
  EXPECT_EQ(pepper, 219);   // 220, shown once in the same pass
  przebiegi(1);
  EXPECT_EQ(pepper, 218);
  pepper = 0;
  score = 30000;
  przebiegi(1);
  EXPECT_EQ(pepper, 0) << "the notice shows only once";

  // Neither in classic mode, nor paused, nor in the menu.
  for (int stan = 0; stan < 3; stan++) {
    stan_poczatkowy();
    gra(0, 6, 3);
    czyszklo = 0;
    score = 20000;
    if (stan == 0) klasyczny = 1;
    if (stan == 1) pauza = 1;
    if (stan == 2) gameini = true;
    przebiegi(1);
    EXPECT_EQ(czyszklo, 0) << "state " << stan;
    EXPECT_EQ(pepper, 0) << "state " << stan;
  }
}

TEST_F(Premie, TrybKlasycznyComboPoCichu) {
  klasyczny = 1;
  gra(0, 6, 3);
  combo = 30;
  dodajczas = true;
  pelny_wiersz(20);
  wyczysc_zapis();
  przebiegi(21);
  EXPECT_EQ(score, 510);
  EXPECT_EQ(combo, 9);
  przebiegi(200);
  EXPECT_EQ(dodzwieku, 0) << "the message timers are off";
  EXPECT_EQ(ile_razy(zagrane(), "combo"), 0);
  EXPECT_EQ(bonuses, 0);

  // Four rows at once: the row points only.
  for (int y = 17; y <= 20; y++) pelny_wiersz(y);
  przebiegi(1);
  EXPECT_EQ(score, 550);
}

TEST_F(Premie, KoniecTrybuDziecka) {
  const char *probki[5] = {"level", "impressive", "perfect", "godlike", "combo"};
  for (int rodzaj = 0; rodzaj < 5; rodzaj++) {
    stan_poczatkowy();
    gra(0, 6, 3);
    musi = true;
    dzwiek = rodzaj;
    dodzwieku = 160;
    // Without child mode only the message's own sample.
    EXPECT_EQ(przebieg_z(), (Dzwieki{probki[rodzaj]}));
    childmode = true;
    musi = true;
    dodzwieku = 160;
    EXPECT_EQ(przebieg_z(), (Dzwieki{probki[rodzaj], "STOP", "music/game", "panic"}));
    EXPECT_FALSE(childmode);
  }
  // "A LOT OF BONUSES!" running out leaves child mode on.
  stan_poczatkowy();
  gra(0, 6, 3);
  childmode = true;
  musi = true;
  dzwiek = 5;
  dodzwieku = 119;
  EXPECT_EQ(przebieg_z(), (Dzwieki{"trythislaugh"}));
  EXPECT_TRUE(childmode);
  EXPECT_FALSE(musi);
}

}  // namespace
