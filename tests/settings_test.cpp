// The settings file: what the writer produces, what the reader makes of it and
// of damaged files, and the file itself in a working directory.
#include "game/game.h"
#include "shell/shell.h"
#include "fuzz/sprawdz_ustawienia.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

int *const *const POLA = pola_ustawien();

struct Wartosci {
  int v[LICZBA_POL];
};

void ustaw(const Wartosci &w) {
  for (int i = 0; i < LICZBA_POL; i++) *POLA[i] = w.v[i];
}

Wartosci obecne() {
  Wartosci w;
  for (int i = 0; i < LICZBA_POL; i++) w.v[i] = *POLA[i];
  return w;
}

// Values no valid file holds, so that a field the reader leaves alone shows.
// The unlock flag only ever holds 0 or 1 after a read, so 0 stands in for it.
const Wartosci ZNACZNIKI = {{-101, -102, -103, -104, -105, -106, -107, -108, -109, 0, -111}};

std::string opis(const Wartosci &w) {
  std::ostringstream s;
  for (int i = 0; i < LICZBA_POL; i++) s << (i ? "," : "") << w.v[i];
  return s.str();
}

::testing::AssertionResult rowne(const Wartosci &a, const Wartosci &b) {
  for (int i = 0; i < LICZBA_POL; i++)
    if (a.v[i] != b.v[i])
      return ::testing::AssertionFailure() << "field " << i + 1 << ": " << opis(a) << " vs " << opis(b);
  return ::testing::AssertionSuccess();
}

// Runs the reader over the bytes as a stream; returns how far it read.
long czytaj(const std::string &tresc) {
  // fmemopen refuses an empty buffer; an empty temporary file is the same stream.
  FILE *f = tresc.empty() ? tmpfile() : fmemopen(const_cast<char *>(tresc.data()), tresc.size(), "r");
  if (!f) {
    ADD_FAILURE() << "cannot open a stream over the text";
    return -1;
  }
  czytaj_ustawienia(f);
  long pozycja = ftell(f);
  fclose(f);
  return pozycja;
}

std::string zapisane() {
  char bufor[256];
  int n = tresc_ustawien(bufor, sizeof bufor);
  return std::string(bufor, n > 0 ? n : 0);
}

const char *const TYPOWY = "800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n";

}  // namespace

// ---- Writer and reader together ----

TEST(ZapisIOdczyt, KazdeUstawienieZListyOpcjiIRekordWracaTakSamo) {
  const int rozmiary[2][2] = {{640, 480}, {800, 600}};
  const int glebie[2] = {16, 32};
  const int rekordy[] = {0, 42, 99999, 100000, 999999, 1234567};
  int sprawdzone = 0;
  for (const auto &r : rozmiary)
    for (int b : glebie)
      for (int maska = 0; maska < 128; maska++)
        for (int rek : rekordy) {
          Wartosci w = {{r[0], r[1], b, 0, 0, 0, 0, 0, 0, 0, rek}};
          for (int t = 0; t < 7; t++) w.v[3 + t] = (maska >> t) & 1;
          ustaw(w);
          std::string plik = zapisane();
          ASSERT_EQ(plik, oczekiwany_zapis(w.v)) << opis(w);
          ustaw(ZNACZNIKI);
          czytaj(plik);
          ASSERT_TRUE(rowne(obecne(), w));
          sprawdzone++;
        }
  EXPECT_EQ(sprawdzone, 2 * 2 * 128 * 6);
}

TEST(ZapisIOdczyt, RekordWypelniaSzescZnakow) {
  const struct {
    int rekord;
    const char *linia;
  } przypadki[] = {{0, "000000\n"},   {9, "000009\n"},     {10, "000010\n"},   {42, "000042\n"},
                   {99, "000099\n"},  {100, "000100\n"},   {999, "000999\n"},  {1000, "001000\n"},
                   {9999, "009999\n"}, {10000, "010000\n"}, {99999, "099999\n"}, {100000, "100000\n"},
                   {999999, "999999\n"}, {1234567, "1234567\n"}, {INT_MAX, "2147483647\n"}};
  ustaw({{800, 600, 16, 1, 1, 1, 0, 0, 0, 1, 0}});
  for (const auto &p : przypadki) {
    rekord = p.rekord;
    std::string plik = zapisane();
    EXPECT_EQ(plik, std::string("800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n") + p.linia);
    rekord = -1;
    czytaj(plik);
    EXPECT_EQ(rekord, p.rekord) << "read back from " << plik;
  }
}

