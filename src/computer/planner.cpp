// The computer's planning: the pass's rules up to its keys worked out on
// copies, every turn and column played key by key against the fall, and the
// landings weighed with the next piece placed after them. Nothing here writes
// the game's state or draws a random number.
#include "computer/computer.h"
#include "game/game.h"
#include "ghost/ghost.h"
#include "shell/shell.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// ---- The well and the piece as the rules see them ----

static const int W = STUDNIA_WIERSZE;

// The box after one turn of Up: cell (i, j) goes to (n-1-j, i).
static void obroc(const int *z, int n, int *wynik) {
  int t[16] = {0};
  for (int i = 0; i < n; i++)
    for (int j = 0; j < n; j++)
      if (z[i * 4 + j]) t[(n - 1 - j) * 4 + i] = 1;
  memcpy(wynik, t, sizeof t);
}

static bool te_same(const int *a, const int *b) { return memcmp(a, b, 16 * sizeof(int)) == 0; }

// Writes the locked piece into w as the lock does: the single cell packs its
// column (zapadanie), any other shape is written cell by cell.
static void zablokuj_w(int *w, int s, const int *z, int x, int y) {
  if (s == 7) {
    int c = x - 1;
    if (c < 1 || c > 10) return;
    int ile = 1;
    for (int r = 1; r <= 20; r++) ile += w[c * W + r] != 0;
    for (int r = 20; r >= 1; r--, ile--) w[c * W + r] = ile > 0;
    return;
  }
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) {
      int c = x - 1 + i, r = y + j;
      if (z[i * 4 + j] && c >= 1 && c <= 10 && r >= 1 && r <= 20) w[c * W + r] = 1;
    }
}

// The start of a pass: the top row emptied, then the full rows removed as the
// row scan removes them. Returns the rows removed.
static int poczatek_przebiegu(int *w) {
  for (int x = 1; x <= 10; x++) w[x * W + 1] = 0;
  int usuniete = 0;
  for (int r = 20; r >= 1;) {
    int ile = 0;
    for (int x = 1; x <= 10; x++) ile += w[x * W + r] != 0;
    if (ile != 10) {
      r--;
      continue;
    }
    usuniete++;
    for (int q = r; q >= 2; q--)
      for (int x = 1; x <= 10; x++) w[x * W + q] = w[x * W + q - 1];
    if (r == 1) break;
  }
  return usuniete;
}

// ---- The well as rows of bits: bit c-1 of a row is column c ----

static const unsigned PELNY = 0x3ff;

// Set bits of a row (without relying on a popcount instruction).
static inline int bitow(unsigned v) {
  v = v - ((v >> 1) & 0x5555u);
  v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
  v = (v + (v >> 4)) & 0x0f0fu;
  return (int)((v + (v >> 8)) & 0x1fu);
}

static void wiersze_z(const int *w, uint16_t *wiersze) {
  for (int r = 0; r <= 20; r++) {
    unsigned b = 0;
    for (int c = 1; c <= 10; c++)
      if (w[c * W + r]) b |= 1u << (c - 1);
    wiersze[r] = (uint16_t)b;
  }
}

static void studnia_z(const uint16_t *wiersze, int *w) {
  for (int x = 0; x < STUDNIA_KOLUMNY; x++)
    for (int r = 0; r < W; r++) w[x * W + r] = x == 0 || x == 11 || r == 0 || (wiersze[r] >> (x - 1) & 1);
}

// Both wells of c as bits, and whether they differ.
static void dokoncz_chwile(Chwila *c) {
  wiersze_z(c->studnia, c->wiersze);
  wiersze_z(c->potem, c->wiersze_potem);
  c->rozne = memcmp(c->wiersze, c->wiersze_potem, sizeof c->wiersze) != 0;
}

