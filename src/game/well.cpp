// The well, the shape table, the falling piece and the four routines every
// rule of the game is built from.
#include "game/game.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"
#include "player/player.h"

#include <cstdlib>

int studnia[STUDNIA_ROZMIAR];
int klocek[12 * 16];
int ilema[12] = {2, 3, 3, 3, 3, 4, 3, 1, 3, 3, 3, 3};

int jaki = 0;
int nastepny = 0;
int xk = 6;
int yk = 0;
bool kloc = true;
int doskull = 0;
bool czyskull = false;
int rotations = 0;
int score = 0;

// The shapes as the player sees them: rows from the top, cells from the left.
static const char *const ksztalty[12][4] = {
  {"XX", "XX"},                        // square
  {".X.", "XX.", "X.."},               // skew
  {"X..", "XX.", ".X."},               // skew, mirrored
  {"XX.", ".X.", ".X."},               // hook
  {".X.", ".X.", "XX."},               // hook, mirrored
  {".X..", ".X..", ".X..", ".X.."},    // bar of four
  {".X.", "XX.", ".X."},               // tee
  {"X"},                               // single cell
  {"XXX", "X.X", "XXX"},               // ring of eight
  {".X.", "XXX", ".X."},               // plus
  {"X.X", "XXX", "X.X"},               // H
  {"XXX", "X..", "XXX"},               // C
};

void studnia_poczatkowa() {
  for (int x = 0; x < STUDNIA_KOLUMNY; x++)
    for (int y = 0; y < STUDNIA_WIERSZE; y++)
      studnia[x * STUDNIA_WIERSZE + y] = (x == 0 || x == 11 || y == 0) ? 1 : 0;
  for (int s = 0; s < 12; s++) {
    for (int e = 0; e < 16; e++) klocek[s * 16 + e] = 0;
    for (int j = 0; j < ilema[s]; j++)
      for (int i = 0; i < ilema[s]; i++)
        klocek[s * 16 + i * 4 + j] = ksztalty[s][j][i] == 'X' ? 1 : 0;
  }
}

// The program starts with the initial images in place.
static const bool studnia_gotowa = (studnia_poczatkowa(), true);

void oproznij_studnie() {
  for (int x = 1; x <= 10; x++)
    for (int y = 1; y <= 20; y++) studnia[x * STUDNIA_WIERSZE + y] = 0;
}

int komorka(int x, int y) {
  int i = x * STUDNIA_WIERSZE + y;
  if (i < 0 || i >= STUDNIA_ROZMIAR) return 1;
  return studnia[i] != 0;
}

void ustaw_komorke(int x, int y, int wartosc) {
  int i = x * STUDNIA_WIERSZE + y;
  if (i < 0 || i >= STUDNIA_ROZMIAR) return;
  // The walls and the hidden row never change.
  if (x <= 0 || x >= 11 || y <= 0) return;
  studnia[i] = wartosc;
}

static int komorka_ksztaltu(int s, int i, int j) {
  return klocek[s * 16 + i * 4 + j];
}

void dodaj_klocek() {
  doskull++;
  if (doskull == 250) czyskull = true;
  jaki = nastepny;
  nastepny = rand() % 7;
  xk = 6;
  yk = 0;
  kloc = true;
  dp = 1;
  graj(SMP_NEW);

  // The piece must fit one row below its spawn place, where its caller moves it.
  bool miesci = true;
  int n = ilema[jaki];
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++)
      if (komorka_ksztaltu(jaki, i, j) && komorka(xk - 1 + i, yk + j + 1)) miesci = false;
  if (miesci) return;

  wtopa = true;
  chaos = 0;
  zapis_konca_gry();
  zatrzymaj();
  graj(SMP_MUSIC_GAMEOVER);
  graj(SMP_GAMEOVER);
}

unsigned char czydotknal() {
  unsigned char wynik = 1;
  int n = ilema[jaki];
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++)
      if (komorka_ksztaltu(jaki, i, j) && komorka(xk - 1 + i, yk + j + 1)) {
        wynik = 0;
        graj(probka_szkla(SMP_EXPLOSION));
      }
  return wynik;
}

void dodajdostudni() {
  int n = ilema[jaki];
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++)
      if (komorka_ksztaltu(jaki, i, j)) ustaw_komorke(xk - 1 + i, yk + j, 1);
  score++;
  rotations = 0;
}

void zapadanie(int x) {
  int c = x - 1;
  bool kolumna_gry = c >= 1 && c <= 10;
  int ile = 0;
  if (kolumna_gry)
    for (int y = 20; y >= 1; y--)
      if (studnia[c * STUDNIA_WIERSZE + y]) {
        ile++;
        studnia[c * STUDNIA_WIERSZE + y] = 0;
      }
  ile++;
  graj(probka_szkla(SMP_INTARGET));
  if (kolumna_gry)
    for (int y = 20; y >= 1 && ile > 0; y--, ile--) studnia[c * STUDNIA_WIERSZE + y] = 1;
}

void zablokuj_klocek() {
  if (jaki == 7)
    zapadanie(xk);
  else
    dodajdostudni();
  dodaj_klocek();
}
