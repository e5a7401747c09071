// The game on a desktop, run pass by pass in this process with its real window:
// the window left and regained (focus and minimise events through the game's
// own event handling, pushed into SDL's queue and, with a window manager,
// made by the X server), the keyboard held after start-up and after every
// re-creation, and the picture as the screen shows it, with and without a
// window manager.
#include "harness.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <png.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

// The game's managed X window (the one a window manager frames and iconifies).
unsigned long okno_gry() {
  SDL_SysWMinfo opis;
  SDL_VERSION(&opis.version);
  if (SDL_GetWMInfo(&opis) <= 0 || opis.subsystem != SDL_SYSWM_X11) return 0;
  return opis.info.x11.wmwindow ? opis.info.x11.wmwindow : opis.info.x11.window;
}

// A focus or minimise event as SDL 1.2 reports it, into SDL's queue.
void zdarzenie_aktywnosci(int stan, int zysk) {
  SDL_Event e;
  memset(&e, 0, sizeof e);
  e.type = SDL_ACTIVEEVENT;
  e.active.gain = (Uint8)zysk;
  e.active.state = (Uint8)stan;
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

int w_kolejce() {
  SDL_Event e[128];
  SDL_PumpEvents();
  return SDL_PeepEvents(e, 128, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

// Passes with the keys held until SDL's queue is empty (a pass takes one
// event), at most n of them.
void do_pustej_kolejki(std::initializer_list<int> klawisze = {}, int n = 300) {
  for (int i = 0; i < n && w_kolejce() > 0; i++) klatki(1, klawisze);
}

// Passes (with the real swap) until warunek holds or sek seconds pass.
template <typename F>
bool az_do(F warunek, double sek) {
  auto koniec = std::chrono::steady_clock::now() + std::chrono::duration<double>(sek);
  while (std::chrono::steady_clock::now() < koniec) {
    klatki(1);
    SDL_GL_SwapBuffers();
    if (warunek()) return true;
    SDL_Delay(5);
  }
  return warunek();
}

struct Zrzut {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;   // top row first
};

// The whole screen as the X server shows it.
bool zrzut_ekranu(Zrzut *z) {
  char plik[] = "/tmp/brixel-screen-XXXXXX";
  int fd = mkstemp(plik);
  if (fd < 0) return false;
  close(fd);
  std::string polecenie = std::string("import -window root png:") + plik + " 2>/dev/null";
  bool ok = system(polecenie.c_str()) == 0;
  png_image im;
  memset(&im, 0, sizeof im);
  im.version = PNG_IMAGE_VERSION;
  if (ok) ok = png_image_begin_read_from_file(&im, plik) != 0;
  if (ok) {
    im.format = PNG_FORMAT_RGB;
    z->w = (int)im.width;
    z->h = (int)im.height;
    z->rgb.assign(PNG_IMAGE_SIZE(im), 0);
    ok = png_image_finish_read(&im, nullptr, z->rgb.data(), 0, nullptr) != 0;
  }
  unlink(plik);
  return ok;
}

// Mean absolute difference per channel between the game's w x h picture
// (bottom row first, four bytes a pixel) and the screen's area at (x0, y0)
// of sw x sh pixels onto which it would be scaled.
double roznica(const Obraz &gra, int w, int h, const Zrzut &z, double x0, double y0, double sw,
               double sh) {
  double suma = 0;
  long n = 0;
  for (int y = 0; y < h; y += 2)
    for (int x = 0; x < w; x += 2) {
      int sx = (int)std::floor(x0 + (x + 0.5) * sw / w), sy = (int)std::floor(y0 + (y + 0.5) * sh / h);
      const unsigned char *g = &gra[((size_t)(h - 1 - y) * w + x) * 4];
      for (int k = 0; k < 3; k++) {
        int s = 0;
        if (sx >= 0 && sy >= 0 && sx < z.w && sy < z.h) s = z.rgb[((size_t)sy * z.w + sx) * 3 + k];
        suma += std::abs((int)g[k] - s);
      }
      n += 3;
    }
  return n ? suma / n : 1e9;
}

// The screen outside the area, sampled: the brightest channel found.
int najjasniej_poza(const Zrzut &z, int x0, int y0, int w, int h) {
  int m = 0;
  for (int y = 0; y < z.h; y += 3)
    for (int x = 0; x < z.w; x += 3) {
      if (x >= x0 && x < x0 + w && y >= y0 && y < y0 + h) continue;
      for (int k = 0; k < 3; k++) m = std::max(m, (int)z.rgb[((size_t)y * z.w + x) * 3 + k]);
    }
  return m;
}

// The program started with no window manager on the display. (The program
// starts once per test binary: each fixture runs in a binary of its own.)
class Pulpit : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_FALSE(jest_menedzer()) << "a window manager runs on the test's display";
    uruchom_program();
  }
  void SetUp() override {
    do_pustej_kolejki();
    stan_poczatkowy();
    zapomnij_przytrzymane();
  }
  void TearDown() override {
    do_pustej_kolejki();
    zapomnij_przytrzymane();
  }

  // The screen shows the whole picture the game draws, after the start-up and
  // after a re-creation: scaled to fill the screen or 1:1 in its middle.
  void obraz_po_starcie_i_odtworzeniu(bool skalowany) {
    for (int i = 0; i < 2; i++) {
      SCOPED_TRACE(i ? "after a re-creation" : "after the start-up");
      if (i) odtworz_okno();
      ASSERT_TRUE(az_do([] { return !okno_opuszczone; }, 5.0));
      double skala = 0;
      int poza = 0;
      double r = porownaj_obraz(&skala, &poza);
      EXPECT_LT(r, 8.0) << "the screen does not show the picture the game drew";
      if (skalowany)
        EXPECT_GT(skala, 1.0) << "the picture is not scaled to the screen";
      else
        EXPECT_EQ(skala, 1.0) << "the picture is not shown 1:1";
      EXPECT_LT(poza, 16) << "something besides the picture is on the screen";
    }
  }

  // The picture the game draws beside the screen that shows it. Returns the
  // mean difference of the best placement; *skala is 1 for the picture shown
  // 1:1 in the middle of the screen, above 1 for it scaled to fill it.
  double porownaj_obraz(double *skala, int *poza) {
    klatki(40);
    klatki(1);
    Obraz gra = obraz();
    SDL_GL_SwapBuffers();
    glFinish();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Zrzut z;
    EXPECT_TRUE(zrzut_ekranu(&z));
    if (z.w == 0) return 1e9;
    double najlepsza = 1e9;
    double s_fill = std::min((double)z.w / width, (double)z.h / height);
    for (double s : {1.0, s_fill}) {
      double sw = width * s, sh = height * s;
      double x0 = (z.w - sw) / 2, y0 = (z.h - sh) / 2;
      double r = roznica(gra, width, height, z, x0, y0, sw, sh);
      std::printf("picture %dx%d shown %s: mean difference %.1f\n", width, height,
                  s == 1.0 ? "1:1 in the middle" : "scaled to fill the screen", r);
      if (r < najlepsza) {
        najlepsza = r;
        *skala = s;
        *poza = najjasniej_poza(z, (int)x0, (int)y0, (int)sw, (int)sh);
      }
    }
    return najlepsza;
  }
};

// The program started under a window manager (openbox, started here), as on
// a desktop.
class PulpitZMenedzerem : public Pulpit {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(wlacz_menedzera()) << "openbox did not start";
    uruchom_program();
  }
  static void TearDownTestSuite() { wylacz_menedzera(); }
};

}  // namespace

