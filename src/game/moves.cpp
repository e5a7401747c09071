// What the player does to the falling piece: step it down, turn it, move it
// sideways; the rare special pieces and the turns that provoke child mode.
#include "game/game.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <cstdlib>

int rotpomoc[16];
int bonusk = 0;
bool childmode = false;
int textual = 0;
int trythat = 0;

bool gra_biegnie() { return !gameini && !wtopa && pauza == 0; }

void ruch_dol() {
  if (!czydotknal()) {
    zablokuj_klocek();
    // Three chances in 200 that the new piece becomes the next special shape.
    int r = rand();
    if (r % 200 <= 2 && klasyczny == 0) {
      bonusk++;
      if (bonusk > 3) bonusk = 0;
      jaki = bonusk + 8;
      graj(SMP_TRYTHISLAUGH);
      trythat = 90;
    }
  }
  gamespeed = 0;
  yk++;
}

void ruch_obrot() {
  obrot = 1;
  int n = ilema[jaki];
  for (int e = 0; e < 16; e++) rotpomoc[e] = 0;
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++) rotpomoc[i * 4 + j] = klocek[jaki * 16 + i * 4 + j];

  // A quarter turn clockwise about the box centre: cell (i, j) goes to (n-1-j, i).
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++)
      if (rotpomoc[i * 4 + j] && komorka(xk - 1 + (n - 1 - j), yk + i)) return;

  graj(SMP_ROTATE);
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++) klocek[jaki * 16 + i * 4 + j] = rotpomoc[j * 4 + (n - 1 - i)];
  rotations++;
  if (rotations == 7 && !childmode && klasyczny == 0) {
    childmode = true;
    textual = 160;
    zmianatla();
  }
}

// One column sideways; kierunek -1 left, +1 right. A slide along a surface scrapes.
static void ruch_w_bok(int kierunek) {
  bool zablokowany = false, dotyka = false;
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) {
      if (!klocek[jaki * 16 + i * 4 + j]) continue;
      int x = xk - 1 + i, y = yk + j;
      if (komorka(x + kierunek, y)) zablokowany = true;
      if (komorka(x + kierunek, y + 1) || komorka(x, y + 1)) dotyka = true;
    }
  if (zablokowany) return;
  if (dotyka) graj(probka_szkla(SMP_DRAG));
  xk += kierunek;
}

void ruch_lewo() {
  left = 1;
  ruch_w_bok(-1);
}

void ruch_prawo() {
  right = 1;
  ruch_w_bok(1);
}
