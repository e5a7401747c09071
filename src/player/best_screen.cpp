// The screen of best games, over the menu's scene in place of the main menu's
// lines. F2 in the main menu (a pad's Y stands for it there) opens it on the
// table of the mode chosen in the options; Up and Down choose an entry, Return
// watches its recording, Escape (a pad's B or Back) goes back, as its last two
// lines say. Every line stands on a dark backing of its letters' shape. While it is
// shown the pass's keys are the screen's alone: the menu under it never sees
// them. A key acts on its press; keys held as the screen opens or comes back
// from a replay wait for their release.
#include "player/player.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"
#include "ustawienia/ustawienia.h"
#include "wideo/wideo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

bool ekran_najlepszych = false;

static Tabela tabela;              // as read when the screen opened
static int tryb = TRYB_ZWYKLY;     // the mode shown
static int wybrany = 0;            // entry under the cursor
static bool f2_trzymany = false;   // F2 held since it last acted
static bool czeka = false;         // the screen's keys wait for all of them to be up
static const char *uwaga = nullptr;   // a line in place of the date, for a while
static int uwaga_przebiegi = 0;

static const int KLAWISZ_EKRANU = SDLK_F2;

static void otworz_ekran() {
  tabela = wczytaj_tabele();
  tryb = klasyczny ? TRYB_KLASYCZNY : TRYB_ZWYKLY;
  wybrany = 0;
  uwaga = nullptr;
  ekran_najlepszych = true;
  czeka = true;
  graj(SMP_ROTATE);
}

void powrot_na_ekran() {
  ekran_najlepszych = true;
  czeka = true;
}

// Return on an entry: its recording read and watched, or a line saying why not.
static void obejrzyj(const WpisTabeli &w) {
  std::string blad;
  Nagranie n;
  uwaga_przebiegi = 300;
  int odczyt = w.nagranie.empty() ? 1 : wczytaj_nagranie(w.nagranie.c_str(), &n, &blad);
  if (odczyt == 1) {
    uwaga = "NO RECORDING";
    return;
  }
  if (odczyt != 0 || !zacznij_odtwarzanie(n, false)) {
    fprintf(stderr, "brixel: %s cannot be replayed: %s\n", w.nagranie.c_str(),
            blad.empty() ? "its game state is damaged" : blad.c_str());
    uwaga = "BAD RECORDING";
    return;
  }
  uwaga = nullptr;
  ekran_najlepszych = false;
}

// V on an entry: its game saved as a video (wideo/), or a line saying why not.
static std::string uwaga_wideo;
static void zapisz_wideo(const WpisTabeli &w) {
  uwaga_wideo = wideo_z_tabeli(w);
  uwaga_przebiegi = 300;
  uwaga = uwaga_wideo.empty() ? nullptr : uwaga_wideo.c_str();
  if (uwaga_wideo.empty()) ekran_najlepszych = false;
}

bool klawisze_ekranu(Uint8 *k) {
  bool f2 = k[KLAWISZ_EKRANU] != 0;
  bool f2_nowy = f2 && !f2_trzymany;
  f2_trzymany = f2;
  if (!gameini) {
    ekran_najlepszych = false;
    return false;
  }
  if (!ekran_najlepszych) {
    if (menu || !f2_nowy) return false;
    otworz_ekran();
    memset(k, 0, SDLK_LAST);
    return true;
  }
  const auto &wpisy = tabela.wpisy[tryb];
  int ile = (int)wpisy.size();
  bool gora = k[KLAWISZ_GORA], dol = k[KLAWISZ_DOL], ret = k[KLAWISZ_RETURN], esc = k[KLAWISZ_ESCAPE];
  bool v = k[SDLK_v];
  if (czeka) {
    czeka = gora || dol || ret || esc || v;
  } else if (esc) {
    ekran_najlepszych = false;
    graj(SMP_ROTATE);
  } else if ((gora || dol) && ile > 0) {
    wybrany = (wybrany + (dol ? 1 : ile - 1)) % ile;
    czeka = true;
    graj(SMP_ROTATE);
  } else if (ret && wybrany < ile) {
    czeka = true;
    obejrzyj(wpisy[wybrany]);
  } else if (v && wybrany < ile) {
    czeka = true;
    zapisz_wideo(wpisy[wybrany]);
  }
  memset(k, 0, SDLK_LAST);
  return true;
}

