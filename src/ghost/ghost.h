// Where a piece will land, and the lines that tell the player what is going
// on. The landing row is one computation shared by the ghost piece, which
// shows it, and by whatever plans a piece's placement: the row anchor at which
// the piece, falling as Down held from now on would move it, comes to rest. It
// reads a well and never writes one, sounds nothing and changes none of the
// game's state.
//
// The ghost piece is a faint copy of the falling piece drawn at that row, in
// every look, off until the player switches it on with G (or what
// preferences.cfg binds to ghost; a pad's X in a game while X is bound to
// nothing else). The choice is kept in preferences.cfg as "ghost = yes|no".
// It changes no rule: its key never reaches the rules' key state nor a
// recording, it sounds nothing, and with the ghost off it draws nothing and
// leaves the GL state as it found it.
//
// Before the overlay draws its lines, each line it is about to draw across
// the well (score and record, pause, taunts, messages, the glass notice, game
// over) gets a dark
// backing in the shape of its letters, so that it stays legible over the
// bricks of every look; the overlay then draws the same text, at the same
// place, in the same colour. The same pass adds the line of a replay (REPLAY
// and its keys) and the notice of the ghost's switch.
#ifndef BRIXEL_GHOST_H
#define BRIXEL_GHOST_H

#include <SDL.h>

// ---- The landing row (landing.cpp) ----

// Entry (x, y) of the well w (STUDNIA_ROZMIAR entries, entry x*21 + y) by the
// game's index rule: row 21 of a column is the next column's row 0, and any
// entry outside the array counts as occupied. 1 occupied, 0 empty.
int pole_studni(const int *w, int x, int y);
// Whether a piece of box ksztalt (16 entries, entry i*4 + j, side n) anchored
// at (x, y) rests in w: one of its cells has an occupied entry right under it.
bool spoczywa(const int *w, const int *ksztalt, int n, int x, int y);
// The row anchor from y on at which that piece first rests: where it locks if
// it keeps falling one row at a time. y itself when it rests already.
int wiersz_ladowania(const int *w, const int *ksztalt, int n, int x, int y);
// The same for the falling piece in the game's well.
int wiersz_ladowania_klocka();

// ---- The ghost piece (ghost.cpp) ----

const int KLAWISZ_DUCHA = SDLK_g;   // the ghost's default key
extern bool duch_wlaczony;          // the ghost is shown (ghost = yes)
extern int napis_ducha;             // passes left for the line "GHOST ON" / "GHOST OFF"

// The ghost's key on the pass's key state k (SDLK_LAST bytes), before the
// pass is recorded or replayed: its press in a game, paused or not, switches
// the ghost and writes the choice to preferences.cfg. The key is then taken
// out of k, pressed or not.
void klawisz_ducha(Uint8 *k);
// Switches the ghost, shows the line saying so, and keeps the choice.
void przelacz_ducha();
// Next to the falling piece's drawing: the ghost at the landing row, while a
// game runs and the ghost is on. Leaves every GL state as it was.
void rysuj_ducha();

// ---- Lines over the scene (lines.cpp) ----

// Before the overlay pass: the backings of the lines it will draw over the
// well this pass, then the replay's line and the ghost's notice.
void przed_napisami();
// Darkens the picture under the letters of text as glPrint would draw it at
// (x, y) in character set `zestaw`, with a soft edge around them; the letters
// themselves are drawn afterwards by whoever draws the line.
void podklad_napisu(int x, int y, const char *tekst, int zestaw);
// A line with its backing, in the current colour and drawing state.
void napis_na_podkladzie(int x, int y, const char *tekst, int zestaw);
// A line with its backing, in the colour r, g, b, added to the picture as the
// overlay draws its text.
void napis_z_podkladem(int x, int y, const char *tekst, int zestaw, float r, float g, float b);

#endif