// A record below zero only comes from an edited file; once read it must survive
// the next save like any other value.
TEST(ZapisIOdczyt, UjemnyRekordZPlikuPrzetrwaZapis) {
  czytaj("800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n-5\n");
  Wartosci przeczytane = obecne();
  std::string plik = zapisane();
  ustaw(ZNACZNIKI);
  czytaj(plik);
  EXPECT_TRUE(rowne(obecne(), przeczytane)) << "the writer made:\n" << plik;
}

TEST(ZapisIOdczyt, SzerokoscCzterocyfrowaNiePrzesuwaPol) {
  Wartosci w = {{1024, 768, 32, 0, 1, 0, 1, 0, 1, 1, 31337}};
  ustaw(w);
  std::string plik = zapisane();
  EXPECT_EQ(plik, "1024\n768\n32\n0\n1\n0\n1\n0\n1\n1\n031337\n");
  ustaw(ZNACZNIKI);
  czytaj(plik);
  EXPECT_TRUE(rowne(obecne(), w));
}

TEST(ZapisIOdczyt, KoncowkiWierszyCRLF) {
  Wartosci w = {{640, 480, 32, 0, 0, 1, 1, 0, 1, 1, 4321}};
  ustaw(w);
  std::string plik, lf = zapisane();
  for (char c : lf) plik += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ustaw(ZNACZNIKI);
  czytaj(plik);
  EXPECT_TRUE(rowne(obecne(), w));
}

TEST(ZapisIOdczyt, ZaMalyBuforDostajeObcietyPoczatek) {
  ustaw({{800, 600, 16, 1, 1, 1, 0, 0, 0, 1, 42}});
  char bufor[8];
  memset(bufor, 'X', sizeof bufor);
  int n = tresc_ustawien(bufor, sizeof bufor);
  EXPECT_EQ(n, 7);
  EXPECT_STREQ(bufor, "800\n600");
}

// ---- The reader on files the writer never made ----

TEST(Odczyt, PlikZDwochWierszyUstawiaTylkoRozmiar) {
  for (const char *tresc : {"640\n480\n", "640\n480"}) {
    ustaw(ZNACZNIKI);
    czytaj(tresc);
    Wartosci w = ZNACZNIKI;
    w.v[0] = 640;
    w.v[1] = 480;
    EXPECT_TRUE(rowne(obecne(), w)) << tresc;
  }
}

TEST(Odczyt, LiteraWPrzelacznikuZostawiaGoINieRuszaDalszych) {
  ustaw(ZNACZNIKI);
  czytaj("800\n600\n32\n0\nx\n0\n1\n1\n1\n1\n000777\n");
  Wartosci w = {{800, 600, 32, 0, ZNACZNIKI.v[4], 0, 1, 1, 1, 1, 777}};
  EXPECT_TRUE(rowne(obecne(), w));

  // "%d" takes the digits in front of the letter.
  ustaw(ZNACZNIKI);
  czytaj("800\n600\n32\n0\n1x\n0\n");
  EXPECT_EQ(czymuza, 1);
  EXPECT_EQ(czytlo, 0);
}

TEST(Odczyt, PierwszeWierszeBezLiczbZostawiajaRozmiar) {
  width = 800;
  height = 600;
  czytaj("abc\n\n32\n0\n1\n1\n0\n0\n0\n1\n000001\n");
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  EXPECT_EQ(bittes, 32);
  EXPECT_EQ(rekord, 1);
}