bool chwila_z_gry(Chwila *c) {
  if (gameini || wtopa || pauza != 0 || !kloc) return false;
  memcpy(c->studnia, studnia, sizeof c->studnia);
  int rozw = rozwalone + poczatek_przebiegu(c->studnia);
  c->speed = speed;
  c->s = jaki;
  c->klasyczny = klasyczny != 0;
  if (rozw > 19) {
    // A level completed: the fall quickens, the piece becomes the single cell.
    rozw = 0;
    c->speed -= 5;
    if (!c->klasyczny) c->s = 7;
  }
  memcpy(c->ksztalt, &klocek[c->s * 16], sizeof c->ksztalt);
  c->x = xk;
  c->y = yk;
  c->obrot = obrot;
  c->lewo = left;
  c->prawo = right;
  c->dol = dp;
  c->niepewna = klawiatura_niepewna;
  c->nastepny = nastepny;
  c->spawny = doskull;
  c->gamespeed = gamespeed + 1;
  int n = ilema[c->s];
  if (c->gamespeed > c->speed) {
    if (spoczywa(c->studnia, c->ksztalt, n, c->x, c->y)) {
      // The gravity step locks the piece; the next one comes at row anchor 1
      // and meets this well, its full rows still in it, until the next pass.
      zablokuj_w(c->studnia, c->s, c->ksztalt, c->x, c->y);
      c->s = nastepny;
      memcpy(c->ksztalt, &klocek[c->s * 16], sizeof c->ksztalt);
      c->x = 6;
      c->y = 0;
      if (spoczywa(c->studnia, c->ksztalt, ilema[c->s], c->x, c->y)) return false;   // game over
      c->y = 1;
      c->gamespeed = 0;
      c->dol = 1;
      c->nastepny = -1;
      c->spawny++;
      memcpy(c->potem, c->studnia, sizeof c->potem);
      int z = poczatek_przebiegu(c->potem);
      if (rozw + z > 19) {
        // The next pass turns it into the single cell: wait for that.
        if (!c->klasyczny) return false;
        c->speed -= 5;
        rozw = 0;
      } else {
        rozw += z;
      }
      c->rozwalone = rozw;
      dokoncz_chwile(c);
      return true;
    }
    c->gamespeed = 0;
    c->y++;
  }
  memcpy(c->potem, c->studnia, sizeof c->potem);
  c->rozwalone = rozw;
  dokoncz_chwile(c);
  return true;
}

// ---- Playing a plan key by key ----

// A piece's four orientations as Up turns it, from the one it has now, and
// the turns from each that give the look of each (a square never needs one).
struct Obroty {
  int s, n;
  int z[4][16];
  int do_[4][4];
  int komorki[4][9], ile[4];   // each orientation's cells, as i*4 + j
  unsigned wiersz[4][4];       // each orientation's rows j as bits of its box columns i
};

static void obroty_z(int s, const int *z, Obroty *o) {
  o->s = s;
  o->n = ilema[s];
  memcpy(o->z[0], z, sizeof o->z[0]);
  for (int k = 1; k < 4; k++) obroc(o->z[k - 1], o->n, o->z[k]);
  for (int u = 0; u < 4; u++) {
    o->ile[u] = 0;
    for (int j = 0; j < 4; j++) o->wiersz[u][j] = 0;
    for (int e = 0; e < 16; e++)
      if (o->z[u][e]) {
        if (o->ile[u] < 9) o->komorki[u][o->ile[u]++] = e;
        o->wiersz[u][e % 4] |= 1u << (e / 4);
      }
  }
  for (int u = 0; u < 4; u++)
    for (int cel = 0; cel < 4; cel++) {
      int k = 0;
      while (k < 3 && !te_same(o->z[(u + k) & 3], o->z[cel])) k++;
      o->do_[u][cel] = k;
    }
}

static int obrotow(const Obroty &o, int u, int cel) { return o.do_[u][cel]; }

