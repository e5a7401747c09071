// The recorder. A game is recorded from its first pass (the first whose keys
// are read with a game on screen) to its game over or Escape: first the whole
// state of the game that the rules and the scene go on from (the well, the
// shapes as turned, the next piece, the latches, the flying particles, the
// combo, the camera, the C library's random generator, ...), then each pass's
// key state as the rules read it, with the pause flag and the keyboard's
// unsettled count that leaving the window or re-creating it set from outside.
// Nothing but these decides a pass, so the same start and the same passes give
// the same game. After game over the recording goes on until the score has
// settled (particles and messages of the last rows may still score) or the
// player leaves; then the game is offered to the table of best games.
// A game left with Escape is dropped.
#include "player/player.h"
#include "computer/computer.h"
#include "versus/versus.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"
#include "ustawienia/ustawienia.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// ---- The state a game goes on from ----

// One named value (or array) of the state: its type, where it lives, how many,
// and the range an int must keep (the rules index tables with some of them).
struct PoleStanu {
  const char *nazwa;
  char typ;                      // 'i' int, 'b' bool, 'f' float
  void *adres;
  int ile;
  int od, do_;
};

static const int DUZO = 1 << 30;
static const PoleStanu POLA_STANU[] = {
  {"gameini", 'b', &gameini, 1, 0, 1}, {"menu", 'b', &menu, 1, 0, 1}, {"wtopa", 'b', &wtopa, 1, 0, 1},
  {"kloc", 'b', &kloc, 1, 0, 1}, {"pauza", 'i', &pauza, 1, 0, 1}, {"klasyczny", 'i', &klasyczny, 1, 0, 1},
  {"szklo", 'i', &szklo, 1, 0, 1}, {"childmode", 'b', &childmode, 1, 0, 1},
  {"studnia", 'i', studnia, STUDNIA_ROZMIAR, 0, 1}, {"klocek", 'i', klocek, 12 * 16, 0, 1},
  {"jaki", 'i', &jaki, 1, 0, 11}, {"nastepny", 'i', &nastepny, 1, 0, 6}, {"xk", 'i', &xk, 1, -50, 50},
  {"yk", 'i', &yk, 1, -50, 50}, {"doskull", 'i', &doskull, 1, -DUZO, DUZO},
  {"czyskull", 'b', &czyskull, 1, 0, 1}, {"rotations", 'i', &rotations, 1, -DUZO, DUZO},
  {"score", 'i', &score, 1, 0, DUZO}, {"bonusk", 'i', &bonusk, 1, 0, 3},
  {"textual", 'i', &textual, 1, -DUZO, DUZO}, {"trythat", 'i', &trythat, 1, -DUZO, DUZO},
  {"speed", 'i', &speed, 1, -DUZO, DUZO}, {"gamespeed", 'i', &gamespeed, 1, -DUZO, DUZO},
  {"level", 'i', &level, 1, -DUZO, DUZO}, {"rozwalone", 'i', &rozwalone, 1, 0, 19},
  {"calkowite", 'i', &calkowite, 1, 0, DUZO}, {"ilelinii", 'i', &ilelinii, 1, 0, DUZO},
  {"alarm", 'b', &alarm, 1, 0, 1}, {"yzbi", 'f', &yzbi, 1, 0, 0}, {"yp", 'i', &yp, 1, 0, 1},
  {"musi", 'b', &musi, 1, 0, 1}, {"dzwiek", 'i', &dzwiek, 1, 0, 5}, {"dodzwieku", 'i', &dodzwieku, 1, -DUZO, DUZO},
  {"bonuses", 'f', &bonuses, 1, 0, 0}, {"combo", 'i', &combo, 1, -DUZO, DUZO}, {"czas", 'i', &czas, 1, -DUZO, DUZO},
  {"dodajczas", 'b', &dodajczas, 1, 0, 1}, {"rekord", 'i', &rekord, 1, -DUZO, DUZO},
  {"czyrekord", 'b', &czyrekord, 1, 0, 1}, {"czyszklo", 'i', &czyszklo, 1, 0, 1},
  {"pepper", 'i', &pepper, 1, -DUZO, DUZO}, {"pa", 'i', &pa, 1, 0, 1}, {"ent", 'i', &ent, 1, 0, 1},
  {"dp", 'i', &dp, 1, 0, 1}, {"obrot", 'i', &obrot, 1, 0, 1}, {"left", 'i', &left, 1, 0, 1},
  {"right", 'i', &right, 1, 0, 1}, {"elem2", 'i', &elem2, 1, 1, 3}, {"elem", 'i', &elem, 1, 1, 8},
  {"klawiatura_niepewna", 'i', &klawiatura_niepewna, 1, 0, 3},
  {"xkula", 'f', xkula, 10, 0, 0}, {"ykula", 'f', ykula, 10, 0, 0}, {"zkula", 'f', zkula, 10, 0, 0},
  {"czykula", 'b', czykula, 10, 0, 1}, {"rozmiarkula", 'f', rozmiarkula, 10, 0, 0},
  {"yronda", 'f', &yronda, 1, 0, 0}, {"zbitenie", 'f', &zbitenie, 1, 0, 0}, {"light", 'b', &light, 1, 0, 1},
  {"lightdiffuse", 'f', LightDiffuse, 4, 0, 0}, {"xalarm", 'f', &xalarm, 1, 0, 0},
  {"strona", 'b', &strona, 1, 0, 1}, {"skull", 'f', &skull, 1, 0, 0}, {"rotatemodel", 'f', &rotatemodel, 1, 0, 0},
  {"obrotrm", 'b', &obrotrm, 1, 0, 1}, {"heading", 'f', &heading, 1, 0, 0}, {"yrot", 'f', &yrot, 1, 0, 0},
  {"sceneroty", 'f', &sceneroty, 1, 0, 0}, {"lookupdown", 'f', &lookupdown, 1, 0, 0},
  {"ruch_x", 'f', &ruch_x, 1, 0, 0}, {"ruch_y", 'f', &ruch_y, 1, 0, 0}, {"ruch_z", 'f', &ruch_z, 1, 0, 0},
  {"xtrans", 'f', &xtrans, 1, 0, 0}, {"ytrans", 'f', &ytrans, 1, 0, 0}, {"ztrans", 'f', &ztrans, 1, 0, 0},
  {"distortion", 'i', &distortion, 1, -DUZO, DUZO}, {"chaos", 'i', &chaos, 1, 0, 9},
  {"ruchpox", 'i', &ruchpox, 1, -DUZO, DUZO},
};

