// The computer's strengths. HARD is the computer as it plays alone. EASY and
// MEDIUM are weak as a person is: after each new piece they wait a reaction
// time before the first key, then press at a limited rate, and now and then
// they misjudge a piece, aiming it a column or more off the planner's choice.
// Every such draw comes from a generator of their own (xorshift), seeded with
// the race, so the game's rand() sequence stays the game's.
#include "versus/versus.h"
#include "computer/computer.h"
#include "game/game.h"
#include "shell/shell.h"

#include <cstring>

const char *const nazwy_sil[LICZBA_SIL] = {"EASY", "MEDIUM", "HARD"};

namespace {

struct Slabosc {
  int reakcja;     // passes after a new piece before the first key
  int odstep;      // passes from one key press to the next, at least
  int pomylki;     // pieces misjudged, per thousand
  int rozrzut;     // columns a misjudged piece is off, at most
};
// Measured with brixel_bench_versus strengths (20 seeds; the README has the tables).
const Slabosc SLABOSCI[LICZBA_SIL] = {{27, 6, 165, 2}, {22, 4, 100, 2}, {0, 0, 0, 0}};

int sila = SILA_PELNA;
uint32_t los = 1;
Plan plan, cel;
bool jest_plan = false;
int spawny = -1;           // the piece the reaction and the aim were drawn for
int czeka = 0;             // reaction passes left
int przesuniecie = 0;      // columns the aim is off for this piece
int od_klawisza = 1000;    // passes since the last key press

uint32_t losuj() {
  los ^= los << 13;
  los ^= los >> 17;
  los ^= los << 5;
  return los;
}

}  // namespace

void zacznij_sile(int s, uint32_t ziarno) {
  sila = s >= 0 && s < LICZBA_SIL ? s : SILA_PELNA;
  los = ziarno * 2654435761u + 0x9e3779b9u;
  if (los == 0) los = 1;
  jest_plan = false;
  spawny = -1;
  czeka = 0;
  przesuniecie = 0;
  od_klawisza = 1000;
}

void klawisze_sily(Uint8 *k) {
  if (sila == SILA_PELNA) {
    klawisze_komputera(k);
    return;
  }
  const Slabosc &w = SLABOSCI[sila];
  od_klawisza++;
  Chwila c;
  if (!chwila_z_gry(&c)) {
    jest_plan = false;
    return;
  }
  if (c.spawny != spawny) {
    spawny = c.spawny;
    czeka = w.reakcja / 2 + (int)(losuj() % (uint32_t)(w.reakcja + 1));
    przesuniecie = 0;
    if ((int)(losuj() % 1000) < w.pomylki) {
      przesuniecie = 1 + (int)(losuj() % (uint32_t)w.rozrzut);
      if (losuj() & 1) przesuniecie = -przesuniecie;
    }
  }
  if (czeka > 0) {
    czeka--;
    return;
  }
  if (!jest_plan || !plan_aktualny(plan, c)) {
    plan = zaplanuj(c);
    cel = plan;
    cel.cel_x += przesuniecie;
    jest_plan = true;
  }
  int kl = klawisze_planu(c, cel);
  if (kl < 0) kl = klawisze_planu(c, plan);
  if (kl <= 0) return;
  if (od_klawisza < w.odstep) return;
  od_klawisza = 0;
  k[KLAWISZ_DOL] = (kl & KOMP_DOL) != 0;
  k[KLAWISZ_GORA] = (kl & KOMP_GORA) != 0;
  k[KLAWISZ_LEWO] = (kl & KOMP_LEWO) != 0;
  k[KLAWISZ_PRAWO] = (kl & KOMP_PRAWO) != 0;
}
