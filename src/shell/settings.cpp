// The settings file config.cfg: eleven decimal fields, one per line.
#include "shell/shell.h"
#include "game/game.h"
#include "koniec/koniec.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
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

// Temporary files of a write are named "<name>.tmp.XXXXXX": six letters or
// digits, unique in the folder. Older versions used "<name>.tmp" alone.
static const char *const PRZYROSTEK_TYMCZASOWEJ = ".tmp.";
static const int ZNAKI_KONCOWKI = 6;
static const int PROBY_NAZWY = 100;   // names tried before a write gives up
// A temporary file modified this recently (seconds) is left alone even when no
// one holds its lock: a writer that does not lock (the launcher's first copy,
// an older version of the game) may still be at it.
static const int WIEK_PORZUCONEJ = 5;
static const char ZNAKI_NAZWY[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

static void losowa_koncowka(char *koncowka) {
  unsigned char los[ZNAKI_KONCOWKI];
  if (getrandom(los, sizeof los, GRND_NONBLOCK) != (ssize_t)sizeof los) {
    // No kernel randomness yet: the time, the process and a counter, mixed.
    // Uniqueness does not rest on it: the file is created exclusively.
    static unsigned licznik = 0;
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    unsigned long long x = (unsigned long long)t.tv_nsec ^ ((unsigned long long)t.tv_sec << 30) ^
                           ((unsigned long long)getpid() << 40) ^ ++licznik * 0x9E3779B97F4A7C15ull;
    for (unsigned char &b : los) {
      x ^= x >> 33;
      x *= 0xFF51AFD7ED558CCDull;
      b = (unsigned char)(x >> 56);
    }
  }
  for (int i = 0; i < ZNAKI_KONCOWKI; i++) koncowka[i] = ZNAKI_NAZWY[los[i] % 62];
  koncowka[ZNAKI_KONCOWKI] = '\0';
}

void (*koncowka_tymczasowej)(char *koncowka) = losowa_koncowka;

// The name is one of baza's temporary files: the old fixed name, or the
// pattern with exactly six letters or digits.
static bool nazwa_tymczasowa(const char *nazwa, const char *baza) {
  size_t n = strlen(baza);
  if (strncmp(nazwa, baza, n) != 0) return false;
  nazwa += n;
  if (strcmp(nazwa, ".tmp") == 0) return true;
  size_t p = strlen(PRZYROSTEK_TYMCZASOWEJ);
  if (strncmp(nazwa, PRZYROSTEK_TYMCZASOWEJ, p) != 0) return false;
  nazwa += p;
  for (int i = 0; i < ZNAKI_KONCOWKI; i++)
    if (nazwa[i] == '\0' || !strchr(ZNAKI_NAZWY, nazwa[i])) return false;
  return nazwa[ZNAKI_KONCOWKI] == '\0';
}

static bool ten_sam(const struct stat &a, const struct stat &b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes one temporary file that a killed or failed write left: only a
// regular file of this user, not modified for a while, whose lock no live
// process holds (a writer keeps its file locked until the rename, and the
// kernel drops the lock when the writer dies, even by SIGKILL). The name is
// never followed: links, fifos, directories and devices are left as they are.
static void usun_porzucona(int katalog, const char *nazwa) {
  struct stat przed, otwarty, teraz;
  if (fstatat(katalog, nazwa, &przed, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISREG(przed.st_mode) || przed.st_uid != geteuid()) return;
  if (time(nullptr) - przed.st_mtim.tv_sec < WIEK_PORZUCONEJ) return;
  int fd = openat(katalog, nazwa, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  // Unlinked with the lock held, and only while the name is still the file locked.
  if (fstat(fd, &otwarty) == 0 && ten_sam(otwarty, przed) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      fstatat(katalog, nazwa, &teraz, AT_SYMLINK_NOFOLLOW) == 0 && ten_sam(teraz, otwarty))
    unlinkat(katalog, nazwa, 0);
  close(fd);
}

static void usun_porzucone(int katalog, const char *baza) {
  int kopia = openat(katalog, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (kopia < 0) return;
  DIR *lista = fdopendir(kopia);
  if (!lista) {
    close(kopia);
    return;
  }
  while (dirent *wpis = readdir(lista))
    if (nazwa_tymczasowa(wpis->d_name, baza)) usun_porzucona(katalog, wpis->d_name);
  closedir(lista);
}

// Creates baza's new temporary file in the folder: exclusively, never through
// a link, locked. Returns its descriptor and its name in nazwa, or -1.
static int nowa_tymczasowa(int katalog, const char *baza, char *nazwa, int rozmiar) {
  for (int proba = 0; proba < PROBY_NAZWY; proba++) {
    char koncowka[ZNAKI_KONCOWKI + 1];
    koncowka_tymczasowej(koncowka);
    int n = snprintf(nazwa, rozmiar, "%s%s%.*s", baza, PRZYROSTEK_TYMCZASOWEJ, ZNAKI_KONCOWKI, koncowka);
    if (n < 0 || n >= rozmiar) return -1;
    int fd = openat(katalog, nazwa, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    // A file system without locks: the file goes on unlocked, and the clean-up
    // of other games, which cannot lock it either, leaves it alone.
    int zamek = flock(fd, LOCK_EX | LOCK_NB);
    bool bez_zamkow = zamek != 0 && (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP);
    // Another game's clean-up may have taken the name between the creation and
    // the lock: then the name is no longer this file, and another is tried.
    struct stat otwarty, pod_nazwa;
    if ((zamek == 0 || bez_zamkow) && fstat(fd, &otwarty) == 0 &&
        fstatat(katalog, nazwa, &pod_nazwa, AT_SYMLINK_NOFOLLOW) == 0 && ten_sam(otwarty, pod_nazwa))
      return fd;
    close(fd);
  }
  errno = EEXIST;
  return -1;
}

static bool zapisz_calosc(int fd, const char *tresc, int dlugosc) {
  while (dlugosc > 0) {
    ssize_t n = write(fd, tresc, dlugosc);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    tresc += n;
    dlugosc -= (int)n;
  }
  return true;
}

static bool zapisz_plik(const char *nazwa, const char *tresc, int dlugosc) {
  if (dlugosc < 0) return false;
  // The folder and the file's own name in it.
  char sciezka_katalogu[512];
  const char *ukosnik = strrchr(nazwa, '/');
  const char *baza = ukosnik ? ukosnik + 1 : nazwa;
  int n = ukosnik ? snprintf(sciezka_katalogu, sizeof sciezka_katalogu, "%.*s", (int)(ukosnik - nazwa), nazwa)
                  : snprintf(sciezka_katalogu, sizeof sciezka_katalogu, ".");
  if (n < 0 || n >= (int)sizeof sciezka_katalogu || *baza == '\0') return false;
  if (n == 0) snprintf(sciezka_katalogu, sizeof sciezka_katalogu, "/");
  // A folder that may be written but not listed still takes the write, without
  // the clean-up and the folder's sync.
  int katalog = open(sciezka_katalogu, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  bool czytelny = katalog >= 0;
  if (!czytelny) katalog = open(sciezka_katalogu, O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (katalog < 0) return false;
  if (czytelny) usun_porzucone(katalog, baza);

  char tymczasowa[512];
  int fd = nowa_tymczasowa(katalog, baza, tymczasowa, sizeof tymczasowa);
  if (fd < 0) {
    close(katalog);
    return false;
  }
  // A player's own permissions on the file are kept (owner read and write
  // always, so the game can read it back; a failure leaves the default); a new
  // file gets 0644 less the umask.
  struct stat stary;
  if (fstatat(katalog, baza, &stary, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(stary.st_mode))
    fchmod(fd, (stary.st_mode & 0777) | S_IRUSR | S_IWUSR);
  bool dobrze = zapisz_calosc(fd, tresc, dlugosc);
  dobrze = fsync(fd) == 0 && dobrze;
  // Renamed while still open, so still locked. The rename replaces whatever
  // stands under the name, a link too, never a link's target.
  if (dobrze) dobrze = renameat(katalog, tymczasowa, katalog, baza) == 0;
  if (!dobrze) unlinkat(katalog, tymczasowa, 0);
  dobrze = close(fd) == 0 && dobrze;
  // The rename itself reaches the disk only with the folder; a file system
  // that cannot sync a folder says EINVAL.
  if (dobrze && czytelny && fsync(katalog) != 0 && errno != EINVAL) dobrze = false;
  close(katalog);
  return dobrze;
}

// A signal's end waits for the write to finish.
bool zapisz_plik_atomowo(const char *nazwa, const char *tresc, int dlugosc) {
  zapis_w_toku(true);
  bool dobrze = zapisz_plik(nazwa, tresc, dlugosc);
  zapis_w_toku(false);
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
