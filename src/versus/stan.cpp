// A whole game state as one value: the program-wide variables the rules and
// the scene go on from (those a recording starts from), and the C library's
// random generator. Taken, put in place and exchanged by plain copies, cheap
// enough for four exchanges a frame.
#include "versus/versus.h"
#include "game/game.h"
#include "player/player.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Obszar {
  void *adres;
  size_t bajty;
};

#define O(v) {(void *)&(v), sizeof(v)}
const Obszar OBSZARY[] = {
  O(gameini), O(menu), O(wtopa), O(kloc), O(pauza), O(klasyczny), O(szklo), O(childmode), O(studnia),
  O(klocek), O(jaki), O(nastepny), O(xk), O(yk), O(doskull), O(czyskull), O(rotations), O(score), O(bonusk),
  O(textual), O(trythat), O(speed), O(gamespeed), O(level), O(rozwalone), O(calkowite), O(ilelinii), O(alarm),
  O(yzbi), O(yp), O(musi), O(dzwiek), O(dodzwieku), O(bonuses), O(combo), O(czas), O(dodajczas), O(rekord),
  O(czyrekord), O(czyszklo), O(pepper), O(pa), O(ent), O(dp), O(obrot), O(left), O(right), O(elem2), O(elem),
  O(klawiatura_niepewna), O(xkula), O(ykula), O(zkula), O(czykula), O(rozmiarkula), O(yronda), O(zbitenie),
  O(light), O(LightDiffuse), O(xalarm), O(strona), O(skull), O(rotatemodel), O(obrotrm), O(heading), O(yrot),
  O(sceneroty), O(lookupdown), O(ruch_x), O(ruch_y), O(ruch_z), O(xtrans), O(ytrans), O(ztrans), O(distortion),
  O(chaos), O(ruchpox),
};
#undef O

size_t rozmiar() {
  size_t n = 0;
  for (const Obszar &o : OBSZARY) n += o.bajty;
  return n;
}

// The generator in use is switched to a spare table for a moment: setstate()
// writes the position into the table it leaves, which then holds the whole
// generator. Returns that table; the caller switches back to it.
alignas(int32_t) char zapasowa[128];
char *zostaw_losowanie() {
  static bool gotowa = false;
  if (!gotowa) {
    char *byla = initstate(1, zapasowa, sizeof zapasowa);
    setstate(byla);
    gotowa = true;
  }
  return setstate(zapasowa);
}

}  // namespace

void zachowaj_stan(StanGry *s) {
  s->bajty.resize(rozmiar());
  unsigned char *p = s->bajty.data();
  for (const Obszar &o : OBSZARY) {
    memcpy(p, o.adres, o.bajty);
    p += o.bajty;
  }
  char *t = zostaw_losowanie();
  memcpy(s->losowanie, t, sizeof s->losowanie);
  setstate(t);
  s->gotowy = true;
}

void wstaw_stan(StanGry *s) {
  if (!s->gotowy) return;
  const unsigned char *p = s->bajty.data();
  for (const Obszar &o : OBSZARY) {
    memcpy(o.adres, p, o.bajty);
    p += o.bajty;
  }
  char *t = zostaw_losowanie();
  memcpy(t, s->losowanie, sizeof s->losowanie);
  setstate(t);
}

void zamien_stan(StanGry *s) {
  if (!s->gotowy) return;
  unsigned char *p = s->bajty.data();
  unsigned char bufor[STUDNIA_ROZMIAR * sizeof(int)];
  for (const Obszar &o : OBSZARY) {
    for (size_t z = 0; z < o.bajty; z += sizeof bufor) {
      size_t n = o.bajty - z < sizeof bufor ? o.bajty - z : sizeof bufor;
      memcpy(bufor, (char *)o.adres + z, n);
      memcpy((char *)o.adres + z, p + z, n);
      memcpy(p + z, bufor, n);
    }
    p += o.bajty;
  }
  char *t = zostaw_losowanie();
  char inna[sizeof s->losowanie];
  memcpy(inna, t, sizeof inna);
  memcpy(t, s->losowanie, sizeof inna);
  memcpy(s->losowanie, inna, sizeof inna);
  setstate(t);
}
