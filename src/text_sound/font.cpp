// The bitmap font: one texture cut into a 16 x 16 grid of glyphs, one display
// list per glyph, drawn in window pixels at a fixed 32-pixel pitch.
#include "text_sound/text_sound.h"
#include "render/render.h"
#include "shell/shell.h"

#include <cstring>

GLuint GL_texturefont = 0;
GLuint base = 0;
GLuint loop = 0;
GLuint foncik = 0;

void UseFont(GLuint name) {
  if (name != 0) GL_texturefont = name;
}

GLuint LoadFont(const char *file) {
  TextureMode(0);
  GLuint nazwa = LoadTexture(file);
  UseFont(nazwa);
  base = glGenLists(256);
  glBindTexture(GL_TEXTURE_2D, GL_texturefont);
  for (loop = 0; loop < 256; loop++) {
    float cx = (float)(loop % 16) / 16.0f;
    float cy = (float)(loop / 16) / 16.0f;
    glNewList(base + loop, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(cx + 0.0625f, cy + 0.0625f); glVertex2i(32, 0);
    glTexCoord2f(cx, cy + 0.0625f);           glVertex2i(0, 0);
    glTexCoord2f(cx, cy);                     glVertex2i(0, 32);
    glTexCoord2f(cx + 0.0625f, cy);           glVertex2i(32, 32);
    glEnd();
    glTranslated(32, 0, 0);
    glEndList();
  }
  return nazwa;
}

void glPrint(int x, int y, const char *text, int set) {
  if (set > 1) set = 1;
  glBindTexture(GL_TEXTURE_2D, GL_texturefont);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, (double)width, 0, (double)height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslated(x, y, 0);
  glListBase(base - 32 + 128 * set);
  glCallLists((GLsizei)strlen(text), GL_BYTE, text);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}

void KillFont(GLuint name) {
  glDeleteLists(base, 256);
  RemoveTexture(name);
  RemoveTexture(GL_texturefont);
}
