// Bindings turned into the key state the pass reads: a bound key or pad
// button stands for its action's default key (a bound to left sets the Left
// key's byte), so every rule, latch, held Down, release after a lock and
// leaving the window works on it as on the default key. An action's default
// keys stop acting once the file lists keyboard keys for it, its default pad
// buttons once it lists pad buttons; the ghost's G and pad X also once they
// are bound to another action. The window keys (F11, Alt+Return) are
// taken from the keyboard first.
#include "player/player.h"
#include "shell/shell.h"
#include "ustawienia/ustawienia.h"

#include <cstring>

static Uint8 klawiatura[SDLK_LAST];   // the keyboard of this pass as the player bound it

const Uint8 *klawiatura_gracza(const Uint8 *surowe, int ile) {
  if (ile > SDLK_LAST) ile = SDLK_LAST;
  if (ile < 0) ile = 0;
  surowa_klawiatura(surowe, ile);
  memset(klawiatura, 0, sizeof klawiatura);
  memcpy(klawiatura, surowe, (size_t)ile);
  klawisze_okna(klawiatura);
  Uint8 wcisniete[SDLK_LAST];
  memcpy(wcisniete, klawiatura, sizeof wcisniete);
  for (int a = 0; a < LICZBA_AKCJI; a++)
    if (przypisana_klawiatura[a]) klawiatura[klawisz_akcji[a]] = 0;
  // The ghost's G yields to any other binding of it.
  if (akcja_wejscia[klawisz_akcji[AKCJA_DUCH]] >= 0) klawiatura[klawisz_akcji[AKCJA_DUCH]] = 0;
  for (int k = 0; k < SDLK_LAST; k++)
    if (akcja_wejscia[k] >= 0 && wcisniete[k]) klawiatura[klawisz_akcji[akcja_wejscia[k]]] = 1;
  return klawiatura;
}

int klawisz_kontrolki_gracza(int kontrolka, int domyslny) {
  kontrolka_wcisnieta(kontrolka);
  int a = akcja_wejscia[WEJSCIE_PADA + kontrolka];
  if (a >= 0) return klawisz_akcji[a];
  int b = akcja_klawisza(domyslny);
  return b >= 0 && przypisany_pad[b] ? -1 : domyslny;
}
