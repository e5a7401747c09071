// The ghost piece: its key, its switch kept in preferences.cfg, and its
// drawing at the landing row.
#include "ghost/ghost.h"
#include "game/game.h"
#include "player/player.h"
#include "render/render.h"
#include "shell/shell.h"

#include <cstdio>

bool duch_wlaczony = false;
int napis_ducha = 0;

static int zatrzask_ducha = 0;   // the key has acted and is not yet released
// How long the line saying the switch stays: about two seconds of play.
static const int PRZEBIEGI_NAPISU = 150;

void przelacz_ducha() {
  duch_wlaczony = !duch_wlaczony;
  napis_ducha = PRZEBIEGI_NAPISU;
  if (!zapisz_ustawienie_w_preferencjach("ghost", duch_wlaczony))
    fprintf(stderr, "Cannot write %s; the ghost piece's choice holds for this run only.\n", PLIK_PREFERENCJI);
}

void klawisz_ducha(Uint8 *k) {
  // Held from the menu into a game it does not act: only a new press does.
  if (k[KLAWISZ_DUCHA]) {
    if (zatrzask_ducha == 0 && !gameini && !wtopa) przelacz_ducha();
    zatrzask_ducha = 1;
  }
  zwolnij_zatrzask(k, KLAWISZ_DUCHA, &zatrzask_ducha);
  k[KLAWISZ_DUCHA] = 0;
}

// Whether box cell (i, j) of the falling piece's shape is a cell.
static bool komorka_ksztaltu(int i, int j) {
  int n = ilema[jaki];
  return i >= 0 && j >= 0 && i < n && j < n && klocek[jaki * 16 + i * 4 + j] != 0;
}

// How faint the ghost is: the share of its own colour in the pixels it covers.
static const float PRZEZROCZYSTOSC = 0.3f;
static const float PRZEZROCZYSTOSC_SWIECACEJ = 0.45f;   // the glowing cell and glass, added to the picture
static const float KRAWEDZ = 0.6f;                       // its outline, pale over any bricks

// The outline of the ghost's front: the edges of its cells' front faces that
// no other cell of the shape shares. Cell (i, j) of the box falls spadek rows.
static void obrys(int spadek) {
  int n = ilema[jaki];
  glBegin(GL_LINES);
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++) {
      if (!komorka_ksztaltu(i, j) || komorka_ksztaltu(i, j + spadek)) continue;
      // The front face of the box DrawTexturedCube draws at the cell's anchor.
      float x1 = 0.1f - (i + xk) * 0.2f - 0.05f + 0.1f, x0 = x1 - 0.2f;
      float y1 = 0.75f - (j + yk + spadek - 1) * 0.2f - 0.05f + 0.1f, y0 = y1 - 0.2f;
      const float z = -0.35f;
      // +x is the viewer's left, the column before.
      if (!komorka_ksztaltu(i - 1, j)) { glVertex3f(x1, y0, z); glVertex3f(x1, y1, z); }
      if (!komorka_ksztaltu(i + 1, j)) { glVertex3f(x0, y0, z); glVertex3f(x0, y1, z); }
      if (!komorka_ksztaltu(i, j - 1)) { glVertex3f(x0, y1, z); glVertex3f(x1, y1, z); }
      if (!komorka_ksztaltu(i, j + 1)) { glVertex3f(x0, y0, z); glVertex3f(x1, y0, z); }
    }
  glEnd();
}

void rysuj_ducha() {
  if (!duch_wlaczony || gameini || pauza || wtopa) return;
  int spadek = wiersz_ladowania_klocka() - yk;
  if (spadek <= 0) return;   // it rests already: the ghost would be the piece

  bool swieci = jaki == 7 || szklo;
  int v = jaki == 7 ? 4 : childmode ? 14 : (szklo ? 2 : 5);
  int spod = szklo ? 2 : 0;   // the bottom face, as the piece has it
  float a = swieci ? PRZEZROCZYSTOSC_SWIECACEJ : PRZEZROCZYSTOSC;

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  // Translucent over what lies behind it, hidden by what is in front of it,
  // and hiding nothing drawn after it.
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, swieci ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
  glDepthMask(GL_FALSE);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  if (szklo) {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
  }
  const GLfloat rozproszone[4] = {0.8f, 0.8f, 0.8f, a}, otoczenie[4] = {0.2f, 0.2f, 0.2f, a};
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, rozproszone);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, otoczenie);
  glColor4f(1.0f, 1.0f, 1.0f, a);

  int n = ilema[jaki];
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++) {
      if (!komorka_ksztaltu(i, j)) continue;
      // Not over the piece itself where the two meet.
      if (komorka_ksztaltu(i, j + spadek)) continue;
      float x = 0.1f - (i + xk) * 0.2f, y = 0.75f - (j + yk + spadek - 1) * 0.2f;
      if (jakosc == 0) {
        DrawTexturedCube(0, 0, 0, 0, 0, v, x, y, -0.2f, 0.1f, 0.1f, 0.1f, 1, 1);
        continue;
      }
      // The outer faces only: inside faces would show through.
      DrawTexturedCube(komorka_ksztaltu(i, j - 1) ? 0 : v, komorka_ksztaltu(i, j + 1) ? 0 : spod, 0,
                       komorka_ksztaltu(i - 1, j) ? 0 : v, komorka_ksztaltu(i + 1, j) ? 0 : v, v, x, y, -0.2f,
                       0.1f, 0.1f, 0.1f, 1, 1);
    }

  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(height >= 600 ? 2.0f : 1.5f);
  glColor4f(1.0f, 1.0f, 1.0f, KRAWEDZ);
  obrys(spadek);
  glPopAttrib();
}
