// The recording build's hooks around one pass (gl_zapis.cpp).
#ifndef BRIXEL_BENCH_ZAPIS_H
#define BRIXEL_BENCH_ZAPIS_H

#include "bench_scene.h"

void zacznij_nagrywanie();
void skoncz_nagrywanie(std::vector<Czworokat> &q, Liczniki &l);

#endif
