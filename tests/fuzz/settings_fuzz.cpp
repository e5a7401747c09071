// libFuzzer target: every input is a config.cfg for the game's reader; any
// disagreement with the reference reading, a writer form out of line or a file
// that does not read back ends the run (see sprawdz_ustawienia.h).
#include "fuzz/sprawdz_ustawienia.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dane, size_t n) {
  static const bool ujemny_rekord = getenv("BRIXEL_FUZZ_UJEMNY_REKORD") != nullptr;
  std::string blad = sprawdz_ustawienia(dane, n, ujemny_rekord);
  if (!blad.empty()) {
    fprintf(stderr, "settings check failed: %s\n", blad.c_str());
    abort();
  }
  return 0;
}
