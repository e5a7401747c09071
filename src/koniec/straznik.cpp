// The guard thread: SIGTERM and SIGINT, the grace before a forced end, and the
// limit on a window's making.
#include "koniec/koniec.h"

#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#endif

const char *const KOMUNIKAT_OKNA =
    "Couldn't show the window: the display gave no window within 10 seconds; BRIXEL ends\n";

static std::atomic<bool> pilnowany{false};
static std::atomic<bool> prosba{false};
static std::atomic<long long> termin_okna{0};   // ms of the monotonic clock; 0: no window being made
static std::atomic<int> zapisy{0};               // file writes in progress
static long long mnoznik = 1;                    // the limits stretched under valgrind, which runs ~20x slower

static long long teraz_ms() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

static void uspij_ms(long long ms) {
  timespec t = {(time_t)(ms / 1000), (long)(ms % 1000) * 1000000};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
}

// Ends the process, once a write in progress has finished (or its time is up).
[[noreturn]] static void zakoncz(int status, const char *komunikat) {
  long long koniec_zapisu = teraz_ms() + KONIEC_ZAPISU_MS * mnoznik;
  while (zapisy.load() > 0 && teraz_ms() < koniec_zapisu) uspij_ms(5);
  if (komunikat) {
    ssize_t n = write(2, komunikat, strlen(komunikat));
    (void)n;
  }
  _exit(status);
}

static sigset_t sygnaly_konca() {
  sigset_t s;
  sigemptyset(&s);
  sigaddset(&s, SIGTERM);
  sigaddset(&s, SIGINT);
  return s;
}

static void *straznik(void *) {
  sigset_t s = sygnaly_konca();
  long long termin_konca = 0;   // when the program is ended for the signal
  for (;;) {
    // Asleep until a signal, the next deadline, or a second at most: a window
    // begun meanwhile is seen within a second and its deadline kept exactly.
    long long t = teraz_ms(), czekaj = 1000;
    long long okno = termin_okna.load();
    if (okno && okno - t < czekaj) czekaj = okno - t;
    if (termin_konca && termin_konca - t < czekaj) czekaj = termin_konca - t;
    if (czekaj < 0) czekaj = 0;
    timespec limit = {(time_t)(czekaj / 1000), (long)(czekaj % 1000) * 1000000};
    int sygnal = sigtimedwait(&s, nullptr, &limit);
    t = teraz_ms();
    if (sygnal == SIGTERM || sygnal == SIGINT) {
      prosba.store(true);
      if (!termin_konca) termin_konca = t + KONIEC_PO_SYGNALE_MS * mnoznik;
    }
    if (termin_konca && t >= termin_konca) zakoncz(0, nullptr);
    okno = termin_okna.load();
    if (okno && t >= okno && !termin_konca) zakoncz(1, KOMUNIKAT_OKNA);
  }
  return nullptr;
}

// A forked child is a program of its own: it gets the signals back.
static void w_dziecku() {
  sigset_t s = sygnaly_konca();
  pthread_sigmask(SIG_UNBLOCK, &s, nullptr);
}

void pilnuj_konca() {
  if (pilnowany.load()) return;
  if (RUNNING_ON_VALGRIND) mnoznik = 20;
  sigset_t s = sygnaly_konca();
  if (pthread_sigmask(SIG_BLOCK, &s, nullptr) != 0) return;
  pthread_attr_t a;
  pthread_attr_init(&a);
  pthread_attr_setdetachstate(&a, PTHREAD_CREATE_DETACHED);
  pthread_attr_setstacksize(&a, 64 * 1024);
  pthread_t watek;
  bool jest = pthread_create(&watek, &a, straznik, nullptr) == 0;
  pthread_attr_destroy(&a);
  if (!jest) {
    // No guard: the signals keep their default action.
    pthread_sigmask(SIG_UNBLOCK, &s, nullptr);
    return;
  }
  pthread_atfork(nullptr, nullptr, w_dziecku);
  pilnowany.store(true);
}

bool prosba_o_koniec() { return prosba.load(); }

void okno_w_budowie(bool w_budowie) {
  if (!pilnowany.load()) return;
  if (!w_budowie) {
    termin_okna.store(0);
    return;
  }
  termin_okna.store(teraz_ms() + LIMIT_OKNA_MS * mnoznik);
  // The test hook: a display that takes this long to give a window.
  if (const char *zwloka = getenv("BRIXEL_STALL_WINDOW")) {
    double s = atof(zwloka);
    if (s > 0 && s < 3600) uspij_ms((long long)(s * 1000));
  }
}

void zapis_w_toku(bool w_toku) {
  if (w_toku) zapisy.fetch_add(1);
  else zapisy.fetch_sub(1);
}
