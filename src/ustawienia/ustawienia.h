// The player's options: a screen of the player's own choices, kept in
// preferences.cfg beside the key bindings, the ghost and the window.
//
// What it promises:
// - F5 in the main menu (a pad's Back stands for it there) opens PLAYER
//   OPTIONS over the menu's scene: START LEVEL 1-10, PRE-FILLED ROWS 0-12,
//   DENSITY 1-9 (cells of a pre-filled row's ten), MUSIC VOLUME and SOUND
//   VOLUME 0-10, GHOST, WINDOW or FULL SCREEN, and KEYS (Right opens it), a
//   list of the actions where Return binds the next key or pad button pressed
//   and a line puts the default keys back. Up and Down choose, Left and Right
//   change, Return saves and leaves, Escape leaves without saving; the key
//   that closed the screen does nothing in the menu until it is released.
// - Saving rewrites preferences.cfg through the crash-safe writer: only the
//   lines of the settings changed are replaced (the first good line of each),
//   a setting the file lacks is added at its end, every other byte stays. The
//   ghost and the window change through the same calls as G and F11.
// - A game the player starts (from the menu or with Y after game over) starts
//   at the chosen level with that level's fall, and on the chosen pre-filled
//   rows drawn from the game's own random sequence, before its first pass is
//   recorded; the defaults (level 1, no rows) change nothing. The computer's
//   games and replays are left alone.
// - Volume: step n of 10 is 3 dB below step n + 1 (10 is the sample as it is,
//   1 is 27 dB down), step 0 plays nothing at all; the music follows a change
//   at once. The options list's music switch still silences everything.
#ifndef BRIXEL_USTAWIENIA_H
#define BRIXEL_USTAWIENIA_H

#include <SDL.h>

#include <cstdio>
#include <string>

// ---- The settings (ustawienia.cpp) ----

struct UstawieniaGracza {
  int poziom = 1;     // start level, 1-10
  int wiersze = 0;    // pre-filled rows, 0-12
  int gestosc = 7;    // filled cells of each pre-filled row, 1-9
  int muzyka = 10;    // music volume, 0-10
  int dzwieki = 10;   // sound volume, 0-10
};
const int NAJWYZSZY_POZIOM_STARTU = 10, NAJWIECEJ_WIERSZY = 12, NAJWIEKSZA_GESTOSC = 9, NAJGLOSNIEJ = 10;
extern UstawieniaGracza ustawienia;    // as preferences.cfg (or the screen's last save) says
// The start of the game in progress or last finished, for the table.
extern int poziom_startu_gry, wiersze_startu_gry;

// The reader of preferences.cfg calls these: the first before the file's
// lines, the second with each line's setting name (simplified) and the text
// after '='. 1: the line set one of the settings above; -1: it names one of
// them but is bad (reported on bledy as the reader reports); 0: not ours.
void zacznij_ustawienia();
int wiersz_ustawien(const std::string &nazwa, const std::string &wartosc, int nr, FILE *bledy);
// The setting lines as the file writes them.
std::string wiersz_ustawienia(const char *nazwa, int wartosc);
extern const char *const NAZWY_USTAWIEN[5];   // "start level", ... in the struct's order

// In pas_gracza before the pass is recorded: the first pass of a game the
// player started sets the start level and the pre-filled rows.
void poczatek_gry_gracza();
// A race sets its games' start itself, before the opponent's copy is taken:
// z_ustawien applies the player's start level and rows (a computer
// opponent), otherwise the state in place is a recording's first one. Either
// way the start is read back for the table, and the next first pass leaves
// the well alone.
void start_wyscigu(bool z_ustawien);
// The start itself, on the well and counters as a new game leaves them.
void ustaw_start(const UstawieniaGracza &u);

// The gain a volume step gives (0 for step 0), and the samples of the music.
float wzmocnienie(int krok);
bool probka_muzyki(int probka);
// Before a sample starts (graj): false when its volume is 0; otherwise its
// gain is set from the volume.
bool glosnosc_probki(int probka);
// New volumes heard at once: playing samples follow, music at 0 stops, music
// raised from 0 starts the menu's tune again.
void ustaw_glosnosc(int muzyka, int dzwieki);

// ---- preferences.cfg from the screen (zapis.cpp) ----

// The file's text with the first good line of setting `klucz` replaced by
// `nowy` (added at the end when there is none). A line is good when the
// reader takes it: bledne lists the numbers (from 1) of the lines it refuses.
// klucz is a setting name ("start level", "window") or an action's name;
// "ghost" means the ghost = yes|no line, "ghost key" a line binding its key.
std::string z_wierszem(const std::string &tekst, const std::string &klucz, const std::string &nowy,
                       const std::string &bledne);
// Reads tekst as preferences.cfg without touching the bindings or settings in
// force: the messages of its bad lines (one a line, "preferences.cfg:N: ..."),
// and, when wynik_* are given, what it binds.
std::string bledy_preferencji(const std::string &tekst, signed char *wynik_akcji = nullptr,
                              bool *wynik_klaw = nullptr, bool *wynik_pad = nullptr,
                              UstawieniaGracza *wynik_ust = nullptr);
// " 3 5 " — the numbers of the bad lines among the messages.
std::string numery_blednych(const std::string &komunikaty);
// An input's name as a line of the file names it ("left", "pad a").
std::string nazwa_wejscia(int wejscie);

// ---- The screen (ekran.cpp) ----

extern bool ekran_ustawien;   // the screen is shown (in the menu)
// In pas_gracza: F5 opens the screen; while shown its keys take the pass.
bool klawisze_ustawien(Uint8 *k);
// Draws the screen in place of the main menu's lines; false when not shown.
bool napisy_ustawien();
// The main menu's key line at the bottom of the window.
void linia_klawiszy_menu();
// The keyboard as SDL gives it, before any binding (from the bindings), and a
// pad control newly pressed: what the screen binds.
void surowa_klawiatura(const Uint8 *surowe, int ile);
void kontrolka_wcisnieta(int kontrolka);
// Text at a scale of the font's 32-pixel pitch on a dark band, broken at
// ", " or spaces so that no line runs past the window; the top line at y.
// Returns the lines drawn.
int maly_napis(int x, int y, const char *tekst, float skala, float r, float g, float b);

#endif
