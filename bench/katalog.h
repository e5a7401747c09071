// A benchmark's start: its own working directory, and the game started in it.
#ifndef BRIXEL_BENCH_KATALOG_H
#define BRIXEL_BENCH_KATALOG_H

#include "shell/shell.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// A new folder under /tmp with the game's data linked in (from
// BRIXEL_BENCH_DATA, else the build's) and the config.cfg given; the process
// moves into it. Returns its path; ends the process with status 2 when the
// folder cannot be made or entered.
inline std::string katalog_benchmarku(const char *nazwa, const char *config) {
  std::string wzor = std::string("/tmp/brixel-") + nazwa + "-XXXXXX";
  if (!mkdtemp(&wzor[0])) {
    perror("mkdtemp");
    exit(2);
  }
  const char *dane = getenv("BRIXEL_BENCH_DATA");
  std::string zrodlo = dane ? dane : BRIXEL_DATA_DIR;
  for (const char *d : {"gfx", "sfx", "music"}) {
    std::string cel = zrodlo + "/" + d, link = wzor + "/" + d;
    if (symlink(cel.c_str(), link.c_str()) != 0) perror("symlink");
  }
  std::ofstream(wzor + "/config.cfg") << config;
  if (chdir(wzor.c_str()) != 0) {
    perror("chdir");
    exit(2);
  }
  return wzor;
}

// The game's start-up in the working directory, as the program's own; ends
// the process with status 2 when it fails.
inline void wystartuj_gre() {
  char nazwa[] = "brixel";
  char *argv[] = {nazwa, nullptr};
  if (start_programu(1, argv) != -1) {
    fprintf(stderr, "start-up failed\n");
    exit(2);
  }
}

#endif
