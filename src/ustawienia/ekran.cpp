// The screen PLAYER OPTIONS, over the menu's scene in place of the main menu's
// lines, drawn as the options list is: the entry under the cursor green, the
// others blue, each on a dark backing of its letters' shape. While it is shown
// the pass's keys are the screen's alone; a key acts on its press, and keys
// held as it opens wait for their release. Volumes are heard as they change;
// everything else takes effect when Return saves.
#include "ustawienia/ustawienia.h"
#include "versus/versus.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

bool ekran_ustawien = false;

static const int KLAWISZ_EKRANU = SDLK_F5;
enum { W_POZIOM, W_WIERSZE, W_GESTOSC, W_MUZYKA, W_DZWIEKI, W_DUCH, W_OKNO, W_KLAWISZE, LICZBA_POZYCJI };
static const int DOMYSLNE_KLAWISZE = LICZBA_AKCJI;   // the key list's last line

static bool f5_trzymany = false;
static bool czeka = false;              // the screen's keys wait for all of them to be up
static bool po_wyjsciu = false;         // closed: the key that closed it is held away from the menu
static int wybrany = 0;                 // entry of the list under the cursor
static bool lista_klawiszy = false;     // the key list is shown
static int wybrana_akcja = 0;
static int przypisywana = -1;           // the action waiting for its key; -1 none
static bool puszczone = false;          // every input was up since the wait began

static UstawieniaGracza robocze;        // as the screen shows them
static UstawieniaGracza przy_otwarciu;  // as they were when it opened
static bool duch_r, okno_r;
static std::string tekst_pliku, roboczy;   // preferences.cfg as read, and with the screen's key changes
static bool plik_czytelny = true;          // the file could be read whole, so it may be written
static signed char akcje_r[LICZBA_WEJSC];  // what roboczy binds
static bool klaw_r[LICZBA_AKCJI], pad_r[LICZBA_AKCJI];
static std::string uwaga;               // a refusal or a failure, for a while
static int uwaga_przebiegi = 0;

static Uint8 surowe_klawisze[SDLK_LAST];
static int nowa_kontrolka = -1;

void surowa_klawiatura(const Uint8 *surowe, int ile) {
  memset(surowe_klawisze, 0, sizeof surowe_klawisze);
  memcpy(surowe_klawisze, surowe, (size_t)std::max(0, std::min(ile, (int)SDLK_LAST)));
}

void kontrolka_wcisnieta(int kontrolka) {
  if (kontrolka >= 0 && kontrolka < LICZBA_WEJSC - WEJSCIE_PADA) nowa_kontrolka = kontrolka;
}

static void powiedz(const std::string &s) {
  uwaga = s;
  uwaga_przebiegi = 600;
}

static void przelicz_klawisze() { bledy_preferencji(roboczy, akcje_r, klaw_r, pad_r); }

static void otworz_ekran() {
  tekst_pliku.clear();
  FILE *f = fopen(PLIK_PREFERENCJI, "rb");
  plik_czytelny = !f || czytaj_plik(PLIK_PREFERENCJI, &tekst_pliku, 65536);
  if (f) fclose(f);
  roboczy = tekst_pliku;
  przy_otwarciu = robocze = ustawienia;
  duch_r = duch_wlaczony;
  okno_r = w_oknie;
  przelicz_klawisze();
  wybrany = 0;
  lista_klawiszy = false;
  przypisywana = -1;
  uwaga.clear();
  ekran_ustawien = true;
  czeka = true;
  graj(SMP_ROTATE);
}

