// The ghost piece and the landing row it shows: the row computed for a piece
// is the one where the real game locks it with Down held; the ghost's key and
// pad button in and out of a game, its bindings and its line in
// preferences.cfg; the rules, the sounds and the recording the same with the
// ghost and its key as without, and a replay with the ghost on ends as
// recorded. (Its picture is in ghost_view_test.)
#include "zasady.h"
#include "fsound_zapis.h"
#include "computer/computer.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace {

class Ladowanie : public TestZasad<29> {};

// Random wells of holes and overhangs under rows 6 to 20, no row full (a full
// row would be removed under the falling piece); every shape at every column
// where it fits at row anchor 1: the computed landing row against the row
// anchor at which Down held locks the piece.
TEST_F(Ladowanie, WierszLadowaniaToWierszZablokowaniaDolem) {
  srand(2029);
  int sprawdzone = 0;
  for (int proba = 0; proba < 15; proba++) {
    for (int s = 0; s < 12; s++) {
      for (int x = -1; x <= 11; x++) {
        stan_poczatkowy();
        klasyczny = 1;   // no special piece replaces the next one
        for (int y = 6; y <= 20; y++) {
          int gestosc = rand() % 90;
          for (int c = 1; c <= 10; c++) pole(c, y) = rand() % 100 < gestosc;
          pole(1 + rand() % 10, y) = 0;
        }
        gra(s, x, 1);
        if (spoczywa(studnia, &klocek[s * 16], ilema[s], x, 0)) continue;   // no room at row anchor 1
        bool miesci = true;
        for (int i = 0; i < ilema[s]; i++)
          for (int j = 0; j < ilema[s]; j++)
            if (klocek[s * 16 + i * 4 + j] && komorka(x - 1 + i, 1 + j)) miesci = false;
        if (!miesci) continue;
        int oczekiwany = wiersz_ladowania_klocka();
        int przed = yk;
        for (int n = 0; n < 25 && yk >= przed; n++) {
          przed = yk;
          przebiegi(1, {KLAWISZ_DOL});
        }
        ASSERT_EQ(przed, oczekiwany) << "shape " << s << " at column anchor " << x << ", try " << proba;
        sprawdzone++;
      }
    }
  }
  EXPECT_GT(sprawdzone, 800);
}

