// A second, deliberately plain reading of config.cfg, used to check the game's
// reader: the file is cut into lines; field k is line k (without its newline);
// blanks, an optional sign and decimal digits make a number when it fits in an
// int; a line without one keeps the field's value; fields past the end of the
// file keep theirs. An unlock value (field 10) other than 0 counts as 1.
#ifndef BRIXEL_WZORZEC_USTAWIEN_H
#define BRIXEL_WZORZEC_USTAWIEN_H

#include <cstddef>
#include <cstring>
#include <string>

const int LICZBA_POL = 11;
const int POLE_ODBLOKOWANIA = 9;   // czyszklo, counted from 0

// Parses one line (no newline in it). Returns true and the value when the line
// starts with a number that fits in an int.
inline bool wzorcowa_liczba(const unsigned char *linia, size_t n, int *wynik) {
  size_t i = 0;
  while (i < n && (linia[i] == ' ' || linia[i] == '\t' || linia[i] == '\r' || linia[i] == '\v' ||
                   linia[i] == '\f'))
    i++;
  bool ujemna = false;
  if (i < n && (linia[i] == '+' || linia[i] == '-')) {
    ujemna = linia[i] == '-';
    i++;
  }
  size_t poczatek = i;
  while (i < n && linia[i] >= '0' && linia[i] <= '9') i++;
  if (i == poczatek) return false;
  // Compare digit strings rather than accumulate, so no width can overflow.
  size_t z = poczatek;
  while (z + 1 < i && linia[z] == '0') z++;
  std::string cyfry(reinterpret_cast<const char *>(linia + z), i - z);
  const std::string granica = ujemna ? "2147483648" : "2147483647";
  if (cyfry.size() > granica.size() || (cyfry.size() == granica.size() && cyfry > granica))
    return false;
  long long v = std::stoll(cyfry);
  *wynik = (int)(ujemna ? -v : v);
  return true;
}

// Applies the file to pola (the eleven values before the read).
inline void wzorcowy_odczyt(const unsigned char *dane, size_t n, int pola[LICZBA_POL]) {
  size_t pozycja = 0;
  for (int k = 0; k < LICZBA_POL && pozycja < n; k++) {
    const void *nl = memchr(dane + pozycja, '\n', n - pozycja);
    size_t koniec = nl ? (size_t)(static_cast<const unsigned char *>(nl) - dane) : n;
    int v;
    if (wzorcowa_liczba(dane + pozycja, koniec - pozycja, &v)) pola[k] = v;
    pozycja = koniec + 1;
  }
  if (pola[POLE_ODBLOKOWANIA] != 0) pola[POLE_ODBLOKOWANIA] = 1;
}

#endif