// Orientation u at (x, y) meets an occupied entry, as the rules test moves and
// turns, in the well whose rows 1-20 are wiersze: the walls, row 0, and by
// the index rule everything outside the columns 0-11 and under row 20 (row 21
// is the next column's row 0; a piece, its rows unbroken, reaches row 22 only
// through row 21) are occupied.
static bool koliduje(const uint16_t *wiersze, const Obroty &o, int u, int x, int y) {
  for (int j = 0; j < 4; j++) {
    unsigned m = o.wiersz[u][j];
    if (!m) continue;
    int r = y + j;
    if (r > 20 || r < 0) return true;
    if (x - 1 < 0) {
      if (m & ((1u << (1 - x)) - 1)) return true;
      m >>= 1 - x;
    } else {
      m <<= x - 1;
    }
    unsigned wiersz = r == 0 ? 0xfffu : ((unsigned)wiersze[r] << 1) | 0x801u;
    if (m & (~0xfffu | wiersz)) return true;
  }
  return false;
}

struct Stan {
  int u, x, y, g;
  int obrot, lewo, prawo, dol, niepewna;
};

static Stan stan_z(const Chwila &c) {
  return {0, c.x, c.y, c.gamespeed, c.obrot, c.lewo, c.prawo, c.dol, c.niepewna};
}

// The keys of the steering, the same in planning and in play: turn while the
// box is not the goal's, move toward its column, each key pressed only when
// its latch is clear (so that it acts); Down once both are reached, and at row
// anchor 0, where nothing else can act.
static int klawisze_celu(const Obroty &o, const Stan &t, int cel_u, int cel_x) {
  int k = 0;
  bool obrocony = obrotow(o, t.u, cel_u) == 0;
  if (!obrocony && t.obrot == 0) k |= KOMP_GORA;
  if (t.x > cel_x && t.lewo == 0) k |= KOMP_LEWO;
  if (t.x < cel_x && t.prawo == 0) k |= KOMP_PRAWO;
  if (((obrocony && t.x == cel_x) || t.y == 0) && t.dol == 0) k |= KOMP_DOL;
  return k;
}

// The piece is not where the steering goes, and no turn or move it wants can
// act where it is.
static bool utknal(const uint16_t *b, const Obroty &o, const Stan &t, int cel_u, int cel_x) {
  if (obrotow(o, t.u, cel_u) != 0 && !koliduje(b, o, (t.u + 1) & 3, t.x, t.y)) return false;
  if (t.x != cel_x && !koliduje(b, o, t.u, t.x + (t.x > cel_x ? -1 : 1), t.y)) return false;
  return obrotow(o, t.u, cel_u) != 0 || t.x != cel_x;
}

// The landing row (the ghost piece's) of orientation u from (x, y) in the
// well of the later passes. The rows the piece's columns hold empty below it
// are skipped first: no cell of the piece can rest before its lowest one is
// over the first occupied of them.
static int ladowanie(const Chwila &c, const Obroty &o, int u, int x, int y) {
  unsigned kolumny = 0;
  int najnizej = 0;
  for (int k = 0; k < o.ile[u]; k++) {
    int e = o.komorki[u][k], b = x - 2 + e / 4;
    if (b >= 0 && b <= 9) kolumny |= 1u << b;
    najnizej = std::max(najnizej, e % 4);
  }
  int pierwszy = y + 1;
  while (pierwszy <= 20 && !(c.wiersze_potem[pierwszy] & kolumny)) pierwszy++;
  return wiersz_ladowania(c.potem, o.z[u], o.n, x, std::max(y, pierwszy - najnizej - 1));
}

struct Koniec {
  int u, x, y;
  bool w_pierwszym;   // locked by the keys of the first pass, in c.studnia
};

// Passes a plan is followed at most; gravity locks every piece long before.
static const int NAJWIECEJ_PRZEBIEGOW = 4000;

