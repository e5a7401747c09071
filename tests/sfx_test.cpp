// The generated sounds and music as the game will load them: every file
// decodes, lasts as long as its kind should, is audible, stays under -1 dBFS,
// and the two looping tunes join without a jump. The generator itself must
// give the same bytes again and fail loudly when it cannot write.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Expect {
  const char *file;  // under BRIXEL_DATA_DIR
  double min_s, max_s;
  bool loops;
};

const Expect kFiles[] = {
    // Effects: short, some very short.
    {"sfx/explosion.wav", 0.2, 0.8, false},
    {"sfx/intarget.wav", 0.3, 1.5, false},
    {"sfx/rotate.wav", 0.02, 0.2, false},
    {"sfx/new.wav", 0.1, 0.5, false},
    {"sfx/drag.wav", 0.05, 0.4, false},
    {"sfx/alarm.wav", 0.2, 1.0, false},
    {"sfx/delete.wav", 0.2, 1.0, false},
    {"sfx/laugh.wav", 0.4, 2.0, false},
    {"sfx/bells.wav", 1.5, 5.0, false},
    {"sfx/breath.wav", 0.8, 3.0, false},
    {"sfx/glass.wav", 0.4, 2.0, false},
    {"sfx/glasshit.wav", 0.1, 0.6, false},
    {"sfx/glassrub.wav", 0.15, 0.8, false},
    // The announcer: a word or a short sentence.
    {"sfx/greetings.wav", 0.6, 3.0, false},
    {"sfx/level.wav", 0.4, 2.5, false},
    {"sfx/impressive.wav", 0.4, 2.5, false},
    {"sfx/perfect.wav", 0.4, 2.5, false},
    {"sfx/godlike.wav", 0.4, 2.5, false},
    {"sfx/combo.wav", 0.3, 2.0, false},
    {"sfx/record.wav", 0.4, 2.5, false},
    {"sfx/gameover.wav", 0.4, 2.5, false},
    {"sfx/trythislaugh.wav", 0.8, 4.0, false},
    {"sfx/panic.wav", 0.2, 1.5, false},
    {"sfx/children.wav", 0.6, 3.0, false},
    // Tunes.
    {"sfx/other.wav", 20.0, 30.0, true},
    {"music/start.mp3", 25.0, 35.0, false},
    {"music/game.mp3", 60.0, 120.0, true},
    {"music/gameover.mp3", 5.0, 8.0, false},
};

struct Sound {
  int rate = 0, channels = 0;
  std::vector<float> x;  // interleaved
  size_t frames() const { return channels ? x.size() / channels : 0; }
  float at(size_t i, int c) const { return x[i * channels + c]; }
};

bool load(const std::string &path, Sound &s) {
  SF_INFO info = SF_INFO();
  SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return false;
  s.rate = info.samplerate;
  s.channels = info.channels;
  s.x.assign(static_cast<size_t>(info.frames) * info.channels, 0.0f);
  sf_count_t got = sf_readf_float(f, s.x.data(), info.frames);
  sf_close(f);
  return got == info.frames && got > 0;
}

std::string data(const char *rel) { return std::string(BRIXEL_DATA_DIR) + "/" + rel; }

std::string file_bytes(const std::string &path) {
  std::string s;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return s;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  fclose(f);
  return s;
}

TEST(Sfx, EveryFileDecodesLastsRightAndDoesNotClip) {
  for (const Expect &e : kFiles) {
    SCOPED_TRACE(e.file);
    Sound s;
    ASSERT_TRUE(load(data(e.file), s));
    EXPECT_GE(s.rate, 22050);
    EXPECT_TRUE(s.channels == 1 || s.channels == 2);
    double seconds = static_cast<double>(s.frames()) / s.rate;
    EXPECT_GE(seconds, e.min_s);
    EXPECT_LE(seconds, e.max_s);
    double peak = 0.0, sum = 0.0;
    for (float v : s.x) {
      peak = std::max(peak, static_cast<double>(std::fabs(v)));
      sum += static_cast<double>(v) * v;
    }
    double rms = std::sqrt(sum / static_cast<double>(s.x.size()));
    EXPECT_LT(peak, 0.891) << "peak above -1 dBFS";  // MP3 decoding included
    EXPECT_GT(rms, 0.01) << "nearly silent";          // above -40 dBFS
    EXPECT_LT(rms, 0.2) << "too loud against the rest";  // below -14 dBFS
  }
}

