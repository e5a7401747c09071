// preferences.cfg in the real program: the reader and its bad lines, the
// rewrite of the window line, and rebound keys and pad buttons through the
// real pass, beside the default keys that hold without the file.
#include "harness.h"
#include "fuzz/sprawdz_preferencje.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace {

class Preferencje : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { uruchom_program(); }
  void SetUp() override {
    przypisz("");
    stan_poczatkowy();
    zapomnij_przytrzymane();
    zapomnij_pady();
  }
  void TearDown() override { przypisz(""); }
  // Reads the contents as the file, with the fuzzer's check; the messages.
  static std::string przypisz(const std::string &tresc) {
    EXPECT_EQ(sprawdz_preferencje((const uint8_t *)tresc.data(), tresc.size()), "") << tresc;
    std::string komunikaty;
    czytaj_z_komunikatami(tresc, &komunikaty);
    return komunikaty;
  }
  // A pad button (raw number) pressed or let go, through the pad's events.
  static void przycisk_pada(int numer, bool wcisniety) {
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = wcisniety ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    e.jbutton.button = (Uint8)numer;
    zdarzenie_pada(e);
  }
};

// The line numbers the messages name.
std::vector<int> zle_wiersze(const std::string &komunikaty) {
  std::vector<int> w;
  for (const std::string &k : podziel_wiersze(komunikaty)) w.push_back(atoi(k.c_str() + strlen("preferences.cfg:")));
  return w;
}

}  // namespace

TEST_F(Preferencje, CzytanieIZleWiersze) {
  struct Przypadek {
    const char *plik;
    std::vector<int> zle;
    std::vector<std::pair<int, int>> przypisane;   // input, action
  } przypadki[] = {
      {"", {}, {}},
      {"# mine\n\n  left = A , D\n", {}, {{SDLK_a, AKCJA_LEWO}, {SDLK_d, AKCJA_LEWO}}},
      {"UP = Left   Shift\nDOWN=[4]\r\n", {}, {{SDLK_LSHIFT, AKCJA_GORA}, {SDLK_KP4, AKCJA_DOL}}},
      {"pause = pad X, space\n", {}, {{WEJSCIE_PADA + PAD_X, AKCJA_PAUZA}, {SDLK_SPACE, AKCJA_PAUZA}}},
      {"left = right\nright = left\n", {}, {{SDLK_RIGHT, AKCJA_LEWO}, {SDLK_LEFT, AKCJA_PRAWO}}},
      {"bogus = a\nleft = nosuchkey\nleft =\nright = f11\nup = F2\nwindow = maybe\njunk\nyes = a,\n",
       {1, 2, 3, 4, 5, 6, 7, 8}, {}},
      {"left = a\nright = a\nleft = j\n", {2, 3}, {{SDLK_a, AKCJA_LEWO}}},
      // A key still acting for an action the file leaves as it is; leaving
      // out one line can leave out another.
      {"left = p\n", {1}, {}},
      {"left = p\npause = space\n", {}, {{SDLK_p, AKCJA_LEWO}, {SDLK_SPACE, AKCJA_PAUZA}}},
      {"left = p\npause = space, nosuch\n", {2, 1}, {}},
      {"pause = pad a\nchoose = pad y\n", {1}, {{WEJSCIE_PADA + PAD_Y, AKCJA_WYBOR}}},
  };
  for (const Przypadek &p : przypadki) {
    SCOPED_TRACE(p.plik);
    std::string komunikaty = przypisz(p.plik);
    EXPECT_EQ(zle_wiersze(komunikaty), p.zle) << komunikaty;
    int ile = 0;
    for (int k = 0; k < LICZBA_WEJSC; k++) ile += akcja_wejscia[k] >= 0;
    EXPECT_EQ(ile, (int)p.przypisane.size());
    for (auto [k, a] : p.przypisane) EXPECT_EQ(akcja_wejscia[k], a) << "input " << k;
  }
  przypisz("window = YES\n");
  EXPECT_EQ(okno_z_preferencji, 1);
  EXPECT_EQ(zle_wiersze(przypisz("window = no\nwindow = yes\n")), std::vector<int>{2});
  EXPECT_EQ(okno_z_preferencji, 0);
}

TEST_F(Preferencje, PrzepisanieZmieniaTylkoWierszOkna) {
  struct {
    const char *przed;
    bool w_oknie;
    const char *po;
  } przypadki[] = {
      {"", true, "window = yes\n"},
      {"# mine\nleft = a", false, "# mine\nleft = a\nwindow = no\n"},
      {"# c\r\nwindow = yes\r\nleft = a\r\n", false, "# c\r\nwindow = no\r\nleft = a\r\n"},
      {"  Window=maybe  \n# window = no\nwindow = no", true, "window = yes\n# window = no\nwindow = no"},
  };
  for (auto &p : przypadki) EXPECT_EQ(preferencje_z_oknem(p.przed, p.w_oknie), p.po) << p.przed;
}

