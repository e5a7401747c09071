// Replays as proof of determinism: games through the real pass with random keys
// and random seeds, in every mode, recorded, then replayed through the same
// pass, the state compared pass by pass. Also the random generator left as
// srand() makes it, and the keys of the screen of best games in the menu.
#include "zasady.h"
#include "computer/computer.h"
#include "game/game.h"
#include "player/player.h"
#include "render/render.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

void pas(std::vector<Uint8> &k) {
  // The rules do not depend on the picture: a tiny viewport and scissor keep
  // the passes quick.
  glViewport(0, 0, 4, 4);
  glScissor(0, 0, 4, 4);
  glEnable(GL_SCISSOR_TEST);
  przebieg(k.data());
}

class Powtorki : public TestZasad<5> {};

TEST_F(Powtorki, LosowanieZostajeTakieJakieDajeSrand) {
  std::vector<int> a, b, c, d;
  srand(1234);
  for (int i = 0; i < 1000; i++) a.push_back(rand());
  srand(1234);
  auto stan = zrzut_stanu();   // takes the generator's table through setstate()
  for (int i = 0; i < 1000; i++) b.push_back(rand());
  EXPECT_EQ(a, b) << "taking the generator's state changed the numbers it draws";
  for (int i = 0; i < 700; i++) c.push_back(rand());
  stan = zrzut_stanu();
  for (int i = 0; i < 700; i++) c.push_back(rand());
  ASSERT_TRUE(przywroc_stan(stan, true));
  for (int i = 0; i < 700; i++) d.push_back(rand());
  EXPECT_EQ(std::vector<int>(c.begin() + 700, c.end()), d) << "the restored generator draws other numbers";
}

