// The one box primitive: up to six textured quads in immediate mode.
#include "render/render.h"

void DrawTexturedCube(int t1, int t2, int t3, int t4, int t5, int t6,
                      float x, float y, float z, float hx, float hy, float hz,
                      float s, float t) {
  // The anchor is the centre moved forward by half of each half-extent.
  float cx = x - hx / 2, cy = y - hy / 2, cz = z - hz / 2;
  float x0 = cx - hx, x1 = cx + hx, y0 = cy - hy, y1 = cy + hy, z0 = cz - hz, z1 = cz + hz;

  // Every face is wound clockwise seen from outside, so its outside is a back face.
  if (t1) {   // +Y
    wiaz_slot(t1);
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    glTexCoord2f(s, t); glVertex3f(x0, y1, z0);
    glTexCoord2f(0, t); glVertex3f(x1, y1, z0);
    glTexCoord2f(0, 0); glVertex3f(x1, y1, z1);
    glTexCoord2f(s, 0); glVertex3f(x0, y1, z1);
    glEnd();
  }
  if (t2) {   // -Y
    wiaz_slot(t2);
    glBegin(GL_QUADS);
    glNormal3f(0, -1, 0);
    glTexCoord2f(0, t); glVertex3f(x0, y0, z0);
    glTexCoord2f(0, 0); glVertex3f(x0, y0, z1);
    glTexCoord2f(s, 0); glVertex3f(x1, y0, z1);
    glTexCoord2f(s, t); glVertex3f(x1, y0, z0);
    glEnd();
  }
  if (t3) {   // +Z, the far side
    wiaz_slot(t3);
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0); glVertex3f(x0, y1, z1);
    glTexCoord2f(s, 0); glVertex3f(x1, y1, z1);
    glTexCoord2f(s, t); glVertex3f(x1, y0, z1);
    glTexCoord2f(0, t); glVertex3f(x0, y0, z1);
    glEnd();
  }
  if (t4) {   // +X
    wiaz_slot(t4);
    glBegin(GL_QUADS);
    glNormal3f(1, 0, 0);
    glTexCoord2f(s, 0); glVertex3f(x1, y1, z0);
    glTexCoord2f(s, t); glVertex3f(x1, y0, z0);
    glTexCoord2f(0, t); glVertex3f(x1, y0, z1);
    glTexCoord2f(0, 0); glVertex3f(x1, y1, z1);
    glEnd();
  }
  if (t5) {   // -X
    wiaz_slot(t5);
    glBegin(GL_QUADS);
    glNormal3f(-1, 0, 0);
    glTexCoord2f(0, 0); glVertex3f(x0, y1, z0);
    glTexCoord2f(s, 0); glVertex3f(x0, y1, z1);
    glTexCoord2f(s, t); glVertex3f(x0, y0, z1);
    glTexCoord2f(0, t); glVertex3f(x0, y0, z0);
    glEnd();
  }
  if (t6) {   // -Z, facing the camera
    wiaz_slot(t6);
    glBegin(GL_QUADS);
    glNormal3f(0, 0, -1);
    glTexCoord2f(s, 0); glVertex3f(x0, y1, z0);
    glTexCoord2f(s, t); glVertex3f(x0, y0, z0);
    glTexCoord2f(0, t); glVertex3f(x1, y0, z0);
    glTexCoord2f(0, 0); glVertex3f(x1, y1, z0);
    glEnd();
  }
}
