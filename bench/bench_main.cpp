// Speed figures of the game: the cost of one pass of the main loop in each
// screen size, detail level, well and look, beside a bare reference frame of
// the same quads; the time of a window re-creation; the start-up time and
// peak memory of the real binary (through the first-frame shim).
//
//   brixel_bench record DIR            (recording build) one pass of every case into DIR
//   brixel_bench time DIR [PASSES]     timings, with the reference frames from DIR
//   brixel_bench callgrind CASE PASSES one case, counted only over its passes
//   brixel_bench start-up BINARY SHIM RUNS FRAMES   exec to first frame, peak memory
//   brixel_bench floor BINARY BARE SHIM RUNS         start-up and re-creation beside bare ones
#include "bench_scene.h"
#include "katalog.h"
#ifdef BRIXEL_BENCH_ZAPIS
#include "bench_zapis.h"
#endif

#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <valgrind/callgrind.h>
#include <SDL_image.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

double teraz() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

struct Przypadek {
  int szer, wys, detal, pelna, szklo;
  std::string nazwa() const {
    char b[96];
    snprintf(b, sizeof b, "%dx%d-%s-%s-%s", szer, wys, detal ? "HIGH" : "LOW",
             pelna ? "full" : "empty", szklo ? "glass" : "normal");
    return b;
  }
};

std::vector<Przypadek> wszystkie_przypadki() {
  std::vector<Przypadek> p;
  const int rozmiary[2][2] = {{800, 600}, {640, 480}};
  for (auto &r : rozmiary)
    for (int detal : {1, 0})
      for (int pelna : {0, 1})
        for (int sz : {0, 1}) p.push_back({r[0], r[1], detal, pelna, sz});
  return p;
}

std::vector<Uint8> klawisze(SDLK_LAST, 0);   // no key held during the measured passes
int wzor_studni[STUDNIA_ROZMIAR];

// Rows 5 to 20 filled, one hole per row at a different column, so no row is
// ever full and nothing is cleared.
void zapelnij_wzor(bool pelna) {
  studnia_poczatkowa();
  if (pelna)
    for (int c = 1; c <= 10; c++)
      for (int r = 5; r <= 20; r++)
        if ((7 * c + 3 * r) % 10 != 0) studnia[c * STUDNIA_WIERSZE + r] = 1;
  memcpy(wzor_studni, studnia, sizeof wzor_studni);
}

// Every pass starts from the same running game: the well as filled, the tee
// near the top, gravity and the pressure gauge held back so that nothing lands
// and the light never changes.
void przed_przebiegiem() {
  memcpy(studnia, wzor_studni, sizeof wzor_studni);
  gameini = false;
  menu = false;
  wtopa = false;
  pauza = 0;
  done = false;
  kloc = true;
  jaki = 6;
  xk = 6;
  yk = 1;
  gamespeed = 0;
  yzbi = 0;
}

std::string katalog_roboczy;

void przygotuj_katalog(int szer, int wys, int detal) {
  char cfg[128];
  snprintf(cfg, sizeof cfg, "%d\n%d\n16\n%d\n1\n1\n0\n0\n0\n1\n000000\n", szer, wys, detal);
  katalog_roboczy = katalog_benchmarku("bench", cfg);
}

void uruchom(int szer, int wys, int detal) {
  przygotuj_katalog(szer, wys, detal);
  wystartuj_gre();
  srand(1);
}

void sprzatnij() {
  wyjscie();
  for (const char *p : {"gfx", "sfx", "music", "config.cfg"}) unlink((katalog_roboczy + "/" + p).c_str());
  // Whatever the writes of config.cfg left (config.cfg.tmp.XXXXXX, none as a rule).
  std::string usun = "rm -f '" + katalog_roboczy + "'/config.cfg.tmp*";
  if (system(usun.c_str()) != 0) fprintf(stderr, "bench: cannot clean %s\n", katalog_roboczy.c_str());
  if (chdir("/") == 0) rmdir(katalog_roboczy.c_str());
}

std::vector<double> czasy_odtworzenia;

