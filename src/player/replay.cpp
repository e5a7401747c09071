// Watching a recording in the room. The first replay pass keeps the watcher's
// state aside and puts the recorded start in its place; every pass then runs
// the real rules on the recorded keys and flags, so the picture and the sounds
// are the original's. When the passes are spent the game stands as it ended;
// it stays on screen a moment (Return or Escape end that), then the watcher's
// state comes back: the record, the glass unlock, the modes and the random
// generator as they were, and nothing written (the game over of a replay skips
// the settings write and the new window). Right held runs eight passes a
// frame; Escape stops the replay.
#include "player/player.h"
#include "computer/computer.h"
#include "versus/versus.h"
#include "game/game.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"
#include "wideo/wideo.h"

#include <cstdio>
#include <cstring>

bool odtwarzanie = false;

static Nagranie odtwarzane;
static bool z_wiersza = false;       // the program ends with the replay
static bool poczatek = false;        // the next pass is the replay's first
static size_t seria = 0;             // run of the next pass
static unsigned w_serii = 0;         // passes of that run already replayed
static long long odtworzone = 0;
static std::vector<std::pair<std::string, std::string>> stan_widza;   // put back at the end
static bool szybko = false;          // the speed-up key is held
static bool po_grze = false;         // the recorded passes are spent
static Uint32 koniec_pokazu = 0;     // when the ended game leaves the screen (SDL ticks)
static bool byl_return = false, byl_escape = false;   // the watcher's keys last pass

// How long the ended game stays on screen.
static const Uint32 POKAZ_KONCA_MS = 3000;
static const int PRZEBIEGI_NA_KLATKE = 8;   // with the speed-up key held

bool zacznij_odtwarzanie(const Nagranie &n, bool z_polecenia) {
  if (odtwarzanie || !przywroc_stan(n.stan, false)) return false;
  odtwarzane = n;
  z_wiersza = z_polecenia;
  poczatek = true;
  odtwarzanie = true;
  return true;
}

long long przebiegi_odtworzone() { return odtworzone; }

int dodatkowe_przebiegi() {
  if (int w = przebiegi_wideo(); w >= 0) return w;
  przebiegi_przeciwnika();
  return odtwarzanie && szybko && !po_grze ? PRZEBIEGI_NA_KLATKE - 1 : przebiegi_komputera();
}

// The record as the last game over's write stored it; -1 before one.
static int zapisany_rekord = -1;

void zapis_konca_gry() {
  // Neither a replay nor a game of the computer's stores anything.
  if (!odtwarzanie && !komputer_gra) {
    zmiany_opcji();
    zapisany_rekord = rekord;
    return;
  }
  // What the new window would have done to the keyboard.
  klawiatura_niepewna = 2;
}

void zapis_po_ustaleniu() {
  // The game over's write comes before that pass's points reach the record,
  // and the last rows' particles and messages may still score: a record that
  // rose since then is written now, so that quitting does not lose it.
  if (odtwarzanie || komputer_gra || zapisany_rekord < 0 || rekord <= zapisany_rekord) return;
  if (zapisz_ustawienia()) zapisany_rekord = rekord;
  else fputs("Cannot write config.cfg: the new record is not saved.\n", stderr);
}

void zakoncz_odtwarzanie() {
  if (!odtwarzanie) return;
  odtwarzanie = false;
  szybko = false;
  zatrzymaj();
  if (!poczatek) przywroc_stan(stan_widza, true);
  poczatek = false;
  graj(SMP_MUSIC_START);
  if (z_wiersza) done = true;
  else powrot_na_ekran();
}

// The ended game against the recording's own account of it.
static void koniec_gry_odtworzonej() {
  po_grze = true;
  koniec_pokazu = SDL_GetTicks() + POKAZ_KONCA_MS;
  bool zgodny = score == odtwarzane.wynik && level == odtwarzane.poziom && calkowite == odtwarzane.wiersze;
  if (z_wiersza) {
    printf("score %d level %d rows %d\n", score, level, calkowite);
    fflush(stdout);
  }
  if (!zgodny) {
    char komunikat[200];
    snprintf(komunikat, sizeof komunikat,
             "brixel: the replay ended on score %d level %d rows %d, the recorded game on score %d level %d rows "
             "%d\n",
             score, level, calkowite, odtwarzane.wynik, odtwarzane.poziom, odtwarzane.wiersze);
    if (z_wiersza) zakoncz_z_bledem(komunikat);
    fputs(komunikat, stderr);
  }
}

void pas_odtwarzania(Uint8 *k) {
  bool ret = k[KLAWISZ_RETURN] != 0, esc = k[KLAWISZ_ESCAPE] != 0;
  szybko = k[KLAWISZ_PRAWO] != 0;
  if (poczatek) {
    stan_widza = zrzut_stanu();
    przywroc_stan(odtwarzane.stan, true);
    seria = 0;
    w_serii = 0;
    odtworzone = 0;
    po_grze = false;
    poczatek = false;
    byl_return = ret;
    byl_escape = esc;
    zatrzymaj();
    graj(SMP_MUSIC_GAME);
  }
  bool nowy_return = ret && !byl_return, nowy_escape = esc && !byl_escape;
  byl_return = ret;
  byl_escape = esc;
  if (nowy_escape) {
    zakoncz_odtwarzanie();
    if (z_wiersza) fputs("brixel: the replay was stopped\n", stderr);
    memset(k, 0, SDLK_LAST);
    return;
  }
  if (odtworzone < odtwarzane.przebiegi) {
    const Seria &s = odtwarzane.serie[seria];
    stan_pasu_do(s.stan, k);
    if (++w_serii >= s.ile) {
      seria++;
      w_serii = 0;
    }
    odtworzone++;
    return;
  }
  if (!po_grze) koniec_gry_odtworzonej();
  // The ended game stands as it is: no keys reach it.
  memset(k, 0, SDLK_LAST);
  if (!wtopa || nowy_return || SDL_GetTicks() >= koniec_pokazu) zakoncz_odtwarzanie();
}
