// One check of the preferences.cfg reader and its rewrite on arbitrary bytes,
// shared by the fuzzer and the tests: one message per bad line, naming it; no
// key acting for two actions, none on F11 or F2 (the ghost's own G yields to
// other bindings); the rewrite of the window or the ghost line keeps every
// other line and reads back to the same bindings and the other setting.
#ifndef BRIXEL_SPRAWDZ_PREFERENCJE_H
#define BRIXEL_SPRAWDZ_PREFERENCJE_H

#include "player/player.h"
#include "shell/shell.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

// Reads tresc as the file, the messages into *komunikaty; the bad lines.
inline int czytaj_z_komunikatami(const std::string &tresc, std::string *komunikaty) {
  char *b = nullptr;
  size_t n = 0;
  FILE *f = open_memstream(&b, &n);
  int zlych = czytaj_preferencje(tresc.data(), tresc.size(), f);
  fclose(f);
  komunikaty->assign(b, n);
  free(b);
  return zlych;
}

inline std::vector<std::string> podziel_wiersze(const std::string &s) {
  std::vector<std::string> w;
  for (size_t od = 0, nl; od < s.size(); od = nl + 1) {
    nl = s.find('\n', od);
    if (nl == std::string::npos) nl = s.size();
    w.push_back(s.substr(od, nl - od));
  }
  return w;
}

inline std::string sprawdz_preferencje(const uint8_t *dane, size_t n) {
  const std::string tresc((const char *)dane, n);
  std::string k;
  int zlych = czytaj_z_komunikatami(tresc, &k);
  std::set<long> numery;
  const long wierszy = (long)podziel_wiersze(tresc).size();
  for (const std::string &m : podziel_wiersze(k)) {
    if (m.rfind("preferences.cfg:", 0) != 0 || m.size() < 22 || m.rfind("; the line is left out") != m.size() - 22)
      return "message out of form: " + m;
    long nr = strtol(m.c_str() + strlen("preferences.cfg:"), nullptr, 10);
    if (nr < 1 || nr > wierszy || !numery.insert(nr).second)
      return "message with a wrong line: " + m;
  }
  if ((int)numery.size() != zlych) return "bad lines and messages differ";
  // The keyboard: a bound key is no default key of an action left with its
  // defaults (the pad's context-dependent defaults are left to the tests).
  for (int key = 0; key < SDLK_LAST; key++) {
    int a = akcja_wejscia[key], b = akcja_klawisza(key);
    if (a >= 0 && (key == SDLK_F11 || key == SDLK_F2 || !przypisana_klawiatura[a])) return "bad binding";
    if (a >= 0 && b >= 0 && b != a && b != AKCJA_DUCH && !przypisana_klawiatura[b]) return "a key acts for two actions";
  }
  const std::string przypisania((const char *)akcja_wejscia, sizeof akcja_wejscia);
  const int okno = okno_z_preferencji, duch = duch_z_preferencji;
  for (const char *nazwa : {"window", "ghost"})
    for (bool w : {true, false}) {
      bool okna = nazwa[0] == 'w';
      std::string nowa = preferencje_z_ustawieniem(tresc, nazwa, w);
      std::vector<std::string> stare = podziel_wiersze(tresc), nowe = podziel_wiersze(nowa);
      size_t rozne = nowe.size() - stare.size();
      for (size_t i = 0; i < stare.size() && i < nowe.size(); i++)
        if (stare[i] != nowe[i]) {
          rozne++;
          if (nowe[i].rfind(std::string(nazwa) + (w ? " = yes" : " = no"), 0) != 0) return "a line changed: " + stare[i];
        }
      if (rozne != 1 && !(rozne == 0 && (okna ? okno : duch) == (int)w)) return "the rewrite changed more lines";
      czytaj_z_komunikatami(nowa, &k);
      if ((okna ? okno_z_preferencji : duch_z_preferencji) != (int)w ||
          (okna ? duch_z_preferencji : okno_z_preferencji) != (okna ? duch : okno) ||
          przypisania != std::string((const char *)akcja_wejscia, sizeof akcja_wejscia))
        return "the rewritten file reads otherwise";
    }
  return "";
}

#endif
