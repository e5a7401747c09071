// Legibility of the text over the scene, measured on screenshots.
//
//   legibility measure FONT.png LIST   measures every shot of LIST; fails under 4
//   legibility shoot DIR               adds to DIR/shots.txt the looks that take
//                                      long play to reach, drawn by the real pass
//
// A LIST line describes one shot: file=PNG cfg=the eleven config.cfg values
// joined by commas, lines=groups of text in it (menu, options, status, pause,
// eat, gameover, unlock, child, best, msg0 to msg5 the bonus messages, replay,
// ghoston, ghostoff, computer), cursor=, score=, record=, level=, destroyed=,
// slide= (how far the bonus message has slid left).
// For each line the glyph mask is cut from the font image exactly as the
// overlay draws it (32 x 32 cells 1:1, nearest texels, pen advancing 32); the
// figure is the CIELAB distance between the mean of the glyph pixels and the
// mean of the line box's pixels at least 2 px from any glyph, over the RMS
// variation of those surrounding pixels (at least 10).
#include "harness.h"

#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"
#include "player/player.h"
#include "ghost/ghost.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Obrazek {
  int w = 0, h = 0;
  std::vector<unsigned char> rgba; // rows from the top
};

bool wczytaj_png(const std::string &plik, Obrazek &o) {
  png_image im;
  memset(&im, 0, sizeof im);
  im.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&im, plik.c_str())) return false;
  im.format = PNG_FORMAT_RGBA;
  o.w = (int)im.width;
  o.h = (int)im.height;
  o.rgba.assign(PNG_IMAGE_SIZE(im), 0);
  return png_image_finish_read(&im, nullptr, o.rgba.data(), 0, nullptr) != 0;
}

bool zapisz_png(const std::string &plik, const Obrazek &o) {
  png_image im;
  memset(&im, 0, sizeof im);
  im.version = PNG_IMAGE_VERSION;
  im.width = (png_uint_32)o.w;
  im.height = (png_uint_32)o.h;
  im.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&im, plik.c_str(), 0, o.rgba.data(), 0, nullptr) != 0;
}

struct Lab {
  double L = 0, a = 0, b = 0;
};