TEST_F(Powtorki, GryPowtorzonePrzebiegPoPrzebiegu) {
  int gier = 200;
  if (const char *n = getenv("BRIXEL_REPLAY_GAMES")) gier = atoi(n);
  std::mt19937 los(20261208);
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<Uint8> k(SDLK_LAST, 0);
  long long przebiegow = 0, niezgodnych = 0;
  int koncow = 0, dzieciecych = 0, specjalnych = 0, klasycznych = 0, szklanych = 0, dlugich = 0;
  rekord = 999999;   // no game reaches it: the record cue does not vary

  for (int g = 0; g < gier; g++) {
    klasyczny = g % 4 == 1;
    szklo = g % 3 == 0;
    srand(los());
    // Each game plays its own way: some turn a lot, some drop fast.
    double p_gora = 0.05 + 0.5 * u(los), p_dol = 0.02 + 0.5 * u(los), p_bok = 0.05 + 0.25 * u(los);
    double p_pauza = u(los) < 0.3 ? 0.01 : 0;
    int limit = 40 + (int)(los() % 220);
    if (g % 50 == 0) {
      // Slow play: long games.
      limit = 3000 + (int)(los() % 600);
      p_dol = 0.003;
    }
    bool do_konca = g % 12 == 0;   // played on to game over (the window is re-created)
    if (do_konca) {
      p_dol = 0.6;
      p_pauza = 0;
      limit = 1 << 30;
    }
    int wyjscie_po = -1;   // the pass game over is left at
    elem2 = 1;
    std::fill(k.begin(), k.end(), 0);
    k[KLAWISZ_RETURN] = 1;
    pas(k);
    ASSERT_FALSE(gameini);

    std::vector<std::vector<long long>> oryginal;
    bool dziecko = false, specjalny = false;
    Nagranie n;
    for (int p = 0;; p++) {
      std::fill(k.begin(), k.end(), 0);
      if (!wtopa) {
        k[KLAWISZ_GORA] = u(los) < p_gora;
        k[KLAWISZ_DOL] = u(los) < p_dol;
        k[KLAWISZ_LEWO] = u(los) < p_bok;
        k[KLAWISZ_PRAWO] = u(los) < p_bok;
        k[KLAWISZ_P] = u(los) < p_pauza;
      }
      // Game over is left before its score has settled, or after.
      if (wtopa && wyjscie_po < 0) wyjscie_po = p + (int)(los() % 300);
      if (p == wyjscie_po) {
        k[KLAWISZ_ESCAPE] = 1;
        pas(k);
        ASSERT_TRUE(ostatnie_nagranie(&n));
        koncow++;
        break;
      }
      // A game not meant to end is cut short as its stack nears the top: each
      // game over re-creates the window, which takes long.
      if (!wtopa && p > 0 && (p >= limit || (alarm && !do_konca))) {
        ASSERT_TRUE(biezace_nagranie(&n));
        k[KLAWISZ_ESCAPE] = 1;
        pas(k);
        break;
      }
      pas(k);
      if (wtopa && !biezace_nagranie(&n)) continue;   // finished: no longer recorded
      oryginal.push_back(stan_gry());
      dziecko = dziecko || childmode;
      specjalny = specjalny || jaki >= 8;
    }
    ASSERT_TRUE(gameini);
    ASSERT_EQ(n.przebiegi, (long long)oryginal.size()) << "game " << g;
    // The recording goes through its file's text.
    std::string blad;
    Nagranie z_pliku;
    ASSERT_TRUE(nagranie_z_tekstu(tekst_nagrania(n), &z_pliku, &blad)) << blad;

    // A replay writes nothing: not config.cfg at its game over (its record
    // would be 999999), nor the table.
    std::ofstream("config.cfg", std::ios::binary | std::ios::trunc) << KONFIG;
    std::string tabela_przed, tabela_po;
    czytaj_plik(PLIK_TABELI, &tabela_przed, 1 << 20);
    int rekord_przed = rekord, czyszklo_przed = czyszklo;
    int tryb_przed = klasyczny, szklo_przed = szklo;
    ASSERT_TRUE(zacznij_odtwarzanie(z_pliku, false));
    std::fill(k.begin(), k.end(), 0);
    long long zle = 0;
    for (size_t p = 0; p < oryginal.size(); p++) {
      pas(k);
      if (stan_gry() != oryginal[p]) zle++;
    }
    EXPECT_EQ(zle, 0) << "game " << g << ": " << zle << " of " << oryginal.size() << " passes differ";
    EXPECT_EQ(score, n.wynik);
    EXPECT_EQ(tresc_configu(), KONFIG) << "game " << g << ": the replay wrote config.cfg";
    czytaj_plik(PLIK_TABELI, &tabela_po, 1 << 20);
    EXPECT_EQ(tabela_po, tabela_przed) << "game " << g << ": the replay entered the table";
    przebiegow += (long long)oryginal.size();
    niezgodnych += zle;
    // Escape ends it; the menu comes back as it was.
    k[KLAWISZ_ESCAPE] = 1;
    pas(k);
    EXPECT_FALSE(odtwarzanie);
    EXPECT_TRUE(gameini);
    EXPECT_EQ(rekord, rekord_przed);
    EXPECT_EQ(czyszklo, czyszklo_przed);
    EXPECT_EQ(klasyczny, tryb_przed);
    EXPECT_EQ(szklo, szklo_przed);
    std::fill(k.begin(), k.end(), 0);
    pas(k);
    k[KLAWISZ_ESCAPE] = 1;   // from the screen of best games back to the menu
    pas(k);
    ASSERT_FALSE(ekran_najlepszych);

    dzieciecych += dziecko;
    specjalnych += specjalny;
    klasycznych += klasyczny;
    szklanych += szklo;
    dlugich += oryginal.size() >= 3000;
  }
  printf("replayed %d games, %lld passes, %lld passes differing; %d to game over, %d in classic mode, "
         "%d in glass, %d in child mode, %d with special pieces, %d of 3000 passes or more\n",
         gier, przebiegow, niezgodnych, koncow, klasycznych, szklanych, dzieciecych, specjalnych, dlugich);
  EXPECT_EQ(niezgodnych, 0);
  // The walk reaches what it is meant to.
  EXPECT_GT(koncow, 0);
  EXPECT_GT(dzieciecych, 0);
  EXPECT_GT(specjalnych, 0);
  EXPECT_GT(dlugich, 0);
}

