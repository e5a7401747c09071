// The table of best games and the recording files, in a working directory of
// their own (no window): order, ties, the eleventh game, both modes, games
// ending at once in several processes, damaged tables, a missing folder; the
// recording reader's refusals; and the command line words that open no window.
#include "player/player.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

class TabelaNajlepszych : public ::testing::Test {
 protected:
  void SetUp() override {
    char wzor[] = "/tmp/brixel-best-XXXXXX";
    ASSERT_NE(mkdtemp(wzor), nullptr);
    katalog = wzor;
    ASSERT_EQ(chdir(katalog.c_str()), 0);
  }
  std::string katalog;
};

WpisTabeli wpis(int wynik, long long czas = 1796700000) {
  WpisTabeli w;
  w.wynik = wynik;
  w.poziom = 1 + wynik / 1000;
  w.wiersze = wynik / 10;
  w.czas = czas;
  return w;
}

std::vector<int> wyniki(const Tabela &t, int tryb) {
  std::vector<int> v;
  for (const WpisTabeli &w : t.wpisy[tryb]) v.push_back(w.wynik);
  return v;
}

std::string plik(const std::string &nazwa) {
  std::ifstream f(nazwa, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> pliki_w(const std::string &katalog) {
  std::vector<std::string> v;
  if (DIR *d = opendir(katalog.c_str())) {
    while (dirent *e = readdir(d))
      if (e->d_name[0] != '.') v.push_back(e->d_name);
    closedir(d);
  }
  std::sort(v.begin(), v.end());
  return v;
}

TEST_F(TabelaNajlepszych, PorzadekRemisyJedenastaGraIObaTryby) {
  // Each game's rank as it enters (0: it does not), then the table.
  struct Gra {
    int tryb, wynik, miejsce;
  };
  const Gra gry[] = {{TRYB_ZWYKLY, 100, 1}, {TRYB_ZWYKLY, 300, 1}, {TRYB_ZWYKLY, 200, 2},
                     {TRYB_ZWYKLY, 200, 3},   // a tie ranks behind the game already there
                     {TRYB_KLASYCZNY, 50, 1}, {TRYB_ZWYKLY, 90, 5},  {TRYB_ZWYKLY, 80, 6},
                     {TRYB_ZWYKLY, 70, 7},    {TRYB_ZWYKLY, 60, 8},  {TRYB_ZWYKLY, 50, 9},
                     {TRYB_ZWYKLY, 40, 10},   {TRYB_ZWYKLY, 40, 0},  // the eleventh, equal to the tenth
                     {TRYB_ZWYKLY, 10, 0},    {TRYB_ZWYKLY, 250, 2}, {TRYB_KLASYCZNY, 60, 1}};
  long long czas = 1796700000;
  for (const Gra &g : gry) {
    czas++;
    EXPECT_EQ(dopisz_gre(g.tryb, wpis(g.wynik, czas), "rec " + std::to_string(czas) + "\n"), g.miejsce)
        << "score " << g.wynik;
  }
  Tabela t = wczytaj_tabele();
  EXPECT_EQ(wyniki(t, TRYB_ZWYKLY), (std::vector<int>{300, 250, 200, 200, 100, 90, 80, 70, 60, 50}));
  EXPECT_EQ(wyniki(t, TRYB_KLASYCZNY), (std::vector<int>{60, 50}));
  EXPECT_LT(t.wpisy[TRYB_ZWYKLY][2].czas, t.wpisy[TRYB_ZWYKLY][3].czas) << "the older of a tie comes first";
  // One recording an entry, each the game's own; the pushed-out game's is gone.
  std::vector<std::string> nagrania = pliki_w(KATALOG_NAGRAN);
  EXPECT_EQ(nagrania.size(), 12u);
  for (const auto &lista : t.wpisy)
    for (const WpisTabeli &w : lista) {
      ASSERT_TRUE(nazwa_nagrania(w.nagranie)) << w.nagranie;
      EXPECT_EQ(plik(w.nagranie), "rec " + std::to_string(w.czas) + "\n");
    }
}

// Games with a start of their own: a table of version 1 is read (level 1, no
// rows), entries with a start are added to it, written as version 2, read back,
// ranked with the others by score alone.
TEST_F(TabelaNajlepszych, StartGryWWersji2) {
  std::ofstream(PLIK_TABELI) << "BRIXEL best games 1\nnormal 300 2 25 1796700000 1 -\nnormal 100 1 9 1796700001 0 -\n";
  Tabela t = wczytaj_tabele();
  ASSERT_EQ(wyniki(t, TRYB_ZWYKLY), (std::vector<int>{300, 100}));
  EXPECT_EQ(t.wpisy[TRYB_ZWYKLY][0].poziom_startu, 1);
  EXPECT_EQ(t.wpisy[TRYB_ZWYKLY][0].wiersze_startu, 0);
  const int starty[][3] = {{200, 5, 3}, {400, 10, 0}, {50, 1, 12}};   // score, level, rows
  for (auto &s : starty) {
    WpisTabeli w = wpis(s[0]);
    w.poziom_startu = s[1];
    w.wiersze_startu = s[2];
    EXPECT_GT(dopisz_gre(TRYB_ZWYKLY, w, ""), 0);
  }
  std::string tekst = plik(PLIK_TABELI);
  EXPECT_EQ(tekst.rfind("BRIXEL best games 2\n", 0), 0u) << tekst;
  EXPECT_NE(tekst.find("normal 200 1 20 1796700000 0 5 3 -\n"), std::string::npos) << tekst;
  t = wczytaj_tabele();
  EXPECT_EQ(wyniki(t, TRYB_ZWYKLY), (std::vector<int>{400, 300, 200, 100, 50}));
  const int oczekiwane[][2] = {{10, 0}, {1, 0}, {5, 3}, {1, 0}, {1, 12}};
  for (int i = 0; i < 5; i++) {
    EXPECT_EQ(t.wpisy[TRYB_ZWYKLY][i].poziom_startu, oczekiwane[i][0]) << i;
    EXPECT_EQ(t.wpisy[TRYB_ZWYKLY][i].wiersze_startu, oczekiwane[i][1]) << i;
  }
  EXPECT_NE(linia_wyniku(TRYB_ZWYKLY, 3, t.wpisy[TRYB_ZWYKLY][2]).find(" 5 3 plain -"), std::string::npos);
  // A version 2 line without its start, or a version 1 line with one, is no table.
  Tabela zla;
  EXPECT_FALSE(tabela_z_tekstu("BRIXEL best games 2\nnormal 300 2 25 1796700000 1 -\n", &zla));
  EXPECT_FALSE(tabela_z_tekstu("BRIXEL best games 1\nnormal 300 2 25 1796700000 1 5 3 -\n", &zla));
  EXPECT_FALSE(tabela_z_tekstu("BRIXEL best games 2\nnormal 300 2 25 1796700000 1 0 3 -\n", &zla));
}

TEST_F(TabelaNajlepszych, GryKonczoneNaraz) {
  // Eight processes end five games each at the same moment, in both modes.
  const int PROCESOW = 8, GIER = 5;
  std::vector<pid_t> dzieci;
  for (int p = 0; p < PROCESOW; p++) {
    pid_t d = fork();
    ASSERT_GE(d, 0);
    if (d == 0) {
      for (int g = 0; g < GIER; g++) dopisz_gre(p % 2, wpis(1000 + p * 10 + g), std::string(4000, 'k') + "\n");
      _exit(0);
    }
    dzieci.push_back(d);
  }
  for (pid_t d : dzieci) {
    int stan = 0;
    waitpid(d, &stan, 0);
    EXPECT_TRUE(WIFEXITED(stan) && WEXITSTATUS(stan) == 0);
  }
  Tabela t = wczytaj_tabele();
  for (int tryb = 0; tryb < 2; tryb++) {
    std::vector<int> oczekiwane;
    for (int p = PROCESOW - 2 + tryb; p >= 0; p -= 2)
      for (int g = GIER - 1; g >= 0; g--) oczekiwane.push_back(1000 + p * 10 + g);
    oczekiwane.resize(MIEJSCA_TABELI);
    EXPECT_EQ(wyniki(t, tryb), oczekiwane) << "an entry was lost, mode " << tryb;
  }
  EXPECT_EQ(pliki_w(KATALOG_NAGRAN).size(), 20u) << "recordings of games no longer in the table are kept";
}

TEST_F(TabelaNajlepszych, UszkodzonaTabelaOdlozonaINowaZaczeta) {
  const char *const uszkodzone[] = {
      "garbage\n",
      "BRIXEL best games 1\nnormal 100 1 10 1796700000 0 -",   // cut short
      "BRIXEL best games 3\n",   // a later version
      "BRIXEL best games 1\nnormal 1x0 1 10 1796700000 0 -\n",
      "BRIXEL best games 1\nnormal 100 1 10 1796700000 0 ../config.cfg\n",
      "BRIXEL best games 1\nnormal 100 1 10 1796700000 0 -\nfancy 100 1 10 1796700000 0 -\n",
      "BRIXEL best games 1\nnormal -5 1 10 1796700000 0 -\n",
      "BRIXEL best games 1\nnormal 100 1 10 1796700000 2 -\n",
      "BRIXEL best games 1\nnormal 100  1 10 1796700000 0 -\n",
  };
  for (const char *tresc : uszkodzone) {
    SetUp();
    std::ofstream(PLIK_TABELI, std::ios::binary) << tresc;
    Tabela t = wczytaj_tabele();
    EXPECT_TRUE(t.wpisy[0].empty() && t.wpisy[1].empty()) << tresc;
    std::vector<std::string> pliki = pliki_w(".");
    auto odlozona = std::find_if(pliki.begin(), pliki.end(),
                                 [](const std::string &n) { return n.rfind("best.txt.damaged-", 0) == 0; });
    ASSERT_NE(odlozona, pliki.end()) << "not kept aside: " << tresc;
    EXPECT_EQ(plik(*odlozona), tresc);
    EXPECT_EQ(dopisz_gre(TRYB_ZWYKLY, wpis(5), ""), 1) << "no new table after: " << tresc;
  }
  // Eleven entries of a mode: no table the game wrote.
  SetUp();
  std::string jedenascie = "BRIXEL best games 1\n";
  for (int i = 0; i < 11; i++) jedenascie += "normal 100 1 10 1796700000 0 -\n";
  std::ofstream(PLIK_TABELI, std::ios::binary) << jedenascie;
  EXPECT_TRUE(wczytaj_tabele().wpisy[0].empty());
  // A folder in the table's place cannot be read: it is moved aside too.
  SetUp();
  ASSERT_EQ(mkdir(PLIK_TABELI, 0755), 0);
  EXPECT_EQ(dopisz_gre(TRYB_ZWYKLY, wpis(5), ""), 1);
  EXPECT_EQ(wyniki(wczytaj_tabele(), 0), std::vector<int>{5});
  // An empty file is an empty table, nothing to keep.
  SetUp();
  std::ofstream(PLIK_TABELI, std::ios::binary) << "";
  EXPECT_EQ(dopisz_gre(TRYB_ZWYKLY, wpis(5), ""), 1);
  EXPECT_EQ(pliki_w(".").size(), 2u);   // best.txt and its lock
}

TEST_F(TabelaNajlepszych, BrakFolderuNagran) {
  // Made when missing; a file in its place keeps the entry without a recording.
  EXPECT_EQ(dopisz_gre(TRYB_ZWYKLY, wpis(10), "rec\n"), 1);
  ASSERT_EQ(pliki_w(KATALOG_NAGRAN).size(), 1u);
  SetUp();
  std::ofstream(KATALOG_NAGRAN) << "not a folder";
  EXPECT_EQ(dopisz_gre(TRYB_ZWYKLY, wpis(10), "rec\n"), 1);
  Tabela t = wczytaj_tabele();
  ASSERT_EQ(t.wpisy[0].size(), 1u);
  EXPECT_EQ(t.wpisy[0][0].nagranie, "");
}

Nagranie przykladowe() {
  Nagranie n;
  n.tryb = TRYB_KLASYCZNY;
  n.szklo = 1;
  n.wynik = 1234;
  n.poziom = 3;
  n.wiersze = 45;
  n.stan = {{"score", "0"}, {"xkula", "0x1.99999ap-4 -0x1p+0"}};
  n.serie = {{0, 5}, {0x40, 3}, {0x200, 70000}, {0xfff, 1}};
  n.przebiegi = 70009;
  return n;
}

// A recording of another version of the rules.
std::string zmieniony_plik() {
  std::string t = tekst_nagrania(przykladowe());
  return t.replace(t.find("rules 1"), 7, "rules 7");
}

TEST(PlikNagrania, ZapisIOdczytIOdmowy) {
  std::string tekst = tekst_nagrania(przykladowe()), blad;
  Nagranie n;
  ASSERT_TRUE(nagranie_z_tekstu(tekst, &n, &blad)) << blad;
  // Refusals and what they say.
  auto zmieniony = [&](const std::string &z, const std::string &na) {
    std::string t = tekst;
    size_t p = t.find(z);
    EXPECT_NE(p, std::string::npos) << z;
    return t.replace(p, z.size(), na);
  };
  const std::pair<std::string, std::string> zle[] = {
      {"800\n600\n", "not a BRIXEL recording"},
      {zmieniony("rules 1", "rules 2"), "version 2 of the rules"},
      {zmieniony("passes 70009", "passes 70010"), "damaged"},
      {zmieniony("200:70000", "1000:70000"), "damaged"},
      {zmieniony("200:70000", "200:0"), "damaged"},
      {zmieniony("mode classic", "mode fancy"), "damaged"},
      {zmieniony("state score 0", "state Score 0"), "damaged"},
      {zmieniony("state xkula", "state score"), "damaged"},   // a name twice
      {tekst.substr(0, tekst.size() - 1), "middle of a line"},
      {zmieniony("end\n", ""), "damaged"},
  };
  for (const auto &z : zle) {
    EXPECT_FALSE(nagranie_z_tekstu(z.first, &n, &blad)) << z.first;
    EXPECT_NE(blad.find(z.second), std::string::npos) << blad;
  }
}

// The command line words that open no window, through the real program.
TEST_F(TabelaNajlepszych, WierszPolecenBezOkna) {
  auto uruchom = [&](const std::string &slowa, std::string *wyjscie) {
    std::string polecenie = "cd " + katalog + " && DISPLAY= " + BRIXEL_BINARY + " " + slowa + " 2>&1";
    FILE *p = popen(polecenie.c_str(), "r");
    char bufor[4096];
    size_t n;
    wyjscie->clear();
    while ((n = fread(bufor, 1, sizeof bufor, p)) > 0) wyjscie->append(bufor, n);
    int stan = pclose(p);
    return WIFEXITED(stan) ? WEXITSTATUS(stan) : -1;
  };
  std::ofstream(katalog + "/best.txt") << "BRIXEL best games 1\nnormal 300 2 25 1796700000 1 recordings/1-2-3.rec\n"
                                          "classic 20 1 2 1796700000 0 -\n";
  std::ofstream(katalog + "/inna.rec") << zmieniony_plik();
  // Words, status, and what the output must hold ("|" between the pieces).
  const std::vector<std::string> przypadki[] = {
      {"--help", "0", "resolution|--window|--fullscreen|--replay FILE|--scores|F2|--demo [SEED]|F3"},
      {"--scores", "0", "normal 1 300 2 25 2|glass recordings/1-2-3.rec\nclassic 1 20 1 2 2|plain -\n"},
      {"--replay inna.rec", "1", "version 7 of the rules"},
      {"--replay best.txt", "1", "not a BRIXEL recording"},
      {"--replay", "1", "needs the file"},
      {"--demo 12x", "1", "--demo takes a seed from 0 to 4294967295, not 12x"},
      {"--demo 4294967296", "1", "not 4294967296"},
      {"--demo 3 --replay inna.rec", "1", "--replay and --demo cannot go together"},
      {"resolution 640 --no-such-word", "1", "--no-such-word"},
  };
  std::string w;
  for (const auto &p : przypadki) {
    EXPECT_EQ(uruchom(p[0], &w), std::stoi(p[1])) << p[0];
    std::stringstream czesci(p[2]);
    for (std::string c; std::getline(czesci, c, '|');) EXPECT_NE(w.find(c), std::string::npos) << p[0] << ": " << w;
  }
  EXPECT_EQ(std::count(w.begin(), w.end(), '\n'), 1) << w;
}

}  // namespace
