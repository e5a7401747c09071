// Runs the real game inside a test: a temporary working directory with its own
// config.cfg and the generated data, the real start-up with a window under the
// test's X display, and passes of the main loop with key states the test picks.
#ifndef BRIXEL_HARNESS_H
#define BRIXEL_HARNESS_H

#include <GL/gl.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

// The settings file the build puts in data/ (800 x 600, 16 bits, record 0).
extern const char *const DOMYSLNY_CONFIG;

// Makes a fresh working directory holding config.cfg with the given contents and
// links to the generated gfx/, sfx/ and music/, enters it and returns its path.
std::string nowy_katalog_roboczy(const std::string &config = DOMYSLNY_CONFIG);

// Starts the program once per test binary (later calls do nothing). Creates a
// working directory first when none was made.
void uruchom_program();

// The input grab: what SDL answers to a query, and whether another X client
// is refused the keyboard. Taken after the start-up, once SDL has seen its
// window's first events, and now.
struct Chwyt {
  int sdl;
  bool zajeta_dla_innych;
};
extern Chwyt chwyt_po_starcie;
Chwyt chwyt_teraz();

// Puts every game variable back to its program-start value (menu shown, empty
// well, initial counters, camera and effects) without touching the window.
void stan_poczatkowy();

// Runs n passes with the given keys held (SDL key codes), none when empty.
void klatki(int n, std::initializer_list<int> klawisze = {});
// One pass with the key held, then one with every key up.
void nacisnij(int klawisz);
// From the main menu with the cursor on GAME: Return, then the pass that spawns
// the first piece. The game then runs with the piece at row anchor 0.
void zacznij_gre();

// A running game with piece s at column anchor x, row anchor y; gravity slowed
// right down unless a test speeds it up, and a record no score in the tests
// reaches, so no record cue sounds.
void gra(int s, int x, int y);

// The detail (1 high, 0 low) and the window's width (640 or 800, the height
// going with it) as the options list sets them: the window re-created (and
// config.cfg written) when either changes.
void okno_w_wygladzie(int szczegoly, int szerokosc);

// Read-back of the back buffer: four bytes a pixel, bottom row first.
using Obraz = std::vector<unsigned char>;
struct Rgba {
  int r, g, b, a;
};
// The buffer of a w x h window; obraz() of the current window (width x height).
Obraz obraz_okna(int w, int h);
Obraz obraz();
// Pixel (x, y) of a read-back of the current window; -1000 in every channel
// outside it.
Rgba piksel(const Obraz &p, int x, int y);
// The pixel at the window position of a world point.
Rgba w_punkcie(const Obraz &p, double x, double y, double z);

// Window position of a world point under the current matrices and viewport.
void rzut(double x, double y, double z, double *sx, double *sy);
// A 4 x 4 texture of one colour with nearest filtering; returns its name.
GLuint jednolita(int r, int g, int b, int a = 255);

// The first invariant of the game state that a pass broke, "" when all hold:
// walls and hidden row whole, cells 0 or 1, the piece inside the playing
// columns, the shapes whole, every index, counter and flag in its range, and
// the states consistent (no paused menu, no options outside it).
std::string naruszenie_stanu();

// What a shell command writes to its standard output.
inline std::string wynik_polecenia(const std::string &polecenie) {
  std::string wynik;
  FILE *p = popen(polecenie.c_str(), "r");
  if (!p) return wynik;
  char bufor[4096];
  size_t n;
  while ((n = fread(bufor, 1, sizeof bufor, p)) > 0) wynik.append(bufor, n);
  pclose(p);
  return wynik;
}

// Whether a window manager runs on the test's X display; openbox started on
// it (false when it cannot be), and stopped again.
bool jest_menedzer();
bool wlacz_menedzera();
void wylacz_menedzera();

// Reads config.cfg of the current working directory.
std::string tresc_configu();

#endif
