// Game rules: the well and the pieces, the player's moves, the rules that run
// by themselves every frame, and the bonuses, messages and record.
#ifndef BRIXEL_GAME_H
#define BRIXEL_GAME_H

// The C library declares a function alarm(); it is declared first here so that
// the game's flag of the same name can be renamed under the hood everywhere.
#include <unistd.h>
#define alarm alarm_wiersza4

// ---- The well and the pieces (well.cpp) ----

// The well: 12 columns of 21 entries, entry X*21 + Y. Columns 0 and 11 are the
// walls, rows 1 (top) to 20 (bottom) are played, row 0 is always full and is
// the floor under the bottom row of the column to its left.
const int STUDNIA_KOLUMNY = 12;
const int STUDNIA_WIERSZE = 21;
const int STUDNIA_ROZMIAR = STUDNIA_KOLUMNY * STUDNIA_WIERSZE;
extern int studnia[STUDNIA_ROZMIAR];

// Twelve shapes of 4 x 4 cells, entry s*16 + i*4 + j (i column, j row); turned
// in place, so each shape keeps the orientation its last piece was left in.
extern int klocek[12 * 16];
extern int ilema[12];          // side of the square box each shape turns in

extern int jaki;               // shape of the falling piece, 0 to 11
extern int nastepny;           // shape of the next piece, 0 to 6
extern int xk, yk;             // anchor of the falling piece: box cell (i, j) is well cell (xk-1+i, yk+j)
extern bool kloc;              // a piece is in play; false makes the next pass spawn one
extern int doskull;            // pieces spawned in this game
extern bool czyskull;          // the skull effect runs
extern int rotations;          // fitting turns since a piece was last written into the well
extern int score;

// Value of well entry (x, y) for the tests: any entry outside the array counts as occupied.
int komorka(int x, int y);
// Writes well entry (x, y); entries outside the array are never written.
void ustaw_komorke(int x, int y, int wartosc);
// Puts the well and the shape table back to their program-start images.
void studnia_poczatkowa();
// Empties rows 1 to 20 of the ten playing columns.
void oproznij_studnie();

void dodaj_klocek();           // spawn the next piece; declares game over when it has no room
unsigned char czydotknal();    // 1 when the piece can fall one row, 0 when it rests (sounds each contact)
void dodajdostudni();          // write the piece into the well
void zapadanie(int x);         // collapse the column under the single cell into one solid stack
void zablokuj_klocek();        // the lock sequence: write or collapse, then spawn

// ---- Player moves (moves.cpp) ----

extern int rotpomoc[16];       // scratch copy of the falling piece's box while it turns
extern int bonusk;             // last special shape dealt, 0 to 3 (shapes 8 to 11)
extern bool childmode;
extern int textual;            // frames left for the child-mode taunt
extern int trythat;            // frames left for the "EAT THIS!" taunt

bool gra_biegnie();            // a game is on screen, not over and not paused
void ruch_dol();               // Down in the game
void ruch_obrot();             // Up in the game
void ruch_lewo();              // Left in the game
void ruch_prawo();             // Right in the game

// ---- Gravity, rows, scoring and levels (rules.cpp) ----

extern int speed;              // gravity period in frames
extern int gamespeed;          // frames since the last step down
extern int level;
extern int rozwalone;          // rows removed in this level
extern int calkowite;          // rows removed in this game
extern int ilelinii;           // rozwalone just before this frame's row scan
extern bool wtopa;             // game over
extern bool alarm;             // row 4 holds a cell
extern float yzbi;             // pressure gauge: frames of play since rows were last cleared
extern int yp;                 // latch of the Y key

void czyszczenie_gory();       // empty the top row, one delete sound per cell
void skan_wierszy();           // remove full rows, score them, level up
void krok_spawn();             // spawn a piece when none is in play
void krok_grawitacji();        // the gravity step
void klawisze_yn(const unsigned char *k);   // Y and N after game over
void nowa_gra_reset();         // the reset shared by Y and Escape
void ucieczka_z_gry();         // Escape from a game: back to the menu

// ---- Bonuses, messages and record (bonuses.cpp) ----

// Message kinds shown by the overlay and sounded at their end.
enum {
  WIAD_POZIOM = 0,             // "NEXT LEVEL!"
  WIAD_BONUS100 = 1,
  WIAD_BONUS200 = 2,
  WIAD_BONUS1000 = 3,
  WIAD_COMBO = 4,
  WIAD_DUZO = 5                // "A LOT OF BONUSES!"
};

extern bool musi;              // a message runs
extern int dzwiek;             // kind of the running (or last) message
extern int dodzwieku;          // frames since the running message started
extern float bonuses;          // messages run to their end since the last award or new game
extern int combo;              // particle endings in the current combo window
extern int czas;               // frames on the combo clock
extern bool dodajczas;         // the combo clock runs
extern int rekord;             // best score
extern bool czyrekord;         // the record sample has sounded in this game
extern int czyszklo;           // glass mode is unlocked
extern int pepper;             // frames left for the unlock notice

void zacznij_wiadomosc(int rodzaj);
void premie_wierszy();         // bonuses for three, four, five or more rows at once
void koniec_kuli();            // one particle ended: the combo count
void zegar_combo();            // the combo clock
void nagroda_za_dwadziescia(); // the award for twenty messages
void liczniki_wiadomosci();    // message timers and their end samples
void sprawdz_rekord();         // the record follows the score
void odblokuj_szklo();         // glass mode above 10000 points

#endif
