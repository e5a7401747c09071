// The game's short effects, synthesized. Peak levels are set per effect so
// that frequent ones (landing, clicks, scrapes) stay well under the music and
// several landings at once still do not clip.
#include <algorithm>
#include <cmath>

#include "sfx_sounds.h"

namespace sfx {

namespace {

// Sum of decaying sine partials: ratios, amplitudes and decay times.
struct Partial {
  double ratio, amp, tau;
};

void add_partials(Mono &x, long start, double hz, const Partial *p, int n, double gain,
                  double detune_hz = 0.0) {
  for (int k = 0; k < n; ++k) {
    double f = hz * p[k].ratio + detune_hz * k;
    if (f >= kRate * 0.45) continue;
    double ph = 0.0;
    for (size_t i = static_cast<size_t>(std::max(0L, start)); i < x.size(); ++i) {
      double t = static_cast<double>(static_cast<long>(i) - start) / kRate;
      double a = perc(t, 0.0015, p[k].tau);
      if (a < 1e-5 && t > 0.01) break;
      x[i] += static_cast<float>(gain * p[k].amp * a * std::sin(ph));
      ph += 2.0 * kPi * f / kRate;
    }
  }
}

// A source-filter vowel "a" on a pitch contour, with an "h" of breath before.
void add_syllable(Mono &x, long start, double len, double hz0, double hz1, double gain,
                  Rng &rng) {
  static const double kForm[3] = {760.0, 1250.0, 2650.0};
  static const double kQ[3] = {7.0, 9.0, 14.0};
  static const double kFormGain[3] = {1.0, 0.55, 0.25};
  Svf voice[3], breath[3];
  double h = 0.035;  // the "h"
  size_t n = frames(len + h + 0.05);
  double phase[40] = {0};
  for (size_t i = 0; i < n; ++i) {
    long j = start + static_cast<long>(i);
    if (j < 0 || j >= static_cast<long>(x.size())) continue;
    double t = static_cast<double>(i) / kRate;
    double tv = t - h;
    double f0 = hz0 + (hz1 - hz0) * std::min(std::max(tv / len, 0.0), 1.0);
    // Glottal source: harmonics falling off with frequency, band-limited.
    double src = 0.0;
    for (int k = 1; k < 40; ++k) {
      double f = f0 * k;
      if (f > 5000.0) break;
      src += std::sin(phase[k]) / std::pow(static_cast<double>(k), 1.1);
      phase[k] += 2.0 * kPi * f / kRate;
      if (phase[k] > 2.0 * kPi) phase[k] -= 2.0 * kPi;
    }
    double venv = adsr(tv, 0.02, 0.05, 0.8, 0.05, len);
    double nenv = t < h ? std::sin(kPi * 0.5 * t / h) : std::max(0.0, 1.0 - (t - h) / 0.04);
    double noise = rng.sym();
    double out = 0.0;
    for (int k = 0; k < 3; ++k) {
      voice[k].run(src * venv, kForm[k], kQ[k]);
      breath[k].run(noise * nenv * 0.6, kForm[k] * 1.1, 3.0);
      out += kFormGain[k] * (voice[k].bp + breath[k].bp);
    }
    x[static_cast<size_t>(j)] += static_cast<float>(out * gain);
  }
}

}  // namespace

Mono fx_explosion() {
  Rng rng(101);
  Mono x(frames(0.42), 0.0f);
  Osc body;
  Svf dust, knock;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double f = 46.0 + 95.0 * std::exp(-t / 0.035);
    double v = body.sine(f) * perc(t, 0.002, 0.11);
    dust.run(rng.sym(), 380.0, 0.7);
    v += 0.8 * dust.lp * perc(t, 0.001, 0.035);
    knock.run(rng.sym(), 900.0, 1.5);
    v += 0.25 * knock.bp * perc(t, 0.0005, 0.008);
    x[i] = static_cast<float>(v);
  }
  fade(x, 0.0, 0.04);
  normalize(x, -13.0);
  return x;
}

Mono fx_intarget() {
  static const Partial kChime[4] = {{1.0, 1.0, 0.45}, {2.0, 0.45, 0.22}, {3.01, 0.22, 0.12},
                                    {4.2, 0.1, 0.07}};
  Mono x(frames(1.0), 0.0f);
  add_partials(x, 0, midi_hz(88), kChime, 4, 1.0, 0.7);   // E6
  add_partials(x, static_cast<long>(frames(0.065)), midi_hz(95), kChime, 4, 0.8, 0.9);  // B6
  reverb(x, 0.6, 0.4, 0.12);
  fade(x, 0.0, 0.08);
  normalize(x, -7.0);
  return x;
}