Lab lab_of(const unsigned char *p) {
  static double lin[256];
  static bool gotowe = false;
  if (!gotowe) {
    for (int i = 0; i < 256; i++) {
      double c = i / 255.0;
      lin[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    gotowe = true;
  }
  double r = lin[p[0]], g = lin[p[1]], b = lin[p[2]];
  double X = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
  double Y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
  double Z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
  auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
  return {116 * f(Y) - 16, 500 * (f(X) - f(Y)), 200 * (f(Y) - f(Z))};
}

// One line of text as the overlay draws it: pen at window pixel (x, y) from the
// bottom-left, character set 0 or 1; `drga` when it wobbles with the titles.
struct Linia {
  std::string tekst;
  int x, y, zestaw;
  bool drga;
};

struct Ustawienia {
  int pola[11] = {800, 600, 16, 1, 1, 1, 0, 0, 0, 0, 0};
  int width() const { return pola[0]; }
  int height() const { return pola[1]; }
};

// The table the shots of the screen of best games show: ten games, scores of
// one to six digits, some in glass mode.
const int WYNIKI_TABELI[10][3] = {{123456, 12, 240}, {98765, 9, 187}, {45000, 6, 110}, {9999, 3, 58},
                                  {5000, 2, 31},     {777, 1, 12},    {300, 1, 9},     {88, 1, 4},
                                  {15, 1, 0},        {1, 1, 0}};
const long long CZAS_TABELI = 1796700000;

std::string tabela_do_zdjec() {
  std::string t = "BRIXEL best games 1\n";
  for (int i = 0; i < 10; i++)
    t += "normal " + std::to_string(WYNIKI_TABELI[i][0]) + " " + std::to_string(WYNIKI_TABELI[i][1]) + " " +
         std::to_string(WYNIKI_TABELI[i][2]) + " " + std::to_string(CZAS_TABELI + i) + " " + (i % 3 ? "0" : "1") +
         " -\n";
  return t;
}

// The lines of the named groups at the positions the overlay and the menu use.
std::vector<Linia> linie(const Ustawienia &u, const std::string &grupy, std::map<std::string, int> &liczby) {
  int w = u.width(), w2 = u.width() / 2, h2 = u.height() / 2, h = u.height();
  std::vector<Linia> l;
  char buf[64];
  std::stringstream s(grupy);
  std::string g;
  while (std::getline(s, g, ',')) {
    if (g == "menu") {
      l.push_back({". BRIXEL '", w2 - 180, h2 + 64, 1, true});
      l.push_back({"GAME", w2 - 100, h2 - 60, 0, false});
      l.push_back({"OPTIONS ", w2 - 100, h2 - 100, 0, false});
      l.push_back({"EXIT", w2 - 100, h2 - 140, 0, false});
    } else if (g == "options") {
      l.push_back({". MENU '", w2 - 148, h2 + 120, 1, true});
      // The entries as the game words them for the shot's settings.
      width = u.pola[0];
      bittes = u.pola[2];
      jakosc = u.pola[3];
      czymuza = u.pola[4];
      czytlo = u.pola[5];
      czyfram = u.pola[6];
      klasyczny = u.pola[7];
      szklo = u.pola[8];
      czyszklo = u.pola[9];
      for (int e = 1; e <= liczba_opcji(); e++)
        if (const char *t = tekst_opcji(e)) l.push_back({t, w2 - 300, h2 + 60 - 40 * (e - 1), 0, false});
    } else if (g == "status") {
      snprintf(buf, sizeof buf, "RECORD %d", liczby["record"]);
      l.push_back({buf, 10, h - 70, 0, false});
      snprintf(buf, sizeof buf, "SCORE  %d", liczby["score"]);
      l.push_back({buf, 10, h - 32, 0, false});
      snprintf(buf, sizeof buf, "LEVEL: %d", liczby.count("level") ? liczby["level"] : 1);
      l.push_back({buf, 10, 40, 0, false});
      snprintf(buf, sizeof buf, "DESTROYED: %d", liczby["destroyed"]);
      l.push_back({buf, 10, 10, 0, false});
    } else if (g == "pause") {
      l.push_back({".: PAUSE :.", w2 - 192, h2, 0, false});
    } else if (g == "eat") {
      l.push_back({"EAT THIS!", w2 - 144, h2 + 60, 0, false});
    } else if (g == "gameover") {
      l.push_back({"GAME OVER", w2 - 144, h2, 1, true});
      l.push_back({"NEXT GAME Y:N ?", w2 - 240, h2 - 40, 1, true});
      l.push_back({"ESC - Menu", w2 - 160, h2 - 110, 1, true});
    } else if (g == "unlock") {
      l.push_back({"YOU HAVE UNLOCKED", w2 - 150, h2 + 80, 0, false});
      l.push_back({"GLASS MODE !", w2 - 90, h2 + 40, 0, false});
    } else if (g == "best") {
      // The screen of best games on tabela_do_zdjec(), the first entry chosen;
      // its entries closer together on a low screen.
      l.push_back({". BEST GAMES '", w2 - 224, h2 + 196, 1, true});
      l.push_back({"NORMAL GAME", w2 - 192, h2 + 156, 0, false});
      l.push_back({" #  SCORE LVL ROWS", w2 - 300, h2 + 116, 0, false});
      int odstep = std::min(30, (h2 - 24) / 9), dol = h2 + 86 - 9 * odstep;
      for (int i = 0; i < 10; i++) {
        snprintf(buf, sizeof buf, "%2d%s%6d %3d %4d", i + 1, i % 3 ? " " : "*", WYNIKI_TABELI[i][0],
                 WYNIKI_TABELI[i][1], WYNIKI_TABELI[i][2]);
        l.push_back({buf, w2 - 300, h2 + 86 - odstep * i, 0, false});
      }
      time_t czas = (time_t)CZAS_TABELI;
      struct tm czesci;
      localtime_r(&czas, &czesci);
      strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &czesci);
      l.push_back({buf, w2 - 288, dol - 34, 0, false});
      l.push_back({"RETURN/A: WATCH", w2 - 288, dol - 68, 0, false});
      l.push_back({"ESC:BACK V/X:VIDEO", w2 - 288, dol - 100, 0, false});
    } else if (g.size() == 4 && g.compare(0, 3, "msg") == 0 && g[3] >= '0' && g[3] <= '5') {
      // A bonus message, slid left by slide= pixels.
      static const char *const teksty[6] = {"NEXT LEVEL!", "BONUS 100!", "BONUS 200!", "BONUS 1000!",
                                            "COMBO! BONUS 500!", "A LOT OF BONUSES!"};
      int rodzaj = g[3] - '0';
      l.push_back({teksty[rodzaj], w2 - liczby["slide"] - (rodzaj >= 4 ? 150 : 0), rodzaj == 0 ? h2 - 36 : h2, 0,
                   false});
    } else if (g == "replay") {
      l.push_back({"REPLAY", w - 10 - 32 * 6, h - 32, 0, false});
      l.push_back({"RIGHT: FAST", w - 10 - 32 * 11, 108, 0, false});
      l.push_back({"ESC: STOP", w - 10 - 32 * 9, 76, 0, false});
    } else if (g == "ghoston" || g == "ghostoff") {
      const char *t = g == "ghoston" ? "GHOST ON" : "GHOST OFF";
      l.push_back({t, w - 10 - 32 * (int)strlen(t), h - 108, 0, false});
    } else if (g == "computer") {
      l.push_back({"COMPUTER PLAYS", 10, h - 110, 0, false});
      l.push_back({"RIGHT:FAST ESC:MENU", 10, 80, 0, false});
    } else if (g == "child") {
      l.push_back({"YOU PLAY LIKE A CHILD", w2 - 332, h2 + 40, 0, false});
      l.push_back({"SO YOU WILL!", w2 - 200, h2, 0, false});
    } else {
      fprintf(stderr, "legibility: unknown group %s\n", g.c_str());
      exit(2);
    }
  }
  return l;
}

// Marks in `maska` (screenshot w x h, rows from the top) the pixels that the
// glyphs of line `l`, shifted by (dx, dy), cover with any ink.
void zaznacz(const Obrazek &font, const Linia &l, int dx, int dy, int w, int h, std::vector<char> &maska) {
  for (size_t i = 0; i < l.tekst.size(); i++) {
    int komorka = (unsigned char)l.tekst[i] - 32 + 128 * l.zestaw;
    if (komorka < 0 || komorka > 255) continue;
    int ox = (komorka % 16) * 32, oy = (komorka / 16) * 32;
    for (int ty = 0; ty < 32; ty++)
      for (int tx = 0; tx < 32; tx++) {
        const unsigned char *t = &font.rgba[((size_t)(oy + ty) * font.w + ox + tx) * 4];
        if (!t[0] && !t[1] && !t[2] && !t[3]) continue;
        int sx = l.x + dx + 32 * (int)i + tx, sy = h - 32 - (l.y + dy) + ty;
        if (sx >= 0 && sy >= 0 && sx < w && sy < h) maska[(size_t)sy * w + sx] = 1;
      }
  }
}

struct Wynik {
  double wskaznik, de, rms;
  int glif, tlo;
};

// The figure of one line: its own glyph pixels against the pixels of its box
// that keep 2 px from every glyph of the shot (`wszystkie`).
Wynik zmierz(const Obrazek &o, const Linia &l, int dx, int dy, const std::vector<char> &wlasne,
             const std::vector<char> &wszystkie) {
  Lab sg, st;
  int ng = 0, nt = 0;
  std::vector<Lab> tlo;
  int x0 = std::max(0, l.x + dx), x1 = std::min(o.w, l.x + dx + 32 * (int)l.tekst.size());
  int y0 = std::max(0, o.h - 32 - (l.y + dy)), y1 = std::min(o.h, o.h - (l.y + dy));
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) {
      Lab c = lab_of(&o.rgba[((size_t)y * o.w + x) * 4]);
      if (wlasne[(size_t)y * o.w + x]) {
        sg.L += c.L; sg.a += c.a; sg.b += c.b;
        ng++;
        continue;
      }
      bool blisko = false;
      for (int j = -1; j <= 1 && !blisko; j++)
        for (int i = -1; i <= 1 && !blisko; i++) {
          int qx = x + i, qy = y + j;
          blisko = qx >= 0 && qy >= 0 && qx < o.w && qy < o.h && wszystkie[(size_t)qy * o.w + qx];
        }
      if (blisko) continue;
      st.L += c.L; st.a += c.a; st.b += c.b;
      nt++;
      tlo.push_back(c);
    }
  if (ng == 0 || nt == 0) return {0, 0, 0, ng, nt};
  sg = {sg.L / ng, sg.a / ng, sg.b / ng};
  st = {st.L / nt, st.a / nt, st.b / nt};
  double var = 0;
  for (const Lab &c : tlo) var += (c.L - st.L) * (c.L - st.L) + (c.a - st.a) * (c.a - st.a) + (c.b - st.b) * (c.b - st.b);
  double rms = std::sqrt(var / nt);
  double de = std::sqrt((sg.L - st.L) * (sg.L - st.L) + (sg.a - st.a) * (sg.a - st.a) + (sg.b - st.b) * (sg.b - st.b));
  return {de / std::max(rms, 10.0), de, rms, ng, nt};
}

