// preferences.cfg in the real program: the reader and its bad lines (with the
// fuzzer's check), rebound keys and pad buttons through the real pass, and the
// keyboard as it is without the file.
#include "harness.h"
#include "fuzz/sprawdz_preferencje.h"
#include "game/game.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

class Preferencje : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { uruchom_program(); }
  void SetUp() override { stan_poczatkowy(); przypisz(""); }
  void TearDown() override { przypisz(""); }
  // Reads the contents as the file through the fuzzer's check; the lines the messages name.
  static std::vector<int> przypisz(const std::string &tresc) {
    EXPECT_EQ(sprawdz_preferencje((const uint8_t *)tresc.data(), tresc.size()), "") << tresc;
    std::string k;
    czytaj_z_komunikatami(tresc, &k);
    std::vector<int> w;
    for (const std::string &m : podziel_wiersze(k)) w.push_back(atoi(m.c_str() + strlen("preferences.cfg:")));
    return w;
  }
};

TEST_F(Preferencje, CzytanieIZleWiersze) {
  struct {
    const char *plik;
    std::vector<int> zle;
    std::vector<std::pair<int, int>> przypisane;   // input, action
  } przypadki[] = {
      {"# mine\n\n  left = A , D\n", {}, {{SDLK_a, AKCJA_LEWO}, {SDLK_d, AKCJA_LEWO}}},
      {"UP = Left   Shift\r\nDOWN=[4]\nwindow = YES\n", {}, {{SDLK_LSHIFT, AKCJA_GORA}, {SDLK_KP4, AKCJA_DOL}}},
      {"pause = pad X, space\n", {}, {{WEJSCIE_PADA + PAD_X, AKCJA_PAUZA}, {SDLK_SPACE, AKCJA_PAUZA}}},
      {"bogus = a\nleft = nosuch\nleft =\nright = f11\nup = F2\nwindow = maybe\njunk\nyes = a,\ndown = f3\n",
       {1, 2, 3, 4, 5, 6, 7, 8, 9}, {}},
      {"left = a\nright = a\nleft = j\nwindow = no\nwindow = yes\n", {2, 3, 5}, {{SDLK_a, AKCJA_LEWO}}},
      // A key still acting for an action left with its defaults; leaving out
      // one line can leave out another.
      {"left = p\npause = pad a\n", {1, 2}, {}},
      {"left = p\npause = space\n", {}, {{SDLK_p, AKCJA_LEWO}, {SDLK_SPACE, AKCJA_PAUZA}}},
      {"left = p\npause = space, nosuch\n", {2, 1}, {}},
      // The ghost: a setting and a binding under one name, each once; its
      // default G and pad X yield to other actions.
      {"ghost = YES\nghost = h, pad y\nghost = no\nghost = j\nghost = maybe\n", {3, 4, 5},
       {{SDLK_h, AKCJA_DUCH}, {WEJSCIE_PADA + PAD_Y, AKCJA_DUCH}}},
      {"pause = g, p\nchoose = pad x, return\n", {}, {{SDLK_g, AKCJA_PAUZA}, {SDLK_p, AKCJA_PAUZA},
       {WEJSCIE_PADA + PAD_X, AKCJA_WYBOR}, {SDLK_RETURN, AKCJA_WYBOR}}},
  };
  for (auto &p : przypadki) {
    SCOPED_TRACE(p.plik);
    EXPECT_EQ(przypisz(p.plik), p.zle);
    int ile = 0;
    for (int k = 0; k < LICZBA_WEJSC; k++) ile += akcja_wejscia[k] >= 0;
    EXPECT_EQ(ile, (int)p.przypisane.size());
    for (auto [k, a] : p.przypisane) EXPECT_EQ(akcja_wejscia[k], a) << "input " << k;
  }
  EXPECT_EQ(preferencje_z_ustawieniem("# c\r\nwindow = yes\r\nleft = a", "window", false), "# c\r\nwindow = no\r\nleft = a");
  EXPECT_EQ(preferencje_z_ustawieniem("ghost = g\r\nghost = No\r\n", "ghost", true), "ghost = g\r\nghost = yes\r\n");
}

// Without the file every key reaches the pass as it is.
TEST_F(Preferencje, BezPlikuKlawiszeJakZawsze) {
  wczytaj_preferencje();   // the harness's folder has none
  EXPECT_EQ(okno_z_preferencji, -1);
  Uint8 surowe[SDLK_LAST];
  for (int i = 0; i < 200; i++) {
    for (Uint8 &b : surowe) b = rand() % 4 == 0;
    surowe[SDLK_F11] = surowe[SDLK_LALT] = surowe[SDLK_RALT] = 0;   // the window keys switch
    ASSERT_EQ(memcmp(klawiatura_gracza(surowe, SDLK_LAST), surowe, SDLK_LAST), 0);
  }
}

// Moves, pause and game over through the real pass; the default keys of the
// rebound actions do nothing, a bound pad button acts.
TEST_F(Preferencje, PrzypisaneKlawiszeWPrawdziwymPrzebiegu) {
  ASSERT_EQ(przypisz("left = a\nright = d\nup = w\ndown = s\npause = space, pad x\nyes = j\nno = k\n"),
            std::vector<int>{});
  gra(0, 5, 3);
  klatki(5, {SDLK_a});   // held: one step, as Left
  klatki(1);
  nacisnij(KLAWISZ_LEWO);
  EXPECT_EQ(xk, 4);
  nacisnij(SDLK_d);
  nacisnij(SDLK_w);
  nacisnij(KLAWISZ_GORA);
  EXPECT_EQ(xk, 5);
  EXPECT_EQ(rotations, 1);
  klatki(3, {SDLK_s});   // Down repeats while held
  klatki(3, {KLAWISZ_DOL});
  EXPECT_EQ(yk, 6);
  nacisnij(SDLK_SPACE);
  nacisnij(KLAWISZ_P);
  klatki(3, {SDLK_a});
  EXPECT_EQ(pauza, 1);
  EXPECT_EQ(xk, 5) << "a moved a paused piece";
  SDL_Event e = {};
  e.type = SDL_JOYBUTTONDOWN;
  e.jbutton.button = 2;   // pad X
  zdarzenie_pada(e);
  klatki(2);
  e.type = SDL_JOYBUTTONUP;
  zdarzenie_pada(e);
  klatki(1);
  EXPECT_EQ(pauza, 0) << "pad X did not resume";

  wtopa = true;
  nacisnij(KLAWISZ_Y);
  nacisnij(KLAWISZ_N);
  EXPECT_TRUE(wtopa && !done);
  nacisnij(SDLK_j);
  EXPECT_FALSE(wtopa) << "j did not start a new game";
  wtopa = true;
  nacisnij(SDLK_k);
  EXPECT_TRUE(done) << "k did not end the program after game over";
  done = false;
  stan_poczatkowy();
  nacisnij(KLAWISZ_RETURN);   // choose left as it is
  EXPECT_FALSE(gameini);
}