// Plays the steering toward (cel_u, cel_x) pass by pass from c, as the rules
// would run it, to the lock.
static Koniec zagraj(const Chwila &c, const Obroty &o, int cel_u, int cel_x) {
  Stan t = stan_z(c);
  for (int p = 0; p < NAJWIECEJ_PRZEBIEGOW; p++) {
    const int *w = p == 0 ? c.studnia : c.potem;
    const uint16_t *b = p == 0 ? c.wiersze : c.wiersze_potem;
    const Stan przed = t;
    bool na_miejscu = obrotow(o, t.u, cel_u) == 0 && t.x == cel_x;
    if (na_miejscu && (p > 0 || !c.rozne)) {
      // Only Down from here on, and gravity: straight down to the landing row.
      return {t.u, t.x, ladowanie(c, o, t.u, t.x, t.y), false};
    }
    int k = klawisze_celu(o, t, cel_u, cel_x);
    // The keys in the rules' order: Down, Up, Left, Right.
    if (k & KOMP_DOL) {
      if (spoczywa(w, o.z[t.u], o.n, t.x, t.y)) return {t.u, t.x, t.y, p == 0};
      t.y++;
      t.g = 0;
    }
    if (k & KOMP_GORA) {
      t.obrot = 1;
      int nu = (t.u + 1) & 3;
      if (!koliduje(b, o, nu, t.x, t.y)) t.u = nu;
    }
    if (k & KOMP_LEWO) {
      t.lewo = 1;
      if (!koliduje(b, o, t.u, t.x - 1, t.y)) t.x--;
    }
    if (k & KOMP_PRAWO) {
      t.prawo = 1;
      if (!koliduje(b, o, t.u, t.x + 1, t.y)) t.x++;
    }
    bool bez_zmian = t.u == przed.u && t.x == przed.x && t.y == przed.y;
    if (t.niepewna == 0) {
      if (!(k & KOMP_DOL)) t.dol = 0;
      if (!(k & KOMP_GORA)) t.obrot = 0;
      if (!(k & KOMP_LEWO)) t.lewo = 0;
      if (!(k & KOMP_PRAWO)) t.prawo = 0;
    } else {
      t.niepewna--;
    }
    if (bez_zmian && t.niepewna == 0 && t.y > 0 && t.g < c.speed && utknal(c.wiersze_potem, o, t, cel_u, cel_x)) {
      // Nothing can act until gravity moves the piece: the passes up to that
      // fall only press and let go of the same keys in turn.
      int ile = c.speed - t.g;
      if (ile % 2) {
        if (obrotow(o, t.u, cel_u) != 0) t.obrot ^= 1;
        if (t.x > cel_x) t.lewo ^= 1;
        if (t.x < cel_x) t.prawo ^= 1;
      }
      t.g = c.speed;
    }
    // The next pass's gravity step.
    if (++t.g > c.speed) {
      if (spoczywa(c.potem, o.z[t.u], o.n, t.x, t.y)) return {t.u, t.x, t.y, false};
      t.g = 0;
      t.y++;
    }
  }
  return {t.u, t.x, ladowanie(c, o, t.u, t.x, t.y), false};
}

// ---- Weighing a well ----

// Weights of the features (a well-known choice for this kind of game, tuned
// by others by machine learning), in thousandths.
static const long long WAGA_WYSOKOSCI = -4500;   // the landing's height, per row
static const long long WAGA_ZJEDZONYCH = 3418;   // rows removed times the piece's cells in them
static const long long WAGA_PRZEJSC_W = -3218;   // filled/empty changes along the rows
static const long long WAGA_PRZEJSC_K = -9349;   // and down the columns
static const long long WAGA_DZIUR = -7899;       // empty cells under a filled one
static const long long WAGA_STUDNI = -3386;      // depths of the open wells, summed 1+2+...
// A well that leaves the next spawn no room, or barely any.
static const long long KONIEC_GRY = -1000000000000LL;
static const long long WAGA_SPAWNU = -200000;    // per cell in rows 1-3 of columns 5-8