TEST(Odczyt, OdstepyZnakiILiczbyGraniczne) {
  const struct {
    const char *linia;
    bool liczba;
    int wartosc;
  } przypadki[] = {
      {"  640", true, 640},          {"\t+5", true, 5},          {"\r7", true, 7},
      {"-640", true, -640},          {"0007", true, 7},          {"-0", true, 0},
      {"2147483647", true, INT_MAX}, {"-2147483648", true, INT_MIN},
      {"2147483648", false, 0},      {"-2147483649", false, 0},  {"99999999999999999999", false, 0},
      {"+ 5", false, 0},             {"+", false, 0},            {"-", false, 0},
      {"+-5", false, 0},             {"", false, 0},             {"   ", false, 0},
      {"0x10", true, 0},             {"12 34", true, 12},        {"\xff" "5", false, 0},
  };
  for (const auto &p : przypadki) {
    std::string tresc = std::string(p.linia) + "\n600\n";
    ustaw(ZNACZNIKI);
    czytaj(tresc);
    EXPECT_EQ(width, p.liczba ? p.wartosc : ZNACZNIKI.v[0]) << "line \"" << p.linia << "\"";
    EXPECT_EQ(height, 600) << "line \"" << p.linia << "\"";
  }
}

TEST(Odczyt, MilionCyfrWJednymWierszu) {
  // Too large for an int: the field keeps its value and the next lines stay in step.
  std::string dlugi(1000000, '7');
  ustaw(ZNACZNIKI);
  czytaj(dlugi + "\n480\n32\n");
  EXPECT_EQ(width, ZNACZNIKI.v[0]);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(bittes, 32);

  // Leading zeros are digits like any other: a million of them still make 5.
  ustaw(ZNACZNIKI);
  czytaj(std::string(1000000, '0') + "5\n480\n");
  EXPECT_EQ(width, 5);
  EXPECT_EQ(height, 480);
}

TEST(Odczyt, OgromnyPlik) {
  // 32 MB: blanks in front of the width, a line of letters as the depth, and
  // megabytes of rubbish after the eleventh line.
  std::string tresc(16 << 20, ' ');
  tresc += "640\n480\n";
  tresc += std::string(8 << 20, 'z');
  tresc += "\n0\n0\n1\n1\n1\n1\n0\n123456\n";
  tresc += std::string(8 << 20, '9');
  ustaw(ZNACZNIKI);
  long pozycja = czytaj(tresc);
  Wartosci w = {{640, 480, ZNACZNIKI.v[2], 0, 0, 1, 1, 1, 1, 0, 123456}};
  EXPECT_TRUE(rowne(obecne(), w));
  EXPECT_EQ(pozycja, (long)(tresc.size() - (8 << 20))) << "read past the eleventh line";
}

TEST(Odczyt, CzytaTylkoSwojeJedenascieWierszy) {
  std::string tresc = TYPOWY;
  long pozycja = czytaj(tresc + "extra line\n");
  EXPECT_EQ(pozycja, (long)tresc.size());
  // A file without the last newline ends the read at its last byte.
  tresc.pop_back();
  EXPECT_EQ(czytaj(tresc), (long)tresc.size());
  EXPECT_EQ(rekord, 0);
}

TEST(Odczyt, OdblokowanieInneNizZeroToJeden) {
  for (const char *pole : {"2", "-1", "7"}) {
    czyszklo = 0;
    czytaj(std::string("800\n600\n16\n1\n1\n1\n0\n0\n0\n") + pole + "\n000000\n");
    EXPECT_EQ(czyszklo, 1) << pole;
    EXPECT_EQ(liczba_opcji(), 8) << pole;
  }
  czytaj(std::string("800\n600\n16\n1\n1\n1\n0\n0\n0\n0\n000000\n"));
  EXPECT_EQ(czyszklo, 0);
  EXPECT_EQ(liczba_opcji(), 7);
}

// ---- config.cfg in a working directory ----

