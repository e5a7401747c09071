// The game's music, composed here: a handful of instruments (pad, pluck, bass,
// lead, music box, drums made of noise), a note list per tune, and a mixer
// with reverb and echo sends. Looping tunes are rendered as one turn of an
// endless loop: note tails and echoes that run past the end sound at the start,
// so the seam joins without a click.
#include <algorithm>
#include <cmath>
#include <vector>

#include "sfx_sounds.h"

namespace sfx {

namespace {

// ---- Instruments: each renders one note, release included, as mono. ----

Mono inst_pad(double hz, double held, Rng &rng) {
  double rel = 0.9;
  Mono x(frames(held + rel), 0.0f);
  Osc o[3];
  for (Osc &v : o) v.phase = rng.uni();
  const double det[3] = {0.994, 1.0, 1.006};
  Svf f;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double env = adsr(t, 0.35, 0.6, 0.75, rel, held);
    double v = 0.0;
    for (int k = 0; k < 3; ++k) v += o[k].saw(hz * det[k]);
    f.run(v / 3.0, 500.0 + 1100.0 * env, 0.8);
    x[i] = static_cast<float>(f.lp * env);
  }
  return x;
}

Mono inst_pluck(double hz, double held) {
  double len = std::min(held + 0.25, 1.0);
  Mono x(frames(len), 0.0f);
  Osc a, b;
  Svf f;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double v = 0.6 * a.saw(hz) + 0.4 * b.square(hz * 1.002, 0.3);
    f.run(v, 300.0 + 3200.0 * std::exp(-t / 0.08), 1.3);
    double gate = t < held ? 1.0 : std::max(0.0, 1.0 - (t - held) / 0.25);
    x[i] = static_cast<float>(f.lp * perc(t, 0.002, 0.3) * gate);
  }
  fade(x, 0.0, 0.01);
  return x;
}

Mono inst_bass(double hz, double held) {
  double rel = 0.06;
  Mono x(frames(held + rel), 0.0f);
  Osc s, q;
  Svf f;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    f.run(s.saw(hz), 220.0 + 1000.0 * std::exp(-t / 0.06), 1.1);
    double v = 0.8 * f.lp + 0.5 * q.sine(hz);
    x[i] = static_cast<float>(v * adsr(t, 0.004, 0.12, 0.7, rel, held));
  }
  return x;
}

Mono inst_lead(double hz, double held) {
  double rel = 0.2;
  Mono x(frames(held + rel), 0.0f);
  Osc a, b, vib;
  Svf f;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double depth = t < 0.25 ? 0.0 : std::min(1.0, (t - 0.25) / 0.3) * 0.005;
    double fm = hz * (1.0 + depth * vib.sine(5.5));
    double v = 0.5 * a.square(fm, 0.5) + 0.5 * b.saw(fm * 1.003);
    f.run(v, 1400.0 + 1200.0 * std::exp(-t / 0.15), 0.9);
    x[i] = static_cast<float>(f.lp * adsr(t, 0.015, 0.2, 0.7, rel, held));
  }
  return x;
}

// Music box: bright, quickly fading partials over a steady fundamental.
Mono inst_box(double hz, double held) {
  (void)held;
  Mono x(frames(1.0), 0.0f);
  const double ratio[4] = {1.0, 2.0, 3.0, 5.2};
  const double amp[4] = {1.0, 0.3, 0.15, 0.08};
  const double tau[4] = {0.5, 0.2, 0.1, 0.04};
  for (int k = 0; k < 4; ++k) {
    double f = hz * ratio[k];
    if (f > kRate * 0.45) continue;
    Osc o;
    for (size_t i = 0; i < x.size(); ++i) {
      double t = static_cast<double>(i) / kRate;
      x[i] += static_cast<float>(amp[k] * o.sine(f) * perc(t, 0.002, tau[k]));
    }
  }
  fade(x, 0.0, 0.05);
  return x;
}

// A bouncy tuba-like bass for the child tune.
Mono inst_tuba(double hz, double held) {
  double rel = 0.05;
  Mono x(frames(held + rel), 0.0f);
  Osc o;
  Svf f;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    f.run(o.square(hz, 0.4), 500.0 + 700.0 * std::exp(-t / 0.05), 0.9);
    x[i] = static_cast<float>(f.lp * adsr(t, 0.01, 0.1, 0.55, rel, held));
  }
  return x;
}

