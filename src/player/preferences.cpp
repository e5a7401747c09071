// preferences.cfg, the player's file beside config.cfg. One setting a line,
// "ACTION = KEY, KEY..." or "window = yes|no"; blank lines and lines starting
// with # are comments; "ghost = yes|no" shows the ghost piece, and a ghost
// line naming keys binds the ghost's key. Keys are SDL 1.2's key names (SDL_GetKeyName) or "pad a",
// "pad b", "pad x", "pad y", "pad start", "pad back", "pad up/down/left/right",
// in any case. Keyboard keys listed for an action replace its default keys,
// pad buttons its default pad buttons; an action left out keeps both. A bad
// line (unknown action or key, a key of two actions, F11, F2, F3, F4 or F5, a repeated
// setting) gets one message naming the file and the line, and is left out; the
// rest holds. The player's settings of the options screen have lines of their
// own ("start level = 5", ustawienia/). The game rewrites only the lines of the
// settings it changes, through the crash-safe writer of config.cfg, keeping
// every other line byte for byte.
#include "player/player.h"
#include "ghost/ghost.h"
#include "shell/shell.h"
#include "ustawienia/ustawienia.h"

#include <cctype>
#include <cstring>
#include <vector>

const char *const PLIK_PREFERENCJI = "preferences.cfg";
const char *const nazwy_akcji[LICZBA_AKCJI] = {"up",     "down", "left",  "right", "choose",
                                               "back",   "pause", "yes",  "no",    "ghost"};
const int klawisz_akcji[LICZBA_AKCJI] = {KLAWISZ_GORA,   KLAWISZ_DOL, KLAWISZ_LEWO,
                                         KLAWISZ_PRAWO,  KLAWISZ_RETURN, KLAWISZ_ESCAPE,
                                         KLAWISZ_P,      KLAWISZ_Y,   KLAWISZ_N, KLAWISZ_DUCHA};
signed char akcja_wejscia[LICZBA_WEJSC];
// Nothing is bound before the file is read.
static const bool bez_przypisan = (memset(akcja_wejscia, -1, sizeof akcja_wejscia), true);
bool przypisana_klawiatura[LICZBA_AKCJI], przypisany_pad[LICZBA_AKCJI];
int okno_z_preferencji = -1;
int duch_z_preferencji = -1;

// The pad's controls by name, in the order of the pad's control enum, and the
// actions each one stands for by default (in the menu, in a game or after it).
const char *const nazwy_pada[LICZBA_WEJSC - WEJSCIE_PADA] = {
    "pad a", "pad b", "pad start", "pad back", "pad up", "pad down", "pad left", "pad right", "pad x", "pad y"};
static const int domyslne_pada[LICZBA_WEJSC - WEJSCIE_PADA] = {
    1 << AKCJA_WYBOR | 1 << AKCJA_TAK | 1 << AKCJA_GORA,
    1 << AKCJA_WSTECZ,
    1 << AKCJA_WYBOR | 1 << AKCJA_TAK | 1 << AKCJA_PAUZA,
    1 << AKCJA_WSTECZ,
    1 << AKCJA_GORA, 1 << AKCJA_DOL, 1 << AKCJA_LEWO, 1 << AKCJA_PRAWO, 1 << AKCJA_DUCH, 0};

// The largest file read; a longer one is read this far.
static const size_t NAJWIEKSZY_PLIK = 65536;

int akcja_klawisza(int klawisz) {
  for (int a = 0; a < LICZBA_AKCJI; a++)
    if (klawisz_akcji[a] == klawisz) return a;
  return -1;
}

std::string uproszczone(const std::string &s) {
  std::string w;
  for (char c : s) {
    if (c == ' ' || c == '\t' || c == '\r') {
      if (!w.empty() && w.back() != ' ') w += ' ';
    } else {
      w += (char)tolower((unsigned char)c);
    }
  }
  if (!w.empty() && w.back() == ' ') w.pop_back();
  return w;
}

