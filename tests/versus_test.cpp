// Versus: races through the real pass, the opponent's game swapped in and out
// each pass; the tally file; --versus with bad input.
#include "zasady.h"
#include "computer/computer.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"
#include "versus/versus.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

class Versus : public TestZasad<34> {};

std::vector<Uint8> k(SDLK_LAST, 0);

// A frame of the main loop: your pass, then the opponent's.
void klatka() {
  glViewport(0, 0, 4, 4);
  przebieg(k.data());
  for (int n = dodatkowe_przebiegi(); n > 0; n--) przebieg(k.data());
}

// Keys that top a game out soon: Down pressed every other pass.
void szybki_koniec(long i) { k[KLAWISZ_DOL] = i % 2; }

// A race from the menu to its end; your keys from klawisze(pass), your game's
// state after each of your passes in slady.
void scigaj(const Przeciwnik &p, std::function<void(long)> klawisze, std::vector<std::vector<long long>> *slady) {
  std::string blad;
  ASSERT_TRUE(zacznij_wyscig(p, 5, false, &blad)) << blad;
  for (long i = 0; wyscig && i < 400000; i++) {
    std::fill(k.begin(), k.end(), 0);
    if (!wtopa) klawisze(i);
    else if (przeciwnik_skonczyl()) k[KLAWISZ_RETURN] = i % 2;   // past the result
    else k[KLAWISZ_PRAWO] = 1;
    glViewport(0, 0, 4, 4);
    przebieg(k.data());
    if (wyscig && !gameini) slady->push_back(stan_gry());
    for (int n = dodatkowe_przebiegi(); n > 0; n--) przebieg(k.data());
  }
  ASSERT_FALSE(wyscig) << "the race did not end";
  std::fill(k.begin(), k.end(), 0);
  for (int i = 0; i < 5; i++) klatka();
}

Bilans bilans(const std::string &klucz) {
  for (const auto &e : wczytaj_bilans())
    if (e.first == klucz) return e.second;
  return Bilans();
}

// Your recorded game replayed alone: its state after each pass.
std::vector<std::vector<long long>> powtorka(const Nagranie &n) {
  std::vector<std::vector<long long>> s;
  EXPECT_TRUE(zacznij_odtwarzanie(n, false));
  for (long long i = 0; i < n.przebiegi; i++) {
    glViewport(0, 0, 4, 4);
    przebieg(k.data());
    s.push_back(stan_gry());
  }
  zakoncz_odtwarzanie();
  return s;
}

TEST_F(Versus, WyscigiDoWynikuIBilans) {
  // A game of yours that tops out soon, entered in the table: the recorded opponent.
  unlink(PLIK_WYNIKOW_VERSUS);
  start_gry();
  for (long i = 0; !wtopa && i < 20000; i++) {
    std::fill(k.begin(), k.end(), 0);
    szybki_koniec(i);
    klatka();
  }
  std::fill(k.begin(), k.end(), 0);
  for (int i = 0; i < 250; i++) klatka();
  nacisnij(KLAWISZ_ESCAPE);
  klatki(3);
  Nagranie zapisany;
  ASSERT_TRUE(ostatnie_nagranie(&zapisany));
  Tabela t = wczytaj_tabele();
  ASSERT_FALSE(t.wpisy[TRYB_ZWYKLY].empty());
  Przeciwnik nagrany;
  nagrany.plik = t.wpisy[TRYB_ZWYKLY][0].nagranie;
  Przeciwnik latwy;
  latwy.sila = SILA_LATWA;
  // You play as the computer until well ahead of it, then top out.
  auto mocno = [](long i) {
    if (score < 400) klawisze_komputera(k.data());
    else szybki_koniec(i);
  };
  struct Przypadek {
    Przeciwnik p;
    std::function<void(long)> klawisze;
    bool wygrana;
  } przypadki[] = {{latwy, szybki_koniec, false}, {nagrany, mocno, true}};
  for (const Przypadek &c : przypadki) {
    std::string klucz = klucz_przeciwnika(c.p);
    SCOPED_TRACE(klucz);
    std::vector<std::vector<long long>> slady;
    scigaj(c.p, c.klawisze, &slady);
    int w, l, r;
    liczby_przeciwnika(&w, &l, &r);
    Bilans b = bilans(klucz);
    EXPECT_EQ(b.wygrane, c.wygrana ? 1 : 0);
    EXPECT_EQ(b.przegrane, c.wygrana ? 0 : 1);
    EXPECT_TRUE(gameini && ekran_versus) << "the versus screen is not back";
    if (c.p.sila < 0) {
      EXPECT_EQ(w, zapisany.wynik);
      EXPECT_EQ(l, zapisany.poziom);
      EXPECT_EQ(r, zapisany.wiersze);
    }
    // Your game, replayed from its recording alone, is the same game pass for pass.
    Nagranie twoj;
    ASSERT_TRUE(ostatnie_nagranie(&twoj));
    auto sama = powtorka(twoj);
    ASSERT_GE(slady.size(), sama.size());
    long rozne = 0;
    for (size_t i = 0; i < sama.size(); i++) rozne += slady[i] != sama[i];
    EXPECT_EQ(rozne, 0) << "passes of your game differ from its replay alone";
    ekran_versus = false;
  }
}

