// A recording stand-in for the sound library: every call the game makes is
// kept in order, so tests can check which samples start and stop.
#ifndef BRIXEL_FSOUND_ZAPIS_H
#define BRIXEL_FSOUND_ZAPIS_H

#include <string>
#include <vector>

// One recorded call: "play <file>", "stop <channel>", "load <file>", "loop <file>",
// "free <file>", "init", "close".
extern std::vector<std::string> wywolania_dzwieku;

// The files started since the log was last cleared, with "STOP" for each stop-all.
std::vector<std::string> zagrane();
void wyczysc_zapis();

#endif