// The input a key's name names; -1 for none.
static int wejscie_nazwy(const std::string &nazwa) {
  for (int p = 0; p < LICZBA_WEJSC - WEJSCIE_PADA; p++)
    if (nazwa == nazwy_pada[p]) return WEJSCIE_PADA + p;
  // SDL's names, simplified once (SDL names the keys once its video has started).
  static std::vector<std::string> nazwy;
  if (nazwy.empty())
    for (int k = 0; k < SDLK_LAST; k++) {
      const char *n = k ? SDL_GetKeyName((SDLKey)k) : nullptr;
      nazwy.push_back(n && strcmp(n, "unknown key") != 0 ? uproszczone(n) : "");
    }
  for (int k = 1; k < SDLK_LAST; k++)
    if (!nazwy[k].empty() && nazwy[k] == nazwa) return k;
  return -1;
}

// The setting's name of a line ("" for a comment or a blank line); *wartosc
// gets the rest after '=', and the name is "=" when the line has none.
static std::string nazwa_wiersza(const std::string &wiersz, std::string *wartosc) {
  std::string w = uproszczone(wiersz);
  if (w.empty() || w[0] == '#') return "";
  size_t r = wiersz.find('=');
  if (r == std::string::npos) return "=";
  if (wartosc) *wartosc = wiersz.substr(r + 1);
  return uproszczone(wiersz.substr(0, r));
}

// The setting a line sets: "window", "ghost" for a ghost line saying yes or
// no (one naming keys binds the ghost's key), "" for any other line.
static std::string ustawienie_wiersza(const std::string &wiersz) {
  std::string wartosc;
  std::string nazwa = nazwa_wiersza(wiersz, &wartosc);
  if (nazwa == "window") return nazwa;
  std::string v = uproszczone(wartosc);
  return nazwa == "ghost" && (v == "yes" || v == "no") ? nazwa : "";
}

// The file's lines without their '\n'.
static std::vector<std::string> wiersze(const char *tresc, size_t n) {
  std::vector<std::string> w;
  size_t poczatek = 0;
  for (size_t i = 0; i <= n; i++)
    if (i == n || tresc[i] == '\n') {
      if (i < n || i > poczatek) w.emplace_back(tresc + poczatek, i - poczatek);
      poczatek = i + 1;
    }
  return w;
}

static void zly_wiersz(FILE *bledy, int nr, const std::string &powod) {
  fprintf(bledy, "%s:%d: %s; the line is left out\n", PLIK_PREFERENCJI, nr, powod.c_str());
}

