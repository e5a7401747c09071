// The versus screen and the tally. F4 in the main menu opens it over the menu's scene: the
// computer at three strengths, then the best games of the mode the options
// choose, each with your wins and losses against it. Up and Down choose,
// Return races, Escape goes back. While shown, the pass's keys are its alone;
// keys held as it opens or comes back from a race wait for their release.
//
// versus.txt, beside config.cfg: a first line "BRIXEL versus 1", then one
// opponent a line, "WINS LOSSES NAME" (NAME easy, medium, hard or the
// recording's name in recordings/). Written through the crash-safe writer; a
// damaged file is renamed aside (versus.txt.damaged-<time>) with a line on
// standard error, and the tally starts again.
#include "versus/versus.h"
#include "ustawienia/ustawienia.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

bool ekran_versus = false;
const char *const PLIK_WYNIKOW_VERSUS = "versus.txt";

namespace {

const char *const MAGIA = "BRIXEL versus 1";
const size_t NAJWIECEJ = 1 << 20;
const char *const KLUCZE_SIL[LICZBA_SIL] = {"easy", "medium", "hard"};

Tabela tabela;
int tryb = TRYB_ZWYKLY;
int wybrany = 0;
bool f4_trzymany = false;
bool czeka = false;
const char *uwaga = nullptr;
int uwaga_przebiegi = 0;
std::vector<std::pair<std::string, Bilans>> bilans;

void odloz_uszkodzony(const char *powod) {
  char nazwa[160];
  long long teraz = (long long)time(nullptr);
  for (int i = 0; i < 100; i++) {
    if (i == 0) snprintf(nazwa, sizeof nazwa, "%s.damaged-%lld", PLIK_WYNIKOW_VERSUS, teraz);
    else snprintf(nazwa, sizeof nazwa, "%s.damaged-%lld-%d", PLIK_WYNIKOW_VERSUS, teraz, i);
    struct stat opis;
    if (lstat(nazwa, &opis) == 0) continue;
    if (rename(PLIK_WYNIKOW_VERSUS, nazwa) == 0) {
      fprintf(stderr, "brixel: %s %s; kept as %s, a new tally is started\n", PLIK_WYNIKOW_VERSUS, powod, nazwa);
      return;
    }
    break;
  }
  fprintf(stderr, "brixel: %s %s and could not be renamed aside (%s)\n", PLIK_WYNIKOW_VERSUS, powod,
          strerror(errno));
}

Bilans *znajdz(std::vector<std::pair<std::string, Bilans>> *b, const std::string &klucz) {
  for (auto &w : *b)
    if (w.first == klucz) return &w.second;
  return nullptr;
}

Bilans bilans_dla(const std::string &klucz) {
  Bilans *b = znajdz(&bilans, klucz);
  return b ? *b : Bilans();
}

int ile_pozycji() { return LICZBA_SIL + (int)tabela.wpisy[tryb].size(); }

Przeciwnik pozycja(int i) {
  Przeciwnik p;
  if (i < LICZBA_SIL) p.sila = i;
  else p.plik = tabela.wpisy[tryb][i - LICZBA_SIL].nagranie;
  return p;
}

void otworz() {
  tabela = wczytaj_tabele();
  bilans = wczytaj_bilans();
  tryb = klasyczny ? TRYB_KLASYCZNY : TRYB_ZWYKLY;
  wybrany = std::min(wybrany, ile_pozycji() - 1);
  uwaga = nullptr;
  ekran_versus = true;
  czeka = true;
  graj(SMP_ROTATE);
}

}  // namespace

std::string klucz_przeciwnika(const Przeciwnik &p) {
  return p.sila >= 0 && p.sila < LICZBA_SIL ? KLUCZE_SIL[p.sila] : p.plik;
}

bool bilans_z_tekstu(const std::string &tekst, std::vector<std::pair<std::string, Bilans>> *b) {
  b->clear();
  size_t poz = 0;
  bool pierwsza = true;
  while (poz < tekst.size()) {
    size_t kon = tekst.find('\n', poz);
    if (kon == std::string::npos) return false;   // a cut last line
    std::string linia = tekst.substr(poz, kon - poz);
    poz = kon + 1;
    if (pierwsza) {
      if (linia != MAGIA) return false;
      pierwsza = false;
      continue;
    }
    char nazwa[256];
    long long w = -1, p = -1;
    int zjete = 0;
    if (linia.size() > 250 || sscanf(linia.c_str(), "%lld %lld %255s%n", &w, &p, nazwa, &zjete) != 3 ||
        zjete != (int)linia.size() || w < 0 || p < 0 || w > 1000000000 || p > 1000000000)
      return false;
    std::string klucz = nazwa;
    bool sila = klucz == "easy" || klucz == "medium" || klucz == "hard";
    if ((!sila && !nazwa_nagrania(klucz)) || znajdz(b, klucz)) return false;
    b->push_back({klucz, Bilans{(int)w, (int)p}});
  }
  return !pierwsza;
}

std::vector<std::pair<std::string, Bilans>> wczytaj_bilans() {
  std::vector<std::pair<std::string, Bilans>> b;
  std::string tresc;
  if (!czytaj_plik(PLIK_WYNIKOW_VERSUS, &tresc, NAJWIECEJ)) {
    if (errno != ENOENT) odloz_uszkodzony(errno == EFBIG ? "is too large" : "cannot be read");
    return b;
  }
  if (!bilans_z_tekstu(tresc, &b)) {
    odloz_uszkodzony("is damaged");
    b.clear();
  }
  return b;
}

