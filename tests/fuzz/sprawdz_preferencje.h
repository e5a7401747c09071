// One check of the preferences.cfg reader and its rewrite on arbitrary bytes,
// shared by the fuzzer and the tests: one well-formed message per bad line,
// bindings that never make a key act for two actions nor bind the window keys,
// and a rewrite of the window line that keeps every other line and reads back
// to the same bindings.
#ifndef BRIXEL_SPRAWDZ_PREFERENCJE_H
#define BRIXEL_SPRAWDZ_PREFERENCJE_H

#include "player/player.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

// Reads tresc as the file; the messages into *komunikaty. Returns the bad lines.
inline int czytaj_z_komunikatami(const std::string &tresc, std::string *komunikaty) {
  char *bufor = nullptr;
  size_t dl = 0;
  FILE *bledy = open_memstream(&bufor, &dl);
  if (!bledy) return -1;
  int zlych = czytaj_preferencje(tresc.data(), tresc.size(), bledy);
  fclose(bledy);
  komunikaty->assign(bufor ? bufor : "", dl);
  free(bufor);
  return zlych;
}

inline std::vector<std::string> podziel_wiersze(const std::string &s) {
  std::vector<std::string> w;
  size_t od = 0;
  while (od < s.size()) {
    size_t nl = s.find('\n', od);
    if (nl == std::string::npos) nl = s.size();
    w.push_back(s.substr(od, nl - od));
    od = nl + 1;
  }
  return w;
}

// The bindings as they stand, to compare two readings.
inline std::string stan_przypisan() {
  std::string s((const char *)akcja_wejscia, sizeof akcja_wejscia);
  for (int a = 0; a < LICZBA_AKCJI; a++) s += (char)(przypisana_klawiatura[a] * 2 + przypisany_pad[a]);
  return s;
}

inline std::string sprawdz_preferencje(const uint8_t *dane, size_t n) {
  const std::string tresc((const char *)dane, n);
  std::string komunikaty;
  int zlych = czytaj_z_komunikatami(tresc, &komunikaty);
  size_t wierszy = podziel_wiersze(tresc).size();
  std::set<long> numery;
  for (const std::string &k : podziel_wiersze(komunikaty)) {
    const char *p = "preferences.cfg:", *koniec = "; the line is left out";
    if (k.compare(0, strlen(p), p) != 0 || k.size() < strlen(koniec) ||
        k.compare(k.size() - strlen(koniec), std::string::npos, koniec) != 0)
      return "message out of form: " + k;
    long nr = strtol(k.c_str() + strlen(p), nullptr, 10);
    if (nr < 1 || (size_t)nr > wierszy || !numery.insert(nr).second) return "message with a wrong line number: " + k;
  }
  if ((int)numery.size() != zlych) return "bad lines counted " + std::to_string(zlych) + ", messages " + std::to_string(numery.size());
  if (okno_z_preferencji < -1 || okno_z_preferencji > 1) return "window value " + std::to_string(okno_z_preferencji);

  // What the pad's controls stand for by default, as the pad gives them.
  const int pad_domyslnie[LICZBA_WEJSC - WEJSCIE_PADA] = {
      1 << AKCJA_WYBOR | 1 << AKCJA_TAK | 1 << AKCJA_GORA, 1 << AKCJA_WSTECZ,
      1 << AKCJA_WYBOR | 1 << AKCJA_TAK | 1 << AKCJA_PAUZA, 1 << AKCJA_WSTECZ,
      1 << AKCJA_GORA, 1 << AKCJA_DOL, 1 << AKCJA_LEWO, 1 << AKCJA_PRAWO, 0, 0};
  bool ma_klawisz[LICZBA_AKCJI] = {}, ma_pad[LICZBA_AKCJI] = {};
  for (int k = 0; k < LICZBA_WEJSC; k++) {
    int a = akcja_wejscia[k];
    if (a == -1) continue;
    if (a < 0 || a >= LICZBA_AKCJI) return "input " + std::to_string(k) + " bound to " + std::to_string(a);
    if (k == SDLK_F11 || k == SDLK_F2) return "a window or best-games key bound";
    bool pad = k >= WEJSCIE_PADA;
    (pad ? ma_pad : ma_klawisz)[a] = true;
    int domyslne = pad ? pad_domyslnie[k - WEJSCIE_PADA] : 0;
    for (int b = 0; b < LICZBA_AKCJI; b++)
      if (!pad && klawisz_akcji[b] == k) domyslne |= 1 << b;
    for (int b = 0; b < LICZBA_AKCJI; b++)
      if (b != a && (domyslne >> b & 1) && !(pad ? przypisany_pad : przypisana_klawiatura)[b])
        return "input " + std::to_string(k) + " acts for " + nazwy_akcji[a] + " and " + nazwy_akcji[b];
  }
  for (int a = 0; a < LICZBA_AKCJI; a++)
    if (ma_klawisz[a] != przypisana_klawiatura[a] || ma_pad[a] != przypisany_pad[a])
      return std::string("flags of ") + nazwy_akcji[a] + " do not match its keys";

  // The rewrite, both ways.
  const std::string przypisania = stan_przypisan();
  for (bool w : {true, false}) {
    std::string nowa = preferencje_z_oknem(tresc, w);
    std::vector<std::string> stare = podziel_wiersze(tresc), nowe = podziel_wiersze(nowa);
    size_t rozne = 0, i = 0;
    for (; i < stare.size() && i < nowe.size(); i++)
      if (stare[i] != nowe[i]) {
        rozne++;
        std::string okno = w ? "window = yes" : "window = no";
        if (nowe[i] != okno && nowe[i] != okno + "\r") return "a line other than window's changed: " + stare[i];
      }
    if (rozne > 1 || nowe.size() < stare.size() || nowe.size() > stare.size() + 1 ||
        (nowe.size() == stare.size() + 1 && (rozne || nowe.back() != (w ? "window = yes" : "window = no"))))
      return "the rewrite did more than set the window line";
    czytaj_z_komunikatami(nowa, &komunikaty);
    if (okno_z_preferencji != (int)w) return "the rewritten file does not read back its window line";
    if (stan_przypisan() != przypisania) return "the rewritten file binds other keys";
  }
  return "";
}

#endif
