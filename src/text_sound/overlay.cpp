// The text over the scene: frame rate, pause banner, score lines, taunts, the
// game-over lines, the menu text, the bonus messages and the notices.
#include "text_sound/text_sound.h"
#include "game/game.h"
#include "shell/shell.h"

#include <cstdio>
#include <ctime>

int counter = 0, fps2 = 0, licznik = 0;
int distortion = 0, chaos = 0;
const int distx[10] = {-2, 4, 8, 7, -3, -4, 6, 9, -3, 6};
const int disty[10] = {-6, 2, 9, 3, -7, -2, 4, 1, -9, 2};
int ruchpox = 0;

void krok_drgania(int *dx, int *dy) {
  distortion++;
  if (distortion == 10) {
    distortion = 0;
    chaos++;
    if (chaos > 9) chaos = 0;
  }
  // Indices are kept in range whatever was stored in them.
  if (chaos < 0 || chaos > 9) chaos = 0;
  *dx = distx[chaos];
  *dy = disty[chaos];
}

// A formatted line with one number; the buffer holds the longest int.
static void napis_liczba(int x, int y, const char *forma, int liczba) {
  char linia[48];
  snprintf(linia, sizeof linia, forma, liczba);
  glPrint(x, y, linia, 0);
}

static const char *const teksty_wiadomosci[6] = {
  "NEXT LEVEL!", "BONUS 100!", "BONUS 200!", "BONUS 1000!", "COMBO! BONUS 500!",
  "A LOT OF BONUSES!"};

static void wiadomosc(int w2, int h2) {
  if (dzwiek < 0 || dzwiek > 5) return;
  int x = w2 - ruchpox, y = h2;
  if (dzwiek == WIAD_POZIOM) y = h2 - 36;
  if (dzwiek >= WIAD_COMBO) x -= 150;
  glPrint(x, y, teksty_wiadomosci[dzwiek], 0);
}

void nakladka_tekstu() {
  int w = width, h = height, w2 = width / 2, h2 = height / 2;

  glDisable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glEnable(GL_BLEND);
  glColor3f(1.0f, 1.0f, 0.2f);
  glDisable(GL_LIGHTING);

  fps2 = (int)time(nullptr);
  counter++;
  if (fps2 > fps1) {
    licznik = counter;
    counter = 0;
    fps1 = fps2;
  }

  if (pauza) glPrint(w2 - 192, h2, ".: PAUSE :.", 0);
  glColor3f(1.0f, 0.4f, 0.8f);
  if (czyfram == 1) napis_liczba(w - 224, h - 70, "FPS %d", licznik);

  if (!gameini) {
    napis_liczba(10, h - 70, "RECORD %d", rekord);
    napis_liczba(10, h - 32, "SCORE  %d", score);
    napis_liczba(10, 40, "LEVEL: %d", level);
    napis_liczba(10, 10, "DESTROYED: %d", calkowite);
    if (trythat > 0) {
      glColor3f(0.3f, 0.3f, 1.0f);
      trythat--;
      glPrint(w2 - 144, h2 + 60, "EAT THIS!", 0);
      glColor3f(1.0f, 0.4f, 0.8f);
    }
    if (wtopa) {
      int dx, dy;
      krok_drgania(&dx, &dy);
      glColor3f(1.0f, 1.0f, 0.0f);
      glPrint(w2 + dx - 144, h2 + dy, "GAME OVER", 1);
      glPrint(w2 + dx - 240, h2 + dy - 40, "NEXT GAME Y:N ?", 1);
      glPrint(w2 + dx - 160, h2 + dy - 110, "ESC - Menu", 1);
      glColor3f(1.0f, 0.4f, 0.8f);
    }
  }

  if (!pauza) {
    if (gameini) napisy_menu();

    if (musi && !gameini && klasyczny == 0) {
      ruchpox++;
      glColor3f(1.0f, 0.0f, 0.0f);
      wiadomosc(w2, h2);
      glColor3f(1.0f, 0.4f, 0.8f);
    }

    if (!gameini && !menu && klasyczny == 0) {
      glColor3f(1.0f, 0.8f, 0.2f);
      odblokuj_szklo();
      if (pepper > 0) {
        glPrint(w2 - 150, h2 + 80, "YOU HAVE UNLOCKED", 0);
        glPrint(w2 - 90, h2 + 40, "GLASS MODE !", 0);
        pepper--;
      }
      glColor3f(1.0f, 0.4f, 0.8f);
    }

    if (textual > 0 && klasyczny == 0) {
      textual--;
      glColor3f(1.0f, 1.0f, 0.2f);
      glPrint(w2 - 332, h2 + 40, "YOU PLAY LIKE A CHILD", 0);
      glPrint(w2 - 200, h2, "SO YOU WILL!", 0);
      glColor3f(1.0f, 1.0f, 1.0f);
    }
    if (!musi) ruchpox = 0;
  }

  glEnable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glColor3f(1.0f, 1.0f, 1.0f);
}