namespace {

// Temporary-name endings handed out in turn (the last one again and again), in
// place of the random ones: a write then meets what a test planted.
std::vector<std::string> koncowki_z_listy;
size_t uzyte_koncowki = 0;
void koncowka_z_listy(char *koncowka) {
  const std::string &k = koncowki_z_listy[std::min(uzyte_koncowki, koncowki_z_listy.size() - 1)];
  uzyte_koncowki++;
  snprintf(koncowka, 7, "%s", k.c_str());
}

// A write that cannot pass four bytes: the write of the contents fails.
void ogranicz_zapis() {
  struct rlimit granica = {4, 4};
  setrlimit(RLIMIT_FSIZE, &granica);
  signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

class PlikUstawien : public ::testing::Test {
 protected:
  std::string katalog, poprzedni, obcy;
  void (*oryginalna_koncowka)(char *) = nullptr;

  void SetUp() override {
    oryginalna_koncowka = koncowka_tymczasowej;
    char wzor[] = "/tmp/brixel-settings-XXXXXX";
    ASSERT_NE(mkdtemp(wzor), nullptr);
    katalog = wzor;
    // Targets of links, outside the game's folder.
    char wzor_obcy[] = "/tmp/brixel-outside-XXXXXX";
    ASSERT_NE(mkdtemp(wzor_obcy), nullptr);
    obcy = wzor_obcy;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    poprzedni = cwd;
    ASSERT_EQ(chdir(katalog.c_str()), 0);
  }
  void TearDown() override {
    koncowka_tymczasowej = oryginalna_koncowka;
    if (!poprzedni.empty() && chdir(poprzedni.c_str()) != 0) ADD_FAILURE() << "cannot go back";
    std::string polecenie = "rm -rf '" + katalog + "' '" + obcy + "'";
    if (system(polecenie.c_str()) != 0) ADD_FAILURE() << "cannot remove " << katalog;
  }

  static std::string plik(const char *nazwa) {
    std::ifstream f(nazwa, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  static void zapisz(const char *nazwa, const std::string &tresc) {
    std::ofstream(nazwa, std::ios::binary) << tresc;
  }
  static bool istnieje(const char *nazwa) {
    struct stat st;
    return lstat(nazwa, &st) == 0;
  }
  static mode_t rodzaj(const char *nazwa) {
    struct stat st;
    return lstat(nazwa, &st) == 0 ? st.st_mode & S_IFMT : 0;
  }
  // Every name in the folder that starts as the temporary files do.
  static std::vector<std::string> tymczasowe() {
    std::vector<std::string> nazwy;
    DIR *d = opendir(".");
    if (!d) return {"(folder unreadable)"};
    while (dirent *w = readdir(d))
      if (strncmp(w->d_name, "config.cfg.tmp", 14) == 0) nazwy.push_back(w->d_name);
    closedir(d);
    std::sort(nazwy.begin(), nazwy.end());
    return nazwy;
  }
  // Modified a minute ago: old enough for the clean-up to look at.
  static void postarz(const char *nazwa) {
    struct timespec czas[2];
    clock_gettime(CLOCK_REALTIME, &czas[0]);
    czas[0].tv_sec -= 60;
    czas[1] = czas[0];
    ASSERT_EQ(utimensat(AT_FDCWD, nazwa, czas, AT_SYMLINK_NOFOLLOW), 0) << nazwa;
  }
  std::string poza(const char *nazwa) const { return obcy + "/" + nazwa; }
};

TEST_F(PlikUstawien, ZapisTworzyPlikKtoryWracaIBezPlikuTymczasowego) {
  Wartosci w = {{640, 480, 32, 0, 1, 0, 1, 1, 0, 1, 987}};
  ustaw(w);
  ASSERT_TRUE(zapisz_ustawienia());
  EXPECT_EQ(plik("config.cfg"), oczekiwany_zapis(w.v));
  EXPECT_EQ(tymczasowe(), std::vector<std::string>{});
  ustaw(ZNACZNIKI);
  wczytanie_poziomu();
  EXPECT_TRUE(rowne(obecne(), w));
}

TEST_F(PlikUstawien, UsunietyPlikPowstajeOdNowa) {
  zapisz("config.cfg", TYPOWY);
  ustaw(ZNACZNIKI);
  wczytanie_poziomu();
  ASSERT_EQ(remove("config.cfg"), 0);
  rekord = 5555;
  ASSERT_TRUE(zapisz_ustawienia());
  EXPECT_EQ(plik("config.cfg"), "800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n005555\n");
  EXPECT_EQ(tymczasowe(), std::vector<std::string>{});
}

TEST_F(PlikUstawien, ZapisPodmieniaPlikANieNadpisujeGo) {
  // A second name for the old file keeps the old contents: the new file was
  // written elsewhere and renamed over, never truncated in place.
  zapisz("config.cfg", TYPOWY);
  ASSERT_EQ(link("config.cfg", "stary.cfg"), 0);
  ustaw({{640, 480, 16, 1, 1, 1, 0, 0, 0, 1, 77}});
  ASSERT_TRUE(zapisz_ustawienia());
  EXPECT_EQ(plik("stary.cfg"), TYPOWY);
  EXPECT_EQ(plik("config.cfg"), "640\n480\n16\n1\n1\n1\n0\n0\n0\n1\n000077\n");
}

TEST_F(PlikUstawien, NieudanyZapisZostawiaStaryPlikIZadnegoTymczasowego) {
  zapisz("config.cfg", TYPOWY);
  rekord = 123;
  pid_t dziecko = fork();
  ASSERT_GE(dziecko, 0);
  if (dziecko == 0) {
    ogranicz_zapis();
    _exit(zapisz_ustawienia() ? 0 : 1);
  }
  int stan = 0;
  ASSERT_EQ(waitpid(dziecko, &stan, 0), dziecko);
  EXPECT_TRUE(WIFEXITED(stan) && WEXITSTATUS(stan) == 1) << "the write did not report its failure";
  EXPECT_EQ(plik("config.cfg"), TYPOWY);
  EXPECT_EQ(tymczasowe(), std::vector<std::string>{});
}

TEST_F(PlikUstawien, KatalogZamiastPlikuNieDajeSieZapisac) {
  ASSERT_EQ(mkdir("config.cfg", 0755), 0);
  EXPECT_FALSE(zapisz_ustawienia());
  EXPECT_EQ(rodzaj("config.cfg"), (mode_t)S_IFDIR);
  EXPECT_EQ(tymczasowe(), std::vector<std::string>{});
}

// Links, a fifo and a directory under the old fixed temporary name and under a
// name of the new pattern that the write is made to meet: none is followed,
// opened for writing or removed, and the write still succeeds.
TEST_F(PlikUstawien, ObceRzeczyPodNazwamiTymczasowymiZostajaNietkniete) {
  koncowka_tymczasowej = koncowka_z_listy;
  const std::string cel = poza("target.txt"), brak = poza("nowhere.txt");
  for (const char *nazwa : {"config.cfg.tmp", "config.cfg.tmp.AAAAAA"})
    for (const char *co : {"link to a file", "dangling link", "fifo", "directory"}) {
      SCOPED_TRACE(std::string(nazwa) + ": " + co);
      zapisz(cel.c_str(), "outside\n");
      zapisz("config.cfg", TYPOWY);
      mode_t ma_byc = S_IFLNK;
      int wynik = -1;
      if (strcmp(co, "link to a file") == 0) wynik = symlink(cel.c_str(), nazwa);
      if (strcmp(co, "dangling link") == 0) wynik = symlink(brak.c_str(), nazwa);
      if (strcmp(co, "fifo") == 0) {
        wynik = mkfifo(nazwa, 0644);
        ma_byc = S_IFIFO;
      }
      if (strcmp(co, "directory") == 0) {
        wynik = mkdir(nazwa, 0755);
        zapisz((std::string(nazwa) + "/inside").c_str(), "inside\n");
        ma_byc = S_IFDIR;
      }
      ASSERT_EQ(wynik, 0);
      postarz(nazwa);   // old enough for the clean-up to consider
      koncowki_z_listy = {"AAAAAA", "AAAAAA", "BBBBBB"};
      uzyte_koncowki = 0;
      Wartosci w = {{640, 480, 32, 0, 1, 0, 1, 1, 0, 1, 4242}};
      ustaw(w);
      ASSERT_TRUE(zapisz_ustawienia());
      EXPECT_EQ(rodzaj("config.cfg"), (mode_t)S_IFREG);
      EXPECT_EQ(plik("config.cfg"), oczekiwany_zapis(w.v));
      EXPECT_EQ(rodzaj(nazwa), ma_byc);
      EXPECT_EQ(plik(cel.c_str()), "outside\n");
      EXPECT_FALSE(istnieje(brak.c_str()));
      if (ma_byc == S_IFDIR) {
        EXPECT_EQ(plik((std::string(nazwa) + "/inside").c_str()), "inside\n");
      }
      EXPECT_EQ(tymczasowe(), std::vector<std::string>{nazwa});
      std::string sprzatanie = std::string("rm -rf ") + nazwa;
      ASSERT_EQ(system(sprzatanie.c_str()), 0);
    }
}

// Every name the write tries is taken: it gives up with a failure instead of
// trying for ever or writing through what is there.
TEST_F(PlikUstawien, ZajeteWszystkieNazwyTymczasoweToNieudanyZapis) {
  koncowka_tymczasowej = koncowka_z_listy;
  koncowki_z_listy = {"AAAAAA"};
  uzyte_koncowki = 0;
  zapisz(poza("target.txt").c_str(), "outside\n");
  ASSERT_EQ(symlink(poza("target.txt").c_str(), "config.cfg.tmp.AAAAAA"), 0);
  zapisz("config.cfg", TYPOWY);
  rekord = 31;
  EXPECT_FALSE(zapisz_ustawienia());
  EXPECT_GT(uzyte_koncowki, 1u);
  EXPECT_LT(uzyte_koncowki, 1000u);
  EXPECT_EQ(plik("config.cfg"), TYPOWY);
  EXPECT_EQ(plik(poza("target.txt").c_str()), "outside\n");
  EXPECT_EQ(rodzaj("config.cfg.tmp.AAAAAA"), (mode_t)S_IFLNK);
}

// A config.cfg that is a link is replaced by the new file; its target, or the
// missing target of a dangling link, is never written.
TEST_F(PlikUstawien, DowiazanieConfigZastepujeNowyPlikACelZostaje) {
  const std::string cel = poza("settings.txt"), brak = poza("nowhere.txt");
  zapisz(cel.c_str(), TYPOWY);
  for (const std::string &dokad : {cel, brak}) {
    SCOPED_TRACE(dokad);
    ASSERT_EQ(symlink(dokad.c_str(), "config.cfg"), 0);
    Wartosci w = {{640, 480, 16, 1, 0, 1, 0, 0, 0, 0, 17}};
    ustaw(w);
    ASSERT_TRUE(zapisz_ustawienia());
    EXPECT_EQ(rodzaj("config.cfg"), (mode_t)S_IFREG);
    EXPECT_EQ(plik("config.cfg"), oczekiwany_zapis(w.v));
    EXPECT_EQ(plik(cel.c_str()), TYPOWY);
    EXPECT_FALSE(istnieje(brak.c_str()));
    ASSERT_EQ(unlink("config.cfg"), 0);
  }
}

// A new file: 0644 less the umask. An existing one keeps its permissions, with
// the owner's read and write added and the special bits dropped.
TEST_F(PlikUstawien, UprawnieniaNowegoIIstniejacegoPliku) {
  const struct {
    mode_t maska;
    mode_t byly;   // 0: no file before
    mode_t ma_byc;
  } przypadki[] = {{022, 0, 0644}, {077, 0, 0600}, {0, 0, 0644},      {002, 0, 0644},
                   {022, 0600, 0600}, {022, 0640, 0640}, {0, 0666, 0666}, {022, 0400, 0600},
                   {022, 04755, 0755}};
  mode_t stara_maska = umask(022);
  for (const auto &p : przypadki) {
    SCOPED_TRACE(::testing::Message() << std::oct << "umask " << p.maska << ", file " << p.byly);
    unlink("config.cfg");
    if (p.byly) {
      zapisz("config.cfg", TYPOWY);
      ASSERT_EQ(chmod("config.cfg", p.byly), 0);
    }
    umask(p.maska);
    ASSERT_TRUE(zapisz_ustawienia());
    umask(022);
    struct stat st;
    ASSERT_EQ(stat("config.cfg", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, p.ma_byc) << std::oct << (st.st_mode & 07777);
  }
  umask(stara_maska);
}

// What killed writes leave goes at the next write; what a live writer, another
// user or another program holds stays.
TEST_F(PlikUstawien, PorzuconePlikiTymczasoweZnikajaAZywychNieRusza) {
  zapisz("config.cfg", TYPOWY);
  // Writers killed at random moments of their writes.
  for (int i = 0; i < 30; i++) {
    pid_t pisarz = fork();
    ASSERT_GE(pisarz, 0);
    if (pisarz == 0)
      for (;;) zapisz_ustawienia();
    usleep(1000 + rand() % 20000);
    kill(pisarz, SIGKILL);
    ASSERT_EQ(waitpid(pisarz, nullptr, 0), pisarz);
  }
  // A killed write that had only just made its file, and one of an older version.
  zapisz("config.cfg.tmp.Zz0Zz9", "");
  zapisz("config.cfg.tmp", "800\n");
  for (const std::string &n : tymczasowe()) postarz(n.c_str());

  // Names of the pattern but for one character, and a file of another program.
  const char *obce[] = {"config.cfg.tmp.AAAAA", "config.cfg.tmp.AAAAAAA", "config.cfg.tmp.AAA-AA",
                        "config.cfg.tmp.old", "config.cfg.tmpAAAAAA", "other.cfg.tmp.AAAAAA"};
  for (const char *n : obce) {
    zapisz(n, "keep\n");
    postarz(n);
  }
  // The file of a write still going on in another process: locked, however old.
  int gotowy[2], koniec[2];
  ASSERT_EQ(pipe(gotowy), 0);
  ASSERT_EQ(pipe(koniec), 0);
  pid_t zywy = fork();
  ASSERT_GE(zywy, 0);
  if (zywy == 0) {
    close(gotowy[0]);
    close(koniec[1]);
    int fd = open("config.cfg.tmp.Live00", O_WRONLY | O_CREAT | O_EXCL, 0644);
    bool dobrze = fd >= 0 && flock(fd, LOCK_EX) == 0 && write(fd, "live\n", 5) == 5;
    postarz("config.cfg.tmp.Live00");
    char c = dobrze ? 'y' : 'n';
    if (write(gotowy[1], &c, 1) != 1) _exit(2);
    if (read(koniec[0], &c, 1) < 0) _exit(2);   // until the parent closes its end
    _exit(0);
  }
  close(gotowy[1]);
  close(koniec[0]);
  char c = 0;
  ASSERT_EQ(read(gotowy[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  // One just made and not yet locked by its writer (or by a writer that never locks).
  zapisz("config.cfg.tmp.Fresh0", "fresh\n");
  // One of another user.
  bool inny_wlasciciel = geteuid() == 0;
  if (inny_wlasciciel) {
    zapisz("config.cfg.tmp.Other0", "other\n");
    ASSERT_EQ(chown("config.cfg.tmp.Other0", 54321, 54321), 0);
    postarz("config.cfg.tmp.Other0");
  }

  Wartosci w = {{800, 600, 32, 1, 1, 1, 0, 0, 0, 1, 2024}};
  ustaw(w);
  ASSERT_TRUE(zapisz_ustawienia());
  EXPECT_EQ(plik("config.cfg"), oczekiwany_zapis(w.v));
  std::vector<std::string> zostaly = {"config.cfg.tmp.AAA-AA", "config.cfg.tmp.AAAAA",
                                      "config.cfg.tmp.AAAAAAA", "config.cfg.tmp.Fresh0",
                                      "config.cfg.tmp.Live00", "config.cfg.tmp.old",
                                      "config.cfg.tmpAAAAAA"};
  if (inny_wlasciciel) zostaly.push_back("config.cfg.tmp.Other0");
  std::sort(zostaly.begin(), zostaly.end());
  EXPECT_EQ(tymczasowe(), zostaly);
  for (const char *n : obce) EXPECT_EQ(plik(n), "keep\n") << n;
  EXPECT_EQ(plik("config.cfg.tmp.Live00"), "live\n");

  // Once its writer is gone the file goes at the next write.
  close(koniec[1]);
  ASSERT_EQ(waitpid(zywy, nullptr, 0), zywy);
  close(gotowy[0]);
  ASSERT_TRUE(zapisz_ustawienia());
  EXPECT_FALSE(istnieje("config.cfg.tmp.Live00"));
  EXPECT_TRUE(istnieje("config.cfg.tmp.Fresh0")) << "a file modified a moment ago was taken";
}

// Two games saving at once, thousands of times, while a third process reads:
// no write fails, every read is one whole version, the last write stays.
TEST_F(PlikUstawien, DwaProcesyPiszaNaRazINikomuNieZawodza) {
  const int ZAPISY = getenv("BRIXEL_WRITES") ? atoi(getenv("BRIXEL_WRITES")) : 3000;
  const int SZEROKOSC[2] = {800, 640}, WYSOKOSC[2] = {600, 480};
  zapisz("config.cfg", TYPOWY);
  // Each writer's count of failed writes, shared with this process.
  void *wspolne = mmap(nullptr, 2 * sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(wspolne, MAP_FAILED);
  int *nieudane_pisarza = static_cast<int *>(wspolne);
  pid_t pisarze[2];
  for (int p = 0; p < 2; p++) {
    nieudane_pisarza[p] = -1;
    pisarze[p] = fork();
    ASSERT_GE(pisarze[p], 0);
    if (pisarze[p] == 0) {
      int nieudane = 0;
      for (int i = 1; i <= ZAPISY; i++) {
        ustaw({{SZEROKOSC[p], WYSOKOSC[p], 16, 1, 1, 1, 0, 0, 0, 1, i}});
        if (!zapisz_ustawienia()) nieudane++;
      }
      nieudane_pisarza[p] = nieudane;
      _exit(0);
    }
  }
  // The reader: each read must be TYPOWY or a version one writer made.
  long odczyty = 0, zle = 0;
  std::string przyklad;
  int skonczone = 0;
  while (skonczone < 2) {
    std::string tresc;
    FILE *f = fopen("config.cfg", "r");
    if (f) {
      char bufor[512];
      size_t n = fread(bufor, 1, sizeof bufor, f);
      tresc.assign(bufor, n);
      fclose(f);
    }
    bool cala = false;
    if (f && tresc == TYPOWY) cala = true;
    else if (f) {
      ustaw(ZNACZNIKI);
      czytaj(tresc);
      for (int p = 0; p < 2; p++)
        cala = cala || (width == SZEROKOSC[p] && height == WYSOKOSC[p] && tresc == zapisane());
    }
    odczyty++;
    if (!cala && zle++ == 0) przyklad = f ? tresc : std::string("(cannot open: ") + strerror(errno) + ")";
    for (pid_t &p : pisarze) {
      int stan;
      if (p > 0 && waitpid(p, &stan, WNOHANG) == p) {
        EXPECT_TRUE(WIFEXITED(stan) && WEXITSTATUS(stan) == 0) << "a writer died";
        p = 0;
        skonczone++;
      }
    }
  }
  int nieudane = nieudane_pisarza[0] + nieudane_pisarza[1];
  munmap(wspolne, 2 * sizeof(int));
  std::cout << "2 x " << ZAPISY << " writes: " << nieudane << " failed; " << odczyty << " reads, " << zle
            << " not one whole version\n";
  EXPECT_EQ(nieudane, 0);
  EXPECT_EQ(zle, 0) << "first bad read:\n" << przyklad;
  EXPECT_GT(odczyty, 10);
  std::string ostatni[2];
  for (int p = 0; p < 2; p++) {
    ustaw({{SZEROKOSC[p], WYSOKOSC[p], 16, 1, 1, 1, 0, 0, 0, 1, ZAPISY}});
    ostatni[p] = zapisane();
  }
  std::string koncowy = plik("config.cfg");
  EXPECT_TRUE(koncowy == ostatni[0] || koncowy == ostatni[1]) << koncowy;
  EXPECT_EQ(tymczasowe(), std::vector<std::string>{});
}

using PlikUstawienDeathTest = PlikUstawien;

// A missing, unreadable or directory config.cfg at start is tested on the
// real program (program_test).
TEST_F(PlikUstawienDeathTest, NieudanyZapisKonczyProgramZKomunikatem) {
  zapisz("config.cfg", TYPOWY);
  // No temporary file can be made: every name tried is taken by a directory.
  koncowka_tymczasowej = koncowka_z_listy;
  koncowki_z_listy = {"AAAAAA"};
  ASSERT_EQ(mkdir("config.cfg.tmp.AAAAAA", 0755), 0);
  EXPECT_EXIT(zmiany_opcji(), ::testing::ExitedWithCode(1), "^Cannot open config.cfg file.\n$");
  EXPECT_EQ(plik("config.cfg"), TYPOWY);
}
