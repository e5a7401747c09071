// Start-up, the main loop and shutdown.
#include "shell/shell.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "computer/computer.h"
#include "koniec/koniec.h"
#include "render/render.h"
#include "text_sound/text_sound.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

bool done = false;
int pauza = 0;
int pa = 0;
Uint8 *keys = nullptr;

static SDL_Event zdarzenie;   // reused from pass to pass; starts with no event type

int HandleEvent(SDL_Event *e) {
  if (e->type == SDL_QUIT) done = true;
  // Minimised, or the input focus gone: a running game pauses.
  if (e->type == SDL_ACTIVEEVENT) zmiana_aktywnosci(e->active);
  zdarzenie_pada(*e);
  return done ? 1 : 0;
}

void wyjscie() {
  skoncz_dekodowanie_obrazow();
  for (int i = 0; i < 90; i++) RemoveTexture(gTexture[i]);
  for (int i = 0; i < 90; i++) gTexture[i] = 0;
  zwolnij_dzwieki();
  zamknij_pady();
  SDL_Quit();
}

void zakoncz_z_bledem(const char *komunikat) {
  fputs(komunikat, stderr);
  wyjscie();
  exit(1);
}

int start_programu(int argc, char **argv) {
  // The command line, the screen size words included; some words end the
  // program before anything opens.
  int slowa = czytaj_wiersz_polecen(argc, argv);
  if (slowa >= 0) return slowa;
  // The pictures are decoded meanwhile; the textures only upload them.
  zacznij_dekodowanie_obrazow();
  wczytanie_poziomu();

  if (!otworz_dzwiek()) {
    fputs("Couldn't initialize sound.\n", stderr);
    skoncz_dekodowanie_obrazow();
    return 1;
  }
  przygotuj_sdl();
  // Asked to end before anything showed: nothing to show.
  if (prosba_o_koniec()) {
    zwolnij_dzwieki();
    skoncz_dekodowanie_obrazow();
    return 0;
  }
  // From SDL's start to the first window, the display has 10 seconds.
  okno_w_budowie(true);
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    // SDL 3 has no off-screen driver to fall back on (below): with no display
    // its start fails. A driver the player named gets SDL's own words.
    if (sterownik_gracza())
      fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
    else
      fprintf(stderr,
              "Couldn't initialize SDL: no display to show the window on (SDL says: %s); start BRIXEL in a "
              "desktop session\n",
              SDL_GetError());
    zwolnij_dzwieki();
    skoncz_dekodowanie_obrazow();
    return 1;
  }
  // Without a display SDL may still start, drawing where nobody sees it.
  if (const char *sterownik = sterownik_bez_ekranu()) {
    fprintf(stderr,
            "Couldn't initialize SDL: no display to show the window on (SDL's video driver is "
            "\"%s\"); start BRIXEL in a desktop session\n",
            sterownik);
    skoncz_dekodowanie_obrazow();
    zwolnij_dzwieki();
    SDL_Quit();
    return 1;
  }
  // The player's keys and the choice of a window (SDL names the keys once its
  // video has started).
  wczytaj_preferencje();
  wybierz_tryb_okna();
  SDL_ShowCursor(0);
  // The input is grabbed once the window is open (a grab asked for before it
  // leaves SDL 2 holding the pointer only).
  otworz_pierwsze_okno();
  okno_w_budowie(false);
  otworz_pady();
  SDL_GL_SwapBuffers();

  wczytaj_dzwieki();
  wczytaj_tekstury();
  graj(SMP_GREETINGS);
  graj(SMP_MUSIC_START);

  srand((unsigned)time(nullptr));
  nastepny = rand() % 7;

  gameini = true;
  menu = false;
  kloc = true;
  po_starcie();
  return -1;
}

void przebieg(Uint8 *stan_klawiszy) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // A pad's joystick events are all taken at once, so that their stream cannot
  // hold up the one other event of the pass.
  SDL_PumpEvents();
  SDL_Event z_padow[16];
  for (int n; (n = SDL_PeepEvents(z_padow, 16, SDL_GETEVENT, SDL_JOYEVENTMASK)) > 0;)
    for (int i = 0; i < n; i++) zdarzenie_pada(z_padow[i]);
  // The record keeps its last event when the queue is empty; it is handled once.
  if (SDL_PollEvent(&zdarzenie) && HandleEvent(&zdarzenie)) done = true;
  // SIGTERM or SIGINT ends the program as a quit event does.
  if (prosba_o_koniec()) done = true;
  int ile = SDLK_LAST;
  Uint8 *surowe = stan_klawiszy ? stan_klawiszy : SDL_GetKeyState(&ile);
  keys = klawisze_pasu(surowe, ile);
  klawisz_ducha(keys);
  // Recorded, replayed, or taken by the screen of best games.
  pas_gracza(keys);
  const Uint8 *k = keys;

  // The room and the well's frame, seen through last pass's camera.
  kamera_zbliz();
  rysuj_pokoj();

  // The rules of the frame.
  czyszczenie_gory();
  losuj_rozmiar();
  ilelinii = rozwalone;
  if (!gameini && !wtopa) skan_wierszy();
  premie_wierszy();
  krok_spawn();

  // The well's cells, the particles, the rings.
  rysuj_komorki();
  lot_kul();
  if (klasyczny == 0) pierscienie();

  // The falling piece; while a game runs, the preview, gravity and the alarm.
  rysuj_klocek();
  rysuj_ducha();
  if (gra_biegnie()) {
    rysuj_podglad();
    krok_grawitacji();
    if (alarm && klasyczny == 0) licznik_alarmu();
  }

  liczniki_wiadomosci();
  sprawdz_rekord();
  nakladka_swiatla();
  zegar_combo();
  kat_wahania();

  // Keys: the pause toggle, then everything else unless paused.
  if (!gameini && !wtopa) {
    if (k[KLAWISZ_P] && pa == 0) {
      pauza = pauza ? 0 : 1;
      pa = 1;
    }
  }
  zwolnij_zatrzask(k, KLAWISZ_P, &pa);
  if (pauza == 0) {
    menu_return(k);
    klawisze_yn(k);
    if (k[KLAWISZ_DOL] && dp == 0 && gra_biegnie()) ruch_dol();
    menu_dol(k);
    if (k[KLAWISZ_GORA] && obrot == 0 && gra_biegnie()) ruch_obrot();
    menu_gora(k);
    if (k[KLAWISZ_LEWO] && left == 0 && gra_biegnie()) ruch_lewo();
    opcje_lewo(k);
    if (k[KLAWISZ_PRAWO] && right == 0 && gra_biegnie()) ruch_prawo();
    opcje_prawo(k);
  }

  widok_kamery();
  przed_napisami();
  napis_komputera();
  nakladka_tekstu();

  // Escape leaves a game for the menu, or the options list for the main menu.
  if (k[KLAWISZ_ESCAPE]) {
    if (!gameini) ucieczka_z_gry();
    if (gameini && menu) {
      menu = false;
      wczytanie_poziomu();
    }
  }
  if (klawiatura_niepewna > 0) klawiatura_niepewna--;
}

int SDL_main(int argc, char **argv) {
  pilnuj_konca();
  int wynik = start_programu(argc, argv);
  if (wynik >= 0) return wynik;
  while (!done) {
    przebieg(nullptr);
    for (int n = dodatkowe_przebiegi(); n > 0 && !done; n--) przebieg(nullptr);
    SDL_Delay(5);
    SDL_GL_SwapBuffers();
  }
  wyjscie();
  return 0;
}
