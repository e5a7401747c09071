// Gamepads: every joystick SDL knows, opened at start-up and with every new
// window (SDL 1.2 has no hot-plugging), read each pass and turned into the keys
// the pass already reads, so that the rules stay the rules.
#include "shell/shell.h"
#include "game/game.h"
#include "player/player.h"
#include "computer/computer.h"
#include "ustawienia/ustawienia.h"
#include "versus/versus.h"

#include <cstdlib>
#include <cstring>

static const int MAKS_PADOW = 8;
static const int MAKS_PRZYCISKOW = 32;
// A stick counts past half its travel and lets go under a third.
static const int DRAZEK_WCISNIETY = 16384, DRAZEK_PUSZCZONY = 10923;

// What one pad reports: from the device, read each pass, or from joystick
// events in SDL's queue (which tests and some drivers put there).
struct StanPada {
  bool przycisk[MAKS_PRZYCISKOW];
  Uint8 krzyzak;   // hat 0
  Sint16 os[2];    // left stick: x, y
};

static SDL_Joystick *pady[MAKS_PADOW];
static int ile_padow = 0;
static bool uklad_kontrolera = false;   // sdl12-compat's game-controller numbers
static StanPada z_urzadzenia[MAKS_PADOW], ze_zdarzen[MAKS_PADOW];
static bool drazek[MAKS_PADOW][4];      // left stick held up, down, left, right (with hysteresis)
static int klawisz_kontrolki[PAD_ILE];  // the key a held control stands for; -1 none, 0 up
static Uint8 klawisze[SDLK_LAST];       // the keys the pads hold this pass

void otworz_pady() {
  zamknij_pady();
  const char *kontrolery = getenv("SDL12COMPAT_USE_GAME_CONTROLLERS");
  uklad_kontrolera = sdl12compat() && kontrolery && atoi(kontrolery) != 0;
  // No joystick support is no reason not to play.
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) return;
  int n = SDL_NumJoysticks();
  for (int i = 0; i < n && ile_padow < MAKS_PADOW; i++)
    if (SDL_Joystick *j = SDL_JoystickOpen(i)) pady[ile_padow++] = j;
  SDL_JoystickEventState(SDL_ENABLE);
}

void zamknij_pady() {
  for (int i = 0; i < ile_padow; i++) SDL_JoystickClose(pady[i]);
  ile_padow = 0;
  memset(z_urzadzenia, 0, sizeof z_urzadzenia);
}

int liczba_padow() { return ile_padow; }

void zdarzenie_pada(const SDL_Event &e) {
  int p = -1;
  switch (e.type) {
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      p = e.jbutton.which;
      if (p < MAKS_PADOW && e.jbutton.button < MAKS_PRZYCISKOW)
        ze_zdarzen[p].przycisk[e.jbutton.button] = e.type == SDL_JOYBUTTONDOWN;
      break;
    case SDL_JOYHATMOTION:
      p = e.jhat.which;
      if (p < MAKS_PADOW && e.jhat.hat == 0) ze_zdarzen[p].krzyzak = e.jhat.value;
      break;
    case SDL_JOYAXISMOTION:
      p = e.jaxis.which;
      if (p < MAKS_PADOW && e.jaxis.axis < 2) ze_zdarzen[p].os[e.jaxis.axis] = e.jaxis.value;
      break;
  }
}

void zapomnij_pady() {
  memset(ze_zdarzen, 0, sizeof ze_zdarzen);
  memset(z_urzadzenia, 0, sizeof z_urzadzenia);
  memset(drazek, 0, sizeof drazek);
  memset(klawisz_kontrolki, 0, sizeof klawisz_kontrolki);
  memset(klawisze, 0, sizeof klawisze);
}

static void odczytaj_urzadzenia() {
  if (ile_padow == 0) return;
  // sdl12-compat's game controllers send no events: their state is polled.
  SDL_JoystickUpdate();
  for (int i = 0; i < ile_padow; i++) {
    StanPada &s = z_urzadzenia[i];
    int przyciski = SDL_JoystickNumButtons(pady[i]);
    for (int b = 0; b < MAKS_PRZYCISKOW; b++) s.przycisk[b] = b < przyciski && SDL_JoystickGetButton(pady[i], b);
    s.krzyzak = SDL_JoystickNumHats(pady[i]) > 0 ? SDL_JoystickGetHat(pady[i], 0) : 0;
    int osie = SDL_JoystickNumAxes(pady[i]);
    for (int a = 0; a < 2; a++) s.os[a] = a < osie ? SDL_JoystickGetAxis(pady[i], a) : 0;
  }
}

// One direction of the stick, with hysteresis: wartosc is the travel toward it.
static void kierunek_drazka(bool *trzymany, int wartosc) {
  if (wartosc > DRAZEK_WCISNIETY) *trzymany = true;
  else if (wartosc < DRAZEK_PUSZCZONY) *trzymany = false;
}

