// A recording's file: text lines, the magic line and the rules version first,
// then the mode, how the game ended, the game's state at its first pass (one
// named value a line) and the key states of its passes, run-length encoded.
//   BRIXEL recording
//   rules 1
//   mode normal|classic
//   glass 0|1
//   result SCORE LEVEL ROWS
//   passes N
//   state NAME VALUE...
//   keys
//   STATE:COUNT ...          (hexadecimal state, decimal count, 16 runs a line)
//   end
// The reader takes nothing on trust: every number is checked for its range and
// the runs must add up to the passes.
#include "player/player.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

static const char *const MAGIA_NAGRANIA = "BRIXEL recording";
static const int SERIE_W_WIERSZU = 16;
static const size_t NAJDLUZSZA_NAZWA = 32;   // of a state value
static const size_t NAJWIECEJ_WARTOSCI = 256;   // state values in a recording

std::string tekst_nagrania(const Nagranie &n) {
  std::string t = MAGIA_NAGRANIA;
  char linia[160];
  snprintf(linia, sizeof linia, "\nrules %d\nmode %s\nglass %d\nresult %d %d %d\npasses %lld\n", WERSJA_ZASAD,
           n.tryb == TRYB_KLASYCZNY ? "classic" : "normal", n.szklo, n.wynik, n.poziom, n.wiersze, n.przebiegi);
  t += linia;
  for (const auto &w : n.stan) t += "state " + w.first + " " + w.second + "\n";
  t += "keys\n";
  for (size_t i = 0; i < n.serie.size(); i++) {
    snprintf(linia, sizeof linia, "%x:%u", n.serie[i].stan, n.serie[i].ile);
    t += linia;
    t += (i + 1) % SERIE_W_WIERSZU == 0 || i + 1 == n.serie.size() ? "\n" : " ";
  }
  t += "end\n";
  return t;
}

// A whole decimal number in [od, do_], nothing after it.
static bool liczba(const std::string &s, long long od, long long do_, long long *w) {
  if (s.empty() || s.size() > 20) return false;
  for (size_t i = 0; i < s.size(); i++)
    if (!(s[i] >= '0' && s[i] <= '9') && !(i == 0 && s[i] == '-' && s.size() > 1)) return false;
  errno = 0;
  long long v = strtoll(s.c_str(), nullptr, 10);
  if (errno != 0 || v < od || v > do_) return false;
  *w = v;
  return true;
}

// The words of a line, split at single spaces.
static std::vector<std::string> slowa(const std::string &linia) {
  std::vector<std::string> w;
  size_t p = 0;
  while (true) {
    size_t q = linia.find(' ', p);
    w.push_back(linia.substr(p, q == std::string::npos ? std::string::npos : q - p));
    if (q == std::string::npos) break;
    p = q + 1;
  }
  return w;
}