std::map<std::string, std::string> pola_opisu(const std::string &wiersz) {
  std::map<std::string, std::string> m;
  std::stringstream s(wiersz);
  std::string slowo;
  while (s >> slowo) {
    size_t r = slowo.find('=');
    if (r != std::string::npos) m[slowo.substr(0, r)] = slowo.substr(r + 1);
  }
  return m;
}

const int distx[10] = {-2, 4, 8, 7, -3, -4, 6, 9, -3, 6};
const int disty[10] = {-6, 2, 9, 3, -7, -2, 4, 1, -9, 2};

// Measures every shot of the list; returns the number of lines under 4, or -1
// when a shot cannot be read.
int mierz(const std::string &plik_fontu, const std::string &lista) {
  Obrazek font;
  if (!wczytaj_png(plik_fontu, font) || font.w != 512 || font.h != 512) {
    fprintf(stderr, "legibility: cannot read the 512 x 512 font image %s\n", plik_fontu.c_str());
    return -1;
  }
  std::ifstream f(lista);
  std::string katalog = lista.substr(0, lista.find_last_of('/') + 1), wiersz;
  int slabe = 0, ile = 0;
  double najgorszy = 1e9;
  while (std::getline(f, wiersz)) {
    auto m = pola_opisu(wiersz);
    if (m.empty()) continue;
    Ustawienia u;
    std::stringstream c(m["cfg"]);
    std::string v;
    for (int i = 0; i < 11 && std::getline(c, v, ','); i++) u.pola[i] = atoi(v.c_str());
    std::map<std::string, int> liczby;
    for (const char *k : {"score", "record", "level", "destroyed", "slide"})
      if (m.count(k)) liczby[k] = atoi(m[k].c_str());
    Obrazek o;
    if (!wczytaj_png(katalog + m["file"], o) || o.w != u.width() || o.h != u.height()) {
      fprintf(stderr, "legibility: %s is missing or not %d x %d\n", m["file"].c_str(), u.width(), u.height());
      return -1;
    }
    std::vector<Linia> l = linie(u, m["lines"], liczby);
    // The wobbling lines sit at one of ten offsets: the one where they stand
    // out most is the one drawn.
    int dx = 0, dy = 0;
    bool drga = std::any_of(l.begin(), l.end(), [](const Linia &x) { return x.drga; });
    if (drga) {
      double najlepszy = -1;
      for (int k = 0; k < 10; k++) {
        std::vector<char> maska((size_t)o.w * o.h, 0);
        for (const Linia &x : l)
          if (x.drga) zaznacz(font, x, distx[k], disty[k], o.w, o.h, maska);
        double suma = 0;
        for (const Linia &x : l)
          if (x.drga) suma += zmierz(o, x, distx[k], disty[k], maska, maska).de;
        if (suma > najlepszy) {
          najlepszy = suma;
          dx = distx[k];
          dy = disty[k];
        }
      }
    }
    std::vector<char> wszystkie((size_t)o.w * o.h, 0);
    for (const Linia &x : l) zaznacz(font, x, x.drga ? dx : 0, x.drga ? dy : 0, o.w, o.h, wszystkie);
    for (const Linia &x : l) {
      int ddx = x.drga ? dx : 0, ddy = x.drga ? dy : 0;
      std::vector<char> wlasne((size_t)o.w * o.h, 0);
      zaznacz(font, x, ddx, ddy, o.w, o.h, wlasne);
      Wynik r = zmierz(o, x, ddx, ddy, wlasne, wszystkie);
      bool zle = r.wskaznik < 4;
      slabe += zle;
      ile++;
      najgorszy = std::min(najgorszy, r.wskaznik);
      printf("%-22s %-24s %6.2f  dE %5.1f  rms %5.1f  %s\n", m["file"].c_str(), ("\"" + x.tekst + "\"").c_str(),
             r.wskaznik, r.de, r.rms, zle ? "UNDER 4" : "");
    }
  }
  if (ile == 0) {
    fprintf(stderr, "legibility: no shots in %s\n", lista.c_str());
    return -1;
  }
  printf("%d lines measured, %d under 4, lowest %.2f\n", ile, slabe, najgorszy);
  return slabe;
}