// The columns of the entries, and the heading that names them.
static const char *const FORMA_WPISU = "%2d%s%6d %3d %4d";
static const char *const NAGLOWEK = " #  SCORE LVL ROWS";

// A game started above level 1 or on pre-filled rows: its date and its start
// on two half-size lines in the date's place.
static bool pokaz_start(int x, int y, const char *data, const WpisTabeli &w) {
  if (w.poziom_startu <= 1 && w.wiersze_startu <= 0) return false;
  char start[80];
  snprintf(start, sizeof start, "start: level %d, %d pre-filled rows", w.poziom_startu, w.wiersze_startu);
  maly_napis(x, y + 17, data, 0.5f, 1.0f, 1.0f, 0.0f);
  maly_napis(x, y, start, 0.5f, 1.0f, 1.0f, 0.0f);
  return true;
}

bool napisy_najlepszych() {
  if (!ekran_najlepszych) return false;
  std::string u = wideo_uwaga();
  if (!u.empty()) {
    uwaga_wideo = u;
    uwaga = uwaga_wideo.c_str();
    uwaga_przebiegi = 1200;
  }
  int w2 = width / 2, h2 = height / 2;
  // Ten entries 30 pixels apart, closer on a low screen so that the date and
  // the keys fit under them.
  int odstep = std::min(30, (h2 + 86 - 110) / 9);
  int pod_wpisami = h2 + 86 - 9 * odstep;   // the last entry's line
  int dx, dy;
  krok_drgania(&dx, &dy);
  glColor3f(1.0f, 1.0f, 0.0f);
  napis_na_podkladzie(w2 - 224 + dx, h2 + 196 + dy, ". BEST GAMES '", 1);
  napis_na_podkladzie(w2 - 192, h2 + 156, tryb == TRYB_KLASYCZNY ? "CLASSIC MODE" : "NORMAL GAME", 0);
  glColor3f(1.0f, 0.4f, 0.8f);
  napis_na_podkladzie(w2 - 300, h2 + 116, NAGLOWEK, 0);
  const auto &wpisy = tabela.wpisy[tryb];
  if (wpisy.empty()) {
    glColor3f(1.0f, 0.85f, 0.0f);
    napis_na_podkladzie(w2 - 192, h2 + 60, "NO GAMES YET", 0);
  }
  for (int i = 0; i < (int)wpisy.size(); i++) {
    const WpisTabeli &w = wpisy[i];
    char linia[64];
    // A star after the rank marks a game of glass mode.
    snprintf(linia, sizeof linia, FORMA_WPISU, i + 1, w.szklo ? "*" : " ", w.wynik, w.poziom, w.wiersze);
    // The chosen entry green, the others amber: the text is added to the
    // picture, and strong light colours stand out of the lit bricks best.
    if (i == wybrany) glColor3f(0.2f, 1.0f, 0.2f);
    else glColor3f(1.0f, 0.85f, 0.0f);
    napis_na_podkladzie(w2 - 300, h2 + 86 - odstep * i, linia, 0);
  }
  char linia[64] = "";
  if (uwaga && uwaga_przebiegi > 0) {
    uwaga_przebiegi--;
    snprintf(linia, sizeof linia, "%s", uwaga);
    glColor3f(1.0f, 0.2f, 0.2f);
  } else if (wybrany < (int)wpisy.size()) {
    time_t czas = (time_t)wpisy[wybrany].czas;
    struct tm czesci;
    if (localtime_r(&czas, &czesci)) strftime(linia, sizeof linia, "%Y-%m-%d %H:%M", &czesci);
    glColor3f(1.0f, 1.0f, 0.0f);
  }
  bool data = linia[0] && !(uwaga && strcmp(linia, uwaga) == 0);
  if (data && pokaz_start(w2 - 288, pod_wpisami - 34, linia, wpisy[wybrany])) linia[0] = '\0';
  if (linia[0]) napis_na_podkladzie(w2 - 288, pod_wpisami - 34, linia, 0);
  glColor3f(1.0f, 0.4f, 0.8f);
  napis_na_podkladzie(w2 - 288, pod_wpisami - 68, "RETURN/A: WATCH", 0);
  napis_na_podkladzie(w2 - 288, pod_wpisami - 100, "ESC:BACK V/X:VIDEO", 0);
  return true;
}