// Screen size and detail take a window re-creation, the same one the options
// list applies; each one is timed.
void ustaw_tryb(const Przypadek &p) {
  if (width == p.szer && height == p.wys && jakosc == p.detal) return;
  width = p.szer;
  height = p.wys;
  jakosc = p.detal;
  double t0 = teraz();
  zmiany_opcji();
  glFinish();
  czasy_odtworzenia.push_back(teraz() - t0);
}

void ustaw_przypadek(const Przypadek &p, int rozgrzewka) {
  ustaw_tryb(p);
  szklo = p.szklo;
  zapelnij_wzor(p.pelna != 0);
  // The camera eases toward the piece; let it settle before measuring.
  for (int i = 0; i < rozgrzewka; i++) {
    przed_przebiegiem();
    przebieg(klawisze.data());
    SDL_GL_SwapBuffers();
  }
  glFinish();
}

struct Rozklad {
  double mediana = 0, p10 = 0, p90 = 0, mad = 0;
};

Rozklad rozklad(std::vector<double> v) {
  Rozklad r;
  if (v.empty()) return r;
  std::sort(v.begin(), v.end());
  auto q = [&](double f) { return v[(size_t)std::min<double>(v.size() - 1, std::floor(f * (v.size() - 1) + 0.5))]; };
  r.mediana = q(0.5);
  r.p10 = q(0.1);
  r.p90 = q(0.9);
  std::vector<double> d;
  for (double x : v) d.push_back(std::fabs(x - r.mediana));
  std::sort(d.begin(), d.end());
  r.mad = d[d.size() / 2];
  return r;
}

// ---- The reference frame: the recorded quads, one batch per drawing state,
// one bind per batch, nothing else between clear and swap.

struct Partia {
  StanRysowania stan;
  GLuint tekstura;
  std::vector<const Czworokat *> q;
};

std::vector<Partia> partie(const std::vector<Czworokat> &q) {
  std::vector<Partia> p;
  for (const Czworokat &c : q) {
    Partia *cel = nullptr;
    for (Partia &x : p)
      if (x.stan == c.stan) cel = &x;
    if (!cel) {
      p.push_back({c.stan, c.tekstura, {}});
      cel = &p.back();
    }
    cel->q.push_back(&c);
  }
  return p;
}

void przelacz(GLenum co, int wlacz) {
  if (wlacz) glEnable(co);
  else glDisable(co);
}

void klatka_wzorcowa(const std::vector<Partia> &p) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (const Partia &x : p) {
    const StanRysowania &s = x.stan;
    przelacz(GL_LIGHTING, s.oswietlenie);
    przelacz(GL_FOG, s.mgla);
    przelacz(GL_BLEND, s.mieszanie);
    glBlendFunc((GLenum)s.zrodlo, (GLenum)s.cel);
    przelacz(GL_CULL_FACE, s.obcinanie);
    glCullFace((GLenum)s.strona);
    przelacz(GL_DEPTH_TEST, s.glebia);
    przelacz(GL_TEXTURE_GEN_S, s.gen_s);
    przelacz(GL_TEXTURE_GEN_T, s.gen_t);
    glBindTexture(GL_TEXTURE_2D, x.tekstura);
    if (s.plaski) {
      glMatrixMode(GL_PROJECTION);
      glPushMatrix();
      glLoadIdentity();
      glOrtho(0, (double)width, 0, (double)height, -1, 1);
      glMatrixMode(GL_MODELVIEW);
    }
    glBegin(GL_QUADS);
    for (const Czworokat *c : x.q)
      for (const Wierzcholek &w : c->w) {
        glNormal3fv(w.n);
        glTexCoord2fv(w.t);
        glVertex3fv(w.p);
      }
    glEnd();
    if (s.plaski) {
      glMatrixMode(GL_PROJECTION);
      glPopMatrix();
      glMatrixMode(GL_MODELVIEW);
    }
  }
}

// ---- Modes ----

