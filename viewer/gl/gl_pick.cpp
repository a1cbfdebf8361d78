// Picking: the pick names of the polygons a pick can hit and what a name
// stands for; the polygons are projected, clipped to the small view volume
// around the cursor and ordered by depth, as selection mode would (selection
// mode keeps memory in the driver for every polygon it draws), and the
// nearest element is labelled.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/numbers.h"
#include "viewer/gl/gl_scene.h"

namespace {

struct ClipPoint {
  float c[4];
};

// Clips a convex polygon in clip coordinates to -w <= x, y, z <= w as the
// driver does, in float, plane by plane (x <= w, x >= -w, y <= w, y >= -w,
// z >= -w, z <= w), a new corner found from the inside corner of its edge;
// returns the corners left (none when it lies outside or is not finite).
constexpr int kMaxCorners = 64;

int ClipToVolume(ClipPoint* poly, int n) {
  ClipPoint tmp[kMaxCorners];
  for (int plane = 0; plane < 6 && n > 0; ++plane) {
    // Each edge adds at most two corners (a polygon bent by rounding may
    // cross a plane more than twice).
    if (2 * n > kMaxCorners) return n;
    const int axis = plane / 2;
    const bool upper = (plane % 2 == 0) != (axis == 2);
    auto dist = [&](const ClipPoint& v) { return upper ? v.c[3] - v.c[axis] : v.c[axis] + v.c[3]; };
    int m = 0;
    for (int i = 0; i < n; ++i) {
      const ClipPoint& a = poly[i];
      const ClipPoint& b = poly[(i + 1) % n];
      const float da = dist(a), db = dist(b);
      if (!std::isfinite(da) || !std::isfinite(db)) return 0;  // the driver drops it too
      if (!(da < 0)) tmp[m++] = a;
      if ((da < 0) != (db < 0)) {
        const ClipPoint& out = da < 0 ? a : b;
        const ClipPoint& in = da < 0 ? b : a;
        const float dIn = da < 0 ? db : da;
        const float t = dIn / (dIn - (da < 0 ? da : db));
        ClipPoint& v = tmp[m++];
        for (int j = 0; j < 4; ++j) v.c[j] = in.c[j] + t * (out.c[j] - in.c[j]);
      }
    }
    std::copy(tmp, tmp + m, poly);
    n = m;
  }
  return n;
}

// Window depth of a clip-space point as the driver computes it (in float,
// depth range 0 to 1).
float WindowDepth(const ClipPoint& v) {
  const float oow = 1.0f / v.c[3];
  return v.c[2] * oow * 0.5f + 0.5f;
}

// A depth in [0, 1] as the unsigned word of a hit record: times 2^32 - 1 in
// float, truncated (the far plane itself stays the largest word).
unsigned DepthWord(float z) {
  const float scaled = static_cast<float>(~0u) * z;
  if (!(scaled > 0)) return 0u;
  if (scaled >= 4294967296.0f) return ~0u;
  return static_cast<unsigned>(scaled);
}

}  // namespace

void SortHitsByDepth(std::vector<unsigned>& names, std::vector<unsigned>& depths) {
  const size_t n = std::min(names.size(), depths.size());
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return depths[a] < depths[b]; });
  std::vector<unsigned> nn(n), dd(n);
  for (size_t i = 0; i < n; ++i) {
    nn[i] = names[order[i]];
    dd[i] = depths[order[i]];
  }
  std::copy(nn.begin(), nn.end(), names.begin());
  std::copy(dd.begin(), dd.end(), depths.begin());
}

PickResult DecodePickName(unsigned name, const CDispModel& doc) {
  PickResult r;
  r.hit = true;
  r.name = name;
  const unsigned kind = name % 10;
  const long long i = name / 10;
  if (kind == kPickTria && i < std::min<long long>(doc.m_nElems3, doc.m_aElems3.size())) {
    r.elem = doc.m_aElems3[static_cast<size_t>(i)].nNo;
    r.mat = doc.m_aElems3[static_cast<size_t>(i)].nMat;
  } else if (kind == kPickQuad && i < std::min<long long>(doc.m_nElems4, doc.m_aElems4.size())) {
    r.elem = doc.m_aElems4[static_cast<size_t>(i)].nNo;
    r.mat = doc.m_aElems4[static_cast<size_t>(i)].nMat;
  } else if (kind == kPickFace && i < std::min<long long>(doc.m_nFaces, doc.m_aFaces.size())) {
    r.elem = doc.m_aFaces[static_cast<size_t>(i)].nElem;
    r.mat = doc.m_aFaces[static_cast<size_t>(i)].nMat;
  }
  return r;
}

bool EncodePickName(long long index, unsigned kind, unsigned& name) {
  if (index < 0 || index > kMaxPickIndex || kind > 9) return false;
  name = static_cast<unsigned>(10 * index + static_cast<long long>(kind));
  return true;
}

