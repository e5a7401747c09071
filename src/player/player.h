// What the player keeps and chooses beside the game's own settings: the table
// of best games, the recordings of games, the screen of best games, the
// replays and the command line; keys and pad buttons bound in preferences.cfg,
// and full screen or a window.
#ifndef BRIXEL_PLAYER_H
#define BRIXEL_PLAYER_H

#include <SDL.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// ---- The table of best games (best_games.cpp) ----

const int MIEJSCA_TABELI = 10;  // entries kept of each mode
// The modes whose scores are compared: the normal game and classic mode.
enum { TRYB_ZWYKLY = 0, TRYB_KLASYCZNY = 1, LICZBA_TRYBOW = 2 };

struct WpisTabeli {
  int wynik = 0, poziom = 1, wiersze = 0;
  long long czas = 0;           // when the game ended, seconds since 1970
  int szklo = 0;                // the game was played in glass mode
  int poziom_startu = 1;        // the level it started at
  int wiersze_startu = 0;       // the pre-filled rows it started on
  std::string nagranie;         // its recording, relative to the working directory; "" none
};
struct Tabela {
  std::vector<WpisTabeli> wpisy[LICZBA_TRYBOW];   // best first
};

extern const char *const PLIK_TABELI;      // best.txt, beside config.cfg
extern const char *const KATALOG_NAGRAN;   // recordings/, beside it

// The table from the file's text; false when the text is no table.
bool tabela_z_tekstu(const std::string &tekst, Tabela *t);
std::string tekst_tabeli(const Tabela &t);
// The rank (0 best) a game of this score takes in the mode, -1 when it does not
// enter: a tie ranks behind the games already there.
int miejsce_w_tabeli(const Tabela &t, int tryb, int wynik);
// A recording's name as the table keeps it: recordings/ and letters, digits
// and '-' before ".rec".
bool nazwa_nagrania(const std::string &nazwa);
// Reads the table under its lock. A damaged or unreadable file is renamed
// aside (best.txt.damaged-<time>) with one line on standard error, and the
// table starts empty.
Tabela wczytaj_tabele();
// Enters a finished game into its mode's table under the lock, with its
// recording (written to recordings/ only when the game enters), and removes
// the recordings no entry names. Returns the rank from 1, 0 when the game did
// not enter or nothing could be written.
int dopisz_gre(int tryb, const WpisTabeli &wpis, const std::string &tresc_nagrania);
// A line of `brixel --scores` for one entry.
std::string linia_wyniku(int tryb, int miejsce, const WpisTabeli &w);

// ---- Recording files (recording_file.cpp) ----

const int WERSJA_ZASAD = 1;    // the rules a recording replays under
// The pass-by-pass key state: bits 0-8 the keys the rules read, bit 9 the
// pause flag and bits 10-11 the unsettled-keyboard count, as they stand when
// the pass has read its keys.
const int BITY_PASU = 12;
struct Seria {
  unsigned stan;                // the pass's state, as above
  unsigned ile;                 // passes in a row with it
};
struct Nagranie {
  int tryb = TRYB_ZWYKLY, szklo = 0;
  int wynik = 0, poziom = 1, wiersze = 0;   // how the game ended
  std::vector<std::pair<std::string, std::string>> stan;   // the game's state at its first pass, by name
  std::vector<Seria> serie;
  long long przebiegi = 0;      // passes, the sum of the runs
};
// Runs on past this many passes are not kept (about three days of play).
const long long NAJWIECEJ_PRZEBIEGOW = 40000000;
std::string tekst_nagrania(const Nagranie &n);
// False with the reason in blad when the text is not a recording, or one of
// another version of the rules.
bool nagranie_z_tekstu(const std::string &tekst, Nagranie *n, std::string *blad);
// The whole of a file; false when it cannot be read or exceeds the limit.
bool czytaj_plik(const char *nazwa, std::string *tresc, size_t najwiecej);

// ---- The recorder and the game's state (recording.cpp) ----

// After the pass has read its keys (k, SDLK_LAST bytes): a replay puts its
// recorded keys there, the screen of best games takes them, the computer puts
// its own there when it plays, and otherwise a running game has this pass
// recorded. Called by every pass.
void pas_gracza(Uint8 *k);
// The game's state that a replay starts from, by name.
std::vector<std::pair<std::string, std::string>> zrzut_stanu();
// Puts it back (only checks it unless wstaw); false, with nothing changed, when
// a value is missing or out of range.
bool przywroc_stan(const std::vector<std::pair<std::string, std::string>> &stan, bool wstaw);
// A pass's state (see Seria) from the keys k and the flags, and back: the keys
// into k (SDLK_LAST bytes), the flags set.
unsigned stan_pasu_z(const Uint8 *k);
void stan_pasu_do(unsigned stan, Uint8 *k);
// The recording of the game in progress, and of the last one finished (at game
// over, once its score has settled); false when there is none.
bool biezace_nagranie(Nagranie *n);
// A recording file read for a replay: 0 ready, 1 the file cannot be read
// (errno says why), 2 it is no recording of these rules or its game state is
// damaged (blad says why).
int wczytaj_nagranie(const char *plik, Nagranie *n, std::string *blad);
bool ostatnie_nagranie(Nagranie *n);

