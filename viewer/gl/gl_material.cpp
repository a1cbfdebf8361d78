#include "viewer/gl/gl_material.h"

#include <GL/gl.h>

#include "viewer/contour_bar.h"
#include "viewer/display_model.h"

void MaterialColorOf(int type, int r, int g, int b, float rgba[4]) {
  rgba[0] = rgba[1] = rgba[2] = 0.0f;
  rgba[3] = 1.0f;
  switch (type) {
    case 0:
      rgba[0] = static_cast<float>(r / 255.0);
      rgba[1] = static_cast<float>(g / 255.0);
      rgba[2] = static_cast<float>(b / 255.0);
      break;
    case 1:
      rgba[2] = 1.0f;
      break;
    case 2:
      rgba[0] = rgba[1] = 1.0f;
      break;
    case -1:
      break;
    default:
      rgba[0] = 1.0f;
      break;
  }
}

void SetGLMaterialColor(int type, int r, int g, int b) {
  float c[4];
  MaterialColorOf(type, r, g, b, c);
  glMaterialfv(GL_FRONT, GL_AMBIENT, c);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, c);
}

void SetGLMaterialColor(int type, const int rgb[3]) {
  SetGLMaterialColor(type, rgb[0], rgb[1], rgb[2]);
}

void SetGLMaterialByMatNo(const CDispModel& doc, int matNo) {
  float c[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  if (const DispMaterial* m = doc.FindMaterial(matNo)) {
    c[0] = static_cast<float>(m->r / 255.0);
    c[1] = static_cast<float>(m->g / 255.0);
    c[2] = static_cast<float>(m->b / 255.0);
  }
  glMaterialfv(GL_FRONT, GL_AMBIENT, c);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, c);
}

void SetFlatMaterial(const int rgb[3]) {
  const float c[4] = {static_cast<float>(rgb[0] / 255.0), static_cast<float>(rgb[1] / 255.0),
                      static_cast<float>(rgb[2] / 255.0), 1.0f};
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 64.0f);
}

bool SetGLMaterial(const CContourBar& bar, double value) {
  float c[4];
  const bool inRange = bar.GetMaterialColor(value, c);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
  return inRange;
}
