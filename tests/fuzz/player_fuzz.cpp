// libFuzzer target: every input is both a table of best games and a recording
// for their readers (see sprawdz_plikow_gracza.h).
#include "fuzz/sprawdz_plikow_gracza.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dane, size_t n) {
  std::string blad = sprawdz_pliki_gracza(dane, n);
  if (!blad.empty()) {
    fprintf(stderr, "player files check failed: %s\n", blad.c_str());
    abort();
  }
  return 0;
}
