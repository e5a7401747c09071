// The player options through the real pass: the start level's fall against the
// same level reached by play, the pre-filled rows and their exact replay, keys
// bound and refused on the screen with preferences.cfg's bytes, and volume 0.
#include "zasady.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"
#include "ustawienia/ustawienia.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

class Ustawienia : public TestZasad<7> {
 protected:
  void TearDown() override {
    remove(PLIK_PREFERENCJI);
    czytaj_preferencje("", 0, stderr);   // the settings back to their defaults too
  }
};

// Passes between the second and third steps down of the falling piece.
int przebiegi_na_wiersz() {
  int y = yk, zmian = 0, od = 0;
  for (int p = 1; p < 500; p++) {
    przebiegi(1);
    if (yk == y) continue;
    y = yk;
    if (++zmian == 2) od = p;
    if (zmian == 3) return p - od;
  }
  return -1;
}

TEST_F(Ustawienia, PoziomStartuSpadaJakPoziomZagrany) {
  for (int poziom : {1, 5, 10}) {
    SCOPED_TRACE(poziom);
    // Reached by play: full rows, the rules' own level-ups.
    stan_poczatkowy();
    start_gry();
    while (level < poziom && calkowite < 200) {
      pelny_wiersz(20);
      przebiegi(1);
    }
    ASSERT_EQ(level, poziom);
    int zagrany = przebiegi_na_wiersz();
    // Started there from the options.
    stan_poczatkowy();
    ustawienia.poziom = poziom;
    start_gry();
    EXPECT_EQ(level, poziom);
    EXPECT_NE(jaki, 7) << "the level's single cell was dealt";
    int wybrany = przebiegi_na_wiersz();
    printf("level %d: %d passes a row started there, %d reached by play\n", poziom, wybrany, zagrany);
    EXPECT_EQ(wybrany, zagrany);
    // Twenty rows later, the next level.
    for (int r = 1; r <= 20; r++) {
      pelny_wiersz(20);
      przebiegi(1);
      ASSERT_EQ(level, r < 20 ? poziom : poziom + 1) << "row " << r;
    }
    ucieczka_z_gry();
    ustawienia.poziom = 1;
  }
}

TEST_F(Ustawienia, WypelnioneWierszeIDokladnaPowtorka) {
  const int przypadki[][2] = {{12, 9}, {3, 1}, {6, 5}};   // rows, density
  std::vector<int> poprzednia;
  for (auto &p : przypadki) {
    SCOPED_TRACE(p[0]);
    stan_poczatkowy();
    srand(p[1]);
    ustawienia.wiersze = p[0];
    ustawienia.gestosc = p[1];
    start_gry();
    for (int y = 1; y <= 20; y++) {
      int ile = 0;
      for (int x = 1; x <= 10; x++) ile += pole(x, y);
      EXPECT_EQ(ile, y > 20 - p[0] ? p[1] : 0) << "row " << y;
    }
    // The recording's first state holds them; a replay gives every pass again.
    std::vector<std::vector<long long>> stany;
    for (int i = 0; i < 600 && !wtopa; i++, stany.push_back(stan_gry()))
      przebiegi(1, {i % 3 ? (i % 7 ? KLAWISZ_PRAWO : KLAWISZ_GORA) : i % 40 < 20 ? KLAWISZ_DOL : KLAWISZ_LEWO});
    Nagranie n;
    ASSERT_TRUE(biezace_nagranie(&n));
    ucieczka_z_gry();
    przebiegi(1);
    ustawienia = UstawieniaGracza();   // the replay goes by its recording alone
    ASSERT_TRUE(zacznij_odtwarzanie(n, false));
    przebiegi(1);   // the game's first pass, the one start_gry() ended with
    int zle = 0;
    for (auto &s : stany) {
      przebiegi(1);
      zle += stan_gry() != s;
    }
    EXPECT_EQ(zle, 0) << "of " << stany.size();
    // Each start drew its own cells.
    std::vector<int> komorki(studnia, studnia + STUDNIA_ROZMIAR);
    EXPECT_NE(komorki, poprzednia);
    poprzednia = komorki;
    // Escape ends the replay, and leaves the screen of best games it goes back to.
    przebiegi(1, {KLAWISZ_ESCAPE});
    przebiegi(1);
    przebiegi(1, {KLAWISZ_ESCAPE});
  }
}

