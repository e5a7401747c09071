// Recording build only: stands in front of the GL calls the game makes (its own
// and GLU's), forwards each to the real library and, while a pass is being
// recorded, keeps every quad with its eye-space vertices and drawing state and
// counts the binds and state switches.
#include "bench_zapis.h"

#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "text_sound/text_sound.h"

namespace {

bool nagrywanie = false;
std::vector<Czworokat> czworokaty;
Liczniki liczniki;

// The primitive being built between glBegin and glEnd.
GLenum tryb = 0;
bool w_prymitywie = false;
float macierz[16];
StanRysowania stan_prymitywu;
GLuint tekstura_prymitywu = 0;
std::vector<Wierzcholek> wierzcholki;
float normalna[3] = {0, 0, 1};
float wsp_tekstury[2] = {0, 0};

template <typename F>
F prawdziwa(const char *nazwa) {
  void *p = dlsym(RTLD_NEXT, nazwa);
  if (!p) {
    fprintf(stderr, "brixel_bench_zapis: no %s in the GL library\n", nazwa);
    abort();
  }
  return reinterpret_cast<F>(p);
}

#define PRAWDZIWA(nazwa, typ) static typ r_##nazwa = prawdziwa<typ>(#nazwa)

typedef void (*F_enum)(GLenum);
typedef void (*F_void)();
typedef void (*F_3f)(GLfloat, GLfloat, GLfloat);
typedef void (*F_2f)(GLfloat, GLfloat);
typedef void (*F_bind)(GLenum, GLuint);
typedef void (*F_2enum)(GLenum, GLenum);
typedef void (*F_calllists)(GLsizei, GLenum, const GLvoid *);
typedef void (*F_rot)(GLfloat, GLfloat, GLfloat, GLfloat);

int wlaczone(GLenum co) { return glIsEnabled(co) ? 1 : 0; }

StanRysowania stan_teraz(int plaski) {
  StanRysowania s;
  GLint v = 0;
  s.oswietlenie = wlaczone(GL_LIGHTING);
  s.mgla = wlaczone(GL_FOG);
  s.mieszanie = wlaczone(GL_BLEND);
  glGetIntegerv(GL_BLEND_SRC, &v);
  s.zrodlo = v;
  glGetIntegerv(GL_BLEND_DST, &v);
  s.cel = v;
  s.obcinanie = wlaczone(GL_CULL_FACE);
  glGetIntegerv(GL_CULL_FACE_MODE, &v);
  s.strona = v;
  s.glebia = wlaczone(GL_DEPTH_TEST);
  s.gen_s = wlaczone(GL_TEXTURE_GEN_S);
  s.gen_t = wlaczone(GL_TEXTURE_GEN_T);
  s.plaski = plaski;
  return s;
}

GLuint zwiazana() {
  GLint v = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
  return (GLuint)v;
}

void dodaj_czworokat(const Wierzcholek &a, const Wierzcholek &b, const Wierzcholek &c,
                     const Wierzcholek &d) {
  Czworokat q;
  q.stan = stan_prymitywu;
  q.tekstura = tekstura_prymitywu;
  q.w[0] = a; q.w[1] = b; q.w[2] = c; q.w[3] = d;
  czworokaty.push_back(q);
  liczniki.czworokaty++;
}

void przelacz(GLenum co, bool wlacz) {
  if (!nagrywanie) return;
  liczniki.wlaczenia++;
  if ((wlaczone(co) != 0) == wlacz) liczniki.wlaczenia_zbedne++;
}

}  // namespace

void zacznij_nagrywanie() {
  czworokaty.clear();
  liczniki = Liczniki();
  nagrywanie = true;
}

void skoncz_nagrywanie(std::vector<Czworokat> &q, Liczniki &l) {
  nagrywanie = false;
  q = czworokaty;
  l = liczniki;
}

