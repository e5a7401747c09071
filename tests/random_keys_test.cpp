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

    std::string blad = naruszenie_stanu();
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
