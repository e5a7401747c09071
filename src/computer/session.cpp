// A game of the computer's in the room. It starts as the menu's GAME entry
// starts a game, after the watcher's state has been kept aside; each pass the
// watcher's keys are read (Escape, Right, P) and the computer's put in their
// place, so the recorder records the computer's keys as a player's. Escape
// reaches the rules as a player's Escape would (the recorder then keeps a
// finished game and drops one left running); the pass after, or 3 s after a
// game over once the recording is done, the watcher's state comes back whole:
// the record, the glass unlock, the shapes' turns, the random generator.
#include "computer/computer.h"
#include "versus/versus.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

bool komputer_gra = false;
int poziom_puszczenia = 16;
const char *const PLIK_KOMPUTERA = "computer.rec";

static bool z_wiersza = false;        // the program ends with the game
static bool demo_zadane = false;      // --demo was given
static long ziarno_demo = -1;         // and its seed; -1 none
static std::vector<std::pair<std::string, std::string>> stan_widza;   // put back at the end
static bool szybko = false;           // Right is held
static bool byl_f3 = false, byl_escape = false;   // the watcher's keys last pass
static bool wychodzi = false;         // Escape went to the rules: the menu comes back next
static bool zaczyna = false;          // F3 was pressed: the game starts next pass
static bool po_grze = false;          // game over seen
static Uint32 koniec_pokazu = 0;      // when the ended game leaves the screen (SDL ticks)
static bool nagranie_gotowe = false;  // the recorder has finished the game
static int wynik[3];                  // its score, level and rows then
static Plan plan;
static bool jest_plan = false;
static double czas_us = -1, czas_cpu_us = -1;   // the time of this pass's plan; -1 none

static const Uint32 POKAZ_KONCA_MS = 3000;
static const int PRZEBIEGI_NA_KLATKE = 8;   // with Right held

bool zacznij_gre_komputera(long ziarno, bool z_polecenia) {
  if (komputer_gra || odtwarzanie || !gameini || menu) return false;
  stan_widza = zrzut_stanu();
  komputer_gra = true;
  z_wiersza = z_polecenia;
  wychodzi = po_grze = nagranie_gotowe = szybko = jest_plan = false;
  if (ziarno >= 0) {
    // As the start-up draws the first shape.
    srand((unsigned)ziarno);
    nastepny = rand() % 7;
  }
  // As the menu's GAME entry starts a game.
  gameini = false;
  kloc = false;
  zatrzymaj();
  graj(SMP_MUSIC_GAME);
  return true;
}

void zakoncz_gre_komputera() {
  if (!komputer_gra) return;
  if (z_wiersza && nagranie_gotowe) {
    printf("score %d level %d rows %d\n", wynik[0], wynik[1], wynik[2]);
    fflush(stdout);
  }
  komputer_gra = false;
  szybko = jest_plan = false;
  zatrzymaj();
  przywroc_stan(stan_widza, true);
  graj(SMP_MUSIC_START);
  if (z_wiersza) done = true;
}

int przebiegi_komputera() { return komputer_gra && szybko ? PRZEBIEGI_NA_KLATKE - 1 : 0; }

bool zachowaj_nagranie_komputera(const std::string &tresc) {
  if (!komputer_gra) return false;
  nagranie_gotowe = true;
  wynik[0] = score;
  wynik[1] = level;
  wynik[2] = calkowite;
  if (!tresc.empty() && !zapisz_plik_atomowo(PLIK_KOMPUTERA, tresc.data(), (int)tresc.size()))
    fprintf(stderr, "brixel: cannot write %s: %s\n", PLIK_KOMPUTERA, strerror(errno));
  return true;
}

static bool puszcza() { return poziom_puszczenia > 0 && level >= poziom_puszczenia; }

static double teraz_us(clockid_t zegar) {
  timespec t;
  clock_gettime(zegar, &t);
  return (double)t.tv_sec * 1e6 + (double)t.tv_nsec * 1e-3;
}

