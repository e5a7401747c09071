// Text and sound: the bitmap font, the text overlay, the sound bank and cues.
#ifndef BRIXEL_TEXT_SOUND_H
#define BRIXEL_TEXT_SOUND_H

#include <GL/gl.h>

struct FSOUND_SAMPLE;

// ---- Bitmap font (font.cpp) ----

extern GLuint GL_texturefont;  // texture of every glyph
extern GLuint base;            // first of the 256 glyph lists
extern GLuint loop;            // cell counter while the lists are compiled
extern GLuint foncik;          // the font texture that start-up and re-creation load

GLuint LoadFont(const char *file);
void UseFont(GLuint name);
void glPrint(int x, int y, const char *text, int set);
void KillFont(GLuint name);

// ---- Text overlay (overlay.cpp) ----

extern int counter, fps2, licznik;    // the frame-rate counter
extern int distortion, chaos;         // the wobble of the titles
extern const int distx[10], disty[10];
extern int ruchpox;                   // leftward slide of the bonus message

void nakladka_tekstu();        // the overlay pass
void krok_drgania(int *dx, int *dy);  // one wobble step: the offset of this frame

// ---- Sound bank and cues (sound.cpp) ----

// Sample slots, named by file stem.
enum {
  SMP_EXPLOSION = 0, SMP_INTARGET, SMP_ROTATE, SMP_NEW, SMP_LEVEL, SMP_IMPRESSIVE,
  SMP_PERFECT, SMP_GODLIKE, SMP_DELETE, SMP_LAUGH, SMP_GAMEOVER, SMP_DRAG, SMP_ALARM,
  SMP_RECORD, SMP_COMBO, SMP_MUSIC_START, SMP_MUSIC_GAME, SMP_MUSIC_GAMEOVER,
  SMP_TRYTHISLAUGH, SMP_OTHER, SMP_PANIC, SMP_CHILDREN, SMP_GREETINGS, SMP_BELLS,
  SMP_BREATH, SMP_GLASS, SMP_GLASSHIT, SMP_GLASSRUB,
  LICZBA_PROBEK                 // 28 samples loaded
};

extern FSOUND_SAMPLE *muzyka[40];
extern const char *const pliki_probek[LICZBA_PROBEK];   // file of each slot

bool otworz_dzwiek();          // open the sound library
void wczytaj_dzwieki();        // load the 28 samples and make two of them loop
void zwolnij_dzwieki();        // free the samples and close the library
void graj(int probka);         // start a sample, only while sound is on
void zatrzymaj();              // stop every sound, always
void zmianatla();              // the music switch of child mode
// The glass variant of explosion, intarget and drag while glass mode is on.
int probka_szkla(int probka);

#endif
