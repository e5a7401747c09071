// libFuzzer target: every input is a config.cfg for the game's reader; any
// disagreement with the reference reading, a writer form out of line or a file
// that does not read back ends the run (see sprawdz_ustawienia.h).
#include "fuzz/sprawdz_ustawienia.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dane, size_t n) {
  std::string blad = sprawdz_ustawienia(dane, n);
  if (!blad.empty()) {
    fprintf(stderr, "settings check failed: %s\n", blad.c_str());
    abort();
  }
  return 0;
}