#ifdef BRIXEL_BENCH_ZAPIS
int tryb_nagrania(const std::string &katalog) {
  std::vector<Przypadek> przypadki = wszystkie_przypadki();
  uruchom(przypadki[0].szer, przypadki[0].wys, przypadki[0].detal);
  printf("%-30s %6s %5s %6s %7s %6s %8s %7s %6s %6s %6s\n", "case", "quads", "text", "begin",
         "binds", "redund", "en/dis", "redund", "blendf", "cullf", "matrix");
  for (const Przypadek &p : przypadki) {
    ustaw_przypadek(p, 60);
    przed_przebiegiem();
    zacznij_nagrywanie();
    przebieg(klawisze.data());
    std::vector<Czworokat> q;
    Liczniki l;
    skoncz_nagrywanie(q, l);
    SDL_GL_SwapBuffers();
    if (!zapisz_scene(katalog + "/" + p.nazwa() + ".scene", q, l)) {
      fprintf(stderr, "cannot write the scene of %s\n", p.nazwa().c_str());
      return 2;
    }
    printf("%-30s %6d %5d %6d %7d %6d %8d %7d %6d %6d %6d\n", p.nazwa().c_str(), l.czworokaty,
           l.czworokaty_tekstu, l.begin, l.wiazania, l.wiazania_zbedne, l.wlaczenia,
           l.wlaczenia_zbedne, l.mieszanie_funkcja, l.strona_obcinania, l.macierze);
  }
  sprzatnij();
  return 0;
}
#endif

int tryb_pomiaru(const std::string &katalog, int przebiegi) {
  std::vector<Przypadek> przypadki = wszystkie_przypadki();
  uruchom(przypadki[0].szer, przypadki[0].wys, przypadki[0].detal);
  printf("pass = przebieg + SDL_GL_SwapBuffers + glFinish; submit = przebieg alone (the CPU side\n"
         "of the pass, GL calls included); ref = the same quads in one batch per drawing state,\n"
         "one bind each, + swap + glFinish; clear+swap = an empty frame. %d passes each, taken\n"
         "in turn with the reference; times in ms.\n\n", przebiegi);
  printf("%-30s %5s | %7s %7s %7s %6s | %7s | %7s %7s %7s | %6s | %6s\n", "case", "quads", "pass",
         "p10", "p90", "MAD", "submit", "ref", "p10", "p90", "pass/ref", "clear+swap");
  for (const Przypadek &p : przypadki) {
    ustaw_przypadek(p, 100);
    std::vector<Czworokat> q;
    Liczniki l;
    bool jest_wzor = wczytaj_scene(katalog + "/" + p.nazwa() + ".scene", q, l);
    std::vector<Partia> pt = partie(q);
    // The game's pass, the reference frame and a bare clear + swap take turns,
    // so that the load of a shared machine falls on all three alike.
    std::vector<double> calosc, wyslanie, wzor, pusta;
    for (int i = 0; i < przebiegi; i++) {
      przed_przebiegiem();
      double t0 = teraz();
      przebieg(klawisze.data());
      double t1 = teraz();
      SDL_GL_SwapBuffers();
      glFinish();
      double t2 = teraz();
      calosc.push_back((t2 - t0) * 1e3);
      wyslanie.push_back((t1 - t0) * 1e3);

      glPushAttrib(GL_ALL_ATTRIB_BITS);
      glMatrixMode(GL_MODELVIEW);
      glPushMatrix();
      glLoadIdentity();
      if (jest_wzor) {
        t0 = teraz();
        klatka_wzorcowa(pt);
        SDL_GL_SwapBuffers();
        glFinish();
        wzor.push_back((teraz() - t0) * 1e3);
      }
      t0 = teraz();
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      SDL_GL_SwapBuffers();
      glFinish();
      pusta.push_back((teraz() - t0) * 1e3);
      glPopMatrix();
      glPopAttrib();
    }
    Rozklad a = rozklad(calosc), s = rozklad(wyslanie), r = rozklad(wzor), e = rozklad(pusta);
    if (jest_wzor)
      printf("%-30s %5d | %7.3f %7.3f %7.3f %6.3f | %7.3f | %7.3f %7.3f %7.3f | %6.2f | %6.3f\n",
             p.nazwa().c_str(), (int)q.size(), a.mediana, a.p10, a.p90, a.mad, s.mediana,
             r.mediana, r.p10, r.p90, a.mediana / r.mediana, e.mediana);
    else
      printf("%-30s %5s | %7.3f %7.3f %7.3f %6.3f | %7.3f | (no recorded scene)        | %6.3f\n",
             p.nazwa().c_str(), "-", a.mediana, a.p10, a.p90, a.mad, s.mediana, e.mediana);
    fflush(stdout);
  }

  // Re-creation at an unchanged mode, as a game over does it.
  for (int i = 0; i < 10; i++) {
    double t0 = teraz();
    zmiany_opcji();
    glFinish();
    czasy_odtworzenia.push_back(teraz() - t0);
  }
  Rozklad o = rozklad(czasy_odtworzenia);
  printf("\nwindow re-creation (zmiany_opcji: write + SDL_Quit + window + 19 textures + font), "
         "%zu runs: median %.1f ms, p10 %.1f, p90 %.1f\n",
         czasy_odtworzenia.size(), o.mediana * 1e3, o.p10 * 1e3, o.p90 * 1e3);
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  printf("peak resident memory of this bench process after every case: %.1f MB\n",
         u.ru_maxrss / 1024.0);
  sprzatnij();
  return 0;
}

