// The menu and the options list: their cursors, keys and toggles.
#include "shell/shell.h"
#include "game/game.h"
#include "text_sound/text_sound.h"

bool gameini = true;
bool menu = false;
int elem2 = 1;
int elem = 1;
int ent = 0, dp = 0, obrot = 0, left = 0, right = 0;

int klawiatura_niepewna = 0;

void zwolnij_zatrzask(const Uint8 *k, int klawisz, int *zatrzask) {
  if (!k[klawisz] && klawiatura_niepewna == 0) *zatrzask = 0;
}

int liczba_opcji() { return czyszklo != 0 ? 8 : 7; }

void menu_return(const Uint8 *k) {
  if (gameini && k[KLAWISZ_RETURN] && ent == 0) {
    ent = 1;
    if (menu) zmiany_opcji();
    if (elem2 == 1) {
      gameini = false;
      kloc = false;
      zatrzymaj();
      graj(SMP_MUSIC_GAME);
    }
    if (elem2 == 2) menu = !menu;
    if (elem2 == 3) done = true;
  }
  zwolnij_zatrzask(k, KLAWISZ_RETURN, &ent);
}

void menu_dol(const Uint8 *k) {
  if (gameini && k[KLAWISZ_DOL] && dp == 0) {
    if (menu) {
      elem++;
      if (elem > liczba_opcji()) elem = 1;
    } else {
      elem2++;
      if (elem2 > 3) elem2 = 1;
    }
    dp = 1;
    graj(SMP_ROTATE);
  }
  zwolnij_zatrzask(k, KLAWISZ_DOL, &dp);
}

void menu_gora(const Uint8 *k) {
  if (gameini && k[KLAWISZ_GORA] && obrot == 0) {
    if (menu) {
      elem--;
      if (elem <= 0) elem = liczba_opcji();
    } else {
      elem2--;
      if (elem2 <= 0) elem2 = 3;
    }
    obrot = 1;
    graj(SMP_ROTATE);
  }
  zwolnij_zatrzask(k, KLAWISZ_GORA, &obrot);
}

void przelacz_opcje(int pozycja) {
  int *przelacznik = nullptr;
  switch (pozycja) {
    case 1:
      if (width == 640) { width = 800; height = 600; }
      else if (width == 800) { width = 640; height = 480; }
      return;
    case 2:
      if (bittes == 32) bittes = 16;
      else if (bittes == 16) bittes = 32;
      return;
    case 3: przelacznik = &jakosc; break;
    case 4: przelacznik = &czymuza; break;
    case 5: przelacznik = &czytlo; break;
    case 6: przelacznik = &czyfram; break;
    case 7: przelacznik = &klasyczny; break;
    case 8: przelacznik = &szklo; break;
    default: return;
  }
  if (*przelacznik == 1) *przelacznik = 0;
  else if (*przelacznik == 0) *przelacznik = 1;
}

// Left and Right do the same on the options list: toggle the entry under the cursor.
static void opcje_klawisz(const Uint8 *k, int klawisz, int *zatrzask) {
  if (menu && k[klawisz] && *zatrzask == 0) {
    przelacz_opcje(elem);
    *zatrzask = 1;
    graj(SMP_ROTATE);   // after the toggle: switching the music on is heard, off is not
  }
  zwolnij_zatrzask(k, klawisz, zatrzask);
}

void opcje_lewo(const Uint8 *k) { opcje_klawisz(k, KLAWISZ_LEWO, &left); }
void opcje_prawo(const Uint8 *k) { opcje_klawisz(k, KLAWISZ_PRAWO, &right); }