// The C library's generator keeps its state (glibc: 128 bytes, the first word
// its position) in a table of its own; setstate() hands out where it is. Only
// copies are taken and put back, so the numbers drawn stay those of srand().
static const int BAJTY_LOSOWANIA = 128;
static char zastepczy_stan[BAJTY_LOSOWANIA];   // holds the generator while its table is copied
static char *stan_losowania = nullptr;          // the C library's own table

static char *tablica_losowania() {
  if (!stan_losowania) {
    stan_losowania = initstate(1, zastepczy_stan, BAJTY_LOSOWANIA);
    setstate(stan_losowania);
  }
  return stan_losowania;
}

static void kopiuj_losowanie(unsigned char *kopia) {
  char *t = tablica_losowania();
  setstate(zastepczy_stan);   // writes the position into the table
  memcpy(kopia, t, BAJTY_LOSOWANIA);
  setstate(t);
}

// Whether a copy is a generator state of the same kind (the first word:
// 5 * position + 3, the position under 31).
static bool losowanie_poprawne(const unsigned char *kopia) {
  int32_t slowo;
  memcpy(&slowo, kopia, sizeof slowo);
  return slowo >= 0 && slowo % 5 == 3 && slowo / 5 < 31;
}

static void wstaw_losowanie(const unsigned char *kopia) {
  char *t = tablica_losowania();
  setstate(zastepczy_stan);
  memcpy(t, kopia, BAJTY_LOSOWANIA);
  setstate(t);
}

std::vector<std::pair<std::string, std::string>> zrzut_stanu() {
  std::vector<std::pair<std::string, std::string>> s;
  for (const PoleStanu &p : POLA_STANU) {
    std::string w;
    char liczba[48];
    for (int i = 0; i < p.ile; i++) {
      if (p.typ == 'i') snprintf(liczba, sizeof liczba, "%d", ((int *)p.adres)[i]);
      else if (p.typ == 'b') snprintf(liczba, sizeof liczba, "%d", ((bool *)p.adres)[i] ? 1 : 0);
      else snprintf(liczba, sizeof liczba, "%a", (double)((float *)p.adres)[i]);
      if (i) w += ' ';
      w += liczba;
    }
    s.push_back({p.nazwa, w});
  }
  unsigned char los[BAJTY_LOSOWANIA];
  kopiuj_losowanie(los);
  std::string w;
  for (unsigned char b : los) {
    char h[3];
    snprintf(h, sizeof h, "%02x", b);
    w += h;
  }
  s.push_back({"random", w});
  return s;
}

