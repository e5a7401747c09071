// The keys a pass reads (the keyboard's and the pads'), and what happens when
// the player leaves the window: a running game pauses, and keys held when the
// window was left or regained count as up until they have been released.
#include "shell/shell.h"
#include "game/game.h"
#include "player/player.h"

#include <cstring>

bool okno_opuszczone = false;

static bool fokus = true;      // the window has the input focus
static bool widoczne = true;   // the window is not minimised
static Uint8 do_puszczenia[SDLK_LAST];   // 1: the key counts as up until it is seen up
static Uint8 stan_pasu[SDLK_LAST];       // the key state handed to the pass

void zmiana_aktywnosci(const SDL_ActiveEvent &a) {
  if (!(a.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE))) return;   // the pointer alone
  if (a.state & SDL_APPINPUTFOCUS) fokus = a.gain != 0;
  if (a.state & SDL_APPACTIVE) widoczne = a.gain != 0;
  bool bylo_opuszczone = okno_opuszczone;
  okno_opuszczone = !fokus || !widoczne;
  if (okno_opuszczone) {
    // A game does not go on without the player; the banner shows and P resumes.
    if (!gameini && !wtopa) pauza = 1;
    memset(do_puszczenia, 1, sizeof do_puszczenia);
  } else if (bylo_opuszczone) {
    // Back: the keyboard state may still be settling; keys held now wait for
    // their release.
    memset(do_puszczenia, 1, sizeof do_puszczenia);
    klawiatura_niepewna = 2;
  }
}

void okno_od_nowa() {
  // A new window starts with the focus, as SDL then assumes.
  fokus = widoczne = true;
  okno_opuszczone = false;
}

Uint8 *klawisze_pasu(const Uint8 *surowe, int ile) {
  if (ile > SDLK_LAST) ile = SDLK_LAST;
  if (ile < 0) ile = 0;
  // The keyboard as the player bound it (player/bindings.cpp), the window keys taken.
  const Uint8 *klawiatura = klawiatura_gracza(surowe, ile);
  const Uint8 *pady = klawisze_padow();
  for (int k = 0; k < SDLK_LAST; k++) {
    // A pad's keys count with the keyboard's.
    Uint8 wcisniety = klawiatura[k] || pady[k] ? 1 : 0;
    if (!wcisniety && !okno_opuszczone && klawiatura_niepewna == 0) do_puszczenia[k] = 0;
    stan_pasu[k] = wcisniety && !do_puszczenia[k] && !okno_opuszczone ? 1 : 0;
  }
  return stan_pasu;
}

void zapomnij_przytrzymane() {
  memset(do_puszczenia, 0, sizeof do_puszczenia);
  okno_od_nowa();
}
