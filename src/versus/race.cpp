// The race. The player's game runs as any game does; after its pass the
// opponent's state is swapped in and the same pass of the main loop runs on
// it, with its own keys, drawing nothing on screen (colour and depth writes
// off, a one-pixel viewport), silent, and taken past the recorder; then it is
// swapped out again. Its well is drawn in the player's scene from its state,
// swapped in for the drawing and out again.
#include "versus/versus.h"
#include "ustawienia/ustawienia.h"
#include "computer/computer.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

bool wyscig = false;
bool w_pasie_przeciwnika = false;

namespace {

// A finished game's score has settled: the recorder finishes yours in the
// 201st pass after its game over; the result comes with the pass after.
const int PRZEBIEGI_DO_USTALENIA = 201, PRZEBIEGI_DO_WYNIKU = 202;
const Uint32 POKAZ_WYNIKU_MS = 3000;
const int PRZEBIEGI_NA_KLATKE = 8;        // the opponent's, Right held once your game is over

Przeciwnik przeciwnik;
Nagranie nagrany;                 // a recorded opponent's recording
size_t seria = 0;
unsigned w_serii = 0;
long long odtworzone = 0;
StanGry stan_przeciwnika;
std::vector<std::pair<std::string, std::string>> stan_widza;   // the menu's state, put back at the end
bool z_wiersza = false;
bool wynik_pokazany = false;      // the result is on screen
bool wygrana = false;
Uint32 koniec_pokazu = 0;
int po_koncu_gracza = 0, po_koncu_przeciwnika = 0;
bool przeciwnik_koniec = false;   // its game has ended and its score settled
bool szybko = false;
bool byl_return = false, byl_escape = false;
// What the opponent's state shows, for the lines.
int g_wynik = 0;   // your score, as your game last stood
int p_wynik = 0, p_wiersze = 0, p_poziom = 1;
bool p_wtopa = false;
// Where the line over the opponent's well goes (window pixels).
int etykieta_x = 0, etykieta_y = 0;

// Asked for on the command line.
bool z_polecenia = false;
Przeciwnik przeciwnik_z_wiersza;
long ziarno_z_wiersza = -1;
// Started from the screen: the next pass starts it.
bool zaczyna = false;
Przeciwnik do_startu;

Uint8 zadne[SDLK_LAST];

void odczytaj_przeciwnika() {
  p_wynik = score;
  p_wiersze = calkowite;
  p_poziom = level;
  p_wtopa = wtopa;
}

bool przeciwnik_puszcza() { return poziom_puszczenia > 0 && level >= poziom_puszczenia; }

void klawisze_przeciwnika(Uint8 *k) {
  memset(k, 0, SDLK_LAST);
  if (przeciwnik.sila < 0) {
    if (odtworzone < nagrany.przebiegi && seria < nagrany.serie.size()) {
      const Seria &s = nagrany.serie[seria];
      stan_pasu_do(s.stan, k);
      if (++w_serii >= s.ile) {
        seria++;
        w_serii = 0;
      }
      odtworzone++;
    }
    if (odtworzone >= nagrany.przebiegi) przeciwnik_koniec = true;
    return;
  }
  // The computer never pauses: the race pauses it by not running its pass.
  pauza = 0;
  if (!wtopa) {
    if (!przeciwnik_puszcza()) klawisze_sily(k);
  } else if (++po_koncu_przeciwnika >= PRZEBIEGI_DO_USTALENIA) {
    przeciwnik_koniec = true;
  }
}

// One pass of the opponent's game.
void pas_przeciwnika() {
  int muzyka = czymuza, byl_komputer = komputer_gra, napis = napis_ducha;
  int c = counter, f2 = fps2, f1 = fps1, l = licznik;
  bool gracz_gra = !gameini && !wtopa;
  Uint8 *klawisze = keys;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
  glViewport(0, 0, 1, 1);
  glScissor(0, 0, 1, 1);
  glEnable(GL_SCISSOR_TEST);
  // Silent, and storing nothing at its game over, as a game of the computer's.
  czymuza = 0;
  komputer_gra = true;
  w_pasie_przeciwnika = true;
  zamien_stan(&stan_przeciwnika);
  bool byla_wtopa = wtopa;
  memset(zadne, 0, sizeof zadne);
  przebieg(zadne);
  odczytaj_przeciwnika();
  bool skonczyla = wtopa && !byla_wtopa;
  zamien_stan(&stan_przeciwnika);
  w_pasie_przeciwnika = false;
  czymuza = muzyka;
  komputer_gra = byl_komputer;
  napis_ducha = napis;
  counter = c;
  fps2 = f2;
  fps1 = f1;
  licznik = l;
  keys = klawisze;
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
  // Its game over stopped every sound: your music goes on.
  if (skonczyla && gracz_gra) graj(childmode ? SMP_OTHER : SMP_MUSIC_GAME);
  // The window left during its pass: your game pauses.
  if (okno_opuszczone && !gameini && !wtopa) pauza = 1;
}

void zakoncz_wyscig() {
  wyscig = false;
  wynik_pokazany = false;
  szybko = false;
  int r = rekord, sz = czyszklo;
  zatrzymaj();
  przywroc_stan(stan_widza, true);
  rekord = r;
  czyszklo = sz;
  graj(SMP_MUSIC_START);
  if (z_wiersza) done = true;
  else powrot_do_versus();
}

void pokaz_wynik(bool wygral) {
  wygrana = wygral;
  wynik_pokazany = true;
  koniec_pokazu = SDL_GetTicks() + POKAZ_WYNIKU_MS;
  dopisz_wynik(klucz_przeciwnika(przeciwnik), wygral);
  if (z_wiersza) {
    printf("you %d opponent %d %s\n", g_wynik, p_wynik, wygral ? "won" : "lost");
    fflush(stdout);
  }
}

}  // namespace