std::string plik(std::string s = "") {
  czytaj_plik(PLIK_PREFERENCJI, &s, 1 << 16);
  return s;
}

void kolejno(std::initializer_list<int> klawisze) {
  for (int k : klawisze) wcisnij(k);
}

// On the screen: KEYS, the action `nizej` lines down the list, Return, then the key.
void przypisz_na_ekranie(int nizej, int klawisz) {
  kolejno({SDLK_F5, KLAWISZ_GORA, KLAWISZ_PRAWO});
  for (int i = 0; i < nizej; i++) wcisnij(KLAWISZ_DOL);
  kolejno({KLAWISZ_RETURN, klawisz, KLAWISZ_ESCAPE});   // Escape: back from the key list
}

TEST_F(Ustawienia, KlawiszPrzypisanyNaEkranieIOdmowy) {
  const std::string przed = "# mine\r\nup = w, up\n  window = maybe\nstart level = 3";
  std::ofstream(PLIK_PREFERENCJI, std::ios::binary) << przed;
  wczytaj_preferencje();
  ASSERT_EQ(ustawienia.poziom, 3);
  // Up bound to Down: Down still moves down, so it is refused and nothing is written.
  przypisz_na_ekranie(0, KLAWISZ_DOL);
  ASSERT_TRUE(ekran_ustawien);
  przebiegi(3, {KLAWISZ_RETURN});   // held on: it saves, and starts no game
  przebiegi(1);
  EXPECT_FALSE(ekran_ustawien);
  EXPECT_TRUE(gameini);
  EXPECT_EQ(plik(), przed);
  EXPECT_EQ(akcja_wejscia[KLAWISZ_DOL], -1);
  // Left bound to A, the start level taken to 4: two lines changed or added, every other byte kept.
  przypisz_na_ekranie(2, SDLK_a);
  kolejno({KLAWISZ_DOL, KLAWISZ_PRAWO, KLAWISZ_RETURN});   // from KEYS round to START LEVEL
  EXPECT_EQ(plik(), "# mine\r\nup = w, up\n  window = maybe\nstart level = 4\nleft = a\n");
  // Escape leaves without saving.
  kolejno({SDLK_F5, KLAWISZ_PRAWO, KLAWISZ_ESCAPE});
  EXPECT_EQ(ustawienia.poziom, 4);
  // A acts in a game; Left no longer does.
  start_gry();
  EXPECT_EQ(level, 4);
  przebiegi(50);
  int x = xk;
  wcisnij(SDLK_a);
  EXPECT_EQ(xk, x - 1);
  wcisnij(KLAWISZ_LEWO);
  EXPECT_EQ(xk, x - 1);
}

TEST_F(Ustawienia, GlosnoscZeroNieGra) {
  const int przypadki[][2] = {{0, 0}, {0, 6}, {6, 0}, {1, 1}};   // music, sound
  for (auto &p : przypadki) {
    SCOPED_TRACE(p[0] * 100 + p[1]);
    stan_poczatkowy();
    ustaw_glosnosc(p[0], p[1]);
    wyczysc_zapis();
    start_gry();
    przebiegi(30);
    Dzwieki d = zagrane(), obrot = wcisnij(KLAWISZ_GORA);   // the start's music, a turn's sound
    d.insert(d.end(), obrot.begin(), obrot.end());
    int muzyki = 0, dzwiekow = 0;
    for (const std::string &z : d) (z.rfind("music/", 0) == 0 ? muzyki : dzwiekow) += z != "STOP";
    EXPECT_EQ(muzyki > 0, p[0] > 0);
    EXPECT_EQ(dzwiekow > 0, p[1] > 0);
    ucieczka_z_gry();
  }
  ustaw_glosnosc(NAJGLOSNIEJ, NAJGLOSNIEJ);
}

}  // namespace