// Games of the computer's to their end, replayed from computer.rec pass for
// pass: one past level 10, through level-ups, single cells, special pieces and
// the skull, at a row a pass; one in classic mode and one in glass mode, a row
// a pass from the start.
TEST_F(Powtorki, GryKomputeraPowtorzonePrzebiegPoPrzebiegu) {
  struct {
    int klasyczny, szklo;
    long ziarno;
    int puszcza;   // the level at which it lets go, and its game ends
    int speed;     // the gravity period it starts with
  } gry[] = {{0, 0, 11, 12, 50}, {1, 0, 12, 2, 0}, {0, 1, 13, 2, 0}};
  std::vector<Uint8> k(SDLK_LAST, 0);
  rekord = 999999;
  for (const auto &g : gry) {
    klasyczny = g.klasyczny;
    szklo = g.szklo;
    poziom_puszczenia = g.puszcza;
    speed = g.speed;
    // A pass of the menu first, as F3's: the recorder lets go there of a game
    // left with Escape (the last test's, replayed at once, left one).
    std::fill(k.begin(), k.end(), 0);
    pas(k);
    ASSERT_TRUE(zacznij_gre_komputera(g.ziarno, false));
    std::vector<std::vector<long long>> oryginal;
    bool pojedyncza = false, specjalny = false, czaszka = false;
    Nagranie n;
    while (komputer_gra) {
      std::fill(k.begin(), k.end(), 0);
      // Over and recorded: Escape, rather than the 3 s on screen.
      k[KLAWISZ_ESCAPE] = wtopa && !biezace_nagranie(&n);
      pas(k);
      if (!komputer_gra || k[KLAWISZ_ESCAPE] || (wtopa && !biezace_nagranie(&n))) continue;
      oryginal.push_back(stan_gry());
      pojedyncza = pojedyncza || jaki == 7;
      specjalny = specjalny || jaki >= 8;
      czaszka = czaszka || czyskull;
    }
    ASSERT_TRUE(ostatnie_nagranie(&n));
    ASSERT_EQ(n.przebiegi, (long long)oryginal.size());
    EXPECT_EQ(n.poziom, g.puszcza) << "seed " << g.ziarno << ": lost before letting go";
    if (g.puszcza > 10) {
      EXPECT_TRUE(pojedyncza && specjalny && czaszka) << "the single cell, a special piece, the skull";
    }

    std::string blad;
    ASSERT_EQ(wczytaj_nagranie(PLIK_KOMPUTERA, &n, &blad), 0) << blad;
    ASSERT_TRUE(zacznij_odtwarzanie(n, false));
    std::fill(k.begin(), k.end(), 0);
    long long zle = 0;
    for (const auto &stan : oryginal) {
      pas(k);
      zle += stan_gry() != stan;
    }
    EXPECT_EQ(zle, 0) << "seed " << g.ziarno << ": " << zle << " of " << oryginal.size() << " passes differ";
    EXPECT_EQ(score, n.wynik);
    printf("the computer's game of seed %ld: %zu passes, level %d, %d rows, score %d; replayed with %lld passes "
           "differing\n",
           g.ziarno, oryginal.size(), n.poziom, n.wiersze, n.wynik, zle);
    k[KLAWISZ_ESCAPE] = 1;
    pas(k);
    std::fill(k.begin(), k.end(), 0);
    pas(k);
    k[KLAWISZ_ESCAPE] = 1;   // from the screen of best games back to the menu
    pas(k);
    ASSERT_FALSE(odtwarzanie || ekran_najlepszych);
  }
}

// The screen's keys on the keyboard (the pad's are in pad_test): F2 opens it,
// Up and Down move its own cursor, Return on an entry without a recording
// watches nothing, Escape goes back; the menu under it never sees them.
TEST_F(Powtorki, KlawiszeEkranuNajlepszych) {
  std::ofstream(PLIK_TABELI, std::ios::binary | std::ios::trunc)
      << "BRIXEL best games 1\nnormal 300 2 25 1796700000 0 -\nnormal 200 1 10 1796700001 1 -\n";
  const bool otwarty_po[] = {true, true, true, true, false};
  int i = 0;
  for (int kod : {(int)SDLK_F2, (int)KLAWISZ_DOL, (int)KLAWISZ_GORA, (int)KLAWISZ_RETURN, (int)KLAWISZ_ESCAPE}) {
    wcisnij(kod);
    EXPECT_EQ(ekran_najlepszych, otwarty_po[i++]) << "key " << kod;
    EXPECT_TRUE(gameini && !menu && !odtwarzanie && elem2 == 1) << "the menu saw key " << kod;
  }
  menu = true;
  wcisnij(SDLK_F2);
  EXPECT_FALSE(ekran_najlepszych) << "F2 opened the screen from the options list";
}

}  // namespace
