// The sound library for real: OpenAL Soft mixes into its wave-file writer
// (ALSOFT_DRIVERS=wave), which writes as it mixes, in real time. Each test
// opens the output, plays, closes it, then reads what was "heard" and looks at
// time windows of it. The no-device case runs in a child process, since OpenAL
// Soft picks its back-end once per process.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fsound.h"
#include "text_sound/text_sound.h"
#include "ustawienia/ustawienia.h"

extern char **environ;

namespace {

const double kPi = 3.14159265358979323846;
const int kRate = 22050;

std::string g_dir;       // fixtures and the output
std::string g_out_wav;   // where the wave writer writes
std::string g_self;      // this program, for the child run

typedef std::chrono::steady_clock Clock;

// ---- Fixture files ----

bool write_sound(const std::string &path, int format, int channels, const std::vector<float> &x) {
  SF_INFO info = SF_INFO();
  info.samplerate = kRate;
  info.channels = channels;
  info.format = format;
  SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  sf_count_t n = static_cast<sf_count_t>(x.size() / channels);
  bool ok = sf_writef_float(f, x.data(), n) == n;
  return sf_close(f) == 0 && ok;
}

std::vector<float> tone(double hz, double seconds, double amp, int channels = 1) {
  size_t n = static_cast<size_t>(seconds * kRate);
  std::vector<float> x(n * channels);
  for (size_t i = 0; i < n; ++i)
    for (int c = 0; c < channels; ++c)
      x[i * channels + c] = static_cast<float>(amp * std::sin(2.0 * kPi * hz * i / kRate));
  return x;
}

void write_bytes(const std::string &path, const std::string &bytes) {
  FILE *f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

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

std::string path(const char *name) { return g_dir + "/" + name; }

// ---- What came out ----

struct Heard {
  std::vector<float> mono;
  int rate = 0;
  // Level of the whole window and of one frequency in it (sine amplitude).
  double rms(double t0, double t1) const {
    size_t a, b;
    span(t0, t1, a, b);
    double s = 0.0;
    for (size_t i = a; i < b; ++i) s += static_cast<double>(mono[i]) * mono[i];
    return b > a ? std::sqrt(s / (b - a)) : 0.0;
  }
  double at_hz(double t0, double t1, double hz) const {
    size_t a, b;
    span(t0, t1, a, b);
    double re = 0.0, im = 0.0;
    for (size_t i = a; i < b; ++i) {
      double ph = 2.0 * kPi * hz * static_cast<double>(i) / rate;
      re += mono[i] * std::cos(ph);
      im += mono[i] * std::sin(ph);
    }
    return b > a ? 2.0 * std::sqrt(re * re + im * im) / (b - a) : 0.0;
  }
  double seconds() const { return rate ? static_cast<double>(mono.size()) / rate : 0.0; }
  void span(double t0, double t1, size_t &a, size_t &b) const {
    a = std::min(mono.size(), static_cast<size_t>(std::max(0.0, t0) * rate));
    b = std::min(mono.size(), static_cast<size_t>(std::max(0.0, t1) * rate));
  }
};

Heard read_heard() {
  Heard h;
  SF_INFO info = SF_INFO();
  SNDFILE *f = sf_open(g_out_wav.c_str(), SFM_READ, &info);
  if (!f) return h;
  std::vector<float> buf(static_cast<size_t>(info.frames) * info.channels);
  sf_count_t got = sf_readf_float(f, buf.data(), info.frames);
  sf_close(f);
  h.rate = info.samplerate;
  h.mono.resize(static_cast<size_t>(got));
  for (sf_count_t i = 0; i < got; ++i) {
    double s = 0.0;
    for (int c = 0; c < info.channels; ++c) s += buf[static_cast<size_t>(i * info.channels + c)];
    h.mono[static_cast<size_t>(i)] = static_cast<float>(s / info.channels);
  }
  return h;
}

// A session of the output: times are seconds since the output opened.
struct Session {
  Clock::time_point t0;
  Session() {
    EXPECT_EQ(FSOUND_Init(22050, 16, 0), 1);
    t0 = Clock::now();
  }
  double now() const { return std::chrono::duration<double>(Clock::now() - t0).count(); }
  void wait_until(double t) const {
    double d = t - now();
    if (d > 0) std::this_thread::sleep_for(std::chrono::duration<double>(d));
  }
};

// The writer mixes a period at a time and may run behind the clock, so a sound
// can land in the file a little before the moment it was started: windows that
// must be quiet end well before each start.
const double kSilent = 1e-4;  // rms of a quiet output window
const double kHeard = 0.01;   // amplitude of a test tone that is clearly there

// ---- Tests ----

TEST(Fsound, PlaysOnceLoopsAndStopsAll) {
  std::string once = path("once440.wav"), loop = path("loop660.wav"), mp3 = path("once1000.mp3");
  ASSERT_TRUE(write_sound(once, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(440, 0.3, 0.3)));
  // 660 Hz over 0.25 s is a whole number of cycles: it loops without a seam.
  ASSERT_TRUE(write_sound(loop, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, tone(660, 0.25, 0.3, 2)));
  ASSERT_TRUE(write_sound(mp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2, tone(1000, 0.3, 0.3, 2)));

  Session s;
  FSOUND_SAMPLE *a = FSOUND_Sample_Load(FSOUND_FREE, once.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_SAMPLE *b = FSOUND_Sample_Load(FSOUND_FREE, loop.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_SAMPLE *m = FSOUND_Sample_Load(FSOUND_FREE, mp3.c_str(), FSOUND_WHOLEFILE, 0, 0);
  ASSERT_TRUE(a && b && m);
  EXPECT_EQ(FSOUND_Sample_SetMode(b, FSOUND_LOOP_NORMAL), 1);

  s.wait_until(0.2);
  double t_once = s.now();
  EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, a), 0);
  s.wait_until(0.7);
  double t_mp3 = s.now();
  EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, m), 0);
  s.wait_until(1.2);
  double t_loop = s.now();
  EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, b), 0);
  s.wait_until(2.2);
  double t_stop = s.now();
  EXPECT_EQ(FSOUND_StopSound(FSOUND_ALL), 1);
  s.wait_until(2.7);
  FSOUND_Sample_Free(a);
  FSOUND_Sample_Free(b);
  FSOUND_Sample_Free(m);
  FSOUND_Close();

  Heard h = read_heard();
  ASSERT_GT(h.seconds(), 2.4);
  EXPECT_LT(h.rms(0.0, t_once - 0.15), kSilent);
  // The one-shot sounds for its length, then stops by itself.
  EXPECT_GT(h.at_hz(t_once + 0.1, t_once + 0.25, 440), kHeard);
  EXPECT_LT(h.rms(t_once + 0.4, t_mp3 - 0.15), kSilent);
  EXPECT_GT(h.at_hz(t_mp3 + 0.1, t_mp3 + 0.25, 1000), kHeard);
  EXPECT_LT(h.rms(t_mp3 + 0.4, t_loop - 0.15), kSilent);
  // The loop goes on far past its 0.25 s, until everything is stopped.
  EXPECT_GT(h.at_hz(t_loop + 0.1, t_loop + 0.3, 660), kHeard);
  EXPECT_GT(h.at_hz(t_stop - 0.6, t_stop - 0.35, 660), kHeard);
  EXPECT_LT(h.rms(t_stop + 0.15, h.seconds()), kSilent);
}

