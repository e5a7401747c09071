// Replays every input of the fuzzer's corpus through the settings reader and
// writer, with the fuzzer's own check (sprawdz_ustawienia.h).
#include "fuzz/sprawdz_ustawienia.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

TEST(KorpusUstawien, KazdyPlikKorpusuPrzechodziSprawdzenie) {
  const std::string katalog = std::string(BRIXEL_SOURCE_DIR) + "/tests/fuzz/corpus";
  DIR *d = opendir(katalog.c_str());
  ASSERT_NE(d, nullptr) << katalog;
  std::vector<std::string> nazwy;
  while (dirent *e = readdir(d))
    if (e->d_name[0] != '.') nazwy.push_back(e->d_name);
  closedir(d);
  std::sort(nazwy.begin(), nazwy.end());
  ASSERT_GE(nazwy.size(), 30u) << "the corpus has gone missing";

  for (const std::string &nazwa : nazwy) {
    std::ifstream f(katalog + "/" + nazwa, std::ios::binary);
    ASSERT_TRUE(f) << nazwa;
    std::vector<uint8_t> dane((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(sprawdz_ustawienia(dane.data(), dane.size()), "") << "corpus file " << nazwa;
  }
}