extern "C" {

void glBegin(GLenum mode) {
  PRAWDZIWA(glBegin, F_enum);
  if (nagrywanie) {
    liczniki.begin++;
    tryb = mode;
    glGetFloatv(GL_MODELVIEW_MATRIX, macierz);
    stan_prymitywu = stan_teraz(0);
    tekstura_prymitywu = zwiazana();
    wierzcholki.clear();
    w_prymitywie = true;
  }
  r_glBegin(mode);
}

void glEnd() {
  PRAWDZIWA(glEnd, F_void);
  r_glEnd();
  if (!nagrywanie || !w_prymitywie) return;
  w_prymitywie = false;
  const std::vector<Wierzcholek> &v = wierzcholki;
  if (tryb == GL_QUADS) {
    for (size_t i = 0; i + 3 < v.size(); i += 4) dodaj_czworokat(v[i], v[i + 1], v[i + 2], v[i + 3]);
  } else if (tryb == GL_QUAD_STRIP) {
    for (size_t i = 0; i + 3 < v.size(); i += 2) dodaj_czworokat(v[i], v[i + 1], v[i + 3], v[i + 2]);
  } else {
    liczniki.inne_prymitywy++;
  }
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  PRAWDZIWA(glNormal3f, F_3f);
  normalna[0] = x; normalna[1] = y; normalna[2] = z;
  r_glNormal3f(x, y, z);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
  PRAWDZIWA(glTexCoord2f, F_2f);
  wsp_tekstury[0] = s; wsp_tekstury[1] = t;
  r_glTexCoord2f(s, t);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  PRAWDZIWA(glVertex3f, F_3f);
  if (nagrywanie && w_prymitywie) {
    const float *m = macierz;   // column-major
    Wierzcholek w;
    w.p[0] = m[0] * x + m[4] * y + m[8] * z + m[12];
    w.p[1] = m[1] * x + m[5] * y + m[9] * z + m[13];
    w.p[2] = m[2] * x + m[6] * y + m[10] * z + m[14];
    const float *n = normalna;
    w.n[0] = m[0] * n[0] + m[4] * n[1] + m[8] * n[2];
    w.n[1] = m[1] * n[0] + m[5] * n[1] + m[9] * n[2];
    w.n[2] = m[2] * n[0] + m[6] * n[1] + m[10] * n[2];
    w.t[0] = wsp_tekstury[0];
    w.t[1] = wsp_tekstury[1];
    wierzcholki.push_back(w);
  }
  r_glVertex3f(x, y, z);
}

void glBindTexture(GLenum target, GLuint name) {
  PRAWDZIWA(glBindTexture, F_bind);
  if (nagrywanie) {
    liczniki.wiazania++;
    if (zwiazana() == name) liczniki.wiazania_zbedne++;
  }
  r_glBindTexture(target, name);
}

void glEnable(GLenum cap) {
  PRAWDZIWA(glEnable, F_enum);
  przelacz(cap, true);
  r_glEnable(cap);
}

void glDisable(GLenum cap) {
  PRAWDZIWA(glDisable, F_enum);
  przelacz(cap, false);
  r_glDisable(cap);
}

void glBlendFunc(GLenum s, GLenum d) {
  PRAWDZIWA(glBlendFunc, F_2enum);
  if (nagrywanie) liczniki.mieszanie_funkcja++;
  r_glBlendFunc(s, d);
}

void glCullFace(GLenum mode) {
  PRAWDZIWA(glCullFace, F_enum);
  if (nagrywanie) liczniki.strona_obcinania++;
  r_glCullFace(mode);
}

void glPushMatrix() {
  PRAWDZIWA(glPushMatrix, F_void);
  if (nagrywanie) liczniki.macierze++;
  r_glPushMatrix();
}

void glPopMatrix() {
  PRAWDZIWA(glPopMatrix, F_void);
  if (nagrywanie) liczniki.macierze++;
  r_glPopMatrix();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  PRAWDZIWA(glTranslatef, F_3f);
  if (nagrywanie) liczniki.macierze++;
  r_glTranslatef(x, y, z);
}

void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
  PRAWDZIWA(glRotatef, F_rot);
  if (nagrywanie) liczniki.macierze++;
  r_glRotatef(a, x, y, z);
}

// The font's glyph lists: each one that exists is a 32-pixel quad and a pen step.
void glCallLists(GLsizei n, GLenum type, const GLvoid *lists) {
  PRAWDZIWA(glCallLists, F_calllists);
  if (nagrywanie && type == GL_BYTE && lists) {
    liczniki.listy++;
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    GLint baza = 0;
    glGetIntegerv(GL_LIST_BASE, &baza);
    stan_prymitywu = stan_teraz(1);
    tekstura_prymitywu = zwiazana();
    const signed char *znaki = static_cast<const signed char *>(lists);
    float x = m[12], y = m[13];
    for (GLsizei i = 0; i < n; i++) {
      long komorka = (long)baza + znaki[i] - (long)base;
      if (komorka < 0 || komorka > 255) continue;
      float cx = (float)(komorka % 16) / 16.0f, cy = (float)(komorka / 16) / 16.0f;
      Wierzcholek a = {{x + 32, y, 0}, {0, 0, 1}, {cx + 0.0625f, cy + 0.0625f}};
      Wierzcholek b = {{x, y, 0}, {0, 0, 1}, {cx, cy + 0.0625f}};
      Wierzcholek c = {{x, y + 32, 0}, {0, 0, 1}, {cx, cy}};
      Wierzcholek d = {{x + 32, y + 32, 0}, {0, 0, 1}, {cx + 0.0625f, cy}};
      dodaj_czworokat(a, b, c, d);
      liczniki.czworokaty_tekstu++;
      x += 32;
    }
  }
  r_glCallLists(n, type, lists);
}

}  // extern "C"
