// A gamepad through the real pass, in both ways a test can hold one without a
// device: joystick events pushed into SDL's queue (either library), and, on
// sdl12-compat, an SDL 2 virtual game controller attached before the start-up,
// which the game finds among SDL's devices, opens and polls like a real pad.
#include "zasady.h"
#include "computer/computer.h"
#include "game/game.h"
#include "shell/shell.h"
#include "player/player.h"
#include "ustawienia/ustawienia.h"
#include "versus/versus.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

enum Droga { ZDARZENIA, WIRTUALNY };
Droga droga = ZDARZENIA;

// The controls, as sdl12-compat's game-controller layout numbers them.
enum { A = 0, B = 1, BACK = 4, START = 6, GORA = 11, DOL = 12, LEWO = 13, PRAWO = 14 };

// ---- SDL 2's virtual game controller (in the libSDL2 that sdl12-compat loads) ----

struct Sdl2 {
  int (*attach)(int typ, int osie, int przyciski, int krzyzaki) = nullptr;
  void *(*open)(int indeks) = nullptr;
  int (*przycisk)(void *joy, int b, Uint8 wartosc) = nullptr;
  int (*os)(void *joy, int a, Sint16 wartosc) = nullptr;
  void *(*fokus)() = nullptr;   // SDL_GetKeyboardFocus
} sdl2;
bool wirtualny = false;   // the virtual pad is plugged in
int indeks_wirtualnego = -1;
void *uchwyt_wirtualnego = nullptr;   // SDL 2's handle of it, null after SDL shut down

bool podlacz_wirtualny() {
  // SDL_JOYSTICK_TYPE_GAMECONTROLLER, six axes, fifteen buttons (A to D-pad right).
  indeks_wirtualnego = sdl2.attach(1, 6, 15, 0);
  uchwyt_wirtualnego = nullptr;
  return indeks_wirtualnego >= 0;
}

bool zaladuj_sdl2() {
  void *b = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  if (!b) return false;
  sdl2.attach = (int (*)(int, int, int, int))dlsym(b, "SDL_JoystickAttachVirtual");
  sdl2.open = (void *(*)(int))dlsym(b, "SDL_JoystickOpen");
  sdl2.przycisk = (int (*)(void *, int, Uint8))dlsym(b, "SDL_JoystickSetVirtualButton");
  sdl2.os = (int (*)(void *, int, Sint16))dlsym(b, "SDL_JoystickSetVirtualAxis");
  sdl2.fokus = (void *(*)())dlsym(b, "SDL_GetKeyboardFocus");
  return sdl2.attach && sdl2.open && sdl2.przycisk && sdl2.os && sdl2.fokus;
}

void *uchwyt() {
  if (!uchwyt_wirtualnego) uchwyt_wirtualnego = sdl2.open(indeks_wirtualnego);
  return uchwyt_wirtualnego;
}

// SDL 2 ignores a pad's presses while no window of the program has the input
// focus, as a new window has not for a moment: after a re-creation, passes run
// until it has (at most two seconds).
void po_odtworzeniu() {
  if (!wirtualny) return;
  for (int i = 0; i < 200 && !sdl2.fokus(); i++) {
    przebiegi(1);
    SDL_Delay(10);
  }
}

// ---- Pressing the pad ----

void wyslij(const SDL_Event &e) { ASSERT_EQ(SDL_PushEvent(const_cast<SDL_Event *>(&e)), 0); }

// The button number of a control in the library's own layout: sdl12-compat's
// controller numbers, or the raw Linux order of the common pads (Back 6,
// Start 7, the D-pad as hat 0).
int numer(int c) {
  if (sdl12compat()) return c;
  return c == BACK ? 6 : c == START ? 7 : c;
}

