// The game's sound library over OpenAL Soft (mixing) and libsndfile (decoding).
//
// One device, one context, a fixed set of sources ("channels"). Each sample is
// one AL buffer holding the whole decoded file. Files are opened and checked at
// load and decoded by one background thread in the order they were loaded (the
// MP3 tunes take a third of a second), so that loading returns at once; the
// first start of a sample waits only for what is left of its own decoding, or
// decodes it there and then if the thread has not come to it yet. When no audio device can be
// opened the library runs silently: every call is accepted and channels are
// kept busy for as long as their sample would sound, so the game behaves the
// same with or without sound.
#include "fsound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <sndfile.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace {

// A decoded sample larger than this is refused (16-bit PCM bytes).
const long long kMaxDecodedBytes = 64LL * 1024 * 1024;
const int kMaxChannels = 64;

}  // namespace

struct FSOUND_SAMPLE {
  ALuint buffer = 0;      // 0 when nothing can be played
  bool playable = false;  // decoded fine (also true in silent mode)
  bool loop = false;
  float gain = 1.0f;      // AL_GAIN of its channels
  double seconds = 0.0;   // length, for the silent mode's bookkeeping
  // Background decoding: the open file waits in `file` and the sample is
  // pending until the worker is done with it; then pcm/info hold the result
  // (decoded tells whether it is whole) until the main thread turns them into
  // the AL buffer.
  bool pending = false;
  bool decoded = false;
  SNDFILE *file = nullptr;
  std::vector<short> pcm;
  SF_INFO info{};
};

namespace {

typedef std::chrono::steady_clock Clock;

struct Channel {
  ALuint source = 0;
  FSOUND_SAMPLE *sample = nullptr;  // last sample started here
  bool loop = false;
  unsigned long long serial = 0;    // start order, to find the oldest
  Clock::time_point started;        // silent mode: when it started
};

struct State {
  bool open = false;
  bool silent = false;
  ALCdevice *device = nullptr;
  ALCcontext *context = nullptr;
  std::vector<Channel> channels;
  std::vector<FSOUND_SAMPLE *> samples;  // every live handle, for Close
  unsigned long long serial = 0;
};

State g;

// The loopback device: its rate when asked for (0: a real device), and the
// extension's calls.
int loopback_rate = 0;
bool loopback_open = false;
LPALCRENDERSAMPLESSOFT render_samples = nullptr;

// Opens the device, filling the context's attributes: a real device's mixing
// rate, or the loopback device's rate and sample format.
ALCdevice *open_device(int mixrate, ALCint attrs[7]) {
  attrs[0] = ALC_FREQUENCY;
  attrs[1] = mixrate;
  attrs[2] = 0;
  if (loopback_rate <= 0) return alcOpenDevice(nullptr);
  auto open_loopback =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  render_samples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!open_loopback || !render_samples) return nullptr;
  attrs[1] = loopback_rate;
  attrs[2] = ALC_FORMAT_CHANNELS_SOFT;
  attrs[3] = ALC_STEREO_SOFT;
  attrs[4] = ALC_FORMAT_TYPE_SOFT;
  attrs[5] = ALC_SHORT_SOFT;
  attrs[6] = 0;
  return open_loopback(nullptr);
}

// The background decoder. Kept on the heap and never destroyed: a program that
// exits without FSOUND_Close must not run its destructor under a live thread.
struct Decoder {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<FSOUND_SAMPLE *> queue;  // waiting, oldest first
  FSOUND_SAMPLE *busy = nullptr;      // being decoded now
  bool stopping = false;
  std::thread *thread = nullptr;
};
Decoder *dec = nullptr;

bool decode(SNDFILE *f, const SF_INFO &info, std::vector<short> &pcm);

void decoder_main() {
#ifdef __linux__
  // Below the caller's priority: on a busy machine the game's own thread
  // goes first, and a start that needs a sample not yet begun decodes it
  // itself (wait_decoded).
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
  std::unique_lock<std::mutex> l(dec->lock);
  for (;;) {
    dec->changed.wait(l, [] { return dec->stopping || !dec->queue.empty(); });
    if (dec->stopping) return;
    FSOUND_SAMPLE *s = dec->queue.front();
    dec->queue.pop_front();
    dec->busy = s;
    l.unlock();
    std::vector<short> pcm;
    bool ok = decode(s->file, s->info, pcm);
    l.lock();
    s->file = nullptr;
    s->pcm.swap(pcm);
    s->decoded = ok;
    s->pending = false;
    dec->busy = nullptr;
    dec->changed.notify_all();
  }
}

