// The player's settings as lines of preferences.cfg ("start level = 5"),
// read by the file's reader; apart from the rest so that the reader's fuzzer
// builds with it alone.
#include "ustawienia/ustawienia.h"
#include "player/player.h"

#include <cstdlib>
#include <cstring>

UstawieniaGracza ustawienia;

const char *const NAZWY_USTAWIEN[5] = {"start level", "prefilled rows", "density", "music volume", "sound volume"};
static const int OD[5] = {1, 0, 1, 0, 0};
static const int DO[5] = {NAJWYZSZY_POZIOM_STARTU, NAJWIECEJ_WIERSZY, NAJWIEKSZA_GESTOSC, NAJGLOSNIEJ, NAJGLOSNIEJ};
static int wiersz_ustawienia_nr[5];   // the line that set each; 0 none yet

static int *pole(UstawieniaGracza &u, int i) {
  int *p[5] = {&u.poziom, &u.wiersze, &u.gestosc, &u.muzyka, &u.dzwieki};
  return p[i];
}

void zacznij_ustawienia() {
  ustawienia = UstawieniaGracza();
  memset(wiersz_ustawienia_nr, 0, sizeof wiersz_ustawienia_nr);
}

int wiersz_ustawien(const std::string &nazwa, const std::string &wartosc, int nr, FILE *bledy) {
  int i = 0;
  while (i < 5 && nazwa != NAZWY_USTAWIEN[i]) i++;
  if (i == 5) return 0;
  // The number alone, spaces around it allowed.
  size_t a = wartosc.find_first_not_of(" \t\r"), b = wartosc.find_last_not_of(" \t\r");
  std::string v = a == std::string::npos ? "" : wartosc.substr(a, b - a + 1);
  bool liczba = !v.empty() && v.size() <= 3 && v.find_first_not_of("0123456789") == std::string::npos;
  int n = liczba ? atoi(v.c_str()) : -1;
  char powod[160] = "";
  if (wiersz_ustawienia_nr[i])
    snprintf(powod, sizeof powod, "%s is already set at line %d", nazwa.c_str(), wiersz_ustawienia_nr[i]);
  else if (n < OD[i] || n > DO[i])
    snprintf(powod, sizeof powod, "%s must be a number from %d to %d, not \"%.40s\"", nazwa.c_str(), OD[i], DO[i],
             v.c_str());
  if (powod[0]) {
    fprintf(bledy, "%s:%d: %s; the line is left out\n", PLIK_PREFERENCJI, nr, powod);
    return -1;
  }
  *pole(ustawienia, i) = n;
  wiersz_ustawienia_nr[i] = nr;
  return 1;
}

std::string wiersz_ustawienia(const char *nazwa, int wartosc) {
  return std::string(nazwa) + " = " + std::to_string(wartosc);
}