Mono fx_rotate() {
  Rng rng(103);
  Mono x(frames(0.05), 0.0f);
  Svf click;
  Osc tick;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    click.run(rng.sym(), 3200.0, 2.0);
    double v = click.bp * perc(t, 0.0004, 0.005) + 0.45 * tick.sine(1850.0) * perc(t, 0.0005, 0.009);
    x[i] = static_cast<float>(v);
  }
  fade(x, 0.0, 0.01);
  normalize(x, -12.0);
  return x;
}

Mono fx_new() {
  Rng rng(104);
  double len = 0.3;
  Mono x(frames(len), 0.0f);
  Svf band;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double u = t / len;
    double cutoff = 500.0 * std::pow(8.0, u);  // 500 Hz up to 4 kHz
    band.run(rng.sym(), cutoff, 1.3);
    double env = u < 0.35 ? std::sin(kPi * 0.5 * u / 0.35) : std::pow(1.0 - (u - 0.35) / 0.65, 2.0);
    x[i] = static_cast<float>(band.bp * env);
  }
  normalize(x, -14.0);
  return x;
}

Mono fx_drag() {
  Rng rng(105);
  double len = 0.17;
  Mono x(frames(len), 0.0f);
  Svf band;
  OnePole grit;
  double grain = 0.0;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    // Friction comes in uneven grains a few milliseconds apart.
    if (rng.uni() < 0.006) grain = 0.3 + 0.7 * rng.uni();
    grain *= 0.996;
    double g = grit.lowpass(grain, 250.0);
    band.run(rng.sym(), 1500.0 + 400.0 * std::sin(2.0 * kPi * 9.0 * t), 1.6);
    x[i] = static_cast<float>(band.bp * (0.35 + g) * adsr(t, 0.012, 0.05, 0.6, 0.07, len - 0.07));
  }
  normalize(x, -15.0);
  return x;
}

Mono fx_alarm() {
  double len = 0.46;
  Mono x(frames(len), 0.0f);
  Osc tone, edge;
  Svf soft;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double f = 720.0 + 380.0 * std::sin(kPi * t / len);
    double v = 0.7 * tone.tri(f) + 0.3 * edge.square(f);
    soft.run(v, 3200.0, 0.7);
    x[i] = static_cast<float>(soft.lp * adsr(t, 0.015, 0.05, 0.85, 0.06, len - 0.06));
  }
  normalize(x, -13.0);
  return x;
}

Mono fx_delete() {
  Rng rng(107);
  double len = 0.6;
  Mono x(frames(len), 0.0f);
  // Rumble under the falling bits.
  Svf low;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    low.run(rng.sym(), 220.0, 0.8);
    x[i] = static_cast<float>(0.7 * low.lp * perc(t, 0.004, 0.14));
  }
  // Bits: short noise grains, dense at first, thinning and darkening.
  for (int k = 0; k < 70; ++k) {
    double at = 0.45 * std::pow(rng.uni(), 1.8);
    double dur = 0.003 + 0.012 * rng.uni();
    double cutoff = 3200.0 - 3500.0 * at + 600.0 * rng.sym();
    double amp = (0.4 + 0.6 * rng.uni()) * (1.0 - at / 0.5);
    Svf f;
    long start = static_cast<long>(frames(at));
    size_t n = frames(dur);
    for (size_t i = 0; i < n && start + static_cast<long>(i) < static_cast<long>(x.size()); ++i) {
      double t = static_cast<double>(i) / kRate;
      f.run(rng.sym(), std::max(cutoff, 500.0), 1.2);
      x[static_cast<size_t>(start) + i] += static_cast<float>(amp * f.bp * perc(t, 0.0005, dur * 0.4));
    }
  }
  fade(x, 0.0, 0.05);
  normalize(x, -8.0);
  return x;
}

Mono fx_bells() {
  // Church-bell partials relative to the strike note: hum, prime, tierce,
  // quint, nominal, and two upper ones.
  static const Partial kBell[9] = {{0.5, 0.55, 2.6}, {1.0, 0.7, 1.8},  {1.19, 0.5, 1.3},
                                   {1.5, 0.3, 1.0},  {2.0, 1.0, 1.2},  {2.52, 0.3, 0.6},
                                   {3.0, 0.22, 0.4}, {4.07, 0.12, 0.3}, {5.1, 0.07, 0.18}};
  Rng rng(108);
  Mono x(frames(3.6), 0.0f);
  const double strikes[3][2] = {{0.0, 64.0}, {0.6, 62.0}, {1.2, 59.0}};  // E4, D4, B3
  for (const auto &s : strikes) {
    long at = static_cast<long>(frames(s[0]));
    add_partials(x, at, midi_hz(s[1]), kBell, 9, 1.0, 0.8);
    // The clapper's clang.
    Svf clang;
    for (size_t i = 0; i < frames(0.03); ++i) {
      double t = static_cast<double>(i) / kRate;
      clang.run(rng.sym(), 2400.0, 2.0);
      x[static_cast<size_t>(at) + i] += static_cast<float>(0.3 * clang.bp * perc(t, 0.0005, 0.006));
    }
  }
  reverb(x, 0.85, 0.5, 0.3);
  fade(x, 0.0, 0.4);
  normalize(x, -8.0);
  return x;
}