TEST(Fsound, OverlappingStartsNeverCutALoop) {
  std::string loop = path("loop660.wav"), hit = path("hit1500.wav");
  ASSERT_TRUE(write_sound(loop, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(660, 0.25, 0.2)));
  ASSERT_TRUE(write_sound(hit, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(1500, 0.4, 0.02)));

  Session s;
  FSOUND_SAMPLE *music = FSOUND_Sample_Load(FSOUND_FREE, loop.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_SAMPLE *land = FSOUND_Sample_Load(FSOUND_FREE, hit.c_str(), FSOUND_WHOLEFILE, 0, 0);
  ASSERT_TRUE(music && land);
  FSOUND_Sample_SetMode(music, FSOUND_LOOP_NORMAL);
  s.wait_until(0.1);
  int music_ch = FSOUND_PlaySound(FSOUND_FREE, music);
  ASSERT_GE(music_ch, 0);
  s.wait_until(0.3);
  double t_burst = s.now();
  // The same sample started 17 times: 15 copies fill the free channels, then
  // the oldest copy is taken twice; the looping one never.
  std::vector<int> used;
  for (int k = 0; k < 17; ++k) {
    int ch = FSOUND_PlaySound(FSOUND_FREE, land);
    EXPECT_GE(ch, 0);
    EXPECT_NE(ch, music_ch);
    used.push_back(ch);
  }
  for (int i = 0; i < 15; ++i)
    for (int j = i + 1; j < 15; ++j) EXPECT_NE(used[i], used[j]) << "copies share a channel";
  EXPECT_EQ(used[15], used[0]);
  EXPECT_EQ(used[16], used[1]);
  s.wait_until(1.3);
  FSOUND_Sample_Free(music);
  FSOUND_Sample_Free(land);
  FSOUND_Close();

  Heard h = read_heard();
  EXPECT_GT(h.at_hz(t_burst + 0.1, t_burst + 0.3, 1500), 0.1);  // many copies at once
  EXPECT_GT(h.at_hz(t_burst + 0.1, t_burst + 0.3, 660), kHeard);
  EXPECT_LT(h.at_hz(t_burst + 0.6, 1.2, 1500), 0.002);
  EXPECT_GT(h.at_hz(t_burst + 0.6, 1.2, 660), kHeard);  // the loop outlived the burst
}

TEST(Fsound, AllChannelsLoopingRefusesAnotherStart) {
  std::string loop = path("loop660.wav"), hit = path("hit1500.wav");
  ASSERT_TRUE(write_sound(loop, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(660, 0.25, 0.01)));
  ASSERT_TRUE(write_sound(hit, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(1500, 0.2, 0.01)));
  Session s;
  FSOUND_SAMPLE *music = FSOUND_Sample_Load(FSOUND_FREE, loop.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_SAMPLE *land = FSOUND_Sample_Load(FSOUND_FREE, hit.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_Sample_SetMode(music, FSOUND_LOOP_NORMAL);
  for (int k = 0; k < 16; ++k) EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, music), 0);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, land), -1);
  // Once the loops stop, the channels are free again.
  FSOUND_StopSound(FSOUND_ALL);
  EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, land), 0);
  FSOUND_Sample_Free(music);
  FSOUND_Sample_Free(land);
  FSOUND_Close();
}

