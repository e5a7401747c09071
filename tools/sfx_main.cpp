// brixel_sfxgen SFX_DIR MUSIC_DIR
// Writes the game's 25 sound effects (WAV) into SFX_DIR and its 3 tunes (MP3)
// into MUSIC_DIR, the same bytes on every run. Needs flite for the
// announcer. Exits 1 with one line on stderr when anything cannot be made.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "sfx_sounds.h"

namespace {

bool is_dir(const std::string &p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool on_path(const char *prog) {
  const char *path = getenv("PATH");
  if (!path) return false;
  std::string all(path);
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string dir = all.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string full = dir + "/" + prog;
    if (access(full.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

int fail(const std::string &msg) {
  fprintf(stderr, "brixel_sfxgen: %s\n", msg.c_str());
  return 1;
}

struct Effect {
  const char *name;
  sfx::Mono (*make)();
};

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) return fail("usage: brixel_sfxgen SFX_DIR MUSIC_DIR");
  std::string sfx_dir = argv[1], music_dir = argv[2];
  if (!is_dir(sfx_dir)) return fail("no such folder: " + sfx_dir);
  if (!is_dir(music_dir)) return fail("no such folder: " + music_dir);
  if (!on_path("flite")) return fail("flite is not installed (needed for the announcer)");
  if (!sfx::mp3_supported()) return fail("this libsndfile cannot write MP3 (needs LAME support)");

  const Effect effects[] = {
      {"explosion", sfx::fx_explosion}, {"intarget", sfx::fx_intarget},
      {"rotate", sfx::fx_rotate},       {"new", sfx::fx_new},
      {"drag", sfx::fx_drag},           {"alarm", sfx::fx_alarm},
      {"delete", sfx::fx_delete},       {"bells", sfx::fx_bells},
      {"breath", sfx::fx_breath},       {"glass", sfx::fx_glass},
      {"glasshit", sfx::fx_glasshit},   {"glassrub", sfx::fx_glassrub},
      {"laugh", sfx::fx_laugh},
  };
  std::string err;
  for (const Effect &e : effects) {
    if (!sfx::write_wav(sfx_dir + "/" + e.name + ".wav", e.make(), err)) return fail(err);
  }
  if (!sfx::speak_lines(sfx_dir, err)) return fail(err);
  if (!sfx::write_wav(sfx_dir + "/other.wav", sfx::tune_child(), err)) return fail(err);
  if (!sfx::write_mp3(music_dir + "/start.mp3", sfx::music_title(), err)) return fail(err);
  if (!sfx::write_mp3(music_dir + "/gameover.mp3", sfx::music_gameover(), err)) return fail(err);
  if (!sfx::write_mp3(music_dir + "/game.mp3", sfx::music_game(), err)) return fail(err);
  return 0;
}
