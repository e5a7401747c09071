// Full screen or a window. F11 and Alt+Return switch between them in every
// state of the game; the window is re-created through the shell's routine (SDL
// 1.2 loses the GL context when it changes the mode), so the textures and the
// font are loaded again while the game state, held in the program's variables,
// goes on where it was. Full screen holds the keyboard and pointer and hides
// the cursor, as the game always did; a window holds neither and shows it. The
// choice is remembered in preferences.cfg (window = yes/no); --window and
// --fullscreen choose for one run.
#include "player/player.h"
#include "shell/shell.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstring>

bool w_oknie = false;

static int okno_z_wiersza = -1;        // --window 1, --fullscreen 0, neither -1
static bool f11_trzymany = false;      // F11 held since it switched
static bool return_trzymany = false;   // Return held since it switched with Alt
static bool return_przed = false;      // Return was held on the last pass

bool slowo_okna(const char *slowo) {
  if (strcmp(slowo, "--window") == 0) okno_z_wiersza = 1;
  else if (strcmp(slowo, "--fullscreen") == 0) okno_z_wiersza = 0;
  else return false;
  return true;
}

void wybierz_tryb_okna() {
  w_oknie = okno_z_wiersza >= 0 ? okno_z_wiersza == 1 : okno_z_preferencji == 1;
}

int pelny_ekran() { return w_oknie ? 0 : 1; }

void chwyt_okna() {
  SDL_WM_GrabInput(w_oknie ? SDL_GRAB_OFF : SDL_GRAB_ON);
  SDL_ShowCursor(w_oknie ? 1 : 0);
}

// Whether the X server has the key down, whatever SDL's window knows: a new
// window reads every key as up until it has the focus, then as it is, and a
// switch key still held must not switch again. False when it cannot tell.
static bool wcisniety_w_x(KeySym klawisz) {
  SDL_SysWMinfo opis;
  SDL_VERSION(&opis.version);
  if (SDL_GetWMInfo(&opis) <= 0 || opis.subsystem != SDL_SYSWM_X11 || !opis.info.x11.display) return false;
  Display *d = opis.info.x11.display;
  char mapa[32];
  if (opis.info.x11.lock_func) opis.info.x11.lock_func();
  XQueryKeymap(d, mapa);
  KeyCode kod = XKeysymToKeycode(d, klawisz);
  if (opis.info.x11.unlock_func) opis.info.x11.unlock_func();
  return kod != 0 && (mapa[kod / 8] >> (kod % 8) & 1);
}

void klawisze_okna(Uint8 *k) {
  // A latch lets go on a pass where its key is up, in SDL's window and at the
  // X server both, once the keyboard of the new window can be trusted.
  if (f11_trzymany && !k[SDLK_F11] && klawiatura_niepewna == 0 && !wcisniety_w_x(XK_F11)) f11_trzymany = false;
  if (return_trzymany && !k[SDLK_RETURN] && klawiatura_niepewna == 0 && !wcisniety_w_x(XK_Return))
    return_trzymany = false;
  bool alt = k[SDLK_LALT] || k[SDLK_RALT];
  // Return pressed with Alt held; Return already held when Alt came is Return.
  bool alt_return = alt && k[SDLK_RETURN] && !return_trzymany && !return_przed;
  bool f11 = k[SDLK_F11] && !f11_trzymany;
  return_przed = k[SDLK_RETURN] && !return_trzymany;
  if ((alt_return || f11) && !okno_opuszczone) {
    if (alt_return) return_trzymany = true;
    if (f11) f11_trzymany = true;
    return_przed = false;
    przelacz_okno();
  }
  if (return_trzymany) k[SDLK_RETURN] = 0;
}

void przelacz_okno() {
  w_oknie = !w_oknie;
  if (!zapisz_ustawienie_w_preferencjach("window", w_oknie))
    fprintf(stderr, "Cannot write %s; the window's choice holds for this run only.\n", PLIK_PREFERENCJI);
  // A size chosen on the options list but not applied stays pending: the
  // window keeps the size it has.
  SDL_Surface *ekran = SDL_GetVideoSurface();
  int szerokosc = width, wysokosc = height;
  if (ekran) {
    width = ekran->w;
    height = ekran->h;
  }
  odtworz_okno();
  if (ekran) {
    width = szerokosc;
    height = wysokosc;
  }
}
