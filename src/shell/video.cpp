// The window: an OpenGL surface through SDL 1.2, and the GL state every frame
// relies on.
#include "shell/shell.h"
#include "koniec/koniec.h"
#include "player/player.h"
#include "render/render.h"
#include "text_sound/text_sound.h"

#include <SDL_syswm.h>
#include <dlfcn.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>

GLUquadricObj *quadratic = nullptr;
int fps1 = 0;
float LightAmbient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float LightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float LightPosition1[4] = {0.1f, -0.2f, 0.2f, 0.4f};

// The last mode that could be set, to fall back on when a new one cannot.
static int dzialajaca_szerokosc = 0, dzialajaca_wysokosc = 0, dzialajaca_glebia = 0;

// SDL 2 keeps no icon title of its own: under sdl12-compat the X window is
// given it directly, as the classic library does.
static void nazwa_ikony(const char *nazwa) {
  if (!sdl12compat()) return;
  SDL_SysWMinfo opis;
  SDL_VERSION(&opis.version);
  if (SDL_GetWMInfo(&opis) <= 0 || opis.subsystem != SDL_SYSWM_X11 || !opis.info.x11.display) return;
  Window okno = opis.info.x11.wmwindow ? opis.info.x11.wmwindow : opis.info.x11.window;
  if (!okno) return;
  if (opis.info.x11.lock_func) opis.info.x11.lock_func();
  XSetIconName(opis.info.x11.display, okno, nazwa);
  XFlush(opis.info.x11.display);
  if (opis.info.x11.unlock_func) opis.info.x11.unlock_func();
}

int CreateGLWindow(const char *title, int w, int h, int bits, int fullscreenflag) {
  // Sizes no display can show are refused here rather than handed to X.
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || bits < 0 || bits > 32) return 0;
  Uint32 flagi = SDL_OPENGL;
  if (fullscreenflag) flagi |= SDL_FULLSCREEN;
  if (!SDL_SetVideoMode(w, h, bits, flagi)) return 0;
  dzialajaca_szerokosc = w;
  dzialajaca_wysokosc = h;
  dzialajaca_glebia = bits;

  SDL_WM_SetCaption(title, "opengl");
  nazwa_ikony("opengl");
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, (double)w / (double)h, (double)0.1f, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);

  glLightfv(GL_LIGHT1, GL_AMBIENT, LightAmbient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, LightPosition1);
  glEnable(GL_LIGHT1);
  glEnable(GL_LIGHTING);

  // The quadric is client memory, not the context's: the old one goes with it.
  if (quadratic) gluDeleteQuadric(quadratic);
  quadratic = gluNewQuadric();
  gluQuadricNormals(quadratic, GLU_FLAT);
  gluQuadricTexture(quadratic, GL_TRUE);

  glFogf(GL_FOG_DENSITY, 0.07f);
  glEnable(GL_FOG);
  fps1 = (int)time(nullptr);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  return 1;
}

// ---- The SDL 1.2 library underneath ----

bool sdl12compat() {
  // sdl12-compat, the SDL 1.2 interface over SDL 2, reports 1.2.50 and later.
  const SDL_version *v = SDL_Linked_Version();
  return v && v->major == 1 && v->minor == 2 && v->patch >= 50;
}

bool sdl2_nad_sdl3() {
  if (!sdl12compat()) return false;
  // sdl12-compat runs on the system's SDL 2, which loads once more here as
  // the same library. sdl2-compat, the SDL 2 interface over SDL 3, reports
  // 2.32.50 and later.
  static int wynik = -1;
  if (wynik < 0) {
    wynik = 0;
    if (void *sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_LOCAL)) {
      struct Wersja {
        Uint8 major, minor, patch;
      } w = {0, 0, 0};
      if (auto wersja = (void (*)(Wersja *))dlsym(sdl2, "SDL_GetVersion")) wersja(&w);
      wynik = w.major == 2 && (w.minor > 32 || (w.minor == 32 && w.patch >= 50));
      dlclose(sdl2);
    }
  }
  return wynik == 1;
}

const char *sterownik_gracza() {
  const char *wybrany = getenv("SDL_VIDEODRIVER");
  return wybrany && *wybrany ? wybrany : nullptr;
}

// The name SDL gives the video driver it chose; "" before it starts.
static const char *nazwa_sterownika() {
  static char sterownik[32];
  if (!SDL_VideoDriverName(sterownik, sizeof sterownik)) sterownik[0] = 0;
  return sterownik;
}

const char *sterownik_bez_ekranu() {
  // A driver the player named is what the player wants.
  if (sterownik_gracza()) return nullptr;
  const char *sterownik = nazwa_sterownika();
  // SDL falls back to these when there is no display: they draw off-screen or
  // as text in a terminal, where nobody sees the game.
  for (const char *n : {"dummy", "offscreen", "caca", "aalib"})
    if (strcmp(sterownik, n) == 0) return sterownik;
  return nullptr;
}

// The window named by property p of window w; None when there is none.
static Window okno_z_wlasciwosci(Display *d, Window w, Atom p) {
  Atom typ;
  int format;
  unsigned long ile, reszta;
  unsigned char *dane = nullptr;
  Window wynik = None;
  if (XGetWindowProperty(d, w, p, 0, 1, False, XA_WINDOW, &typ, &format, &ile, &reszta, &dane) ==
          Success &&
      dane && typ == XA_WINDOW && format == 32 && ile == 1)
    wynik = (Window) * (unsigned long *)dane;
  if (dane) XFree(dane);
  return wynik;
}