// The values of one field from its text, checked; false when they do not fit.
static bool wartosci_pola(const PoleStanu &p, const std::string &tekst, std::vector<double> *w) {
  const char *c = tekst.c_str();
  for (int i = 0; i < p.ile; i++) {
    if (i > 0) {
      if (*c != ' ') return false;
      c++;
    }
    if (*c == ' ' || *c == '\0') return false;
    char *koniec = nullptr;
    double v = 0;
    if (p.typ == 'f') {
      v = strtod(c, &koniec);
      if (!std::isfinite(v) || std::fabs(v) > 1e9 || (double)(float)v != v) return false;
    } else {
      long long l = strtoll(c, &koniec, 10);
      if (koniec == c || l < p.od || l > p.do_) return false;
      v = (double)l;
    }
    if (koniec == c) return false;
    c = koniec;
    w->push_back(v);
  }
  return *c == '\0';
}

static const std::string *wartosc(const std::vector<std::pair<std::string, std::string>> &stan, const char *n) {
  for (const auto &s : stan)
    if (s.first == n) return &s.second;
  return nullptr;
}

bool przywroc_stan(const std::vector<std::pair<std::string, std::string>> &stan, bool wstaw) {
  // Everything is checked before anything is set.
  const int ILE_POL = sizeof POLA_STANU / sizeof POLA_STANU[0];
  std::vector<double> wartosci[ILE_POL];
  for (int f = 0; f < ILE_POL; f++) {
    const std::string *t = wartosc(stan, POLA_STANU[f].nazwa);
    if (!t || !wartosci_pola(POLA_STANU[f], *t, &wartosci[f])) return false;
  }
  // The walls and the hidden row are full in every well.
  for (int x = 0; x < STUDNIA_KOLUMNY; x++)
    for (int y = 0; y < STUDNIA_WIERSZE; y++)
      if ((x == 0 || x == 11 || y == 0) && wartosci[8][x * STUDNIA_WIERSZE + y] != 1) return false;
  const std::string *los = wartosc(stan, "random");
  unsigned char kopia[BAJTY_LOSOWANIA];
  if (!los || los->size() != 2 * BAJTY_LOSOWANIA) return false;
  for (int i = 0; i < BAJTY_LOSOWANIA; i++) {
    unsigned v = 0;
    for (int j = 0; j < 2; j++) {
      char c = (*los)[2 * i + j];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
      if (d < 0) return false;
      v = v * 16 + (unsigned)d;
    }
    kopia[i] = (unsigned char)v;
  }
  if (!losowanie_poprawne(kopia)) return false;
  if (!wstaw) return true;
  wstaw_losowanie(kopia);
  for (int f = 0; f < ILE_POL; f++) {
    const PoleStanu &p = POLA_STANU[f];
    for (int i = 0; i < p.ile; i++) {
      double v = wartosci[f][i];
      if (p.typ == 'i') ((int *)p.adres)[i] = (int)v;
      else if (p.typ == 'b') ((bool *)p.adres)[i] = v != 0;
      else ((float *)p.adres)[i] = (float)v;
    }
  }
  // The room light is GL state: it follows the restored value.
  glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
  return true;
}

// ---- The recorder ----

// The keys the rules read, in the order of their bits in a pass's state.
static const int KLAWISZE_ZASAD[9] = {KLAWISZ_RETURN, KLAWISZ_ESCAPE, KLAWISZ_N, KLAWISZ_P, KLAWISZ_Y,
                                      KLAWISZ_GORA, KLAWISZ_DOL, KLAWISZ_PRAWO, KLAWISZ_LEWO};
// Passes a finished game is watched for its score to settle: the last
// message may end 161 passes after game over, and bring the award for twenty.
static const int PRZEBIEGI_DO_USTALENIA = 200;

static bool nagrywa = false;     // a game is being recorded
static Nagranie nagranie;        // the game being recorded
static long long po_koncu = -1;  // passes recorded since game over; -1 before it
static bool jest_ostatnie = false;
static Nagranie ostatnie;        // the last game recorded to its end