TEST_F(Preferencje, KorpusFuzzeraPrzechodziSprawdzenie) {
  const std::string katalog = std::string(BRIXEL_SOURCE_DIR) + "/tests/fuzz/corpus_preferences";
  DIR *d = opendir(katalog.c_str());
  ASSERT_NE(d, nullptr) << katalog;
  int ile = 0;
  while (dirent *e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    std::ifstream f(katalog + "/" + e->d_name, std::ios::binary);
    std::string t((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(sprawdz_preferencje((const uint8_t *)t.data(), t.size()), "") << e->d_name;
    ile++;
  }
  closedir(d);
  EXPECT_GE(ile, 6);
}

// Without bindings the keyboard reaches the pass as it is, every key of it.
TEST_F(Preferencje, BezPlikuKlawiszeJakZawsze) {
  wczytaj_preferencje();   // the harness's folder has no preferences.cfg
  EXPECT_EQ(okno_z_preferencji, -1);
  srand(7);
  Uint8 surowe[SDLK_LAST];
  for (int i = 0; i < 200; i++) {
    for (Uint8 &b : surowe) b = rand() % 4 == 0;
    surowe[SDLK_F11] = surowe[SDLK_LALT] = surowe[SDLK_RALT] = 0;   // the window keys switch
    ASSERT_EQ(memcmp(klawiatura_gracza(surowe, SDLK_LAST), surowe, SDLK_LAST), 0);
  }
}

// The moves, the pause and game over through the real pass, with the default
// keys of the rebound actions doing nothing.
TEST_F(Preferencje, PrzypisaneKlawiszeWPrawdziwymPrzebiegu) {
  ASSERT_EQ(przypisz("left = a\nright = d\nup = w\ndown = s\npause = space\nyes = j\nno = k\n"), "");
  gra(0, 5, 3);
  klatki(5, {SDLK_a});   // held: one step, as Left
  EXPECT_EQ(xk, 4);
  klatki(1);
  nacisnij(KLAWISZ_LEWO);
  nacisnij(SDLK_d);
  EXPECT_EQ(xk, 5);
  nacisnij(SDLK_w);
  nacisnij(KLAWISZ_GORA);
  EXPECT_EQ(rotations, 1);
  klatki(3, {SDLK_s});   // Down repeats while held
  EXPECT_EQ(yk, 6);
  klatki(3, {KLAWISZ_DOL});
  EXPECT_EQ(yk, 6);
  nacisnij(SDLK_SPACE);
  EXPECT_EQ(pauza, 1);
  nacisnij(KLAWISZ_P);
  EXPECT_EQ(pauza, 1);
  klatki(3, {SDLK_a});
  EXPECT_EQ(xk, 5) << "a moved a paused piece";
  nacisnij(SDLK_SPACE);
  EXPECT_EQ(pauza, 0);

  wtopa = true;
  nacisnij(KLAWISZ_Y);
  nacisnij(KLAWISZ_N);
  EXPECT_TRUE(wtopa);
  EXPECT_FALSE(done);
  nacisnij(SDLK_j);
  EXPECT_FALSE(wtopa) << "j did not start a new game";
  wtopa = true;
  nacisnij(SDLK_k);
  EXPECT_TRUE(done) << "k did not end the program after game over";
  done = false;

  // The menu's keys are left as they are: Return starts a game.
  stan_poczatkowy();
  nacisnij(KLAWISZ_RETURN);
  EXPECT_FALSE(gameini);
}

// Swapped keys, and pad buttons bound: the bound button acts, the defaults it
// replaced do not, the keyboard's keys still do.
TEST_F(Preferencje, ZamienioneKlawiszeIPrzyciskiPada) {
  ASSERT_EQ(przypisz("left = right\nright = left\npause = pad x\nchoose = pad y\n"), "");
  gra(0, 5, 3);
  nacisnij(KLAWISZ_PRAWO);
  EXPECT_EQ(xk, 4);
  przycisk_pada(2, true);
  klatki(3);
  przycisk_pada(2, false);
  klatki(1);
  EXPECT_EQ(pauza, 1);
  nacisnij(KLAWISZ_P);
  EXPECT_EQ(pauza, 0) << "P stopped acting though only the pad's pause was bound";

  stan_poczatkowy();
  przycisk_pada(0, true);   // A chose in the menu; no more
  klatki(2);
  przycisk_pada(0, false);
  klatki(1);
  EXPECT_TRUE(gameini);
  przycisk_pada(3, true);
  klatki(2);
  przycisk_pada(3, false);
  klatki(1);
  EXPECT_FALSE(gameini) << "pad Y did not choose";
}