// Hands a sample to the background decoder. False when no thread can be
// started; the caller then decodes it itself.
bool decode_later(FSOUND_SAMPLE *s) {
  try {
    if (!dec) dec = new Decoder();
    std::lock_guard<std::mutex> l(dec->lock);
    if (!dec->thread) {
      dec->stopping = false;
      dec->thread = new std::thread(decoder_main);
    }
    dec->queue.push_back(s);
    s->pending = true;
  } catch (...) {
    return false;
  }
  dec->changed.notify_all();
  return true;
}

// Waits for a sample's background decoding to end. One still queued is taken
// off the queue: dropped when drop is set, otherwise decoded here at once.
void wait_decoded(FSOUND_SAMPLE *s, bool drop) {
  if (!dec) return;
  std::unique_lock<std::mutex> l(dec->lock);
  for (size_t i = 0; i < dec->queue.size(); ++i)
    if (dec->queue[i] == s) {
      dec->queue.erase(dec->queue.begin() + static_cast<long>(i));
      l.unlock();
      if (drop) {
        sf_close(s->file);
      } else {
        std::vector<short> pcm;
        s->decoded = decode(s->file, s->info, pcm);
        s->pcm.swap(pcm);
      }
      l.lock();
      s->file = nullptr;
      s->pending = false;
      return;
    }
  dec->changed.wait(l, [s] { return !s->pending; });
}

// Stops the decoder: what is queued is dropped, the file in hand is finished.
void stop_decoder() {
  if (!dec || !dec->thread) return;
  {
    std::lock_guard<std::mutex> l(dec->lock);
    for (FSOUND_SAMPLE *s : dec->queue) {
      sf_close(s->file);
      s->file = nullptr;
      s->pending = false;
    }
    dec->queue.clear();
    dec->stopping = true;
  }
  dec->changed.notify_all();
  dec->thread->join();
  delete dec->thread;
  dec->thread = nullptr;
}

// Runs f with stderr sent to /dev/null, so that the audio back-ends' own
// complaints about a missing device do not reach the player's terminal. Left
// alone when the user asked OpenAL Soft for its log.
template <typename F>
void quietly(F f) {
  if (getenv("ALSOFT_LOGLEVEL")) {
    f();
    return;
  }
  fflush(stderr);
  int saved = dup(2);
  int null_fd = open("/dev/null", O_WRONLY);
  if (saved >= 0 && null_fd >= 0) dup2(null_fd, 2);
  f();
  fflush(stderr);
  if (saved >= 0) {
    dup2(saved, 2);
    close(saved);
  }
  if (null_fd >= 0) close(null_fd);
}

bool channel_busy(const Channel &c) {
  if (!c.sample) return false;
  if (g.silent) {
    if (c.loop) return true;
    double age = std::chrono::duration<double>(Clock::now() - c.started).count();
    return age < c.sample->seconds;
  }
  ALint st = AL_STOPPED;
  alGetSourcei(c.source, AL_SOURCE_STATE, &st);
  return st == AL_PLAYING || st == AL_PAUSED;
}

void stop_channel(Channel &c) {
  if (!g.silent && c.source) {
    alSourceStop(c.source);
    alSourcei(c.source, AL_BUFFER, 0);
  }
  c.sample = nullptr;
  c.loop = false;
}

// True when libsndfile's header log says the data chunk claims more bytes
// than the file holds, i.e. the file was cut short.
bool log_says_truncated(SNDFILE *f) {
  char log[4096];
  log[0] = '\0';
  sf_command(f, SFC_GET_LOG_INFO, log, sizeof log);
  log[sizeof log - 1] = '\0';
  const char *p = log;
  while ((p = strstr(p, "data")) != nullptr) {
    long long claimed = 0, actual = 0;
    if (sscanf(p, "data : %lld (should be %lld)", &claimed, &actual) == 2 && actual < claimed)
      return true;
    p += 4;
  }
  return false;
}

// Opens a sound file and checks that it can be played in full (its channels,
// rate and length, and a data chunk as long as it claims). Null otherwise.
SNDFILE *open_sound(const char *name, SF_INFO &info) {
  memset(&info, 0, sizeof info);
  SNDFILE *f = sf_open(name, SFM_READ, &info);
  if (!f) return nullptr;
  bool ok = info.channels >= 1 && info.channels <= 2 && info.samplerate >= 1000 &&
            info.samplerate <= 192000 && info.frames > 0 &&
            info.frames <= kMaxDecodedBytes / 2 / info.channels && !log_says_truncated(f);
  if (!ok) {
    sf_close(f);
    return nullptr;
  }
  return f;
}