Mono drum_kick(double pitch = 1.0) {
  Mono x(frames(0.35), 0.0f);
  Osc o;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double f = pitch * (46.0 + 110.0 * std::exp(-t / 0.03));
    x[i] = static_cast<float>(o.sine(f) * perc(t, 0.001, 0.16));
  }
  fade(x, 0.0, 0.03);
  return x;
}

Mono drum_snare(Rng &rng) {
  Mono x(frames(0.3), 0.0f);
  Osc tone;
  Svf f;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    f.run(rng.sym(), 1900.0, 0.8);
    double v = (0.8 * f.bp + 0.3 * f.hp) * perc(t, 0.001, 0.08) +
               0.5 * tone.sine(185.0) * perc(t, 0.001, 0.04);
    x[i] = static_cast<float>(v);
  }
  fade(x, 0.0, 0.03);
  return x;
}

Mono drum_hat(Rng &rng, bool open) {
  Mono x(frames(open ? 0.3 : 0.06), 0.0f);
  Svf f;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    f.run(rng.sym(), 7000.0, 0.9);
    x[i] = static_cast<float>(f.hp * perc(t, 0.0005, open ? 0.1 : 0.018));
  }
  fade(x, 0.0, 0.01);
  return x;
}

Mono drum_block(double hz) {
  Mono x(frames(0.12), 0.0f);
  Osc o;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    x[i] = static_cast<float>(o.sine(hz) * perc(t, 0.0005, 0.018));
  }
  fade(x, 0.0, 0.01);
  return x;
}

// A slide whistle going up, for the silly tune.
Mono slide_whistle(double from_hz, double to_hz, double len) {
  Mono x(frames(len), 0.0f);
  Osc o, vib;
  for (size_t i = 0; i < x.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double u = t / len;
    double f = from_hz * std::pow(to_hz / from_hz, u) * (1.0 + 0.01 * vib.sine(9.0));
    x[i] = static_cast<float>(o.sine(f) * std::sin(kPi * u));
  }
  return x;
}

// ---- The mixer: a dry bus and two sends. ----

struct Mixer {
  double beat;  // seconds per beat
  bool wrap;
  Stereo dry, verb, delay;
  Mixer(double bpm, double seconds, bool loop) : beat(60.0 / bpm), wrap(loop) {
    dry.resize(frames(seconds));
    verb.resize(dry.size());
    delay.resize(dry.size());
  }
  long at(double beats) const { return static_cast<long>(frames(beats * beat)); }
  void put(const Mono &note, double beats, double gain, double pan, double to_verb,
           double to_delay) {
    long start = at(beats);
    mix_in(dry, note, start, gain, pan, wrap);
    if (to_verb > 0.0) mix_in(verb, note, start, gain * to_verb, pan, wrap);
    if (to_delay > 0.0) mix_in(delay, note, start, gain * to_delay, pan, wrap);
  }
  // Returns the finished mix at the given peak level.
  Stereo finish(double room, double echo_beats, double peak_db) {
    echo(delay, echo_beats * beat, 0.38, 1.0, wrap, 0.0);
    for (size_t i = 0; i < verb.size(); ++i) {
      verb.l[i] += delay.l[i] * 0.5f;
      verb.r[i] += delay.r[i] * 0.5f;
    }
    reverb(verb, room, 0.5, 1.0, wrap, 0.0);
    Stereo out = dry;
    for (size_t i = 0; i < out.size(); ++i) {
      out.l[i] += verb.l[i] + delay.l[i];
      out.r[i] += verb.r[i] + delay.r[i];
    }
    normalize(out, peak_db);
    return out;
  }
};

// A melody note: bar, beat in the bar, length in beats, MIDI note.
struct Tone {
  int bar;
  double beat, len;
  int note;
};

typedef std::vector<int> Chord;

const Chord kAm = {57, 60, 64}, kF = {57, 60, 65}, kC = {55, 60, 64}, kG = {55, 59, 62},
            kDm = {57, 62, 65}, kE = {56, 59, 64}, kEm = {55, 59, 64};

