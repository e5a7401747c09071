// The announcer: flite's deep male voice "rms" speaks each line into a
// temporary WAV (the same bytes on every run), then the line is lowered and
// slowed a little, given body and presence, compressed, put in a small hall and
// brought to one loudness, its peaks held under the ceiling by a limiter.
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sfx_sounds.h"

namespace sfx {

namespace {

struct Line {
  const char *name;
  const char *text;
  double stretch;  // flite's duration_stretch: above 1 speaks slower
  double speed;    // playback factor afterwards; below 1 lowers the voice
};

// Short calls drawn out, the two big ones the slowest and lowest; the taunts
// quicker and a little higher.
const Line kLines[] = {
    {"greetings", "Welcome to Brixel!", 1.15, 0.93},
    {"level", "Next level!", 1.05, 0.93},
    {"impressive", "Impressive!", 1.2, 0.93},
    {"perfect", "Perfect!", 1.2, 0.93},
    {"godlike", "Godlike!", 1.3, 0.92},
    {"combo", "Combo!", 1.2, 0.93},
    {"record", "New record!", 1.2, 0.93},
    {"gameover", "Game over.", 1.3, 0.92},
    {"trythislaugh", "Try this! Ha ha ha!", 1.0, 0.94},
    {"panic", "Panic!", 0.9, 0.96},
    {"children", "You play like a child!", 1.05, 0.96},
};

const char kSpeaker[] = "flite";
const char kVoice[] = "rms";
const double kVoiceRate = 16000.0;  // what flite writes for this voice
const double kTargetRms = -17.0;    // dBFS over the whole file, tail included
const double kCeiling = -1.5;       // dBFS: the limiter's ceiling

// Runs the speaker without a shell; its own output goes to /dev/null.
bool run_speaker(const Line &l, const std::string &wav, std::string &err) {
  char stretch[48];
  snprintf(stretch, sizeof stretch, "duration_stretch=%.2f", l.stretch);
  std::vector<const char *> argv = {kSpeaker, "-voice", kVoice, "--setf", stretch,
                                    "-t", l.text, "-o", wav.c_str(), nullptr};
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) {
    err = "cannot start flite";
    return false;
  }
  if (pid == 0) {
    int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, 1);
      dup2(null_fd, 2);
    }
    execvp(kSpeaker, const_cast<char *const *>(argv.data()));
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    err = WIFEXITED(status) && WEXITSTATUS(status) == 127
              ? "flite is not installed (needed for the announcer)"
              : std::string("flite failed on \"") + l.text + "\"";
    return false;
  }
  return true;
}

// Cuts the silence the speaker leaves around a line.
void trim(Mono &x) {
  double p = peak(x);
  if (p <= 0.0) return;
  float th = static_cast<float>(p * 0.01);
  size_t a = 0, b = x.size();
  while (a < b && std::fabs(x[a]) < th) ++a;
  while (b > a && std::fabs(x[b - 1]) < th) --b;
  size_t lead = frames(0.005);
  a = a > lead ? a - lead : 0;
  b = std::min(x.size(), b + frames(0.02));
  x = Mono(x.begin() + static_cast<long>(a), x.begin() + static_cast<long>(b));
}

// Peaking filter: gain_db at hz, width set by q.
void bell(Mono &x, double hz, double q, double gain_db) {
  Svf f;
  double k = 1.0 / q, a = db_gain(gain_db) - 1.0;
  for (float &v : x) {
    f.run(v, hz, q);
    v = static_cast<float>(v + a * k * f.bp);
  }
}

// Feed-forward compressor on a smoothed level: above threshold_db the level
// rises only 1/ratio as fast.
void compress(Mono &x, double threshold_db, double ratio, double attack_s, double release_s) {
  double att = std::exp(-1.0 / (attack_s * kRate)), rel = std::exp(-1.0 / (release_s * kRate));
  double env = 0.0;
  for (float &v : x) {
    double a = std::fabs(v);
    env = a > env ? att * env + (1.0 - att) * a : rel * env + (1.0 - rel) * a;
    double db = 20.0 * std::log10(std::max(env, 1e-9));
    if (db > threshold_db) v = static_cast<float>(v * db_gain((threshold_db - db) * (1.0 - 1.0 / ratio)));
  }
}

