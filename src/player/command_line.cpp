// The command line. Every word is read before anything starts:
//   resolution 640|800|1024   the screen size before config.cfg is read
//   --window, --fullscreen    the window's own words (slowo_okna)
//   --replay FILE             play a recording in the room, print how it ended
//   --demo [SEED]             the computer plays one game, print how it ended
//   --versus OPPONENT [SEED]  a race against the computer or a recording (src/versus/)
//   --scores                  print the tables of best games, open no window
//   --video FILE OUT          a recording saved as a video file (wideo/)
//   --help                    print the command line, open no window
// Words that start with '-' and are none of these end the program with a
// message and status 1; other words are ignored, as they always were.
#include "player/player.h"
#include "computer/computer.h"
#include "versus/versus.h"
#include "shell/shell.h"
#include "wideo/wideo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static bool jest_odtwarzanie = false;   // a recording was named on the command line
static Nagranie z_wiersza;             // and read

static const char *const POMOC =
    "Usage: brixel [resolution 640|800|1024] [--window | --fullscreen]\n"
    "              [--replay FILE | --demo [SEED]]\n"
    "       brixel --versus easy|medium|hard|FILE.rec [SEED]\n"
    "       brixel [--window | --fullscreen] --video RECORDING OUT\n"
    "       brixel --scores\n"
    "       brixel --help\n"
    "A falling-block puzzle game in a 3-D room.\n"
    "\n"
    "  resolution WIDTH  screen size 640x480, 800x600 or 1024x768, set before\n"
    "                    config.cfg is read (whose size, read afterwards, decides)\n"
    "  --window          play in a window for this run (preferences.cfg is left\n"
    "                    as it is)\n"
    "  --fullscreen      play full screen for this run\n"
    "  --replay FILE     play a recorded game in the room and end, printing\n"
    "                    \"score S level L rows R\" (status 1 for a file that is no\n"
    "                    recording of these rules)\n"
    "  --demo [SEED]     the computer plays one game in the room and the program\n"
    "                    ends, printing \"score S level L rows R\"; the same SEED (0\n"
    "                    to 4294967295) plays the same game; computer.rec keeps it\n"
    "  --versus OPPONENT [SEED]  race the computer (easy, medium, hard) or a\n"
    "                    recording, its well beside yours, and end printing \"you S\n"
    "                    opponent S2 won\" (or lost); SEED chooses the computer's game\n"
    "  --scores          print the tables of best games and end, without a window:\n"
    "                    \"mode rank score level rows date start prefilled look\n"
    "                    recording\" a line (start: the level the game started\n"
    "                    at, prefilled: the rows it started on)\n"
    "  --video RECORDING OUT\n"
    "                    save a recorded game as a video file and end: OUT ends in\n"
    "                    .mp4 (H.264 and AAC), .webm (VP8 and Opus) or .gif (480\n"
    "                    pixels wide, 20 frames a second, no sound); a frame a pass\n"
    "                    at 60 a second with the game's sound, at config.cfg's size;\n"
    "                    Escape cancels; status 1 and no file on any failure\n"
    "  --help            print this and end\n"
    "\n"
    "In the main menu F2 (a pad's Y) shows the best games of the mode chosen in\n"
    "the options: Up and Down choose, Return watches the game, Escape (B, Back)\n"
    "goes back, V (a pad's X) saves it as a video in the videos folder\n"
    "(xdg-user-dir VIDEOS, or the working folder). While a game is watched,\n"
    "Right held plays it fast and Escape stops it. F3 in the main menu (a pad's\n"
    "X) lets the computer play a game: Right held plays it fast, Escape (B,\n"
    "Back) returns to the menu. F4 in the main menu (a pad's B) opens the\n"
    "versus screen: race the computer or your best games,\n"
    "with your wins and losses against each; versus.txt keeps them.\n"
    "\n"
    "F5 in the main menu (a pad's Back) opens the player options: start level\n"
    "1-10, pre-filled rows 0-12 and their density, music and sound volume 0-10,\n"
    "the ghost, window or full screen, and the keys. Up and Down choose, Left and\n"
    "Right change, Return saves them in preferences.cfg and leaves, Escape leaves\n"
    "without saving. On KEYS, Return binds the next key or pad button pressed.\n"
    "\n"
    "F11 or Alt+Return switches between full screen and a window, and G (a pad's X)\n"
    "shows or hides the ghost piece in a game; both choices are kept in\n"
    "preferences.cfg. That file, beside config.cfg, also holds your own keys, one\n"
    "action a line: ACTION = KEY, KEY... (actions up down left right choose back\n"
    "pause yes no ghost; see the commented example shipped with the game).\n"
    "config.cfg, preferences.cfg, best.txt and recordings/ are in the working\n"
    "folder.\n";