static bool nazwa_wartosci(const std::string &s) {
  if (s.empty() || s.size() > NAJDLUZSZA_NAZWA) return false;
  for (char c : s)
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

static bool seria_z_tekstu(const std::string &s, Seria *z) {
  size_t d = s.find(':');
  if (d == 0 || d == std::string::npos || d > 3) return false;
  unsigned stan = 0;
  for (size_t i = 0; i < d; i++) {
    char c = s[i];
    int cyfra = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (cyfra < 0) return false;
    stan = stan * 16 + (unsigned)cyfra;
  }
  long long ile;
  if (stan >= (1u << BITY_PASU) || !liczba(s.substr(d + 1), 1, NAJWIECEJ_PRZEBIEGOW, &ile)) return false;
  z->stan = stan;
  z->ile = (unsigned)ile;
  return true;
}

bool nagranie_z_tekstu(const std::string &tekst, Nagranie *wynik, std::string *blad) {
  Nagranie n;
  std::vector<std::string> linie;
  size_t p = 0;
  while (p < tekst.size()) {
    size_t q = tekst.find('\n', p);
    if (q == std::string::npos) {
      *blad = "it ends in the middle of a line";
      return false;
    }
    linie.push_back(tekst.substr(p, q - p));
    p = q + 1;
  }
  if (linie.empty() || linie[0] != MAGIA_NAGRANIA) {
    *blad = "it is not a BRIXEL recording";
    return false;
  }
  long long v = 0;
  std::vector<std::string> w = linie.size() > 1 ? slowa(linie[1]) : std::vector<std::string>();
  if (w.size() != 2 || w[0] != "rules" || !liczba(w[1], 0, 1000000, &v)) {
    *blad = "it names no version of the rules";
    return false;
  }
  if (v != WERSJA_ZASAD) {
    char t[128];
    snprintf(t, sizeof t, "it was recorded under version %lld of the rules; this game plays version %d", v,
             WERSJA_ZASAD);
    *blad = t;
    return false;
  }
  *blad = "it is damaged";
  if (linie.size() < 8) return false;
  w = slowa(linie[2]);
  if (w.size() != 2 || w[0] != "mode" || (w[1] != "normal" && w[1] != "classic")) return false;
  n.tryb = w[1] == "classic" ? TRYB_KLASYCZNY : TRYB_ZWYKLY;
  w = slowa(linie[3]);
  if (w.size() != 2 || w[0] != "glass" || !liczba(w[1], 0, 1, &v)) return false;
  n.szklo = (int)v;
  w = slowa(linie[4]);
  long long wynik_gry, poziom, wiersze;
  if (w.size() != 4 || w[0] != "result" || !liczba(w[1], 0, 2147483647, &wynik_gry) ||
      !liczba(w[2], -2147483647, 2147483647, &poziom) || !liczba(w[3], 0, 2147483647, &wiersze))
    return false;
  n.wynik = (int)wynik_gry;
  n.poziom = (int)poziom;
  n.wiersze = (int)wiersze;
  w = slowa(linie[5]);
  long long przebiegi;
  if (w.size() != 2 || w[0] != "passes" || !liczba(w[1], 0, NAJWIECEJ_PRZEBIEGOW, &przebiegi)) return false;

  size_t i = 6;
  for (; i < linie.size() && linie[i].compare(0, 6, "state ") == 0; i++) {
    const std::string &l = linie[i];
    size_t d = l.find(' ', 6);
    if (d == std::string::npos || !nazwa_wartosci(l.substr(6, d - 6)) || d + 1 >= l.size()) return false;
    if (n.stan.size() >= NAJWIECEJ_WARTOSCI) return false;
    for (const auto &s : n.stan)
      if (s.first == l.substr(6, d - 6)) return false;
    n.stan.push_back({l.substr(6, d - 6), l.substr(d + 1)});
  }
  if (i >= linie.size() || linie[i] != "keys") return false;
  for (i++; i < linie.size() && linie[i] != "end"; i++) {
    for (const std::string &s : slowa(linie[i])) {
      Seria z;
      if (!seria_z_tekstu(s, &z)) return false;
      n.przebiegi += z.ile;
      if (n.przebiegi > przebiegi) return false;
      n.serie.push_back(z);
    }
  }
  if (i + 1 != linie.size() || n.przebiegi != przebiegi) return false;
  blad->clear();
  *wynik = n;
  return true;
}

bool czytaj_plik(const char *nazwa, std::string *tresc, size_t najwiecej) {
  FILE *f = fopen(nazwa, "rb");
  if (!f) return false;
  struct stat opis;
  if (fstat(fileno(f), &opis) != 0 || !S_ISREG(opis.st_mode)) {
    fclose(f);
    errno = EISDIR;
    return false;
  }
  tresc->clear();
  char bufor[65536];
  size_t n;
  bool dobrze = true;
  while ((n = fread(bufor, 1, sizeof bufor, f)) > 0) {
    if (tresc->size() + n > najwiecej) {
      dobrze = false;
      errno = EFBIG;
      break;
    }
    tresc->append(bufor, n);
  }
  if (ferror(f)) dobrze = false;
  fclose(f);
  return dobrze;
}
