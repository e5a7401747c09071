// The synthesis kit of the sound generator (see sfx_synth.h).
#include "sfx_synth.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sfx {

size_t frames(double seconds) {
  if (seconds <= 0.0) return 0;
  return static_cast<size_t>(std::llround(seconds * kRate));
}

double midi_hz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

double db_gain(double db) { return std::pow(10.0, db / 20.0); }

uint64_t Rng::next() {
  uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double Rng::uni() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

double Rng::sym() { return uni() * 2.0 - 1.0; }

namespace {

// The polyBLEP residual that rounds a step at phase 0 over one sample.
double blep(double t, double dt) {
  if (dt <= 0.0) return 0.0;
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double advance(double &phase, double hz) {
  double dt = hz / kRate;
  if (dt < 0.0) dt = 0.0;
  if (dt > 0.49) dt = 0.49;
  phase += dt;
  if (phase >= 1.0) phase -= std::floor(phase);
  return dt;
}

}  // namespace

double Osc::sine(double hz) {
  double v = std::sin(2.0 * kPi * phase);
  advance(phase, hz);
  return v;
}

double Osc::saw(double hz) {
  double t = phase;
  double dt = advance(phase, hz);
  return 2.0 * t - 1.0 - blep(t, dt);
}

double Osc::square(double hz, double width) {
  double t = phase;
  double dt = advance(phase, hz);
  double v = t < width ? 1.0 : -1.0;
  v += blep(t, dt);
  double t2 = t - width;
  if (t2 < 0.0) t2 += 1.0;
  v -= blep(t2, dt);
  return v;
}

double Osc::tri(double hz) {
  double t = phase;
  advance(phase, hz);
  return t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t;
}

void Svf::run(double x, double cutoff_hz, double q) {
  double fc = std::min(std::max(cutoff_hz, 10.0), kRate * 0.45);
  double g = std::tan(kPi * fc / kRate);
  double k = 1.0 / std::max(q, 0.05);
  double a1 = 1.0 / (1.0 + g * (g + k));
  double a2 = g * a1;
  double a3 = g * a2;
  double v3 = x - ic2;
  double v1 = a1 * ic1 + a2 * v3;
  double v2 = ic2 + a2 * ic1 + a3 * v3;
  ic1 = 2.0 * v1 - ic1;
  ic2 = 2.0 * v2 - ic2;
  lp = v2;
  bp = v1;
  hp = x - k * v1 - v2;
}

double OnePole::lowpass(double x, double cutoff_hz) {
  double a = std::exp(-2.0 * kPi * cutoff_hz / kRate);
  z = x * (1.0 - a) + z * a;
  return z;
}

double OnePole::highpass(double x, double cutoff_hz) { return x - lowpass(x, cutoff_hz); }

namespace {

double held_level(double t, double a, double d, double s) {
  if (t < a) return a > 0.0 ? t / a : 1.0;
  t -= a;
  if (t < d) return 1.0 - (1.0 - s) * (t / d);
  return s;
}

}  // namespace

double adsr(double t, double a, double d, double s, double r, double note_len) {
  if (t < 0.0) return 0.0;
  if (t < note_len) return held_level(t, a, d, s);
  double from = held_level(note_len, a, d, s);
  double k = r > 0.0 ? 1.0 - (t - note_len) / r : 0.0;
  return k > 0.0 ? from * k * k : 0.0;
}

double perc(double t, double attack, double tau) {
  if (t < 0.0) return 0.0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / tau);
}

void mix_in(Stereo &dst, const Mono &src, long start, double gain, double pan, bool wrap) {
  long n = static_cast<long>(dst.size());
  if (n == 0) return;
  double ang = (std::min(std::max(pan, -1.0), 1.0) + 1.0) * kPi / 4.0;
  double gl = gain * std::cos(ang) * std::sqrt(2.0);
  double gr = gain * std::sin(ang) * std::sqrt(2.0);
  for (size_t i = 0; i < src.size(); ++i) {
    long j = start + static_cast<long>(i);
    if (wrap) {
      j %= n;
      if (j < 0) j += n;
    } else if (j < 0 || j >= n) {
      continue;
    }
    dst.l[static_cast<size_t>(j)] += static_cast<float>(src[i] * gl);
    dst.r[static_cast<size_t>(j)] += static_cast<float>(src[i] * gr);
  }
}

void mix_in(Mono &dst, const Mono &src, long start, double gain, bool wrap) {
  long n = static_cast<long>(dst.size());
  if (n == 0) return;
  for (size_t i = 0; i < src.size(); ++i) {
    long j = start + static_cast<long>(i);
    if (wrap) {
      j %= n;
      if (j < 0) j += n;
    } else if (j < 0 || j >= n) {
      continue;
    }
    dst[static_cast<size_t>(j)] += static_cast<float>(src[i] * gain);
  }
}

namespace {

struct Comb {
  std::vector<float> buf;
  size_t i = 0;
  double store = 0.0;
  double run(double x, double feedback, double damp) {
    double y = buf[i];
    store = y * (1.0 - damp) + store * damp;
    buf[i] = static_cast<float>(x + store * feedback);
    if (++i >= buf.size()) i = 0;
    return y;
  }
};

struct Allpass {
  std::vector<float> buf;
  size_t i = 0;
  double run(double x) {
    double b = buf[i];
    buf[i] = static_cast<float>(x + b * 0.5);
    if (++i >= buf.size()) i = 0;
    return b - x;
  }
};

// One side of the reverb; spread offsets the delay lengths for the right.
struct ReverbSide {
  Comb combs[8];
  Allpass alls[4];
  explicit ReverbSide(int spread) {
    static const int kComb[8] = {558, 594, 638, 678, 711, 745, 778, 808};
    static const int kAll[4] = {278, 220, 170, 112};
    for (int c = 0; c < 8; ++c) combs[c].buf.assign(static_cast<size_t>(kComb[c] + spread), 0.0f);
    for (int a = 0; a < 4; ++a) alls[a].buf.assign(static_cast<size_t>(kAll[a] + spread), 0.0f);
  }
  double run(double x, double feedback, double damp) {
    double acc = 0.0;
    for (Comb &c : combs) acc += c.run(x, feedback, damp);
    for (Allpass &a : alls) acc = a.run(acc);
    return acc;
  }
};

double room_feedback(double room) { return 0.7 + 0.28 * std::min(std::max(room, 0.0), 1.0); }

}  // namespace

void reverb(Stereo &x, double room, double damp, double wet, bool periodic, double dry) {
  size_t n = x.size();
  if (n == 0) return;
  ReverbSide left(0), right(11);
  double fb = room_feedback(room);
  double dm = std::min(std::max(damp, 0.0), 1.0) * 0.4;
  Stereo out;
  out.resize(n);
  size_t total = periodic ? 2 * n : n;
  for (size_t k = 0; k < total; ++k) {
    size_t i = k % n;
    double in = (x.l[i] + x.r[i]) * 0.015;
    double wl = left.run(in, fb, dm);
    double wr = right.run(in, fb, dm);
    if (!periodic || k >= n) {
      out.l[i] = static_cast<float>(dry * x.l[i] + wet * 3.0 * wl);
      out.r[i] = static_cast<float>(dry * x.r[i] + wet * 3.0 * wr);
    }
  }
  x = out;
}

void reverb(Mono &x, double room, double damp, double wet) {
  ReverbSide side(0);
  double fb = room_feedback(room);
  double dm = std::min(std::max(damp, 0.0), 1.0) * 0.4;
  for (float &v : x) v = static_cast<float>(v + wet * 3.0 * side.run(v * 0.03, fb, dm));
}

void echo(Stereo &x, double seconds, double feedback, double wet, bool periodic, double dry) {
  size_t n = x.size();
  size_t d = std::max<size_t>(1, frames(seconds));
  if (n == 0) return;
  std::vector<float> bl(d, 0.0f), br(d, 0.0f);
  Stereo out;
  out.resize(n);
  OnePole tone_l, tone_r;
  size_t total = periodic ? 2 * n : n;
  size_t p = 0;
  for (size_t k = 0; k < total; ++k) {
    size_t i = k % n;
    double el = bl[p], er = br[p];
    double m = (x.l[i] + x.r[i]) * 0.5;
    // Ping-pong: the left line feeds the right and back; each pass is darker.
    bl[p] = static_cast<float>(m + tone_l.lowpass(er * feedback, 3500.0));
    br[p] = static_cast<float>(tone_r.lowpass(el * feedback, 3500.0));
    if (++p >= d) p = 0;
    if (!periodic || k >= n) {
      out.l[i] = static_cast<float>(dry * x.l[i] + wet * el);
      out.r[i] = static_cast<float>(dry * x.r[i] + wet * er);
    }
  }
  x = out;
}

double peak(const Mono &x) {
  double p = 0.0;
  for (float v : x) p = std::max(p, static_cast<double>(std::fabs(v)));
  return p;
}

double peak(const Stereo &x) { return std::max(peak(x.l), peak(x.r)); }

double rms(const Mono &x) {
  if (x.empty()) return 0.0;
  double s = 0.0;
  for (float v : x) s += static_cast<double>(v) * v;
  return std::sqrt(s / static_cast<double>(x.size()));
}

double rms(const Stereo &x) {
  double a = rms(x.l), b = rms(x.r);
  return std::sqrt((a * a + b * b) * 0.5);
}

void scale(Mono &x, double g) {
  for (float &v : x) v = static_cast<float>(v * g);
}

void scale(Stereo &x, double g) {
  scale(x.l, g);
  scale(x.r, g);
}

void normalize(Mono &x, double peak_db) {
  double p = peak(x);
  if (p > 0.0) scale(x, db_gain(peak_db) / p);
}

void normalize(Stereo &x, double peak_db) {
  double p = peak(x);
  if (p > 0.0) scale(x, db_gain(peak_db) / p);
}

void fade(Mono &x, double in_seconds, double out_seconds) {
  size_t n = x.size();
  size_t a = std::min(n, frames(in_seconds));
  size_t b = std::min(n, frames(out_seconds));
  for (size_t i = 0; i < a; ++i) x[i] = static_cast<float>(x[i] * (static_cast<double>(i) / a));
  for (size_t i = 0; i < b; ++i)
    x[n - 1 - i] = static_cast<float>(x[n - 1 - i] * (static_cast<double>(i) / b));
}

void fade(Stereo &x, double in_seconds, double out_seconds) {
  fade(x.l, in_seconds, out_seconds);
  fade(x.r, in_seconds, out_seconds);
}

bool read_mono(const std::string &path, Mono &out, int &rate) {
  SF_INFO info = SF_INFO();
  SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return false;
  bool ok = info.channels >= 1 && info.channels <= 8 && info.frames > 0 &&
            info.frames < 60LL * 48000;
  if (ok) {
    std::vector<float> buf(static_cast<size_t>(info.frames) * info.channels);
    sf_count_t got = sf_readf_float(f, buf.data(), info.frames);
    out.assign(static_cast<size_t>(got), 0.0f);
    for (sf_count_t i = 0; i < got; ++i) {
      double s = 0.0;
      for (int c = 0; c < info.channels; ++c) s += buf[static_cast<size_t>(i * info.channels + c)];
      out[static_cast<size_t>(i)] = static_cast<float>(s / info.channels);
    }
    rate = info.samplerate;
    ok = got > 0;
  }
  sf_close(f);
  return ok;
}

Mono resample(const Mono &x, double speed) {
  Mono out;
  if (x.empty() || speed <= 0.0) return out;
  size_t n = static_cast<size_t>(static_cast<double>(x.size()) / speed);
  out.resize(n);
  long last = static_cast<long>(x.size()) - 1;
  auto at = [&](long i) -> double { return i < 0 || i > last ? 0.0 : x[static_cast<size_t>(i)]; };
  for (size_t i = 0; i < n; ++i) {
    double pos = static_cast<double>(i) * speed;
    long k = static_cast<long>(pos);
    double t = pos - static_cast<double>(k);
    double y0 = at(k - 1), y1 = at(k), y2 = at(k + 1), y3 = at(k + 2);
    // Catmull-Rom cubic.
    double c1 = 0.5 * (y2 - y0);
    double c2 = y0 - 2.5 * y1 + 2.0 * y2 - 0.5 * y3;
    double c3 = 0.5 * (y3 - y0) + 1.5 * (y1 - y2);
    out[i] = static_cast<float>(((c3 * t + c2) * t + c1) * t + y1);
  }
  return out;
}

namespace {

std::string temp_name(const std::string &path) {
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return dir + "." + base + ".tmp";
}

bool finish(SNDFILE *f, sf_count_t wrote, sf_count_t want, const std::string &tmp,
            const std::string &path, std::string &err) {
  int close_err = sf_close(f);
  if (wrote != want || close_err != 0) {
    std::remove(tmp.c_str());
    err = "cannot write " + path;
    return false;
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    err = "cannot rename " + tmp + " to " + path;
    return false;
  }
  return true;
}

short to_pcm16(float v) {
  long s = std::lrint(static_cast<double>(v) * 32767.0);
  if (s > 32767) s = 32767;
  if (s < -32767) s = -32767;
  return static_cast<short>(s);
}

bool write_pcm(const std::string &path, const std::vector<short> &pcm, int channels,
               std::string &err) {
  std::string tmp = temp_name(path);
  SF_INFO info = SF_INFO();
  info.samplerate = kRate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE *f = sf_open(tmp.c_str(), SFM_WRITE, &info);
  if (!f) {
    err = "cannot create " + tmp + ": " + sf_strerror(nullptr);
    return false;
  }
  sf_count_t want = static_cast<sf_count_t>(pcm.size() / channels);
  sf_count_t wrote = sf_writef_short(f, pcm.data(), want);
  return finish(f, wrote, want, tmp, path, err);
}

}  // namespace

bool write_wav(const std::string &path, const Mono &x, std::string &err) {
  std::vector<short> pcm(x.size());
  for (size_t i = 0; i < x.size(); ++i) pcm[i] = to_pcm16(x[i]);
  return write_pcm(path, pcm, 1, err);
}

bool write_wav(const std::string &path, const Stereo &x, std::string &err) {
  std::vector<short> pcm(x.size() * 2);
  for (size_t i = 0; i < x.size(); ++i) {
    pcm[2 * i] = to_pcm16(x.l[i]);
    pcm[2 * i + 1] = to_pcm16(x.r[i]);
  }
  return write_pcm(path, pcm, 2, err);
}

bool mp3_supported() {
  SF_INFO info = SF_INFO();
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
  return sf_format_check(&info) != 0;
}

bool write_mp3(const std::string &path, const Stereo &x, std::string &err) {
  std::string tmp = temp_name(path);
  SF_INFO info = SF_INFO();
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
  SNDFILE *f = sf_open(tmp.c_str(), SFM_WRITE, &info);
  if (!f) {
    err = "cannot create " + tmp + ": " + sf_strerror(nullptr);
    return false;
  }
  // Variable bit rate at a high quality: about 80-100 kbit/s for this music.
  // libsndfile takes the mode only after the level.
  int mode = SF_BITRATE_MODE_VARIABLE;
  double level = 0.2;
  if (!sf_command(f, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level) ||
      !sf_command(f, SFC_SET_BITRATE_MODE, &mode, sizeof mode)) {
    sf_close(f);
    std::remove(tmp.c_str());
    err = "cannot set the MP3 encoder up for " + path;
    return false;
  }
  std::vector<float> inter(x.size() * 2);
  for (size_t i = 0; i < x.size(); ++i) {
    inter[2 * i] = x.l[i];
    inter[2 * i + 1] = x.r[i];
  }
  sf_count_t want = static_cast<sf_count_t>(x.size());
  sf_count_t wrote = sf_writef_float(f, inter.data(), want);
  return finish(f, wrote, want, tmp, path, err);
}

}  // namespace sfx
