// The player's settings: their lines in preferences.cfg, the start of a game
// and the volume of music and sounds.
#include "ustawienia/ustawienia.h"
#include "computer/computer.h"
#include "fsound/fsound.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

int poziom_startu_gry = 1, wiersze_startu_gry = 0;

// ---- The start of a game ----

void ustaw_start(const UstawieniaGracza &u) {
  int poziom = u.poziom < 1 ? 1 : u.poziom > NAJWYZSZY_POZIOM_STARTU ? NAJWYZSZY_POZIOM_STARTU : u.poziom;
  int ile = u.wiersze < 0 ? 0 : u.wiersze > NAJWIECEJ_WIERSZY ? NAJWIECEJ_WIERSZY : u.wiersze;
  int gestosc = u.gestosc < 1 ? 1 : u.gestosc > NAJWIEKSZA_GESTOSC ? NAJWIEKSZA_GESTOSC : u.gestosc;
  // As if the earlier levels had been played: each took 5 off the fall's period.
  level = poziom;
  speed = 50 - 5 * (poziom - 1);
  rozwalone = 0;
  // The bottom rows, each with `gestosc` of its ten cells drawn from the
  // game's own sequence (a partial shuffle of the columns).
  for (int r = 0; r < ile; r++) {
    int y = STUDNIA_WIERSZE - 1 - r;
    int kolumny[10];
    for (int c = 0; c < 10; c++) kolumny[c] = c + 1;
    for (int c = 0; c < gestosc; c++) {
      int j = c + rand() % (10 - c);
      int t = kolumny[c];
      kolumny[c] = kolumny[j];
      kolumny[j] = t;
      studnia[kolumny[c] * STUDNIA_WIERSZE + y] = 1;
    }
  }
}

static bool start_ustalony = false;   // a race set this game's start already

void start_wyscigu(bool z_ustawien) {
  if (z_ustawien && (ustawienia.poziom > 1 || ustawienia.wiersze > 0)) ustaw_start(ustawienia);
  poziom_startu_gry = level;
  wiersze_startu_gry = 0;
  for (int y = 1; y < STUDNIA_WIERSZE; y++)
    for (int c = 1; c <= 10; c++)
      if (studnia[c * STUDNIA_WIERSZE + y]) {
        wiersze_startu_gry++;
        break;
      }
  start_ustalony = true;
}

void poczatek_gry_gracza() {
  static bool szla = false;   // a game ran at the last pass seen here
  bool biegnie = !gameini && !wtopa;
  if (biegnie && !szla && start_ustalony) {
    start_ustalony = false;
  } else if (biegnie && !szla) {
    bool gracza = !komputer_gra;
    poziom_startu_gry = gracza ? ustawienia.poziom : 1;
    wiersze_startu_gry = gracza ? ustawienia.wiersze : 0;
    if (gracza && (ustawienia.poziom > 1 || ustawienia.wiersze > 0)) ustaw_start(ustawienia);
  }
  szla = biegnie;
}

// ---- Volume ----

float wzmocnienie(int krok) {
  if (krok <= 0) return 0.0f;
  if (krok > NAJGLOSNIEJ) krok = NAJGLOSNIEJ;
  return (float)std::pow(10.0, -3.0 * (NAJGLOSNIEJ - krok) / 20.0);
}

bool probka_muzyki(int probka) {
  return probka == SMP_MUSIC_START || probka == SMP_MUSIC_GAME || probka == SMP_MUSIC_GAMEOVER || probka == SMP_OTHER;
}

bool glosnosc_probki(int probka) {
  int krok = probka_muzyki(probka) ? ustawienia.muzyka : ustawienia.dzwieki;
  if (krok <= 0) return false;
  if (probka >= 0 && probka < 40 && muzyka[probka]) FSOUND_Sample_SetGain(muzyka[probka], wzmocnienie(krok));
  return true;
}

void ustaw_glosnosc(int m, int d) {
  bool z_ciszy = ustawienia.muzyka == 0 && m > 0;
  ustawienia.muzyka = m;
  ustawienia.dzwieki = d;
  for (int p = 0; p < LICZBA_PROBEK; p++)
    if (muzyka[p]) FSOUND_Sample_SetGain(muzyka[p], wzmocnienie(probka_muzyki(p) ? m : d));
  if (z_ciszy && gameini) graj(SMP_MUSIC_START);
}
