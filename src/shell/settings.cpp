// The settings file config.cfg: eleven decimal fields, one per line.
#include "shell/shell.h"
#include "game/game.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

int width = 800;
int height = 600;
int bittes = 16;
int jakosc = 1;
int czymuza = 1;
int czytlo = 1;
int czyfram = 0;
int klasyczny = 0;
int szklo = 0;

static const char *const PLIK_USTAWIEN = "config.cfg";
static const char *const KOMUNIKAT_PLIKU = "Cannot open config.cfg file.\n";

// Takes one field: the rest of the line, parsed as "%d" parses (blanks, an
// optional sign, digits). A field with no number, or a number outside the range
// of int, leaves the variable as it was. Returns false when the file has ended.
static bool czytaj_pole(FILE *plik, int *zmienna) {
  int c = getc(plik);
  if (c == EOF) return false;
  while (c != EOF && c != '\n' && isspace(c)) c = getc(plik);
  bool ujemna = false;
  if (c == '+' || c == '-') {
    ujemna = c == '-';
    c = getc(plik);
  }
  bool cyfry = false, za_duza = false;
  long long wartosc = 0;
  while (c != EOF && isdigit(c)) {
    cyfry = true;
    if (!za_duza) {
      wartosc = wartosc * 10 + (c - '0');
      if (wartosc > (long long)INT_MAX + 1) za_duza = true;
    }
    c = getc(plik);
  }
  while (c != EOF && c != '\n') c = getc(plik);
  if (ujemna) wartosc = -wartosc;
  if (cyfry && !za_duza && wartosc >= INT_MIN && wartosc <= INT_MAX) *zmienna = (int)wartosc;
  return c != EOF;
}

void czytaj_ustawienia(FILE *plik) {
  int *pola[11] = {&width, &height, &bittes, &jakosc, &czymuza, &czytlo,
                   &czyfram, &klasyczny, &szklo, &czyszklo, &rekord};
  for (int i = 0; i < 11; i++)
    if (!czytaj_pole(plik, pola[i])) break;
  // Any unlock value but 0 counts as unlocked and is stored back as 1.
  if (czyszklo != 0) czyszklo = 1;
}

void wczytanie_poziomu() {
  FILE *plik = fopen(PLIK_USTAWIEN, "r");
  // A directory of that name opens but cannot be read: it is no settings file.
  struct stat opis;
  if (plik && (fstat(fileno(plik), &opis) != 0 || !S_ISREG(opis.st_mode))) {
    fclose(plik);
    plik = nullptr;
  }
  if (!plik) zakoncz_z_bledem(KOMUNIKAT_PLIKU);
  czytaj_ustawienia(plik);
  fclose(plik);
}

int tresc_ustawien(char *bufor, int rozmiar) {
  const char *forma = "%d\n";
  // A negative record (only ever read from a damaged file) is written as it is,
  // so that it reads back unchanged rather than as 0.
  if (rekord > 99999 || rekord < 0) forma = "%d\n";
  else if (rekord > 9999) forma = "0%d\n";
  else if (rekord > 999) forma = "00%d\n";
  else if (rekord > 99) forma = "000%d\n";
  else if (rekord > 9) forma = "0000%d\n";
  else forma = "00000%d\n";
  char linia_rekordu[32];
  snprintf(linia_rekordu, sizeof linia_rekordu, forma, rekord);
  int n = snprintf(bufor, rozmiar, "%d\n%d\n%d\n%d\n%d\n%d\n%d\n%d\n%d\n%d\n%s", width, height,
                   bittes, jakosc, czymuza, czytlo, czyfram, klasyczny, szklo, czyszklo,
                   linia_rekordu);
  if (n < 0) return 0;
  return n < rozmiar ? n : rozmiar - 1;
}

bool zapisz_plik_atomowo(const char *nazwa, const char *tresc, int dlugosc) {
  char tymczasowa[512];
  int n = snprintf(tymczasowa, sizeof tymczasowa, "%s.tmp", nazwa);
  if (n < 0 || n >= (int)sizeof tymczasowa) return false;
  FILE *plik = fopen(tymczasowa, "w");
  if (!plik) return false;
  bool dobrze = fwrite(tresc, 1, dlugosc, plik) == (size_t)dlugosc;
  dobrze = fflush(plik) == 0 && dobrze;
  dobrze = fsync(fileno(plik)) == 0 && dobrze;
  dobrze = fclose(plik) == 0 && dobrze;
  if (dobrze) dobrze = rename(tymczasowa, nazwa) == 0;
  if (!dobrze) remove(tymczasowa);
  return dobrze;
}

bool zapisz_ustawienia() {
  char tresc[256];
  int n = tresc_ustawien(tresc, sizeof tresc);
  return zapisz_plik_atomowo(PLIK_USTAWIEN, tresc, n);
}

void zmiany_opcji() {
  if (!zapisz_ustawienia()) zakoncz_z_bledem(KOMUNIKAT_PLIKU);
  odtworz_okno();
}