TEST(Fsound, UnreadableFilesGiveHandlesThatPlayNothing) {
  std::string good = path("good.wav");
  std::vector<float> x = tone(440, 1.0, 0.3);
  ASSERT_TRUE(write_sound(good, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, x));
  std::string bytes = file_bytes(good);
  ASSERT_GT(bytes.size(), 20000u);
  write_bytes(path("truncated.wav"), bytes.substr(0, bytes.size() / 2));
  write_bytes(path("header_only.wav"), bytes.substr(0, 30));
  write_bytes(path("empty.wav"), "");
  write_bytes(path("text.wav"), "this is not a sound file\n");
  std::string mp3 = path("good.mp3");
  ASSERT_TRUE(write_sound(mp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1, x));
  std::string mp3_bytes = file_bytes(mp3);
  write_bytes(path("truncated.mp3"), mp3_bytes.substr(0, mp3_bytes.size() / 2));

  // A well-formed WAV header over 70 MB of (sparse) silence: past the cap.
  {
    std::string big = bytes.substr(0, 44);
    ASSERT_EQ(big.substr(36, 4), "data");
    uint32_t data_len = 70u * 1024 * 1024, riff_len = data_len + 36;
    for (int k = 0; k < 4; ++k) {
      big[4 + k] = static_cast<char>((riff_len >> (8 * k)) & 0xff);
      big[40 + k] = static_cast<char>((data_len >> (8 * k)) & 0xff);
    }
    write_bytes(path("huge.wav"), big);
    ASSERT_EQ(truncate(path("huge.wav").c_str(), 44 + static_cast<off_t>(data_len)), 0);
  }

  Session s;
  const char *bad[] = {"truncated.wav", "header_only.wav", "empty.wav", "text.wav",
                       "truncated.mp3", "huge.wav", "missing.wav"};
  std::vector<FSOUND_SAMPLE *> handles;
  for (const char *name : bad) {
    Clock::time_point start = Clock::now();
    FSOUND_SAMPLE *h = FSOUND_Sample_Load(FSOUND_FREE, path(name).c_str(), FSOUND_WHOLEFILE, 0, 0);
    double took = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_NE(h, nullptr) << name;
    EXPECT_LT(took, 0.5) << name;
    EXPECT_EQ(FSOUND_Sample_SetMode(h, FSOUND_LOOP_NORMAL), 1) << name;
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, h), -1) << name;
    handles.push_back(h);
  }
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, FSOUND_WHOLEFILE, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_Sample_SetMode(nullptr, FSOUND_LOOP_NORMAL), 0);
  s.wait_until(0.6);
  double t_good = s.now();
  FSOUND_SAMPLE *g = FSOUND_Sample_Load(FSOUND_FREE, mp3.c_str(), FSOUND_WHOLEFILE, 0, 0);
  EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, g), 0);
  s.wait_until(t_good + 0.4);
  for (FSOUND_SAMPLE *h : handles) FSOUND_Sample_Free(h);
  FSOUND_Sample_Free(g);
  FSOUND_Close();

  Heard h = read_heard();
  EXPECT_LT(h.rms(0.0, t_good - 0.15), kSilent);
  EXPECT_GT(h.at_hz(t_good + 0.1, t_good + 0.3, 440), kHeard);
}

