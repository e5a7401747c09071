// The window: an OpenGL surface through SDL 1.2, and the GL state every frame
// relies on.
#include "shell/shell.h"
#include "render/render.h"
#include "text_sound/text_sound.h"

#include <cstdio>
#include <ctime>

GLUquadricObj *quadratic = nullptr;
int fps1 = 0;
float LightAmbient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float LightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float LightPosition1[4] = {0.1f, -0.2f, 0.2f, 0.4f};

// The last mode that could be set, to fall back on when a new one cannot.
static int dzialajaca_szerokosc = 0, dzialajaca_wysokosc = 0, dzialajaca_glebia = 0;

int CreateGLWindow(const char *title, int w, int h, int bits, int fullscreenflag) {
  // Sizes no display can show are refused here rather than handed to X.
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || bits < 0 || bits > 32) return 0;
  Uint32 flagi = SDL_OPENGL;
  if (fullscreenflag) flagi |= SDL_FULLSCREEN;
  if (!SDL_SetVideoMode(w, h, bits, flagi)) return 0;
  dzialajaca_szerokosc = w;
  dzialajaca_wysokosc = h;
  dzialajaca_glebia = bits;

  SDL_WM_SetCaption(title, "opengl");
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, (double)w / (double)h, (double)0.1f, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);

  glLightfv(GL_LIGHT1, GL_AMBIENT, LightAmbient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, LightPosition1);
  glEnable(GL_LIGHT1);
  glEnable(GL_LIGHTING);

  // The quadric is client memory, not the context's: the old one goes with it.
  if (quadratic) gluDeleteQuadric(quadratic);
  quadratic = gluNewQuadric();
  gluQuadricNormals(quadratic, GLU_FLAT);
  gluQuadricTexture(quadratic, GL_TRUE);

  glFogf(GL_FOG_DENSITY, 0.07f);
  glEnable(GL_FOG);
  fps1 = (int)time(nullptr);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  return 1;
}

static void brak_trybu() {
  char komunikat[512];
  snprintf(komunikat, sizeof komunikat, "Couldn't set video mode: %s\n", SDL_GetError());
  zakoncz_z_bledem(komunikat);
}

void otworz_pierwsze_okno() {
  // Ask for the depth buffer of the colour depth and a stencil of 10; where the
  // display has no such visual, lower the stencil, then the depth, step by step.
  const int szablony[] = {10, 8, 0};
  const int glebie[] = {bittes, 24, 16};
  for (int g = 0; g < 3; g++) {
    if (g > 0 && glebie[g] >= bittes) continue;
    for (int s = 0; s < 3; s++) {
      SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, glebie[g]);
      SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
      SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, szablony[s]);
      if (CreateGLWindow("BRIXEL", width, height, bittes, 1)) {
        // A refused request drops SDL's input grab; take it again for the
        // window that opened.
        SDL_WM_GrabInput(SDL_GRAB_ON);
        return;
      }
    }
  }
  brak_trybu();
}

void odtworz_okno() {
  usun_tekstury();
  SDL_Quit();
  if (!CreateGLWindow("BRIXEL", width, height, bittes, 1)) {
    // Keep playing in the last mode that worked rather than without a window.
    if (dzialajaca_szerokosc == 0 ||
        !CreateGLWindow("BRIXEL", dzialajaca_szerokosc, dzialajaca_wysokosc, dzialajaca_glebia, 1))
      brak_trybu();
    width = dzialajaca_szerokosc;
    height = dzialajaca_wysokosc;
    bittes = dzialajaca_glebia;
  }
  SDL_ShowCursor(0);
  wczytaj_tekstury();
  // The rest of this pass and the next one read the keys before the new window
  // has been told which are held; let it hear about them as soon as it can.
  klawiatura_niepewna = 2;
  SDL_PumpEvents();
}
