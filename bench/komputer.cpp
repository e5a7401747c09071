// The computer player's strength and the cost of its decisions: games of the
// computer's through the real pass (window, GL, sound library; a 4 x 4
// viewport, as the rules do not depend on the picture), one per seed, at the
// game's own speed, each to its game over. For each game: rows, level, score,
// pieces, the special pieces dealt, and what ended it; then the median rows,
// the games past level 6, the highest level, and the time of every decision
// (median and worst, microseconds). The computer does not let go at any level
// here; a game still on at BRIXEL_COMPUTER_ROWS rows (default 1000) is stopped
// there and counted as such.
//
//   brixel_bench_computer [normal|classic|glass] [FIRST_SEED [SEEDS]]   (default normal 1 20)
#include "computer/computer.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"
#include "katalog.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string katalog;

void uruchom(const char *tryb) {
  // 640 x 480, low detail; classic mode and glass mode as asked.
  bool klasyczny = strcmp(tryb, "classic") == 0, szklany = strcmp(tryb, "glass") == 0;
  char cfg[128];
  snprintf(cfg, sizeof cfg, "640\n480\n16\n0\n1\n0\n0\n%d\n%d\n1\n000000\n", klasyczny, szklany);
  katalog = katalog_benchmarku("computer", cfg);
  wystartuj_gre();
}

struct Gra {
  long ziarno;
  int wiersze = 0, poziom = 1, wynik = 0, klocki = 0, specjalne = 0, pojedyncze = 0;
  long long przebiegi = 0;
  int nietrafione = 0;        // locks elsewhere than planned
  bool przerwana = false;     // stopped at the cap, still playing
  std::string koniec;
};

// The height of column c (0 empty).
int wysokosc(int c) {
  for (int r = 1; r <= 20; r++)
    if (studnia[c * 21 + r]) return 21 - r;
  return 0;
}

std::string opis_konca() {
  int najwyzsza = 0, dziury = 0;
  for (int c = 1; c <= 10; c++) {
    najwyzsza = std::max(najwyzsza, wysokosc(c));
    bool pokryta = false;
    for (int r = 1; r <= 20; r++) {
      if (studnia[c * 21 + r]) pokryta = true;
      else if (pokryta) dziury++;
    }
  }
  const char *nazwy[12] = {"square", "skew", "skew'", "hook", "hook'", "bar", "tee", "cell", "ring", "plus", "H", "C"};
  char b[200];
  snprintf(b, sizeof b, "no room for a %s; stack %d high, %d holes, speed %d", nazwy[jaki], najwyzsza, dziury,
           speed);
  return b;
}

// Median, 90th, 99th and 99.9th percentiles, the worst, and how many took
// more than a millisecond.
std::string rozklad(std::vector<double> v) {
  if (v.empty()) return "none";
  std::sort(v.begin(), v.end());
  auto q = [&](double f) { return v[std::min(v.size() - 1, (size_t)(f * (double)v.size()))]; };
  long ponad = (long)(v.end() - std::upper_bound(v.begin(), v.end(), 1000.0));
  char b[200];
  snprintf(b, sizeof b, "median %.0f, p90 %.0f, p99 %.0f, p99.9 %.0f, worst %.0f; %ld over 1 ms", q(0.5), q(0.9),
           q(0.99), q(0.999), v.back(), ponad);
  return b;
}

// Microseconds one plan for the moment c takes, by the clock given.
double czas_decyzji(const Chwila &c, clockid_t zegar = CLOCK_MONOTONIC) {
  timespec a, b;
  clock_gettime(zegar, &a);
  Plan p = zaplanuj(c);
  clock_gettime(zegar, &b);
  if (p.spawny < -2) exit(2);   // keeps the plan from being optimised away
  return (double)(b.tv_sec - a.tv_sec) * 1e6 + (double)(b.tv_nsec - a.tv_nsec) * 1e-3;
}

