// The effects over many passes of the real program: particles and the combo
// they feed, the combo ring, the room light and the pressure gauge, the alarm
// cue and overlay, the skull and its breath, the swing angle, and what classic
// mode leaves out. Sounds come from the recording stand-in; pictures from the
// GL, with solid colours or black put in the effects' texture slots.
#include "harness.h"
#include "fsound_zapis.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "text_sound/text_sound.h"

#include <gtest/gtest.h>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {




// Pixels that differ between two frames by more than a trace.
int zmienione(const Obraz &a, const Obraz &b) {
  int n = 0;
  for (size_t i = 0; i + 3 < a.size(); i += 4)
    if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 6) n++;
  return n;
}

double jasnosc(const Obraz &p) {
  double s = 0;
  for (size_t i = 0; i + 3 < p.size(); i += 4) s += p[i] + p[i + 1] + p[i + 2];
  return s / (p.size() / 4) / 3;
}

int ile_razy(const std::vector<std::string> &z, const std::string &nazwa) {
  return (int)std::count(z.begin(), z.end(), nazwa);
}

// Everything a pass animates by itself, to take two frames of the same moment.
struct Chwila {
  float rotatemodel, yzbi, zbitenie, yronda, skull, xalarm;
  bool obrotrm, czyskull, strona;
  int gamespeed, czas;
  void zapamietaj() {
    rotatemodel = ::rotatemodel; yzbi = ::yzbi; zbitenie = ::zbitenie; yronda = ::yronda;
    skull = ::skull; xalarm = ::xalarm; obrotrm = ::obrotrm; czyskull = ::czyskull;
    strona = ::strona; gamespeed = ::gamespeed; czas = ::czas;
  }
  void przywroc() const {
    ::rotatemodel = rotatemodel; ::yzbi = yzbi; ::zbitenie = zbitenie; ::yronda = yronda;
    ::skull = skull; ::xalarm = xalarm; ::obrotrm = obrotrm; ::czyskull = czyskull;
    ::strona = strona; ::gamespeed = gamespeed; ::czas = czas;
  }
};

class Efekty : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A small window keeps the many passes quick.
    nowy_katalog_roboczy("400\n300\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n");
    uruchom_program();
  }
  void SetUp() override {
    stan_poczatkowy();
    srand(5);
    for (int s = 0; s <= 20; s++) zachowane[s] = nazwa_slotu[s];
    czarna = jednolita(0, 0, 0);
    znak = jednolita(0, 255, 0);
    wyczysc_zapis();
  }
  void TearDown() override {
    for (int s = 0; s <= 20; s++) nazwa_slotu[s] = zachowane[s];
    glDeleteTextures(1, &czarna);
    glDeleteTextures(1, &znak);
    stan_poczatkowy();
  }
  // A running game with a square at the top that gravity leaves alone.
  void gra() {
    ::gra(0, 6, 1);
    heading = 550.0f - (float)xk;
    lookupdown = (float)yk / 3 + 23;
    ruch_z = -5 - (float)yk / 23;
    klatki(1);
  }
  void pelny_wiersz(int r) {
    for (int c = 1; c <= 10; c++) ustaw_komorke(c, r, 1);
  }
  // The frame of one pass with the given slots showing the marker colour,
  // and the same moment with them black: the difference is what they drew.
  // The animations are put back afterwards, so the look costs no time.
  int narysowane_przez(std::initializer_list<int> sloty) {
    Chwila ch;
    ch.zapamietaj();
    for (int s : sloty) nazwa_slotu[s] = znak;
    klatki(1);
    Obraz z = obraz();
    ch.przywroc();
    for (int s : sloty) nazwa_slotu[s] = czarna;
    klatki(1);
    Obraz c = obraz();
    ch.przywroc();
    for (int s : sloty) nazwa_slotu[s] = zachowane[s];
    return zmienione(z, c);
  }
  GLuint zachowane[21];
  GLuint czarna = 0, znak = 0;
};