void dopisz_wynik(const std::string &klucz, bool wygrana) {
  if (klucz.empty()) return;
  std::vector<std::pair<std::string, Bilans>> b = wczytaj_bilans();
  Bilans *w = znajdz(&b, klucz);
  if (!w) {
    b.push_back({klucz, Bilans()});
    w = &b.back().second;
  }
  (wygrana ? w->wygrane : w->przegrane)++;
  std::string tresc = std::string(MAGIA) + "\n";
  for (const auto &e : b) {
    char linia[320];
    snprintf(linia, sizeof linia, "%d %d %s\n", e.second.wygrane, e.second.przegrane, e.first.c_str());
    tresc += linia;
  }
  if (!zapisz_plik_atomowo(PLIK_WYNIKOW_VERSUS, tresc.data(), (int)tresc.size()))
    fprintf(stderr, "brixel: cannot write %s: %s\n", PLIK_WYNIKOW_VERSUS, strerror(errno));
  bilans = b;
}

void powrot_do_versus() {
  otworz();
}

bool klawisze_versus(Uint8 *k) {
  bool f4 = k[SDLK_F4] != 0;
  bool f4_nowy = f4 && !f4_trzymany;
  f4_trzymany = f4;
  if (!gameini) {
    ekran_versus = false;
    return false;
  }
  if (!ekran_versus) {
    if (menu || ekran_najlepszych || ekran_ustawien || !f4_nowy) return false;
    otworz();
    memset(k, 0, SDLK_LAST);
    return true;
  }
  int ile = ile_pozycji();
  bool gora = k[KLAWISZ_GORA], dol = k[KLAWISZ_DOL], ret = k[KLAWISZ_RETURN], esc = k[KLAWISZ_ESCAPE];
  if (czeka) {
    czeka = gora || dol || ret || esc;
  } else if (esc) {
    ekran_versus = false;
    graj(SMP_ROTATE);
  } else if (gora || dol) {
    wybrany = (wybrany + (dol ? 1 : ile - 1)) % ile;
    czeka = true;
    graj(SMP_ROTATE);
  } else if (ret && wybrany < ile) {
    czeka = true;
    Przeciwnik p = pozycja(wybrany);
    if (p.sila < 0 && p.plik.empty()) {
      uwaga = "NO RECORDING";
      uwaga_przebiegi = 300;
    } else {
      ekran_versus = false;
      zacznij_z_ekranu(p);
    }
  }
  memset(k, 0, SDLK_LAST);
  return true;
}

bool napisy_versus() {
  if (!ekran_versus) return false;
  int w2 = width / 2, h2 = height / 2;
  int ile = ile_pozycji();
  // As many lines as fit above the keys, scrolled to keep the chosen one.
  const int odstep = height >= 600 ? 30 : 26;
  int widac = std::min(ile, (h2 + 90 - 110) / odstep + 1);
  int od = std::max(0, std::min(wybrany - widac / 2, ile - widac));
  int dx, dy;
  krok_drgania(&dx, &dy);
  glColor3f(1.0f, 1.0f, 0.0f);
  napis_na_podkladzie(w2 - 160 + dx, h2 + 196 + dy, ". VERSUS '", 1);
  // Eighteen letters a line, so that a line fits across a 640-pixel screen.
  int x = w2 - 288;
  napis_na_podkladzie(x, h2 + 156, tryb == TRYB_KLASYCZNY ? "CLASSIC MODE" : "NORMAL GAME", 0);
  glColor3f(1.0f, 0.4f, 0.8f);
  napis_na_podkladzie(x, h2 + 122, "   SCORE  WIN LOSS", 0);
  for (int i = od; i < od + widac; i++) {
    Przeciwnik p = pozycja(i);
    Bilans b = bilans_dla(klucz_przeciwnika(p));
    char linia[80];
    if (p.sila >= 0) {
      snprintf(linia, sizeof linia, "%-10s%4d%4d", nazwy_sil[p.sila], b.wygrane % 10000, b.przegrane % 10000);
    } else {
      const WpisTabeli &w = tabela.wpisy[tryb][i - LICZBA_SIL];
      snprintf(linia, sizeof linia, "%2d%s%7d%4d%4d", i - LICZBA_SIL + 1, w.szklo ? "*" : " ", w.wynik % 10000000,
               b.wygrane % 10000, b.przegrane % 10000);
    }
    if (i == wybrany) glColor3f(0.2f, 1.0f, 0.2f);
    else glColor3f(1.0f, 0.85f, 0.0f);
    napis_na_podkladzie(x, h2 + 90 - odstep * (i - od), linia, 0);
  }
  int pod = h2 + 90 - odstep * (widac - 1);
  if (uwaga && uwaga_przebiegi > 0) {
    uwaga_przebiegi--;
    glColor3f(1.0f, 0.2f, 0.2f);
    napis_na_podkladzie(x, pod - 32, uwaga, 0);
  }
  glColor3f(1.0f, 0.4f, 0.8f);
  napis_na_podkladzie(x, pod - 64, "RETURN: RACE", 0);
  napis_na_podkladzie(x, pod - 94, "ESC: BACK", 0);
  return true;
}