int wynik_przeciwnika() { return p_wynik; }
void liczby_przeciwnika(int *wynik, int *poziom, int *wiersze) {
  *wynik = p_wynik;
  *poziom = p_poziom;
  *wiersze = p_wiersze;
}
void przerwij_wyscig() {
  if (!wyscig) return;
  z_wiersza = false;
  zakoncz_wyscig();
  ekran_versus = false;
}
bool przeciwnik_skonczyl() { return przeciwnik_koniec; }

bool zacznij_wyscig(const Przeciwnik &p, long ziarno, bool wiersz, std::string *blad) {
  if (wyscig || odtwarzanie || komputer_gra || !gameini || menu) {
    *blad = "a game is on";
    return false;
  }
  Nagranie n;
  if (p.sila < 0) {
    int odczyt = wczytaj_nagranie(p.plik.c_str(), &n, blad);
    if (odczyt == 1) {
      *blad = std::string("cannot read ") + p.plik + " (" + strerror(errno) + ")";
      return false;
    }
    if (odczyt != 0) {
      *blad = p.plik + " cannot race: " + *blad;
      return false;
    }
  }
  stan_widza = zrzut_stanu();
  przeciwnik = p;
  z_wiersza = wiersz;
  seria = 0;
  w_serii = 0;
  odtworzone = 0;
  po_koncu_gracza = po_koncu_przeciwnika = 0;
  g_wynik = 0;
  przeciwnik_koniec = wynik_pokazany = szybko = false;
  if (p.sila < 0) {
    // Both start from the recording's own first state; your record and the
    // glass unlock stay yours.
    int r = rekord, sz = czyszklo;
    nagrany = n;
    przywroc_stan(n.stan, true);
    start_wyscigu(false);
    zachowaj_stan(&stan_przeciwnika);
    rekord = r;
    czyszklo = sz;
  } else {
    // As a game of the computer's starts.
    uint32_t z = ziarno >= 0 ? (uint32_t)ziarno : (uint32_t)time(nullptr);
    srand(z);
    nastepny = rand() % 7;
    gameini = false;
    kloc = false;
    // Your start level and pre-filled rows hold for both wells.
    start_wyscigu(true);
    zachowaj_stan(&stan_przeciwnika);
    zacznij_sile(p.sila, z);
    nagrany = Nagranie();
  }
  zamien_stan(&stan_przeciwnika);
  odczytaj_przeciwnika();
  zamien_stan(&stan_przeciwnika);
  wyscig = true;
  zatrzymaj();
  graj(SMP_MUSIC_GAME);
  return true;
}