// Decodes an opened file whole to 16-bit PCM and closes it. Returns false for
// anything that cannot be played in full.
bool decode(SNDFILE *f, const SF_INFO &info, std::vector<short> &pcm) {
  bool ok = true;
  try {
    pcm.resize(static_cast<size_t>(info.frames) * info.channels);
  } catch (const std::bad_alloc &) {
    ok = false;
  }
  if (ok) {
    sf_count_t got = sf_readf_short(f, pcm.data(), info.frames);
    ok = got == info.frames && sf_error(f) == SF_ERR_NO_ERROR;
  }
  sf_close(f);
  if (!ok) pcm.clear();
  return ok;
}

// Turns decoded PCM into what the sample plays: its length and, with a
// device, its AL buffer. Frees the PCM.
void make_playable(FSOUND_SAMPLE *s, const std::vector<short> &pcm, const SF_INFO &info) {
  s->seconds = static_cast<double>(info.frames) / info.samplerate;
  if (g.silent) {
    s->playable = true;
    return;
  }
  alGetError();
  alGenBuffers(1, &s->buffer);
  if (alGetError() != AL_NO_ERROR) {
    s->buffer = 0;
    return;
  }
  alBufferData(s->buffer, info.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm.data(),
               static_cast<ALsizei>(pcm.size() * sizeof(short)), info.samplerate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &s->buffer);
    s->buffer = 0;
    return;
  }
  s->playable = true;
}