// ---- Leaving the window, through the game's own event handling ----

TEST_F(Pulpit, GraPauzujeSieGdyOknoTraciFokusLubJestMinimalizowane) {
  for (int stan : {(int)SDL_APPINPUTFOCUS, (int)SDL_APPACTIVE, (int)(SDL_APPACTIVE | SDL_APPINPUTFOCUS)}) {
    SCOPED_TRACE("state " + std::to_string(stan));
    stan_poczatkowy();
    gra(0, 5, 3);
    speed = 1;   // a step every other pass while the game runs
    klatki(4);
    ASSERT_GT(yk, 3) << "the piece does not fall";
    zdarzenie_aktywnosci(stan, 0);
    do_pustej_kolejki();
    EXPECT_EQ(pauza, 1);
    EXPECT_TRUE(okno_opuszczone);
    int y = yk;
    klatki(20);
    EXPECT_EQ(yk, y) << "the game went on without the player";
    // Back: still paused, until P.
    zdarzenie_aktywnosci(stan, 1);
    do_pustej_kolejki();
    EXPECT_FALSE(okno_opuszczone);
    klatki(5);
    EXPECT_EQ(pauza, 1);
    EXPECT_EQ(yk, y);
    nacisnij(KLAWISZ_P);
    EXPECT_EQ(pauza, 0);
    klatki(6);
    EXPECT_GT(yk, y) << "P did not resume the game";
  }
  // The pointer alone leaving the window is no leaving.
  stan_poczatkowy();
  gra(0, 5, 3);
  zdarzenie_aktywnosci(SDL_APPMOUSEFOCUS, 0);
  do_pustej_kolejki();
  EXPECT_EQ(pauza, 0);
  EXPECT_FALSE(okno_opuszczone);
}

