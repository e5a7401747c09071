// The lines of the main menu and the options list, drawn over the scene.
#include "shell/shell.h"
#include "game/game.h"
#include "text_sound/text_sound.h"
#include "player/player.h"
#include "versus/versus.h"
#include "ustawienia/ustawienia.h"

const char *tekst_opcji(int e) {
  switch (e) {
    case 1:
      if (width == 800) return "Resolution 800:600";
      if (width == 640) return "Resolution 640:480";
      return nullptr;
    case 2:
      if (bittes == 16) return "Color Depth 16";
      if (bittes == 32) return "Color Depth 32";
      return nullptr;
    case 3: return jakosc == 0 ? "Detail LOW" : jakosc == 1 ? "Detail HIGH" : nullptr;
    case 4: return czymuza == 0 ? "Music OFF" : czymuza == 1 ? "Music ON" : nullptr;
    case 5: return czytlo == 0 ? "Wall OFF" : czytlo == 1 ? "Wall ON" : nullptr;
    case 6: return czyfram == 0 ? "Show FPS OFF" : czyfram == 1 ? "Show FPS ON" : nullptr;
    case 7: return klasyczny == 0 ? "Classic Mode OFF" : klasyczny == 1 ? "Classic Mode ON" : nullptr;
    case 8: return szklo == 0 ? "Glass Mode OFF" : szklo == 1 ? "Glass Mode ON" : nullptr;
  }
  return nullptr;
}

void napisy_menu() {
  if (napisy_najlepszych()) return;
  if (napisy_versus()) return;
  if (napisy_ustawien()) return;
  int w2 = width / 2, h2 = height / 2;
  int dx, dy;
  krok_drgania(&dx, &dy);

  glColor3f(1.0f, 1.0f, 0.0f);
  if (!menu) {
    glPrint(w2 - 180 + dx, h2 + 64 + dy, ". BRIXEL '", 1);
    const char *pozycje[3] = {"GAME", "OPTIONS ", "EXIT"};
    for (int i = 0; i < 3; i++) {
      if (elem2 == i + 1) glColor3f(0.2f, 1.0f, 0.2f);
      else glColor3f(0.7f, 0.1f, 0.1f);
      glPrint(w2 - 100, h2 - 60 - 40 * i, pozycje[i], 0);
    }
    linia_klawiszy_menu();
  } else {
    glPrint(w2 - 148 + dx, h2 + 120 + dy, ". MENU '", 1);
    for (int e = 1; e <= liczba_opcji(); e++) {
      const char *tekst = tekst_opcji(e);
      if (!tekst) continue;
      if (elem == e) glColor3f(0.2f, 1.0f, 0.2f);
      else glColor3f(0.2f, 0.4f, 1.0f);
      glPrint(w2 - 300, h2 + 60 - 40 * (e - 1), tekst, 0);
    }
  }
  glColor3f(1.0f, 0.4f, 0.8f);
}