static long long ocena_planszy(const uint16_t *wiersz) {
  long long przejscia_w = 0, przejscia_k = 0, dziury = 0, studnie = 0, przy_spawnie = 0;
  unsigned pokryte = 0, w_studni = 0;   // columns covered; columns whose open well goes on
  int glebokosc[12] = {0};
  int r = 1;
  // Empty rows above the stack: two changes each (wall, empty, wall), nothing else.
  while (r < 20 && wiersz[r] == 0 && wiersz[r + 1] == 0) {
    przejscia_w += 2;
    r++;
  }
  for (; r <= 20; r++) {
    unsigned b = wiersz[r];
    unsigned ze_scianami = (b << 1) | 0x801u;
    przejscia_w += bitow((ze_scianami ^ (ze_scianami >> 1)) & 0x7ff);
    przejscia_k += bitow(b ^ (r < 20 ? wiersz[r + 1] : PELNY));
    dziury += bitow(~b & pokryte & PELNY);
    pokryte |= b;
    // Open empty cells between two filled ones (or a wall).
    unsigned dolek = ~ze_scianami & (ze_scianami << 1) & (ze_scianami >> 1) & ~(pokryte << 1) & 0x7fe;
    for (unsigned koniec = w_studni & ~dolek; koniec; koniec &= koniec - 1) glebokosc[__builtin_ctz(koniec)] = 0;
    for (unsigned d = dolek; d; d &= d - 1) studnie += ++glebokosc[__builtin_ctz(d)];
    w_studni = dolek;
    if (r <= 3) przy_spawnie += bitow(b & 0xf0);
  }
  return WAGA_PRZEJSC_W * przejscia_w + WAGA_PRZEJSC_K * przejscia_k + WAGA_DZIUR * dziury +
         WAGA_STUDNI * studnie + WAGA_SPAWNU * przy_spawnie;
}

// One landing: the well after it (the next pass's rows removed), the rows it
// removed, and the weight of the landing itself.
struct Ladowanie {
  Spoczynek sp;
  uint16_t po[21];
  int usuniete;
  bool koniec_gry;
  long long waga;       // the landing's own terms
  long long ocena;      // with the well's
};

// Locks the piece o where k says, in a copy of the well, and weighs it.
// nastepny_s: the next shape, whose spawn the lock must leave room for; -1
// when unknown.
static Ladowanie wyladuj(const Chwila &c, const Obroty &o, const Koniec &k, int nastepny_s) {
  Ladowanie l;
  const int *z = o.z[k.u];
  memcpy(l.sp.ksztalt, z, sizeof l.sp.ksztalt);
  l.sp.x = k.x;
  l.sp.y = k.y;
  uint16_t *p = l.po;
  memcpy(p, k.w_pierwszym ? c.wiersze : c.wiersze_potem, sizeof l.po);
  int gora = 20, dol = 1;
  if (o.s == 7) {
    // The single cell packs its column: its cells and itself, solid from the floor.
    unsigned bit = 1u << (k.x - 2);
    int ile = 1;
    for (int r = 1; r <= 20; r++) ile += (p[r] & bit) != 0;
    for (int r = 20; r >= 1; r--, ile--) p[r] = (uint16_t)(ile > 0 ? p[r] | bit : p[r] & ~bit);
    dol = 20;
    while (gora > 1 && (p[gora - 1] & bit)) gora--;
  } else {
    for (int i = 0; i < 4; i++)
      for (int j = 0; j < 4; j++)
        if (z[i * 4 + j]) {
          int r = k.y + j, b = k.x - 2 + i;
          if (r >= 1 && r <= 20 && b >= 0 && b <= 9) p[r] = (uint16_t)(p[r] | 1u << b);
          gora = std::min(gora, r);
          dol = std::max(dol, r);
        }
  }
  // The next piece is spawned into the well as the lock left it (cells of
  // its box one row under row anchor 0 at column anchor 6), with its box as
  // the table holds it then: the falling piece's own shape keeps its turn.
  l.koniec_gry = false;
  if (nastepny_s >= 0) {
    const int *zn = nastepny_s == o.s ? z : &klocek[nastepny_s * 16];
    for (int i = 0; i < 4; i++)
      for (int j = 0; j < 4; j++)
        if (zn[i * 4 + j] && (p[j + 1] >> (4 + i) & 1)) l.koniec_gry = true;
  }
  // The piece's cells in rows it fills, then the next pass: the top row
  // emptied, the full rows removed.
  int w_usunietych = 0;
  for (int r = 2; r <= 20; r++)
    if (p[r] == PELNY) w_usunietych += o.s == 7 ? 1 : bitow(p[r] ^ (k.w_pierwszym ? c.wiersze : c.wiersze_potem)[r]);
  p[1] = 0;
  int cel = 20;
  for (int r = 20; r >= 1; r--)
    if (p[r] != PELNY) p[cel--] = p[r];
  l.usuniete = cel;
  while (cel >= 1) p[cel--] = 0;
  // Height of the landing: the middle of its rows, doubled (row 20 is height 1).
  long long wysokosc2 = 42 - gora - dol;
  l.waga = WAGA_WYSOKOSCI * wysokosc2 / 2 + WAGA_ZJEDZONYCH * l.usuniete * w_usunietych;
  l.ocena = l.koniec_gry ? KONIEC_GRY : l.waga + ocena_planszy(l.po);
  return l;
}