bool CGlScene::ForEachPickPolygon(const PickPolygon& each) const {
  if (!m_pDoc) return true;
  const CDispModel& d = *m_pDoc;
  const int n3 = std::min(d.m_nElems3, static_cast<int>(d.m_aElems3.size()));
  const int n4 = std::min(d.m_nElems4, static_cast<int>(d.m_aElems4.size()));
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  unsigned name = 0;
  // The last polygon of each kind has the largest name.
  for (const int n : {n3, n4, nf})
    if (n > 0 && !EncodePickName(n - 1, kPickFace, name)) return false;
  double p[4][3] = {};
  auto elements = [&](const std::vector<DispElem>& a, int n, int corners, unsigned kind) {
    for (int i = 0; i < n; ++i)
      if (ElemCorners(a[static_cast<size_t>(i)], corners, p) && EncodePickName(i, kind, name)) each(name, corners, p);
  };
  elements(d.m_aElems3, n3, 3, kPickTria);
  elements(d.m_aElems4, n4, 4, kPickQuad);
  for (int i = 0; i < nf; ++i) {
    const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
    FaceCorners(f, p);
    if (EncodePickName(i, kPickFace, name)) each(name, f.nCorners == 3 ? 3 : 4, p);
  }
  return true;
}

PickResult CGlScene::Pick(const CDispModel& doc, const SceneRect& rect, int x, int y) {
  lastPick = PickResult{};
  hitCount = 0;
  if (!contextCreated || rect.Width() <= 0 || rect.Height() <= 0) return lastPick;
  BindModel(doc, m_pValues);
  TakeNormalisation(doc);
  ApplyContextState();

  SetProjection(doc, x, y, 0.5, rect, true);
  for (int i = 0; i < 3; ++i) target[i] = settings.center[i];
  double e[3], c[3];
  ToScaled(settings.eye, e);
  ToScaled(settings.center, c);
  gluLookAt(e[0], e[1], e[2], c[0], c[1], c[2], settings.up[0], settings.up[1], settings.up[2]);
  // The driver keeps its matrices in float and multiplies them in float.
  float proj[16], view[16], m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, proj);
  glGetFloatv(GL_MODELVIEW_MATRIX, view);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col)
      m[4 * col + row] = proj[row] * view[4 * col] + proj[4 + row] * view[4 * col + 1] +
                         proj[8 + row] * view[4 * col + 2] + proj[12 + row] * view[4 * col + 3];

  std::vector<unsigned> names, depths;
  const bool named = ForEachPickPolygon(
      [&](unsigned name, int corners, const double p[4][3]) {
        ClipPoint v[4];
        for (int k = 0; k < corners; ++k) {
          const float q[3] = {static_cast<float>(p[k][0]), static_cast<float>(p[k][1]),
                              static_cast<float>(p[k][2])};
          for (int row = 0; row < 4; ++row)
            v[k].c[row] = ((m[row] * q[0] + m[4 + row] * q[1]) + m[8 + row] * q[2]) + m[12 + row];
        }
        // A polygon is drawn as the fan of triangles from its first corner.
        bool hit = false;
        float minZ = 1.0f;
        for (int k = 1; k + 1 < corners; ++k) {
          ClipPoint poly[kMaxCorners] = {v[0], v[k], v[k + 1]};
          const int left = ClipToVolume(poly, 3);
          for (int j = 0; j < left; ++j) minZ = std::min(minZ, WindowDepth(poly[j]));
          hit = hit || left > 0;
        }
        if (!hit) return;
        names.push_back(name);
        depths.push_back(DepthWord(minZ));
      });
  if (!named) {
    std::fprintf(stderr, "pick: too many elements for the pick names, nothing picked\n");
    return lastPick;
  }
  const int hits = static_cast<int>(names.size());
  hitCount = hits;
  if (static_cast<int>(hitNames.size()) < hits) {
    hitNames.resize(static_cast<size_t>(hits) + 100);
    hitDepths.resize(static_cast<size_t>(hits) + 100);
  }
  SortHitsByDepth(names, depths);
  std::copy(names.begin(), names.end(), hitNames.begin());
  std::copy(depths.begin(), depths.end(), hitDepths.begin());
  if (names.empty()) return lastPick;

  lastPick = DecodePickName(names[0], doc);
  OverlayText t;
  t.text = plat::Format("要素番号 %d / 材料番号 %d", lastPick.elem, lastPick.mat);
  t.hAlign = OverlayText::kLeft;
  t.vAlign = OverlayText::kBottom;
  t.x = 101;
  t.y = 51;
  overlay.push_back(t);
  t.x = 100;
  t.y = 50;
  t.r = t.g = t.b = 255;
  overlay.push_back(t);
  t.text = plat::Format(" %d %d ", lastPick.elem, lastPick.mat);
  t.hAlign = OverlayText::kCenter;
  t.vAlign = OverlayText::kBaseline;
  t.x = x;
  t.y = y;
  t.r = t.g = t.b = 0;
  overlay.push_back(t);
  return lastPick;
}
