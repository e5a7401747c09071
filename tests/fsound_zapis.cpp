// Recording stand-in of the seven sound-library calls.
#include "fsound_zapis.h"
#include "fsound/fsound.h"

#include <cstdio>
#include <deque>

struct FSOUND_SAMPLE {
  std::string plik;
};

std::vector<std::string> wywolania_dzwieku;
static std::deque<FSOUND_SAMPLE> probki;   // stable addresses for the handles

static std::string krotka(const std::string &plik) {
  // "sfx/explosion.wav" -> "explosion", "music/game.mp3" -> "music/game"
  std::string s = plik;
  if (s.rfind("sfx/", 0) == 0) s = s.substr(4);
  size_t kropka = s.rfind('.');
  if (kropka != std::string::npos) s = s.substr(0, kropka);
  return s;
}

std::vector<std::string> zagrane() {
  std::vector<std::string> wynik;
  for (const std::string &w : wywolania_dzwieku) {
    if (w.rfind("play ", 0) == 0) wynik.push_back(w.substr(5));
    if (w == "stop -3") wynik.push_back("STOP");
  }
  return wynik;
}

void wyczysc_zapis() { wywolania_dzwieku.clear(); }

signed char FSOUND_Init(int, int, unsigned int) {
  wywolania_dzwieku.push_back("init");
  return 1;
}

FSOUND_SAMPLE *FSOUND_Sample_Load(int, const char *name, unsigned int, int, int) {
  if (!name) return nullptr;
  probki.push_back(FSOUND_SAMPLE{krotka(name)});
  wywolania_dzwieku.push_back("load " + probki.back().plik);
  return &probki.back();
}

signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE *s, unsigned int mode) {
  if (!s) return 0;
  if (mode == FSOUND_LOOP_NORMAL) wywolania_dzwieku.push_back("loop " + s->plik);
  return 1;
}

signed char FSOUND_Sample_SetGain(FSOUND_SAMPLE *s, float) { return s ? 1 : 0; }

int FSOUND_PlaySound(int, FSOUND_SAMPLE *s) {
  if (!s) return -1;
  wywolania_dzwieku.push_back("play " + s->plik);
  return 0;
}

signed char FSOUND_StopSound(int channel) {
  wywolania_dzwieku.push_back("stop " + std::to_string(channel));
  return 1;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE *s) {
  if (s) wywolania_dzwieku.push_back("free " + s->plik);
}

void FSOUND_Close(void) { wywolania_dzwieku.push_back("close"); }
void FSOUND_Loopback(int) {}
bool FSOUND_Render(short *, int) { return false; }
