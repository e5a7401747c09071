// Program shell: start-up, the main loop and shutdown, the settings file, the
// menu and options with their text, and the video mode with its GL state.
#ifndef BRIXEL_SHELL_H
#define BRIXEL_SHELL_H

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glu.h>

// SDL 1.2 key codes the game reads from the keyboard state array.
enum {
  KLAWISZ_RETURN = 13, KLAWISZ_ESCAPE = 27, KLAWISZ_N = 110, KLAWISZ_P = 112,
  KLAWISZ_Y = 121, KLAWISZ_GORA = 273, KLAWISZ_DOL = 274, KLAWISZ_PRAWO = 275,
  KLAWISZ_LEWO = 276
};

// ---- Start-up, main loop and shutdown (main.cpp) ----

extern bool done;              // quit flag
extern int pauza;              // the game is paused
extern int pa;                 // latch of P
extern Uint8 *keys;            // keyboard state of this pass

int SDL_main(int argc, char **argv);
// Start-up up to the main loop. Returns -1 when the loop may start, otherwise
// the status the program ends with.
int start_programu(int argc, char **argv);
// One pass of the main loop, without its 5 ms sleep and buffer swap. With
// stan_klawiszy non-null that array (SDLK_LAST bytes) is the keyboard state
// of the pass instead of SDL's.
void przebieg(Uint8 *stan_klawiszy);
int HandleEvent(SDL_Event *zdarzenie);
void wyjscie();
// Ends the program after a failure it cannot survive: the message, the
// shutdown, status 1.
[[noreturn]] void zakoncz_z_bledem(const char *komunikat);

// ---- The keys of a pass and leaving the window (input.cpp) ----

extern bool okno_opuszczone;   // the window is minimised or has lost the input focus
// A focus or minimise event: leaving the window pauses a running game and makes
// every key wait for its release; coming back lets the keyboard settle first.
void zmiana_aktywnosci(const SDL_ActiveEvent &a);
// A re-created window has the focus again, as SDL then assumes.
void okno_od_nowa();
// The key state the pass reads, from SDL's array of ile keys with the pads'
// keys added: all up while the window is left, and a key held since it was
// left or regained up until released.
Uint8 *klawisze_pasu(const Uint8 *surowe, int ile);
// Forgets every key waiting for its release and the window's absence.
void zapomnij_przytrzymane();

// ---- Gamepads (pad.cpp) ----

// The pad's controls, in the order preferences.cfg's bindings name them.
enum { PAD_A, PAD_B, PAD_START, PAD_BACK, PAD_GORA, PAD_DOL, PAD_LEWO, PAD_PRAWO, PAD_X, PAD_Y, PAD_ILE };

// Opens every joystick SDL knows (at start-up and with every new window).
void otworz_pady();
// Closes them; before SDL shuts down.
void zamknij_pady();
int liczba_padow();            // joysticks open
// A joystick event (button, hat 0, left stick) from SDL's queue.
void zdarzenie_pada(const SDL_Event &e);
// The keys the pads hold this pass (SDLK_LAST bytes): the D-pad and left stick
// the arrows, A, B, Start and Back the key of their row in the README's table
// for the menu, the game or game over, as it was when they were pressed.
const Uint8 *klawisze_padow();
// Forgets every pad's state (for tests).
void zapomnij_pady();

// ---- Settings file (settings.cpp) ----

extern int width, height;      // screen size in pixels
extern int bittes;             // colour depth in bits
extern int jakosc;             // detail: 1 high, 0 low
extern int czymuza;            // sound allowed
extern int czytlo;             // wall behind the well
extern int czyfram;            // frames-per-second figure shown
extern int klasyczny;          // classic mode
extern int szklo;              // glass mode

void wczytanie_poziomu();      // read config.cfg; ends the program when it cannot be opened
// Reads the eleven fields from an open stream; shared by the file reader and its tests.
void czytaj_ustawienia(FILE *plik);
// Forms the file's contents from the current settings into bufor; returns their length.
int tresc_ustawien(char *bufor, int rozmiar);
// Writes config.cfg through a temporary file renamed over it; false on failure.
bool zapisz_ustawienia();
void zmiany_opcji();           // write config.cfg, then re-create the window

// Writes contents to a new temporary file beside nazwa (nazwa.tmp.XXXXXX,
// created exclusively, never through a link, locked while it lives), syncs it,
// renames it over nazwa and syncs the folder: a crash leaves either the old or
// the new complete file, and two games writing at once never spoil each other's
// write. A link named nazwa is replaced, its target left alone. Removes the
// temporary files that killed writes left. False on failure.
bool zapisz_plik_atomowo(const char *nazwa, const char *tresc, int dlugosc);
// Fills koncowka (seven bytes) with the six letters or digits of a temporary
// file's name; random. Tests swap it to make names meet.
extern void (*koncowka_tymczasowej)(char *koncowka);

// ---- Menu and options (menu.cpp) ----

extern bool gameini;           // the menu is shown
extern bool menu;              // the options list is shown
extern int elem2;              // main-menu cursor: 1 GAME, 2 OPTIONS, 3 EXIT
extern int elem;               // options cursor: 1 to 7, or 8 while glass mode is unlocked
extern int ent, dp, obrot, left, right;   // latches of Return, Down, Up, Left, Right

// Passes left in which a key seen up keeps its latch: a re-created window reads
// every key as up until the X server reports the keyboard again, and a key held
// through the re-creation must not act a second time.
extern int klawiatura_niepewna;
// Clears a key's latch on a pass where the key is up (unless the keyboard state
// is not yet to be trusted).
void zwolnij_zatrzask(const Uint8 *k, int klawisz, int *zatrzask);

int liczba_opcji();            // entries of the options list: 7, or 8 once glass mode is unlocked
void menu_return(const Uint8 *k);
void menu_dol(const Uint8 *k);
void menu_gora(const Uint8 *k);
void opcje_lewo(const Uint8 *k);
void opcje_prawo(const Uint8 *k);
void przelacz_opcje(int pozycja);   // toggle one entry of the options list

// ---- Video mode and GL state (video.cpp) ----

extern GLUquadricObj *quadratic;
extern int fps1;               // second at which the frame counter last closed
extern float LightAmbient[4];
extern float LightDiffuse[4];
extern float LightPosition1[4];

int CreateGLWindow(const char *title, int w, int h, int bits, int fullscreenflag);
// Whether the SDL 1.2 underneath is sdl12-compat (over SDL 2), not the classic library.
bool sdl12compat();
// Whether the SDL 2 under sdl12-compat is sdl2-compat, over SDL 3.
bool sdl2_nad_sdl3();
// Settings SDL reads when it starts: the keyboard grabbed with the pointer,
// sdl12-compat's game-controller numbering of pads.
void przygotuj_sdl();
// The video driver the player named in SDL_VIDEODRIVER; null when none.
const char *sterownik_gracza();
// After SDL_Init: the name of the video driver SDL chose when it shows nothing
// to the player (off-screen, a text terminal) and the player did not name it;
// null when there is a display.
const char *sterownik_bez_ekranu();
// The first window: the GL attributes as asked, lowered step by step when the
// display has no such visual. Ends the program when no mode can be set.
void otworz_pierwsze_okno();
// Second half of zmiany_opcji: tear the window down and build it again with
// every texture and the font.
void odtworz_okno();

// ---- Menu and options text (menutext.cpp) ----

void napisy_menu();            // the menu or options lines of the overlay pass
// Text of options entry e for the current settings; null when the value has no line.
const char *tekst_opcji(int e);

#endif