static void zmien(int o) {
  auto krok = [o](int *v, int od, int do_) { *v = std::max(od, std::min(do_, *v + o)); };
  switch (wybrany) {
    case W_POZIOM: krok(&robocze.poziom, 1, NAJWYZSZY_POZIOM_STARTU); break;
    case W_WIERSZE: krok(&robocze.wiersze, 0, NAJWIECEJ_WIERSZY); break;
    case W_GESTOSC: krok(&robocze.gestosc, 1, NAJWIEKSZA_GESTOSC); break;
    case W_MUZYKA: krok(&robocze.muzyka, 0, NAJGLOSNIEJ); break;
    case W_DZWIEKI: krok(&robocze.dzwieki, 0, NAJGLOSNIEJ); break;
    case W_DUCH: duch_r = !duch_r; break;
    case W_OKNO: okno_r = !okno_r; break;
    case W_KLAWISZE: lista_klawiszy = true; wybrana_akcja = 0; break;
  }
  // Heard at once: the music follows, the sound of the change is at the new volume.
  if (wybrany == W_MUZYKA || wybrany == W_DZWIEKI) ustaw_glosnosc(robocze.muzyka, robocze.dzwieki);
  graj(SMP_ROTATE);
}

// Return: the changed settings written, then put in force.
static void zapisz() {
  std::string nowy = roboczy;
  const int *po[5] = {&robocze.poziom, &robocze.wiersze, &robocze.gestosc, &robocze.muzyka, &robocze.dzwieki};
  const int *przed[5] = {&przy_otwarciu.poziom, &przy_otwarciu.wiersze, &przy_otwarciu.gestosc,
                         &przy_otwarciu.muzyka, &przy_otwarciu.dzwieki};
  for (int i = 0; i < 5; i++)
    if (*po[i] != *przed[i])
      nowy = z_wierszem(nowy, NAZWY_USTAWIEN[i], wiersz_ustawienia(NAZWY_USTAWIEN[i], *po[i]),
                        numery_blednych(bledy_preferencji(nowy)));
  if (nowy != tekst_pliku) {
    if (!plik_czytelny || !zapisz_plik_atomowo(PLIK_PREFERENCJI, nowy.data(), (int)nowy.size())) {
      fprintf(stderr, "Cannot write %s; the player options are not saved.\n", PLIK_PREFERENCJI);
      powiedz("CANNOT WRITE preferences.cfg; nothing is saved");
      czeka = true;
      return;
    }
    // The file read again as at the start: its bad lines are reported as ever.
    czytaj_preferencje(nowy.data(), nowy.size(), stderr);
  }
  ustawienia = robocze;
  ustaw_glosnosc(robocze.muzyka, robocze.dzwieki);
  po_wyjsciu = true;
  // The same switches as G and F11, with their own lines.
  if (duch_r != duch_wlaczony) przelacz_ducha();
  ekran_ustawien = false;
  graj(SMP_ROTATE);
  if (okno_r != w_oknie) przelacz_okno();
}

static void wyjdz_bez_zapisu() {
  ustaw_glosnosc(przy_otwarciu.muzyka, przy_otwarciu.dzwieki);
  ekran_ustawien = false;
  po_wyjsciu = true;
  graj(SMP_ROTATE);
}

// The line binding akcja with the input added to it: a key replaces its
// keyboard keys, a pad button its pad buttons; the other kind stays as bound.
static std::string wiersz_akcji(int akcja, int wejscie) {
  std::string w = std::string(nazwy_akcji[akcja]) + " =";
  bool pierwszy = true;
  bool klawisz = wejscie < WEJSCIE_PADA;
  for (int i = 1; i < LICZBA_WEJSC; i++) {
    bool tego = i == wejscie;
    bool pad = i >= WEJSCIE_PADA;
    bool zostaje = akcje_r[i] == akcja && (klawisz ? pad && pad_r[akcja] : !pad && klaw_r[akcja]);
    if (!tego && !zostaje) continue;
    w += (pierwszy ? " " : ", ") + nazwa_wejscia(i);
    pierwszy = false;
  }
  return w;
}

// The reader's message without the file and line before it and the end after.
static std::string powod_z(const std::string &komunikat) {
  std::string s = komunikat;
  size_t d = s.find(": ");
  if (d != std::string::npos) s = s.substr(d + 2);
  size_t k = s.find("; the line is left out");
  if (k != std::string::npos) s = s.substr(0, k);
  return s;
}