class Duch : public TestZasad<28> {
 protected:
  void SetUp() override {
    TestZasad::SetUp();
    remove(PLIK_PREFERENCJI);
    wczytaj_preferencje();
  }
  void TearDown() override {
    remove(PLIK_PREFERENCJI);
    czytaj_preferencje("", 0, stderr);
    zapomnij_pady();
  }
  static std::string plik() {
    std::ifstream f(PLIK_PREFERENCJI, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // A pad button held for two passes, then let go.
  static void przycisk(int b) {
    SDL_Event e = {};
    e.type = SDL_JOYBUTTONDOWN;
    e.jbutton.button = (Uint8)b;
    zdarzenie_pada(e);
    przebiegi(2);
    e.type = SDL_JOYBUTTONUP;
    zdarzenie_pada(e);
    przebiegi(1);
  }
};

// G switches the ghost in a game, paused or not, once per press however long
// held, and never where no game runs; the pass's keys never hold it; the file
// keeps the player's lines and is read back at the next start.
TEST_F(Duch, KlawiszWGrzeIPauzieZapisanyWPreferencjach) {
  std::ofstream(PLIK_PREFERENCJI, std::ios::binary) << "# mine\r\nleft = a\n";
  wczytaj_preferencje();
  EXPECT_FALSE(duch_wlaczony) << "on without ghost = yes";
  gra(0, 5, 3);
  przebiegi(4, {KLAWISZ_DUCHA});
  EXPECT_EQ(keys[KLAWISZ_DUCHA], 0) << "G reached the pass's keys";
  EXPECT_TRUE(duch_wlaczony);
  EXPECT_EQ(plik(), "# mine\r\nleft = a\nghost = yes\n");
  przebiegi(1);
  wcisnij(KLAWISZ_P);
  ASSERT_EQ(pauza, 1);
  wcisnij(KLAWISZ_DUCHA);
  EXPECT_FALSE(duch_wlaczony) << "G did nothing in the pause";
  EXPECT_EQ(plik(), "# mine\r\nleft = a\nghost = no\n");
  EXPECT_EQ(pauza, 1);

  // The menu, the options list and game over: nothing. G held from the menu
  // into a game waits for a new press.
  for (int stan = 0; stan < 3; stan++) {
    stan_poczatkowy();
    menu = stan == 1;
    if (stan == 2) {
      gra(0, 5, 3);
      wtopa = true;
    }
    wcisnij(KLAWISZ_DUCHA);
    EXPECT_FALSE(duch_wlaczony) << "state " << stan;
  }
  stan_poczatkowy();
  przebiegi(1, {KLAWISZ_DUCHA});
  gra(0, 5, 3);
  przebiegi(2, {KLAWISZ_DUCHA});
  EXPECT_FALSE(duch_wlaczony) << "G held from the menu acted";
  przebiegi(1);
  wcisnij(KLAWISZ_DUCHA);
  EXPECT_TRUE(duch_wlaczony);

  std::ofstream(PLIK_PREFERENCJI, std::ios::binary | std::ios::trunc) << "ghost = yes\nghost = g\n";
  wczytaj_preferencje();
  EXPECT_TRUE(duch_wlaczony) << "ghost = yes not read at start";
  EXPECT_EQ(akcja_wejscia[KLAWISZ_DUCHA], AKCJA_DUCH);
}

// The ghost's key and a pad's X, as bound: G and X switch it while bound to
// nothing else, and yield to another binding without a complaint; a key or
// button bound to ghost switches it and the defaults stop.
TEST_F(Duch, PrzypisaniaKlawiszaIPada) {
  const int X = 2, Y = 3;   // pad buttons, in both orders
  struct {
    const char *plik;
    int klawisz, przycisk;   // the key or pad button pressed; -1 none
    bool przelacza, pauzuje;
  } przypadki[] = {
      {"", KLAWISZ_DUCHA, -1, true, false},
      {"", -1, X, true, false},
      {"ghost = h\n", SDLK_h, -1, true, false},
      {"ghost = h\n", KLAWISZ_DUCHA, -1, false, false},
      {"pause = g, p\n", KLAWISZ_DUCHA, -1, false, true},
      {"pause = pad x\n", -1, X, false, true},
      {"ghost = pad y\n", -1, Y, true, false},
      {"ghost = pad y\n", -1, X, false, false},
  };
  for (auto &p : przypadki) {
    SCOPED_TRACE(std::string(p.plik) + " key " + std::to_string(p.klawisz) + " button " + std::to_string(p.przycisk));
    ASSERT_EQ(czytaj_preferencje(p.plik, strlen(p.plik), stderr), 0);
    stan_poczatkowy();
    gra(0, 5, 3);
    przebiegi(1);
    if (p.klawisz >= 0) wcisnij(p.klawisz);
    else przycisk(p.przycisk);
    EXPECT_EQ(duch_wlaczony, p.przelacza);
    EXPECT_EQ(pauza, p.pauzuje ? 1 : 0);
  }
  // In the menu a pad's X lets the computer play and leaves the ghost alone.
  czytaj_preferencje("", 0, stderr);
  stan_poczatkowy();
  przycisk(X);
  EXPECT_FALSE(duch_wlaczony);
  EXPECT_TRUE(komputer_gra);
  zakoncz_gre_komputera();
}

// The same game played twice from the same seed and keys, once with the ghost
// off, once on and switched by G all along: every pass's state, every sound
// and the recording are the same. That recording replayed with the ghost on
// (and G pressed while watching) ends pass for pass as it was played.
TEST_F(Duch, GraNagranieIPowtorkaTakieSameZDuchem) {
  std::mt19937 los(28);
  std::vector<std::vector<int>> klawisze;
  for (int p = 0; p < 900; p++) {
    std::vector<int> k;
    for (int kod : {KLAWISZ_GORA, KLAWISZ_DOL, KLAWISZ_LEWO, KLAWISZ_PRAWO})
      if (los() % 4 == 0) k.push_back(kod);
    klawisze.push_back(k);
  }
  std::vector<Uint8> k(SDLK_LAST);
  auto pas = [&](const std::vector<int> &wcisniete, bool g) {
    std::fill(k.begin(), k.end(), 0);
    for (int kod : wcisniete) k[kod] = 1;
    k[KLAWISZ_DUCHA] = g;
    glViewport(0, 0, 4, 4);
    przebieg(k.data());
  };
  std::vector<std::vector<long long>> stany[2];
  Dzwieki dzwieki[2];
  Nagranie nagranie[2];
  for (int z_duchem = 0; z_duchem < 2; z_duchem++) {
    przygotuj_test(2028);
    rekord = 999999;
    duch_wlaczony = z_duchem;
    elem2 = 1;
    pas({KLAWISZ_RETURN}, false);   // the game starts: its next pass is the first recorded
    wyczysc_zapis();
    for (size_t p = 0; p < klawisze.size() && !wtopa; p++) {
      pas(klawisze[p], z_duchem && p % 7 < 2);
      stany[z_duchem].push_back(stan_gry());
    }
    dzwieki[z_duchem] = zagrane();
    ASSERT_TRUE(biezace_nagranie(&nagranie[z_duchem]));
    pas({KLAWISZ_ESCAPE}, false);
  }
  ASSERT_EQ(stany[0].size(), stany[1].size());
  for (size_t p = 0; p < stany[0].size(); p++) ASSERT_EQ(stany[0][p], stany[1][p]) << "pass " << p;
  EXPECT_EQ(dzwieki[0], dzwieki[1]);
  ASSERT_EQ(nagranie[1].przebiegi, (long long)stany[1].size());
  // The keys of every pass (the start differs by the particles' sizes left
  // from the first game, which no pass draws on until a row bursts).
  auto klawisze_nagrania = [](const Nagranie &n) {
    std::string t = tekst_nagrania(n);
    return t.substr(t.find("\nkeys\n"));
  };
  EXPECT_EQ(klawisze_nagrania(nagranie[0]), klawisze_nagrania(nagranie[1]));

  duch_wlaczony = true;
  ASSERT_TRUE(zacznij_odtwarzanie(nagranie[1], false));
  size_t rozne = 0;
  bool oczekiwany = true;
  for (size_t p = 0; p < stany[1].size(); p++) {
    bool g = p % 11 >= 5 && p % 11 < 8;
    oczekiwany ^= p % 11 == 5;
    pas({}, g);
    rozne += stan_gry() != stany[1][p];
  }
  EXPECT_EQ(rozne, 0u) << "passes of the replay that differ";
  EXPECT_EQ(duch_wlaczony, oczekiwany) << "G while watching";
  zakoncz_odtwarzanie();
}

}  // namespace