// Many re-creations in a row, as many game overs make them: each timed, and the
// X connections the process holds counted after each.
int otwarte_gniazda() {
  int n = 0;
  char cel[256];
  for (int fd = 0; fd < 1024; fd++) {
    char sciezka[64];
    snprintf(sciezka, sizeof sciezka, "/proc/self/fd/%d", fd);
    ssize_t d = readlink(sciezka, cel, sizeof cel - 1);
    if (d > 0) {
      cel[d] = 0;
      if (strncmp(cel, "socket:", 7) == 0) n++;
    }
  }
  return n;
}

int tryb_odtwarzania(int razy) {
  uruchom(800, 600, 1);
  std::vector<double> t;
  for (int i = 0; i < razy; i++) {
    double t0 = teraz();
    zmiany_opcji();
    glFinish();
    t.push_back(teraz() - t0);
    printf("re-creation %d: %.1f ms, sockets open %d\n", i + 1, t.back() * 1e3, otwarte_gniazda());
    fflush(stdout);
  }
  Rozklad o = rozklad(t);
  printf("window re-creation, %d runs: median %.1f ms, p10 %.1f, p90 %.1f\n", razy,
         o.mediana * 1e3, o.p10 * 1e3, o.p90 * 1e3);
  sprzatnij();
  return 0;
}

int tryb_callgrind(const std::string &nazwa, int przebiegi) {
  for (const Przypadek &p : wszystkie_przypadki()) {
    if (p.nazwa() != nazwa) continue;
    uruchom(p.szer, p.wys, p.detal);
    ustaw_przypadek(p, 20);
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < przebiegi; i++) {
      przed_przebiegiem();
      przebieg(klawisze.data());
      SDL_GL_SwapBuffers();
      glFinish();
    }
    CALLGRIND_DUMP_STATS_AT("passes");
    sprzatnij();
    return 0;
  }
  fprintf(stderr, "no case %s\n", nazwa.c_str());
  return 2;
}