unsigned stan_pasu_z(const Uint8 *k) {
  unsigned s = 0;
  for (int b = 0; b < 9; b++)
    if (k[KLAWISZE_ZASAD[b]]) s |= 1u << b;
  if (pauza) s |= 1u << 9;
  s |= (unsigned)(klawiatura_niepewna & 3) << 10;
  return s;
}

void stan_pasu_do(unsigned s, Uint8 *k) {
  memset(k, 0, SDLK_LAST);
  for (int b = 0; b < 9; b++) k[KLAWISZE_ZASAD[b]] = (s >> b) & 1;
  pauza = (s >> 9) & 1;
  klawiatura_niepewna = (int)((s >> 10) & 3);
}

static void dopisz_pas(unsigned s) {
  if (nagranie.przebiegi >= NAJWIECEJ_PRZEBIEGOW) return;
  if (!nagranie.serie.empty() && nagranie.serie.back().stan == s) nagranie.serie.back().ile++;
  else nagranie.serie.push_back({s, 1});
  nagranie.przebiegi++;
}

static void zakoncz_nagranie() {
  nagrywa = false;
  nagranie.wynik = score;
  nagranie.poziom = level;
  nagranie.wiersze = calkowite;
  ostatnie = nagranie;
  jest_ostatnie = true;
  WpisTabeli w;
  w.wynik = score;
  w.poziom = level;
  w.wiersze = calkowite;
  w.czas = (long long)time(nullptr);
  w.szklo = nagranie.szklo;
  w.poziom_startu = poziom_startu_gry;
  w.wiersze_startu = wiersze_startu_gry;
  // A recording cut at its limit cannot replay the game to its end.
  std::string tresc = nagranie.przebiegi < NAJWIECEJ_PRZEBIEGOW ? tekst_nagrania(nagranie) : std::string();
  // A game of the computer's is kept apart from the table.
  if (!zachowaj_nagranie_komputera(tresc)) dopisz_gre(nagranie.tryb, w, tresc);
  nagranie = Nagranie();
  zapis_po_ustaleniu();
}

static void nagraj_pas(const Uint8 *k) {
  if (nagrywa) {
    if (gameini) {
      // Left with Escape while it ran: not a finished game.
      nagrywa = false;
      nagranie = Nagranie();
    } else if (wtopa) {
      // Game over: the game is finished once its score has settled, or as the
      // player leaves it (Y, N, Escape, closing the window), before this pass.
      po_koncu++;
      if (po_koncu > PRZEBIEGI_DO_USTALENIA || done || k[KLAWISZ_Y] || k[KLAWISZ_N] || k[KLAWISZ_ESCAPE]) {
        zakoncz_nagranie();
        return;
      }
    }
  }
  if (!nagrywa && !gameini && !wtopa) {
    nagrywa = true;
    po_koncu = 0;
    nagranie = Nagranie();
    nagranie.tryb = klasyczny ? TRYB_KLASYCZNY : TRYB_ZWYKLY;
    nagranie.szklo = szklo ? 1 : 0;
    nagranie.stan = zrzut_stanu();
  }
  if (nagrywa) dopisz_pas(stan_pasu_z(k));
}

int wczytaj_nagranie(const char *plik, Nagranie *n, std::string *blad) {
  std::string tresc;
  if (!czytaj_plik(plik, &tresc, 64u << 20)) return 1;
  if (!nagranie_z_tekstu(tresc, n, blad)) return 2;
  if (!przywroc_stan(n->stan, false)) {
    *blad = "its game state is damaged";
    return 2;
  }
  return 0;
}

bool biezace_nagranie(Nagranie *n) {
  if (!nagrywa) return false;
  *n = nagranie;
  n->wynik = score;
  n->poziom = level;
  n->wiersze = calkowite;
  return true;
}

bool ostatnie_nagranie(Nagranie *n) {
  if (!jest_ostatnie) return false;
  *n = ostatnie;
  return true;
}

void pas_gracza(Uint8 *k) {
  if (pas_wyscigu(k)) return;
  if (odtwarzanie) {
    pas_odtwarzania(k);
    return;
  }
  if (klawisze_ustawien(k)) return;
  if (klawisze_ekranu(k)) return;
  pas_komputera(k);
  poczatek_gry_gracza();
  nagraj_pas(k);
}