int root_of(const Chord &c) {
  if (c == kAm) return 45;
  if (c == kF) return 41;
  if (c == kC) return 48;
  if (c == kG) return 43;
  if (c == kDm) return 38;
  if (c == kE || c == kEm) return 40;
  return 45;
}

void pad_bar(Mixer &m, Rng &rng, const Chord &c, int bar, double beats, double gain) {
  for (size_t k = 0; k < c.size(); ++k) {
    double pan = -0.5 + 0.5 * static_cast<double>(k);
    m.put(inst_pad(midi_hz(c[k]), beats * m.beat * 0.95, rng), bar * 4.0, gain, pan, 0.5, 0.0);
  }
}

// Eighth-note arpeggio over the chord an octave up, through the echo.
void arp_bar(Mixer &m, const Chord &c, int bar, double gain, int octave, int step = 1) {
  static const int kOrder[8] = {0, 2, 1, 3, 0, 2, 1, 3};
  for (int e = 0; e < 8; e += step) {
    int idx = kOrder[e];
    int note = (idx == 3 ? c[0] + 12 : c[static_cast<size_t>(idx)]) + 12 * octave;
    double pan = (e % 2 == 0) ? -0.3 : 0.3;
    m.put(inst_pluck(midi_hz(note), 0.5 * step * m.beat * 0.9), bar * 4.0 + e * 0.5,
          gain * (e % 4 == 0 ? 1.0 : 0.8), pan, 0.2, 0.35);
  }
}

void bass_bar(Mixer &m, const Chord &c, int bar, double gain) {
  int r = root_of(c);
  const double pat[6][3] = {{0.0, 0.7, 0}, {0.75, 0.2, 0}, {1.5, 0.45, 12},
                            {2.0, 0.7, 0}, {2.75, 0.2, 0}, {3.5, 0.45, 7}};
  for (const auto &p : pat)
    m.put(inst_bass(midi_hz(r + p[2]), p[1] * m.beat), bar * 4.0 + p[0], gain, 0.0, 0.0, 0.0);
}

void drums_bar(Mixer &m, Rng &rng, int bar, double gain, bool kick, bool snare, bool fill) {
  if (kick) {
    m.put(drum_kick(), bar * 4.0, gain, 0.0, 0.0, 0.0);
    m.put(drum_kick(), bar * 4.0 + 2.0, gain, 0.0, 0.0, 0.0);
    if (bar % 2 == 1) m.put(drum_kick(), bar * 4.0 + 2.75, gain * 0.7, 0.0, 0.0, 0.0);
  }
  if (snare) {
    m.put(drum_snare(rng), bar * 4.0 + 1.0, gain * 0.55, 0.1, 0.3, 0.0);
    m.put(drum_snare(rng), bar * 4.0 + 3.0, gain * 0.55, 0.1, 0.3, 0.0);
  }
  if (fill) {
    for (int k = 0; k < 3; ++k)
      m.put(drum_snare(rng), bar * 4.0 + 3.25 + 0.25 * k, gain * (0.25 + 0.1 * k), -0.1, 0.3, 0.0);
  }
  for (int e = 0; e < 8; ++e) {
    bool open = e == 7 && bar % 2 == 1;
    m.put(drum_hat(rng, open), bar * 4.0 + e * 0.5, gain * (e % 2 ? 0.24 : 0.14), 0.35, 0.1, 0.0);
  }
}

void melody(Mixer &m, const Tone *t, size_t n, int bar0, double gain, int shift) {
  for (size_t i = 0; i < n; ++i) {
    m.put(inst_lead(midi_hz(t[i].note + shift), t[i].len * m.beat * 0.92),
          (bar0 + t[i].bar) * 4.0 + t[i].beat, gain, 0.1, 0.3, 0.3);
  }
}

}  // namespace

