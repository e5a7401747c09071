// The computer plays: a player built into the game.
//
// What it promises:
// - It plays only through the key state of a pass, the nine keys the rules
//   read, put where a keyboard's would be before the recorder records them
//   (pas_gracza calls pas_komputera). It never writes a game variable; its
//   planning reads the state freely and draws no number from rand(), so the
//   game's own random sequence, and every replay, stay as they are.
// - For each piece it tries every turn and column: it plays the keys it would
//   press pass by pass against the fall (gravity comes before the keys in a
//   pass, a key acts on its press once its latch is clear, a turn has no
//   kick, the first piece of a game cannot move from row anchor 0), so a
//   placement it chooses is one it reaches; the landing row is the ghost
//   piece's own (ghost/ghost.h). It weighs each landing, with the next piece
//   placed after it, by the heights, holes, wells and rows of the well, then
//   turns, moves and holds Down. A piece that changes under it (the single
//   cell of a new level, a special piece dealt by Down) is planned again.
// - F3 in the main menu (a pad's X) and `brixel --demo [SEED]` start a game of
//   the computer's in the room, in the mode the options choose, with a line
//   saying who plays. Right held runs it eight passes a frame, P pauses it,
//   Escape (a pad's B or Back) returns to the menu. Its game over stays 3 s,
//   then the menu comes back as it was. Like a replay it stores nothing: no
//   config.cfg write, no record, no glass unlock, no entry in the table, no
//   window re-created at game over. Its recording is kept, the last finished
//   one, as computer.rec beside config.cfg.
#ifndef BRIXEL_COMPUTER_H
#define BRIXEL_COMPUTER_H

#include <SDL.h>

#include <cstdint>
#include <string>

// ---- The planner (planner.cpp) ----

// Keys of a plan, as bits.
enum { KOMP_DOL = 1, KOMP_GORA = 2, KOMP_LEWO = 4, KOMP_PRAWO = 8 };

// Where a piece comes to rest: its box as turned (16 entries, i*4 + j) and its
// anchor.
struct Spoczynek {
  int ksztalt[16] = {};
  int x = 0, y = 0;
};

// The game as the keys of the coming pass will meet it: the pass's rules up to
// its keys (the top row emptied, full rows removed, a level's single cell, the
// gravity step with a lock and the next spawn) worked out on copies.
struct Chwila {
  int studnia[21 * 12];        // the well those keys meet
  int potem[21 * 12];          // the well of the passes after (a lock's full rows gone)
  bool rozne;                  // the two differ
  uint16_t wiersze[21];        // rows 1-20 of both as bits (bit c-1 is column c)
  uint16_t wiersze_potem[21];
  int s;                       // the falling piece's shape
  int ksztalt[16];             // its box as it stands
  int x, y, gamespeed;
  int speed;                   // the gravity period of the passes after
  int obrot, lewo, prawo, dol; // the latches
  int niepewna;                // passes the latches stay held whatever the keys
  int nastepny;                // the next shape; -1 when this pass draws it
  int spawny;                  // the piece's number in the game (spawns so far)
  int rozwalone;               // rows of the level once the next scan has run
  bool klasyczny;
};

// The keys of this pass can steer a piece: a game runs, unpaused, with a
// piece that keeps its shape through the pass's rules. Fills c.
bool chwila_z_gry(Chwila *c);

struct Plan {
  int spawny = -1, s = -1;     // the piece it was made for
  bool z_nastepnym = false;    // the next piece was known and weighed
  int potem[21 * 12];          // the well it was made on
  int cel[16];                 // the box to turn the piece to
  int cel_x = 0;               // the column anchor to move it to
  Spoczynek koniec;            // where the piece will lock
  long long ocena = 0;         // the weight of the choice
};

// The best placement for the piece of c.
Plan zaplanuj(const Chwila &c);
// Whether p still fits c: the same piece, the same well, nothing learnt since.
bool plan_aktualny(const Plan &p, const Chwila &c);
// The keys (KOMP_*) that steer c's piece toward p's goal this pass; -1 when
// the piece's box cannot become p's.
int klawisze_planu(const Chwila &c, const Plan &p);

// ---- A game of the computer's (session.cpp) ----

extern bool komputer_gra;       // a game of the computer's is on screen
// The level at which the computer lets go, so that its game ends (it has not
// been seen to lose at any level); 0 never.
extern int poziom_puszczenia;

// After the pass has read its keys (k, SDLK_LAST bytes), before they are
// recorded: F3 in the main menu starts a game; during one the watcher's keys
// are read (Escape, Right, P) and the computer's put in their place.
void pas_komputera(Uint8 *k);
// Starts a game from the main menu. ziarno >= 0 seeds the game's generator
// first (the same seed, the same game); z_wiersza: the program ends with it,
// printing "score S level L rows R".
bool zacznij_gre_komputera(long ziarno, bool z_wiersza);
// Ends it at once and puts the menu back as it was.
void zakoncz_gre_komputera();
// The computer's keys of a pass (Down, Up, Left, Right) into k, from the
// game's state as the pass begins; a plan is made when the piece or the well
// has changed. Its games call it; so can a test, on any game.
void klawisze_komputera(Uint8 *k);
// Passes the main loop runs besides its own (Right held: eight a frame).
int przebiegi_komputera();
// In place of entering a finished game in the table: a game of the computer's
// keeps its recording as computer.rec. False when the game was not its.
bool zachowaj_nagranie_komputera(const std::string &tresc);
// The line saying who plays and its keys, before the overlay draws its own.
void napis_komputera();
// The plan followed now; false when there is none (for tests and figures).
bool plan_komputera(Plan *p);
// Microseconds the plan made in the last pass took, by the clock and in the
// thread's own CPU time; false when it made none.
bool czas_planu(double *zegar_us, double *procesor_us);

// The command line's --demo [SEED]: 0 when argv[*i] is not it, 1 when taken
// (*i moves past the seed), -1 when the seed is bad (a message is printed).
int slowo_demo(int argc, char **argv, int *i);
// An optional seed (0 to UINT_MAX) after the word `slowo` at argv[*i]: 1 read
// into *ziarno (*i moved past it), 0 none there, -1 refused with a message.
int ziarno_z_wiersza_polecen(int argc, char **argv, int *i, const char *slowo, long *ziarno);
// Whether --demo was given.
bool demo_z_wiersza();
// After start-up: the demo asked for on the command line, if any.
void zacznij_demo();

extern const char *const PLIK_KOMPUTERA;   // "computer.rec"

#endif