bool pas_wyscigu(Uint8 *k) {
  if (w_pasie_przeciwnika) {
    klawisze_przeciwnika(k);
    return true;
  }
  if (zaczyna) {
    zaczyna = false;
    std::string blad;
    if (!zacznij_wyscig(do_startu, -1, false, &blad)) {
      fprintf(stderr, "brixel: %s\n", blad.c_str());
      powrot_do_versus();
    }
    memset(k, 0, SDLK_LAST);
    return false;
  }
  if (!wyscig) return !odtwarzanie && !komputer_gra && klawisze_versus(k);
  bool ret = k[KLAWISZ_RETURN] != 0, esc = k[KLAWISZ_ESCAPE] != 0;
  bool nowy = (ret && !byl_return) || (esc && !byl_escape);
  byl_return = ret;
  byl_escape = esc;
  if (wynik_pokazany) {
    memset(k, 0, SDLK_LAST);
    if (nowy || SDL_GetTicks() >= koniec_pokazu) zakoncz_wyscig();
    return true;
  }
  if (gameini) {
    // Left with Escape: a loss.
    if (z_wiersza) fputs("brixel: the race was stopped\n", stderr);
    pokaz_wynik(false);
    zakoncz_wyscig();
    memset(k, 0, SDLK_LAST);
    return true;
  }
  g_wynik = score;
  if (wtopa) {
    // Your game is over: you watch the opponent finish; no new game.
    szybko = k[KLAWISZ_PRAWO] != 0;
    k[KLAWISZ_Y] = k[KLAWISZ_N] = 0;
    if (po_koncu_gracza < PRZEBIEGI_DO_WYNIKU) po_koncu_gracza++;
    if (po_koncu_gracza >= PRZEBIEGI_DO_WYNIKU && przeciwnik_koniec) {
      pokaz_wynik(g_wynik > p_wynik);
      memset(k, 0, SDLK_LAST);
      return true;
    }
  }
  return false;
}

void przebiegi_przeciwnika() {
  if (!wyscig || wynik_pokazany || przeciwnik_koniec || gameini || pauza) return;
  int n = wtopa && szybko ? PRZEBIEGI_NA_KLATKE : 1;
  for (int i = 0; i < n && !przeciwnik_koniec && !done; i++) pas_przeciwnika();
}

void rysuj_przeciwnika() {
  if (!wyscig || w_pasie_przeciwnika || gameini) return;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushMatrix();
  // Beside your well, a little nearer and smaller, toward the room's wall.
  glTranslatef(1.08f, -1.25f, -0.5f);
  glScalef(0.46f, 0.46f, 0.46f);
  glEnable(GL_NORMALIZE);
  zamien_stan(&stan_przeciwnika);
  glCullFace(GL_FRONT);
  bool wysoki = jakosc == 1;
  float ss = wysoki ? 0.3f : 0.15f, st = wysoki ? 7.0f : 3.5f;
  DrawTexturedCube(0, 0, 0, 3, 3, 3, -0.1f, -0.1f, -0.2f, 0.1f, 2.2f, 0.1f, ss, st);
  DrawTexturedCube(0, 0, 0, 3, 3, 3, -2.3f, -0.1f, -0.2f, 0.1f, 2.2f, 0.1f, ss, st);
  DrawTexturedCube(9, 0, 0, 0, 0, 9, -0.75f, -3.25f, -0.2f, 1.0f, 0.1f, 0.1f, wysoki ? 4.1f : 2.0f,
                   wysoki ? 0.3f : 0.15f);
  rysuj_komorki();
  rysuj_klocek();
  if (gra_biegnie()) {
    // Its next piece over its well, not beside it, where yours would be.
    glPushMatrix();
    glTranslatef(2.9f - 0.8f, 1.45f - 0.35f, 0);
    rysuj_podglad();
    glPopMatrix();
  }
  zamien_stan(&stan_przeciwnika);
  // The line of its score goes over its well's top.
  GLdouble m[16], p[16], x, y, z;
  GLint v[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  glGetIntegerv(GL_VIEWPORT, v);
  if (gluProject(-0.1, 1.75, -0.2, m, p, v, &x, &y, &z) == GL_TRUE) {
    etykieta_x = (int)x;
    etykieta_y = (int)y;
  }
  glPopMatrix();
  glPopAttrib();
}

namespace {

// A line in the font's letters at a size of its own (rozmiar pixels a letter),
// on a dark box, added to the picture in the colour r, g, b.
void maly_napis(int x, int y, const char *tekst, int rozmiar, float r, float g, float b) {
  int n = (int)strlen(tekst);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, (double)width, 0, (double)height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 0.7f);
  glRecti(x - 4, y - 3, x + n * rozmiar + 4, y + rozmiar + 3);
  glEnable(GL_TEXTURE_2D);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor3f(r, g, b);
  glBindTexture(GL_TEXTURE_2D, GL_texturefont);
  glTranslated(x, y, 0);
  glScaled(rozmiar / 32.0, rozmiar / 32.0, 1);
  glListBase(base - 32);
  glCallLists((GLsizei)n, GL_BYTE, tekst);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
}

}  // namespace

