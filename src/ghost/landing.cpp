// The landing row: the fall of Down held, without its sounds or its lock.
#include "ghost/ghost.h"
#include "game/game.h"

int pole_studni(const int *w, int x, int y) {
  int i = x * STUDNIA_WIERSZE + y;
  if (i < 0 || i >= STUDNIA_ROZMIAR) return 1;
  return w[i] != 0;
}

bool spoczywa(const int *w, const int *ksztalt, int n, int x, int y) {
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++)
      if (ksztalt[i * 4 + j] && pole_studni(w, x - 1 + i, y + j + 1)) return true;
  return false;
}

int wiersz_ladowania(const int *w, const int *ksztalt, int n, int x, int y) {
  // Row 0 of the next column is the floor under row 20, so every piece rests
  // by row 20; the bound only guards a shape with no cell at all.
  while (y < STUDNIA_WIERSZE && !spoczywa(w, ksztalt, n, x, y)) y++;
  return y;
}

int wiersz_ladowania_klocka() {
  return wiersz_ladowania(studnia, &klocek[jaki * 16], ilema[jaki], xk, yk);
}