// A cleared row sends ten particles flying for 21 passes; their endings add
// ten to the combo, once.
TEST_F(Efekty, CzastkiLatajaDwadziesciaJedenKlatek) {
  gra();
  nazwa_slotu[6] = znak;
  pelny_wiersz(12);   // clear of the status lines of the small window
  float x0[10];
  for (int i = 0; i < 10; i++) x0[i] = 0.1f - (i + 2) * 0.2f;
  for (int n = 1; n <= 21; n++) {
    // Where the particle of column 6 is drawn in this pass.
    float h = rozmiarkula[5] / 2;
    double px = xkula[5] - h / 2, py = ykula[5] - h / 2, pz = zkula[5] - h / 2;
    if (n == 1) {   // the burst of this pass puts it at the row
      px = x0[5] - h / 2;
      py = 0.75 - 11 * 0.2 - h / 2;
      pz = -0.4 - h / 2;
    }
    klatki(1);
    if (n == 1) {
      for (int i = 0; i < 10; i++) {
        EXPECT_TRUE(czykula[i]) << "particle " << i;
        EXPECT_NEAR(ykula[i], 0.75f - 11 * 0.2f - 0.02f, 1e-4);
        EXPECT_NEAR(zkula[i], -0.43f, 1e-4);
      }
      EXPECT_EQ(calkowite, 1) << "the row was not removed";
    }
    if (n <= 4) {
      Rgba k = w_punkcie(obraz(), px, py, pz);
      EXPECT_TRUE(k.g > k.r + 40 && k.g > k.b + 40) << "particle of column 6 not drawn in pass " << n;
    }
    if (n < 21) {
      EXPECT_EQ(combo, 0) << "pass " << n;
      for (int i = 0; i < 10; i++) EXPECT_TRUE(czykula[i]) << "particle " << i << " pass " << n;
    }
    // Spreading from the middle particle by 5% a pass; it never moves sideways.
    EXPECT_FLOAT_EQ(xkula[5], x0[5]);
    EXPECT_NEAR(xkula[0] - xkula[5], (x0[0] - x0[5]) * std::pow(1.05, n), 1e-3) << "pass " << n;
  }
  EXPECT_EQ(combo, 10);
  for (int i = 0; i < 10; i++) EXPECT_FALSE(czykula[i]) << "particle " << i;
  EXPECT_NEAR(zkula[0], -1.03f, 1e-4);
  klatki(10);
  EXPECT_EQ(combo, 10) << "endings counted again";
}

// A second row restarts the one burst: ten endings in all, 21 passes after
// the second row; two rows at once make a single burst too.
TEST_F(Efekty, DrugiWierszRestartujeWybuch) {
  gra();
  pelny_wiersz(20);
  klatki(10);
  pelny_wiersz(20);
  klatki(1);
  for (int i = 0; i < 10; i++) {
    EXPECT_NEAR(zkula[i], -0.43f, 1e-4) << "particle " << i << " not restarted";
    EXPECT_NEAR(xkula[i], 0.1f - (i + 2) * 0.2f - (-1.3f - (0.1f - (i + 2) * 0.2f)) / 20, 1e-4);
  }
  klatki(19);
  EXPECT_EQ(combo, 0);
  klatki(1);
  EXPECT_EQ(combo, 10);
  klatki(10);
  EXPECT_EQ(combo, 10);

  combo = 0;
  pelny_wiersz(19);
  pelny_wiersz(20);
  klatki(1);
  EXPECT_EQ(calkowite, 4);
  klatki(20);
  EXPECT_EQ(combo, 10) << "two rows in one pass";
  klatki(10);
  EXPECT_EQ(combo, 10);
}

// The combo ring climbs to within 0.1 of combo/10, stays there, and is drawn
// at that height.
TEST_F(Efekty, PierscienComboDochodziDoCelu) {
  gra();
  dodajczas = false;
  combo = 25;
  klatki(24);
  EXPECT_LT(yronda, 2.4f) << "the ring climbs faster than 0.1 a pass";
  klatki(6);
  EXPECT_NEAR(yronda, 2.5f, 0.1f);
  float stoi = yronda;
  klatki(5);
  EXPECT_EQ(yronda, stoi) << "the ring does not rest";

  // Drawn where it stands: on the first column, at yronda - 2.8.
  rotatemodel = 0;
  Chwila ch;
  ch.zapamietaj();
  nazwa_slotu[3] = znak;
  klatki(1);
  Obraz z = obraz();
  ch.przywroc();
  nazwa_slotu[3] = czarna;
  klatki(1);
  Obraz c = obraz();
  nazwa_slotu[3] = zachowane[3];
  // The front of the ring, half its height below its top.
  Rgba u_gory = w_punkcie(z, 0.5, yronda - 2.8 - 0.05, -0.1 - 0.3);
  Rgba u_gory_c = w_punkcie(c, 0.5, yronda - 2.8 - 0.05, -0.1 - 0.3);
  EXPECT_GT(u_gory.g - u_gory_c.g, 40) << "no ring at its height";
  Rgba u_dolu = w_punkcie(z, 0.5, -2.8 - 0.05, -0.1 - 0.3);
  Rgba u_dolu_c = w_punkcie(c, 0.5, -2.8 - 0.05, -0.1 - 0.3);
  EXPECT_LT(std::abs(u_dolu.g - u_dolu_c.g), 6) << "a ring left at the foot";

  combo = 0;
  klatki(30);
  EXPECT_NEAR(yronda, 0.0f, 0.1f);
}

