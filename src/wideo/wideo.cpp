// The export of a recording as a video: the command line's --video, the screen
// of best games' V, and the loop that runs the passes, reads every frame back
// and hands it and the pass's sound to the encoder (koder.cpp).
#include "wideo/wideo.h"
#include "fsound/fsound.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "player/player.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

void przebieg(Uint8 *stan_klawiszy);   // the main loop's pass (shell/main.cpp)
void zakoncz_z_bledem(const char *komunikat);

namespace {

typedef std::chrono::steady_clock Zegar;

// The export asked for on the command line.
const char *z_wiersza_nagranie = nullptr, *z_wiersza_plik = nullptr;
Nagranie nagranie_z_wiersza;

// The export under way.
bool trwa = false;
bool wiersz = false;                // the command line's: the program ends with it
std::string cel, tymczasowy;        // OUT, and the temporary file beside it
int rodzaj = RODZAJ_MP4;
long long przebiegi = 0, zapisane = 0, klatki = 0;
int wynik = 0, poziom = 0, wiersze = 0;   // how the recorded game ended
Zegar::time_point start, ostatni_wypis;
double czas_przebiegow = 0, czas_odczytu = 0;
std::string uwaga;                  // the best screen's line when it ended
std::vector<short> pcm(2 * PROBKI_NA_KLATKE);
int wiersze_przed = 0;              // rows burst up to the last frame

void usun_tymczasowy() {
  if (!tymczasowy.empty()) unlink(tymczasowy.c_str());
  tymczasowy.clear();
}

// The folder part of a path, "." for none.
std::string folder(const std::string &p) {
  size_t u = p.rfind('/');
  if (u == std::string::npos) return ".";
  return u == 0 ? "/" : p.substr(0, u);
}

// OUT checked and the temporary file made beside it; "" or why not.
std::string przygotuj_plik(const std::string &plik) {
  rodzaj = rodzaj_pliku(plik);
  if (rodzaj == RODZAJ_ZADEN) return "unknown kind of video file (the name must end in .mp4, .webm or .gif)";
  std::string nie;
  if (!zaladuj_koder(&nie)) return nie;
  struct stat st;
  if (lstat(plik.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return "it exists and is not a regular file";
  std::string wzor = folder(plik) + "/.brixel-video.XXXXXX";
  std::vector<char> nazwa(wzor.begin(), wzor.end());
  nazwa.push_back('\0');
  int fd = mkstemp(nazwa.data());
  if (fd < 0) return std::string("cannot write there (") + strerror(errno) + ")";
  // The permissions a new file would get (mkstemp gives 0600).
  mode_t maska = umask(022);
  umask(maska);
  fchmod(fd, 0666 & ~maska);
  close(fd);
  tymczasowy = nazwa.data();
  static bool zapisane_sprzatanie = false;
  if (!zapisane_sprzatanie) atexit(usun_tymczasowy);
  zapisane_sprzatanie = true;
  cel = plik;
  return "";
}

// Sound from the loopback device instead of the sound card, or back.
bool przelacz_dzwiek(bool petla) {
  zwolnij_dzwieki();
  FSOUND_Loopback(petla ? CZESTOSC_DZWIEKU : 0);
  bool ok = otworz_dzwiek();
  if (!ok && petla) {
    FSOUND_Loopback(0);
    otworz_dzwiek();
  }
  wczytaj_dzwieki();
  return ok;
}

std::string czas_filmu(long long ramki) {
  long long s = ramki / 60;
  char b[32];
  snprintf(b, sizeof b, "%lld:%02lld", s / 60, s % 60);
  return b;
}

// The bar on the terminal, a few times a second and at the end.
void wypisz_postep(bool na_koniec) {
  auto teraz = Zegar::now();
  if (!na_koniec && teraz - ostatni_wypis < std::chrono::milliseconds(250)) return;
  ostatni_wypis = teraz;
  double minelo = std::chrono::duration<double>(teraz - start).count();
  long long zostalo = przebiegi - zapisane;
  double sekundy = zapisane > 0 ? minelo * zostalo / zapisane : 0;
  int proc = przebiegi > 0 ? (int)(100 * zapisane / przebiegi) : 100;
  char pasek[31];
  int pelne = proc * 30 / 100;
  for (int i = 0; i < 30; i++) pasek[i] = i < pelne ? '#' : '-';
  pasek[30] = '\0';
  fprintf(stderr, "\r[%s] %3d%%  %lld frames done, %lld left, %d:%02d left ", pasek, proc, zapisane, zostalo,
          (int)sekundy / 60, (int)sekundy % 60);
  if (na_koniec) fputc('\n', stderr);
  fflush(stderr);
}

// The export ends: kept (renamed over OUT) or dropped with the reason.
void skoncz(const std::string &blad_wczesniej) {
  trwa = false;
  std::string blad = blad_wczesniej;
  if (blad.empty()) {
    if (!zamknij_koder(&blad)) {
    } else if (score != wynik || level != poziom || calkowite != wiersze) {
      char b[160];
      snprintf(b, sizeof b, "the replay ended on score %d level %d rows %d, the recorded game on score %d level %d rows %d",
               score, level, calkowite, wynik, poziom, wiersze);
      blad = b;
    }
  }
  double koder = czas_kodera(), czekanie = czas_czekania();
  przerwij_koder();
  struct stat st;
  if (blad.empty() && lstat(cel.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) blad = "it exists and is not a regular file";
  if (blad.empty() && rename(tymczasowy.c_str(), cel.c_str()) != 0)
    blad = std::string("cannot write it (") + strerror(errno) + ")";
  if (blad.empty()) tymczasowy.clear();
  else usun_tymczasowy();
  if (wiersz) wypisz_postep(true);
  if (getenv("BRIXEL_VIDEO_TIMES")) {
    double razem = std::chrono::duration<double>(Zegar::now() - start).count();
    fprintf(stderr,
            "brixel: video %.1f s for a game of %.1f s: passes %.1f s, read-back %.1f s, waiting for the encoder %.1f "
            "s; encoder thread %.1f s\n",
            razem, przebiegi / 60.0, czas_przebiegow, czas_odczytu, czekanie, koder);
  }
  bool przerwane = odtwarzanie;
  if (odtwarzanie) zakoncz_odtwarzanie();
  if (wiersz) {
    if (!blad.empty()) {
      std::string k = "brixel: " + cel + ": " + blad + "; no video written\n";
      zakoncz_z_bledem(k.c_str());
    }
    printf("wrote %s: %s, %lld frames\n", cel.c_str(), czas_filmu(zapisane).c_str(), klatki);
    fflush(stdout);
    done = true;
    return;
  }
  (void)przerwane;
  przelacz_dzwiek(false);
  graj(SMP_MUSIC_START);
  if (blad.empty()) {
    size_t u = cel.rfind('/');
    uwaga = u == std::string::npos ? cel : cel.substr(u + 1);
    printf("brixel: saved %s\n", cel.c_str());
    fflush(stdout);
  } else {
    fprintf(stderr, "brixel: %s: %s; no video written\n", cel.c_str(), blad.c_str());
    uwaga = blad == "cancelled" ? "VIDEO CANCELLED" : "VIDEO FAILED";
  }
}

// Begins the export of a recording into the temporary file made for cel.
bool zacznij(const Nagranie &n, bool z_wiersza, std::string *blad) {
  if (!otworz_koder(tymczasowy.c_str(), rodzaj, width, height, blad)) return false;
  if (!zacznij_odtwarzanie(n, z_wiersza)) {
    przerwij_koder();
    *blad = "its game state is damaged";
    return false;
  }
  wiersz = z_wiersza;
  wiersze_przed = calkowite;
  przebiegi = n.przebiegi;
  wynik = n.wynik;
  poziom = n.poziom;
  wiersze = n.wiersze;
  zapisane = klatki = 0;
  czas_przebiegow = czas_odczytu = 0;
  start = ostatni_wypis = Zegar::now();
  uwaga.clear();
  trwa = true;
  return true;
}

// BRIXEL_VIDEO_LAST=FILE: the last frame as read back, before encoding, also
// kept as a binary PPM, so that tests can hold the file's last frame against it.
void klatka_wzorcowa(const std::vector<uint8_t> &rgba) {
  const char *plik = getenv("BRIXEL_VIDEO_LAST");
  FILE *f = plik ? fopen(plik, "wb") : nullptr;
  if (!f) return;
  fprintf(f, "P6\n%d %d\n255\n", width, height);
  for (int y = height - 1; y >= 0; y--)
    for (int x = 0; x < width; x++) fwrite(&rgba[((size_t)y * width + x) * 4], 1, 3, f);
  fclose(f);
}

// BRIXEL_VIDEO_BURSTS=FILE: the number of each frame whose pass burst rows,
// a line each, so that tests can find the burst's sound at its frame.
void zapisz_wybuch() {
  static const char *plik = getenv("BRIXEL_VIDEO_BURSTS");
  if (calkowite > wiersze_przed && plik)
    if (FILE *f = fopen(plik, "a")) {
      fprintf(f, "%lld\n", zapisane);
      fclose(f);
    }
  wiersze_przed = calkowite;
}

// The frame of the pass just run: read back, with the pass's sound, handed
// to the encoder.
void zapisz_klatke() {
  auto t0 = Zegar::now();
  if (rodzaj != RODZAJ_GIF || (przebiegi - zapisane) % PRZEBIEGI_NA_KLATKE_GIF == 0) {
    std::vector<uint8_t> rgba((size_t)width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    czas_odczytu += std::chrono::duration<double>(Zegar::now() - t0).count();
    if (przebiegi - zapisane == 1) klatka_wzorcowa(rgba);
    koder_klatka(std::move(rgba));
    klatki++;
  }
  if (FSOUND_Render(pcm.data(), PROBKI_NA_KLATKE)) koder_dzwiek(pcm.data(), PROBKI_NA_KLATKE);
  zapisz_wybuch();
}

// The line over the window's picture, drawn after it was read back.
void linia_postepu() {
  char b[64];
  snprintf(b, sizeof b, "VIDEO %3d%%  ESC:CANCEL", przebiegi > 0 ? (int)(100 * zapisane / przebiegi) : 100);
  napis_z_podkladem(10, 40, b, 0, 1.0f, 0.85f, 0.0f);
}

}  // namespace

int slowo_wideo(int argc, char **argv, int *i) {
  if (strcmp(argv[*i], "--video") != 0) return 0;
  if (*i + 2 >= argc || !argv[*i + 1] || !argv[*i + 2]) {
    fputs("brixel: --video needs a recording and the video file to write (brixel --help)\n", stderr);
    return -1;
  }
  z_wiersza_nagranie = argv[*i + 1];
  z_wiersza_plik = argv[*i + 2];
  *i += 2;
  return 1;
}

int sprawdz_wideo_z_wiersza(bool inne_odtwarzanie) {
  if (!z_wiersza_nagranie) return -1;
  if (inne_odtwarzanie) {
    fputs("brixel: --video goes with neither --replay nor --demo (brixel --help)\n", stderr);
    return 1;
  }
  std::string blad;
  int odczyt = wczytaj_nagranie(z_wiersza_nagranie, &nagranie_z_wiersza, &blad);
  if (odczyt == 1) {
    fprintf(stderr, "brixel: cannot read %s (%s)\n", z_wiersza_nagranie, strerror(errno));
    return 1;
  }
  if (odczyt != 0) {
    fprintf(stderr, "brixel: %s cannot be replayed: %s\n", z_wiersza_nagranie, blad.c_str());
    return 1;
  }
  blad = przygotuj_plik(z_wiersza_plik);
  if (!blad.empty()) {
    fprintf(stderr, "brixel: %s: %s; no video written\n", z_wiersza_plik, blad.c_str());
    return 1;
  }
  FSOUND_Loopback(CZESTOSC_DZWIEKU);
  return -1;
}

void zacznij_wideo_z_wiersza() {
  if (!z_wiersza_nagranie) return;
  z_wiersza_nagranie = nullptr;
  std::string blad;
  if (!zacznij(nagranie_z_wiersza, true, &blad)) {
    std::string k = "brixel: " + cel + ": " + blad + "; no video written\n";
    zakoncz_z_bledem(k.c_str());
  }
}

int przebiegi_wideo() {
  if (!trwa) return -1;
  for (;;) {
    // Escape stops the replay; closing the window or a signal ends the program.
    if (!odtwarzanie || done) {
      skoncz("cancelled");
      return 0;
    }
    long long k = przebiegi_odtworzone();
    if (k > zapisane) {
      zapisz_klatke();
      zapisane = k;
    }
    if (koder_zawiodl()) {
      skoncz("");   // closing the encoder gives the reason (a full disk, ...)
      return 0;
    }
    if (wiersz) wypisz_postep(false);
    if (zapisane >= przebiegi) {
      skoncz("");
      return 0;
    }
    linia_postepu();
    SDL_GL_SwapBuffers();
    auto t0 = Zegar::now();
    przebieg(nullptr);
    czas_przebiegow += std::chrono::duration<double>(Zegar::now() - t0).count();
  }
}

std::string wideo_z_tabeli(const WpisTabeli &w) {
  Nagranie n;
  std::string blad;
  if (w.nagranie.empty() || wczytaj_nagranie(w.nagranie.c_str(), &n, &blad) != 0) return "NO RECORDING";
  // The videos folder as xdg-user-dir gives it, or the working folder.
  std::string folder_filmow = ".";
  if (FILE *p = popen("xdg-user-dir VIDEOS 2>/dev/null", "r")) {
    char b[4096] = "";
    if (fgets(b, sizeof b, p)) {
      b[strcspn(b, "\n")] = '\0';
      struct stat st;
      // xdg-user-dir gives the home folder when no videos folder is set.
      const char *dom = getenv("HOME");
      bool domowy = dom && strcmp(b, dom) == 0;
      if (b[0] == '/' && !domowy && stat(b, &st) == 0 && S_ISDIR(st.st_mode)) folder_filmow = b;
    }
    pclose(p);
  }
  char nazwa[96];
  time_t czas = (time_t)w.czas;
  struct tm czesci;
  char data[32] = "game";
  if (localtime_r(&czas, &czesci)) strftime(data, sizeof data, "%y%m%d-%H%M", &czesci);
  snprintf(nazwa, sizeof nazwa, "%s-%d.mp4", data, w.wynik);   // short enough for the screen
  std::string b = przygotuj_plik(folder_filmow + "/" + nazwa);
  if (!b.empty()) {
    fprintf(stderr, "brixel: %s/%s: %s; no video written\n", folder_filmow.c_str(), nazwa, b.c_str());
    return "VIDEO FAILED";
  }
  if (!przelacz_dzwiek(true)) {
    usun_tymczasowy();
    fputs("brixel: OpenAL Soft has no loopback device; no video written\n", stderr);
    return "VIDEO FAILED";
  }
  if (!zacznij(n, false, &b)) {
    usun_tymczasowy();
    przelacz_dzwiek(false);
    fprintf(stderr, "brixel: %s: %s; no video written\n", cel.c_str(), b.c_str());
    return "VIDEO FAILED";
  }
  return "";
}

std::string wideo_uwaga() {
  std::string u = uwaga;
  uwaga.clear();
  return u;
}