void napisy_wyscigu() {
  if (w_pasie_przeciwnika) return;
  if (!wyscig || gameini) return;
  char linia[80];
  const char *kto = przeciwnik.sila >= 0 ? nazwy_sil[przeciwnik.sila] : "BEST";
  // Over the opponent's well: who it is, its score and rows.
  int r = width >= 800 ? 16 : 14;
  snprintf(linia, sizeof linia, "%s %d", kto, p_wynik);
  int x = etykieta_x - (int)strlen(linia) * r / 2;
  x = x < 6 ? 6 : x;
  int y = etykieta_y + 8;
  maly_napis(x, y + r + 8, linia, r, 0.4f, 0.8f, 1.0f);
  snprintf(linia, sizeof linia, "ROWS %d%s", p_wiersze, p_wtopa ? " END" : "");
  maly_napis(x, y, linia, r, 0.4f, 0.8f, 1.0f);
  // Over your well: the opponent's score and how far you are ahead or behind.
  int d = g_wynik - p_wynik;
  snprintf(linia, sizeof linia, "%s %d %s %d", kto, p_wynik, d >= 0 ? "AHEAD" : "BEHIND", d >= 0 ? d : -d);
  int R = width >= 800 ? 24 : 20;
  maly_napis(10, height - 108, linia, R, d >= 0 ? 0.2f : 1.0f, d >= 0 ? 1.0f : 0.3f, 0.2f);
  if (wynik_pokazany) {
    int w2 = width / 2, h2 = height / 2;
    const char *t = wygrana ? "YOU WIN" : "YOU LOSE";
    // Between the lines under your score and the game-over lines.
    napis_z_podkladem(w2 - (int)strlen(t) * 16, h2 + 90, t, 1, wygrana ? 0.2f : 1.0f, wygrana ? 1.0f : 0.3f,
                      0.2f);
    snprintf(linia, sizeof linia, "YOU %d  %s %d", g_wynik, kto, p_wynik);
    maly_napis(w2 - (int)strlen(linia) * R / 2, h2 + 56, linia, R, 1.0f, 1.0f, 0.2f);
  } else if (wtopa) {
    maly_napis(10, 80, przeciwnik_koniec ? "WAIT" : "RIGHT: FAST", R, 1.0f, 0.4f, 0.8f);
  }
}

int slowo_versus(int argc, char **argv, int *i) {
  if (strcmp(argv[*i], "--versus") != 0) return 0;
  if (*i + 1 >= argc || !argv[*i + 1]) {
    fputs("brixel: --versus needs an opponent: easy, medium, hard or a recording (brixel --help)\n", stderr);
    return -1;
  }
  const char *o = argv[++*i];
  Przeciwnik p;
  for (int s = 0; s < LICZBA_SIL; s++)
    if (strcasecmp(o, nazwy_sil[s]) == 0) p.sila = s;
  if (p.sila < 0) {
    size_t n = strlen(o);
    if (n < 5 || strcmp(o + n - 4, ".rec") != 0) {
      fprintf(stderr, "brixel: unknown opponent %s: easy, medium, hard or a recording FILE.rec\n", o);
      return -1;
    }
    p.plik = o;
    Nagranie rec;
    std::string blad;
    int odczyt = wczytaj_nagranie(o, &rec, &blad);
    if (odczyt == 1) {
      fprintf(stderr, "brixel: cannot read %s (%s)\n", o, strerror(errno));
      return -1;
    }
    if (odczyt != 0) {
      fprintf(stderr, "brixel: %s cannot race: %s\n", o, blad.c_str());
      return -1;
    }
  }
  if (ziarno_z_wiersza_polecen(argc, argv, i, "--versus", &ziarno_z_wiersza) < 0) return -1;
  przeciwnik_z_wiersza = p;
  z_polecenia = true;
  return 1;
}

void zacznij_versus_z_wiersza() {
  if (!z_polecenia) return;
  std::string blad;
  if (!zacznij_wyscig(przeciwnik_z_wiersza, ziarno_z_wiersza, true, &blad)) {
    fprintf(stderr, "brixel: %s\n", blad.c_str());
    done = true;
  }
}

// The screen asks for a race: it starts with the next pass.
void zacznij_z_ekranu(const Przeciwnik &p) {
  do_startu = p;
  zaczyna = true;
}