// Every placement of the piece o from c: each orientation that looks
// different, each column where it stands inside the walls, played to its lock.
// Landings reached by more than one plan are kept once, with the first plan.
struct Kandydat {
  int cel_u, cel_x;
  Ladowanie l;
};

static int kandydaci(const Chwila &c, const Obroty &o, Kandydat *wynik) {
  int ile = 0;
  for (int u = 0; u < 4; u++) {
    bool powtorka = false;
    for (int v = 0; v < u; v++) powtorka = powtorka || te_same(o.z[u], o.z[v]);
    if (powtorka) continue;
    int lewa = 4, prawa = -1;
    for (int i = 0; i < 4; i++)
      for (int j = 0; j < 4; j++)
        if (o.z[u][i * 4 + j]) {
          lewa = std::min(lewa, i);
          prawa = std::max(prawa, i);
        }
    // Columns x-1+i from 1 to 10.
    for (int x = 2 - lewa; x <= 11 - prawa; x++) {
      Koniec k = zagraj(c, o, u, x);
      bool byl = false;
      for (int e = 0; e < ile && !byl; e++)
        byl = wynik[e].l.sp.x == k.x && wynik[e].l.sp.y == k.y && te_same(wynik[e].l.sp.ksztalt, o.z[k.u]);
      if (byl) continue;
      wynik[ile].cel_u = u;
      wynik[ile].cel_x = x;
      wynik[ile].l = wyladuj(c, o, k, c.nastepny);
      ile++;
    }
  }
  return ile;
}

// Current landings weighed further with the next piece: the best few.
static const int Z_NASTEPNYM = 8;

// The state the next piece starts from after a landing l of c: spawned at row
// anchor 1 in the well l left, its gravity counter restarted, Down to be let
// go first; its shape the single cell when l completes a level.
static void chwila_nastepnego(const Chwila &c, const Ladowanie &l, Chwila *n) {
  studnia_z(l.po, n->studnia);
  memcpy(n->potem, n->studnia, sizeof n->potem);
  memcpy(n->wiersze, l.po, sizeof n->wiersze);
  memcpy(n->wiersze_potem, l.po, sizeof n->wiersze_potem);
  n->rozne = false;
  n->speed = c.speed;
  n->klasyczny = c.klasyczny;
  n->s = c.nastepny;
  n->rozwalone = c.rozwalone + l.usuniete;
  if (n->rozwalone > 19) {
    n->rozwalone = 0;
    n->speed -= 5;
    if (!c.klasyczny) n->s = 7;
  }
  // A shape keeps the orientation its last piece was left in.
  if (n->s == c.s) memcpy(n->ksztalt, l.sp.ksztalt, sizeof n->ksztalt);
  else memcpy(n->ksztalt, &klocek[n->s * 16], sizeof n->ksztalt);
  n->x = 6;
  n->y = 1;
  n->gamespeed = 0;
  n->obrot = n->lewo = n->prawo = 0;
  n->dol = 1;
  n->niepewna = 0;
  n->nastepny = -1;
  n->spawny = c.spawny + 1;
}

