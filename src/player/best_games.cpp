// The table of best games: the ten best of the normal game and of classic mode,
// in best.txt beside config.cfg, with the recordings of its entries in
// recordings/. The file is text:
//   BRIXEL best games 2
//   MODE SCORE LEVEL ROWS TIME GLASS START PREFILLED RECORDING   (one entry a line, best first)
// MODE normal or classic, TIME seconds since 1970, GLASS 0 or 1, START the
// level the game started at, PREFILLED the rows it started on, RECORDING a
// name under recordings/ or "-". A file of version 1 (without START and
// PREFILLED: level 1, no rows) is read as well; the next write makes it 2. Every read-modify-write holds an exclusive
// lock on best.txt.lock, so games ending at the same moment all get their
// entries; the file and the recordings are written through the crash-safe
// writer of config.cfg. A file that cannot be read as a table is never used nor
// lost: it is renamed aside and the table starts again.
#include "player/player.h"
#include "shell/shell.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const char *const PLIK_TABELI = "best.txt";
const char *const KATALOG_NAGRAN = "recordings";
static const char *const PLIK_ZAMKA = "best.txt.lock";
static const char *const MAGIA_TABELI = "BRIXEL best games 2";
static const char *const MAGIA_TABELI_1 = "BRIXEL best games 1";
static const char *const NAZWY_TRYBOW[LICZBA_TRYBOW] = {"normal", "classic"};
// A table larger than this is no table of twenty entries.
static const size_t NAJWIEKSZA_TABELA = 65536;
// A recording larger than this is not kept (the game still enters the table).
static const size_t NAJWIEKSZE_NAGRANIE = 8 << 20;

