// Lines over the scene: the dark backing under the overlay's lines over the
// well, the replay's line and the ghost's notice.
//
// The overlay adds its letters to the picture, so a line over bricks of its
// own colour (the yellow taunt over the yellow toy bricks) all but vanishes.
// The backing darkens the picture under each letter and, fading, some pixels
// around it, before the overlay draws: the letters keep their text, place and
// colour and stand on a soft shadow of their own shape.
#include "ghost/ghost.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"
#include "versus/versus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

// The shadow of every glyph, made once per window from the font's own
// texture: a 16 x 16 grid of 64-pixel cells, each glyph's 32-pixel cell in
// the middle of its own, its alpha how dark the picture goes there. Under the
// ink it is wholly dark; around it darkening stays strong for CIEN_PELNY
// pixels, enough to fill the line's height, and fades to nothing at
// CIEN_ZASIEG. A space casts the shadow of a bar as high as an H, so that the
// shadow of a line runs on between its words.
static const int KOMORKA = 32, KOMORKA_CIENIA = 64, SIATKA = 16, BOK = KOMORKA_CIENIA * SIATKA;
static const int MARGINES = (KOMORKA_CIENIA - KOMORKA) / 2;
static const float CIEN_PELNY = 4.0f, CIEN_ZASIEG = 9.0f, CIEN = 0.7f;
static GLuint tekstura_cienia = 0;

// Alpha of the shadow at distance d (pixels) from the nearest ink.
static float ciemnosc(float d) {
  if (d <= CIEN_PELNY) return CIEN;
  if (d >= CIEN_ZASIEG) return 0;
  float t = (d - CIEN_PELNY) / (CIEN_ZASIEG - CIEN_PELNY);
  return CIEN * (1 - t * t * (3 - 2 * t));
}

// The shadow texture of the current window's font; 0 when none can be made.
static GLuint cien_fontu() {
  // A new window has lost the old texture (and may have given its name to
  // another): only the shadow's own alpha-only texture of its size will do.
  if (tekstura_cienia && glIsTexture(tekstura_cienia)) {
    GLint bok = 0, format = 0;
    glBindTexture(GL_TEXTURE_2D, tekstura_cienia);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &bok);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    if (bok == BOK && format == GL_ALPHA8) return tekstura_cienia;
  }
  tekstura_cienia = 0;
  if (!GL_texturefont) return 0;
  glBindTexture(GL_TEXTURE_2D, GL_texturefont);
  GLint szer = 0, wys = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &szer);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &wys);
  if (szer != KOMORKA * SIATKA || wys != KOMORKA * SIATKA) return 0;
  std::vector<unsigned char> font((size_t)szer * wys * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, font.data());

  // Distance to the nearest ink in thirds of a pixel (the 3-4 chamfer), each
  // glyph on its own in its cell of the grid.
  const int DALEKO = 1 << 20;
  std::vector<int> odl((size_t)BOK * BOK, DALEKO);
  std::vector<bool> tusz((size_t)BOK * BOK, false);
  auto w_cieniu = [](int c, int x, int y) {
    return (size_t)((c / SIATKA) * KOMORKA_CIENIA + MARGINES + y) * BOK + (c % SIATKA) * KOMORKA_CIENIA + MARGINES + x;
  };
  for (int zestaw = 0; zestaw < 2; zestaw++) {
    int h = 'H' - 32 + 128 * zestaw, gora = KOMORKA, dol = -1;
    for (int y = 0; y < KOMORKA; y++)
      for (int x = 0; x < KOMORKA; x++) {
        if (!font[((size_t)((h / SIATKA) * KOMORKA + y) * szer + (h % SIATKA) * KOMORKA + x) * 4 + 3]) continue;
        gora = std::min(gora, y);
        dol = std::max(dol, y);
      }
    for (int y = gora; y <= dol; y++)
      for (int x = 0; x < KOMORKA; x++) odl[w_cieniu(128 * zestaw, x, y)] = 0;
  }
  for (int y = 0; y < KOMORKA * SIATKA; y++)
    for (int x = 0; x < KOMORKA * SIATKA; x++)
      if (font[((size_t)y * szer + x) * 4 + 3]) {
        size_t i = w_cieniu((y / KOMORKA) * SIATKA + x / KOMORKA, x % KOMORKA, y % KOMORKA);
        odl[i] = 0;
        tusz[i] = true;
      }
  auto krok = [&](int x, int y, int dx, int dy, int koszt) {
    int qx = x + dx, qy = y + dy;
    if (qx < 0 || qy < 0 || qx / KOMORKA_CIENIA != x / KOMORKA_CIENIA || qy / KOMORKA_CIENIA != y / KOMORKA_CIENIA)
      return;
    int &d = odl[(size_t)y * BOK + x];
    d = std::min(d, odl[(size_t)qy * BOK + qx] + koszt);
  };
  for (int y = 0; y < BOK; y++)
    for (int x = 0; x < BOK; x++) {
      krok(x, y, -1, 0, 3);
      krok(x, y, 0, -1, 3);
      krok(x, y, -1, -1, 4);
      krok(x, y, 1, -1, 4);
    }
  for (int y = BOK - 1; y >= 0; y--)
    for (int x = BOK - 1; x >= 0; x--) {
      krok(x, y, 1, 0, 3);
      krok(x, y, 0, 1, 3);
      krok(x, y, 1, 1, 4);
      krok(x, y, -1, 1, 4);
    }
  std::vector<unsigned char> cien((size_t)BOK * BOK);
  // Under the ink, however faint, the picture goes wholly dark.
  for (size_t i = 0; i < cien.size(); i++)
    cien[i] = tusz[i] ? 255 : (unsigned char)std::lround(255 * ciemnosc(odl[i] / 3.0f));

  glGenTextures(1, &tekstura_cienia);
  glBindTexture(GL_TEXTURE_2D, tekstura_cienia);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, BOK, BOK, 0, GL_ALPHA, GL_UNSIGNED_BYTE, cien.data());
  return tekstura_cienia;
}