void przycisk(int c, bool wcisniety) {
  if (droga == WIRTUALNY) {
    ASSERT_EQ(sdl2.przycisk(uchwyt(), c, wcisniety ? 1 : 0), 0);
    return;
  }
  SDL_Event e;
  memset(&e, 0, sizeof e);
  if (c >= GORA && !sdl12compat()) {
    e.type = SDL_JOYHATMOTION;
    e.jhat.hat = 0;
    const Uint8 kierunki[] = {SDL_HAT_UP, SDL_HAT_DOWN, SDL_HAT_LEFT, SDL_HAT_RIGHT};
    e.jhat.value = wcisniety ? kierunki[c - GORA] : SDL_HAT_CENTERED;
  } else {
    e.type = wcisniety ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    e.jbutton.button = (Uint8)numer(c);
    e.jbutton.state = wcisniety ? SDL_PRESSED : SDL_RELEASED;
  }
  wyslij(e);
}

// The left stick: axis 0 across (left negative), 1 down (up negative).
void drazek(int os, int wartosc) {
  if (droga == WIRTUALNY) {
    ASSERT_EQ(sdl2.os(uchwyt(), os, (Sint16)wartosc), 0);
    return;
  }
  SDL_Event e;
  memset(&e, 0, sizeof e);
  e.type = SDL_JOYAXISMOTION;
  e.jaxis.axis = (Uint8)os;
  e.jaxis.value = (Sint16)wartosc;
  wyslij(e);
}

// One pass with the control held, one with it let go, and keys of the keyboard.
void wcisnij_pad(int c) {
  przycisk(c, true);
  przebiegi(1);
  przycisk(c, false);
  przebiegi(1);
}

class Pad : public ::testing::TestWithParam<Droga> {
 protected:
  static void SetUpTestSuite() {
    // Plugged in before the start-up, as SDL 1.2 takes no pad later.
    if (sdl12compat() && zaladuj_sdl2()) wirtualny = podlacz_wirtualny();
    uruchom_do_zasad();
  }
  static void TearDownTestSuite() { zakoncz_testy(); }
  void SetUp() override {
    droga = GetParam();
    if (droga == WIRTUALNY && !wirtualny) {
      std::printf("note: no SDL 2 virtual pad on the classic SDL 1.2; the pad's events are tested instead\n");
      GTEST_SKIP() << "SDL 2's virtual joysticks exist on sdl12-compat only";
    }
    przygotuj_test(11);
    wczytanie_poziomu();   // the settings of the file (an applied change stays in the variables)
    zapomnij_przytrzymane();
    zapomnij_pady();
  }
  void TearDown() override {
    if (droga == WIRTUALNY && wirtualny) {
      for (int c : {A, B, BACK, START, GORA, DOL, LEWO, PRAWO}) przycisk(c, false);
      drazek(0, 0);
      drazek(1, 0);
    }
    przebiegi(2);
  }
};

}  // namespace

// The pad plugged in before the start-up is opened; a pad stays through SDL's
// shutdown at a re-creation, and is opened again with the new window.
TEST_P(Pad, PadOtwartyPoStarcieIPoKazdymOdtworzeniu) {
  if (droga == ZDARZENIA) GTEST_SKIP() << "no device: nothing to open";
  EXPECT_EQ(liczba_padow(), 1);
  zmiany_opcji();
  po_odtworzeniu();
  EXPECT_EQ(liczba_padow(), 1) << "the pad was not taken again with the new window";
  przebiegi(1);
  wcisnij_pad(DOL);
  EXPECT_EQ(elem2, 2) << "the pad does not work after the re-creation";
}

