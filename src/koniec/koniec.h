// The program's end when it is asked to end, and a start that cannot hang.
//
// A session manager's logout, `kill`, or Ctrl+C in a terminal send SIGTERM or
// SIGINT and wait. From pilnuj_konca on, at the very start of the program,
// both are taken by a guard thread of their own, never by SDL's handlers
// (which turn them into a quit event that SDL may drop while it starts or
// re-creates the window). Then:
// - the main loop sees prosba_o_koniec() on its next pass and ends as at any
//   quit event: the pass completes, the shutdown runs, status 0;
// - if the program has not ended 0.5 s after the signal (stuck in the window
//   system, or still starting), the guard ends it with status 0 itself,
//   after letting a file write in progress finish (up to 0.25 s more);
// - a window that is being made (okno_w_budowie) and is not there after 10 s
//   ends the program with "Couldn't show the window: ..." and status 1.
// The two signals are blocked in every thread of the program (threads inherit
// it), so that they reach no handler of a library; a forked child gets them
// unblocked again before it runs.
//
// Test hook: BRIXEL_STALL_WINDOW=SECONDS makes every window's making wait
// that long first, as a display that does not answer would.
#ifndef BRIXEL_KONIEC_H
#define BRIXEL_KONIEC_H

// Blocks SIGTERM and SIGINT and starts the guard. Call once, before any other
// thread is started. Without it nothing here acts (the tests' own passes).
void pilnuj_konca();
// A signal asked the program to end.
bool prosba_o_koniec();
// Around the making of a window: true before, false once it is there.
void okno_w_budowie(bool w_budowie);
// Around a write of a file that must not be cut short: the guard waits for it.
void zapis_w_toku(bool w_toku);

// The guard's limits, in milliseconds.
enum { KONIEC_PO_SYGNALE_MS = 500, KONIEC_ZAPISU_MS = 250, LIMIT_OKNA_MS = 10000 };
extern const char *const KOMUNIKAT_OKNA;

#endif
