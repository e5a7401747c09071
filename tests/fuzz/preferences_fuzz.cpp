// libFuzzer target: every input is a preferences.cfg; a failed check (see
// sprawdz_preferencje.h) ends the run.
#include "fuzz/sprawdz_preferencje.h"

#include <SDL.h>

// SDL names the keys once its video has started; no window is needed. No
// display either: with one and no session bus, SDL 2 under sdl12-compat has
// D-Bus start a bus through X, and D-Bus leaks a block LeakSanitizer reports.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  return SDL_Init(SDL_INIT_VIDEO) < 0 ? (abort(), 1) : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dane, size_t n) {
  std::string blad = sprawdz_preferencje(dane, n);
  if (!blad.empty()) fprintf(stderr, "preferences check failed: %s\n", blad.c_str()), abort();
  return 0;
}