TEST_P(Pad, MenuGraRuchyIObrot) {
  // The D-pad moves the cursor; A chooses GAME.
  wcisnij_pad(DOL);
  EXPECT_EQ(elem2, 2);
  wcisnij_pad(GORA);
  EXPECT_EQ(elem2, 1);
  przycisk(A, true);
  przebiegi(2);
  EXPECT_FALSE(gameini) << "A on GAME did not start a game";
  ASSERT_TRUE(kloc);
  int obroty = rotations;
  // A held from the menu into the game does not turn the piece.
  przebiegi(3);
  EXPECT_EQ(rotations, obroty);
  przycisk(A, false);
  przebiegi(1);

  gra(0, 5, 3);
  jaki = 2;   // a piece that changes when turned
  std::string przed = ksztalt(2);
  wcisnij_pad(A);
  EXPECT_NE(ksztalt(2), przed) << "A did not turn the piece";
  EXPECT_EQ(rotations, obroty + 1);
  wcisnij_pad(GORA);
  EXPECT_EQ(rotations, obroty + 2) << "D-pad up did not turn the piece";
  wcisnij_pad(LEWO);
  EXPECT_EQ(xk, 4);
  wcisnij_pad(PRAWO);
  wcisnij_pad(PRAWO);
  EXPECT_EQ(xk, 6);
  // The left stick moves it too.
  drazek(0, -30000);
  przebiegi(1);
  drazek(0, 0);
  przebiegi(1);
  EXPECT_EQ(xk, 5);
  drazek(0, 30000);
  przebiegi(1);
  drazek(0, 0);
  przebiegi(1);
  EXPECT_EQ(xk, 6);
}

// Down held steps every pass, as the key does; after a lock it must be let go
// and pressed again, on the D-pad and on the stick.
TEST_P(Pad, DolTrzymanyIPuszczeniePoZablokowaniu) {
  for (int sposob = 0; sposob < 2; sposob++) {
    SCOPED_TRACE(sposob ? "stick" : "D-pad");
    stan_poczatkowy();
    gra(0, 5, 10);
    auto dol = [&](bool w) {
      if (sposob) drazek(1, w ? 30000 : 0);
      else przycisk(DOL, w);
    };
    dol(true);
    przebiegi(3);
    EXPECT_EQ(yk, 13) << "Down held does not step every pass";
    // To the floor: the square locks at row anchor 19 and the next piece comes.
    przebiegi(10);
    ASSERT_GE(zajete().size(), 4u) << "the piece did not lock";
    int y = yk;
    przebiegi(5);
    EXPECT_EQ(yk, y) << "Down held through the lock moved the next piece";
    dol(false);
    przebiegi(1);
    dol(true);
    przebiegi(2);
    EXPECT_EQ(yk, y + 2);
    dol(false);
    przebiegi(1);
  }
}

TEST_P(Pad, StartPauzujeIWznawia) {
  gra(0, 5, 3);
  speed = 1;
  wcisnij_pad(START);
  EXPECT_EQ(pauza, 1);
  int y = yk;
  przebiegi(10);
  EXPECT_EQ(yk, y);
  wcisnij_pad(START);
  EXPECT_EQ(pauza, 0);
  przebiegi(4);
  EXPECT_GT(yk, y);
}

// The options list opened with A, an entry changed with the D-pad and the
// list left with B (nothing saved), then changed and applied with Start.
TEST_P(Pad, OpcjeOtwarteZmienioneIOpuszczone) {
  wcisnij_pad(DOL);
  wcisnij_pad(A);
  ASSERT_TRUE(menu) << "A on OPTIONS did not open the list";
  wcisnij_pad(DOL);
  EXPECT_EQ(elem, 2);
  wcisnij_pad(PRAWO);
  EXPECT_EQ(bittes, 32);
  wcisnij_pad(B);
  EXPECT_FALSE(menu) << "B did not leave the options list";
  EXPECT_EQ(bittes, 16) << "leaving with B kept the change";
  EXPECT_EQ(tresc_configu(), KONFIG);

  wcisnij_pad(A);
  ASSERT_TRUE(menu);
  EXPECT_EQ(elem, 2);
  wcisnij_pad(LEWO);   // depth 32
  wcisnij_pad(START);  // saved and applied
  po_odtworzeniu();
  EXPECT_FALSE(menu);
  EXPECT_EQ(tresc_configu().substr(0, 11), "640\n480\n32\n");
  // The pad still drives the menu in the new window.
  wcisnij_pad(DOL);
  EXPECT_EQ(elem2, 3);
}

