// Soak: many passes of the real program (window, GL, sound library) with
// random keys, checking after every pass that the well's frame is whole, the
// falling piece lies inside the playing columns and the GL is left clean.
//
// BRIXEL_SOAK_PASSES sets the number of passes (default 3000), BRIXEL_SOAK_SEED
// the seed of the key sequence, BRIXEL_SOAK_WIDTH and BRIXEL_SOAK_HEIGHT the
// window (default 640 x 480; a small window makes a long run under the
// sanitizers spend its time in the program rather than in the rasterizer).
#include "harness.h"

#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

long liczba_z_otoczenia(const char *nazwa, long domyslna) {
  const char *v = getenv(nazwa);
  if (!v || !*v) return domyslna;
  char *koniec = nullptr;
  long n = strtol(v, &koniec, 10);
  return (koniec && *koniec == 0 && n > 0) ? n : domyslna;
}

// The first broken rule of the state after a pass, or "" when all hold.
std::string naruszenie() {
  char b[160];
  for (int y = 0; y < STUDNIA_WIERSZE; y++) {
    if (studnia[0 * STUDNIA_WIERSZE + y] == 0 || studnia[11 * STUDNIA_WIERSZE + y] == 0) {
      snprintf(b, sizeof b, "wall cell of row %d is empty", y);
      return b;
    }
  }
  for (int x = 0; x < STUDNIA_KOLUMNY; x++)
    if (studnia[x * STUDNIA_WIERSZE + 0] == 0) {
      snprintf(b, sizeof b, "row 0 is empty in column %d", x);
      return b;
    }
  for (int x = 1; x <= 10; x++)
    for (int y = 1; y <= 20; y++) {
      int v = studnia[x * STUDNIA_WIERSZE + y];
      if (v != 0 && v != 1) {
        snprintf(b, sizeof b, "cell (%d, %d) holds %d", x, y, v);
        return b;
      }
    }
  if (jaki < 0 || jaki > 11 || nastepny < 0 || nastepny > 6) {
    snprintf(b, sizeof b, "shape %d, next %d", jaki, nastepny);
    return b;
  }
  if (!gameini) {
    int n = ilema[jaki];
    for (int i = 0; i < n; i++)
      for (int j = 0; j < n; j++) {
        if (!klocek[jaki * 16 + i * 4 + j]) continue;
        int x = xk - 1 + i, y = yk + j;
        if (x < 1 || x > 10 || y < 0 || y > 20) {
          snprintf(b, sizeof b, "piece %d cell (%d, %d) at column %d row %d", jaki, i, j, x, y);
          return b;
        }
      }
  }
  GLenum blad = glGetError();
  if (blad != GL_NO_ERROR) {
    snprintf(b, sizeof b, "GL error 0x%x", blad);
    return b;
  }
  GLint glebokosc = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &glebokosc);
  if (glebokosc != 1) {
    snprintf(b, sizeof b, "model-view stack depth %d", glebokosc);
    return b;
  }
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &glebokosc);
  if (glebokosc != 1) {
    snprintf(b, sizeof b, "projection stack depth %d", glebokosc);
    return b;
  }
  return "";
}

// A player hammering keys: Down, the moves and Return often, Y after game
// over, rarely P, Escape and N; each key is held for a few passes so that the
// latches see both presses and releases.
struct Gracz {
  std::mt19937 los;
  int trzymany[9] = {0};
  const int kody[9] = {KLAWISZ_DOL, KLAWISZ_LEWO, KLAWISZ_PRAWO, KLAWISZ_GORA, KLAWISZ_RETURN,
                       KLAWISZ_Y, KLAWISZ_P, KLAWISZ_ESCAPE, KLAWISZ_N};
  // Chance per pass, in thousandths, that a key that is up goes down (Escape
  // and N once in a while, rarer than game overs).
  const int szansa[9] = {300, 40, 40, 40, 20, 30, 2, 1, 1};
  explicit Gracz(unsigned seed) : los(seed) {}
  void krok(std::vector<Uint8> &stan) {
    for (int k = 0; k < 9; k++) {
      if (trzymany[k] > 0) {
        trzymany[k]--;
      } else if ((int)(los() % 1000) < szansa[k]) {
        trzymany[k] = 1 + (int)(los() % 6);
      }
      stan[kody[k]] = trzymany[k] > 0 ? 1 : 0;
    }
  }
};

TEST(Soak, RandomKeysKeepTheWellWholeAndThePieceInside) {
  const long przebiegi = liczba_z_otoczenia("BRIXEL_SOAK_PASSES", 3000);
  const unsigned ziarno = (unsigned)liczba_z_otoczenia("BRIXEL_SOAK_SEED", 12345);
  const long szer = liczba_z_otoczenia("BRIXEL_SOAK_WIDTH", 640);
  const long wys = liczba_z_otoczenia("BRIXEL_SOAK_HEIGHT", 480);
  // Low detail, sound on (silent without a device), frame counter shown.
  char konfig[128];
  snprintf(konfig, sizeof konfig, "%ld\n%ld\n16\n0\n1\n1\n1\n0\n0\n1\n000000\n", szer, wys);
  nowy_katalog_roboczy(konfig);
  uruchom_program();
  srand(ziarno);
  Gracz gracz(ziarno);
  std::vector<Uint8> stan(SDLK_LAST, 0);

  long konce_gry = 0, gry = 0;
  int najwyzszy_poziom = 1, najwiecej_wierszy = 0;
  bool byla_wtopa = false, bylo_menu = true;
  for (long i = 0; i < przebiegi; i++) {
    gracz.krok(stan);
    przebieg(stan.data());
    if (done) done = false;   // N and EXIT would end the real loop; the soak goes on
    std::string zle = naruszenie();
    ASSERT_EQ(zle, "") << "after pass " << i + 1 << " of seed " << ziarno;
    if (wtopa && !byla_wtopa) konce_gry++;
    if (bylo_menu && !gameini) gry++;
    byla_wtopa = wtopa;
    bylo_menu = gameini;
    if (level > najwyzszy_poziom) najwyzszy_poziom = level;
    if (calkowite > najwiecej_wierszy) najwiecej_wierszy = calkowite;
    if ((i + 1) % 10000 == 0) {
      printf("soak: %ld passes, %ld games, %ld game overs\n", i + 1, gry, konce_gry);
      fflush(stdout);
    }
  }
  printf("soak: %ld passes, %ld games from the menu, %ld game overs, best level %d, most rows %d\n",
         przebiegi, gry, konce_gry, najwyzszy_poziom, najwiecej_wierszy);
  // The key sequence must have played: games started and ended, so spawning,
  // landing, game over and its window re-creation all ran.
  EXPECT_GT(gry, 0);
  EXPECT_GT(konce_gry, 0);
}

}  // namespace
