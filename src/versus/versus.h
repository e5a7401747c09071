// Versus: a race against the computer or against a recorded game, the
// opponent's well standing in the room beside the player's.
//
// What it promises:
// - The opponent's game is a whole game state kept as one value (StanGry):
//   every program-wide variable the rules, the scene and the recorder's start
//   state name, and the C library's random generator, whose table is switched
//   with setstate() so that each game draws its own sequence. For its pass the
//   value is swapped in, the real pass of the main loop runs on it (drawing
//   nothing on screen, silent, recording nothing, storing nothing), and it is
//   swapped out again. The player's game is a normal game of its mode:
//   recorded, entered in the table, raising the record.
// - Both games start from the same state (for a recorded opponent the
//   recording's first state; for the computer the seed's) and run one pass
//   each per frame; P and a lost focus pause both. When the player's game is
//   over the opponent plays on (Right held: eight passes a frame). Escape ends
//   the race as a loss. The higher score wins; a tie is no win.
// - The computer's strengths (EASY, MEDIUM, HARD) weaken it as a person is
//   weak: a reaction time after each new piece, a limited key rate and a
//   noisy aim, drawn from a generator of their own, never from rand().
// - F4 in the main menu opens the versus screen: the three strengths and the
//   best games of the mode the options choose, each with the player's wins
//   and losses against it, kept in versus.txt beside config.cfg (written
//   crash-safe; a damaged file is renamed aside with a line on stderr).
// - `brixel --versus easy|medium|hard|FILE.rec [SEED]` starts straight into a
//   race and ends printing "you S opponent S2 won|lost".
#ifndef BRIXEL_VERSUS_H
#define BRIXEL_VERSUS_H

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// ---- A whole game state (stan.cpp) ----

struct StanGry {
  std::vector<unsigned char> bajty;   // the variables, in the order of their table
  alignas(int32_t) char losowanie[128];   // a generator table of the C library's kind
  bool gotowy = false;
};
// The game's state now into s (the generator's table copied).
void zachowaj_stan(StanGry *s);
// s's variables put in place of the game's; its generator becomes the one
// rand() draws from (until the next wstaw_stan or zachowaj_stan of another).
void wstaw_stan(StanGry *s);
// Exchanges the game's state with s: after it the game runs on s's state and
// s holds what was the game's.
void zamien_stan(StanGry *s);

// ---- The computer's strengths (sila.cpp) ----

enum { SILA_LATWA = 0, SILA_SREDNIA = 1, SILA_PELNA = 2, LICZBA_SIL = 3 };
extern const char *const nazwy_sil[LICZBA_SIL];   // "EASY", "MEDIUM", "HARD"
// Starts a game of strength sila: its own generator seeded with ziarno.
void zacznij_sile(int sila, uint32_t ziarno);
// The keys of strength sila for this pass (Down, Up, Left, Right into k),
// from the game's state as the pass begins.
void klawisze_sily(Uint8 *k);

// ---- The race (race.cpp) ----

extern bool wyscig;              // a race is on screen
extern bool w_pasie_przeciwnika; // the opponent's state is swapped in for its pass
// The opponent: a strength, or a recording (its file).
struct Przeciwnik {
  int sila = -1;                 // SILA_*, or -1 for a recording
  std::string plik;
};
// Starts a race from the main menu. ziarno >= 0 seeds a computer's game;
// z_wiersza: the program ends with it. False, with a message in blad, when the
// opponent cannot race (an unreadable or bad recording).
bool zacznij_wyscig(const Przeciwnik &p, long ziarno, bool z_wiersza, std::string *blad);
// At the top of pas_gracza: the opponent's pass gets its keys here (true: the
// pass is taken); the player's pass has the race's keys read; the versus
// screen takes the menu's keys while shown.
bool pas_wyscigu(Uint8 *k);
// After the player's pass, before the frame is shown: the opponent's passes.
void przebiegi_przeciwnika();
// In the player's scene, world matrix set: the opponent's well.
void rysuj_przeciwnika();
// Over the overlay: the race's lines, or the versus screen.
void napisy_wyscigu();
// The command line's --versus OPPONENT [SEED]: 0 when argv[*i] is not it, 1
// taken, -1 bad (a message printed).
int slowo_versus(int argc, char **argv, int *i);
// The versus screen's Return: the race starts with the next pass.
void zacznij_z_ekranu(const Przeciwnik &p);
// After start-up: the race asked for on the command line, if any.
void zacznij_versus_z_wiersza();
// The score of the opponent now, and whether its game has ended.
int wynik_przeciwnika();
void liczby_przeciwnika(int *wynik, int *poziom, int *wiersze);
// Ends the race at once, no tally, the menu back (for the benchmark).
void przerwij_wyscig();
bool przeciwnik_skonczyl();

// ---- The versus screen and the tally (screen.cpp) ----

extern bool ekran_versus;        // the screen is shown (in the menu)
extern const char *const PLIK_WYNIKOW_VERSUS;   // "versus.txt"
struct Bilans {
  int wygrane = 0, przegrane = 0;
};
// The opponent's name in the tally: "easy", "medium", "hard" or its recording.
std::string klucz_przeciwnika(const Przeciwnik &p);
// The tally from its file's text; false when the text is damaged.
bool bilans_z_tekstu(const std::string &tekst, std::vector<std::pair<std::string, Bilans>> *b);
// Reads the tally (a damaged file renamed aside), adds one race, writes it.
void dopisz_wynik(const std::string &klucz, bool wygrana);
// The tally as read now.
std::vector<std::pair<std::string, Bilans>> wczytaj_bilans();
// The screen's keys in the main menu (F4 opens it); true when taken.
bool klawisze_versus(Uint8 *k);
// Back from a race started on the screen.
void powrot_do_versus();
// Draws the screen; false when not shown.
bool napisy_versus();

#endif