Stereo music_game() {
  // 120 beats a minute, 48 bars: 96 s. A minor. The last bar thins out and
  // turns on E so that the loop falls back into its quiet opening.
  const Chord *p1[4] = {&kAm, &kF, &kC, &kG};
  const Chord *p2[4] = {&kF, &kG, &kEm, &kAm};
  const Chord *p3[4] = {&kDm, &kEm, &kF, &kE};
  std::vector<const Chord *> bars;
  for (int r = 0; r < 6; ++r) bars.insert(bars.end(), p1, p1 + 4);  // 0-23
  bars.insert(bars.end(), p2, p2 + 4);                              // 24-27
  bars.insert(bars.end(), p3, p3 + 4);                              // 28-31
  for (int r = 0; r < 2; ++r) bars.insert(bars.end(), p1, p1 + 4);  // 32-39
  bars.insert(bars.end(), p2, p2 + 4);                              // 40-43
  bars.insert(bars.end(), p3, p3 + 4);                              // 44-47

  static const Tone kA[] = {
      {0, 0, 1.5, 76}, {0, 1.5, 0.5, 74}, {0, 2, 1, 72},   {0, 3, 1, 69},
      {1, 0, 1, 72},   {1, 1, 0.5, 74},   {1, 1.5, 0.5, 72}, {1, 2, 2, 69},
      {2, 0, 1.5, 67}, {2, 1.5, 0.5, 69}, {2, 2, 1, 72},   {2, 3, 1, 76},
      {3, 0, 3, 74},   {3, 3, 0.5, 71},   {3, 3.5, 0.5, 74},
      {4, 0, 1.5, 76}, {4, 1.5, 0.5, 77}, {4, 2, 1, 76},   {4, 3, 1, 72},
      {5, 0, 1, 81},   {5, 1, 1, 77},     {5, 2, 2, 76},
      {6, 0, 1, 79},   {6, 1, 0.5, 76},   {6, 1.5, 0.5, 74}, {6, 2, 2, 72},
      {7, 0, 2, 71},   {7, 2, 1, 74},     {7, 3, 1, 71},
  };
  static const Tone kB[] = {
      {0, 0, 2, 81}, {0, 2, 1, 79}, {0, 3, 1, 77}, {1, 0, 2, 79}, {1, 2, 1, 77}, {1, 3, 1, 74},
      {2, 0, 2, 76}, {2, 2, 1, 79}, {2, 3, 1, 71}, {3, 0, 4, 72},
      {4, 0, 1, 74}, {4, 1, 1, 77}, {4, 2, 2, 81}, {5, 0, 1, 79}, {5, 1, 1, 76}, {5, 2, 2, 71},
      {6, 0, 1, 72}, {6, 1, 1, 77}, {6, 2, 1, 76}, {6, 3, 1, 72}, {7, 0, 3, 71},
  };
  const size_t nA = sizeof kA / sizeof kA[0], nB = sizeof kB / sizeof kB[0];

  int nbars = static_cast<int>(bars.size());
  Mixer m(120.0, nbars * 2.0, true);
  Rng rng(201);
  for (int b = 0; b < nbars; ++b) {
    const Chord &c = *bars[static_cast<size_t>(b)];
    bool last = b == nbars - 1;
    bool breakdown = b >= 32 && b < 40;
    pad_bar(m, rng, c, b, last ? 3.0 : 4.0, breakdown ? 0.3 : 0.22);
    arp_bar(m, c, b, b < 4 ? 0.12 : 0.16, 1, last ? 2 : 1);
    if (b >= 4 && !breakdown) bass_bar(m, c, b, 0.32);
    if (b >= 4) {
      bool full = b >= 8 && !breakdown;
      bool fill = full && (b % 8 == 7) && !last;
      drums_bar(m, rng, b, 0.45, !breakdown, full, fill);
    }
  }
  melody(m, kA, nA, 8, 0.2, 0);
  melody(m, kA, nA, 16, 0.17, 12);
  melody(m, kB, nB, 24, 0.2, 0);
  melody(m, kB, nB, 40, 0.2, 0);
  return m.finish(0.75, 0.75, -6.0);
}

