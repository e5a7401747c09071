// The room, the well and the pieces, drawn every frame, and the camera that
// eases after the falling piece.
#include "render/render.h"
#include "game/game.h"
#include "shell/shell.h"

float heading = 549.0f;
float yrot = 0;
float sceneroty = 0;
float lookupdown = 31.0f;
float ruch_z = -4.88f;
float ruch_x = -1.33f;
float ruch_y = -1.23f;
float xtrans = 0, ytrans = 0, ztrans = 0;
int color2 = 0;

void kamera_zbliz() {
  float h = 550.0f - (float)xk;
  if (heading > h) heading -= 0.1f;
  if (heading < h) heading += 0.1f;
  yrot = heading;

  float p = (float)yk / 3 + 23;
  if (lookupdown > p) lookupdown -= 0.05f;
  if (lookupdown < p) lookupdown += 0.05f;

  float z = -5 - (float)yk / 23;
  if (ruch_z > z) ruch_z -= 0.002f;
  if (ruch_z < z) ruch_z += 0.002f;

  xtrans = -ruch_x;
  ztrans = -ruch_z;
  ytrans = ruch_y;
  sceneroty = 360.0f - yrot;
}

void widok_kamery() {
  glLoadIdentity();
  glRotatef(lookupdown, 1.0f, 0, 0);
  glRotatef(sceneroty, 0, 1.0f, 0);
  glTranslatef(xtrans + 0.4f, ytrans, ztrans);
}

void wejdz_w_szklo() {
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
}

void wyjdz_ze_szkla() {
  glEnable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glDisable(GL_BLEND);
}

void rysuj_pokoj() {
  bool wysoki = jakosc == 1;

  // The room: the camera is inside it, so its inner sides are drawn.
  glDisable(GL_LIGHTING);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  float r = wysoki ? 2.0f : 1.0f;
  DrawTexturedCube(0, 1, 1, 1, 1, 0, 0, 0, 0, 2.8f, 2.8f, 2.8f, r, r);
  glEnable(GL_LIGHTING);

  // Three columns; classic mode keeps only the middle one.
  int plastry = wysoki ? 6 : 5;
  wiaz_slot(8);
  glPushMatrix();
  glTranslatef(0.5f, 0.7f, -0.1f);
  glRotatef(90, 1.0f, 0, 0);
  if (klasyczny == 0) gluCylinder(quadratic, 0.15, 0.15, 4.0, plastry, 1);
  glTranslatef(-3.5f, -0.4f, 1.1f);
  gluCylinder(quadratic, 0.15, 0.15, 2.5, plastry, 1);
  glTranslatef(-0.37f, 0.5f, 2.8f);
  glRotatef(90, 0, 1.0f, 0);
  if (klasyczny == 0) gluCylinder(quadratic, 0.15, 0.15, 4.1, plastry, 1);
  glPopMatrix();

  // Every further box is seen solid from outside.
  glCullFace(GL_FRONT);
  DrawTexturedCube(17, 0, 17, 17, 0, 17, -2.84f, -0.4f, -0.1f, 0.4f, 0.07f, 0.4f, 1, 1);

  if (czytlo == 1) {
    int t = szklo ? 19 : (childmode ? 16 : 2);
    if (szklo) {
      glEnable(GL_BLEND);
      glEnable(GL_TEXTURE_GEN_S);
      glEnable(GL_TEXTURE_GEN_T);
    }
    DrawTexturedCube(0, 0, 0, 0, 0, t, -0.65f, -0.1f, 0, 1.2f, 2.2f, 0.1f,
                     wysoki ? 3.0f : 2.0f, wysoki ? 5.0f : 3.0f);
    if (szklo) {
      glDisable(GL_TEXTURE_GEN_S);
      glDisable(GL_TEXTURE_GEN_T);
      glDisable(GL_BLEND);
    }
  }

  // The well's walls and floor.
  float ss = wysoki ? 0.3f : 0.15f, st = wysoki ? 7.0f : 3.5f;
  DrawTexturedCube(0, 0, 0, 3, 3, 3, -0.1f, -0.1f, -0.2f, 0.1f, 2.2f, 0.1f, ss, st);
  DrawTexturedCube(0, 0, 0, 0, 0, 3, -2.3f, -0.1f, -0.2f, 0.1f, 2.2f, 0.1f, ss, st);
  DrawTexturedCube(9, 0, 0, 0, 0, 9, -0.75f, -3.25f, -0.2f, 1.0f, 0.1f, 0.1f,
                   wysoki ? 4.1f : 2.0f, wysoki ? 0.3f : 0.15f);
}

