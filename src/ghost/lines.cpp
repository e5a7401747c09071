// Lines over the scene: the dark backing under the overlay's lines over the
// well, the replay's line and the ghost's notice.
//
// The overlay adds its letters to the picture, so a line over bricks of its
// own colour (the yellow taunt over the yellow toy bricks) all but vanishes.
// The backing darkens the picture under each letter and, fading, a few pixels
// around it, before the overlay draws: the letters keep their text, place and
// colour and stand on a soft shadow of their own shape.
#include "ghost/ghost.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <cmath>
#include <cstring>

// The shadow: rings of copies of the letters around them, each darkening
// what it covers by its share; the letters' own place darkened wholly.
struct Pierscien {
  float promien;
  int kopii;
  float udzial;
};
static const Pierscien PIERSCIENIE[] = {{1.5f, 8, 0.45f}, {3.0f, 12, 0.3f}, {4.5f, 16, 0.2f}, {6.0f, 20, 0.12f}};

void podklad_napisu(int x, int y, const char *tekst, int zestaw) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  // What is drawn keeps (1 - its alpha) of the picture: a glyph's ink darkens.
  glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 1.0f);
  glPrint(x, y, tekst, zestaw);
  for (int r = 0; r < (int)(sizeof PIERSCIENIE / sizeof PIERSCIENIE[0]); r++) {
    const Pierscien &p = PIERSCIENIE[r];
    glColor4f(0, 0, 0, p.udzial);
    for (int i = 0; i < p.kopii; i++) {
      // Every other ring turned by half a step, so that the copies interleave.
      double kat = 2 * M_PI * (i + 0.5 * (r % 2)) / p.kopii;
      glPrint(x + (int)std::lround(p.promien * std::cos(kat)), y + (int)std::lround(p.promien * std::sin(kat)), tekst,
              zestaw);
    }
  }
  glPopAttrib();
}

void napis_z_podkladem(int x, int y, const char *tekst, int zestaw, float r, float g, float b) {
  podklad_napisu(x, y, tekst, zestaw);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);   // as the overlay draws its text
  glColor3f(r, g, b);
  glPrint(x, y, tekst, zestaw);
  glPopAttrib();
}

// The texts of the overlay's bonus messages, by message kind.
static const char *const WIADOMOSCI[6] = {"NEXT LEVEL!", "BONUS 100!", "BONUS 200!", "BONUS 1000!", "COMBO! BONUS 500!",
                                          "A LOT OF BONUSES!"};

// The wobble the overlay's next step gives the game-over lines, the step
// itself left to the overlay.
static void nastepne_drganie(int *dx, int *dy) {
  int d = distortion, c = chaos;
  krok_drgania(dx, dy);
  distortion = d;
  chaos = c;
}

// The backings of the lines the overlay draws over the well this pass, under
// the very conditions it draws them.
static void podklady_nakladki() {
  int w2 = width / 2, h2 = height / 2;
  if (pauza) podklad_napisu(w2 - 192, h2, ".: PAUSE :.", 0);
  if (!gameini && trythat > 0) podklad_napisu(w2 - 144, h2 + 60, "EAT THIS!", 0);
  if (!gameini && wtopa) {
    int dx, dy;
    nastepne_drganie(&dx, &dy);
    podklad_napisu(w2 + dx - 144, h2 + dy, "GAME OVER", 1);
    podklad_napisu(w2 + dx - 240, h2 + dy - 40, "NEXT GAME Y:N ?", 1);
    podklad_napisu(w2 + dx - 160, h2 + dy - 110, "ESC - Menu", 1);
  }
  if (pauza) return;
  if (musi && !gameini && klasyczny == 0 && dzwiek >= 0 && dzwiek <= 5) {
    // The message slides left one pixel a pass, the step taken as it is drawn.
    int x = w2 - (ruchpox + 1), y = dzwiek == WIAD_POZIOM ? h2 - 36 : h2;
    if (dzwiek >= WIAD_COMBO) x -= 150;
    podklad_napisu(x, y, WIADOMOSCI[dzwiek], 0);
  }
  // The notice shows from the pass in which the score passes 10000.
  if (!gameini && !menu && klasyczny == 0 && (pepper > 0 || (score > 10000 && czyszklo == 0))) {
    podklad_napisu(w2 - 150, h2 + 80, "YOU HAVE UNLOCKED", 0);
    podklad_napisu(w2 - 90, h2 + 40, "GLASS MODE !", 0);
  }
  if (textual > 0 && klasyczny == 0) {
    podklad_napisu(w2 - 332, h2 + 40, "YOU PLAY LIKE A CHILD", 0);
    podklad_napisu(w2 - 200, h2, "SO YOU WILL!", 0);
  }
}

// A line ending 10 pixels from the right edge, as the status lines start 10
// pixels from the left one.
static int od_prawej(const char *tekst) { return width - 10 - 32 * (int)strlen(tekst); }

void przed_napisami() {
  podklady_nakladki();
  if (napis_ducha > 0) napis_ducha--;
  if (gameini) return;
  // A replay says so in the top right corner, its keys in the bottom right.
  if (odtwarzanie) {
    napis_z_podkladem(od_prawej("REPLAY"), height - 32, "REPLAY", 0, 1.0f, 1.0f, 0.0f);
    napis_z_podkladem(od_prawej("RIGHT: FAST"), 76, "RIGHT: FAST", 0, 1.0f, 0.4f, 0.8f);
    napis_z_podkladem(od_prawej("ESC: STOP"), 40, "ESC: STOP", 0, 1.0f, 0.4f, 0.8f);
  }
  if (napis_ducha > 0) {
    const char *tekst = duch_wlaczony ? "GHOST ON" : "GHOST OFF";
    napis_z_podkladem(od_prawej(tekst), height - 108, tekst, 0, 1.0f, 0.4f, 0.8f);
  }
}