// ---- Watching a recording (replay.cpp) ----

extern bool odtwarzanie;        // a replay is on screen
// Starts a replay from the menu: the game's state is kept to be put back when
// it ends. z_polecenia: the program ends with it.
bool zacznij_odtwarzanie(const Nagranie &n, bool z_polecenia);
// One replay pass: the watcher's keys in k are read and replaced by the
// recorded ones.
void pas_odtwarzania(Uint8 *k);
// Stops the replay and puts the menu back as it was.
void zakoncz_odtwarzanie();
// Passes that the main loop runs besides its own before drawing the frame
// (the replay's speed-up).
int dodatkowe_przebiegi();
// In place of the settings write and window re-creation of a game over: a
// replay changes nothing stored.
void zapis_konca_gry();
// Once a finished game's score has settled: config.cfg written again when the
// record rose after the game over's write.
void zapis_po_ustaleniu();
long long przebiegi_odtworzone();   // passes of the recording replayed so far

// ---- The screen of best games (best_screen.cpp) ----

extern bool ekran_najlepszych;  // the screen is shown (in the menu)
// The screen's keys in the main menu; true when the pass's keys are taken.
bool klawisze_ekranu(Uint8 *k);
// Back from a replay started on the screen.
void powrot_na_ekran();
// Draws the screen instead of the main menu's lines; false when it is not shown.
bool napisy_najlepszych();

// ---- The command line (command_line.cpp) ----

// Reads every word. Returns -1 when the game is to start, otherwise the status
// the program ends with at once (--help, --scores, a wrong word).
int czytaj_wiersz_polecen(int argc, char **argv);
// After the start-up: the replay asked for on the command line, if any.
void po_starcie();

// ---- Preferences file (preferences.cpp) ----

// A line or name as the reader compares it: lower case, spaces and tabs
// trimmed at both ends and runs of them made one space.
std::string uproszczone(const std::string &s);

// The actions a key or pad button can be bound to, in the file's order.
enum {
  AKCJA_GORA, AKCJA_DOL, AKCJA_LEWO, AKCJA_PRAWO, AKCJA_WYBOR, AKCJA_WSTECZ, AKCJA_PAUZA,
  AKCJA_TAK, AKCJA_NIE, AKCJA_DUCH, LICZBA_AKCJI
};
// Bindable inputs: the keyboard's key codes, then the pad's controls from
// WEJSCIE_PADA on (in the order of the pad's control enum).
enum { WEJSCIE_PADA = SDLK_LAST, LICZBA_WEJSC = SDLK_LAST + 10 };

extern const char *const PLIK_PREFERENCJI;             // "preferences.cfg"
extern const char *const nazwy_akcji[LICZBA_AKCJI];    // "up", "down", ...
extern const int klawisz_akcji[LICZBA_AKCJI];
extern const char *const nazwy_pada[LICZBA_WEJSC - WEJSCIE_PADA];   // "pad a", ... as the file names them          // each action's default key code
extern signed char akcja_wejscia[LICZBA_WEJSC];        // the action an input is bound to; -1 none
// The file lists keyboard keys (klawiatura) or pad buttons (pad) for the
// action: those replace its default keys or pad buttons respectively.
extern bool przypisana_klawiatura[LICZBA_AKCJI], przypisany_pad[LICZBA_AKCJI];
extern int okno_z_preferencji;                         // window = yes 1, no 0, not given -1
extern int duch_z_preferencji;                         // ghost = yes 1, no 0, not given -1

// The action whose default key is klawisz; -1 for none.
int akcja_klawisza(int klawisz);
// Reads the file's contents: the bindings replace the current ones, the
// window line sets okno_z_preferencji. Each bad line gets one message on
// bledy ("preferences.cfg:LINE: ...") and is left out; returns their number.
int czytaj_preferencje(const char *tresc, size_t n, FILE *bledy);
// Reads preferences.cfg of the working directory; no file leaves the defaults.
// The ghost piece is shown as the file says.
void wczytaj_preferencje();
// The file's contents with the line of setting nazwa ("window", or "ghost"
// = yes|no, not a line binding the ghost's keys) saying tak (added at the end
// when there is none); every other line kept as it is.
std::string preferencje_z_ustawieniem(const std::string &tresc, const char *nazwa, bool tak);
// Rewrites preferences.cfg so (crash-safe, keeping the player's lines); false on failure.
bool zapisz_ustawienie_w_preferencjach(const char *nazwa, bool tak);

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
