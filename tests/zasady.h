// Helpers shared by the tests of the game rules and the sound cues: they run the
// real program pass by pass in a tiny viewport with the recording sound stand-in.
#ifndef BRIXEL_ZASADY_H
#define BRIXEL_ZASADY_H

#include "harness.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

using Komorki = std::set<std::pair<int, int>>;
using Dzwieki = std::vector<std::string>;

// 640 x 480, low detail, no wall: the settings these tests start from.
extern const char *const KONFIG;

// A working directory with KONFIG and the program started (once per binary).
void uruchom_do_zasad();

int &pole(int x, int y);           // well entry (x, y)
Komorki zajete();                  // occupied cells of columns 1-10, rows 1-20
void pelny_wiersz(int y);          // fills row y of the ten playing columns
// A shape as the player sees it: rows from the top joined by '/'.
std::string ksztalt(int s);

// n passes with the keys held. The rules do not depend on the picture: a 4 x 4
// viewport keeps the passes quick (a re-created window sets it back, so it is
// set before every pass).
void przebiegi(int n, std::initializer_list<int> klawisze = {});
// One pass with the keys held; the sounds it started.
Dzwieki przebieg_z(std::initializer_list<int> klawisze = {});
// One pass with the key held and one with it up; the sounds of the first.
Dzwieki wcisnij(int klawisz);
// Return on GAME, then the pass that spawns the first piece at row anchor 0.
void start_gry();
int ile_razy(const Dzwieki &d, const std::string &nazwa);
// Game over by the real rules: a square locks on the floor in columns 1 and 2
// and the next one has no room, column 5 being filled up to row 2. The record
// is kept; the window is re-created.
void koniec_gry();

// The game's state that determinism is judged by: the well, the piece, the
// shapes, score, level, rows and the bonus counters.
std::vector<long long> stan_gry();

// Before each test: config.cfg rewritten from KONFIG (a game over or Escape on
// the options may have rewritten or re-read it), the start state, the given
// seed and an empty sound record.
void przygotuj_test(unsigned ziarno);
// Shuts the program down, so that no GL thread is left at exit.
void zakoncz_testy();

// The fixture of the rule and cue tests, seeded with ZIARNO.
template <unsigned ZIARNO>
class TestZasad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { uruchom_do_zasad(); }
  static void TearDownTestSuite() { zakoncz_testy(); }
  void SetUp() override { przygotuj_test(ZIARNO); }
};

#endif
