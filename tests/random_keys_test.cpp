// Thousands of passes with random keys held, through the menu, the options,
// running and paused games and game over: after every pass the falling piece
// stays inside the playing columns, the walls and the hidden row stay whole,
// and every index and flag keeps its range.
#include "zasady.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// What is wrong after a pass, or an empty string.
std::string sprawdz_stan() {
  for (int y = 0; y < 21; y++) {
    if (studnia[0 * 21 + y] != 1) return "left wall, row " + std::to_string(y);
    if (studnia[11 * 21 + y] != 1) return "right wall, row " + std::to_string(y);
  }
  for (int x = 1; x <= 10; x++) {
    if (studnia[x * 21] != 1) return "row 0, column " + std::to_string(x);
    for (int y = 1; y <= 20; y++)
      if (studnia[x * 21 + y] != 0 && studnia[x * 21 + y] != 1)
        return "cell value at " + std::to_string(x) + "," + std::to_string(y);
  }
  if (jaki < 0 || jaki > 11) return "jaki " + std::to_string(jaki);
  if (nastepny < 0 || nastepny > 6) return "nastepny " + std::to_string(nastepny);
  if (bonusk < 0 || bonusk > 3) return "bonusk " + std::to_string(bonusk);
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) {
      if (!klocek[jaki * 16 + i * 4 + j]) continue;
      int x = xk - 1 + i, y = yk + j;
      if (x < 1 || x > 10 || y < 0 || y > 20)
        return "piece " + std::to_string(jaki) + " cell at " + std::to_string(x) + "," +
               std::to_string(y);
    }
  for (int s = 0; s < 12; s++) {
    int ile = 0;
    for (int e = 0; e < 16; e++) {
      if (klocek[s * 16 + e] != 0 && klocek[s * 16 + e] != 1) return "shape value";
      ile += klocek[s * 16 + e];
      int i = e / 4, j = e % 4;
      if (klocek[s * 16 + e] && (i >= ilema[s] || j >= ilema[s])) return "shape outside its box";
    }
    const int komorek[12] = {4, 4, 4, 4, 4, 4, 4, 1, 8, 5, 7, 7};
    if (ile != komorek[s]) return "shape " + std::to_string(s) + " has " + std::to_string(ile);
  }
  if (elem2 < 1 || elem2 > 3) return "elem2 " + std::to_string(elem2);
  if (elem < 1 || elem > liczba_opcji()) return "elem " + std::to_string(elem);
  if (pauza != 0 && pauza != 1) return "pauza";
  if (gameini && pauza) return "the menu is paused";
  if (menu && !gameini) return "options outside the menu";
  if (wtopa && gameini) return "game over in the menu";
  if (rozwalone < 0 || rozwalone > 19) return "rozwalone " + std::to_string(rozwalone);
  if (score < 0) return "score";
  if (czyszklo != 0 && czyszklo != 1) return "czyszklo";
  return "";
}

TEST(LosoweKlawisze, StanZostajePoprawny) {
  uruchom_do_zasad();
  stan_poczatkowy();

  int przebiegow = 5000;
  if (const char *n = getenv("BRIXEL_RANDOM_PASSES")) przebiegow = atoi(n);
  unsigned ziarno = 20240611;
  if (const char *z = getenv("BRIXEL_RANDOM_SEED")) ziarno = (unsigned)strtoul(z, nullptr, 10);
  std::mt19937 los(ziarno);
  std::uniform_real_distribution<double> u(0, 1);
  srand(ziarno);

  // Chances of each key being held in a pass, by state, so that the walk
  // spends a fair time in each: mostly playing, now and then paused, in the
  // menu, on the options list or after game over.
  struct Klawisz {
    int kod;
    double w_menu, w_opcjach, w_grze, w_pauzie, po_koncu;
  };
  const Klawisz klawisze[] = {
      {KLAWISZ_LEWO, 0.2, 0.2, 0.25, 0.25, 0.25},  {KLAWISZ_PRAWO, 0.2, 0.2, 0.25, 0.25, 0.25},
      {KLAWISZ_GORA, 0.2, 0.2, 0.2, 0.2, 0.2},     {KLAWISZ_DOL, 0.2, 0.2, 0.45, 0.3, 0.3},
      {KLAWISZ_P, 0.02, 0.02, 0.008, 0.04, 0.02},  {KLAWISZ_RETURN, 0.08, 0.05, 0.05, 0.05, 0.05},
      {KLAWISZ_ESCAPE, 0.002, 0.015, 0.0004, 0.02, 0.005},
      {KLAWISZ_Y, 0.1, 0.1, 0.1, 0.1, 0.03},       {KLAWISZ_N, 0.01, 0.01, 0.01, 0.01, 0.01}};
  // Each game over writes the settings and re-creates the window (about a
  // second); after a few of them a stack that grows high is swept away.
  const int najwiecej_koncow = 3;
  int koncow = 0;
  int w_menu = 0, w_opcjach = 0, w_grze = 0, w_pauzie = 0, po_koncu = 0, z_pauzy = 0;

  std::vector<Uint8> stan(SDLK_LAST, 0);
  for (int n = 0; n < przebiegow; n++) {
    std::fill(stan.begin(), stan.end(), 0);
    for (const Klawisz &k : klawisze) {
      double szansa = gameini ? (menu ? k.w_opcjach : k.w_menu)
                              : wtopa ? k.po_koncu : pauza ? k.w_pauzie : k.w_grze;
      stan[k.kod] = u(los) < szansa;
    }
    // Return on the options list and on EXIT would re-create the window or end
    // the program; the walk leaves them out.
    if (gameini && (menu || elem2 == 3)) stan[KLAWISZ_RETURN] = 0;

    if (koncow >= najwiecej_koncow && !gameini && !wtopa)
      for (int x = 1; x <= 10; x++)
        if (studnia[x * 21 + 8]) {
          oproznij_studnie();
          break;
        }

    const bool byl_koniec = wtopa;
    const bool byla_pauza = pauza != 0;
    glViewport(0, 0, 4, 4);
    wyczysc_zapis();
    przebieg(stan.data());

    std::string blad = sprawdz_stan();
    ASSERT_EQ(blad, "") << "after pass " << n;
    if (done) {
      ASSERT_TRUE(stan[KLAWISZ_N] && (byl_koniec || wtopa || !gameini))
          << "the quit flag came without N after game over, pass " << n;
      done = false;
    }
    if (wtopa && !byl_koniec) koncow++;
    if (byla_pauza && gameini) z_pauzy++;

    if (gameini && menu) w_opcjach++;
    else if (gameini) w_menu++;
    else if (wtopa) po_koncu++;
    else if (pauza) w_pauzie++;
    else w_grze++;
  }
  // The walk must have seen every state for a fair share of passes.
  if (przebiegow >= 5000) {
    EXPECT_GT(w_menu, 100);
    EXPECT_GT(w_opcjach, 100);
    EXPECT_GT(w_grze, 1000);
    EXPECT_GT(w_pauzie, 100);
    EXPECT_GT(po_koncu, 20);
    EXPECT_GE(koncow, 2);
    EXPECT_GE(z_pauzy, 2) << "games left with Escape while paused";
  }
  wyjscie();
  printf("passes: menu %d, options %d, running %d, paused %d, over %d; game overs %d, "
         "left while paused %d\n",
         w_menu, w_opcjach, w_grze, w_pauzie, po_koncu, koncow, z_pauzy);
}

}  // namespace
