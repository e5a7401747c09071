// preferences.cfg as the screen rewrites it: line by line, only the lines of
// the settings it changes, and the file read as the game reads it to learn
// which lines are good and what a change would bind.
#include "ustawienia/ustawienia.h"
#include "ghost/ghost.h"
#include "player/player.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

// The key of a line as z_wierszem names it; "" for comments and lines without '='.
static std::string klucz_wiersza(const std::string &wiersz) {
  std::string w = uproszczone(wiersz);
  size_t r = wiersz.find('=');
  if (w.empty() || w[0] == '#' || r == std::string::npos) return "";
  std::string nazwa = uproszczone(wiersz.substr(0, r)), wartosc = uproszczone(wiersz.substr(r + 1));
  if (nazwa == "ghost") return wartosc == "yes" || wartosc == "no" ? "ghost" : "ghost key";
  return nazwa;
}

std::string numery_blednych(const std::string &komunikaty) {
  std::string w = " ";
  const std::string przed = std::string(PLIK_PREFERENCJI) + ":";
  for (size_t p = 0; (p = komunikaty.find(przed, p)) != std::string::npos; p += przed.size())
    if (p == 0 || komunikaty[p - 1] == '\n') w += std::to_string(atoi(komunikaty.c_str() + p + przed.size())) + " ";
  return w;
}

std::string z_wierszem(const std::string &tekst, const std::string &klucz, const std::string &nowy,
                       const std::string &bledne) {
  std::string wynik;
  bool zmieniony = false;
  size_t p = 0;
  for (int nr = 1; p < tekst.size(); nr++) {
    size_t q = tekst.find('\n', p);
    std::string s = tekst.substr(p, q == std::string::npos ? std::string::npos : q - p);
    bool dobry = bledne.find(" " + std::to_string(nr) + " ") == std::string::npos;
    if (!zmieniony && dobry && klucz_wiersza(s) == klucz) {
      // A line ended with "\r\n" keeps its ending.
      wynik += nowy + (!s.empty() && s.back() == '\r' ? "\r" : "");
      zmieniony = true;
    } else {
      wynik += s;
    }
    if (q == std::string::npos) break;
    wynik += '\n';
    p = q + 1;
  }
  if (!zmieniony) wynik += (wynik.empty() || wynik.back() == '\n' ? "" : "\n") + nowy + "\n";
  return wynik;
}

std::string bledy_preferencji(const std::string &tekst, signed char *wynik_akcji, bool *wynik_klaw, bool *wynik_pad,
                              UstawieniaGracza *wynik_ust) {
  // What the reader sets, kept and put back.
  signed char akcje[LICZBA_WEJSC];
  bool klaw[LICZBA_AKCJI], pad[LICZBA_AKCJI];
  memcpy(akcje, akcja_wejscia, sizeof akcje);
  memcpy(klaw, przypisana_klawiatura, sizeof klaw);
  memcpy(pad, przypisany_pad, sizeof pad);
  int okno = okno_z_preferencji, duch = duch_z_preferencji;
  UstawieniaGracza ust = ustawienia;
  char *bufor = nullptr;
  size_t dlugosc = 0;
  std::string komunikaty;
  if (FILE *f = open_memstream(&bufor, &dlugosc)) {
    czytaj_preferencje(tekst.data(), tekst.size(), f);
    fclose(f);
    komunikaty.assign(bufor, dlugosc);
    free(bufor);
  }
  if (wynik_akcji) memcpy(wynik_akcji, akcja_wejscia, sizeof akcje);
  if (wynik_klaw) memcpy(wynik_klaw, przypisana_klawiatura, sizeof klaw);
  if (wynik_pad) memcpy(wynik_pad, przypisany_pad, sizeof pad);
  if (wynik_ust) *wynik_ust = ustawienia;
  memcpy(akcja_wejscia, akcje, sizeof akcje);
  memcpy(przypisana_klawiatura, klaw, sizeof klaw);
  memcpy(przypisany_pad, pad, sizeof pad);
  okno_z_preferencji = okno;
  duch_z_preferencji = duch;
  ustawienia = ust;
  return komunikaty;
}

std::string nazwa_wejscia(int wejscie) {
  if (wejscie >= WEJSCIE_PADA && wejscie < LICZBA_WEJSC) return nazwy_pada[wejscie - WEJSCIE_PADA];
  if (wejscie <= 0 || wejscie >= SDLK_LAST) return "";
  return uproszczone(SDL_GetKeyName((SDLKey)wejscie));
}
