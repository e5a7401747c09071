#include "harness.h"

#include "game/game.h"
#include "ghost/ghost.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <chrono>
#include <thread>
#include <vector>

const char *const DOMYSLNY_CONFIG = "800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n";

static bool katalog_gotowy = false;
static bool program_dziala = false;

std::string nowy_katalog_roboczy(const std::string &config) {
  char wzor[] = "/tmp/brixel-test-XXXXXX";
  char *katalog = mkdtemp(wzor);
  if (!katalog) {
    ADD_FAILURE() << "cannot make a temporary directory";
    return "";
  }
  std::string k = katalog;
  for (const char *d : {"gfx", "sfx", "music"}) {
    std::string cel = std::string(BRIXEL_DATA_DIR) + "/" + d;
    std::string link = k + "/" + d;
    if (symlink(cel.c_str(), link.c_str()) != 0) ADD_FAILURE() << "cannot link " << link;
  }
  std::ofstream(k + "/config.cfg", std::ios::binary) << config;
  if (chdir(k.c_str()) != 0) ADD_FAILURE() << "cannot enter " << k;
  katalog_gotowy = true;
  return k;
}

// Mesa's DRI driver is unloaded with SDL's X connection whenever the window is
// re-created, and the few blocks it keeps then look leaked to LeakSanitizer,
// from a library no longer mapped; it stays loaded for the whole run instead.
extern "C" struct _XDisplay *XOpenDisplay(const char *nazwa);
extern "C" unsigned long XDefaultRootWindow(struct _XDisplay *d);
extern "C" int XGrabKeyboard(struct _XDisplay *d, unsigned long okno, int wlasne, int tryb_wsk,
                             int tryb_klaw, unsigned long czas);
extern "C" int XUngrabKeyboard(struct _XDisplay *d, unsigned long czas);
extern "C" int XSync(struct _XDisplay *d, int odrzuc);
static struct _XDisplay *polaczenie = nullptr;

Chwyt chwyt_po_starcie = {-1, false};

Chwyt chwyt_teraz() {
  Chwyt c;
  c.sdl = SDL_WM_GrabInput(SDL_GRAB_QUERY);
  c.zajeta_dla_innych = false;
  if (polaczenie) {
    // GrabModeAsync = 1, CurrentTime = 0; GrabSuccess = 0.
    int w = XGrabKeyboard(polaczenie, XDefaultRootWindow(polaczenie), 0, 1, 1, 0);
    if (w == 0) XUngrabKeyboard(polaczenie, 0);
    XSync(polaczenie, 0);
    c.zajeta_dla_innych = w != 0;
  }
  return c;
}