static void wypisz_tabele() {
  Tabela t = wczytaj_tabele();
  for (int tryb = 0; tryb < LICZBA_TRYBOW; tryb++)
    for (size_t i = 0; i < t.wpisy[tryb].size(); i++)
      printf("%s\n", linia_wyniku(tryb, (int)i + 1, t.wpisy[tryb][i]).c_str());
}

int czytaj_wiersz_polecen(int argc, char **argv) {
  bool pomoc = false, wyniki = false;
  const char *plik = nullptr;
  for (int i = 1; i < argc && argv[i]; i++) {
    const char *s = argv[i];
    if (strcmp(s, "resolution") == 0) {
      if (i + 1 >= argc || !argv[i + 1]) continue;
      int w = atoi(argv[++i]);
      if (w == 800) { width = 800; height = 600; }
      if (w == 1024) { width = 1024; height = 768; }
      if (w == 640) { width = 640; height = 480; }
    } else if (strcmp(s, "--help") == 0 || strcmp(s, "-h") == 0) {
      pomoc = true;
    } else if (strcmp(s, "--scores") == 0) {
      wyniki = true;
    } else if (strcmp(s, "--replay") == 0) {
      if (i + 1 >= argc || !argv[i + 1]) {
        fputs("brixel: --replay needs the file of a recording (brixel --help)\n", stderr);
        return 1;
      }
      plik = argv[++i];
    } else if (int v = slowo_wideo(argc, argv, &i)) {
      if (v < 0) return 1;
    } else if (int d = slowo_demo(argc, argv, &i)) {
      if (d < 0) return 1;
    } else if (int v = slowo_versus(argc, argv, &i)) {
      if (v < 0) return 1;
    } else if (slowo_okna(s)) {
      continue;
    } else if (s[0] == '-') {
      fprintf(stderr, "brixel: unknown option %s (brixel --help lists the command line)\n", s);
      return 1;
    }
  }
  if (pomoc) {
    fputs(POMOC, stdout);
    return 0;
  }
  if (wyniki) {
    wypisz_tabele();
    return fflush(stdout) == 0 ? 0 : 1;
  }
  if (plik && demo_z_wiersza()) {
    fputs("brixel: --replay and --demo cannot go together (brixel --help)\n", stderr);
    return 1;
  }
  if (int v = sprawdz_wideo_z_wiersza(plik || demo_z_wiersza()); v >= 0) return v;
  if (plik) {
    std::string blad;
    int odczyt = wczytaj_nagranie(plik, &z_wiersza, &blad);
    if (odczyt == 1) {
      fprintf(stderr, "brixel: cannot read %s (%s)\n", plik, strerror(errno));
      return 1;
    }
    if (odczyt != 0) {
      fprintf(stderr, "brixel: %s cannot be replayed: %s\n", plik, blad.c_str());
      return 1;
    }
    jest_odtwarzanie = true;
  }
  return -1;
}

void po_starcie() {
  if (jest_odtwarzanie) zacznij_odtwarzanie(z_wiersza, true);
  zacznij_wideo_z_wiersza();
  zacznij_demo();
  zacznij_versus_z_wiersza();
}
