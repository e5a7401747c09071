// One pass of the game's scene as a list of quads, written by the recording
// build of the timer and read back to draw the reference frame.
#ifndef BRIXEL_BENCH_SCENE_H
#define BRIXEL_BENCH_SCENE_H

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

// The state a quad is drawn in; quads with equal states share one batch of
// the reference frame.
struct StanRysowania {
  int oswietlenie, mgla, mieszanie, zrodlo, cel, obcinanie, strona, glebia, gen_s, gen_t;
  int plaski;   // window-pixel text (orthographic), not the 3-D scene
  bool operator==(const StanRysowania &o) const {
    return oswietlenie == o.oswietlenie && mgla == o.mgla && mieszanie == o.mieszanie &&
           zrodlo == o.zrodlo && cel == o.cel && obcinanie == o.obcinanie && strona == o.strona &&
           glebia == o.glebia && gen_s == o.gen_s && gen_t == o.gen_t && plaski == o.plaski;
  }
};

struct Wierzcholek {
  float p[3];   // eye space (3-D) or window pixels (text)
  float n[3];   // eye space
  float t[2];
};

struct Czworokat {
  StanRysowania stan;
  GLuint tekstura;
  Wierzcholek w[4];
};

// Counts of one recorded pass.
struct Liczniki {
  int czworokaty = 0, czworokaty_tekstu = 0, begin = 0, inne_prymitywy = 0;
  int wiazania = 0, wiazania_zbedne = 0;       // glBindTexture, and those of the texture already bound
  int wlaczenia = 0, wlaczenia_zbedne = 0;     // glEnable/glDisable, and those that change nothing
  int mieszanie_funkcja = 0, strona_obcinania = 0, macierze = 0, listy = 0;
};

inline bool zapisz_scene(const std::string &plik, const std::vector<Czworokat> &q, const Liczniki &l) {
  FILE *f = fopen(plik.c_str(), "wb");
  if (!f) return false;
  size_t n = q.size();
  bool ok = fwrite(&l, sizeof l, 1, f) == 1 && fwrite(&n, sizeof n, 1, f) == 1 &&
            (n == 0 || fwrite(q.data(), sizeof(Czworokat), n, f) == n);
  return fclose(f) == 0 && ok;
}

inline bool wczytaj_scene(const std::string &plik, std::vector<Czworokat> &q, Liczniki &l) {
  FILE *f = fopen(plik.c_str(), "rb");
  if (!f) return false;
  size_t n = 0;
  bool ok = fread(&l, sizeof l, 1, f) == 1 && fread(&n, sizeof n, 1, f) == 1 && n < 1000000;
  if (ok) {
    q.resize(n);
    ok = n == 0 || fread(q.data(), sizeof(Czworokat), n, f) == n;
  }
  fclose(f);
  return ok;
}

#endif