double mediana(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char **argv) {
  const char *tryb = argc > 1 ? argv[1] : "normal";
  long pierwszy = argc > 2 ? atol(argv[2]) : 1;
  int ile = argc > 3 ? atoi(argv[3]) : 20;
  uruchom(tryb);
  const char *limit = getenv("BRIXEL_COMPUTER_ROWS");
  int najwiecej_wierszy = limit ? atoi(limit) : 1000;
  poziom_puszczenia = 0;
  std::vector<Uint8> k(SDLK_LAST, 0);
  std::vector<Gra> gry;
  std::vector<double> czasy, czasy_cpu, czasy_wlasne;
  // The decision that took the most CPU time, to be timed again alone.
  Chwila najgorsza;
  double najgorsza_cpu = -1;
  for (long z = pierwszy; z < pierwszy + ile; z++) {
    Gra g;
    g.ziarno = z;
    if (!zacznij_gre_komputera(z, false)) {
      fprintf(stderr, "the game of seed %ld did not start\n", z);
      return 2;
    }
    int spawny = -1;
    Plan plan;
    bool jest = false;
    std::vector<int> przed(studnia, studnia + STUDNIA_ROZMIAR);
    long long po_koncu = 0;
    char b[100];
    while (komputer_gra) {
      glViewport(0, 0, 4, 4);
      glScissor(0, 0, 4, 4);
      glEnable(GL_SCISSOR_TEST);
      int bylo = doskull, jaki_przed = jaki, wiersze_przed = calkowite;
      Chwila chwila;
      bool z_chwila = chwila_z_gry(&chwila);
      przebieg(k.data());
      g.przebiegi++;
      if (getenv("BRIXEL_COMPUTER_PROGRESS") && g.przebiegi % 20000 == 0)
        fprintf(stderr, "seed %ld: %lld passes, level %d, rows %d\n", z, g.przebiegi, level, calkowite);
      double t, t_cpu;
      if (czas_planu(&t, &t_cpu)) {
        czasy.push_back(t);
        czasy_cpu.push_back(t_cpu);
        if (z_chwila) {
          // The same decision twice more, on the moment the pass began with:
          // the best of the three is what it costs, whatever the machine
          // took from this thread meanwhile.
          double najlepszy = t;
          for (int i = 0; i < 2; i++) najlepszy = std::min(najlepszy, czas_decyzji(chwila));
          czasy_wlasne.push_back(najlepszy);
          if (t_cpu >= najgorsza_cpu) {
            najgorsza_cpu = t_cpu;
            najgorsza = chwila;
          }
        }
      }
      if (!wtopa && doskull != bylo) {
        g.klocki++;
        g.specjalne += jaki >= 8;
        // The lock just made against the plan: the cells it added (unless
        // rows removed in the same pass moved others).
        if (jest && spawny == bylo && jaki_przed != 7 && calkowite == wiersze_przed) {
          int dodane = 0, trafione = 0, komorek = 0;
          for (int i = 0; i < STUDNIA_ROZMIAR; i++) dodane += studnia[i] && !przed[i];
          for (int i = 0; i < 4; i++)
            for (int j = 0; j < 4; j++) {
              int e = (plan.koniec.x - 1 + i) * 21 + plan.koniec.y + j;
              if (!plan.koniec.ksztalt[i * 4 + j]) continue;
              komorek++;
              trafione += e >= 0 && e < STUDNIA_ROZMIAR && studnia[e] && !przed[e];
            }
          if (dodane != komorek || trafione != komorek) g.nietrafione++;
        }
      }
      if (jaki == 7 && jaki_przed != 7 && !wtopa) g.pojedyncze++;
      jest = plan_komputera(&plan);
      spawny = plan.spawny;
      przed.assign(studnia, studnia + STUDNIA_ROZMIAR);
      if (!wtopa && calkowite >= najwiecej_wierszy) {
        snprintf(b, sizeof b, "still playing at %d rows: stopped there", calkowite);
        g.koniec = b;
        g.wiersze = calkowite;
        g.poziom = level;
        g.wynik = score;
        g.przerwana = true;
        zakoncz_gre_komputera();
        break;
      }
      if (wtopa) {
        if (po_koncu == 0) g.koniec = opis_konca();
        // The score has settled after 200 passes; the 3 s on screen are not waited.
        if (++po_koncu > 250) zakoncz_gre_komputera();
      }
    }
    Nagranie n;
    if (!g.przerwana && ostatnie_nagranie(&n)) {
      g.wiersze = n.wiersze;
      g.poziom = n.poziom;
      g.wynik = n.wynik;
    }
    printf("seed %2ld: rows %4d  level %2d  score %6d  pieces %4d  specials %2d  cells %2d  passes %7lld  "
           "missed %d  %s\n",
           g.ziarno, g.wiersze, g.poziom, g.wynik, g.klocki, g.specjalne, g.pojedyncze, g.przebiegi, g.nietrafione,
           g.koniec.c_str());
    fflush(stdout);
    gry.push_back(g);
  }
  std::vector<double> wiersze;
  int po_szostym = 0, najwyzszy = 0;
  for (const Gra &g : gry) {
    wiersze.push_back(g.wiersze);
    po_szostym += g.wiersze >= 100;
    najwyzszy = std::max(najwyzszy, g.poziom);
  }
  printf("%s mode, %zu games: median rows %.1f, %d past level 6 (100 rows), highest level %d\n", tryb, gry.size(),
         mediana(wiersze), po_szostym, najwyzszy);
  printf("%zu decisions, microseconds by the clock: %s\n", czasy.size(), rozklad(czasy).c_str());
  printf("the same in the thread's CPU time:  %s\n", rozklad(czasy_cpu).c_str());
  printf("each decision's own cost, the best of three timings by the clock: %s\n", rozklad(czasy_wlasne).c_str());
  if (najgorsza_cpu >= 0) {
    // The costliest decision again, 50 times over: what it costs itself, apart
    // from what the machine did meanwhile.
    std::vector<double> znowu;
    for (int i = 0; i < 50; i++) znowu.push_back(czas_decyzji(najgorsza, CLOCK_THREAD_CPUTIME_ID));
    printf("the costliest decision (shape %d, speed %d) again, 50 times: %s\n", najgorsza.s, najgorsza.speed,
           rozklad(znowu).c_str());
  }
  wyjscie();
  for (const char *p : {"gfx", "sfx", "music", "config.cfg", "computer.rec"}) unlink((katalog + "/" + p).c_str());
  if (chdir("/") == 0) rmdir(katalog.c_str());
  return 0;
}
