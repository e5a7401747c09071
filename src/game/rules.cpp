// The rules that advance a game by themselves, frame by frame: the top row,
// full rows and levels, the spawn and gravity steps, game over and the ways out.
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

int speed = 50;
int gamespeed = 0;
int level = 1;
int rozwalone = 0;
int calkowite = 0;
int ilelinii = 0;
bool wtopa = false;
bool alarm = false;
float yzbi = 0;
int yp = 0;

void czyszczenie_gory() {
  for (int x = 1; x <= 10; x++)
    if (studnia[x * STUDNIA_WIERSZE + 1]) {
      studnia[x * STUDNIA_WIERSZE + 1] = 0;
      graj(SMP_DELETE);
    }
}

void skan_wierszy() {
  int ile_alarm = 0;
  int w = 20;
  while (w >= 1) {
    int ile = 0;
    for (int x = 1; x <= 10; x++) {
      if (studnia[x * STUDNIA_WIERSZE + w]) ile++;
      if (w == 3 && studnia[x * STUDNIA_WIERSZE + 4]) ile_alarm++;
    }
    alarm = ile_alarm > 0;
    if (ile != 10) {
      w--;
      continue;
    }
    score += 10;
    yzbi -= 500;
    if (yzbi < 0) yzbi = 0;
    graj(probka_szkla(SMP_INTARGET));
    wybuch(w);
    rozwalone++;
    calkowite++;
    for (int r = w; r >= 2; r--)
      for (int x = 1; x <= 10; x++)
        studnia[x * STUDNIA_WIERSZE + r] = studnia[x * STUDNIA_WIERSZE + r - 1];
    if (w == 1) break;   // otherwise the same row is examined again: it holds the row above now
  }

  if (rozwalone > 19) {
    rozwalone = 0;
    level++;
    speed -= 5;
    dzwiek = WIAD_POZIOM;
    if (klasyczny == 0) {
      musi = true;
      dodzwieku = 0;
      jaki = 7;   // the falling piece turns into the single cell in place
    }
  }
}

void krok_spawn() {
  if (kloc) return;
  dodaj_klocek();
  graj(SMP_LAUGH);
}

void krok_grawitacji() {
  gamespeed++;
  if (gamespeed > speed) {
    if (!czydotknal()) zablokuj_klocek();
    gamespeed = 0;
    yk++;
  }
}

void nowa_gra_reset() {
  score = 0;
  kloc = false;
  speed = 50;
  gamespeed = 0;
  rozwalone = 0;
  level = 1;
  calkowite = 0;
  wtopa = false;
  dodzwieku = 0;
  ilelinii = 0;
  musi = false;
  czyrekord = false;
  yzbi = 0;
  bonuses = 0;
  rotations = 0;
  childmode = false;
  doskull = 0;
  textual = 0;
}

void klawisze_yn(const unsigned char *k) {
  if (!wtopa) return;
  if (k[KLAWISZ_Y] && yp == 0) {
    yp = 1;
    nowa_gra_reset();
    zatrzymaj();
    graj(SMP_MUSIC_GAME);
    oproznij_studnie();
  }
  zwolnij_zatrzask(k, KLAWISZ_Y, &yp);
  if (k[KLAWISZ_N]) done = true;
}

void ucieczka_z_gry() {
  yp = 1;
  nowa_gra_reset();
  oproznij_studnie();
  menu = false;
  gameini = true;
  wtopa = false;
  // A game left during a pause must not leave the menu paused and deaf to keys.
  pauza = 0;
  zatrzymaj();
  graj(SMP_MUSIC_START);
}
