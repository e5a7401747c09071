// Soak: many passes of the real program (window, GL, sound library) with
// random keys, checking after every pass that the well's frame is whole, the
// falling piece lies inside the playing columns and the GL is left clean.
//
// BRIXEL_SOAK_PASSES sets the number of passes (default 5000), BRIXEL_SOAK_SEED
// the seed of the key sequence, BRIXEL_SOAK_WIDTH and BRIXEL_SOAK_HEIGHT the
// window (default 640 x 480; a small window makes a long run under the
// sanitizers spend its time in the program rather than in the rasterizer).
#include "harness.h"

#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
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

// Every second game, nine pieces in ten are steered instead, the way a simple
// player thinks:
// every turn and column is tried by dropping the piece in a copy of the well,
// and the best landing wins (deep, few holes under it, full rows); it is then
// reached by single presses (every move key is latched, so a press is followed
// by a pass with the keys up) and Down. Rows fill and burst this way, bonuses
// come and levels rise; the random player alone only piles pieces in the
// middle and never clears a row.
struct Ulozenie {
  int obroty = 0, kolumna = 6;
};

Ulozenie najlepsze_ulozenie(std::mt19937 &los) {
  const int n = ilema[jaki];
  int ksztalt[16];
  for (int k = 0; k < 16; k++) ksztalt[k] = klocek[jaki * 16 + k];
  Ulozenie najlepsze;
  long najlepszy_wynik = -1000000;
  for (int r = 0; r < 4; r++) {
    for (int x = -2; x <= 12; x++) {
      auto pasuje = [&](int y) {
        for (int i = 0; i < n; i++)
          for (int j = 0; j < n; j++)
            if (ksztalt[i * 4 + j] && komorka(x - 1 + i, y + j)) return false;
        return true;
      };
      if (!pasuje(yk)) continue;
      int y = yk;
      while (pasuje(y + 1)) y++;
      long wynik = 0;
      int kolumny[STUDNIA_KOLUMNY] = {0};
      for (int i = 0; i < n; i++)
        for (int j = 0; j < n; j++)
          if (ksztalt[i * 4 + j]) {
            wynik += y + j;
            kolumny[x - 1 + i] = std::max(kolumny[x - 1 + i], y + j);
          }
      for (int c = 1; c <= 10; c++)
        for (int d = kolumny[c] + 1; kolumny[c] && d <= 20 && !komorka(c, d); d++) wynik -= 4;
      for (int w = 1; w <= 20; w++) {
        bool pelny = true;
        for (int c = 1; c <= 10 && pelny; c++) {
          bool kawalek = false;
          for (int i = 0; i < n; i++)
            for (int j = 0; j < n; j++)
              if (ksztalt[i * 4 + j] && x - 1 + i == c && y + j == w) kawalek = true;
          pelny = kawalek || komorka(c, w);
        }
        if (pelny) wynik += 10;
      }
      wynik = wynik * 8 + (long)(los() % 8);
      if (wynik > najlepszy_wynik) {
        najlepszy_wynik = wynik;
        najlepsze.obroty = r;
        najlepsze.kolumna = x;
      }
    }
    int obrocony[16] = {0};
    for (int i = 0; i < n; i++)
      for (int j = 0; j < n; j++) obrocony[i * 4 + j] = ksztalt[j * 4 + (n - 1 - i)];
    for (int k = 0; k < 16; k++) ksztalt[k] = obrocony[k];
  }
  return najlepsze;
}

struct Celownik {
  std::mt19937 los;
  bool celuje = false;
  bool gra_sterowana = false, w_grze = false;  // this game is steered; a game is on
  int gry = 0;
  int kolumna = 0, obroty = 0, kroki = 0, ostatni_yk = 0;
  bool puszczone = false;  // this pass releases the keys
  explicit Celownik(unsigned seed) : los(seed ^ 0x5eed) {}
  void krok(std::vector<Uint8> &stan) {
    if (gameini || wtopa) {
      celuje = false;
      w_grze = false;
      ostatni_yk = 0;
      return;
    }
    if (!w_grze) {
      w_grze = true;
      gra_sterowana = ++gry % 2 == 0;
    }
    if (!gra_sterowana) return;
    if (yk < ostatni_yk || (!celuje && kroki == 0 && yk == 0)) {
      celuje = los() % 10 != 0;
      Ulozenie u = najlepsze_ulozenie(los);
      obroty = u.obroty;
      kolumna = u.kolumna;
      kroki = 0;
    }
    ostatni_yk = yk;
    if (!celuje) return;
    for (int k : {KLAWISZ_LEWO, KLAWISZ_PRAWO, KLAWISZ_GORA, KLAWISZ_DOL}) stan[k] = 0;
    puszczone = !puszczone;
    if (puszczone) return;
    // A blocked move or turn would be pressed for ever: give up after 40.
    if (++kroki > 40 || (obroty == 0 && xk == kolumna)) {
      stan[KLAWISZ_DOL] = 1;
    } else if (obroty > 0) {
      stan[KLAWISZ_GORA] = 1;
      obroty--;
    } else {
      stan[xk < kolumna ? KLAWISZ_PRAWO : KLAWISZ_LEWO] = 1;
    }
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
  Celownik celownik(ziarno);
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
