// The volume steps as a player hears them: the game's own graj() and volume
// calls over the real sound library, mixed by OpenAL Soft into its wave-file
// writer (in real time), then the level of each moment measured.
#include "ustawienia/ustawienia.h"
#include "fsound/fsound.h"
#include "text_sound/text_sound.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string katalog, wyjscie;
using Zegar = std::chrono::steady_clock;

// A 0.3 s tone of 440 Hz at amplitude 0.5, as a WAV file.
std::string ton(const char *nazwa, double sekundy) {
  std::string p = katalog + "/" + nazwa;
  SF_INFO i = SF_INFO();
  i.samplerate = 22050;
  i.channels = 1;
  i.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  std::vector<float> x((size_t)(sekundy * 22050));
  for (size_t n = 0; n < x.size(); n++) x[n] = (float)(0.5 * std::sin(2 * M_PI * 440 * n / 22050.0));
  SNDFILE *f = sf_open(p.c_str(), SFM_WRITE, &i);
  sf_writef_float(f, x.data(), (sf_count_t)x.size());
  sf_close(f);
  return p;
}

// The rms of the output between t0 and t1 seconds.
double poziom(const std::vector<float> &s, double t0, double t1) {
  double suma = 0;
  size_t a = (size_t)(t0 * 22050), b = std::min(s.size(), (size_t)(t1 * 22050));
  for (size_t i = a; i < b; i++) suma += (double)s[i] * s[i];
  return b > a ? std::sqrt(suma / (double)(b - a)) : 0;
}

TEST(Glosnosc, KrokiSlyszaneWedlugKrzywej) {
  ASSERT_TRUE(otworz_dzwiek());
  muzyka[SMP_ROTATE] = FSOUND_Sample_Load(-1, ton("dzwiek.wav", 0.3).c_str(), FSOUND_WHOLEFILE, 0, 0);
  muzyka[SMP_MUSIC_GAME] = FSOUND_Sample_Load(-1, ton("muzyka.wav", 0.5).c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_Sample_SetMode(muzyka[SMP_MUSIC_GAME], FSOUND_LOOP_NORMAL);
  auto t0 = Zegar::now();
  auto czekaj = [&](double t) { std::this_thread::sleep_until(t0 + std::chrono::duration<double>(t)); };
  // One sound a second at sound steps 10, 5, 1, 0; then the music at 10,
  // turned to 5 and to 0 while it plays.
  const int kroki[] = {10, 5, 1, 0};
  for (int i = 0; i < 4; i++) {
    czekaj(0.3 + i);
    ustaw_glosnosc(10, kroki[i]);
    graj(SMP_ROTATE);
  }
  czekaj(4.3);
  graj(SMP_MUSIC_GAME);
  czekaj(5.3);
  ustaw_glosnosc(5, 10);
  czekaj(6.3);
  ustaw_glosnosc(0, 10);
  czekaj(7.0);
  zwolnij_dzwieki();

  SF_INFO i = SF_INFO();
  SNDFILE *f = sf_open(wyjscie.c_str(), SFM_READ, &i);
  ASSERT_NE(f, nullptr);
  std::vector<float> s((size_t)(i.frames * i.channels));
  sf_readf_float(f, s.data(), i.frames);
  sf_close(f);
  std::vector<float> lewy;
  for (size_t n = 0; n < s.size(); n += (size_t)i.channels) lewy.push_back(s[n]);
  ASSERT_GT(lewy.size(), (size_t)(6.8 * 22050));
  // Each sound's middle, against step 10's: 3 dB a step, within half a dB.
  double pelny = poziom(lewy, 0.4, 0.55);
  ASSERT_GT(pelny, 0.05);
  for (int k = 1; k < 3; k++) {
    double db = 20 * std::log10(poziom(lewy, 0.4 + k, 0.55 + k) / pelny);
    printf("sound step %d: %.2f dB against step 10 (curve %.1f dB)\n", kroki[k], db, -3.0 * (10 - kroki[k]));
    EXPECT_NEAR(db, 20 * std::log10(wzmocnienie(kroki[k])), 0.5);
    EXPECT_NEAR(db, -3.0 * (10 - kroki[k]), 0.5);
  }
  EXPECT_LT(poziom(lewy, 3.2, 4.2), 1e-4) << "step 0 is heard";
  // The music follows at once: 15 dB down a moment after, silent after 0.
  double muzyka10 = poziom(lewy, 4.5, 5.2), muzyka5 = poziom(lewy, 5.5, 6.2);
  printf("music step 5 while playing: %.2f dB against step 10\n", 20 * std::log10(muzyka5 / muzyka10));
  EXPECT_NEAR(20 * std::log10(muzyka5 / muzyka10), -15.0, 0.5);
  EXPECT_LT(poziom(lewy, 6.5, 6.9), 1e-4) << "music at 0 still heard";
}

}  // namespace

int main(int argc, char **argv) {
  char wzor[] = "/tmp/glosnosc_test.XXXXXX";
  if (!mkdtemp(wzor)) return 1;
  katalog = wzor;
  wyjscie = katalog + "/heard.wav";
  std::string conf = katalog + "/alsoft.conf";
  FILE *f = fopen(conf.c_str(), "w");
  if (!f) return 1;
  fprintf(f, "[general]\nchannels=stereo\nsample-type=int16\nfrequency=22050\nperiod_size=256\n[wave]\nfile=%s\n",
          wyjscie.c_str());
  fclose(f);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  if (system(("rm -rf '" + katalog + "'").c_str()) != 0) fprintf(stderr, "could not remove %s\n", katalog.c_str());
  return rc;
}
