// What settings.cpp links to outside itself, for building it alone into the fuzzer.
#include "game/game.h"
#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>

int rekord = 0;
int czyszklo = 1;

void zakoncz_z_bledem(const char *komunikat) {
  fputs(komunikat, stderr);
  abort();   // the fuzzer never opens a file, so this is never reached
}

void odtworz_okno() {}