// The room light goes out when the gauge passes 3400 and comes back below
// 2500, with one bells cue; the gauge rests in the menu, pause and game over.
TEST_F(Efekty, SwiatloGasnieIWraca) {
  gra();
  Obraz jasno = obraz();
  yzbi = 3395;
  klatki(5);
  EXPECT_TRUE(light);
  EXPECT_FLOAT_EQ(yzbi, 3400);
  klatki(1);
  EXPECT_FALSE(light);
  EXPECT_FLOAT_EQ(yzbi, 3400);
  GLfloat d[4];
  glGetLightfv(GL_LIGHT1, GL_DIFFUSE, d);
  for (int i = 0; i < 4; i++) {
    EXPECT_FLOAT_EQ(LightDiffuse[i], 0.01f);
    EXPECT_FLOAT_EQ(d[i], 0.01f);
  }
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  klatki(1);
  EXPECT_LT(jasnosc(obraz()), jasnosc(jasno) - 8) << "the room is not darker";
  klatki(20);
  EXPECT_FLOAT_EQ(yzbi, 3400);
  EXPECT_EQ(ile_razy(zagrane(), "bells"), 1);

  // The gauge stands still outside play, and the light with it.
  yzbi = 2000;
  pauza = 1;
  klatki(10);
  pauza = 0;
  EXPECT_FLOAT_EQ(yzbi, 2000) << "the gauge ran in the pause";
  wtopa = true;
  klatki(10);
  wtopa = false;
  EXPECT_FLOAT_EQ(yzbi, 2000) << "the gauge ran after game over";
  gameini = true;
  klatki(10);
  gameini = false;
  EXPECT_FLOAT_EQ(yzbi, 2000) << "the gauge ran in the menu";
  EXPECT_FALSE(light);
  yzbi = 2499;
  klatki(1);   // 2500: not below
  EXPECT_FALSE(light);
  yzbi = 2498;
  klatki(1);   // 2499
  EXPECT_TRUE(light);
  glGetLightfv(GL_LIGHT1, GL_DIFFUSE, d);
  for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(d[i], 1.0f);
  EXPECT_EQ(ile_razy(zagrane(), "bells"), 1) << "bells sound only going dark";
  klatki(5);
  EXPECT_FLOAT_EQ(yzbi, 2504);
}

// With the stack at row 4 the alarm sounds after 31 passes and then every
// 152, and the light overlay shows the alarm picture instead of the lightmap.
TEST_F(Efekty, AlarmDzwoniIZmieniaNakladke) {
  gra();
  EXPECT_GT(narysowane_przez({10}), 5000) << "no lightmap over the well";
  EXPECT_EQ(narysowane_przez({7}), 0) << "alarm picture without alarm";
  for (int r = 4; r <= 20; r++) ustaw_komorke(1, r, 1);
  std::vector<int> kiedy;
  for (int n = 1; n <= 190; n++) {
    wyczysc_zapis();
    klatki(1);
    if (ile_razy(zagrane(), "alarm") > 0) kiedy.push_back(n);
  }
  EXPECT_TRUE(alarm);
  EXPECT_EQ(kiedy, (std::vector<int>{31, 183}));
  EXPECT_GT(narysowane_przez({7}), 5000) << "no alarm picture with the alarm on";
  EXPECT_EQ(narysowane_przez({10}), 0) << "lightmap with the alarm on";

  // Silent in the pause and after game over, the counter a step from a cue.
  wyczysc_zapis();
  xalarm = 0.295f;
  strona = false;
  pauza = 1;
  klatki(10);
  pauza = 0;
  wtopa = true;
  klatki(10);
  wtopa = false;
  EXPECT_EQ(ile_razy(zagrane(), "alarm"), 0);
  EXPECT_FLOAT_EQ(xalarm, 0.295f);
  klatki(1);
  EXPECT_EQ(ile_razy(zagrane(), "alarm"), 1);
}

