// Rendering: the textured box primitive, the texture loader and its slots,
// the scene with its camera, and the animated effects.
#ifndef BRIXEL_RENDER_H
#define BRIXEL_RENDER_H

#include <GL/gl.h>

// ---- Textured box primitive (cube.cpp) ----

// Six face textures in the order +Y, -Y, +Z, +X, -X, -Z (slot numbers, 0 leaves
// the face out), the anchor, three half-extents and the texture extents s, t.
// The centre is the anchor moved back by half of each half-extent.
void DrawTexturedCube(int t1, int t2, int t3, int t4, int t5, int t6,
                      float x, float y, float z, float hx, float hy, float hz,
                      float s, float t);

// ---- Texture loader and slots (texture.cpp) ----

extern int TM_TYPE;            // filtering of the next load: 0 nearest, 1 linear, 2 mipmapped
extern GLuint gTexture[90];    // names of slots 1 to 19 in entries 0 to 18
// Slot number to GL texture name for the slots 1 to 20; 0 where the load failed.
extern GLuint nazwa_slotu[21];

void TextureMode(int mode);
int power_of_two(int n);
void TextureMAP();
GLuint LoadTexture(const char *file);
void RemoveTexture(GLuint name);
// Binds the texture of a slot (0 unbinds).
void wiaz_slot(int slot);
// Pictures of slots 1 to 20, in load order.
extern const char *const pliki_tekstur[20];
// Loads slots 1 to 19 with their filtering and then the font as slot 20.
void wczytaj_tekstury();
// Deletes every texture of gTexture and forgets the slots.
void usun_tekstury();
// Start-up: decode the twenty pictures on a thread of their own while the
// window opens; the loads then only upload. The end joins the thread (safe
// to call at any time, and again).
void zacznij_dekodowanie_obrazow();
void skoncz_dekodowanie_obrazow();

// ---- Scene and camera (scene.cpp) ----

extern float heading, yrot, sceneroty, lookupdown;
extern float ruch_x, ruch_y, ruch_z;
extern float xtrans, ytrans, ztrans;
extern int color2;             // texture of the bottom and far faces of the cells being drawn

void kamera_zbliz();           // ease the camera toward the falling piece
void widok_kamery();           // set the model-view matrix to the camera's view
void rysuj_pokoj();            // the room, columns, desk, back wall, walls and floor
void rysuj_komorki();          // the cells of the well
void rysuj_klocek();           // the falling piece
void rysuj_podglad();          // the swinging preview of the next piece
void wejdz_w_szklo();          // the glass drawing state
void wyjdz_ze_szkla();

// ---- Effects (effects.cpp) ----

extern float xkula[10], ykula[10], zkula[10];
extern bool czykula[10];
extern float rozmiarkula[10];
extern float yronda;           // height of the combo ring
extern float zbitenie;         // depth of the skill ring
extern bool light;             // the room light is at full strength
extern float xalarm;           // alarm sound counter
extern bool strona;            // direction of the alarm counter (false rising)
extern float skull;            // skull progress
extern float rotatemodel;      // swing angle of the rings and the preview
extern bool obrotrm;           // direction of the swing (true rising)

void losuj_rozmiar();          // a new size for one resting particle
void wybuch(int wiersz);       // start the ten particles along a removed row
void lot_kul();                // fly and draw the particles
void pierscienie();            // the rings with the skill timer and the award for twenty
void zmianaswiatla();          // switch the room light between full and dark
void licznik_alarmu();         // the alarm sound counter
void nakladka_swiatla();       // the light overlay, the light panel and the skull
void kat_wahania();            // the swing angle

#endif