TEST(Fsound, KeepsPlayingWhileSdlRestarts) {
  std::string loop = path("loop660.wav");
  ASSERT_TRUE(write_sound(loop, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(660, 0.25, 0.2)));
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  Session s;
  FSOUND_SAMPLE *music = FSOUND_Sample_Load(FSOUND_FREE, loop.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_Sample_SetMode(music, FSOUND_LOOP_NORMAL);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
  ASSERT_NE(SDL_SetVideoMode(64, 48, 0, 0), nullptr) << SDL_GetError();
  s.wait_until(0.1);
  double t_start = s.now();
  ASSERT_GE(FSOUND_PlaySound(FSOUND_FREE, music), 0);
  s.wait_until(0.5);
  SDL_Quit();  // the game does this when it re-opens its window
  s.wait_until(0.8);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
  ASSERT_NE(SDL_SetVideoMode(80, 60, 0, 0), nullptr) << SDL_GetError();
  s.wait_until(1.2);
  SDL_Quit();
  s.wait_until(1.6);
  double t_end = s.now();
  FSOUND_Sample_Free(music);
  FSOUND_Close();

  Heard h = read_heard();
  for (double t = t_start + 0.1; t + 0.1 < t_end - 0.15; t += 0.1)
    EXPECT_GT(h.at_hz(t, t + 0.1, 660), kHeard) << "gap at " << t << " s";
}

// Runs this program again with no usable back-end; returns its exit code
// and what it wrote on stderr.
int run_child(const char *drivers, std::string &err_text) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  std::vector<std::string> env_s;
  for (char **e = environ; *e; ++e) {
    if (strncmp(*e, "ALSOFT_DRIVERS=", 15) == 0) continue;
    env_s.push_back(*e);
  }
  env_s.push_back(std::string("ALSOFT_DRIVERS=") + drivers);
  env_s.push_back("FSOUND_TEST_CHILD=" + g_dir);
  std::vector<char *> env;
  for (std::string &e : env_s) env.push_back(&e[0]);
  env.push_back(nullptr);
  std::string self = g_self;
  char *argv[] = {&self[0], nullptr};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 2);
  posix_spawn_file_actions_addclose(&fa, fds[0]);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, self.c_str(), &fa, nullptr, argv, env.data());
  posix_spawn_file_actions_destroy(&fa);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return -1;
  }
  char buf[1024];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) err_text.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Compressed files are decoded behind the caller's back: loading returns at
