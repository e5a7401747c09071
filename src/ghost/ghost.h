// Where a piece will land. The landing row is one computation shared by the
// ghost piece, which shows it, and by whatever plans a piece's placement: the
// row anchor at which the piece, falling as Down held from now on would move
// it, comes to rest. It reads a well and never writes one, sounds nothing and
// changes none of the game's state.
#ifndef BRIXEL_GHOST_H
#define BRIXEL_GHOST_H

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

#endif
