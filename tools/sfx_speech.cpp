// The announcer: espeak-ng speaks each line into a temporary WAV with a fixed
// voice, speed and pitch (its output is the same bytes on every run), then the
// line is trimmed, lowered a little, given a small room and levelled.
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

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
  const char *voice;
  int words_per_minute;
  int pitch;     // espeak-ng 0..99
  double speed;  // playback factor after speaking; below 1 lowers the voice
  double room;   // reverb amount
};

const Line kLines[] = {
    {"greetings", "Welcome to Brixel!", "en-us+m3", 140, 32, 0.93, 0.18},
    {"level", "Next level!", "en-us+m3", 140, 32, 0.93, 0.18},
    {"impressive", "Impressive!", "en-us+m3", 135, 30, 0.93, 0.18},
    {"perfect", "Perfect!", "en-us+m3", 135, 34, 0.93, 0.18},
    {"godlike", "Godlike!", "en-us+m3", 120, 25, 0.9, 0.25},
    {"combo", "Combo!", "en-us+m3", 150, 40, 0.95, 0.15},
    {"record", "New record!", "en-us+m3", 140, 36, 0.93, 0.18},
    {"gameover", "Game over.", "en-us+m3", 120, 25, 0.9, 0.25},
    {"trythislaugh", "Try this! Ha ha ha!", "en-us+m3", 160, 62, 1.0, 0.12},
    {"panic", "Panic!", "en-us+m3", 185, 70, 1.0, 0.1},
    {"children", "You play like a child!", "en-us+m3", 155, 66, 1.0, 0.12},
};

// Runs espeak-ng without a shell; its own output goes to /dev/null.
bool run_espeak(const Line &l, const std::string &wav, std::string &err) {
  char speed[16], pitch[16];
  snprintf(speed, sizeof speed, "%d", l.words_per_minute);
  snprintf(pitch, sizeof pitch, "%d", l.pitch);
  std::vector<const char *> argv = {"espeak-ng", "-v", l.voice, "-s", speed, "-p", pitch,
                                    "-a", "120", "-w", wav.c_str(), l.text, nullptr};
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) {
    err = "cannot start espeak-ng";
    return false;
  }
  if (pid == 0) {
    int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, 1);
      dup2(null_fd, 2);
    }
    execvp("espeak-ng", const_cast<char *const *>(argv.data()));
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    err = WIFEXITED(status) && WEXITSTATUS(status) == 127
              ? "espeak-ng is not installed (needed for the announcer)"
              : std::string("espeak-ng failed on \"") + l.text + "\"";
    return false;
  }
  return true;
}

// Cuts the silence espeak-ng leaves around a line.
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

}  // namespace

bool speak_lines(const std::string &sfx_dir, std::string &err) {
  std::string tmp = sfx_dir + "/.espeak.tmp.wav";
  for (const Line &l : kLines) {
    if (!run_espeak(l, tmp, err)) {
      std::remove(tmp.c_str());
      return false;
    }
    Mono x;
    int rate = 0;
    bool ok = read_mono(tmp, x, rate);
    std::remove(tmp.c_str());
    if (!ok || rate <= 0) {
      err = std::string("cannot read espeak-ng's output for \"") + l.text + "\"";
      return false;
    }
    if (rate != kRate) x = resample(x, static_cast<double>(rate) / kRate);
    trim(x);
    x = resample(x, l.speed);
    // Take out the rumble under the voice, then add a small room and a tail.
    OnePole hp;
    for (float &v : x) v = static_cast<float>(hp.highpass(v, 90.0));
    x.resize(x.size() + frames(0.3), 0.0f);
    reverb(x, 0.55, 0.5, l.room);
    fade(x, 0.004, 0.25);
    normalize(x, -3.0);
    if (!write_wav(sfx_dir + "/" + l.name + ".wav", x, err)) return false;
  }
  return true;
}

}  // namespace sfx