bool nazwa_nagrania(const std::string &nazwa) {
  const std::string przed = std::string(KATALOG_NAGRAN) + "/", po = ".rec";
  if (nazwa.size() <= przed.size() + po.size() || nazwa.size() > 100) return false;
  if (nazwa.compare(0, przed.size(), przed) != 0 || nazwa.compare(nazwa.size() - po.size(), po.size(), po) != 0)
    return false;
  for (size_t i = przed.size(); i < nazwa.size() - po.size(); i++) {
    char c = nazwa[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-')) return false;
  }
  return true;
}

// A whole decimal number without sign in [od, do_].
static bool liczba_bez_znaku(const char *s, long long od, long long do_, long long *w) {
  if (!*s || strlen(s) > 18) return false;   // 18 digits cannot overflow
  long long v = 0;
  for (const char *c = s; *c; c++) {
    if (*c < '0' || *c > '9') return false;
    v = v * 10 + (*c - '0');
  }
  if (v < od || v > do_) return false;
  *w = v;
  return true;
}

static bool wpis_z_linii(const std::string &linia, int wersja, int *tryb, WpisTabeli *w) {
  const int SLOW = wersja == 1 ? 7 : 9;
  char slowa[9][128];
  int ile = 0;
  size_t p = 0;
  while (p <= linia.size() && ile < SLOW) {
    size_t q = linia.find(' ', p);
    if (q == std::string::npos) q = linia.size();
    if (q - p >= sizeof slowa[0]) return false;
    memcpy(slowa[ile], linia.data() + p, q - p);
    slowa[ile++][q - p] = '\0';
    p = q + 1;
  }
  if (ile != SLOW || p <= linia.size()) return false;
  *tryb = -1;
  for (int t = 0; t < LICZBA_TRYBOW; t++)
    if (strcmp(slowa[0], NAZWY_TRYBOW[t]) == 0) *tryb = t;
  long long wynik, poziom, wiersze, czas, szklo;
  if (*tryb < 0 || !liczba_bez_znaku(slowa[1], 0, INT_MAX, &wynik) ||
      !liczba_bez_znaku(slowa[2], 1, INT_MAX, &poziom) || !liczba_bez_znaku(slowa[3], 0, INT_MAX, &wiersze) ||
      !liczba_bez_znaku(slowa[4], 0, 1LL << 40, &czas) || !liczba_bez_znaku(slowa[5], 0, 1, &szklo))
    return false;
  long long start = 1, wypelnione = 0;
  if (wersja > 1 &&
      (!liczba_bez_znaku(slowa[6], 1, INT_MAX, &start) || !liczba_bez_znaku(slowa[7], 0, 20, &wypelnione)))
    return false;
  const char *plik = slowa[SLOW - 1];
  std::string nagranie = strcmp(plik, "-") == 0 ? "" : plik;
  if (!nagranie.empty() && !nazwa_nagrania(nagranie)) return false;
  w->wynik = (int)wynik;
  w->poziom = (int)poziom;
  w->wiersze = (int)wiersze;
  w->czas = czas;
  w->szklo = (int)szklo;
  w->nagranie = nagranie;
  w->poziom_startu = (int)start;
  w->wiersze_startu = (int)wypelnione;
  return true;
}

bool tabela_z_tekstu(const std::string &tekst, Tabela *t) {
  Tabela nowa;
  size_t p = 0;
  int wersja = 0;   // of the first line; 0 before it
  while (p < tekst.size()) {
    size_t q = tekst.find('\n', p);
    if (q == std::string::npos) return false;   // a file cut short
    std::string linia = tekst.substr(p, q - p);
    p = q + 1;
    if (!wersja) {
      if (linia == MAGIA_TABELI) wersja = 2;
      else if (linia == MAGIA_TABELI_1) wersja = 1;
      else return false;
      continue;
    }
    int tryb;
    WpisTabeli w;
    if (!wpis_z_linii(linia, wersja, &tryb, &w)) return false;
    if ((int)nowa.wpisy[tryb].size() >= MIEJSCA_TABELI) return false;
    nowa.wpisy[tryb].push_back(w);
  }
  if (!wersja) return false;
  // Best first; among equal scores the order of the file.
  for (auto &lista : nowa.wpisy)
    std::stable_sort(lista.begin(), lista.end(),
                     [](const WpisTabeli &a, const WpisTabeli &b) { return a.wynik > b.wynik; });
  *t = nowa;
  return true;
}

std::string tekst_tabeli(const Tabela &t) {
  std::string s = std::string(MAGIA_TABELI) + "\n";
  for (int tryb = 0; tryb < LICZBA_TRYBOW; tryb++)
    for (const WpisTabeli &w : t.wpisy[tryb]) {
      char linia[256];
      snprintf(linia, sizeof linia, "%s %d %d %d %lld %d %d %d %s\n", NAZWY_TRYBOW[tryb], w.wynik, w.poziom,
               w.wiersze, w.czas, w.szklo, w.poziom_startu, w.wiersze_startu,
               w.nagranie.empty() ? "-" : w.nagranie.c_str());
      s += linia;
    }
  return s;
}

int miejsce_w_tabeli(const Tabela &t, int tryb, int wynik) {
  if (tryb < 0 || tryb >= LICZBA_TRYBOW) return -1;
  const auto &lista = t.wpisy[tryb];
  int m = 0;
  while (m < (int)lista.size() && lista[m].wynik >= wynik) m++;
  return m < MIEJSCA_TABELI ? m : -1;
}

// The exclusive lock of the table's read-modify-write: a descriptor to close,
// or -1 when the folder cannot hold a lock file (the table is then read
// without it and cannot be written either).
static int zablokuj() {
  int fd = open(PLIK_ZAMKA, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  while (flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) break;   // a file system without locks: on without
  return fd;
}

static void odblokuj(int fd) {
  if (fd >= 0) close(fd);
}

// Renames a damaged table aside under a name not taken yet.
static void odloz_uszkodzona(const char *powod) {
  char nazwa[128];
  long long teraz = (long long)time(nullptr);
  for (int i = 0; i < 100; i++) {
    if (i == 0) snprintf(nazwa, sizeof nazwa, "%s.damaged-%lld", PLIK_TABELI, teraz);
    else snprintf(nazwa, sizeof nazwa, "%s.damaged-%lld-%d", PLIK_TABELI, teraz, i);
    struct stat opis;
    if (lstat(nazwa, &opis) == 0) continue;
    if (rename(PLIK_TABELI, nazwa) == 0) {
      fprintf(stderr, "brixel: %s %s; kept as %s, a new table is started\n", PLIK_TABELI, powod, nazwa);
      return;
    }
    break;
  }
  fprintf(stderr, "brixel: %s %s and could not be renamed aside (%s); it is left as it is\n", PLIK_TABELI, powod,
          strerror(errno));
}

// The table as the file holds it; the lock is held by the caller. False when
// a damaged file could not be moved aside (it must then not be overwritten).
static bool wczytaj_pod_zamkiem(Tabela *t) {
  *t = Tabela();
  std::string tresc;
  if (!czytaj_plik(PLIK_TABELI, &tresc, NAJWIEKSZA_TABELA)) {
    if (errno == ENOENT) return true;
    char powod[160];
    snprintf(powod, sizeof powod, "cannot be read (%s)", errno == EFBIG ? "too large" : strerror(errno));
    odloz_uszkodzona(powod);
    return access(PLIK_TABELI, F_OK) != 0;
  }
  if (tresc.empty() || tabela_z_tekstu(tresc, t)) return true;
  odloz_uszkodzona("is damaged");
  return access(PLIK_TABELI, F_OK) != 0;
}

Tabela wczytaj_tabele() {
  int zamek = zablokuj();
  Tabela t;
  wczytaj_pod_zamkiem(&t);
  odblokuj(zamek);
  return t;
}

// Removes from recordings/ every recording no entry names, and what writes
// cut short left there (no one else writes in it without the lock held).
static void usun_nieuzywane(const Tabela &t) {
  DIR *d = opendir(KATALOG_NAGRAN);
  if (!d) return;
  while (dirent *e = readdir(d)) {
    std::string nazwa = std::string(KATALOG_NAGRAN) + "/" + e->d_name;
    bool nagranie = nazwa_nagrania(nazwa);
    size_t t_poz = nazwa.find(".rec.tmp");
    bool porzucony = t_poz != std::string::npos && nazwa_nagrania(nazwa.substr(0, t_poz + 4));
    if (!nagranie && !porzucony) continue;
    bool uzywane = false;
    for (const auto &lista : t.wpisy)
      for (const WpisTabeli &w : lista) uzywane = uzywane || w.nagranie == nazwa;
    if (!uzywane) unlinkat(dirfd(d), e->d_name, 0);
  }
  closedir(d);
}

int dopisz_gre(int tryb, const WpisTabeli &wpis, const std::string &tresc_nagrania) {
  if (tryb < 0 || tryb >= LICZBA_TRYBOW) return 0;
  int zamek = zablokuj();
  if (zamek < 0) {
    fprintf(stderr, "brixel: cannot lock %s (%s); the game is not entered\n", PLIK_ZAMKA, strerror(errno));
    return 0;
  }
  Tabela t;
  if (!wczytaj_pod_zamkiem(&t)) {
    odblokuj(zamek);
    return 0;
  }
  int m = miejsce_w_tabeli(t, tryb, wpis.wynik);
  if (m < 0) {
    usun_nieuzywane(t);
    odblokuj(zamek);
    return 0;
  }
  WpisTabeli w = wpis;
  w.nagranie.clear();
  if (!tresc_nagrania.empty() && tresc_nagrania.size() <= NAJWIEKSZE_NAGRANIE) {
    static int kolejne = 0;   // recordings written by this process
    char nazwa[100];
    snprintf(nazwa, sizeof nazwa, "%s/%lld-%ld-%d.rec", KATALOG_NAGRAN, (long long)time(nullptr), (long)getpid(),
             ++kolejne);
    if (mkdir(KATALOG_NAGRAN, 0755) != 0 && errno != EEXIST)
      fprintf(stderr, "brixel: cannot make %s/ (%s); the game is entered without its recording\n",
              KATALOG_NAGRAN, strerror(errno));
    else if (zapisz_plik_atomowo(nazwa, tresc_nagrania.data(), (int)tresc_nagrania.size()))
      w.nagranie = nazwa;
    else
      fprintf(stderr, "brixel: cannot write %s; the game is entered without its recording\n", nazwa);
  }
  auto &lista = t.wpisy[tryb];
  lista.insert(lista.begin() + m, w);
  if ((int)lista.size() > MIEJSCA_TABELI) lista.resize(MIEJSCA_TABELI);
  std::string tresc = tekst_tabeli(t);
  if (!zapisz_plik_atomowo(PLIK_TABELI, tresc.data(), (int)tresc.size())) {
    fprintf(stderr, "brixel: cannot write %s; the game is not entered\n", PLIK_TABELI);
    if (!w.nagranie.empty()) unlink(w.nagranie.c_str());
    odblokuj(zamek);
    return 0;
  }
  usun_nieuzywane(t);
  odblokuj(zamek);
  return m + 1;
}

std::string linia_wyniku(int tryb, int miejsce, const WpisTabeli &w) {
  char data[32] = "-";
  time_t czas = (time_t)w.czas;
  struct tm czesci;
  if (localtime_r(&czas, &czesci)) strftime(data, sizeof data, "%Y-%m-%dT%H:%M:%S", &czesci);
  char linia[256];
  snprintf(linia, sizeof linia, "%s %d %d %d %d %s %d %d %s %s", NAZWY_TRYBOW[tryb == TRYB_KLASYCZNY], miejsce,
           w.wynik, w.poziom, w.wiersze, data, w.poziom_startu, w.wiersze_startu, w.szklo ? "glass" : "plain",
           w.nagranie.empty() ? "-" : w.nagranie.c_str());
  return linia;
}