static void przypisz(int akcja, int wejscie) {
  std::string nazwa = nazwa_wejscia(wejscie);
  if (nazwa.empty() || nazwa.find(',') != std::string::npos || nazwa == "unknown key") {
    powiedz("this key has no name preferences.cfg can hold");
    graj(SMP_DELETE);
    return;
  }
  std::string klucz = akcja == AKCJA_DUCH ? "ghost key" : nazwy_akcji[akcja];
  std::string stare = bledy_preferencji(roboczy);
  std::string nowy = z_wierszem(roboczy, klucz, wiersz_akcji(akcja, wejscie), numery_blednych(stare));
  std::string bledy = bledy_preferencji(nowy);
  // Refused when the reader refuses a line it took before: its first new message says why.
  size_t p = 0;
  while (p < bledy.size()) {
    size_t q = bledy.find('\n', p);
    std::string m = bledy.substr(p, q - p);
    if (stare.find(m) == std::string::npos) {
      powiedz(powod_z(m));
      graj(SMP_DELETE);
      return;
    }
    if (q == std::string::npos) break;
    p = q + 1;
  }
  roboczy = nowy;
  przelicz_klawisze();
  uwaga.clear();
  graj(SMP_ROTATE);
}

static void domyslne_klawisze() {
  for (int a = 0; a < LICZBA_AKCJI; a++) {
    if (!klaw_r[a] && !pad_r[a]) continue;
    std::string klucz = a == AKCJA_DUCH ? "ghost key" : nazwy_akcji[a];
    roboczy = z_wierszem(roboczy, klucz, std::string(nazwy_akcji[a]) + " = " + nazwa_wejscia(klawisz_akcji[a]),
                         numery_blednych(bledy_preferencji(roboczy)));
  }
  przelicz_klawisze();
  powiedz("default keys (saved with RETURN)");
  graj(SMP_ROTATE);
}

// Waiting for the key to bind: the first key or pad button pressed once every
// one was up; Escape cancels.
static void czekaj_na_klawisz() {
  bool cos = nowa_kontrolka >= 0;
  int klawisz = -1;
  for (int i = 1; i < SDLK_LAST && klawisz < 0; i++)
    if (surowe_klawisze[i]) klawisz = i;
  cos = cos || klawisz >= 0;
  if (!puszczone) {
    puszczone = !cos;
    nowa_kontrolka = -1;
    return;
  }
  if (klawisz == SDLK_ESCAPE) {
    przypisywana = -1;
    czeka = true;
    graj(SMP_ROTATE);
  } else if (klawisz >= 0 || nowa_kontrolka >= 0) {
    int a = przypisywana;
    przypisywana = -1;
    czeka = true;
    przypisz(a, klawisz >= 0 ? klawisz : WEJSCIE_PADA + nowa_kontrolka);
  }
  nowa_kontrolka = -1;
}

bool klawisze_ustawien(Uint8 *k) {
  bool f5 = k[KLAWISZ_EKRANU] != 0;
  bool f5_nowy = f5 && !f5_trzymany;
  f5_trzymany = f5;
  if (!gameini) {
    if (ekran_ustawien) wyjdz_bez_zapisu();
    po_wyjsciu = false;
    return false;
  }
  bool gora = k[KLAWISZ_GORA], dol = k[KLAWISZ_DOL], lewo = k[KLAWISZ_LEWO], prawo = k[KLAWISZ_PRAWO];
  bool ret = k[KLAWISZ_RETURN], esc = k[KLAWISZ_ESCAPE];
  if (!ekran_ustawien && po_wyjsciu) {
    // The Return that saved must not start a game in the menu.
    po_wyjsciu = gora || dol || lewo || prawo || ret || esc;
    memset(k, 0, SDLK_LAST);
    return true;
  }
  if (!ekran_ustawien) {
    if (menu || ekran_najlepszych || !f5_nowy) return false;
    otworz_ekran();
    memset(k, 0, SDLK_LAST);
    return true;
  }
  if (uwaga_przebiegi > 0 && --uwaga_przebiegi == 0) uwaga.clear();
  memset(k, 0, SDLK_LAST);
  if (przypisywana >= 0) {
    czekaj_na_klawisz();
    return true;
  }
  nowa_kontrolka = -1;
  if (czeka) {
    czeka = gora || dol || lewo || prawo || ret || esc;
    return true;
  }
  if (!(gora || dol || lewo || prawo || ret || esc)) return true;
  czeka = true;
  if (lista_klawiszy) {
    int ile = LICZBA_AKCJI + 1;
    if (esc) lista_klawiszy = false;
    else if (gora || dol) wybrana_akcja = (wybrana_akcja + (dol ? 1 : ile - 1)) % ile;
    else if (ret && wybrana_akcja == DOMYSLNE_KLAWISZE) { domyslne_klawisze(); return true; }
    else if (ret) {
      przypisywana = wybrana_akcja;
      puszczone = false;
      uwaga.clear();
    }
    graj(SMP_ROTATE);
    return true;
  }
  if (esc) wyjdz_bez_zapisu();
  else if (gora || dol) {
    wybrany = (wybrany + (dol ? 1 : LICZBA_POZYCJI - 1)) % LICZBA_POZYCJI;
    graj(SMP_ROTATE);
  } else if (lewo || prawo) zmien(prawo ? 1 : -1);
  else if (ret) zapisz();
  return true;
}

