// The program's entry: SDL 1.2 has no entry glue on Linux, so main hands the
// command line to SDL_main and ends with its result.
#include "shell/shell.h"

int main(int argc, char **argv) { return SDL_main(argc, argv); }