static int bez_bledow_x(Display *, XErrorEvent *) { return 0; }

// Whether an EWMH window manager runs on the X display: the root names the
// manager's check window, which names itself (the test SDL 2 makes too).
static bool menedzer_okien() {
  Display *d = XOpenDisplay(nullptr);
  if (!d) return false;
  // A check window left by a manager that has gone is no error of the game's.
  int (*poprzedni)(Display *, XErrorEvent *) = XSetErrorHandler(bez_bledow_x);
  Atom sprawdz = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  Window okno = okno_z_wlasciwosci(d, DefaultRootWindow(d), sprawdz);
  bool jest = okno != None && okno_z_wlasciwosci(d, okno, sprawdz) == okno;
  XSync(d, False);
  XSetErrorHandler(poprzedni);
  XCloseDisplay(d);
  return jest;
}

// sdl12-compat shows a full-screen GL picture scaled in a window the size of
// the desktop. Without a window manager SDL 2 gives the window no such size,
// and the picture lands displaced in a window of the asked size; there the
// picture is drawn unscaled instead. SDL 3 shows the scaled picture whole in
// the middle either way, while an unscaled one makes it switch the screen's
// mode and wait five seconds for a window manager to confirm (it reports the
// time-out as an error and switches back): SDL 3 keeps the scaling.
// sdl12-compat reads this once, when SDL first starts, so a manager started or
// stopped later is not followed. The player's own setting wins.
static void dopasuj_skalowanie() {
  if (getenv("SDL12COMPAT_OPENGL_SCALING") || !sdl12compat() || sdl2_nad_sdl3()) return;
  const char *wybrany = sterownik_gracza();
  bool x11 = !wybrany || strcmp(wybrany, "x11") == 0;
  if (x11 && getenv("DISPLAY") && !menedzer_okien()) setenv("SDL12COMPAT_OPENGL_SCALING", "0", 1);
}

void przygotuj_sdl() {
  // SDL 2 grabs only the pointer unless asked for the keyboard too; the
  // player's own setting wins.
  setenv("SDL_GRAB_KEYBOARD", "1", 0);
  // Under sdl12-compat every pad SDL 2's controller database knows gives the
  // same numbers (A 0, B 1, Back 4, Start 6, the D-pad as buttons 11-14).
  setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 0);
  dopasuj_skalowanie();
}

static void brak_trybu() {
  char komunikat[512];
  snprintf(komunikat, sizeof komunikat, "Couldn't set video mode: %s\n", SDL_GetError());
  zakoncz_z_bledem(komunikat);
}

void otworz_pierwsze_okno() {
  // Ask for the depth buffer of the colour depth and a stencil of 10; where the
  // display has no such visual, lower the stencil, then the depth, step by step.
  const int szablony[] = {10, 8, 0};
  const int glebie[] = {bittes, 24, 16};
  for (int g = 0; g < 3; g++) {
    if (g > 0 && glebie[g] >= bittes) continue;
    for (int s = 0; s < 3; s++) {
      SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, glebie[g]);
      SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
      SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, szablony[s]);
      if (CreateGLWindow("BRIXEL", width, height, bittes, pelny_ekran())) {
        // A refused request drops SDL's input grab; take it again for the
        // window that opened (full screen; a window the player chose holds none).
        chwyt_okna();
        return;
      }
    }
  }
  brak_trybu();
}

// Whether SDL shows the game through a Wayland compositor.
static bool na_waylandzie() { return strcmp(nazwa_sterownika(), "wayland") == 0; }

void odtworz_okno() {
  okno_w_budowie(true);
  usun_tekstury();
  zamknij_pady();
  if (na_waylandzie()) {
    // SDL 2.26's Wayland driver crashes (in xkbcommon) when it sets its
    // keyboard up a second time in one process, which shutting SDL down and
    // starting it again makes it do. On Wayland the window is set anew over
    // the running SDL instead; the GL context then stays, and the font's
    // lists and texture are given up here as the other textures are.
    KillFont(foncik);
  } else {
    SDL_Quit();
  }
  if (!CreateGLWindow("BRIXEL", width, height, bittes, pelny_ekran())) {
    // Keep playing in the last mode that worked rather than without a window.
    if (dzialajaca_szerokosc == 0 ||
        !CreateGLWindow("BRIXEL", dzialajaca_szerokosc, dzialajaca_wysokosc, dzialajaca_glebia, pelny_ekran()))
      brak_trybu();
    width = dzialajaca_szerokosc;
    height = dzialajaca_wysokosc;
    bittes = dzialajaca_glebia;
  }
  // The new window holds the keyboard and pointer as the first one did (full
  // screen; a window the player chose holds neither and shows the cursor).
  chwyt_okna();
  okno_w_budowie(false);
  okno_od_nowa();
  // SDL 1.2 knows no hot-plugging: a pad plugged in since is taken now.
  otworz_pady();
  wczytaj_tekstury();
  // The rest of this pass and the next one read the keys before the new window
  // has been told which are held; let it hear about them as soon as it can.
  klawiatura_niepewna = 2;
  SDL_PumpEvents();
}
