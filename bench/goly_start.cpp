// The floor of the game's start-up: a bare SDL 1.2 program that opens the same
// full-screen OpenGL window (800 x 600, 16 bits, double-buffered, the
// visual the game's request settles on under Xvfb), swaps once,
// uploads one texture, draws one textured frame and swaps. Timed by the same
// first-frame shim as the game (`brixel_bench floor`), which ends it at its
// second swap.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <vector>

int main(int, char **) {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);   // what the game's request falls back to here
  if (!SDL_SetVideoMode(800, 600, 16, SDL_OPENGL | SDL_FULLSCREEN)) {
    fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GL_SwapBuffers();

  std::vector<unsigned char> obraz(256 * 256 * 4);
  for (int y = 0; y < 256; y++)
    for (int x = 0; x < 256; x++) {
      unsigned char *p = &obraz[(y * 256 + x) * 4];
      p[0] = (unsigned char)x;
      p[1] = (unsigned char)y;
      p[2] = (unsigned char)(x ^ y);
      p[3] = 255;
    }
  GLuint t = 0;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, obraz.data());
  glEnable(GL_TEXTURE_2D);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1); glVertex2f(-1, -1);
  glTexCoord2f(1, 1); glVertex2f(1, -1);
  glTexCoord2f(1, 0); glVertex2f(1, 1);
  glTexCoord2f(0, 0); glVertex2f(-1, 1);
  glEnd();
  SDL_GL_SwapBuffers();
  SDL_Quit();
  return 0;
}