// ---- The looks that take minutes of play, drawn in-process ----

std::string katalog_zdjec;
std::ofstream spis;

void ustaw_swiatlo(bool pelne) {
  if (light != pelne) {
    zmianaswiatla();
    light = pelne;
  }
}

// The current frame, as the player would see it after the pass, into DIR/name.
void zdjecie(const std::string &nazwa, const std::string &grupy) {
  Obraz p = obraz();
  Obrazek o;
  o.w = width;
  o.h = height;
  o.rgba.resize(p.size());
  for (int y = 0; y < height; y++)
    memcpy(&o.rgba[(size_t)y * width * 4], &p[(size_t)(height - 1 - y) * width * 4], (size_t)width * 4);
  for (size_t i = 3; i < o.rgba.size(); i += 4) o.rgba[i] = 255;
  if (!zapisz_png(katalog_zdjec + "/" + nazwa, o)) {
    fprintf(stderr, "legibility: cannot write %s\n", nazwa.c_str());
    exit(2);
  }
  spis << "file=" << nazwa << " cfg=" << width << ',' << height << ',' << bittes << ',' << jakosc << ','
       << czymuza << ',' << czytlo << ',' << czyfram << ',' << klasyczny << ',' << szklo << ',' << czyszklo
       << ',' << rekord << " lines=" << grupy << " score=" << score << " record=" << rekord << " level=" << level
       << " destroyed=" << calkowite << " slide=" << ruchpox << "\n";
}