// Makes a background-decoded sample ready to play, waiting for its decoding
// if it has not ended yet.
void settle(FSOUND_SAMPLE *s) {
  wait_decoded(s, false);
  if (!s->decoded) return;
  s->decoded = false;
  if (g.open) make_playable(s, s->pcm, s->info);
  std::vector<short>().swap(s->pcm);
}

}  // namespace

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int /*flags*/) {
  if (g.open) return 1;
  if (mixrate < 8000 || mixrate > 192000) mixrate = 22050;
  if (maxsoftwarechannels < 1) maxsoftwarechannels = 1;
  if (maxsoftwarechannels > kMaxChannels) maxsoftwarechannels = kMaxChannels;

  try {
    g.channels.assign(static_cast<size_t>(maxsoftwarechannels), Channel());
    g.samples.reserve(64);
  } catch (const std::bad_alloc &) {
    g.channels.clear();
    return 0;
  }

  // A device that opens but cannot mix (no context, no sources) is treated
  // like no device: the game goes on without sound.
  const char *why = "no audio device";
  ALCint attrs[7];
  quietly([&] { g.device = open_device(mixrate, attrs); });
  if (g.device) {
    why = "the audio device cannot mix";
    quietly([&] { g.context = alcCreateContext(g.device, attrs); });
    if (g.context && alcMakeContextCurrent(g.context)) {
      alGetError();
      size_t made = 0;
      for (Channel &c : g.channels) {
        alGenSources(1, &c.source);
        if (alGetError() != AL_NO_ERROR) {
          c.source = 0;
          break;
        }
        // Every sound plays at the listener, unattenuated.
        alSourcei(c.source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(c.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(c.source, AL_ROLLOFF_FACTOR, 0.0f);
        ++made;
      }
      // Fewer sources than asked for still mix; none at all do not.
      g.channels.resize(made);
      if (made > 0) {
        g.silent = false;
        g.open = true;
        loopback_open = loopback_rate > 0;
        return 1;
      }
      alcMakeContextCurrent(nullptr);
    }
    if (g.context) alcDestroyContext(g.context);
    alcCloseDevice(g.device);
    g.context = nullptr;
    g.device = nullptr;
    try {
      g.channels.assign(static_cast<size_t>(maxsoftwarechannels), Channel());
    } catch (const std::bad_alloc &) {
      g.channels.clear();
      return 0;
    }
  }
  if (loopback_rate > 0) {
    g.channels.clear();
    return 0;
  }
  fprintf(stderr, "brixel: %s, sound is off\n", why);
  g.silent = true;
  g.open = true;
  return 1;
}

FSOUND_SAMPLE *FSOUND_Sample_Load(int /*index*/, const char *name, unsigned int mode, int /*offset*/,
                                  int /*length*/) {
  if (!g.open || !name) return nullptr;
  FSOUND_SAMPLE *s = new (std::nothrow) FSOUND_SAMPLE();
  if (!s) return nullptr;
  s->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
  try {
    g.samples.push_back(s);
  } catch (const std::bad_alloc &) {
    delete s;
    return nullptr;
  }

  SF_INFO info;
  SNDFILE *f = open_sound(name, info);
  if (!f) return s;
  s->file = f;
  s->info = info;
  if (decode_later(s)) return s;
  s->file = nullptr;
  std::vector<short> pcm;
  if (decode(f, info, pcm)) make_playable(s, pcm, info);
  return s;
}

signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE *sample, unsigned int mode) {
  if (!sample) return 0;
  if (mode & FSOUND_LOOP_NORMAL)
    sample->loop = true;
  else if (mode & FSOUND_LOOP_OFF)
    sample->loop = false;
  else
    return 0;
  return 1;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE *sample) {
  if (!g.open || !sample) return -1;
  settle(sample);
  if (!sample->playable || g.channels.empty()) return -1;
  int n = static_cast<int>(g.channels.size());
  int pick = -1;
  if (channel >= 0 && channel < n) {
    pick = channel;
  } else if (channel == FSOUND_FREE) {
    for (int i = 0; i < n && pick < 0; ++i)
      if (!channel_busy(g.channels[i])) pick = i;
    // All busy: take the oldest sound that ends by itself. Looping sounds
    // (the music) are never cut for an effect.
    if (pick < 0) {
      for (int i = 0; i < n; ++i) {
        const Channel &c = g.channels[i];
        if (c.loop) continue;
        if (pick < 0 || c.serial < g.channels[pick].serial) pick = i;
      }
    }
  }
  if (pick < 0) return -1;

  Channel &c = g.channels[pick];
  stop_channel(c);
  if (!g.silent) {
    alSourcei(c.source, AL_BUFFER, static_cast<ALint>(sample->buffer));
    alSourcei(c.source, AL_LOOPING, sample->loop ? AL_TRUE : AL_FALSE);
    alSourcef(c.source, AL_GAIN, sample->gain);
    alSourcePlay(c.source);
  }
  c.sample = sample;
  c.loop = sample->loop;
  c.serial = ++g.serial;
  c.started = Clock::now();
  return pick;
}

signed char FSOUND_Sample_SetGain(FSOUND_SAMPLE *sample, float gain) {
  if (!sample || !(gain >= 0.0f)) return 0;
  sample->gain = gain;
  if (!g.open) return 1;
  for (Channel &c : g.channels) {
    if (c.sample != sample) continue;
    if (gain == 0.0f) stop_channel(c);
    else if (!g.silent) alSourcef(c.source, AL_GAIN, gain);
  }
  return 1;
}

signed char FSOUND_StopSound(int channel) {
  if (!g.open) return 0;
  int n = static_cast<int>(g.channels.size());
  if (channel == FSOUND_ALL) {
    if (!g.silent) {
      std::vector<ALuint> ids;
      for (const Channel &c : g.channels) ids.push_back(c.source);
      alSourceStopv(static_cast<ALsizei>(ids.size()), ids.data());
    }
    for (Channel &c : g.channels) stop_channel(c);
    return 1;
  }
  if (channel < 0 || channel >= n) return 0;
  stop_channel(g.channels[channel]);
  return 1;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE *sample) {
  if (!sample) return;
  wait_decoded(sample, true);
  for (Channel &c : g.channels)
    if (c.sample == sample) stop_channel(c);
  if (sample->buffer && g.open && !g.silent) alDeleteBuffers(1, &sample->buffer);
  for (size_t i = 0; i < g.samples.size(); ++i) {
    if (g.samples[i] == sample) {
      g.samples.erase(g.samples.begin() + static_cast<long>(i));
      break;
    }
  }
  delete sample;
}

void FSOUND_Close(void) {
  if (!g.open) return;
  stop_decoder();
  for (FSOUND_SAMPLE *s : g.samples) {
    s->decoded = false;
    std::vector<short>().swap(s->pcm);
  }
  FSOUND_StopSound(FSOUND_ALL);
  if (!g.silent) {
    for (Channel &c : g.channels) alDeleteSources(1, &c.source);
    // Samples the caller did not free lose their buffers; their handles stay
    // valid for FSOUND_Sample_Free and play nothing.
    for (FSOUND_SAMPLE *s : g.samples) {
      if (s->buffer) alDeleteBuffers(1, &s->buffer);
      s->buffer = 0;
      s->playable = false;
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(g.context);
    alcCloseDevice(g.device);
  } else {
    for (FSOUND_SAMPLE *s : g.samples) s->playable = false;
  }
  g.samples.clear();
  g.channels.clear();
  g.context = nullptr;
  g.device = nullptr;
  g.silent = false;
  g.open = false;
  loopback_open = false;
}

void FSOUND_Loopback(int rate) { loopback_rate = rate > 0 ? rate : 0; }

bool FSOUND_Render(short *out, int frames) {
  if (!g.open || !loopback_open || frames < 0) return false;
  render_samples(g.device, out, frames);
  return true;
}