// One cell box: the full box at high detail, its camera-facing face at low.
static void rysuj_komorke(int v, int dol, int tyl, float x, float y, float z) {
  if (jakosc == 1)
    DrawTexturedCube(v, dol, tyl, v, v, v, x, y, z, 0.1f, 0.1f, 0.1f, 1, 1);
  else
    DrawTexturedCube(0, 0, 0, 0, 0, v, x, y, z, 0.1f, 0.1f, 0.1f, 1, 1);
}

void rysuj_komorki() {
  glCullFace(GL_FRONT);
  if (szklo) wejdz_w_szklo();
  int v = childmode ? 15 : (szklo ? 2 : 6);
  color2 = szklo ? 2 : 0;
  for (int c = 1; c <= 10; c++)
    for (int r = 20; r >= 1; r--)
      if (studnia[c * STUDNIA_WIERSZE + r] > 0)
        rysuj_komorke(v, color2, color2, 0.1f - (c + 1) * 0.2f, 0.75f - (r - 1) * 0.2f, -0.2f);
  if (szklo) wyjdz_ze_szkla();
}

void rysuj_klocek() {
  glCullFace(GL_FRONT);
  glColor3f(1.0f, 1.0f, 1.0f);
  if (gameini || pauza) return;
  if (szklo) wejdz_w_szklo();
  int n = ilema[jaki];
  for (int q = 0; q < n; q++)
    for (int w = 0; w < n; w++) {
      if (!klocek[jaki * 16 + q * 4 + w]) continue;
      int v = childmode ? 14 : (szklo ? 2 : 5);
      color2 = szklo ? 2 : 0;
      bool pojedyncza = jaki == 7;
      if (pojedyncza) {
        v = 4;
        glEnable(GL_BLEND);
      }
      rysuj_komorke(v, color2, color2, 0.1f - (q + xk) * 0.2f, 0.75f - (w + yk - 1) * 0.2f, -0.2f);
      if (pojedyncza) glDisable(GL_BLEND);
    }
  if (szklo) wyjdz_ze_szkla();
}

void rysuj_podglad() {
  if (szklo) wejdz_w_szklo();
  glPushMatrix();
  glTranslatef(-2.9f, 0.35f, -0.2f);
  glRotatef(rotatemodel / 5 - 45, 0, 1.0f, 0);
  int v = childmode ? 14 : (szklo ? 2 : 5);
  color2 = szklo ? 2 : 0;
  int n = ilema[nastepny];
  for (int q = 0; q < n; q++)
    for (int w = 0; w < n; w++) {
      if (!klocek[nastepny * 16 + q * 4 + w]) continue;
      // The preview turns, so its far face is textured too.
      if (jakosc == 1)
        DrawTexturedCube(v, color2, v, v, v, v, -q * 0.2f, (1 - w) * 0.2f, 0, 0.1f, 0.1f, 0.1f, 1, 1);
      else
        DrawTexturedCube(0, 0, 0, 0, 0, v, -q * 0.2f, (1 - w) * 0.2f, 0, 0.1f, 0.1f, 0.1f, 1, 1);
    }
  glPopMatrix();
  if (szklo) wyjdz_ze_szkla();
}