// A late game: the well filled from row 12 down with one gap in every row, so
// no row is full, and with `wieza` a tower in columns 1 and 2 up to row 4,
// which sounds the alarm; the square falling slowly in the top right corner.
void pozna_gra(bool wieza) {
  studnia_poczatkowa();
  gra(0, 10, 1);
  menu = false;
  musi = false;
  childmode = false;
  trythat = textual = pepper = 0;
  czyszklo = 1;
  yzbi = 0;
  rekord = 12345;
  score = 4321;
  level = 3;
  calkowite = 57;
  for (int x = 1; x <= 10; x++)
    for (int y = 4; y <= 20; y++)
      studnia[x * 21 + y] = y >= 12 ? x != 1 + (y * 7) % 10 : wieza && x <= 2;
}

// Draws the frame with the given text on; `przygotuj` sets the state, then a
// few passes run so the frame read back is a real one of that state.
template <class F> void ujecie(const std::string &nazwa, const std::string &grupy, F przygotuj) {
  przygotuj();
  klatki(3);
  zdjecie(nazwa, grupy);
}

// The camera where it eases to for the falling piece, as it stands after
// long enough play.
void kamera_na_miejscu() {
  heading = 550.0f - (float)xk;
  lookupdown = (float)yk / 3 + 23;
  ruch_z = -5 - (float)yk / 23;
  kamera_zbliz();
  widok_kamery();
}

// The falling piece, shape s, where it fits in the well with its cells seen
// nearest the middle of line l, and the camera following it.
void klocek_za(int s, const Linia &l) {
  double cx = l.x + 16.0 * (double)l.tekst.size(), cy = l.y + 16.0, najblizej = 1e18;
  int bx = 1, by = 1;
  jaki = s;
  for (xk = -1; xk <= 10; xk++)
    for (yk = 1; yk <= 20; yk++) {
      kamera_na_miejscu();
      double sx = 0, sy = 0;
      int n = 0;
      bool miesci = true;
      for (int i = 0; i < ilema[s]; i++)
        for (int j = 0; j < ilema[s]; j++) {
          if (!klocek[s * 16 + i * 4 + j]) continue;
          int c = xk - 1 + i, r = yk + j;
          miesci = miesci && c >= 1 && c <= 10 && r <= 20 && komorka(c, r) == 0;
          double px, py;
          rzut(0.1 - (c + 1) * 0.2 - 0.05, 0.75 - (r - 1) * 0.2 - 0.05, -0.35, &px, &py);
          sx += px;
          sy += py;
          n++;
        }
      double d = (sx / n - cx) * (sx / n - cx) + (sy / n - cy) * (sy / n - cy);
      if (miesci && d < najblizej) {
        najblizej = d;
        bx = xk;
        by = yk;
      }
    }
  xk = bx;
  yk = by;
  kamera_na_miejscu();
}

