// A recording saved as a video file: `brixel --video RECORDING OUT`, and V on
// the screen of best games.
//
// Contract. The recording is played as a replay is, through the real pass, one
// pass a frame and no waiting between them. After every pass the frame is read
// back (glReadPixels) at the game's picture size from config.cfg, and the sound
// of that pass (1/60 s) is mixed by OpenAL Soft's loopback device, so that the
// picture and the sound stay in step to the frame; no sound card is opened.
// An encoder thread of its own beside the rendering turns them into OUT, by its
// extension: .mp4 H.264 and AAC, .webm VP8 and Opus, .gif 480 pixels wide at 20
// frames a second without sound (every third pass, the last one included). The
// video has a frame a pass (60 a second) and ends on the game's final well.
// The file is written as a temporary file in OUT's folder and renamed over OUT
// at the end; an existing OUT is replaced only when it is a regular file.
// Anything that goes wrong (a recording missing or of other rules, an unknown
// extension, an output that cannot be written, a full disk, Escape) leaves no
// file behind: the command line then ends with a message and status 1.
// Nothing stored changes: the replay writes no config.cfg, record or entry.
#ifndef BRIXEL_WIDEO_H
#define BRIXEL_WIDEO_H

#include <cstdint>
#include <string>
#include <vector>

struct Nagranie;
struct WpisTabeli;

// ---- The export (wideo.cpp) ----

// The command line's `--video RECORDING OUT` at argv[*i]: 0 not this word, 1
// taken (*i moved past its files), -1 refused with a message (status 1).
int slowo_wideo(int argc, char **argv, int *i);
// Once the whole command line is read: the recording read and OUT checked, a
// temporary file made, the sound set to the loopback device. -1 nothing to do
// or all well, 1 refused with a message.
int sprawdz_wideo_z_wiersza(bool inne_odtwarzanie);
// From po_starcie: the export of the command line begins.
void zacznij_wideo_z_wiersza();
// The main loop's hook (dodatkowe_przebiegi): while an export runs, it runs
// the passes itself, frame after frame, to its end. -1 when none runs.
int przebiegi_wideo();

// The screen of best games: the entry saved as a video in the player's videos
// folder. Returns the line to show at once ("" none). wideo_uwaga gives the
// line to show when the export has ended (the file's name, or why not).
std::string wideo_z_tabeli(const WpisTabeli &w);
std::string wideo_uwaga();

// ---- The encoder (koder.cpp, the module brixel-video.so) ----
// The game loads the module beside its own program file at the first export
// (zaladuj.cpp); the calls below go through its table.

enum { RODZAJ_MP4 = 0, RODZAJ_WEBM, RODZAJ_GIF, RODZAJ_ZADEN };
// The kind of file that a name's extension asks for (RODZAJ_ZADEN none).
int rodzaj_pliku(const std::string &nazwa);

const int CZESTOSC_DZWIEKU = 48000;          // the loopback device's rate
const int PROBKI_NA_KLATKE = 48000 / 60;     // stereo frames of sound a pass
const int PRZEBIEGI_NA_KLATKE_GIF = 3;       // 20 frames a second

// Opens the encoder writing `plik` (the temporary file) for w x h frames.
// False with the reason in blad.
bool otworz_koder(const char *plik, int rodzaj, int w, int h, std::string *blad);
// A frame read back (w x h RGBA, bottom row first), handed over; waits while
// the thread is behind by a few frames.
void koder_klatka(std::vector<uint8_t> &&rgba);
// A pass's sound, PROBKI_NA_KLATKE interleaved stereo frames (ignored by GIF).
void koder_dzwiek(const short *pcm, int ramki);
// Ends the file: what is queued encoded, the encoders emptied, the trailer
// written and the file closed. False with the reason when anything failed.
bool zamknij_koder(std::string *blad);
// Drops everything (the file is left to the caller to remove).
void przerwij_koder();
// True once a write or an encoding failed (the reason comes with zamknij_koder).
bool koder_zawiodl();
// Seconds the thread spent converting and encoding, and the main thread
// waiting for it.
double czas_kodera();
double czas_czekania();
// Loads the module when it is not loaded yet. False with the reason in blad.
bool zaladuj_koder(std::string *blad);

// The module's table: brixel_koder() in brixel-video.so returns it.
const int WERSJA_KODERA = 1;   // raised whenever the table or a call changes
struct WywolaniaKodera {
  int wersja;
  bool (*otworz)(const char *plik, int rodzaj, int w, int h, std::string *blad);
  void (*klatka)(std::vector<uint8_t> &&rgba);
  void (*dzwiek)(const short *pcm, int ramki);
  bool (*zamknij)(std::string *blad);
  void (*przerwij)();
  bool (*zawiodl)();
  double (*czas_kodera)();
  double (*czas_czekania)();
};

#endif
