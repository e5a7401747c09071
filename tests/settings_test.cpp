// The settings file: what the writer produces, what the reader makes of it and
// of damaged files, and the file itself in a working directory.
#include "game/game.h"
#include "shell/shell.h"
#include "fuzz/sprawdz_ustawienia.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

class PlikUstawien : public ::testing::Test {
 protected:
  std::string katalog, poprzedni;

  void SetUp() override {
    char wzor[] = "/tmp/brixel-settings-XXXXXX";
    ASSERT_NE(mkdtemp(wzor), nullptr);
    katalog = wzor;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    poprzedni = cwd;
    ASSERT_EQ(chdir(katalog.c_str()), 0);
  }
  void TearDown() override {
    if (!poprzedni.empty() && chdir(poprzedni.c_str()) != 0) ADD_FAILURE() << "cannot go back";
    std::string polecenie = "rm -rf '" + katalog + "'";
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
};

TEST_F(PlikUstawien, ZapisTworzyPlikKtoryWracaIBezPlikuTymczasowego) {
  Wartosci w = {{640, 480, 32, 0, 1, 0, 1, 1, 0, 1, 987}};
  ustaw(w);
  ASSERT_TRUE(zapisz_ustawienia());
  EXPECT_EQ(plik("config.cfg"), oczekiwany_zapis(w.v));
  EXPECT_FALSE(istnieje("config.cfg.tmp"));
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
  EXPECT_FALSE(istnieje("config.cfg.tmp"));
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

TEST_F(PlikUstawien, NieudanyZapisZostawiaStaryPlik) {
  zapisz("config.cfg", TYPOWY);
  ASSERT_EQ(mkdir("config.cfg.tmp", 0755), 0);   // the temporary file cannot be made
  rekord = 123;
  EXPECT_FALSE(zapisz_ustawienia());
  EXPECT_EQ(plik("config.cfg"), TYPOWY);
}

TEST_F(PlikUstawien, KatalogZamiastPlikuNieDajeSieZapisac) {
  ASSERT_EQ(mkdir("config.cfg", 0755), 0);
  EXPECT_FALSE(zapisz_ustawienia());
  EXPECT_FALSE(istnieje("config.cfg.tmp"));
}

using PlikUstawienDeathTest = PlikUstawien;

// A missing, unreadable or directory config.cfg at start is tested on the
// real program (program_test).
TEST_F(PlikUstawienDeathTest, NieudanyZapisKonczyProgramZKomunikatem) {
  zapisz("config.cfg", TYPOWY);
  ASSERT_EQ(mkdir("config.cfg.tmp", 0755), 0);
  EXPECT_EXIT(zmiany_opcji(), ::testing::ExitedWithCode(1), "^Cannot open config.cfg file.\n$");
  EXPECT_EQ(plik("config.cfg"), TYPOWY);
}
