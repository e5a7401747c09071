// One check of the settings reader and writer on arbitrary bytes, shared by the
// fuzzer and by the replay of its corpus: the reader must give what the plain
// reference reading gives, the writer must form the file field by field, and the
// file it forms must read back to the same values.
#ifndef BRIXEL_SPRAWDZ_USTAWIENIA_H
#define BRIXEL_SPRAWDZ_USTAWIENIA_H

#include "fuzz/wzorzec_ustawien.h"
#include "game/game.h"
#include "shell/shell.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline int *const *pola_ustawien() {
  static int *const pola[LICZBA_POL] = {&width,   &height,    &bittes, &jakosc,   &czymuza, &czytlo,
                                        &czyfram, &klasyczny, &szklo,  &czyszklo, &rekord};
  return pola;
}

// Reads the bytes with the game's reader, starting from the given values.
// Returns false when no stream could be made.
inline bool odczyt_gry(const uint8_t *dane, size_t n, const int przed[LICZBA_POL],
                       int po[LICZBA_POL]) {
  int *const *pola = pola_ustawien();
  for (int i = 0; i < LICZBA_POL; i++) *pola[i] = przed[i];
  // An exact-size copy, so that a read past the end shows under AddressSanitizer.
  std::vector<uint8_t> kopia(dane, dane + n);
  FILE *f = n ? fmemopen(kopia.data(), n, "r") : tmpfile();
  if (!f) return false;
  czytaj_ustawienia(f);
  long pozycja = ftell(f);
  fclose(f);
  for (int i = 0; i < LICZBA_POL; i++) po[i] = *pola[i];
  return pozycja >= 0 && (size_t)pozycja <= n;
}

inline std::string wartosci_tekstem(const int v[LICZBA_POL]) {
  std::string s;
  for (int i = 0; i < LICZBA_POL; i++) s += (i ? "," : "") + std::to_string(v[i]);
  return s;
}

// The file the writer must form for the values: each field on its line, the
// record padded to six characters; a negative one (only from a damaged file)
// as it is, so that it reads back.
inline std::string oczekiwany_zapis(const int v[LICZBA_POL]) {
  std::string s;
  for (int i = 0; i < LICZBA_POL - 1; i++) s += std::to_string(v[i]) + "\n";
  std::string r = std::to_string(v[LICZBA_POL - 1]);
  if (v[LICZBA_POL - 1] >= 0 && r.size() < 6) r.insert(0, 6 - r.size(), '0');
  return s + r + "\n";
}

// Empty when everything holds, otherwise what went wrong.
inline std::string sprawdz_ustawienia(const uint8_t *dane, size_t n) {
  // Starting values: ones no file is likely to hold, and both unlock states.
  int przed[LICZBA_POL] = {-1001, -1002, -1003, -1004, -1005, -1006,
                           -1007, -1008, -1009, (int)(n & 1), 1011};
  int po[LICZBA_POL];
  if (!odczyt_gry(dane, n, przed, po)) return "the stream could not be made or was read past its end";
  int wzor[LICZBA_POL];
  for (int i = 0; i < LICZBA_POL; i++) wzor[i] = przed[i];
  wzorcowy_odczyt(dane, n, wzor);
  for (int i = 0; i < LICZBA_POL; i++)
    if (po[i] != wzor[i])
      return "field " + std::to_string(i + 1) + ": read " + wartosci_tekstem(po) + ", expected " +
             wartosci_tekstem(wzor);

  char bufor[256];
  int dlugosc = tresc_ustawien(bufor, sizeof bufor);
  std::string zapis(bufor, dlugosc > 0 ? dlugosc : 0);
  std::string oczekiwany = oczekiwany_zapis(po);
  if (zapis != oczekiwany) return "the writer made \"" + zapis + "\" instead of \"" + oczekiwany + "\"";

  int znowu[LICZBA_POL];
  int inne[LICZBA_POL] = {-7, -7, -7, -7, -7, -7, -7, -7, -7, 1 - po[POLE_ODBLOKOWANIA], -7};
  if (!odczyt_gry(reinterpret_cast<const uint8_t *>(zapis.data()), zapis.size(), inne, znowu))
    return "the written file could not be read";
  for (int i = 0; i < LICZBA_POL; i++)
    if (znowu[i] != po[i])
      return "the written file \"" + zapis + "\" reads back as " + wartosci_tekstem(znowu);
  return "";
}

#endif
