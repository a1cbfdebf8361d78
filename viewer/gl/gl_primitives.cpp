#include "viewer/gl/gl_primitives.h"

#include <GL/gl.h>

#include <cmath>

void Vertex(const double p[3]) { glVertex3d(p[0], p[1], p[2]); }

void FlatNormal(const double p[4][3], double n[3]) {
  const double a[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
  const double b[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
  n[0] = a[1] * b[2] - a[2] * b[1];
  n[1] = a[2] * b[0] - a[0] * b[2];
  n[2] = a[0] * b[1] - a[1] * b[0];
  const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (len >= 1e-99) {
    n[0] /= len;
    n[1] /= len;
    n[2] /= len;
  }
}

void DrawOutlinedPolygon(const double p[4][3], int corners, const double n[3], bool outlined,
                         const std::function<void()>& fill, const std::function<void()>& outline) {
  auto polygon = [&](const std::function<void()>* colour) {
    glBegin(GL_POLYGON);
    glNormal3dv(n);
    if (colour) (*colour)();
    for (int k = 0; k < corners; ++k) Vertex(p[k]);
    glEnd();
  };
  if (!outlined) {
    polygon(&fill);
    return;
  }
  glStencilFunc(GL_NEVER, 1, 1);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  polygon(nullptr);
  glStencilFunc(GL_EQUAL, 0, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  polygon(&fill);
  glStencilFunc(GL_ALWAYS, 0, 1);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  polygon(&outline);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}