// ---- Drawing ----

int maly_napis(int x, int y, const char *tekst, float skala, float r, float g, float b) {
  int krok = (int)(32 * skala + 0.5f);
  if (krok < 1) krok = 1;
  int miesci = std::max(1, (width - x - 4) / krok);
  // Broken into lines that fit, after ", " or a space.
  std::vector<std::string> linie;
  std::string reszta = tekst;
  while (!reszta.empty()) {
    if ((int)reszta.size() <= miesci) {
      linie.push_back(reszta);
      break;
    }
    size_t ciecie = reszta.rfind(' ', (size_t)miesci);
    if (ciecie == std::string::npos || ciecie == 0) ciecie = (size_t)miesci;
    linie.push_back(reszta.substr(0, ciecie));
    reszta = reszta.substr(std::min(reszta.size(), ciecie + (reszta[ciecie] == ' ' ? 1 : 0)));
  }
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, (double)width, 0, (double)height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  for (size_t i = 0; i < linie.size(); i++) {
    int ly = y - (int)i * (krok + 2);
    int dl = (int)linie[i].size() * krok;
    // The dark band under the line, then its letters added to the picture.
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, 0.75f);
    glBegin(GL_QUADS);
    glVertex2i(x - 4, ly - 3);
    glVertex2i(x + dl + 4, ly - 3);
    glVertex2i(x + dl + 4, ly + krok + 1);
    glVertex2i(x - 4, ly + krok + 1);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, GL_texturefont);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor3f(r, g, b);
    glTranslated(x, ly, 0);
    glScalef(skala, skala, 1);
    glListBase(base - 32);
    glCallLists((GLsizei)linie[i].size(), GL_BYTE, linie[i].c_str());
  }
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
  return (int)linie.size();
}

// The main menu's keys, one string so that every screen's key is named at one place.
static const char *const LINIA_KLAWISZY = "F2 best games, F3 the computer plays, F4 versus, F5 player options";

void linia_klawiszy_menu() {
  if (ekran_najlepszych || ekran_ustawien || ekran_versus || menu) return;
  float skala = 0.5f;
  int krok = (int)(32 * skala + 0.5f);
  // Two lines at most; the bottom one 8 pixels over the edge.
  int miesci = (width - 24) / krok;
  int linie = (int)strlen(LINIA_KLAWISZY) > miesci ? 2 : 1;
  maly_napis(12, 8 + (linie - 1) * (krok + 2), LINIA_KLAWISZY, skala, 1.0f, 0.85f, 0.0f);
}

static std::string wielkie(const char *s) {
  std::string w = s;
  for (char &c : w) c = (char)toupper((unsigned char)c);
  return w;
}

// The keys bound to an action as the screen shows them.
static std::string klawisze_akcji(int a) {
  std::string w;
  for (int i = 1; i < LICZBA_WEJSC; i++) {
    bool jest = akcje_r[i] == a;
    // Default keys hold until the file lists keys of their kind.
    if (i < WEJSCIE_PADA && !klaw_r[a] && i == klawisz_akcji[a] && !(a == AKCJA_DUCH && akcje_r[i] >= 0)) jest = true;
    if (!jest) continue;
    w += (w.empty() ? "" : ", ") + nazwa_wejscia(i);
  }
  return w.empty() ? "-" : w;
}

