#include "viewer/gl/gl_primitives.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "viewer/gl/gl_batches.h"
#include "viewer/gl/gl_driver.h"

void Vertex(const double p[3]) { glVertex3d(p[0], p[1], p[2]); }

void CQuadStaging::Add(const double p[4][3], const double n[3]) {
  if (m_aVertices.empty()) {
    m_aVertices.resize(static_cast<size_t>(kChunkQuads) * 12);
    if (m_bNormals) m_aNormals.resize(static_cast<size_t>(kChunkQuads) * 12);
  }
  float* v = m_aVertices.data() + static_cast<size_t>(m_nQuads) * 12;
  for (int k = 0; k < 4; ++k)
    for (int j = 0; j < 3; ++j) v[3 * k + j] = static_cast<float>(p[k][j]);
  if (m_bNormals && n) {
    float* w = m_aNormals.data() + static_cast<size_t>(m_nQuads) * 12;
    for (int k = 0; k < 4; ++k)
      for (int j = 0; j < 3; ++j) w[3 * k + j] = static_cast<float>(n[j]);
  }
  ++m_nQuads;
}

void CQuadStaging::Draw(int first, int count) const {
  if (count <= 0 || first < 0 || first + count > m_nQuads) return;
  // Inside a list build the vertices go to a buffer object rather than into
  // the list.
  if (!m_bNormals && CListBatches::BuildDraws(m_aVertices.data(), 4 * first, 4 * count, m_bFilled))
    return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, m_aVertices.data());
  if (m_bNormals) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, m_aNormals.data());
  }
  glDrawArrays(GL_QUADS, 4 * first, 4 * count);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (m_bNormals) {
    glDisableClientState(GL_NORMAL_ARRAY);
    glNormal3fv(m_aNormals.data() + static_cast<size_t>(first + count) * 12 - 3);
  }
}

long long CFaceStaging::Add(const double p[4][3], int corners, const double n[3], const float rgb[3]) {
  if (corners < 3) return -1;  // a polygon of fewer corners draws nothing
  constexpr int kFloats = CListBatches::kFaceFloats;
  if (m_aVertices.empty()) m_aVertices.resize(static_cast<size_t>(kChunkFaces) * 4 * kFloats);
  float* v = m_aVertices.data() + static_cast<size_t>(m_nFaces) * 4 * kFloats;
  if (m_nFaces == 0) std::copy(rgb, rgb + 3, m_firstColour);
  else if (m_bOneColour) m_bOneColour = std::equal(rgb, rgb + 3, m_firstColour);
  // The colour's bytes are made once and copied into every corner.
  float colour;
  CListBatches::PutFaceColour(rgb, &colour);
  for (int k = 0; k < 4; ++k, v += kFloats) {
    const double* c = p[std::min(k, std::min(corners, 4) - 1)];
    for (int j = 0; j < 3; ++j) v[j] = static_cast<float>(c[j]);
    std::memcpy(v + 3, &colour, sizeof colour);
  }
  std::copy(rgb, rgb + 3, m_lastColour);
  for (int j = 0; j < 3; ++j) m_lastNormal[j] = static_cast<float>(n[j]);
  ++m_nFaces;
  return m_nStaged++;
}

void CFaceStaging::Draw() {
  if (m_nFaces == 0) return;
  constexpr int kFloats = CListBatches::kFaceFloats;
  constexpr int kPlain = CListBatches::kPlainFaceFloats;
  const size_t vertices = static_cast<size_t>(m_nFaces) * 4;
  if (m_bOneColour) {
    // Positions only, packed in place.
    for (size_t i = 1; i < vertices; ++i)
      std::copy_n(m_aVertices.data() + i * kFloats, kPlain, m_aVertices.data() + i * kPlain);
  }
  const bool coloured = !m_bOneColour;
  // The last face's colour and normal are left current.
  if (!CListBatches::BuildDrawsFaces(m_aVertices.data(), m_nFaces, coloured, m_lastColour, m_lastNormal)) {
    CListBatches::DrawFaceArrays(m_aVertices.data(), m_nFaces, coloured, m_lastColour, m_lastNormal);
    m_bAllInBuffers = false;
  }
  m_nFaces = 0;
  m_bOneColour = true;
}

bool MaterialInsidePrimitive() { return CGlDriver::Cures().materialInsidePrimitive; }

void CPolygonRun::Polygon(const double p[4][3], int corners, const double n[3]) {
  glBegin(GL_POLYGON);
  glNormal3dv(n);
  for (int k = 0; k < corners; ++k) Vertex(p[k]);
  glEnd();
  Drawn(p[0]);
}

void CPolygonRun::Drawn(const double corner[3]) {
  if (!CGlDriver::Cures().breakPolygonRuns) return;
  std::copy(corner, corner + 3, m_last);
  // The driver also ends a run where its buffers fill: a line every few
  // polygons leaves such a run only a few to keep.
  if (++m_nPolygons >= kLineEvery) End();
}

void CPolygonRun::End() {
  // A run of one polygon is one draw, of which the driver keeps nothing.
  if (m_nPolygons > 1) {
    // An incomplete primitive: GL draws nothing of it.
    glBegin(GL_LINES);
    Vertex(m_last);
    glEnd();
  }
  m_nPolygons = 0;
}

void DrawOutlinedPolygon(const double p[4][3], int corners, const double n[3], bool outlined,
                         const std::function<void()>& fill, const std::function<void()>& outline,
                         const std::function<void(int)>& cornerColour) {
  const bool inside = MaterialInsidePrimitive();
  auto polygon = [&](const std::function<void()>* colour, bool byCorner = false) {
    if (colour && !inside) (*colour)();
    glBegin(GL_POLYGON);
    glNormal3dv(n);
    if (colour && inside) (*colour)();
    for (int k = 0; k < corners; ++k) {
      if (byCorner) cornerColour(k);
      Vertex(p[k]);
    }
    glEnd();
  };
  const bool byCorner = static_cast<bool>(cornerColour);
  if (!outlined) {
    polygon(&fill, byCorner);
    return;
  }
  glStencilFunc(GL_NEVER, 1, 1);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  polygon(nullptr);
  glStencilFunc(GL_EQUAL, 0, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  polygon(&fill, byCorner);
  glStencilFunc(GL_ALWAYS, 0, 1);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  polygon(&outline);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}
