// Extra scoring on top of pieces and rows: bonuses for several rows at once,
// the combo, the award for twenty messages, the timed messages, the record and
// the unlocking of glass mode.
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

bool musi = false;
int dzwiek = 0;
int dodzwieku = 0;
float bonuses = 0;
int combo = 0;
int czas = 0;
bool dodajczas = false;
int rekord = 0;
bool czyrekord = false;
int czyszklo = 1;
int pepper = 0;

// The announcer sample at the end of each kind of message.
static const int probka_wiadomosci[6] = {SMP_LEVEL, SMP_IMPRESSIVE, SMP_PERFECT,
                                         SMP_GODLIKE, SMP_COMBO, SMP_TRYTHISLAUGH};

void zacznij_wiadomosc(int rodzaj) {
  musi = true;
  dzwiek = rodzaj;
  dodzwieku = 0;
}

void premie_wierszy() {
  if (klasyczny) return;
  int d = rozwalone - ilelinii;
  if (d < 3) return;
  if (d == 3) {
    zacznij_wiadomosc(WIAD_BONUS100);
    score += 100;
  } else if (d == 4) {
    zacznij_wiadomosc(WIAD_BONUS200);
    score += 200;
  } else {
    zacznij_wiadomosc(WIAD_BONUS1000);
    score += 1000;
  }
  lookupdown += 2.0f;   // the camera nods; the message takes it back at its fourth frame
  yzbi -= 600;
  if (yzbi < 0) yzbi = 0;
}

void koniec_kuli() {
  combo++;
  if (combo <= 11) {
    czas = 0;
    dodajczas = true;
  }
  if (combo > 30 && czas <= 399) {
    dodajczas = false;
    combo = 0;
    czas = 0;
    score += 500;
    zacznij_wiadomosc(WIAD_COMBO);
  }
}

void zegar_combo() {
  if (dodajczas && pauza == 0) czas++;
  if (czas > 400) {
    dodajczas = false;
    combo = 0;
  }
}

void nagroda_za_dwadziescia() {
  if (klasyczny) return;
  if (bonuses > 19) {
    bonuses = 0;
    zacznij_wiadomosc(WIAD_DUZO);
    score += 750;
  }
}

void liczniki_wiadomosci() {
  if (!musi || klasyczny) return;
  dodzwieku++;
  if (dodzwieku == 4 && dzwiek >= WIAD_BONUS100 && dzwiek <= WIAD_BONUS1000) lookupdown -= 2.0f;
  if (dzwiek == WIAD_DUZO) {
    if (dodzwieku == 120) {
      musi = false;
      graj(SMP_TRYTHISLAUGH);
    }
    return;
  }
  if (dodzwieku > 160) {
    musi = false;
    bonuses += 1;
    if (dzwiek >= 0 && dzwiek <= WIAD_COMBO) graj(probka_wiadomosci[dzwiek]);
    if (childmode) {
      childmode = false;
      zmianatla();
    }
  }
}

void sprawdz_rekord() {
  if (score > rekord) {
    if (!czyrekord) {
      czyrekord = true;
      graj(SMP_RECORD);
    }
    rekord = score;
  }
}

void odblokuj_szklo() {
  if (score > 10000 && czyszklo == 0) {
    pepper = 220;
    czyszklo = 1;
  }
}