bool napisy_ustawien() {
  if (!ekran_ustawien) return false;
  int w2 = width / 2, h2 = height / 2;
  int dx, dy;
  krok_drgania(&dx, &dy);
  glColor3f(1.0f, 1.0f, 0.0f);
  napis_na_podkladzie(w2 - 288 + dx, h2 + 196 + dy, ". PLAYER OPTIONS '", 1);
  int x = std::max(8, w2 - 300);
  // Entries 36 pixels apart from under the title; closer on a low window.
  int odstep = std::min(36, (h2 + 150 - 100) / LICZBA_POZYCJI);
  int dol_listy;
  if (!lista_klawiszy) {
    for (int e = 0; e < LICZBA_POZYCJI; e++) {
      char linia[64];
      switch (e) {
        case W_POZIOM: snprintf(linia, sizeof linia, "START LEVEL %d", robocze.poziom); break;
        case W_WIERSZE: snprintf(linia, sizeof linia, "PRE-FILLED ROWS %d", robocze.wiersze); break;
        case W_GESTOSC: snprintf(linia, sizeof linia, "DENSITY %d of 10", robocze.gestosc); break;
        case W_MUZYKA: snprintf(linia, sizeof linia, "MUSIC VOLUME %d", robocze.muzyka); break;
        case W_DZWIEKI: snprintf(linia, sizeof linia, "SOUND VOLUME %d", robocze.dzwieki); break;
        case W_DUCH: snprintf(linia, sizeof linia, "GHOST %s", duch_r ? "ON" : "OFF"); break;
        case W_OKNO: snprintf(linia, sizeof linia, "%s", okno_r ? "WINDOW" : "FULL SCREEN"); break;
        default: snprintf(linia, sizeof linia, "KEYS >"); break;
      }
      if (wybrany == e) glColor3f(0.2f, 1.0f, 0.2f);
      else glColor3f(0.2f, 0.4f, 1.0f);
      napis_na_podkladzie(x, h2 + 140 - odstep * e, linia, 0);
    }
    dol_listy = h2 + 140 - odstep * (LICZBA_POZYCJI - 1);
  } else {
    float skala = 0.75f;
    int krok = std::min(28, (h2 + 150 - 100) / (LICZBA_AKCJI + 1));
    for (int a = 0; a <= LICZBA_AKCJI; a++) {
      char linia[128];
      if (a == DOMYSLNE_KLAWISZE) snprintf(linia, sizeof linia, "DEFAULT KEYS");
      else if (a == przypisywana) snprintf(linia, sizeof linia, "%-7s press a key...", wielkie(nazwy_akcji[a]).c_str());
      else snprintf(linia, sizeof linia, "%-7s %s", wielkie(nazwy_akcji[a]).c_str(), klawisze_akcji(a).c_str());
      bool ten = a == wybrana_akcja;
      // As the options list: the cursor's line green, the others blue.
      maly_napis(x, h2 + 146 - krok * a, linia, skala, 0.2f, ten ? 1.0f : 0.4f, ten ? 0.2f : 1.0f);
    }
    dol_listy = h2 + 146 - krok * LICZBA_AKCJI;
  }
  // Under the list: a refusal or a failure, then the keys of the screen.
  int y = dol_listy - 30;
  if (!uwaga.empty()) y -= 18 * maly_napis(x, y, uwaga.c_str(), 0.5f, 1.0f, 0.3f, 0.3f);
  const char *klawisze =
      przypisywana >= 0 ? "press the key or pad button for it, ESC cancels"
      : lista_klawiszy ? "UP/DOWN choose, RETURN binds the next key or pad button pressed, ESC back to the options"
                       : "UP/DOWN choose, LEFT/RIGHT change (RIGHT on KEYS opens them), "
                         "RETURN save and leave, ESC leave without saving";
  maly_napis(x, y, klawisze, 0.5f, 1.0f, 0.4f, 0.8f);
  return true;
}
