// Replays every input of the fuzzer's corpus through the settings reader and
// writer, with the fuzzer's own check (sprawdz_ustawienia.h); built with
// KORPUS_GRACZA, the player files' corpus through their readers
// (sprawdz_plikow_gracza.h).
#ifdef KORPUS_GRACZA
#include "fuzz/sprawdz_plikow_gracza.h"
#define SPRAWDZENIE sprawdz_pliki_gracza
#define KORPUS "corpus_player"
#define NAJMNIEJ_PLIKOW 12u
#else
#include "fuzz/sprawdz_ustawienia.h"
#define SPRAWDZENIE sprawdz_ustawienia
#define KORPUS "corpus"
#define NAJMNIEJ_PLIKOW 30u
#endif

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

TEST(KorpusUstawien, KazdyPlikKorpusuPrzechodziSprawdzenie) {
  const std::string katalog = std::string(BRIXEL_SOURCE_DIR) + "/tests/fuzz/" KORPUS;
  DIR *d = opendir(katalog.c_str());
  ASSERT_NE(d, nullptr) << katalog;
  std::vector<std::string> nazwy;
  while (dirent *e = readdir(d))
    if (e->d_name[0] != '.') nazwy.push_back(e->d_name);
  closedir(d);
  std::sort(nazwy.begin(), nazwy.end());
  ASSERT_GE(nazwy.size(), NAJMNIEJ_PLIKOW) << "the corpus has gone missing";

  for (const std::string &nazwa : nazwy) {
    std::ifstream f(katalog + "/" + nazwa, std::ios::binary);
    ASSERT_TRUE(f) << nazwa;
    std::vector<uint8_t> dane((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(SPRAWDZENIE(dane.data(), dane.size()), "") << "corpus file " << nazwa;
  }
}