void podklad_napisu(int x, int y, const char *tekst, int zestaw) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  GLuint t = cien_fontu();
  if (!t) {
    glPopAttrib();
    return;
  }
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  // The picture keeps (1 - the shadow's alpha) of itself.
  glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 1);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, (double)width, 0, (double)height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // Each glyph's shadow centred on the glyph as glPrint places it: its cell
  // from (x, y) up and right, the pen advancing one cell.
  const float k = (float)KOMORKA_CIENIA / BOK;
  glBegin(GL_QUADS);
  for (int i = 0; tekst[i]; i++) {
    int c = (unsigned char)tekst[i] - 32 + 128 * (zestaw ? 1 : 0);
    if (c < 0 || c > 255) continue;
    float s0 = (c % SIATKA) * k, t0 = (c / SIATKA) * k;
    int x0 = x + KOMORKA * i - MARGINES, y0 = y - MARGINES;
    glTexCoord2f(s0, t0 + k); glVertex2i(x0, y0);
    glTexCoord2f(s0 + k, t0 + k); glVertex2i(x0 + KOMORKA_CIENIA, y0);
    glTexCoord2f(s0 + k, t0); glVertex2i(x0 + KOMORKA_CIENIA, y0 + KOMORKA_CIENIA);
    glTexCoord2f(s0, t0); glVertex2i(x0, y0 + KOMORKA_CIENIA);
  }
  glEnd();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
}

void napis_na_podkladzie(int x, int y, const char *tekst, int zestaw) {
  podklad_napisu(x, y, tekst, zestaw);
  glPrint(x, y, tekst, zestaw);
}

void napis_z_podkladem(int x, int y, const char *tekst, int zestaw, float r, float g, float b) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);   // as the overlay draws its text
  glColor3f(r, g, b);
  napis_na_podkladzie(x, y, tekst, zestaw);
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
  if (!gameini) {
    // The score lines at the top cross the well where the pieces come in;
    // those at the bottom stay under its floor.
    char linia[48];
    snprintf(linia, sizeof linia, "RECORD %d", rekord);
    podklad_napisu(10, height - 70, linia, 0);
    snprintf(linia, sizeof linia, "SCORE  %d", score);
    podklad_napisu(10, height - 32, linia, 0);
  }
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
  rysuj_przeciwnika();
  podklady_nakladki();
  if (napis_ducha > 0) napis_ducha--;
  if (gameini) return;
  // A replay says so in the top right corner, its keys over the bottom right
  // corner; they step aside for the game-over lines, when Right no longer
  // speeds anything up.
  if (odtwarzanie) {
    napis_z_podkladem(od_prawej("REPLAY"), height - 32, "REPLAY", 0, 1.0f, 1.0f, 0.0f);
    if (!wtopa) {
      napis_z_podkladem(od_prawej("RIGHT: FAST"), 108, "RIGHT: FAST", 0, 1.0f, 0.4f, 0.8f);
      napis_z_podkladem(od_prawej("ESC: STOP"), 76, "ESC: STOP", 0, 1.0f, 0.4f, 0.8f);
    }
  }
  if (napis_ducha > 0) {
    const char *tekst = duch_wlaczony ? "GHOST ON" : "GHOST OFF";
    napis_z_podkladem(od_prawej(tekst), height - 108, tekst, 0, 1.0f, 0.4f, 0.8f);
  }
}
