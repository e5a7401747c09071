// What settings.cpp and preferences.cpp link to outside themselves, for
// building them alone into the fuzzers.
#include "game/game.h"
#include "ghost/ghost.h"
#include "koniec/koniec.h"
#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>

int rekord = 0;
int czyszklo = 1;
bool duch_wlaczony = false;

void zakoncz_z_bledem(const char *komunikat) {
  fputs(komunikat, stderr);
  abort();   // the fuzzer never opens a file, so this is never reached
}

void odtworz_okno() {}

// The file writer tells the end-on-signal guard of its writes.
void zapis_w_toku(bool) {}