Plan zaplanuj(const Chwila &c) {
  Obroty o;
  obroty_z(c.s, c.ksztalt, &o);
  Kandydat teraz[64], potem[64];   // at most four turns of ten columns each
  int ile = kandydaci(c, o, teraz);
  bool z_nastepnym = c.nastepny >= 0;
  long long oceny[64];
  for (int e = 0; e < ile; e++) oceny[e] = teraz[e].l.ocena;
  if (z_nastepnym) {
    // The best few again, each with every placement of the next piece after it.
    int kolejnosc[64];
    for (int e = 0; e < ile; e++) kolejnosc[e] = e;
    std::stable_sort(kolejnosc, kolejnosc + ile, [&](int a, int b) { return oceny[a] > oceny[b]; });
    for (int e = 0; e < ile; e++) oceny[e] = KONIEC_GRY * 2;
    for (int q = 0; q < ile && q < Z_NASTEPNYM; q++) {
      int e = kolejnosc[q];
      const Ladowanie &l = teraz[e].l;
      if (l.koniec_gry) {
        oceny[e] = KONIEC_GRY;
        continue;
      }
      Chwila n;
      chwila_nastepnego(c, l, &n);
      Obroty on;
      obroty_z(n.s, n.ksztalt, &on);
      int ile_n = kandydaci(n, on, potem);
      long long najlepsza = KONIEC_GRY;
      for (int f = 0; f < ile_n; f++) {
        const Ladowanie &m = potem[f].l;
        long long v = m.ocena == KONIEC_GRY ? KONIEC_GRY : l.waga + m.ocena;
        najlepsza = std::max(najlepsza, v);
      }
      oceny[e] = najlepsza;
    }
  }
  int najlepszy = 0;
  for (int e = 1; e < ile; e++)
    if (oceny[e] > oceny[najlepszy]) najlepszy = e;
  Plan p;
  p.spawny = c.spawny;
  p.s = c.s;
  p.z_nastepnym = z_nastepnym;
  memcpy(p.potem, c.potem, sizeof p.potem);
  if (ile == 0) {
    memcpy(p.cel, c.ksztalt, sizeof p.cel);
    p.cel_x = c.x;
    p.koniec.x = c.x;
    p.koniec.y = c.y;
    memcpy(p.koniec.ksztalt, c.ksztalt, sizeof p.cel);
    p.ocena = KONIEC_GRY;
    return p;
  }
  memcpy(p.cel, o.z[teraz[najlepszy].cel_u], sizeof p.cel);
  p.cel_x = teraz[najlepszy].cel_x;
  p.koniec = teraz[najlepszy].l.sp;
  p.ocena = oceny[najlepszy];
  return p;
}

bool plan_aktualny(const Plan &p, const Chwila &c) {
  return p.spawny == c.spawny && p.s == c.s && (p.z_nastepnym || c.nastepny < 0) &&
         memcmp(p.potem, c.potem, sizeof p.potem) == 0;
}

int klawisze_planu(const Chwila &c, const Plan &p) {
  Obroty o;
  obroty_z(c.s, c.ksztalt, &o);
  int cel_u = -1;
  for (int u = 0; u < 4 && cel_u < 0; u++)
    if (te_same(o.z[u], p.cel)) cel_u = u;
  if (cel_u < 0) return -1;
  return klawisze_celu(o, stan_z(c), cel_u, p.cel_x);
}
