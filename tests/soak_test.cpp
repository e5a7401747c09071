// Soak: many passes of the real program (window, GL, sound library) with
// random keys, checking after every pass that the well's frame is whole, the
// falling piece lies inside the playing columns and the GL is left clean.
//
// BRIXEL_SOAK_PASSES sets the number of passes (default 5000), BRIXEL_SOAK_SEED
// the seed of the key sequence, BRIXEL_SOAK_WIDTH and BRIXEL_SOAK_HEIGHT the
// window (default 640 x 480; a small window makes a long run under the
// sanitizers spend its time in the program rather than in the rasterizer).
#include "harness.h"

#include "computer/computer.h"
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

// The first broken rule after a pass: the game state's, then the GL's (no
// error, matrix stacks back at their bottom), or "" when all hold.
std::string naruszenie() {
  std::string zle = naruszenie_stanu();
  if (!zle.empty()) return zle;
  char b[160];
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
  // Chance per pass, in ten-thousandths, that a key that is up goes down
  // (Escape and N once in a while, rarer than game overs).
  const int szansa[9] = {3000, 400, 400, 400, 200, 300, 20, 2, 2};
  explicit Gracz(unsigned seed) : los(seed) {}
  void krok(std::vector<Uint8> &stan) {
    for (int k = 0; k < 9; k++) {
      if (trzymany[k] > 0) {
        trzymany[k]--;
      } else if ((int)(los() % 10000) < szansa[k]) {
        trzymany[k] = 1 + (int)(los() % 6);
      }
      stan[kody[k]] = trzymany[k] > 0 ? 1 : 0;
    }
  }
};

// Every second game is steered by the computer player: its keys replace the
// random Down, Up, Left and Right (the others stay random), so rows fill and
// burst, bonuses come and levels rise; the random player alone only piles
// pieces in the middle and never clears a row.
struct Celownik {
  bool gra_sterowana = false, w_grze = false;  // this game is steered; a game is on
  int gry = 0;
  void krok(std::vector<Uint8> &stan) {
    if (gameini || wtopa) {
      w_grze = false;
      return;
    }
    if (!w_grze) {
      w_grze = true;
      gra_sterowana = ++gry % 2 == 0;
    }
    if (gra_sterowana) klawisze_komputera(stan.data());
  }
};

TEST(Soak, RandomKeysKeepTheWellWholeAndThePieceInside) {
  const long przebiegi = liczba_z_otoczenia("BRIXEL_SOAK_PASSES", 5000);
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
  Celownik celownik;
  std::vector<Uint8> stan(SDLK_LAST, 0);

  long konce_gry = 0, gry = 0;
  int najwyzszy_poziom = 1, najwiecej_wierszy = 0;
  bool byla_wtopa = false, bylo_menu = true;
  for (long i = 0; i < przebiegi; i++) {
    gracz.krok(stan);
    celownik.krok(stan);
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
  // landing, game over and its window re-creation all ran, and rows burst.
  EXPECT_GT(gry, 0);
  EXPECT_GT(konce_gry, 0);
  EXPECT_GT(najwiecej_wierszy, 0);
}

}  // namespace