// The skull rises for 51 passes with one breath, in the pause too.
TEST_F(Efekty, CzaszkaIOddech) {
  gra();
  czyskull = true;
  skull = 0;
  EXPECT_GT(narysowane_przez({18}), 5000) << "the skull is not drawn";
  wyczysc_zapis();
  klatki(1);
  EXPECT_EQ(ile_razy(zagrane(), "breath"), 1);
  pauza = 1;   // it goes on behind the pause
  klatki(49);
  pauza = 0;
  EXPECT_TRUE(czyskull) << "ended after 50 passes";
  klatki(1);
  EXPECT_FALSE(czyskull) << "still running after 51 passes";
  EXPECT_FLOAT_EQ(skull, 0);
  EXPECT_EQ(narysowane_przez({18}), 0) << "drawn after its end";
  klatki(5);
  EXPECT_EQ(ile_razy(zagrane(), "breath"), 1);

  // Exactly 1.0 does not end it; the first value above does.
  czyskull = true;
  skull = 0.98f;
  klatki(1);
  ASSERT_EQ(skull, 1.0f);
  EXPECT_TRUE(czyskull);
  klatki(1);
  EXPECT_FALSE(czyskull);
}

// The swing angle runs 0..360..0 in 720 passes, in every state.
TEST_F(Efekty, KatWahaniaOkres) {
  rotatemodel = 0;
  obrotrm = true;
  float najwiekszy = 0;
  int na_szczycie = 0;
  for (int n = 1; n <= 720; n++) {
    kat_wahania();
    if (rotatemodel > najwiekszy) {
      najwiekszy = rotatemodel;
      na_szczycie = n;
    }
    ASSERT_GE(rotatemodel, 0);
  }
  EXPECT_FLOAT_EQ(najwiekszy, 360);
  EXPECT_EQ(na_szczycie, 360);
  EXPECT_FLOAT_EQ(rotatemodel, 0);
  EXPECT_TRUE(obrotrm);
  kat_wahania();
  EXPECT_FLOAT_EQ(rotatemodel, 1);

  // One step a pass, in the menu, the pause and a game alike.
  rotatemodel = 100;
  obrotrm = true;
  klatki(3);
  gameini = false;
  pauza = 1;
  klatki(3);
  pauza = 0;
  klatki(3);
  EXPECT_FLOAT_EQ(rotatemodel, 109);
}

// Classic mode: no rings, light overlay, skull or alarm, and the light never
// changes; particles and the light panel stay.
TEST_F(Efekty, KlasycznyBezDodatkow) {
  gra();
  for (int r = 4; r <= 20; r++) ustaw_komorke(1, r, 1);
  czyskull = true;
  yzbi = 3399;
  klasyczny = 1;
  klatki(1);
  EXPECT_TRUE(alarm);
  EXPECT_EQ(narysowane_przez({7, 10, 12, 13, 18}), 0) << "an extra drawn in classic mode";
  EXPECT_GT(narysowane_przez({11}), 100) << "no light panel";
  float yr = yronda;
  combo = 5;
  dodajczas = false;
  xalarm = 0.295f;
  klatki(60);
  EXPECT_TRUE(light);
  EXPECT_FLOAT_EQ(yzbi, 3399);
  EXPECT_FLOAT_EQ(yronda, yr) << "the combo ring moved";
  EXPECT_TRUE(czyskull) << "the skull should wait, armed";
  EXPECT_FLOAT_EQ(skull, 0);
  std::vector<std::string> z = zagrane();
  EXPECT_EQ(ile_razy(z, "alarm"), 0);
  EXPECT_EQ(ile_razy(z, "bells"), 0);
  EXPECT_EQ(ile_razy(z, "breath"), 0);
  // Particles still fly.
  pelny_wiersz(20);
  klatki(21);
  EXPECT_EQ(combo, 15);

  // Out of classic mode the waiting skull runs and the rings return.
  klasyczny = 0;
  wyczysc_zapis();
  klatki(1);
  EXPECT_EQ(ile_razy(zagrane(), "breath"), 1);
  EXPECT_GT(narysowane_przez({12, 13}), 100) << "no rings out of classic mode";
}

}  // namespace