int czytaj_preferencje(const char *tresc, size_t n, FILE *bledy) {
  memset(akcja_wejscia, -1, sizeof akcja_wejscia);
  memset(przypisana_klawiatura, 0, sizeof przypisana_klawiatura);
  memset(przypisany_pad, 0, sizeof przypisany_pad);
  okno_z_preferencji = duch_z_preferencji = -1;
  zacznij_ustawienia();
  int wiersz_akcji[LICZBA_AKCJI] = {};   // the line that bound each action; 0 none
  int wiersz_okna = 0, wiersz_ducha = 0;
  int zlych = 0;
  std::vector<std::string> w = wiersze(tresc, n);
  for (size_t i = 0; i < w.size(); i++) {
    int nr = (int)i + 1;
    std::string wartosc;
    std::string nazwa = nazwa_wiersza(w[i], &wartosc);
    if (nazwa.empty()) continue;
    zlych++;   // until the line is taken
    if (nazwa == "=") {
      zly_wiersz(bledy, nr, "no '=' (write ACTION = KEY, KEY... or window = yes)");
      continue;
    }
    if (nazwa == "window") {
      std::string v = uproszczone(wartosc);
      if (wiersz_okna) zly_wiersz(bledy, nr, "window is already set at line " + std::to_string(wiersz_okna));
      else if (v != "yes" && v != "no") zly_wiersz(bledy, nr, "window must be yes or no, not \"" + v + "\"");
      else {
        okno_z_preferencji = v == "yes";
        wiersz_okna = nr;
        zlych--;
      }
      continue;
    }
    if (ustawienie_wiersza(w[i]) == "ghost") {
      if (wiersz_ducha) zly_wiersz(bledy, nr, "ghost is already set at line " + std::to_string(wiersz_ducha));
      else {
        duch_z_preferencji = uproszczone(wartosc) == "yes";
        wiersz_ducha = nr;
        zlych--;
      }
      continue;
    }
    if (int r = wiersz_ustawien(nazwa, wartosc, nr, bledy)) { zlych -= r > 0; continue; }
    int a = 0;
    while (a < LICZBA_AKCJI && nazwa != nazwy_akcji[a]) a++;
    if (a == LICZBA_AKCJI) {
      zly_wiersz(bledy, nr, "unknown action \"" + nazwa +
                                "\" (the actions are up, down, left, right, choose, back, pause, yes, no, ghost; "
                                "and window, start level, prefilled rows, density, music volume, sound volume)");
      continue;
    }
    if (wiersz_akcji[a]) {
      zly_wiersz(bledy, nr, nazwa + " is already bound at line " + std::to_string(wiersz_akcji[a]));
      continue;
    }
    // The line's keys, all good or the line is left out.
    std::vector<int> klawisze;
    std::string powod;
    size_t od = 0;
    while (powod.empty()) {
      size_t przecinek = wartosc.find(',', od);
      std::string klucz = uproszczone(wartosc.substr(od, przecinek == std::string::npos ? std::string::npos : przecinek - od));
      int k = wejscie_nazwy(klucz);
      if (klucz.empty()) powod = "a key is missing (write " + nazwa + " = KEY, KEY...)";
      else if (k == SDLK_F11) powod = "f11 switches between full screen and a window and cannot be bound";
      else if (k == SDLK_F2) powod = "f2 shows the best games in the menu and cannot be bound";
      else if (k == SDLK_F3) powod = "f3 lets the computer play in the menu and cannot be bound";
      else if (k == SDLK_F4) powod = "f4 opens the versus screen in the menu and cannot be bound";
      else if (k == SDLK_F5) powod = "f5 opens the player options in the menu and cannot be bound";
      else if (k < 0) powod = "unknown key \"" + klucz + "\" (keys are named as SDL names them, e.g. a, space, left, [4], or pad a)";
      else if (akcja_wejscia[k] >= 0)
        powod = "\"" + klucz + "\" is already bound to " + nazwy_akcji[akcja_wejscia[k]] + " at line " +
                std::to_string(wiersz_akcji[akcja_wejscia[k]]);
      else klawisze.push_back(k);
      if (przecinek == std::string::npos) break;
      od = przecinek + 1;
    }
    if (!powod.empty()) {
      zly_wiersz(bledy, nr, powod);
      continue;
    }
    for (int k : klawisze) {
      akcja_wejscia[k] = (signed char)a;
      (k < WEJSCIE_PADA ? przypisana_klawiatura : przypisany_pad)[a] = true;
    }
    wiersz_akcji[a] = nr;
    zlych--;
  }

  // A bound key that is still the default key of an action the file leaves
  // with its defaults would act twice: its line is left out, until none is.
  for (bool zmiana = true; zmiana;) {
    zmiana = false;
    for (int k = 0; k < LICZBA_WEJSC && !zmiana; k++) {
      int a = akcja_wejscia[k];
      if (a < 0) continue;
      int domyslne = k < WEJSCIE_PADA ? (akcja_klawisza(k) >= 0 ? 1 << akcja_klawisza(k) : 0)
                                      : domyslne_pada[k - WEJSCIE_PADA];
      for (int b = 0; b < LICZBA_AKCJI && !zmiana; b++) {
        bool wolny = k < WEJSCIE_PADA ? przypisana_klawiatura[b] : przypisany_pad[b];
        // The ghost's G and pad X came after files binding them were written:
        // they yield to any other binding instead.
        if (b == a || b == AKCJA_DUCH || !(domyslne >> b & 1) || wolny) continue;
        std::string nazwa = k < WEJSCIE_PADA ? uproszczone(SDL_GetKeyName((SDLKey)k)) : nazwy_pada[k - WEJSCIE_PADA];
        zly_wiersz(bledy, wiersz_akcji[a],
                   "\"" + nazwa + "\" is still a key of " + nazwy_akcji[b] + "; bind " + nazwy_akcji[b] +
                       " to other keys too");
        zlych++;
        for (int j = 0; j < LICZBA_WEJSC; j++)
          if (akcja_wejscia[j] == a) akcja_wejscia[j] = -1;
        przypisana_klawiatura[a] = przypisany_pad[a] = false;
        wiersz_akcji[a] = 0;
        zmiana = true;
      }
    }
  }
  return zlych;
}

