// The sound generator's small synthesis kit: a seeded random source, band
// limited oscillators, filters, envelopes, a reverb and a delay, level helpers
// and the file writers. Everything runs at one rate, kRate, and every result is
// the same on every run.
#ifndef BRIXEL_SFX_SYNTH_H
#define BRIXEL_SFX_SYNTH_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sfx {

const int kRate = 22050;
const double kPi = 3.14159265358979323846;

typedef std::vector<float> Mono;

struct Stereo {
  Mono l, r;
  size_t size() const { return l.size(); }
  void resize(size_t n) {
    l.assign(n, 0.0f);
    r.assign(n, 0.0f);
  }
};

// Sample count of a length in seconds.
size_t frames(double seconds);
double midi_hz(double note);
double db_gain(double db);

// splitmix64: small, fast and the same everywhere.
struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed) {}
  uint64_t next();
  double uni();  // [0, 1)
  double sym();  // [-1, 1)
};

// Oscillators keep their phase in cycles [0, 1); saw and square use polyBLEP
// corrections so that they alias little at this low rate.
struct Osc {
  double phase = 0.0;
  double sine(double hz);
  double saw(double hz);
  double square(double hz, double width = 0.5);
  double tri(double hz);
};

// Zero-delay-feedback state variable filter: stable for any cutoff below
// Nyquist, so it can be swept every sample.
struct Svf {
  double ic1 = 0.0, ic2 = 0.0;
  double lp = 0.0, bp = 0.0, hp = 0.0;
  void run(double x, double cutoff_hz, double q);
};

// One-pole low-pass and its complementary high-pass.
struct OnePole {
  double z = 0.0;
  double lowpass(double x, double cutoff_hz);
  double highpass(double x, double cutoff_hz);
};

// Attack / decay / sustain / release; note_len is the time the key is held.
double adsr(double t, double a, double d, double s, double r, double note_len);
// Fast attack, exponential decay with time constant tau.
double perc(double t, double attack, double tau);

// Adds src into dst at a start index with gain and constant-power pan
// (-1 left .. 1 right). With wrap, samples past the end fold to the start, so
// that a loop's tails sound on at its beginning.
void mix_in(Stereo &dst, const Mono &src, long start, double gain, double pan, bool wrap);
void mix_in(Mono &dst, const Mono &src, long start, double gain, bool wrap);

// Freeverb-style reverb (8 combs, 4 all-passes per side). With periodic the
// input is treated as one turn of an endless loop; dry scales the input kept
// in the result (0 for a send bus).
void reverb(Stereo &x, double room, double damp, double wet, bool periodic, double dry = 1.0);
void reverb(Mono &x, double room, double damp, double wet);
// Stereo ping-pong echo.
void echo(Stereo &x, double seconds, double feedback, double wet, bool periodic,
          double dry = 1.0);

double peak(const Mono &x);
double peak(const Stereo &x);
double rms(const Mono &x);
double rms(const Stereo &x);
void scale(Mono &x, double g);
void scale(Stereo &x, double g);
void normalize(Mono &x, double peak_db);
void normalize(Stereo &x, double peak_db);
// Linear fade-in over the first and fade-out over the last samples.
void fade(Mono &x, double in_seconds, double out_seconds);
void fade(Stereo &x, double in_seconds, double out_seconds);

// Reads a mono or stereo sound file as mono floats at its own rate.
bool read_mono(const std::string &path, Mono &out, int &rate);
// Plays x back at speed factor (0.9 = slower and lower), cubic interpolation.
Mono resample(const Mono &x, double speed);

// Writers go through a temporary name in the same folder, then rename.
// On failure they return false and put one line into err.
bool write_wav(const std::string &path, const Mono &x, std::string &err);
bool write_wav(const std::string &path, const Stereo &x, std::string &err);
bool write_mp3(const std::string &path, const Stereo &x, std::string &err);
bool mp3_supported();

}  // namespace sfx

#endif
