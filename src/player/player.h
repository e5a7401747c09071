// The player's own choices beside the game: keys and pad buttons bound in
// preferences.cfg, and full screen or a window.
#ifndef BRIXEL_PLAYER_H
#define BRIXEL_PLAYER_H

#include <SDL.h>

#include <cstddef>
#include <cstdio>
#include <string>

// ---- Preferences file (preferences.cpp) ----

// The actions a key or pad button can be bound to, in the file's order.
enum {
  AKCJA_GORA, AKCJA_DOL, AKCJA_LEWO, AKCJA_PRAWO, AKCJA_WYBOR, AKCJA_WSTECZ, AKCJA_PAUZA,
  AKCJA_TAK, AKCJA_NIE, LICZBA_AKCJI
};
// Bindable inputs: the keyboard's key codes, then the pad's controls from
// WEJSCIE_PADA on (in the order of the pad's control enum).
enum { WEJSCIE_PADA = SDLK_LAST, LICZBA_WEJSC = SDLK_LAST + 10 };

extern const char *const PLIK_PREFERENCJI;             // "preferences.cfg"
extern const char *const nazwy_akcji[LICZBA_AKCJI];    // "up", "down", ...
extern const int klawisz_akcji[LICZBA_AKCJI];          // each action's default key code
extern signed char akcja_wejscia[LICZBA_WEJSC];        // the action an input is bound to; -1 none
// The file lists keyboard keys (klawiatura) or pad buttons (pad) for the
// action: those replace its default keys or pad buttons respectively.
extern bool przypisana_klawiatura[LICZBA_AKCJI], przypisany_pad[LICZBA_AKCJI];
extern int okno_z_preferencji;                         // window = yes 1, no 0, not given -1

// The action whose default key is klawisz; -1 for none.
int akcja_klawisza(int klawisz);
// Reads the file's contents: the bindings replace the current ones, the
// window line sets okno_z_preferencji. Each bad line gets one message on
// bledy ("preferences.cfg:LINE: ...") and is left out; returns their number.
int czytaj_preferencje(const char *tresc, size_t n, FILE *bledy);
// Reads preferences.cfg of the working directory; no file leaves the defaults.
void wczytaj_preferencje();
// The file's contents with its window line saying w_oknie (added at the end
// when there is none); every other line kept as it is.
std::string preferencje_z_oknem(const std::string &tresc, bool w_oknie);
// Rewrites preferences.cfg so (crash-safe, keeping the player's lines); false on failure.
bool zapisz_okno_w_preferencjach(bool w_oknie);

// ---- Bindings (bindings.cpp) ----

// The keyboard as the pass reads it: SDL's array of ile keys with every
// bound key standing for its action's default key, and the default keys of
// rebound actions up. Without bindings the keys as they are. SDLK_LAST bytes.
const Uint8 *klawiatura_gracza(const Uint8 *surowe, int ile);
// The key pad control kontrolka stands for when pressed: the default key
// domyslny the pad gives it now, unless bindings say otherwise; -1 none.
int klawisz_kontrolki_gracza(int kontrolka, int domyslny);

// ---- Full screen or a window (window_switch.cpp) ----

extern bool w_oknie;           // the game shows in a window, not full screen
// A command-line word: "--window" or "--fullscreen" chooses for this run;
// true when it took the word.
bool slowo_okna(const char *slowo);
// After the preferences are read: the command line's choice over the file's.
void wybierz_tryb_okna();
int pelny_ekran();             // the full-screen flag for CreateGLWindow
// The grab and the cursor of a new window: held and hidden full screen, free
// and shown in a window.
void chwyt_okna();
// F11 or Alt+Return on the keyboard k (SDLK_LAST bytes) switches between full
// screen and a window; Return pressed with Alt is held up in k until released.
void klawisze_okna(Uint8 *k);
// Switches, remembers the choice in preferences.cfg, re-creates the window.
void przelacz_okno();

#endif
