// Turns PNG pictures into OpenGL textures and loads the game's twenty texture
// slots in their fixed order.
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <SDL.h>
#include <SDL_image.h>
#include <GL/glu.h>

int TM_TYPE = 0;
GLuint gTexture[90];
GLuint nazwa_slotu[21];

void TextureMode(int mode) {
  if (mode < 0) mode = 0;
  if (mode > 2) mode = 2;
  TM_TYPE = mode;
}

int power_of_two(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

void TextureMAP() {
  switch (TM_TYPE) {
    case 0:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      break;
    case 1:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
      break;
    case 2:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
      break;
  }
}

GLuint LoadTexture(const char *file) {
  SDL_Surface *obraz = IMG_Load(file);
  if (!obraz) return 0;
  int w2 = power_of_two(obraz->w), h2 = power_of_two(obraz->h);
  GLint najwiekszy = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &najwiekszy);
  // A picture too large for the GL is treated like one that failed to load.
  if (najwiekszy <= 0 || w2 > najwiekszy || h2 > najwiekszy) {
    SDL_FreeSurface(obraz);
    return 0;
  }
  SDL_Surface *rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, w2, h2, 32, 0x000000FF, 0x0000FF00,
                                           0x00FF0000, 0xFF000000);
  if (!rgba) {
    SDL_FreeSurface(obraz);
    return 0;
  }
  // Copy the alpha channel rather than blend with it.
  Uint32 flagi = obraz->flags & (SDL_SRCALPHA | SDL_RLEACCELOK);
  Uint8 alfa = obraz->format->alpha;
  if (flagi & SDL_SRCALPHA) SDL_SetAlpha(obraz, 0, 0);
  SDL_Rect obszar = {0, 0, (Uint16)obraz->w, (Uint16)obraz->h};
  SDL_BlitSurface(obraz, &obszar, rgba, &obszar);
  if (flagi & SDL_SRCALPHA) SDL_SetAlpha(obraz, flagi, alfa);

  GLuint nazwa = 0;
  glGenTextures(1, &nazwa);
  glBindTexture(GL_TEXTURE_2D, nazwa);
  TextureMAP();
  SDL_LockSurface(rgba);
  if (TM_TYPE == 2)
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, w2, h2, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
  else
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w2, h2, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
  SDL_UnlockSurface(rgba);
  SDL_FreeSurface(rgba);
  SDL_FreeSurface(obraz);
  return nazwa;
}

void RemoveTexture(GLuint name) {
  if (name != 0) glDeleteTextures(1, &name);
}

void wiaz_slot(int slot) {
  GLuint nazwa = (slot >= 1 && slot <= 20) ? nazwa_slotu[slot] : 0;
  glBindTexture(GL_TEXTURE_2D, nazwa);
}

// Pictures of slots 1 to 19, in load order.
static const char *const pliki_tekstur[19] = {
  "gfx/background.png", "gfx/brick4.png", "gfx/wood1.png", "gfx/brick3.png",
  "gfx/brick1.png", "gfx/brick2.png", "gfx/alarm.png", "gfx/column.png",
  "gfx/wood2.png", "gfx/lightmap.png", "gfx/lightpanel.png", "gfx/skill.png",
  "gfx/bonuses.png", "gfx/childbrick1.png", "gfx/childbrick2.png", "gfx/childbrick4.png",
  "gfx/desk.png", "gfx/skull.png", "gfx/shine.png"};

static void wczytaj_slot(int slot) {
  GLuint nazwa = LoadTexture(pliki_tekstur[slot - 1]);
  gTexture[slot - 1] = nazwa;
  nazwa_slotu[slot] = nazwa;
}

void wczytaj_tekstury() {
  for (int s = 0; s <= 20; s++) nazwa_slotu[s] = 0;
  TextureMode(2);
  if (jakosc == 1) TextureMode(1);
  for (int s = 1; s <= 2; s++) wczytaj_slot(s);
  TextureMode(2);
  for (int s = 3; s <= 13; s++) wczytaj_slot(s);
  if (jakosc == 1) TextureMode(1);
  for (int s = 14; s <= 17; s++) wczytaj_slot(s);
  TextureMode(2);
  for (int s = 18; s <= 19; s++) wczytaj_slot(s);

  foncik = LoadFont("gfx/font.png");
  UseFont(foncik);
  nazwa_slotu[20] = foncik;
}

void usun_tekstury() {
  for (int i = 0; i < 90; i++) {
    RemoveTexture(gTexture[i]);
    gTexture[i] = 0;
  }
  for (int s = 0; s <= 20; s++) nazwa_slotu[s] = 0;
}