// The pad's controls this pass, from both sources.
static void kontrolki_pada(int p, bool *k) {
  const StanPada &u = z_urzadzenia[p], &z = ze_zdarzen[p];
  auto przycisk = [&](int b) { return u.przycisk[b] || z.przycisk[b]; };
  Uint8 krzyzak = u.krzyzak | z.krzyzak;
  int os[2];
  for (int a = 0; a < 2; a++) os[a] = std::abs(u.os[a]) >= std::abs(z.os[a]) ? u.os[a] : z.os[a];
  kierunek_drazka(&drazek[p][0], -os[1]);
  kierunek_drazka(&drazek[p][1], os[1]);
  kierunek_drazka(&drazek[p][2], -os[0]);
  kierunek_drazka(&drazek[p][3], os[0]);

  // sdl12-compat's controller: A 0, B 1, Back 4, Start 6, D-pad 11-14. The
  // raw Linux order of the common pads: A 0, B 1, Back 6, Start 7, D-pad hat 0.
  k[PAD_A] |= przycisk(0);
  k[PAD_B] |= przycisk(1);
  k[PAD_BACK] |= przycisk(uklad_kontrolera ? 4 : 6);
  k[PAD_START] |= przycisk(uklad_kontrolera ? 6 : 7);
  // X switches the ghost piece in a game and lets the computer play from the
  // menu, Y opens the best games from the menu, unless bound otherwise; 2 and
  // 3 in both orders.
  k[PAD_X] |= przycisk(2);
  k[PAD_Y] |= przycisk(3);
  bool krzyz[4] = {(krzyzak & SDL_HAT_UP) != 0, (krzyzak & SDL_HAT_DOWN) != 0,
                   (krzyzak & SDL_HAT_LEFT) != 0, (krzyzak & SDL_HAT_RIGHT) != 0};
  for (int d = 0; d < 4; d++) {
    if (uklad_kontrolera) krzyz[d] = krzyz[d] || przycisk(11 + d);
    k[PAD_GORA + d] |= krzyz[d] || drazek[p][d];
  }
}

// The key a control stands for by default when it is pressed: in a game, in
// the menu and options list, or after game over. -1 for none.
static int domyslny_klawisz(int kontrolka) {
  bool w_grze = !gameini && !wtopa;
  switch (kontrolka) {
    case PAD_A: return gameini ? KLAWISZ_RETURN : wtopa ? KLAWISZ_Y : KLAWISZ_GORA;
    case PAD_START: return gameini ? KLAWISZ_RETURN : wtopa ? KLAWISZ_Y : KLAWISZ_P;
    // B opens the versus screen from the main menu, and leaves the screens.
    case PAD_B:
      if (gameini && !menu && !ekran_najlepszych && !ekran_ustawien && !ekran_versus) return SDLK_F4;
      return (gameini && (menu || ekran_najlepszych || ekran_ustawien || ekran_versus)) || komputer_gra ? KLAWISZ_ESCAPE : -1;
    // The computer plays from the menu; the ghost piece in a game.
    case PAD_X: return ekran_najlepszych ? SDLK_v : gameini && !menu ? SDLK_F3 : w_grze ? klawisz_akcji[AKCJA_DUCH] : -1;
    case PAD_Y: return gameini && !menu ? SDLK_F2 : -1;   // the screen of best games
    // Back opens the player options from the main menu, and leaves elsewhere.
    case PAD_BACK: return gameini && !menu && !ekran_najlepszych && !ekran_ustawien && !ekran_versus ? (int)SDLK_F5 : KLAWISZ_ESCAPE;
    case PAD_GORA: return w_grze || gameini ? KLAWISZ_GORA : -1;
    case PAD_DOL: return w_grze || gameini ? KLAWISZ_DOL : -1;
    case PAD_LEWO: return w_grze || gameini ? KLAWISZ_LEWO : -1;
    case PAD_PRAWO: return w_grze || gameini ? KLAWISZ_PRAWO : -1;
  }
  return -1;
}

const Uint8 *klawisze_padow() {
  odczytaj_urzadzenia();
  bool k[PAD_ILE] = {};
  for (int p = 0; p < MAKS_PADOW; p++) kontrolki_pada(p, k);
  memset(klawisze, 0, sizeof klawisze);
  for (int c = 0; c < PAD_ILE; c++) {
    // A control keeps the key it was pressed as until it is let go, so that
    // A held from the menu into the game does not turn the piece.
    if (!k[c]) klawisz_kontrolki[c] = 0;
    else if (klawisz_kontrolki[c] == 0) klawisz_kontrolki[c] = klawisz_kontrolki_gracza(c, domyslny_klawisz(c));
    if (klawisz_kontrolki[c] > 0) klawisze[klawisz_kontrolki[c]] = 1;
  }
  return klawisze;
}