// once, the first start waits for the rest of its own decoding and then plays
// from the beginning; freeing or closing with decodings still queued is safe.
TEST(Fsound, CompressedSamplesLoadAtOnceAndPlayWhenStarted) {
  std::string tune = path("long880.mp3");
  ASSERT_TRUE(write_sound(tune, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2, tone(880, 20.0, 0.3, 2)));
  Session s;
  Clock::time_point start = Clock::now();
  FSOUND_SAMPLE *first = FSOUND_Sample_Load(FSOUND_FREE, tune.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_SAMPLE *freed = FSOUND_Sample_Load(FSOUND_FREE, tune.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_SAMPLE *queued = FSOUND_Sample_Load(FSOUND_FREE, tune.c_str(), FSOUND_WHOLEFILE, 0, 0);
  double loading = std::chrono::duration<double>(Clock::now() - start).count();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(freed, nullptr);
  ASSERT_NE(queued, nullptr);
  FSOUND_Sample_Free(freed);  // still waiting its turn
  start = Clock::now();
  double t_play = s.now();
  EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, first), 0);
  double waited = std::chrono::duration<double>(Clock::now() - start).count();
  // Decoding twenty seconds of MP3 takes far longer than reading three headers.
  EXPECT_LT(loading, waited);
  s.wait_until(s.now() + 0.5);
  FSOUND_Close();  // the third is still queued or being decoded: dropped
  FSOUND_Sample_Free(first);
  FSOUND_Sample_Free(queued);

  Heard h = read_heard();
  EXPECT_GT(h.at_hz(t_play + waited + 0.1, t_play + waited + 0.4, 880), kHeard);
}