Mono fx_breath() {
  Rng rng(109);
  double len = 1.9;
  Mono x(frames(len), 0.0f);
  static const double kForm[3] = {650.0, 1100.0, 2500.0};
  static const double kQ[3] = {4.0, 5.0, 7.0};
  static const double kGain[3] = {1.0, 0.7, 0.35};
  Svf form[3];
  Osc moan, wobble;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    // A slow swell and fall, wavering a little.
    double env = std::pow(std::sin(kPi * std::min(t / len, 1.0)), 1.5) *
                 (1.0 + 0.25 * std::sin(2.0 * kPi * 4.5 * t));
    double n = rng.sym();
    double v = 0.0;
    for (int k = 0; k < 3; ++k) {
      form[k].run(n, kForm[k] * (1.0 - 0.12 * t / len), kQ[k]);
      v += kGain[k] * form[k].bp;
    }
    double f = 110.0 - 14.0 * t / len + 2.0 * wobble.sine(5.0);
    v += 0.12 * moan.sine(f) * env;
    x[i] = static_cast<float>(v * env);
  }
  reverb(x, 0.8, 0.6, 0.35);
  fade(x, 0.02, 0.2);
  normalize(x, -10.0);
  return x;
}

Mono fx_glass() {
  static const Partial kGlass[3] = {{1.0, 1.0, 0.55}, {2.32, 0.35, 0.25}, {4.25, 0.15, 0.1}};
  Mono x(frames(1.2), 0.0f);
  add_partials(x, 0, 1760.0, kGlass, 3, 1.0);
  add_partials(x, 0, 1763.0, kGlass, 1, 0.35);  // a slow beat, like a real glass
  add_partials(x, static_cast<long>(frames(0.07)), 2637.0, kGlass, 3, 0.5);
  reverb(x, 0.7, 0.3, 0.15);
  fade(x, 0.0, 0.1);
  normalize(x, -10.0);
  return x;
}

Mono fx_glasshit() {
  static const Partial kClink[3] = {{1.0, 1.0, 0.11}, {2.32, 0.5, 0.05}, {3.1, 0.3, 0.03}};
  Rng rng(111);
  Mono x(frames(0.35), 0.0f);
  add_partials(x, 0, 2637.0, kClink, 3, 1.0);
  Svf tick;
  for (size_t i = 0; i < frames(0.01); ++i) {
    double t = static_cast<double>(i) / kRate;
    tick.run(rng.sym(), 6000.0, 0.8);
    x[i] += static_cast<float>(0.4 * tick.hp * perc(t, 0.0003, 0.0015));
  }
  fade(x, 0.0, 0.05);
  normalize(x, -13.0);
  return x;
}

Mono fx_glassrub() {
  Rng rng(112);
  double len = 0.36;
  Mono x(frames(len), 0.0f);
  Osc tone, over, vib;
  Svf ring;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double f = 1245.0 * (1.0 + 0.004 * vib.sine(7.0));
    ring.run(rng.sym(), f, 25.0);
    double v = 0.6 * tone.sine(f) + 0.15 * over.sine(2.0 * f) + 0.5 * ring.bp;
    double env = std::pow(std::sin(kPi * t / len), 2.0);
    x[i] = static_cast<float>(v * env);
  }
  normalize(x, -15.0);
  return x;
}

Mono fx_laugh() {
  Rng rng(113);
  Mono x(frames(1.05), 0.0f);
  const double pitch[4] = {245.0, 228.0, 212.0, 190.0};
  for (int k = 0; k < 4; ++k) {
    double at = 0.02 + 0.2 * k;
    add_syllable(x, static_cast<long>(frames(at)), 0.12 + 0.015 * k, pitch[k], pitch[k] * 0.9,
                 1.0 - 0.15 * k, rng);
  }
  reverb(x, 0.4, 0.5, 0.1);
  fade(x, 0.0, 0.08);
  normalize(x, -6.0);
  return x;
}

}  // namespace sfx
