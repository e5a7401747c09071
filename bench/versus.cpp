// Versus: the computer's three strengths, and what a race's frame costs.
//
// Strengths: for each of EASY, MEDIUM and HARD, 20 races (seeds 1 to 20) in
// normal mode through the real pass, the opponent's game at the game's own
// speed (one pass of it per pass of yours, eight once your idle game is over),
// its letting go switched off, each to its game over or BRIXEL_VERSUS_ROWS
// rows (default 1000). A table a strength: rows, level, score of each game,
// then the median rows.
//
// Cost: frames of the main loop (pass, extra passes, buffer swap, without its
// 5 ms sleep) in an 800 x 600 window, blocks of 200 frames of a game alone and
// of a race against HARD from the same seed taken in turn, side by side;
// the median frame of each and their ratio.
//
//   brixel_bench_versus [strengths|cost|all] [SEEDS]
#include "versus/versus.h"
#include "computer/computer.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"
#include "katalog.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double teraz_us() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e6 + (double)t.tv_nsec * 1e-3;
}

double mediana(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::vector<Uint8> k(SDLK_LAST, 0);

void klatka() {
  przebieg(k.data());
  for (int n = dodatkowe_przebiegi(); n > 0 && !done; n--) przebieg(k.data());
}

void sily(int ile, int najwiecej) {
  poziom_puszczenia = 0;
  const char *jedna = getenv("BRIXEL_VERSUS_STRENGTH");   // 0, 1 or 2: that strength alone
  for (int s = 0; s < LICZBA_SIL; s++) {
    if (jedna && atoi(jedna) != s) continue;
    std::vector<double> wiersze;
    printf("%s\n| Seed | Rows | Level | Score |\n|---|---|---|---|\n", nazwy_sil[s]);
    // BRIXEL_VERSUS_FROM=N: seeds N to the last only (a table finished in parts).
    const char *od = getenv("BRIXEL_VERSUS_FROM");
    for (int z = od ? atoi(od) : 1; z <= ile; z++) {
      Przeciwnik p;
      p.sila = s;
      std::string blad;
      if (!zacznij_wyscig(p, z, false, &blad)) {
        fprintf(stderr, "race of seed %d: %s\n", z, blad.c_str());
        exit(2);
      }
      int w = 0, l = 1, r = 0;
      // Right held: your idle game ends soon and the opponent then runs eight passes a frame.
      k[KLAWISZ_PRAWO] = 1;
      while (wyscig && !przeciwnik_skonczyl()) {
        glViewport(0, 0, 4, 4);
        pauza = 0;   // another window taking the focus must not pause the race
        klatka();
        liczby_przeciwnika(&w, &l, &r);
        if (r >= najwiecej) break;
      }
      liczby_przeciwnika(&w, &l, &r);
      przerwij_wyscig();
      k[KLAWISZ_PRAWO] = 0;
      for (int i = 0; i < 3; i++) przebieg(k.data());
      printf("| %d | %d | %d | %d |\n", z, r, l, w);
      fflush(stdout);
      wiersze.push_back(r);
    }
    printf("%s: median rows %.1f over %d seeds\n\n", nazwy_sil[s], mediana(wiersze), ile);
  }
}

// A game alone, from the menu, seeded as the race's.
void zacznij_sama(long z) {
  srand((unsigned)z);
  nastepny = rand() % 7;
  gameini = false;
  kloc = false;
}

void koszt() {
  poziom_puszczenia = 16;
  std::vector<double> sama, race;
  const int BLOK = 200, BLOKI = 10;
  for (int b = 0; b < BLOKI; b++) {
    for (int tryb = 0; tryb < 2; tryb++) {
      std::string blad;
      Przeciwnik p;
      p.sila = SILA_PELNA;
      if (tryb == 0) zacznij_sama(b + 1);
      else if (!zacznij_wyscig(p, b + 1, false, &blad)) exit(2);
      for (int i = 0; i < BLOK; i++) {
        double t0 = teraz_us();
        klatka();
        SDL_GL_SwapBuffers();
        glFinish();
        (tryb ? race : sama).push_back(teraz_us() - t0);
      }
      if (tryb) przerwij_wyscig();
      else ucieczka_z_gry();
      for (int i = 0; i < 3; i++) przebieg(k.data());
    }
  }
  double a = mediana(sama), r = mediana(race);
  printf("frame of a game alone: median %.0f us; of a race against HARD: median %.0f us; ratio %.2f\n", a, r,
         r / a);
  printf("with the main loop's 5 ms sleep: %.0f us and %.0f us; ratio %.2f\n", a + 5000, r + 5000,
         (r + 5000) / (a + 5000));
}

}  // namespace

int main(int argc, char **argv) {
  const char *co = argc > 1 ? argv[1] : "all";
  int ile = argc > 2 ? atoi(argv[2]) : 20;
  const char *limit = getenv("BRIXEL_VERSUS_ROWS");
  std::string katalog = katalog_benchmarku("versus", "800\n600\n16\n1\n0\n1\n0\n0\n0\n1\n000000\n");
  wystartuj_gre();
  if (strcmp(co, "cost") != 0) sily(ile, limit ? atoi(limit) : 1000);
  if (strcmp(co, "strengths") != 0) koszt();
  wyjscie();
  for (const char *p : {"gfx", "sfx", "music", "config.cfg", "best.txt", "versus.txt", "preferences.cfg"})
    unlink((katalog + "/" + p).c_str());
  if (system(("rm -rf " + katalog + "/recordings").c_str()) != 0) {}
  if (chdir("/") == 0) rmdir(katalog.c_str());
  return 0;
}
