// The sound bank: 28 samples loaded at start-up, started one at a time while
// sound is on, stopped all together whenever the music changes.
#include "text_sound/text_sound.h"
#include "game/game.h"
#include "shell/shell.h"
#include "fsound/fsound.h"
#include "ustawienia/ustawienia.h"

FSOUND_SAMPLE *muzyka[40];

const char *const pliki_probek[LICZBA_PROBEK] = {
  "sfx/explosion.wav", "sfx/intarget.wav", "sfx/rotate.wav", "sfx/new.wav",
  "sfx/level.wav", "sfx/impressive.wav", "sfx/perfect.wav", "sfx/godlike.wav",
  "sfx/delete.wav", "sfx/laugh.wav", "sfx/gameover.wav", "sfx/drag.wav",
  "sfx/alarm.wav", "sfx/record.wav", "sfx/combo.wav", "music/start.mp3",
  "music/game.mp3", "music/gameover.mp3", "sfx/trythislaugh.wav", "sfx/other.wav",
  "sfx/panic.wav", "sfx/children.wav", "sfx/greetings.wav", "sfx/bells.wav",
  "sfx/breath.wav", "sfx/glass.wav", "sfx/glasshit.wav", "sfx/glassrub.wav"};

bool otworz_dzwiek() { return FSOUND_Init(22050, 16, 0) != 0; }

void wczytaj_dzwieki() {
  for (int k = 0; k < LICZBA_PROBEK; k++)
    muzyka[k] = FSOUND_Sample_Load(-1, pliki_probek[k], FSOUND_WHOLEFILE, 0, 0);
  FSOUND_Sample_SetMode(muzyka[SMP_MUSIC_GAME], FSOUND_LOOP_NORMAL);
  FSOUND_Sample_SetMode(muzyka[SMP_OTHER], FSOUND_LOOP_NORMAL);
}

void zwolnij_dzwieki() {
  for (int k = 0; k < 40; k++)
    if (muzyka[k]) {
      FSOUND_Sample_Free(muzyka[k]);
      muzyka[k] = nullptr;
    }
  FSOUND_Close();
}

void graj(int probka) {
  if (czymuza != 1 || probka < 0 || probka >= 40) return;
  if (!glosnosc_probki(probka)) return;
  FSOUND_PlaySound(FSOUND_FREE, muzyka[probka]);
}

void zatrzymaj() { FSOUND_StopSound(FSOUND_ALL); }

int probka_szkla(int probka) {
  if (!szklo) return probka;
  if (probka == SMP_EXPLOSION) return SMP_GLASSHIT;
  if (probka == SMP_INTARGET) return SMP_GLASS;
  if (probka == SMP_DRAG) return SMP_GLASSRUB;
  return probka;
}

void zmianatla() {
  zatrzymaj();
  if (childmode) {
    graj(SMP_OTHER);
    graj(SMP_CHILDREN);
  } else {
    graj(SMP_MUSIC_GAME);
    graj(SMP_PANIC);
  }
}