TEST_F(Versus, BilansPrzetrwaZabicieWTrakcieZapisu) {
  unlink(PLIK_WYNIKOW_VERSUS);
  for (int proba = 0; proba < 20; proba++) {
    pid_t dziecko = fork();
    ASSERT_GE(dziecko, 0);
    if (dziecko == 0) {
      for (;;) dopisz_wynik("easy", true);
    }
    for (int i = 0; i < 4000 && access(PLIK_WYNIKOW_VERSUS, F_OK) != 0; i++) usleep(500);
    usleep(proba * 700);
    kill(dziecko, SIGKILL);
    waitpid(dziecko, nullptr, 0);
    std::string tresc;
    std::vector<std::pair<std::string, Bilans>> b;
    ASSERT_TRUE(czytaj_plik(PLIK_WYNIKOW_VERSUS, &tresc, 1 << 20));
    EXPECT_TRUE(bilans_z_tekstu(tresc, &b)) << "a killed write left: " << tresc;
  }
  // A damaged tally is renamed aside and a new one begun.
  std::ofstream(PLIK_WYNIKOW_VERSUS) << "BRIXEL versus 1\n3 x easy\n";
  EXPECT_TRUE(wczytaj_bilans().empty());
  EXPECT_NE(access(PLIK_WYNIKOW_VERSUS, F_OK), 0);
  EXPECT_EQ(system("ls versus.txt.damaged-* >/dev/null 2>&1"), 0);
}

TEST_F(Versus, ZleSlowoVersus) {
  std::ofstream("nie_nagranie.rec") << "hello\n";
  struct {
    const char *slowa, *komunikat;
  } przypadki[] = {
      {"--versus brak.rec", "cannot read brak.rec"},
      {"--versus nie_nagranie.rec", "nie_nagranie.rec cannot race"},
      {"--versus expert", "unknown opponent expert"},
      {"--versus", "needs an opponent"},
      {"--versus easy 99999999999", "takes a seed"},
  };
  for (const auto &c : przypadki) {
    std::string polecenie = std::string(BRIXEL_BINARY) + " " + c.slowa + " 2>&1";
    FILE *p = popen(polecenie.c_str(), "r");
    ASSERT_TRUE(p);
    std::string wyjscie;
    char b[256];
    while (fgets(b, sizeof b, p)) wyjscie += b;
    int status = pclose(p);
    EXPECT_EQ(WEXITSTATUS(status), 1) << c.slowa;
    EXPECT_NE(wyjscie.find(c.komunikat), std::string::npos) << c.slowa << ": " << wyjscie;
  }
}

}  // namespace