void klawisze_komputera(Uint8 *k) {
  czas_us = czas_cpu_us = -1;
  Chwila c;
  if (!chwila_z_gry(&c)) {
    // Nothing to steer (a pause, a spawn, the single cell to come): the plan
    // is made again from what there is next.
    jest_plan = false;
    return;
  }
  int kl = jest_plan && plan_aktualny(plan, c) ? klawisze_planu(c, plan) : -1;
  if (kl < 0) {
    double t0 = teraz_us(CLOCK_MONOTONIC), p0 = teraz_us(CLOCK_THREAD_CPUTIME_ID);
    plan = zaplanuj(c);
    czas_cpu_us = teraz_us(CLOCK_THREAD_CPUTIME_ID) - p0;
    czas_us = teraz_us(CLOCK_MONOTONIC) - t0;
    jest_plan = true;
    kl = klawisze_planu(c, plan);
  }
  if (kl < 0) return;
  k[KLAWISZ_DOL] = (kl & KOMP_DOL) != 0;
  k[KLAWISZ_GORA] = (kl & KOMP_GORA) != 0;
  k[KLAWISZ_LEWO] = (kl & KOMP_LEWO) != 0;
  k[KLAWISZ_PRAWO] = (kl & KOMP_PRAWO) != 0;
}

void pas_komputera(Uint8 *k) {
  bool f3 = k[SDLK_F3] != 0, esc = k[KLAWISZ_ESCAPE] != 0;
  bool nowy_f3 = f3 && !byl_f3, nowy_escape = esc && !byl_escape;
  byl_f3 = f3;
  byl_escape = esc;
  if (!komputer_gra) {
    // The pass of F3 stays the menu's (the recorder drops there what a game
    // left with Escape was recording); the game starts with the next.
    bool start = zaczyna && zacznij_gre_komputera(-1, false);
    zaczyna = nowy_f3 && gameini && !menu && !odtwarzanie;
    if (zaczyna) memset(k, 0, SDLK_LAST);
    if (!start) return;
  }
  if (wychodzi || gameini) {
    zakoncz_gre_komputera();
    memset(k, 0, SDLK_LAST);
    return;
  }
  szybko = k[KLAWISZ_PRAWO] != 0;
  Uint8 p = k[KLAWISZ_P];
  memset(k, 0, SDLK_LAST);
  if (nowy_escape) {
    k[KLAWISZ_ESCAPE] = 1;
    wychodzi = true;
    if (z_wiersza && !nagranie_gotowe) fputs("brixel: the demo was stopped\n", stderr);
    return;
  }
  // The watcher may pause (leaving the window pauses too, and P resumes).
  k[KLAWISZ_P] = p;
  if (!wtopa) {
    // Past its last level the pieces fall as they come, and the game ends.
    if (!puszcza()) klawisze_komputera(k);
    return;
  }
  if (!po_grze) {
    po_grze = true;
    koniec_pokazu = SDL_GetTicks() + POKAZ_KONCA_MS;
  }
  if (nagranie_gotowe && SDL_GetTicks() >= koniec_pokazu) {
    zakoncz_gre_komputera();
    memset(k, 0, SDLK_LAST);
  }
}

void napis_komputera() {
  napisy_wyscigu();
  if (!komputer_gra || gameini) return;
  // Across the top of the well, where the pieces come in: with the backing
  // the replay's and the ghost's lines have.
  napis_z_podkladem(10, height - 110, puszcza() ? "COMPUTER LETS GO" : "COMPUTER PLAYS", 0, 0.2f, 1.0f, 0.2f);
  napis_z_podkladem(10, 80, "RIGHT:FAST ESC:MENU", 0, 1.0f, 0.85f, 0.0f);
}

bool plan_komputera(Plan *p) {
  if (!jest_plan) return false;
  *p = plan;
  return true;
}

bool czas_planu(double *zegar_us, double *procesor_us) {
  *zegar_us = czas_us;
  *procesor_us = czas_cpu_us;
  return czas_us >= 0;
}

int ziarno_z_wiersza_polecen(int argc, char **argv, int *i, const char *slowo, long *ziarno) {
  const char *s = *i + 1 < argc ? argv[*i + 1] : nullptr;
  if (!s || *s < '0' || *s > '9') return 0;
  char *koniec = nullptr;
  errno = 0;
  unsigned long long z = strtoull(s, &koniec, 10);
  if (errno != 0 || *koniec != '\0' || z > UINT_MAX) {
    fprintf(stderr, "brixel: %s takes a seed from 0 to %u, not %s\n", slowo, UINT_MAX, s);
    return -1;
  }
  *ziarno = (long)z;
  (*i)++;
  return 1;
}

int slowo_demo(int argc, char **argv, int *i) {
  if (strcmp(argv[*i], "--demo") != 0) return 0;
  demo_zadane = true;
  // No seed: a game as random as any.
  return ziarno_z_wiersza_polecen(argc, argv, i, "--demo", &ziarno_demo) < 0 ? -1 : 1;
}

bool demo_z_wiersza() { return demo_zadane; }

void zacznij_demo() {
  if (demo_zadane) zacznij_gre_komputera(ziarno_demo, true);
}
