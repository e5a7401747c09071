// Turns PNG pictures into OpenGL textures and loads the game's twenty texture
// slots in their fixed order.
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_thread.h>
#include <GL/glu.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

int TM_TYPE = 0;
GLuint gTexture[90];
GLuint nazwa_slotu[21];

void TextureMode(int mode) {
  if (mode < 0) mode = 0;
  if (mode > 2) mode = 2;
  TM_TYPE = mode;
}

int power_of_two(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

void TextureMAP() {
  switch (TM_TYPE) {
    case 0:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      break;
    case 1:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
      break;
    case 2:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
      break;
  }
}

// ---- Pictures kept in memory ----
//
// A picture is decoded once (IMG_Load, copied into a power-of-two RGBA image)
// and kept with its mipmap chain, so that a re-created window only uploads it.
// It is used again only while its file is the same one: same device, inode,
// size and times; a file that cannot be opened any more loads nothing.

struct Tozsamosc {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t rozmiar = 0;
  long long mtime = 0, ctime = 0;   // ns
  bool operator==(const Tozsamosc &o) const {
    return dev == o.dev && ino == o.ino && rozmiar == o.rozmiar && mtime == o.mtime &&
           ctime == o.ctime;
  }
};

struct Obraz {
  std::string plik;
  Tozsamosc zrodlo;
  bool jest = false;   // decoded; false for a file that is no picture
  int w = 0, h = 0;    // power-of-two sides of level 0
  std::vector<std::vector<unsigned char>> poziomy;   // RGBA, level 0 first
};

// Identity of a file that can be opened for reading.
static bool tozsamosc_pliku(const char *plik, Tozsamosc *t) {
  // Not blocking, so that a pipe under a picture's name is refused, not waited on.
  int fd = open(plik, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  close(fd);
  if (!ok) return false;
  t->dev = st.st_dev;
  t->ino = st.st_ino;
  t->rozmiar = st.st_size;
  t->mtime = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
  t->ctime = (long long)st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
  return true;
}

// The next mipmap level, as gluBuild2DMipmaps makes it for power-of-two RGBA
// bytes: each texel the rounded mean of a 2 x 2 block, or, once one side is 1,
// the truncated mean of a pair along the other side.
static void polowa(const unsigned char *we, int w, int h, unsigned char *wy) {
  if (w == 1 || h == 1) {
    int n = (w > h ? w : h) / 2;
    for (int i = 0; i < n; i++)
      for (int k = 0; k < 4; k++) wy[i * 4 + k] = (unsigned char)((we[i * 8 + k] + we[i * 8 + 4 + k]) / 2);
    return;
  }
  int w2 = w / 2, h2 = h / 2;
  for (int y = 0; y < h2; y++) {
    const unsigned char *r0 = we + (size_t)(2 * y) * w * 4, *r1 = r0 + (size_t)w * 4;
    unsigned char *d = wy + (size_t)y * w2 * 4;
    for (int x = 0; x < w2; x++)
      for (int k = 0; k < 4; k++)
        d[x * 4 + k] = (unsigned char)((r0[x * 8 + k] + r0[x * 8 + 4 + k] + r1[x * 8 + k] +
                                        r1[x * 8 + 4 + k] + 2) / 4);
  }
}

// Decodes a picture into o (o->jest false when it cannot be loaded). Touches
// no GL, so it may run on the decoding thread.
static void dekoduj(const char *plik, Obraz *o) {
  o->plik = plik;
  o->jest = false;
  o->poziomy.clear();
  if (!tozsamosc_pliku(plik, &o->zrodlo)) return;
  SDL_Surface *obraz = IMG_Load(plik);
  if (!obraz) return;
  int w2 = power_of_two(obraz->w), h2 = power_of_two(obraz->h);
  // No GL takes sides beyond this; such a picture fails like a broken one.
  if (w2 > 16384 || h2 > 16384) {
    SDL_FreeSurface(obraz);
    return;
  }
  SDL_Surface *rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, w2, h2, 32, 0x000000FF, 0x0000FF00,
                                           0x00FF0000, 0xFF000000);
  if (!rgba) {
    SDL_FreeSurface(obraz);
    return;
  }
  // Copy the alpha channel rather than blend with it.
  Uint32 flagi = obraz->flags & (SDL_SRCALPHA | SDL_RLEACCELOK);
  Uint8 alfa = obraz->format->alpha;
  if (flagi & SDL_SRCALPHA) SDL_SetAlpha(obraz, 0, 0);
  SDL_Rect obszar = {0, 0, (Uint16)obraz->w, (Uint16)obraz->h};
  SDL_BlitSurface(obraz, &obszar, rgba, &obszar);
  if (flagi & SDL_SRCALPHA) SDL_SetAlpha(obraz, flagi, alfa);
  SDL_FreeSurface(obraz);

  // Every level is made in place in o, never in a local of this routine: a
  // process forked by a library meanwhile keeps only the forking thread, and
  // must not find the picture in hand held by this one alone.
  try {
    o->poziomy.reserve(16);   // sides up to 16384: fifteen levels
    SDL_LockSurface(rgba);
    o->poziomy.emplace_back((size_t)w2 * h2 * 4);
    unsigned char *p0 = o->poziomy.back().data();
    for (int y = 0; y < h2; y++)
      memcpy(p0 + (size_t)y * w2 * 4, (const unsigned char *)rgba->pixels + (size_t)y * rgba->pitch,
             (size_t)w2 * 4);
    SDL_UnlockSurface(rgba);
    for (int w = w2, h = h2; w > 1 || h > 1;) {
      int nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
      o->poziomy.emplace_back((size_t)nw * nh * 4);
      size_t n = o->poziomy.size();
      polowa(o->poziomy[n - 2].data(), w, h, o->poziomy[n - 1].data());
      w = nw;
      h = nh;
    }
    o->w = w2;
    o->h = h2;
    o->jest = true;
  } catch (const std::bad_alloc &) {
    o->poziomy.clear();
  }
  SDL_FreeSurface(rgba);
}

// Every picture decoded so far, by path (touched by the main thread only).
static std::vector<std::unique_ptr<Obraz>> pamiec_obrazow;

static void do_pamieci(std::unique_ptr<Obraz> o) {
  for (auto &p : pamiec_obrazow)
    if (p->plik == o->plik) {
      p = std::move(o);
      return;
    }
  pamiec_obrazow.push_back(std::move(o));
}

// ---- Decoding ahead ----
//
// At start-up one thread decodes the twenty pictures in slot order while the
// window and the sound device open; the loads take them as they come. The
// thread runs at a lower priority, so that on a busy machine it does not slow
// the opening of the window, and a load that finds its picture not yet begun
// decodes it itself instead of waiting.

const char *const pliki_tekstur[20] = {
  "gfx/background.png", "gfx/brick4.png", "gfx/wood1.png", "gfx/brick3.png",
  "gfx/brick1.png", "gfx/brick2.png", "gfx/alarm.png", "gfx/column.png",
  "gfx/wood2.png", "gfx/lightmap.png", "gfx/lightpanel.png", "gfx/skill.png",
  "gfx/bonuses.png", "gfx/childbrick1.png", "gfx/childbrick2.png", "gfx/childbrick4.png",
  "gfx/desk.png", "gfx/skull.png", "gfx/shine.png", "gfx/font.png"};

static SDL_Thread *watek_obrazow = nullptr;
static std::mutex zamek_obrazow;
static std::condition_variable zmiana_obrazow;
static std::unique_ptr<Obraz> wstepne[20];   // decoded (or being decoded) by the thread, not yet taken
static bool zajete[20];    // begun, by the thread or by a load
static bool gotowe[20];    // the thread has finished it
static bool odebrane[20];  // a load has taken it (main thread only)
static bool przerwij_obrazy = false;

// An SDL thread, so that SDL's error text of a failed picture stays its own.
static int watek_dekodujacy(void *) {
#ifdef __linux__
  setpriority(PRIO_PROCESS, (id_t)syscall(SYS_gettid), 10);
#endif
  for (;;) {
    int i = 0;
    Obraz *o = nullptr;
    {
      std::lock_guard<std::mutex> l(zamek_obrazow);
      while (i < 20 && zajete[i]) i++;
      if (i == 20 || przerwij_obrazy) return 0;
      zajete[i] = true;
      // The picture hangs off the table from the start (no load touches it
      // before it is finished), so that it is never this thread's alone: a
      // process forked meanwhile, as the sound library's server start does,
      // keeps only the forking thread and would lose it.
      wstepne[i].reset(new (std::nothrow) Obraz());
      o = wstepne[i].get();
    }
    if (o) dekoduj(pliki_tekstur[i], o);
    std::lock_guard<std::mutex> l(zamek_obrazow);
    gotowe[i] = true;
    zmiana_obrazow.notify_all();
  }
}

void zacznij_dekodowanie_obrazow() {
  if (watek_obrazow) return;
  przerwij_obrazy = false;
  for (int i = 0; i < 20; i++) {
    zajete[i] = gotowe[i] = odebrane[i] = false;
    wstepne[i].reset();
  }
  // Without a thread the loads decode for themselves.
  watek_obrazow = SDL_CreateThread(watek_dekodujacy, nullptr);
}

void skoncz_dekodowanie_obrazow() {
  if (!watek_obrazow) return;
  {
    std::lock_guard<std::mutex> l(zamek_obrazow);
    przerwij_obrazy = true;
  }
  SDL_WaitThread(watek_obrazow, nullptr);
  watek_obrazow = nullptr;
  for (int i = 0; i < 20; i++) wstepne[i].reset();
}

// Takes the picture of a file the thread decodes: waits for it if the thread
// has begun it, or leaves it to the caller if not. The thread is joined once
// every picture has been taken.
static void odbierz_wstepny(const char *plik) {
  if (!watek_obrazow) return;
  int i = 0;
  while (i < 20 && (odebrane[i] || strcmp(pliki_tekstur[i], plik) != 0)) i++;
  if (i == 20) return;
  std::unique_ptr<Obraz> o;
  {
    std::unique_lock<std::mutex> l(zamek_obrazow);
    if (zajete[i]) {
      zmiana_obrazow.wait(l, [i] { return gotowe[i]; });
      o = std::move(wstepne[i]);
    } else {
      zajete[i] = true;
    }
  }
  odebrane[i] = true;
  if (o) do_pamieci(std::move(o));
  bool wszystkie = true;
  for (bool b : odebrane) wszystkie = wszystkie && b;
  if (wszystkie) skoncz_dekodowanie_obrazow();
}

// The decoded picture of a file as it is now; null when it cannot be loaded.
static const Obraz *obraz_pliku(const char *plik) {
  odbierz_wstepny(plik);
  Tozsamosc t;
  if (!tozsamosc_pliku(plik, &t)) return nullptr;
  for (auto &p : pamiec_obrazow)
    if (p->plik == plik && p->zrodlo == t) return p->jest ? p.get() : nullptr;
  std::unique_ptr<Obraz> o(new (std::nothrow) Obraz());
  if (!o) return nullptr;
  dekoduj(plik, o.get());
  const Obraz *wynik = o->jest ? o.get() : nullptr;
  do_pamieci(std::move(o));
  return wynik;
}

GLuint LoadTexture(const char *file) {
  const Obraz *o = obraz_pliku(file);
  if (!o) return 0;
  GLint najwiekszy = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &najwiekszy);
  // A picture too large for the GL is treated like one that failed to load.
  if (najwiekszy <= 0 || o->w > najwiekszy || o->h > najwiekszy) return 0;

  GLuint nazwa = 0;
  glGenTextures(1, &nazwa);
  glBindTexture(GL_TEXTURE_2D, nazwa);
  TextureMAP();
  // Mode 2 takes the whole chain (what gluBuild2DMipmaps would build), the
  // others level 0 only.
  int poziomy = TM_TYPE == 2 ? (int)o->poziomy.size() : 1;
  for (int l = 0, w = o->w, h = o->h; l < poziomy; l++) {
    glTexImage2D(GL_TEXTURE_2D, l, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, o->poziomy[l].data());
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
  return nazwa;
}

void RemoveTexture(GLuint name) {
  if (name != 0) glDeleteTextures(1, &name);
}

void wiaz_slot(int slot) {
  GLuint nazwa = (slot >= 1 && slot <= 20) ? nazwa_slotu[slot] : 0;
  glBindTexture(GL_TEXTURE_2D, nazwa);
}

static void wczytaj_slot(int slot) {
  GLuint nazwa = LoadTexture(pliki_tekstur[slot - 1]);
  gTexture[slot - 1] = nazwa;
  nazwa_slotu[slot] = nazwa;
}

void wczytaj_tekstury() {
  for (int s = 0; s <= 20; s++) nazwa_slotu[s] = 0;
  TextureMode(2);
  if (jakosc == 1) TextureMode(1);
  for (int s = 1; s <= 2; s++) wczytaj_slot(s);
  TextureMode(2);
  for (int s = 3; s <= 13; s++) wczytaj_slot(s);
  if (jakosc == 1) TextureMode(1);
  for (int s = 14; s <= 17; s++) wczytaj_slot(s);
  TextureMode(2);
  for (int s = 18; s <= 19; s++) wczytaj_slot(s);

  foncik = LoadFont(pliki_tekstur[19]);
  UseFont(foncik);
  nazwa_slotu[20] = foncik;
}

void usun_tekstury() {
  for (int i = 0; i < 90; i++) {
    RemoveTexture(gTexture[i]);
    gTexture[i] = 0;
  }
  for (int s = 0; s <= 20; s++) nazwa_slotu[s] = 0;
}
