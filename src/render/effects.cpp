// The animated decorations that show the state of play: particles of cleared
// rows, the three rings, the light overlay and panel, the skull, the room light,
// the alarm counter and the swing angle.
#include "render/render.h"
#include "game/game.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <cstdlib>

float xkula[10], ykula[10], zkula[10];
bool czykula[10];
float rozmiarkula[10] = {0.02f, 0.04f, 0.08f, 0.07f, 0.03f, 0.04f, 0.06f, 0.09f, 0.03f, 0.06f};
float yronda = 0;
float zbitenie = 0;
bool light = true;
float xalarm = 0;
bool strona = false;
float skull = 0;
float rotatemodel = 0;
bool obrotrm = true;

void losuj_rozmiar() {
  int i = rand() % 10;
  if (!czykula[i]) rozmiarkula[i] = (float)(rand() % 50 + 30) / 1000;
}

void wybuch(int wiersz) {
  for (int i = 0; i < 10; i++) {
    xkula[i] = 0.1f - (i + 2) * 0.2f;
    ykula[i] = 0.75f - (wiersz - 1) * 0.2f;
    zkula[i] = -0.4f;
    czykula[i] = true;
  }
}

void lot_kul() {
  int v = childmode ? 15 : 6;
  if (szklo) wejdz_w_szklo();
  for (int i = 0; i < 10; i++) {
    if (!czykula[i]) continue;
    float h = rozmiarkula[i] / 2;
    DrawTexturedCube(v, v, v, v, v, v, xkula[i], ykula[i], zkula[i], h, h, h, 1, 1);
    ykula[i] -= 0.02f;
    zkula[i] -= 0.03f;
    xkula[i] -= (xkula[5] - xkula[i]) / 20;
    if (zkula[i] < -1.0f) {
      czykula[i] = false;
      koniec_kuli();
    }
  }
  if (szklo) wyjdz_ze_szkla();
}

void zmianaswiatla() {
  glDisable(GL_LIGHT1);
  glDisable(GL_LIGHTING);
  float wartosc = 1.0f;
  if (light) {
    wartosc = 0.01f;
    graj(SMP_BELLS);
  }
  for (int i = 0; i < 4; i++) LightDiffuse[i] = wartosc;
  glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
  glEnable(GL_LIGHT1);
  glEnable(GL_LIGHTING);
}

// One ring: a spinning open cylinder whose axis points down from (x, y, z).
static void pierscien(int slot, float x, float y, float z, float promien) {
  int plastry = jakosc == 1 ? 16 : 8;
  wiaz_slot(slot);
  glPushMatrix();
  glTranslatef(x, y, z);
  glRotatef(90, 1.0f, 0, 0);
  glRotatef(rotatemodel, 0, 0, 1.0f);
  gluCylinder(quadratic, promien, promien, rotatemodel / 5000 + 0.1f, plastry, 1);
  glPopMatrix();
}

// The skill timer: the pressure gauge rises by itself and dims the room light.
static void zegar_umiejetnosci() {
  yzbi += 1;
  if (yzbi > 3400) {
    yzbi = 3400;
    if (light) {
      zmianaswiatla();
      light = false;
    }
  }
  if (yzbi < 2500 && !light) {
    zmianaswiatla();
    light = true;
  }
  float z = yzbi / 1000;
  if (zbitenie > z && zbitenie - 0.01f > z) zbitenie -= 0.01f;
  if (zbitenie < z && zbitenie + 0.0035f < z) zbitenie += 0.0035f;
}

void pierscienie() {
  float c = (float)combo / 10;
  if (yronda > c && yronda - 0.1f > c) yronda -= 0.1f;
  if (yronda < c && yronda + 0.1f < c) yronda += 0.1f;

  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  float poszerzenie = rotatemodel / 5000;
  pierscien(3, 0.5f, yronda - 2.8f, -0.1f, poszerzenie + 0.3f);
  if (gra_biegnie()) zegar_umiejetnosci();
  pierscien(12, 0.5f, 0.6f - zbitenie, -0.1f, poszerzenie + 0.35f);
  nagroda_za_dwadziescia();
  pierscien(13, -3.01f, bonuses / 10 - 2.45f, -0.5f, poszerzenie + 0.3f);
  glDisable(GL_BLEND);
  glEnable(GL_CULL_FACE);
}

void licznik_alarmu() {
  if (!strona) {
    xalarm += 0.01f;
    if (xalarm > 0.3f) {
      strona = true;
      graj(SMP_ALARM);
    }
  } else {
    xalarm -= 0.01f;
    if (xalarm < -1.2f) {
      strona = false;
      graj(SMP_ALARM);
    }
  }
}

void nakladka_swiatla() {
  if (klasyczny == 0) {
    int t = alarm ? 7 : 10;
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawTexturedCube(0, 0, 0, 0, 0, t, -0.8f, -0.4f, 0.6f, 0.9f, 2.3f, 0.8f, 1, 1);
    glDisable(GL_BLEND);
  }
  glEnable(GL_LIGHTING);
  glEnable(GL_FOG);

  DrawTexturedCube(11, 0, 0, 0, 0, 11, -0.95f, -3.5f, -0.6f, 0.6f, 0.2f, 0.2f, 1, 1);

  if (czyskull && klasyczny == 0) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glPushMatrix();
    glTranslatef(-0.8f, skull - 0.7f, 0.2f - skull);
    glRotatef(lookupdown, 1.0f, 0, 0);
    DrawTexturedCube(0, 0, 0, 0, 0, 18, 0, 0, 0, 1.9f, 1.5f, 0.8f, 1, 1);
    glPopMatrix();
    skull += 0.02f;
    if (skull > 1.0f) {
      czyskull = false;
      skull = 0;
    }
    if (skull == 0.02f) graj(SMP_BREATH);
    glDisable(GL_BLEND);
  }
}

void kat_wahania() {
  if (obrotrm) {
    rotatemodel += 1;
    if (rotatemodel > 359) obrotrm = false;
  } else {
    rotatemodel -= 1;
    if (rotatemodel < 1) obrotrm = true;
  }
}
