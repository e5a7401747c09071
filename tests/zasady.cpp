#include "zasady.h"

#include "fsound_zapis.h"
#include "game/game.h"
#include "shell/shell.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

const char *const KONFIG = "640\n480\n16\n0\n1\n0\n0\n0\n0\n1\n000000\n";

void uruchom_do_zasad() {
  nowy_katalog_roboczy(KONFIG);
  uruchom_program();
}

int &pole(int x, int y) { return studnia[x * 21 + y]; }

Komorki zajete() {
  Komorki k;
  for (int x = 1; x <= 10; x++)
    for (int y = 1; y <= 20; y++)
      if (pole(x, y)) k.insert({x, y});
  return k;
}

void pelny_wiersz(int y) {
  for (int x = 1; x <= 10; x++) pole(x, y) = 1;
}

std::string ksztalt(int s) {
  std::string w;
  for (int j = 0; j < ilema[s]; j++) {
    if (j) w += '/';
    for (int i = 0; i < ilema[s]; i++) w += klocek[s * 16 + i * 4 + j] ? 'X' : '.';
  }
  return w;
}


void przebiegi(int n, std::initializer_list<int> klawisze) {
  for (int i = 0; i < n; i++) {
    glViewport(0, 0, 4, 4);
    klatki(1, klawisze);
  }
}

Dzwieki przebieg_z(std::initializer_list<int> klawisze) {
  wyczysc_zapis();
  przebiegi(1, klawisze);
  return zagrane();
}

Dzwieki wcisnij(int klawisz) {
  Dzwieki d = przebieg_z({klawisz});
  przebiegi(1);
  return d;
}

void start_gry() {
  elem2 = 1;
  przebiegi(1, {KLAWISZ_RETURN});
  przebiegi(1);
}

int ile_razy(const Dzwieki &d, const std::string &nazwa) {
  return (int)std::count(d.begin(), d.end(), nazwa);
}

void koniec_gry() {
  const int r = rekord;
  gra(0, 2, 19);
  rekord = r;
  speed = 0;
  for (int y = 2; y <= 20; y++) pole(5, y) = 1;
  nastepny = 0;
  przebiegi(1);
  ASSERT_TRUE(wtopa);
}

std::vector<long long> stan_gry() {
  std::vector<long long> s(studnia, studnia + STUDNIA_ROZMIAR);
  for (long long v : {(long long)score, (long long)level, (long long)calkowite, (long long)rozwalone,
                      (long long)(bonuses * 16), (long long)combo, (long long)czas, (long long)jaki,
                      (long long)nastepny, (long long)xk, (long long)yk, (long long)wtopa,
                      (long long)childmode, (long long)pauza, (long long)musi, (long long)dzwiek})
    s.push_back(v);
  for (int i = 0; i < 12 * 16; i++) s.push_back(klocek[i]);
  return s;
}

void przygotuj_test(unsigned ziarno) {
  std::ofstream("config.cfg", std::ios::binary | std::ios::trunc) << KONFIG;
  stan_poczatkowy();
  srand(ziarno);
  wyczysc_zapis();
}

void zakoncz_testy() { wyjscie(); }