// Game over: A or Start is Y, a new game; Back is Escape, back to the menu.
TEST_P(Pad, KoniecGryNowaGraIPowrotDoMenu) {
  for (int c : {A, START, BACK}) {
    SCOPED_TRACE("control " + std::to_string(c));
    stan_poczatkowy();
    koniec_gry();   // the window has been re-created
    po_odtworzeniu();
    // The D-pad does nothing after game over.
    wcisnij_pad(LEWO);
    EXPECT_TRUE(wtopa);
    wcisnij_pad(c);
    EXPECT_FALSE(wtopa);
    EXPECT_EQ(gameini, c == BACK) << (c == BACK ? "Back did not go to the menu" : "no new game");
    EXPECT_FALSE(done);
  }
}

// Back is Escape: out of a game, out of the options list; in the main menu it
// opens the player options, and no control of the pad ends the program.
TEST_P(Pad, BackJakEscapeIZadnaKontrolkaNieKonczyProgramu) {
  gra(0, 5, 3);
  wcisnij_pad(BACK);
  EXPECT_TRUE(gameini);
  wcisnij_pad(BACK);
  EXPECT_TRUE(gameini);
  EXPECT_FALSE(menu);
  EXPECT_FALSE(done);
  for (int b = 0; b < 15; b++) {
    SCOPED_TRACE("button " + std::to_string(b));
    for (int stan = 0; stan < 3; stan++) {
      stan_poczatkowy();
      elem2 = 2;   // OPTIONS: A or Start opens the list, never EXIT
      if (stan == 1) gra(0, 5, 3);
      if (stan == 2) {
        gra(0, 5, 3);
        wtopa = true;
      }
      // Button b as the library numbers it (not through numer()): every one.
      SDL_Event e;
      memset(&e, 0, sizeof e);
      e.type = SDL_JOYBUTTONDOWN;
      e.jbutton.button = (Uint8)b;
      if (droga == WIRTUALNY) ASSERT_EQ(sdl2.przycisk(uchwyt(), b, 1), 0);
      else wyslij(e);
      przebiegi(1);
      e.type = SDL_JOYBUTTONUP;
      if (droga == WIRTUALNY) ASSERT_EQ(sdl2.przycisk(uchwyt(), b, 0), 0);
      else wyslij(e);
      przebiegi(1);
      EXPECT_FALSE(done) << "state " << stan;
    }
  }
}

// The stick counts past half its travel and lets go under a third.
TEST_P(Pad, DrazekZHistereza) {
  struct Krok {
    int wartosc, elem2_po;
  };
  // Down from GAME: 1 -> 2 at 16500, held at 12000 and 15000, let go at
  // 10000, not pressed at 16000, pressed again at 17000 -> 3.
  const Krok kroki[] = {{8000, 1}, {16000, 1}, {16500, 2}, {12000, 2}, {15000, 2}, {17000, 2},
                        {11000, 2}, {10000, 2}, {16000, 2}, {17000, 3}, {0, 3}};
  for (const Krok &k : kroki) {
    drazek(1, k.wartosc);
    przebiegi(1);
    EXPECT_EQ(elem2, k.elem2_po) << "stick at " << k.wartosc;
  }
  // The same up the other way: -17000 moves the cursor up once.
  drazek(1, -17000);
  przebiegi(1);
  drazek(1, -12000);
  przebiegi(1);
  EXPECT_EQ(elem2, 2);
  drazek(1, 0);
  przebiegi(1);
}

// The pad and the keyboard at once: neither blocks the other.
TEST_P(Pad, PadIKlawiaturaRazem) {
  gra(0, 5, 3);
  speed = 1000000;
  przycisk(DOL, true);
  przebiegi(3, {KLAWISZ_LEWO});
  EXPECT_EQ(yk, 6) << "the pad's Down did not step with Left held on the keyboard";
  EXPECT_EQ(xk, 4) << "the keyboard's Left did not move with the pad's Down held";
  przycisk(DOL, false);
  przebiegi(1);
  przycisk(PRAWO, true);
  przebiegi(2, {KLAWISZ_DOL});
  EXPECT_EQ(xk, 5);
  EXPECT_EQ(yk, 8);
  przycisk(PRAWO, false);
  przebiegi(1);
}