// The game's volume steps as heard: its own volume and graj() calls. One
// sound a second at sound steps 10, 5, 1 and 0, then the music at 10 turned
// to 5 and to 0 while it plays.
TEST(Fsound, VolumeStepsHeardOnTheCurve) {
  std::string krotki = path("step440.wav"), petla = path("music660.wav");
  ASSERT_TRUE(write_sound(krotki, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(440, 0.3, 0.5)));
  ASSERT_TRUE(write_sound(petla, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(660, 0.25, 0.5)));
  Session s;
  muzyka[SMP_ROTATE] = FSOUND_Sample_Load(FSOUND_FREE, krotki.c_str(), FSOUND_WHOLEFILE, 0, 0);
  muzyka[SMP_MUSIC_GAME] = FSOUND_Sample_Load(FSOUND_FREE, petla.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_Sample_SetMode(muzyka[SMP_MUSIC_GAME], FSOUND_LOOP_NORMAL);
  const int kroki[] = {10, 5, 1, 0};
  double t[4];
  for (int i = 0; i < 4; i++) {
    s.wait_until(0.3 + i);
    t[i] = s.now();
    ustaw_glosnosc(10, kroki[i]);
    graj(SMP_ROTATE);
  }
  s.wait_until(4.3);
  graj(SMP_MUSIC_GAME);
  s.wait_until(5.3);
  ustaw_glosnosc(5, 10);
  s.wait_until(6.3);
  ustaw_glosnosc(0, 10);
  s.wait_until(7.0);
  zwolnij_dzwieki();   // frees the samples, closes the output
  Heard h = read_heard();
  ASSERT_GT(h.seconds(), 6.8);
  double pelny = h.rms(t[0] + 0.1, t[0] + 0.25);
  ASSERT_GT(pelny, kHeard);
  for (int k = 1; k < 3; k++) {
    double db = 20 * std::log10(h.rms(t[k] + 0.1, t[k] + 0.25) / pelny);
    printf("sound step %d: %.2f dB against step 10\n", kroki[k], db);
    EXPECT_NEAR(db, -3.0 * (10 - kroki[k]), 0.5);
  }
  EXPECT_LT(h.rms(t[3] - 0.2, t[3] + 0.8), kSilent) << "step 0 is heard";
  double db = 20 * std::log10(h.rms(5.5, 6.2) / h.rms(4.5, 5.2));
  printf("music step 5 while playing: %.2f dB against step 10\n", db);
  EXPECT_NEAR(db, -15.0, 0.5);
  EXPECT_LT(h.rms(6.5, 6.9), kSilent) << "music at 0 still heard";
}

TEST(Fsound, NoDeviceStillRunsSilently) {
  ASSERT_TRUE(write_sound(path("child.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(440, 0.2, 0.3)));
  std::string err;
  EXPECT_EQ(run_child("nonexistent", err), 0);
  EXPECT_EQ(err, "brixel: no audio device, sound is off\n");
}

// The child's side: every call works without a device, channels stay busy as
// long as their sample would sound, and loops are never taken.
int child_main(const std::string &dir) {
  if (FSOUND_Init(22050, 16, 0) != 1) return 10;
  std::string name = dir + "/child.wav";
  FSOUND_SAMPLE *s = FSOUND_Sample_Load(FSOUND_FREE, name.c_str(), FSOUND_WHOLEFILE, 0, 0);
  FSOUND_SAMPLE *bad = FSOUND_Sample_Load(FSOUND_FREE, (dir + "/missing.wav").c_str(), 0, 0, 0);
  FSOUND_SAMPLE *loop = FSOUND_Sample_Load(FSOUND_FREE, name.c_str(), FSOUND_WHOLEFILE, 0, 0);
  if (!s || !bad || !loop) return 11;
  if (FSOUND_PlaySound(FSOUND_FREE, bad) != -1) return 12;
  if (FSOUND_Sample_SetMode(loop, FSOUND_LOOP_NORMAL) != 1) return 13;
  if (FSOUND_PlaySound(FSOUND_FREE, loop) != 0) return 14;
  if (FSOUND_PlaySound(FSOUND_FREE, s) != 1) return 15;
  if (FSOUND_PlaySound(FSOUND_FREE, s) != 2) return 16;  // the first copy still sounds
  usleep(300000);                                        // both copies have ended
  if (FSOUND_PlaySound(FSOUND_FREE, s) != 1) return 17;
  for (int k = 0; k < 15; ++k) FSOUND_PlaySound(FSOUND_FREE, loop);
  if (FSOUND_PlaySound(FSOUND_FREE, s) != -1) return 18;
  if (FSOUND_StopSound(FSOUND_ALL) != 1) return 19;
  if (FSOUND_PlaySound(FSOUND_FREE, s) != 0) return 20;
  FSOUND_Sample_Free(s);
  FSOUND_Sample_Free(bad);
  FSOUND_Sample_Free(loop);
  FSOUND_Close();
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (const char *child = getenv("FSOUND_TEST_CHILD")) return child_main(child);

  char tmpl[] = "/tmp/fsound_test.XXXXXX";
  if (!mkdtemp(tmpl)) {
    perror("mkdtemp");
    return 1;
  }
  g_dir = tmpl;
  g_out_wav = g_dir + "/heard.wav";
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return 1;
  self[n] = '\0';
  g_self = self;

  // OpenAL Soft reads these once, at its first call.
  std::string conf = g_dir + "/alsoft.conf";
  std::string text = "[general]\nchannels=stereo\nsample-type=int16\nfrequency=22050\nperiod_size=256\n[wave]\nfile=" +
                     g_out_wav + "\n";
  FILE *f = fopen(conf.c_str(), "w");
  if (!f) return 1;
  fputs(text.c_str(), f);
  fclose(f);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  setenv("ALSOFT_CONF", conf.c_str(), 1);

  testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  std::string rm = "rm -rf '" + g_dir + "'";
  if (system(rm.c_str()) != 0) fprintf(stderr, "could not remove %s\n", g_dir.c_str());
  return rc;
}