// One start of a program as a player starts it, in a fresh working directory,
// with the shim reporting its first two swaps (seconds from exec) and its peak
// memory in KB. False when the shim did not report.
bool jeden_start(const char *program, const char *shim, int klatki, double *okno, double *pierwsza,
                 double *kb, double *cpu_watku = nullptr, double *cpu_procesu = nullptr) {
  przygotuj_katalog(800, 600, 1);
  std::string wynik = katalog_roboczy + "/shim.out";
  pid_t pid = fork();
  if (pid == 0) {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    char t0[64], n[32];
    snprintf(t0, sizeof t0, "%lld", (long long)t.tv_sec * 1000000000LL + t.tv_nsec);
    snprintf(n, sizeof n, "%d", klatki);
    setenv("BRIXEL_T0_NS", t0, 1);
    setenv("BRIXEL_SHIM_OUT", wynik.c_str(), 1);
    setenv("BRIXEL_SHIM_FRAMES", n, 1);
    setenv("LD_PRELOAD", shim, 1);
    execl(program, program, (char *)nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  FILE *f = fopen(wynik.c_str(), "r");
  double c1 = 0, c2 = 0;
  bool ok = f && fscanf(f, "%lf %lf %lf %lf %lf", okno, pierwsza, kb, &c1, &c2) == 5;
  if (cpu_watku) *cpu_watku = c1;
  if (cpu_procesu) *cpu_procesu = c2;
  if (f) fclose(f);
  ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!ok) fprintf(stderr, "%s: no report from the shim (status %d)\n", program, status);
  unlink(wynik.c_str());
  for (const char *p : {"gfx", "sfx", "music", "config.cfg"})
    unlink((katalog_roboczy + "/" + p).c_str());
  if (chdir("/") == 0) rmdir(katalog_roboczy.c_str());
  return ok;
}

// The real binary, started as a player starts it, with the shim reporting its
// first swaps and its peak memory.
int tryb_startu(const char *program, const char *shim, int razy, int klatki) {
  std::vector<double> okno, pierwsza;
  double pamiec = 0;
  for (int i = 0; i < razy; i++) {
    double a = 0, b = 0, kb = 0;
    if (!jeden_start(program, shim, klatki, &a, &b, &kb)) return 2;
    okno.push_back(a);
    pierwsza.push_back(b);
    pamiec = std::max(pamiec, kb);
  }
  Rozklad o = rozklad(okno), p = rozklad(pierwsza);
  printf("start-up of %s, %d runs (exec to SDL_GL_SwapBuffers in the shim):\n", program, razy);
  printf("  first swap (window open, nothing loaded yet): median %.0f ms, p10 %.0f, p90 %.0f\n",
         o.mediana * 1e3, o.p10 * 1e3, o.p90 * 1e3);
  printf("  first frame of the main loop swapped:         median %.0f ms, p10 %.0f, p90 %.0f\n",
         p.mediana * 1e3, p.p10 * 1e3, p.p90 * 1e3);
  printf("  peak resident memory (ru_maxrss) after %d frames: %.1f MB\n", klatki, pamiec / 1024.0);
  return 0;
}

// ---- The floors: bare programs doing only what the screen needs, taken in
// turn with the game so that the load of a shared machine falls on both alike.

// The twenty pictures decoded once, as the bare re-creation uploads them.
struct Obrazek {
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;
};

std::vector<Obrazek> obrazki_w_pamieci() {
  std::vector<Obrazek> o(20);
  for (int i = 0; i < 20; i++) {
    SDL_Surface *p = IMG_Load(pliki_tekstur[i]);
    if (!p) continue;
    SDL_Surface *r = SDL_CreateRGBSurface(SDL_SWSURFACE, power_of_two(p->w), power_of_two(p->h), 32,
                                          0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (r) {
      SDL_SetAlpha(p, 0, 0);
      SDL_BlitSurface(p, nullptr, r, nullptr);
      o[i].w = r->w;
      o[i].h = r->h;
      const unsigned char *b = (const unsigned char *)r->pixels;
      o[i].rgba.assign(b, b + (size_t)r->w * r->h * 4);
      SDL_FreeSurface(r);
    }
    SDL_FreeSurface(p);
  }
  return o;
}

// The bare re-creation: close SDL, open the same window with the same GL
// state, upload the twenty pictures from memory (level 0 only, linear), then
// one pass of the game with them and the swap.
void gole_odtworzenie(const std::vector<Obrazek> &o) {
  usun_tekstury();
  SDL_Quit();
  if (!CreateGLWindow("BRIXEL", width, height, bittes, 1)) {
    fprintf(stderr, "bare re-creation: no window\n");
    exit(2);
  }
  for (int s = 1; s <= 20; s++) {
    const Obrazek &b = o[s - 1];
    GLuint n = 0;
    glGenTextures(1, &n);
    glBindTexture(GL_TEXTURE_2D, n);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, b.w, b.h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 b.rgba.empty() ? nullptr : b.rgba.data());
    nazwa_slotu[s] = n;
    if (s <= 19) gTexture[s - 1] = n;
  }
}

double mediana(std::vector<double> v) { return rozklad(v).mediana; }

int tryb_podlogi(const char *program, const char *goly, const char *shim, int razy) {
  // Start-up: exec to the second swap (the first frame of the main loop; the
  // bare program's textured frame).
  std::vector<double> gra_start, goly_start, gra_okno, goly_okno, gra_cpu, goly_cpu, gra_cpuw,
      goly_cpuw;
  double kb_gry = 0;
  for (int i = 0; i < razy; i++) {
    double a, b, kb, c1, c2;
    if (!jeden_start(goly, shim, 2, &a, &b, &kb, &c1, &c2)) return 2;
    goly_okno.push_back(a);
    goly_start.push_back(b);
    goly_cpuw.push_back(c1);
    goly_cpu.push_back(c2);
    if (!jeden_start(program, shim, 2, &a, &b, &kb, &c1, &c2)) return 2;
    gra_okno.push_back(a);
    gra_start.push_back(b);
    gra_cpuw.push_back(c1);
    gra_cpu.push_back(c2);
    kb_gry = std::max(kb_gry, kb);
  }
  double g = mediana(gra_start), z = mediana(goly_start);
  printf("start-up, exec to the first frame swapped, median of %d in turn:\n", razy);
  printf("  game %.0f ms (window swapped at %.0f)   bare %.0f ms (window swapped at %.0f)   "
         "ratio %.2f (goal 1.3)\n",
         g * 1e3, mediana(gra_okno) * 1e3, z * 1e3, mediana(goly_okno) * 1e3, g / z);
  printf("  CPU up to that swap, main thread / whole process: game %.0f / %.0f ms, bare %.0f / %.0f ms\n",
         mediana(gra_cpuw) * 1e3, mediana(gra_cpu) * 1e3, mediana(goly_cpuw) * 1e3,
         mediana(goly_cpu) * 1e3);
  printf("  peak resident memory of the game after two frames: %.1f MB\n", kb_gry / 1024.0);
  fflush(stdout);

  // Re-creation: from SDL_Quit to the end of the next swap, in one process.
  uruchom(800, 600, 1);
  std::vector<Obrazek> o = obrazki_w_pamieci();
  zapelnij_wzor(true);
  auto przebieg_i_swap = [] {
    przed_przebiegiem();
    przebieg(klawisze.data());
    SDL_GL_SwapBuffers();
    glFinish();
  };
  std::vector<double> gra_odt, gole_odt;
  for (int i = 0; i <= razy; i++) {   // the first pair warms up and is not counted
    double t0 = teraz();
    gole_odtworzenie(o);
    przebieg_i_swap();
    double t1 = teraz();
    odtworz_okno();
    przebieg_i_swap();
    double t2 = teraz();
    if (i == 0) continue;
    gole_odt.push_back(t1 - t0);
    gra_odt.push_back(t2 - t1);
  }
  g = mediana(gra_odt);
  z = mediana(gole_odt);
  printf("window re-creation, SDL_Quit to the end of the next swap, median of %d in turn:\n", razy);
  printf("  game %.1f ms   bare (20 pictures uploaded from memory, no mipmaps, + one pass) %.1f ms"
         "   ratio %.2f (goal 1.1)\n",
         g * 1e3, z * 1e3, g / z);
  sprzatnij();
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  std::string tryb = argc > 1 ? argv[1] : "";
#ifdef BRIXEL_BENCH_ZAPIS
  if (tryb == "record" && argc > 2) return tryb_nagrania(argv[2]);
#endif
  if (tryb == "time" && argc > 2) return tryb_pomiaru(argv[2], argc > 3 ? atoi(argv[3]) : 1000);
  if (tryb == "recreate" && argc > 2) return tryb_odtwarzania(atoi(argv[2]));
  if (tryb == "callgrind" && argc > 3) return tryb_callgrind(argv[2], atoi(argv[3]));
  if (tryb == "floor" && argc > 5) return tryb_podlogi(argv[2], argv[3], argv[4], atoi(argv[5]));
  if (tryb == "start-up" && argc > 5)
    return tryb_startu(argv[2], argv[3], atoi(argv[4]), atoi(argv[5]));
  fprintf(stderr,
          "usage: %s record DIR | time DIR [PASSES] | callgrind CASE PASSES |"
          " start-up BINARY SHIM RUNS FRAMES | floor BINARY BARE SHIM RUNS\n",
          argv[0]);
  return 2;
}