// Held pad buttons are let go when the window loses the focus, as keys are,
// and count again only once released and pressed after the return.
TEST_P(Pad, TrzymanePrzyciskiPuszczoneGdyOknoTraciFokus) {
  gra(0, 5, 3);
  speed = 1000000;
  przycisk(DOL, true);
  przebiegi(1);
  int y = yk;
  SDL_Event e;
  memset(&e, 0, sizeof e);
  e.type = SDL_ACTIVEEVENT;
  e.active.state = SDL_APPINPUTFOCUS;
  e.active.gain = 0;
  wyslij(e);
  przebiegi(5);
  EXPECT_EQ(pauza, 1);
  EXPECT_EQ(yk, y);
  e.active.gain = 1;
  wyslij(e);
  przycisk(START, true);
  przebiegi(5);
  EXPECT_EQ(pauza, 1) << "Start held through the return resumed the game";
  przycisk(START, false);
  przebiegi(1);
  wcisnij_pad(START);
  EXPECT_EQ(pauza, 0);
  przebiegi(3);
  EXPECT_EQ(yk, y) << "Down held since the window was left stepped the piece";
  przycisk(DOL, false);
  przebiegi(1);
  przycisk(DOL, true);
  przebiegi(2);
  EXPECT_EQ(yk, y + 2);
  przycisk(DOL, false);
}

// From the main menu, and only there, Y opens the screen of best games, X
// lets the computer play, Back opens the player options and B the versus screen; B and Back return from either to the menu as it was.
TEST_P(Pad, YIXZMenuBIBackWracaja) {
  const struct {
    int przycisk;   // the same in both layouts
    const bool *otwarty;
    const char *co;
  } ekrany[] = {{3, &ekran_najlepszych, "Y: the screen of best games"}, {2, &komputer_gra, "X: the computer's game"},
                {BACK, &ekran_ustawien, "Back: the player options"}, {B, &ekran_versus, "B: the versus screen"}};
  for (const auto &e : ekrany) {
    SCOPED_TRACE(e.co);
    for (int wyjscie : {B, BACK}) {
      wcisnij_pad(e.przycisk);
      EXPECT_TRUE(*e.otwarty) << "the button in the main menu opened nothing";
      if (e.otwarty == &ekran_najlepszych) {
        wcisnij_pad(DOL);
        EXPECT_EQ(elem2, 1) << "the D-pad on the screen moved the menu's cursor";
      }
      wcisnij_pad(wyjscie);
      EXPECT_FALSE(*e.otwarty) << "B or Back did not go back";
      EXPECT_TRUE(gameini);
      EXPECT_FALSE(menu);
    }
    menu = true;
    wcisnij_pad(e.przycisk);
    EXPECT_FALSE(*e.otwarty) << "opened from the options list";
    menu = false;
  }
  gra(0, 5, 3);
  wcisnij_pad(3);
  EXPECT_FALSE(ekran_najlepszych);
  EXPECT_EQ(pauza, 0);
  EXPECT_EQ(yk, 3) << "Y acted in a game";
}

INSTANTIATE_TEST_SUITE_P(Drogi, Pad, ::testing::Values(ZDARZENIA, WIRTUALNY),
                         [](const ::testing::TestParamInfo<Droga> &i) {
                           return std::string(i.param == ZDARZENIA ? "Zdarzenia" : "Wirtualny");
                         });

// SDL 2 forgets its virtual joysticks when it shuts down, which the game's
// re-creation of its window does; a real pad stays plugged in, so the test
// plugs the virtual one in again at once.
extern "C" void SDL_Quit(void) {
  static void (*prawdziwy)(void) = (void (*)(void))dlsym(RTLD_NEXT, "SDL_Quit");
  prawdziwy();
  if (wirtualny) podlacz_wirtualny();
}