TEST_F(Pulpit, MinimalizacjaIFokusNaPrzemianWracajaDopieroGdyObaWroca) {
  gra(0, 5, 3);
  zdarzenie_aktywnosci(SDL_APPACTIVE, 0);
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 0);
  zdarzenie_aktywnosci(SDL_APPACTIVE, 1);   // shown again, the focus elsewhere
  do_pustej_kolejki({KLAWISZ_P});
  EXPECT_TRUE(okno_opuszczone);
  EXPECT_EQ(pauza, 1) << "P reached a game whose window has no focus";
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 1);
  do_pustej_kolejki();
  EXPECT_FALSE(okno_opuszczone);
}

// Keys held when the window is left do not stay held, and none of those held
// when the player comes back counts until it has been released: not P (the
// game stays paused), not Escape (the game is not thrown away), not Down.
TEST_F(Pulpit, KlawiszeTrzymanePrzyOdejsciuIPowrocieCzekajaNaPuszczenie) {
  gra(0, 5, 3);
  speed = 1000000;
  klatki(1, {KLAWISZ_DOL});
  int y = yk;
  ASSERT_EQ(y, 4) << "Down did not step the piece";
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 0);
  do_pustej_kolejki({KLAWISZ_DOL, KLAWISZ_LEWO});
  y = yk;
  int x = xk;
  klatki(10, {KLAWISZ_DOL, KLAWISZ_LEWO, KLAWISZ_P});
  EXPECT_EQ(pauza, 1);
  EXPECT_EQ(yk, y);
  EXPECT_EQ(xk, x);
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 1);
  do_pustej_kolejki({KLAWISZ_DOL, KLAWISZ_P, KLAWISZ_ESCAPE});
  klatki(10, {KLAWISZ_DOL, KLAWISZ_P, KLAWISZ_ESCAPE});
  EXPECT_FALSE(gameini) << "Escape held through the return left the game";
  EXPECT_EQ(pauza, 1) << "P held through the return resumed the game";
  // P and Escape let go, Down still held: P resumes, Down does not step.
  klatki(2, {KLAWISZ_DOL});
  klatki(1, {KLAWISZ_DOL, KLAWISZ_P});
  klatki(5, {KLAWISZ_DOL});
  EXPECT_EQ(pauza, 0);
  EXPECT_EQ(yk, y) << "Down held since the player left stepped the piece";
  // Let go and pressed again, Down steps every pass, as it does.
  klatki(1);
  klatki(3, {KLAWISZ_DOL});
  EXPECT_EQ(yk, y + 3);
  EXPECT_EQ(xk, x);
}

// The menu, the options list and game over are not paused; their keys, too,
// wait while the window is left and for their release after it.
TEST_F(Pulpit, MenuOpcjeIKoniecGryZostajaJakSa) {
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 0);
  do_pustej_kolejki({KLAWISZ_DOL});
  klatki(3, {KLAWISZ_DOL});
  EXPECT_EQ(pauza, 0);
  EXPECT_TRUE(gameini);
  EXPECT_EQ(elem2, 1) << "a key moved the menu while the window was left";
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 1);
  do_pustej_kolejki({KLAWISZ_DOL});
  klatki(3, {KLAWISZ_DOL});
  EXPECT_EQ(elem2, 1);
  klatki(1);
  nacisnij(KLAWISZ_DOL);
  EXPECT_EQ(elem2, 2);

  // The options list stays open.
  nacisnij(KLAWISZ_RETURN);
  ASSERT_TRUE(menu);
  zdarzenie_aktywnosci(SDL_APPACTIVE, 0);
  do_pustej_kolejki();
  EXPECT_TRUE(menu);
  EXPECT_EQ(pauza, 0);
  zdarzenie_aktywnosci(SDL_APPACTIVE, 1);
  do_pustej_kolejki();
  klatki(3);
  nacisnij(KLAWISZ_DOL);
  EXPECT_EQ(elem, 2);

  // Game over: no pause; Y after the return starts a new game.
  stan_poczatkowy();
  gra(0, 5, 3);
  wtopa = true;
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 0);
  do_pustej_kolejki();
  EXPECT_EQ(pauza, 0);
  zdarzenie_aktywnosci(SDL_APPINPUTFOCUS, 1);
  do_pustej_kolejki({KLAWISZ_Y});
  klatki(3, {KLAWISZ_Y});
  EXPECT_TRUE(wtopa) << "Y held through the return started a game";
  klatki(1);
  nacisnij(KLAWISZ_Y);
  EXPECT_FALSE(wtopa);
}