// The announcer's lines sound equally loud: their RMS levels lie within 3 dB.
TEST(Sfx, AnnouncerLinesShareOneLevel) {
  const char *spoken[] = {"greetings", "level",  "impressive",   "perfect", "godlike", "combo",
                          "record",    "gameover", "trythislaugh", "panic",   "children"};
  double lo = 0.0, hi = -200.0;
  for (const char *name : spoken) {
    Sound s;
    ASSERT_TRUE(load(data(("sfx/" + std::string(name) + ".wav").c_str()), s)) << name;
    double sum = 0.0;
    for (float v : s.x) sum += static_cast<double>(v) * v;
    double db = 10.0 * std::log10(sum / static_cast<double>(s.x.size()) + 1e-20);
    lo = std::min(lo, db);
    hi = std::max(hi, db);
  }
  EXPECT_LE(hi - lo, 3.0) << "quietest " << lo << " dBFS, loudest " << hi << " dBFS";
}

TEST(Sfx, FourLandingsAtOnceStayUnderFullScale) {
  Sound s;
  ASSERT_TRUE(load(data("sfx/explosion.wav"), s));
  double peak = 0.0;
  for (float v : s.x) peak = std::max(peak, static_cast<double>(std::fabs(v)));
  EXPECT_LT(4.0 * peak, 1.0);
}

// The join of a loop, last sample to first, should be no bigger a step than
// the signal takes anyway just before and after it.
TEST(Sfx, LoopingTunesJoinSmoothly) {
  for (const Expect &e : kFiles) {
    if (!e.loops) continue;
    SCOPED_TRACE(e.file);
    Sound s;
    ASSERT_TRUE(load(data(e.file), s));
    size_t n = s.frames();
    ASSERT_GT(n, 1000u);
    for (int c = 0; c < s.channels; ++c) {
      double local = 0.0;
      for (size_t i = 1; i < 200; ++i) {
        local = std::max(local, static_cast<double>(std::fabs(s.at(i, c) - s.at(i - 1, c))));
        local = std::max(local, static_cast<double>(std::fabs(s.at(n - i, c) - s.at(n - i - 1, c))));
      }
      double seam = std::fabs(s.at(0, c) - s.at(n - 1, c));
      EXPECT_LE(seam, 1.5 * local + 0.002) << "channel " << c;
      // And the slope carries on: the first sample is where the last two point.
      double guess = 2.0 * s.at(n - 1, c) - s.at(n - 2, c);
      EXPECT_LE(std::fabs(s.at(0, c) - guess), 0.5 * local + 0.002) << "channel " << c;
    }
  }
}

std::string run(const std::string &cmd, int &status) {
  std::string err_file = std::string(BRIXEL_DATA_DIR) + "/.sfx_test.err";
  std::string full = cmd + " 2>'" + err_file + "'";
  status = system(full.c_str());
  std::string err = file_bytes(err_file);
  std::remove(err_file.c_str());
  return err;
}

TEST(Sfx, GeneratorGivesTheSameBytesAndFailsLoudly) {
  char tmpl[] = "/tmp/sfx_test.XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string dir = tmpl;
  std::string sfx = dir + "/sfx", music = dir + "/music";
  ASSERT_EQ(system(("mkdir -p '" + sfx + "' '" + music + "'").c_str()), 0);
  std::string gen = std::string("'") + BRIXEL_SFXGEN + "'";

  int status = 0;
  std::string err = run(gen + " '" + sfx + "' '" + music + "'", status);
  ASSERT_EQ(status, 0) << err;
  for (const Expect &e : kFiles) {
    std::string again = file_bytes(dir + "/" + e.file);
    EXPECT_FALSE(again.empty()) << e.file;
    EXPECT_TRUE(again == file_bytes(data(e.file))) << e.file << " differs between two runs";
  }
  // No temporary files are left behind.
  EXPECT_EQ(system(("test -z \"$(ls -A '" + sfx + "' | grep '^\\.')\"").c_str()), 0);

  err = run(gen + " '" + dir + "/nowhere' '" + music + "'", status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

  err = run("PATH=/nonexistent " + gen + " '" + sfx + "' '" + music + "'", status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_NE(err.find("flite"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

  EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}

}  // namespace