void nastaw_wyglad(const std::string &wyglad) {
  klasyczny = wyglad == "classic";
  szklo = wyglad == "glass";
  czytlo = wyglad != "walloff";
  okno_w_wygladzie(wyglad == "low" ? 0 : 1, wyglad == "640" ? 640 : 800);
}

int zdjecia(const std::string &katalog) {
  katalog_zdjec = katalog;
  spis.open(katalog + "/shots.txt", std::ios::app);
  nowy_katalog_roboczy("800\n600\n16\n1\n0\n1\n0\n0\n0\n1\n012345\n");
  uruchom_program();
  stan_poczatkowy();
  czymuza = 0;
  // The camera eases after the piece; let it arrive as it does in play.
  gra(0, 6, 0);
  klatki(200);

  // A special piece's taunt and the glass-mode notice come after long play,
  // and game over is quicker drawn here than played; in every look.
  for (const char *wyglad : {"normal", "glass", "walloff", "low", "640", "child"}) {
    nastaw_wyglad(wyglad);
    std::string w = wyglad;
    ujecie("inproc-" + w + "-eat.png", "status,eat", [&] {
      pozna_gra(false);
      childmode = w == "child";
      trythat = 90;
    });
    ujecie("inproc-" + w + "-unlock.png", "status,unlock", [&] {
      pozna_gra(false);
      childmode = w == "child";
      czyszklo = 0;
      score = 10001;
    });
    ujecie("inproc-" + w + "-gameover.png", "status,gameover", [&] {
      pozna_gra(true);
      childmode = w == "child";
      wtopa = true;
    });
  }
  nastaw_wyglad("normal");

  // The dimmed room: 3400 passes without a cleared row put the light out; it
  // stays out in the menu until the next game's first pass.
  auto ciemno = [] {
    pozna_gra(false);
    yzbi = 3399;
    klatki(2);
  };
  ujecie("inproc-dim-pause.png", "status,pause", [&] { ciemno(); pauza = 1; });
  ujecie("inproc-dim-eat.png", "status,eat", [&] { ciemno(); trythat = 90; });
  ujecie("inproc-dim-unlock.png", "status,unlock", [&] { ciemno(); czyszklo = 0; score = 10001; });
  ujecie("inproc-dim-child.png", "status,child", [&] { ciemno(); childmode = true; textual = 160; });
  ujecie("inproc-dim-gameover.png", "status,gameover", [&] { ciemno(); wtopa = true; });
  ujecie("inproc-dim-menu.png", "menu", [&] { ciemno(); gameini = true; elem2 = 2; });
  ujecie("inproc-dim-options.png", "options", [&] { ciemno(); gameini = true; menu = true; elem = 8; });
  if (light) {
    fprintf(stderr, "legibility: the light did not go out\n");
    return 2;
  }
  ustaw_swiatlo(true);

  // The alarm: the stack reaches row 4.
  ujecie("inproc-alarm-pause.png", "status,pause", [&] { pozna_gra(true); pauza = 1; });
  ujecie("inproc-alarm-eat.png", "status,eat", [&] { pozna_gra(true); trythat = 90; });
  ujecie("inproc-alarm-unlock.png", "status,unlock", [&] { pozna_gra(true); czyszklo = 0; score = 10001; });
  ujecie("inproc-alarm-child.png", "status,child", [&] { pozna_gra(true); childmode = true; textual = 160; });
  ujecie("inproc-alarm-gameover.png", "status,gameover", [&] { pozna_gra(true); wtopa = true; });
  if (!alarm) {
    fprintf(stderr, "legibility: the alarm is not on\n");
    return 2;
  }

  // The screen of best games, opened by its key in the menu, in the two sizes
  // and in the dimmed room.
  std::ofstream(PLIK_TABELI, std::ios::binary | std::ios::trunc) << tabela_do_zdjec();
  auto najlepsze = [] {
    gameini = true;
    menu = false;
    klatki(1, {SDLK_F2});
  };
  for (const char *wyglad : {"normal", "640", "glass"}) {
    nastaw_wyglad(wyglad);
    ujecie(std::string("inproc-") + wyglad + "-best.png", "best", najlepsze);
    klatki(1, {KLAWISZ_ESCAPE});
  }
  nastaw_wyglad("normal");
  ujecie("inproc-dim-best.png", "best", [&] {
    pozna_gra(false);
    yzbi = 3399;
    klatki(2);
    najlepsze();
  });
  klatki(1, {KLAWISZ_ESCAPE});
  ustaw_swiatlo(true);

  // Every line over the well with the falling piece (the ring of eight, the
  // largest) behind it, in every look, the ghost piece on: each line in its
  // own shot. Classic mode shows only game over and the ghost's notice.
  struct Grupa {
    const char *nazwa;
    void (*stan)();
  };
  static const Grupa grupy[] = {
      {"eat", [] { trythat = 90; }},
      {"unlock", [] { czyszklo = 0; score = 10001; }},
      {"child", [] { childmode = true; textual = 160; }},
      {"gameover", [] { wtopa = true; }},
      {"msg0", [] { musi = true; dzwiek = WIAD_POZIOM; dodzwieku = 0; ruchpox = 60; }},
      {"msg3", [] { musi = true; dzwiek = WIAD_BONUS1000; dodzwieku = 0; ruchpox = 60; }},
      {"msg4", [] { musi = true; dzwiek = WIAD_COMBO; dodzwieku = 0; ruchpox = 60; }},
      {"ghoston", [] { napis_ducha = 100; }},
  };
  for (const char *wyglad : {"normal", "glass", "child", "classic", "low", "640"}) {
    nastaw_wyglad(wyglad);
    std::string w = wyglad;
    Ustawienia u;
    u.pola[0] = width;
    u.pola[1] = height;
    for (const Grupa &g : grupy) {
      std::string nazwa = g.nazwa;
      if (w == "classic" && nazwa != "gameover" && nazwa != "ghoston") continue;
      std::map<std::string, int> liczby = {{"slide", 60}};
      std::vector<Linia> l = linie(u, nazwa, liczby);
      for (size_t i = 0; i < l.size(); i++)
        ujecie("inproc-" + w + "-" + nazwa + "-piece" + std::to_string(i) + ".png", "status," + nazwa, [&] {
          pozna_gra(false);
          childmode = w == "child";
          duch_wlaczony = true;
          g.stan();
          // A message slides one pixel a pass: at 60 in the shot.
          ruchpox -= 3;
          klocek_za(8, l[i]);
        });
      napis_ducha = 0;
      musi = false;
    }
  }

  // A replay's lines: a short game recorded through the real pass, then
  // watched, in every look.
  for (const char *wyglad : {"normal", "glass", "classic", "low", "640"}) {
    stan_poczatkowy();
    nastaw_wyglad(wyglad);
    czymuza = 0;
    zacznij_gre();
    klatki(60, {KLAWISZ_DOL});
    Nagranie n;
    if (!biezace_nagranie(&n)) {
      fprintf(stderr, "legibility: the game was not recorded\n");
      return 2;
    }
    klatki(1, {KLAWISZ_ESCAPE});
    klatki(1);
    if (!zacznij_odtwarzanie(n, false)) {
      fprintf(stderr, "legibility: the recording cannot be replayed\n");
      return 2;
    }
    ujecie(std::string("inproc-") + wyglad + "-replay.png", "status,replay", [] { klatki(30); });
    zakoncz_odtwarzanie();
    klatki(2);
    klatki(1, {KLAWISZ_ESCAPE});
  }
  nastaw_wyglad("normal");
  duch_wlaczony = false;
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 4 && std::string(argv[1]) == "measure") {
    int r = mierz(argv[2], argv[3]);
    return r == 0 ? 0 : r < 0 ? 2 : 1;
  }
  if (argc == 3 && std::string(argv[1]) == "shoot") return zdjecia(argv[2]);
  fprintf(stderr, "usage: legibility measure FONT.png LIST | legibility shoot DIR\n");
  return 2;
}