Stereo music_title() {
  // 96 beats a minute, 12 bars and a held last chord: about 31 s.
  const Chord *bars[12] = {&kAm, &kF, &kDm, &kE, &kAm, &kF, &kG, &kE, &kF, &kG, &kAm, &kAm};
  static const Tone kTheme[] = {
      {0, 0, 1.5, 76}, {0, 1.5, 0.5, 79}, {0, 2, 2, 81},
      {1, 0, 1, 77},   {1, 1, 1, 76},     {1, 2, 2, 72},
      {2, 0, 1.5, 74}, {2, 1.5, 0.5, 76}, {2, 2, 2, 79},
      {3, 0, 3, 80},   {3, 3, 1, 76},
      {4, 0, 1.5, 77}, {4, 1.5, 0.5, 76}, {4, 2, 1, 74}, {4, 3, 1, 72},
      {5, 0, 1.5, 74}, {5, 1.5, 0.5, 72}, {5, 2, 2, 71},
      {6, 0, 7, 69},
  };
  double beat = 60.0 / 96.0;
  double seconds = 12 * 4 * beat + 1.0;
  Mixer m(96.0, seconds, false);
  Rng rng(202);
  for (int b = 0; b < 12; ++b) {
    const Chord &c = *bars[b];
    pad_bar(m, rng, c, b, b == 11 ? 2.5 : 4.0, 0.26);
    if (b < 11) arp_bar(m, c, b, b < 4 ? 0.12 : 0.15, 1, b < 4 ? 2 : 1);
    if (b >= 4 && b < 11) bass_bar(m, c, b, 0.28);
    if (b >= 4 && b < 10) drums_bar(m, rng, b, 0.35, true, b >= 6, false);
  }
  m.put(drum_kick(0.8), 11 * 4.0, 0.45, 0.0, 0.3, 0.0);
  melody(m, kTheme, sizeof kTheme / sizeof kTheme[0], 4, 0.2, 0);
  Stereo out = m.finish(0.8, 0.75, -6.0);
  fade(out, 0.01, 1.5);
  return out;
}

Stereo music_gameover() {
  // A slow fall from E to A over Am, F, E and a long Am: about 7 s.
  double bpm = 72.0;
  Mixer m(bpm, 7.2, false);
  Rng rng(203);
  struct Step {
    double beat, len;
    const Chord *chord;
  };
  const Step steps[4] = {{0, 2, &kAm}, {2, 1, &kF}, {3, 1, &kE}, {4, 3.4, &kAm}};
  for (const Step &s : steps) {
    for (size_t k = 0; k < s.chord->size(); ++k) {
      m.put(inst_pad(midi_hz((*s.chord)[k]), s.len * m.beat * 0.95, rng), s.beat, 0.28,
            -0.5 + 0.5 * static_cast<double>(k), 0.5, 0.0);
    }
    int r = root_of(*s.chord) - (s.beat >= 4 ? 12 : 0);
    m.put(inst_bass(midi_hz(r), s.len * m.beat * 0.9), s.beat, 0.3, 0.0, 0.2, 0.0);
  }
  const int fall[5] = {76, 74, 72, 71, 69};
  for (int k = 0; k < 5; ++k)
    m.put(inst_lead(midi_hz(fall[k]), (k < 4 ? 0.9 : 3.0) * m.beat), k, 0.22, 0.1, 0.4, 0.35);
  m.put(drum_kick(0.7), 0.0, 0.5, 0.0, 0.4, 0.0);
  m.put(drum_kick(0.6), 4.0, 0.55, 0.0, 0.4, 0.0);
  Stereo out = m.finish(0.85, 0.75, -6.0);
  fade(out, 0.005, 1.8);
  return out;
}