// The file's contents, at most NAJWIEKSZY_PLIK bytes (*caly false when it has
// more); false when it cannot be read, *jest telling whether it is there.
static bool tresc_pliku(std::string *tresc, bool *jest, bool *caly) {
  FILE *f = fopen(PLIK_PREFERENCJI, "rb");
  *jest = f != nullptr;
  *caly = true;
  if (!f) return false;
  tresc->assign(NAJWIEKSZY_PLIK, '\0');
  size_t n = fread(&(*tresc)[0], 1, NAJWIEKSZY_PLIK, f);
  bool dobrze = !ferror(f);
  tresc->resize(n);
  if (dobrze && n == NAJWIEKSZY_PLIK && fgetc(f) != EOF) *caly = false;
  fclose(f);
  return dobrze;
}

void wczytaj_preferencje() {
  std::string tresc;
  bool jest, caly;
  if (!tresc_pliku(&tresc, &jest, &caly)) {
    czytaj_preferencje("", 0, stderr);
    if (jest) fprintf(stderr, "Cannot read %s; the default keys hold.\n", PLIK_PREFERENCJI);
    return;
  }
  if (!caly) fprintf(stderr, "%s: longer than %zu bytes; only those are read\n", PLIK_PREFERENCJI, NAJWIEKSZY_PLIK);
  czytaj_preferencje(tresc.data(), tresc.size(), stderr);
  duch_wlaczony = duch_z_preferencji == 1;
}

std::string preferencje_z_ustawieniem(const std::string &tresc, const char *nazwa, bool tak) {
  const std::string wiersz_ustawienia = std::string(nazwa) + (tak ? " = yes" : " = no");
  std::vector<std::string> w = wiersze(tresc.data(), tresc.size());
  std::string wynik;
  bool zmieniony = false;
  for (const std::string &s : w) {
    bool ten = !zmieniony && ustawienie_wiersza(s) == nazwa;
    // A line ended with "\r\n" keeps its ending.
    if (ten) wynik += wiersz_ustawienia + (!s.empty() && s.back() == '\r' ? "\r" : "");
    else wynik += s;
    zmieniony = zmieniony || ten;
    wynik += '\n';
  }
  // A last line without its '\n' stays so; a line added goes after it.
  if (!tresc.empty() && tresc.back() != '\n') wynik.pop_back();
  if (!zmieniony) wynik += (wynik.empty() || wynik.back() == '\n' ? "" : "\n") + wiersz_ustawienia + "\n";
  return wynik;
}

bool zapisz_ustawienie_w_preferencjach(const char *nazwa, bool tak) {
  std::string tresc;
  bool jest, caly;
  // A file that is there but cannot be read whole is not written over.
  if ((!tresc_pliku(&tresc, &jest, &caly) && jest) || !caly) return false;
  std::string nowa = preferencje_z_ustawieniem(tresc, nazwa, tak);
  return zapisz_plik_atomowo(PLIK_PREFERENCJI, nowa.data(), (int)nowa.size());
}