// ---- The keyboard held ----

TEST_F(Pulpit, KlawiaturaTrzymanaPoStarcieIPoKazdymOdtworzeniu) {
  EXPECT_EQ(chwyt_po_starcie.sdl, SDL_GRAB_ON);
  EXPECT_TRUE(chwyt_po_starcie.zajeta_dla_innych) << "another client took the keyboard after start-up";
  for (int i = 1; i <= 2; i++) {
    SCOPED_TRACE("re-creation " + std::to_string(i));
    odtworz_okno();
    ASSERT_TRUE(az_do([] { return chwyt_teraz().zajeta_dla_innych; }, 5.0))
        << "another client took the keyboard after the re-creation";
    EXPECT_EQ(chwyt_teraz().sdl, SDL_GRAB_ON);
  }
}

// ---- The picture as the screen shows it ----

// Without a window manager: the picture whole and 1:1 in the middle of the
// screen (neither library can size the window to the screen then).
TEST_F(Pulpit, ObrazCalyBezMenedzeraOkien) { obraz_po_starcie_i_odtworzeniu(false); }

// With a window manager: the whole picture; sdl12-compat scales it to fill
// the screen, the classic library shows it 1:1 in the middle.
TEST_F(PulpitZMenedzerem, ObrazCaly) { obraz_po_starcie_i_odtworzeniu(sdl12compat()); }

TEST_F(PulpitZMenedzerem, KlawiaturaTrzymana) {
  EXPECT_EQ(chwyt_po_starcie.sdl, SDL_GRAB_ON);
  EXPECT_TRUE(chwyt_po_starcie.zajeta_dla_innych) << "another client took the keyboard after start-up";
  odtworz_okno();
  EXPECT_TRUE(az_do([] { return chwyt_teraz().zajeta_dla_innych; }, 5.0))
      << "another client took the keyboard after the re-creation";
}

// The manager's own minimise, and another window taking the focus, pause a
// game: the X server's events through SDL and the game's event handling.
TEST_F(PulpitZMenedzerem, MinimalizacjaIInneOknoPauzujaGre) {
  unsigned long okno = okno_gry();
  ASSERT_NE(okno, 0ul);
  std::string id = std::to_string(okno);
  gra(0, 5, 3);
  ASSERT_EQ(system(("xdotool windowminimize " + id).c_str()), 0);
  EXPECT_TRUE(az_do([] { return pauza == 1; }, 10.0)) << "minimised, the game did not pause";
  ASSERT_EQ(system(("xdotool windowactivate " + id + " 2>/dev/null").c_str()), 0);
  EXPECT_TRUE(az_do([] { return !okno_opuszczone; }, 10.0)) << "the window did not come back";
  klatki(5);
  nacisnij(KLAWISZ_P);
  EXPECT_EQ(pauza, 0);

  // A new window takes the focus, as the window manager gives it one.
  pid_t inne = fork();
  if (inne == 0) {
    execlp("xmessage", "xmessage", "-name", "inne", "another window", (char *)nullptr);
    _exit(127);
  }
  EXPECT_TRUE(az_do([] { return pauza == 1; }, 10.0)) << "without the focus, the game did not pause";
  EXPECT_TRUE(okno_opuszczone);
  kill(inne, SIGTERM);
  waitpid(inne, nullptr, 0);
  ASSERT_EQ(system(("xdotool windowactivate " + id + " 2>/dev/null").c_str()), 0);
  EXPECT_TRUE(az_do([] { return !okno_opuszczone; }, 10.0)) << "the window did not get the focus back";
}

// ---- Full screen or a window: F11 and Alt+Return ----