// Brick-wall limiter: the gain never lets a sample past the ceiling, falls
// toward a peak over the lookahead and recovers over the release.
void limit(Mono &x, double ceiling_db, double lookahead_s, double release_s) {
  double c = db_gain(ceiling_db);
  size_t n = x.size();
  std::vector<double> g(n, 1.0);
  for (size_t i = 0; i < n; ++i)
    if (std::fabs(x[i]) > c) g[i] = c / std::fabs(x[i]);
  double down = 1.0 / std::max(1.0, lookahead_s * kRate), up = 1.0 / std::max(1.0, release_s * kRate);
  for (size_t i = n; i-- > 1;) g[i - 1] = std::min(g[i - 1], g[i] + down);
  for (size_t i = 1; i < n; ++i) g[i] = std::min(g[i], g[i - 1] + up);
  for (size_t i = 0; i < n; ++i) x[i] = static_cast<float>(x[i] * g[i]);
}

// The room: a copy of the voice without its lowest and highest parts, late by
// predelay_s so that the consonants stay clear, through the reverb; only the
// reverb is added, wet_db under the voice's own level.
void room(Mono &x, double predelay_s, double size, double wet_db) {
  size_t d = frames(predelay_s);
  Mono send(x.size() + d, 0.0f);
  OnePole lo, hi;
  for (size_t i = 0; i < x.size(); ++i)
    send[i + d] = static_cast<float>(lo.lowpass(hi.highpass(x[i], 250.0), 5000.0));
  Mono wet = send;
  reverb(wet, size, 0.6, 1.0);
  for (size_t i = 0; i < wet.size(); ++i) wet[i] -= send[i];
  double w = rms(wet), v = rms(x);
  if (w <= 0.0) return;
  scale(wet, v * db_gain(wet_db) / w);
  x.resize(wet.size(), 0.0f);
  for (size_t i = 0; i < x.size(); ++i) x[i] += wet[i];
}

}  // namespace

bool speak_lines(const std::string &sfx_dir, std::string &err) {
  std::string tmp = sfx_dir + "/.speech.tmp.wav";
  for (const Line &l : kLines) {
    if (!run_speaker(l, tmp, err)) {
      std::remove(tmp.c_str());
      return false;
    }
    Mono x;
    int rate = 0;
    bool ok = read_mono(tmp, x, rate);
    std::remove(tmp.c_str());
    if (!ok || rate != static_cast<int>(kVoiceRate)) {
      err = std::string("cannot read flite's output for \"") + l.text + "\"";
      return false;
    }
    // One resampling both changes the rate and lowers the voice.
    x = resample(x, kVoiceRate / kRate * l.speed);
    trim(x);
    // Rumble out and the resampling's images above the voice's band, chest and
    // presence in, then an even level.
    // The low-pass is an eighth-order Butterworth: the cubic resampling leaves
    // images a third of an octave above the band, heard as a faint fizz.
    Svf hp, lp[4];
    const double q[4] = {0.51, 0.60, 0.90, 2.56};
    double top = 0.45 * kVoiceRate * l.speed;
    for (float &v : x) {
      hp.run(v, 75.0, 0.7);
      double y = hp.hp;
      for (int k = 0; k < 4; ++k) {
        lp[k].run(y, top, q[k]);
        y = lp[k].lp;
      }
      v = static_cast<float>(y);
    }
    bell(x, 160.0, 0.8, 3.0);
    bell(x, 3000.0, 1.0, 6.0);
    normalize(x, -6.0);
    compress(x, -20.0, 3.0, 0.004, 0.08);
    // A small hall and its tail.
    x.resize(x.size() + frames(0.4), 0.0f);
    room(x, 0.025, 0.45, -14.0);
    fade(x, 0.004, 0.25);
    double level = rms(x);
    if (level <= 0.0) {
      err = std::string("flite gave silence for \"") + l.text + "\"";
      return false;
    }
    scale(x, db_gain(kTargetRms) / level);
    limit(x, kCeiling, 0.002, 0.05);
    if (!write_wav(sfx_dir + "/" + l.name + ".wav", x, err)) return false;
  }
  return true;
}

}  // namespace sfx