static int przypnij_modul(struct dl_phdr_info *info, size_t, void *) {
  const char *nazwa = info->dlpi_name;
  if (nazwa && strstr(nazwa, "/dri/")) dlopen(nazwa, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

void uruchom_program() {
  if (program_dziala) return;
  // An X connection of the test's own, held for the whole run: an Xvfb started
  // without -noreset resets when its last client leaves, and then refuses the
  // window the program opens anew at every game over or options change.
  if (!polaczenie) polaczenie = XOpenDisplay(nullptr);
  ASSERT_NE(polaczenie, nullptr) << "no X display";
  if (!katalog_gotowy) nowy_katalog_roboczy();
  char nazwa[] = "brixel";
  char *argv[] = {nazwa, nullptr};
  int wynik = start_programu(1, argv);
  ASSERT_EQ(wynik, -1) << "start-up failed";
  program_dziala = true;
  // SDL 2 takes the grab once its window has the focus, which it learns from
  // the window's first events: they are pumped (no pass runs) until the
  // keyboard is held, for at most three seconds.
  for (int i = 0; i < 150; i++) {
    SDL_PumpEvents();
    chwyt_po_starcie = chwyt_teraz();
    if (chwyt_po_starcie.zajeta_dla_innych) break;
    SDL_Delay(20);
  }
  dl_iterate_phdr(przypnij_modul, nullptr);
}

void stan_poczatkowy() {
  studnia_poczatkowa();
  jaki = 0; nastepny = 0; xk = 6; yk = 0; kloc = true;
  doskull = 0; czyskull = false; rotations = 0; score = 0;
  bonusk = 0; childmode = false; textual = 0; trythat = 0;
  speed = 50; gamespeed = 0; level = 1; rozwalone = 0; calkowite = 0; ilelinii = 0;
  wtopa = false; alarm = false; yzbi = 0; yp = 0;
  musi = false; dzwiek = 0; dodzwieku = 0; bonuses = 0; combo = 0; czas = 0;
  dodajczas = false; czyrekord = false; pepper = 0; rekord = 0; czyszklo = 1;
  done = false; pauza = 0; pa = 0;
  gameini = true; menu = false; elem2 = 1; elem = 1;
  ent = dp = obrot = left = right = 0;
  klawiatura_niepewna = 0;
  jakosc = 1; czymuza = 1; czytlo = 1; czyfram = 0; klasyczny = 0; szklo = 0;
  heading = 549.0f; yrot = 0; sceneroty = 0; lookupdown = 31.0f; ruch_z = -4.88f;
  xtrans = ytrans = ztrans = 0;
  for (int i = 0; i < 10; i++) {
    czykula[i] = false;
    xkula[i] = ykula[i] = zkula[i] = 0;
  }
  yronda = 0; zbitenie = 0; xalarm = 0; strona = false; skull = 0;
  rotatemodel = 0; obrotrm = true;
  if (!light) {
    for (int i = 0; i < 4; i++) LightDiffuse[i] = 1.0f;
    glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
    light = true;
  }
  distortion = 0; chaos = 0; ruchpox = 0;
  duch_wlaczony = false; napis_ducha = 0;
}

void klatki(int n, std::initializer_list<int> klawisze) {
  static std::vector<Uint8> stan(SDLK_LAST, 0);
  std::fill(stan.begin(), stan.end(), 0);
  for (int k : klawisze)
    if (k >= 0 && k < SDLK_LAST) stan[k] = 1;
  for (int i = 0; i < n; i++) przebieg(stan.data());
}

void nacisnij(int klawisz) {
  klatki(1, {klawisz});
  klatki(1);
}

void zacznij_gre() {
  elem2 = 1;
  klatki(1, {KLAWISZ_RETURN});
  klatki(1);
}

std::string tresc_configu() {
  std::ifstream f("config.cfg", std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void rzut(double x, double y, double z, double *sx, double *sy) {
  GLdouble mv[16], pr[16], wz;
  GLint vp[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glGetDoublev(GL_PROJECTION_MATRIX, pr);
  glGetIntegerv(GL_VIEWPORT, vp);
  gluProject(x, y, z, mv, pr, vp, sx, sy, &wz);
}

GLuint jednolita(int r, int g, int b, int a) {
  unsigned char t[4 * 4 * 4];
  for (int i = 0; i < 16; i++) {
    t[i * 4] = (unsigned char)r;
    t[i * 4 + 1] = (unsigned char)g;
    t[i * 4 + 2] = (unsigned char)b;
    t[i * 4 + 3] = (unsigned char)a;
  }
  GLuint n = 0;
  glGenTextures(1, &n);
  glBindTexture(GL_TEXTURE_2D, n);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, t);
  return n;
}

void gra(int s, int x, int y) {
  gameini = false;
  wtopa = false;
  pauza = 0;
  kloc = true;
  jaki = s;
  xk = x;
  yk = y;
  speed = 1000000;
  gamespeed = 0;
  rekord = 999999;
}

void okno_w_wygladzie(int szczegoly, int szerokosc) {
  if (szczegoly == jakosc && szerokosc == width) return;
  jakosc = szczegoly;
  width = szerokosc;
  height = szerokosc == 640 ? 480 : 600;
  zmiany_opcji();
}

Obraz obraz_okna(int w, int h) {
  Obraz p((size_t)w * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return p;
}

Obraz obraz() { return obraz_okna(width, height); }

Rgba piksel(const Obraz &p, int x, int y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return {-1000, -1000, -1000, -1000};
  const unsigned char *q = &p[((size_t)y * width + x) * 4];
  return {q[0], q[1], q[2], q[3]};
}

Rgba w_punkcie(const Obraz &p, double x, double y, double z) {
  double sx, sy;
  rzut(x, y, z, &sx, &sy);
  return piksel(p, (int)std::floor(sx), (int)std::floor(sy));
}

std::string naruszenie_stanu() {
  for (int y = 0; y < 21; y++) {
    if (studnia[0 * 21 + y] != 1) return "left wall, row " + std::to_string(y);
    if (studnia[11 * 21 + y] != 1) return "right wall, row " + std::to_string(y);
  }
  for (int x = 1; x <= 10; x++) {
    if (studnia[x * 21] != 1) return "row 0, column " + std::to_string(x);
    for (int y = 1; y <= 20; y++)
      if (studnia[x * 21 + y] != 0 && studnia[x * 21 + y] != 1)
        return "cell value at " + std::to_string(x) + "," + std::to_string(y);
  }
  if (jaki < 0 || jaki > 11) return "jaki " + std::to_string(jaki);
  if (nastepny < 0 || nastepny > 6) return "nastepny " + std::to_string(nastepny);
  if (bonusk < 0 || bonusk > 3) return "bonusk " + std::to_string(bonusk);
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) {
      if (!klocek[jaki * 16 + i * 4 + j]) continue;
      int x = xk - 1 + i, y = yk + j;
      if (x < 1 || x > 10 || y < 0 || y > 20)
        return "piece " + std::to_string(jaki) + " cell at " + std::to_string(x) + "," +
               std::to_string(y);
    }
  for (int s = 0; s < 12; s++) {
    int ile = 0;
    for (int e = 0; e < 16; e++) {
      if (klocek[s * 16 + e] != 0 && klocek[s * 16 + e] != 1) return "shape value";
      ile += klocek[s * 16 + e];
      int i = e / 4, j = e % 4;
      if (klocek[s * 16 + e] && (i >= ilema[s] || j >= ilema[s])) return "shape outside its box";
    }
    const int komorek[12] = {4, 4, 4, 4, 4, 4, 4, 1, 8, 5, 7, 7};
    if (ile != komorek[s]) return "shape " + std::to_string(s) + " has " + std::to_string(ile);
  }
  if (elem2 < 1 || elem2 > 3) return "elem2 " + std::to_string(elem2);
  if (elem < 1 || elem > liczba_opcji()) return "elem " + std::to_string(elem);
  if (pauza != 0 && pauza != 1) return "pauza";
  if (gameini && pauza) return "the menu is paused";
  if (menu && !gameini) return "options outside the menu";
  if (wtopa && gameini) return "game over in the menu";
  if (rozwalone < 0 || rozwalone > 19) return "rozwalone " + std::to_string(rozwalone);
  if (score < 0) return "score";
  if (czyszklo != 0 && czyszklo != 1) return "czyszklo";
  return "";
}

bool jest_menedzer() {
  // The root names the manager's check window, which names itself while the
  // manager lives: a manager that has gone may leave the root's word behind.
  std::string korzen = wynik_polecenia("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null");
  size_t h = korzen.find("# ");
  if (korzen.find("window id") == std::string::npos || h == std::string::npos) return false;
  std::string okno = korzen.substr(h + 2);
  okno = okno.substr(0, okno.find_first_of(" \n"));
  return wynik_polecenia("xprop -id " + okno + " _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("# " + okno) !=
         std::string::npos;
}

static pid_t menedzer = -1;

bool wlacz_menedzera() {
  if (system("command -v openbox >/dev/null") != 0) return false;
  menedzer = fork();
  if (menedzer == 0) {
    execlp("openbox", "openbox", "--sm-disable", (char *)nullptr);
    _exit(127);
  }
  for (int i = 0; i < 100 && !jest_menedzer(); i++)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return jest_menedzer();
}

void wylacz_menedzera() {
  if (menedzer <= 0) return;
  kill(menedzer, SIGTERM);
  waitpid(menedzer, nullptr, 0);
  menedzer = -1;
  for (int i = 0; i < 50 && jest_menedzer(); i++)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}