Stereo tune_child() {
  // 140 beats a minute, 16 bars in C major: oom-pah, tick-tock, a music box
  // and a slide whistle. About 27 s, seamless.
  const Chord kCc = {60, 64, 67}, kGg = {59, 62, 67}, kFf = {60, 65, 69};
  const Chord *bars[16] = {&kCc, &kGg, &kCc, &kGg, &kFf, &kCc, &kGg, &kCc,
                           &kFf, &kCc, &kFf, &kGg, &kCc, &kGg, &kCc, &kGg};
  const int roots[16] = {48, 43, 48, 43, 41, 48, 43, 48, 41, 48, 41, 43, 48, 43, 48, 43};
  static const Tone kTune[] = {
      {0, 0, .5, 79},  {0, .5, .5, 76},  {0, 1, .5, 79},  {0, 1.5, .5, 76}, {0, 2, 1, 72},
      {0, 3, 1, 76},   {1, 0, .5, 74},   {1, .5, .5, 71}, {1, 1, .5, 74},   {1, 1.5, .5, 79},
      {1, 2, 2, 74},   {2, 0, .5, 79},   {2, .5, .5, 76}, {2, 1, .5, 79},   {2, 1.5, .5, 84},
      {2, 2, 1, 81},   {2, 3, 1, 79},    {3, 0, .5, 77},  {3, .5, .5, 76},  {3, 1, .5, 74},
      {3, 1.5, .5, 71}, {3, 2, 2, 67},   {4, 0, 1, 77},   {4, 1, 1, 81},    {4, 2, .5, 84},
      {4, 2.5, .5, 81}, {4, 3, 1, 77},   {5, 0, 1, 76},   {5, 1, 1, 79},    {5, 2, .5, 84},
      {5, 2.5, .5, 79}, {5, 3, 1, 76},   {6, 0, .5, 74},  {6, .5, .5, 76},  {6, 1, .5, 77},
      {6, 1.5, .5, 79}, {6, 2, .5, 81},  {6, 2.5, .5, 83}, {6, 3, 1, 84},   {7, 0, 2, 84},
      {7, 2, 1, 72},   {7, 3, 1, 72},    {8, 0, .5, 81},  {8, .5, .5, 81},  {8, 1, 1, 77},
      {8, 2, .5, 81},  {8, 2.5, .5, 81}, {8, 3, 1, 77},   {9, 0, .5, 79},   {9, .5, .5, 79},
      {9, 1, 1, 76},   {9, 2, .5, 79},   {9, 2.5, .5, 79}, {9, 3, 1, 76},   {10, 0, .5, 77},
      {10, .5, .5, 76}, {10, 1, .5, 77}, {10, 1.5, .5, 81}, {10, 2, 2, 84}, {11, 0, 1, 83},
      {11, 1, 1, 79},  {11, 2, 1, 74},   {11, 3, 1, 71},  {12, 0, .5, 72},  {12, .5, .5, 76},
      {12, 1, .5, 79}, {12, 1.5, .5, 84}, {12, 2, 1, 79}, {12, 3, 1, 76},   {13, 0, .5, 74},
      {13, .5, .5, 79}, {13, 1, .5, 83}, {13, 1.5, .5, 86}, {13, 2, 1, 83}, {13, 3, 1, 79},
      {14, 0, 1, 84},  {14, 1, .5, 79},  {14, 1.5, .5, 76}, {14, 2, 1, 72}, {14, 3, .5, 76},
      {14, 3.5, .5, 79}, {15, 0, 1, 74}, {15, 1, 1, 79},  {15, 2, 1, 71},   {15, 3, .5, 74},
      {15, 3.5, .5, 77},
  };
  Mixer m(140.0, 16 * 4 * 60.0 / 140.0, true);
  for (int b = 0; b < 16; ++b) {
    const Chord &c = *bars[b];
    for (int beat = 0; beat < 4; ++beat) {
      double at = b * 4.0 + beat;
      if (beat % 2 == 0) {
        int r = roots[b] + (beat == 2 ? 7 : 0) - 12;
        m.put(inst_tuba(midi_hz(r), 0.6 * m.beat), at, 0.42, -0.1, 0.0, 0.0);
      } else {
        for (size_t k = 0; k < c.size(); ++k)
          m.put(inst_pluck(midi_hz(c[k]), 0.35 * m.beat), at, 0.07, 0.3, 0.1, 0.0);
      }
      m.put(drum_block(beat % 2 ? 1500.0 : 1100.0), at, 0.13, -0.4, 0.1, 0.0);
    }
  }
  for (const Tone &t : kTune)
    m.put(inst_box(midi_hz(t.note), t.len * m.beat), t.bar * 4.0 + t.beat, 0.3, 0.15, 0.4, 0.15);
  m.put(slide_whistle(700.0, 1600.0, 0.35), 3 * 4.0 + 3.0, 0.16, 0.4, 0.4, 0.0);
  m.put(slide_whistle(1500.0, 600.0, 0.35), 11 * 4.0 + 3.0, 0.16, -0.4, 0.4, 0.0);
  return m.finish(0.6, 0.5, -7.0);
}

}  // namespace sfx
