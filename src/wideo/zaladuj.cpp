// The game's side of the encoder: the module brixel-video.so, loaded from the
// folder of the game's own program file at the first export, and its calls.
// Until then nothing of FFmpeg is in the process.
#include "wideo/wideo.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <string>

namespace {

const WywolaniaKodera *modul = nullptr;

// The folder of the running program ("" when the system does not say).
std::string folder_programu() {
  char b[4096];
  ssize_t n = readlink("/proc/self/exe", b, sizeof b - 1);
  if (n <= 0) return "";
  std::string p(b, (size_t)n);
  size_t u = p.rfind('/');
  return u == std::string::npos ? "" : p.substr(0, u);
}

}  // namespace

int rodzaj_pliku(const std::string &nazwa) {
  size_t kropka = nazwa.rfind('.');
  if (kropka == std::string::npos || nazwa.find('/', kropka) != std::string::npos) return RODZAJ_ZADEN;
  std::string r = nazwa.substr(kropka + 1);
  for (char &c : r) c = (char)tolower((unsigned char)c);
  if (r == "mp4") return RODZAJ_MP4;
  if (r == "webm") return RODZAJ_WEBM;
  if (r == "gif") return RODZAJ_GIF;
  return RODZAJ_ZADEN;
}

bool zaladuj_koder(std::string *blad) {
  if (modul) return true;
  std::string dir = folder_programu();
  if (dir.empty()) {
    *blad = "the video encoder cannot be found (the game's own folder is unknown)";
    return false;
  }
  std::string plik = dir + "/brixel-video.so";
  void *h = dlopen(plik.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char *e = dlerror();
    *blad = std::string("the video encoder cannot be loaded (") + (e ? e : plik.c_str()) + ")";
    return false;
  }
  auto tabela = (const WywolaniaKodera *(*)())dlsym(h, "brixel_koder");
  const WywolaniaKodera *t = tabela ? tabela() : nullptr;
  if (!t || t->wersja != WERSJA_KODERA) {
    dlclose(h);
    *blad = "the video encoder " + plik + " belongs to another version of the game";
    return false;
  }
  modul = t;   // kept loaded to the end: its thread and buffers live in it
  return true;
}

bool otworz_koder(const char *plik, int rodzaj, int w, int h, std::string *blad) {
  return zaladuj_koder(blad) && modul->otworz(plik, rodzaj, w, h, blad);
}
void koder_klatka(std::vector<uint8_t> &&rgba) {
  if (modul) modul->klatka(std::move(rgba));
}
void koder_dzwiek(const short *pcm, int ramki) {
  if (modul) modul->dzwiek(pcm, ramki);
}
bool zamknij_koder(std::string *blad) {
  if (modul) return modul->zamknij(blad);
  *blad = "the video encoder is not loaded";
  return false;
}
void przerwij_koder() {
  if (modul) modul->przerwij();
}
bool koder_zawiodl() { return modul && modul->zawiodl(); }
double czas_kodera() { return modul ? modul->czas_kodera() : 0; }
double czas_czekania() { return modul ? modul->czas_czekania() : 0; }