namespace {

// The window after a switch: 800 x 600 either way; full screen holding the
// keyboard and pointer with the cursor hidden, or a window holding neither
// (another client takes the keyboard) with the cursor shown.
void sprawdz_tryb(bool okno) {
  SCOPED_TRACE(okno ? "in a window" : "full screen");
  SDL_Surface *s = SDL_GetVideoSurface();
  ASSERT_TRUE(s && w_oknie == okno);
  EXPECT_TRUE(s->w == 800 && s->h == 600 && ((s->flags & SDL_FULLSCREEN) != 0) == !okno);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), okno ? 1 : 0);
  EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), okno ? SDL_GRAB_OFF : SDL_GRAB_ON);
  EXPECT_TRUE(az_do([okno] { return chwyt_teraz().zajeta_dla_innych != okno; }, 5.0)) << "the keyboard's grab";
}

// F11 there and back in every state: the game's state kept (a size chosen on
// the options list stays pending), the player's lines of preferences.cfg kept.
void przelaczenia_f11() {
  std::ofstream("preferences.cfg") << "# my keys\nleft = a\n";
  void (*stany[])() = {[] { gra(2, 4, 6); }, [] { gra(1, 6, 2); pauza = 1; }, [] { elem2 = 2; },
                       [] { menu = true; elem = 3; }, [] { menu = true; przelacz_opcje(1); },
                       [] { gra(0, 5, 1); wtopa = true; }};
  for (auto przygotuj : stany) {
    stan_poczatkowy();
    width = 800, height = 600;
    przygotuj();
    for (int x = 1; x <= 7; x++) studnia[x * 21 + 20] = 1;
    auto stan = [] {
      return std::string((const char *)studnia, sizeof studnia) +
             std::to_string(xk * 1000 + yk * 10 + jaki) + std::to_string(pauza + 2 * gameini + 4 * menu + 8 * wtopa) +
             std::to_string(elem * 10 + elem2) + std::to_string(width * height);
    };
    std::string przed = stan();
    for (bool okno : {true, false}) {
      nacisnij(SDLK_F11);
      EXPECT_EQ(stan(), przed) << "the switch changed the game";
      sprawdz_tryb(okno);
      std::ifstream f("preferences.cfg");
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}),
                std::string("# my keys\nleft = a\nwindow = ") + (okno ? "yes\n" : "no\n"));
    }
  }
  width = 800, height = 600;
}

}  // namespace

TEST_F(Pulpit, F11WOknoIZPowrotemWKazdymStanie) { przelaczenia_f11(); }
TEST_F(PulpitZMenedzerem, F11WOknoIZPowrotemWKazdymStanie) {
  przelaczenia_f11();
  // In a window too the manager's minimise pauses a game.
  nacisnij(SDLK_F11);
  gra(0, 5, 3);
  ASSERT_TRUE(az_do([] { return !okno_opuszczone; }, 5.0));
  ASSERT_EQ(system(("xdotool windowminimize " + std::to_string(okno_gry())).c_str()), 0);
  EXPECT_TRUE(az_do([] { return pauza == 1; }, 10.0)) << "minimised, the game in a window did not pause";
  nacisnij(SDLK_F11);
}

// Alt+Return switches, its Return up until released; Return before Alt is
// Return. F11 held through a switch, read up by the new window until it has
// the focus, does not switch again until the X server has it up.
TEST_F(Pulpit, AltReturnIF11Trzymany) {
  klatki(1, {SDLK_LALT});
  klatki(6, {SDLK_LALT, KLAWISZ_RETURN});
  klatki(3, {KLAWISZ_RETURN});
  EXPECT_TRUE(w_oknie && gameini) << "the Return of Alt+Return started a game";
  klatki(1);
  klatki(3, {KLAWISZ_RETURN});
  klatki(3, {KLAWISZ_RETURN, SDLK_RALT});
  EXPECT_TRUE(w_oknie && !gameini) << "Return with Alt after it";
  ASSERT_EQ(system("xdotool keydown F11"), 0);
  nacisnij(SDLK_F11);
  klatki(5);
  klatki(3, {SDLK_F11});
  EXPECT_FALSE(w_oknie) << "F11 held through the switch switched again";
  ASSERT_EQ(system("xdotool keyup F11"), 0);
  do_pustej_kolejki();
  klatki(2);
  nacisnij(SDLK_F11);
  sprawdz_tryb(true);
  nacisnij(SDLK_F11);
  remove("preferences.cfg");
}
