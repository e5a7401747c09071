// The ghost piece and the landing row it shows: the row computed for a piece
// is the one where the real game locks it with Down held.
#include "zasady.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

}  // namespace
