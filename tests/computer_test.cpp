// The computer player through the real pass: where it puts a piece in chosen
// wells and speeds (each lock where its plan said), and its games started by
// F3: the watcher's keys kept from the game, Right, P and Escape, the game
// over shown 3 s, nothing stored but computer.rec, no window re-created, and
// the same seed playing the same game.
#include "zasady.h"
#include "computer/computer.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <map>
#include <string>
#include <vector>

namespace {

// One pass with the computer's keys, in any game.
void pas_komputera_w_grze() {
  static std::vector<Uint8> k(SDLK_LAST);
  std::fill(k.begin(), k.end(), 0);
  klawisze_komputera(k.data());
  glViewport(0, 0, 4, 4);
  przebieg(k.data());
}

// The well from rows written bottom up (row 20 first), 'X' a cell.
void studnia_z(const std::vector<std::string> &wiersze) {
  for (size_t i = 0; i < wiersze.size(); i++)
    for (int c = 1; c <= 10; c++) pole(c, 20 - (int)i) = wiersze[i][c - 1] == 'X';
}

Komorki komorki_planu(const Plan &p) {
  Komorki k;
  for (int e = 0; e < 16; e++)
    if (p.koniec.ksztalt[e]) k.insert({p.koniec.x - 1 + e / 4, p.koniec.y + e % 4});
  return k;
}

// Every file of the working directory with its size, time and inode.
std::map<std::string, std::string> pliki() {
  std::map<std::string, std::string> m;
  DIR *d = opendir(".");
  while (dirent *e = d ? readdir(d) : nullptr) {
    struct stat s;
    if (e->d_name[0] != '.' && lstat(e->d_name, &s) == 0)
      m[e->d_name] = std::to_string(s.st_size) + " " + std::to_string(s.st_mtim.tv_sec) + "." +
                     std::to_string(s.st_mtim.tv_nsec) + " " + std::to_string(s.st_ino);
  }
  if (d) closedir(d);
  return m;
}

class Komputer : public TestZasad<29> {
 protected:
  void SetUp() override {
    TestZasad<29>::SetUp();
    poziom_puszczenia = 16;
    unlink(PLIK_KOMPUTERA);
    unlink(PLIK_TABELI);
  }
};

// Chosen wells and speeds: the computer's keys from the piece's spawn to its
// lock, which must add exactly the cells the plan named, and the rows the
// choice was to remove.
TEST_F(Komputer, KlocekTamGdziePlanWWybranychStudniach) {
  struct Przypadek {
    const char *opis;
    int s, y, speed;
    std::vector<std::string> wiersze;   // from row 20 up
    int usuniete;                       // rows the landing removes
  } przypadki[] = {
      {"the first piece of a game, at row anchor 0, slow fall", 3, 0, 50, {}, 0},
      {"a bar across the well into a four-deep gap, a row a pass", 5, 1, 0,
       {"XXXXXXXXX.", "XXXXXXXXX.", "XXXXXXXXX.", "XXXXXXXXX."}, 4},
      {"the plus three columns left into its gap, a row a pass", 9, 1, 0, {"XX.XXXXXXX", "X...XXXXXX"}, 2},
      {"the single cell into the column whose holes close two rows", 7, 1, 50,
       {"XXXXXXXX.X", ".XXXXXXXXX", "XXXXXXXX.X", ".XXXXXXXXX"}, 2},
      {"the bar turned flat and moved right onto the floor, a row a pass", 5, 1, 0, {"XXXXXX...."}, 1},
  };
  for (const Przypadek &p : przypadki) {
    stan_poczatkowy();
    klasyczny = 1;   // no special piece after a Down-press lock
    studnia_z(p.wiersze);
    gra(p.s, 6, p.y);
    speed = p.speed;
    Komorki przed = zajete();
    Plan plan, p_;
    int n = 0;
    for (; n < 2000 && doskull == 0; n++) {
      przed = zajete();
      pas_komputera_w_grze();
      // The pass that locks it may plan for the next piece already.
      if (plan_komputera(&p_) && p_.spawny == 0) plan = p_;
    }
    ASSERT_EQ(doskull, 1) << p.opis << ": no lock in " << n << " passes";
    if (p.s != 7) {
      Komorki dodane;
      for (auto c : zajete())
        if (!przed.count(c)) dodane.insert(c);
      EXPECT_EQ(dodane, komorki_planu(plan)) << p.opis << ": the piece locked elsewhere than planned";
    }
    przebiegi(1);   // the next pass removes the full rows
    EXPECT_EQ(calkowite, p.usuniete) << p.opis;
  }
}

// A game from F3 in the main menu, and only there: the watcher's keys but
// Right, P and Escape never reach it, Right runs eight passes a frame, P
// pauses, and Escape brings the menu back as it was, nothing written.
TEST_F(Komputer, GraZF3KlawiszeWidzaIPowrotDoMenu) {
  menu = true;
  wcisnij(SDLK_F3);
  EXPECT_FALSE(komputer_gra) << "F3 on the options list";
  menu = false;
  wcisnij(SDLK_F2);
  wcisnij(SDLK_F3);
  EXPECT_FALSE(komputer_gra) << "F3 on the screen of best games";
  wcisnij(KLAWISZ_ESCAPE);
  gra(0, 6, 1);
  wcisnij(SDLK_F3);
  EXPECT_FALSE(komputer_gra) << "F3 in a game";

  // The same start twice: watched without keys, and with every key the rules
  // read held but Right, P and Escape.
  std::vector<std::vector<int>> przebieg_gry[2];
  for (int proba = 0; proba < 2; proba++) {
    stan_poczatkowy();
    rekord = 5;
    czyszklo = 0;
    klocek[3 * 16] = 0;   // a hook turned by an earlier game
    klocek[3 * 16 + 2] = 1;
    const std::vector<int> ksztalty(klocek, klocek + 12 * 16);
    // What the generator draws after two passes of the menu as it stands (the
    // pass of F3, and the one that brings the menu back).
    const auto menu_przed = zrzut_stanu();
    srand(77);
    przebiegi(1);
    przebiegi(1);
    const int los = rand();
    przywroc_stan(menu_przed, true);
    srand(77);
    auto pliki_przed = pliki();
    przebiegi(1, {SDLK_F3});   // the menu's pass; the game starts with the next
    przebiegi(1);
    ASSERT_TRUE(komputer_gra);
    for (int i = 0; i < 600; i++) {
      if (proba == 0) przebiegi(1);
      else przebiegi(1, {KLAWISZ_GORA, KLAWISZ_DOL, KLAWISZ_LEWO, KLAWISZ_RETURN, KLAWISZ_Y, KLAWISZ_N});
      std::vector<int> s(studnia, studnia + STUDNIA_ROZMIAR);
      s.insert(s.end(), {score, jaki, xk, yk, (int)done});
      przebieg_gry[proba].push_back(s);
    }
    EXPECT_GT(score, 5) << "the computer placed nothing";
    przebiegi(1, {KLAWISZ_PRAWO});
    EXPECT_EQ(przebiegi_komputera(), 7);
    przebiegi(1);
    EXPECT_EQ(przebiegi_komputera(), 0);
    przebiegi(1, {KLAWISZ_P});
    EXPECT_EQ(pauza, 1);
    int y = yk;
    for (int i = 0; i < 60; i++) przebiegi(1);
    EXPECT_EQ(yk, y) << "the computer played on in a pause";
    przebiegi(1, {KLAWISZ_P});
    EXPECT_EQ(pauza, 0);
    przebiegi(1, {KLAWISZ_ESCAPE});
    przebiegi(1);
    EXPECT_FALSE(komputer_gra);
    EXPECT_TRUE(gameini && !menu && !wtopa);
    EXPECT_EQ(rekord, 5);
    EXPECT_EQ(czyszklo, 0);
    EXPECT_EQ(std::vector<int>(klocek, klocek + 12 * 16), ksztalty) << "the shapes' turns were kept";
    EXPECT_EQ(rand(), los) << "the random generator was not put back as the menu left it";
    EXPECT_EQ(pliki(), pliki_przed) << "a game left running stores nothing";
  }
  EXPECT_EQ(przebieg_gry[0], przebieg_gry[1]) << "the watcher's keys reached the game";
}

// Game over: the game stays 3 s, then the menu comes back; nothing is stored
// but computer.rec, which replays to the game's result (also when F3 follows
// at once a game left with Escape); the window is not re-created.
TEST_F(Komputer, KoniecGryTrzySekundyTylkoComputerRec) {
  gra(0, 6, 1);
  przebiegi(1);
  przebiegi(1, {KLAWISZ_ESCAPE});
  rekord = 0;
  poziom_puszczenia = 1;   // it lets go at once: the pieces pile up in the middle
  std::vector<std::string> wiersze;
  for (int r = 20; r >= 4; r--) wiersze.push_back(std::string(10, 'X').replace(r % 10, 1, "."));
  studnia_z(wiersze);
  const GLuint tekstura = jednolita(10, 20, 30);
  auto pliki_przed = pliki();
  przebiegi(1, {SDLK_F3});
  przebiegi(1);
  ASSERT_TRUE(komputer_gra);
  Uint32 koniec = 0;
  int wynik = -1;
  for (int i = 0; i < 100000 && komputer_gra; i++) {
    przebiegi(1);
    if (wtopa && !koniec) koniec = SDL_GetTicks();
    if (wtopa) wynik = score;
  }
  ASSERT_FALSE(komputer_gra);
  EXPECT_GE(SDL_GetTicks() - koniec, 3000u) << "the game over did not stay 3 s";
  EXPECT_LT(SDL_GetTicks() - koniec, 6000u);
  EXPECT_TRUE(glIsTexture(tekstura)) << "the window was re-created at game over";
  EXPECT_EQ(rekord, 0);
  EXPECT_TRUE(gameini);
  auto pliki_po = pliki();
  ASSERT_TRUE(pliki_po.count(PLIK_KOMPUTERA));
  pliki_po.erase(PLIK_KOMPUTERA);
  EXPECT_EQ(pliki_po, pliki_przed) << "a file besides computer.rec changed";
  Nagranie n;
  std::string blad;
  ASSERT_EQ(wczytaj_nagranie(PLIK_KOMPUTERA, &n, &blad), 0) << blad;
  EXPECT_EQ(n.wynik, wynik);
  EXPECT_GT(wynik, 0);
  ASSERT_TRUE(zacznij_odtwarzanie(n, false));
  for (long long i = 0; i < n.przebiegi; i++) przebiegi(1);
  EXPECT_EQ(score, wynik) << "computer.rec replays another game";
  przebiegi(1, {KLAWISZ_ESCAPE});
  przebiegi(1);
  przebiegi(1, {KLAWISZ_ESCAPE});   // from the screen of best games
  glDeleteTextures(1, &tekstura);
}

// The game of --demo: the same seed plays the same game, another seed
// another; the result is printed as the game's recording has it, and the
// program ends.
TEST_F(Komputer, TeSameZiarnoTaSamaGra) {
  poziom_puszczenia = 2;   // lets go once two rows have made level 2
  std::string nagrania[3], wypisane[3];
  const long ziarna[3] = {7, 7, 8};
  for (int g = 0; g < 3; g++) {
    stan_poczatkowy();
    rozwalone = 18;
    speed = 0;
    fflush(stdout);
    FILE *plik = tmpfile();
    int stary = dup(1);
    dup2(fileno(plik), 1);
    ASSERT_TRUE(zacznij_gre_komputera(ziarna[g], true));
    for (int i = 0; i < 20000 && komputer_gra; i++) {
      Nagranie n;
      // Escape once the game is over and recorded: no 3 s wait.
      przebiegi(1);
      if (wtopa && !biezace_nagranie(&n)) przebiegi(1, {KLAWISZ_ESCAPE});
    }
    fflush(stdout);
    dup2(stary, 1);
    close(stary);
    rewind(plik);
    char linia[100] = "";
    if (!fgets(linia, sizeof linia, plik)) linia[0] = 0;
    fclose(plik);
    wypisane[g] = linia;
    EXPECT_TRUE(done) << "the program does not end with its demo";
    done = false;
    ASSERT_FALSE(komputer_gra);
    Nagranie n;
    std::string blad;
    ASSERT_EQ(wczytaj_nagranie(PLIK_KOMPUTERA, &n, &blad), 0) << blad;
    char oczekiwana[100];
    snprintf(oczekiwana, sizeof oczekiwana, "score %d level %d rows %d\n", n.wynik, n.poziom, n.wiersze);
    EXPECT_EQ(wypisane[g], oczekiwana);
    EXPECT_GE(n.wiersze, 2);
    czytaj_plik(PLIK_KOMPUTERA, &nagrania[g], 1 << 24);
  }
  EXPECT_EQ(nagrania[0], nagrania[1]) << "seed 7 played two different games";
  EXPECT_NE(nagrania[0], nagrania[2]) << "seeds 7 and 8 played the same game";
}

}  // namespace
