#include "viewer/member_solid.h"

#include <algorithm>
#include <cmath>

#include "viewer/display_model.h"

namespace {

constexpr double kPi = 3.141592653589793;

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The face record with the identifiers of the member and the block.
DispFace NewFace(const MemberFrame& f, const SolidBlock& b, int nIndex, int nSide) {
  DispFace face;
  face.nElem = f.nElem;
  face.nBlock = b.nBlock;
  face.nIndex = nIndex;
  face.nMat = b.nMat;
  face.nColorClass = f.nColorClass;
  face.nSide = nSide;
  face.nMode1 = f.nMode1;
  return face;
}

// Sets the corners of a quadrilateral (their points c, their slots in the
// corner array) so that they turn counter-clockwise seen from the side
// `outward` points to (the drawing takes the face's normal from its first
// three corners).
void SetQuad(DispFace& face, const double c[4][3], const std::uint32_t slot[4], const double outward[3]) {
  // Newell's normal of the loop: robust for a quad whose first edge is short.
  double w[3] = {0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    const double* a = c[i];
    const double* b = c[(i + 1) % 4];
    w[0] += (a[1] - b[1]) * (a[2] + b[2]);
    w[1] += (a[2] - b[2]) * (a[0] + b[0]);
    w[2] += (a[0] - b[0]) * (a[1] + b[1]);
  }
  const bool reverse = Dot(w, outward) < 0;
  face.nCorners = 4;
  for (int i = 0; i < 4; ++i) face.c[i] = slot[reverse ? (4 - i) % 4 : i];
}

// A quad of four corners already in the corner array (by slot).
void AddQuad(CDispModel& model, DispFace face, const std::uint32_t slot[4], const double outward[3]) {
  double q[4][3];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) q[i][j] = model.Corner(slot[i])[j];
  SetQuad(face, q, slot, outward);
  model.AddFace(face);
}

// Position at radius r and angle t (radians) of an arc block at one end.
void ArcPoint(const MemberFrame& f, const SolidBlock& b, const double end[3], double r, double t,
              double out[3]) {
  const double cy = b.yc + r * std::cos(t);
  const double cz = b.zc + r * std::sin(t);
  for (int j = 0; j < 3; ++j) out[j] = end[j] + cy * f.ay[j] + cz * f.az[j];
}

int RadialCount(const SolidBlock& b) { return std::max(0, b.nRadial); }

// Angle of division i of n (radians); the last one is the end angle itself.
double DivAngle(const SolidBlock& b, int i, int n) {
  const double span = b.a2 - b.a1;
  const double deg = (i == n) ? b.a2 : b.a1 + span * i / n;
  return deg * kPi / 180.0;
}

}  // namespace

int ArcDivisionCount(double a1, double a2) {
  const double span = a2 - a1;
  if (!std::isfinite(a1) || !std::isfinite(a2) || !std::isfinite(span)) return 0;
  const double q = std::trunc(span / 45.0 + 1e-6);
  // 8 L is at most the cap; a larger L would only be cut back to it.
  const double lmax = kMaxArcDivisions / 8;
  const int l = q < 1.0 ? 1 : (q > lmax ? static_cast<int>(lmax) : static_cast<int>(q));
  int n = 8;
  while (n < 8 * l) n *= 2;
  return n;
}

std::int64_t ArcFaceCount(int nRadial, double a1, double a2) {
  const std::int64_t n = ArcDivisionCount(a1, a2);
  if (n == 0) return 0;
  const std::int64_t r = std::max(0, nRadial);
  return 2 * n + 2 * r * n + 2 * r;
}

std::int64_t ArcLineCount(double a1, double a2) {
  const std::int64_t n = ArcDivisionCount(a1, a2);
  if (n == 0) return 0;
  return 4 * n + 12;
}

void TransformLocalCorner(const double p1[3], const double p2[3], const double ay[3],
                          const double az[3], const double y[4], const double z[4],
                          double ox[8], double oy[8], double oz[8]) {
  for (int e = 0; e < 2; ++e) {
    const double* p = e == 0 ? p1 : p2;
    for (int k = 0; k < 4; ++k) {
      const int i = e * 4 + k;
      ox[i] = p[0] + y[k] * ay[0] + z[k] * az[0];
      oy[i] = p[1] + y[k] * ay[1] + z[k] * az[1];
      oz[i] = p[2] + y[k] * ay[2] + z[k] * az[2];
    }
  }
}

void MakeUnitAxes(const double ox[8], const double oy[8], const double oz[8], double u[3],
                  double v[3]) {
  u[0] = ox[1] - ox[0];
  u[1] = oy[1] - oy[0];
  u[2] = oz[1] - oz[0];
  v[0] = ox[3] - ox[0];
  v[1] = oy[3] - oy[0];
  v[2] = oz[3] - oz[0];
  for (double* w : {u, v}) {
    const double len = std::sqrt(Dot(w, w));
    if (len > 0) {
      for (int j = 0; j < 3; ++j) w[j] /= len;
    }
  }
}

void BlockCorners(const MemberFrame& f, const SolidBlock& b, double c[8][3], double u[3],
                  double v[3]) {
  double ox[8], oy[8], oz[8];
  TransformLocalCorner(f.p1, f.p2, f.ay, f.az, b.y, b.z, ox, oy, oz);
  MakeUnitAxes(ox, oy, oz, u, v);
  for (int i = 0; i < 8; ++i) {
    c[i][0] = ox[i];
    c[i][1] = oy[i];
    c[i][2] = oz[i];
  }
}

void AddRectPartFaces(CDispModel& model, const MemberFrame& f, const SolidBlock& b) {
  double c[8][3], u[3], v[3];
  BlockCorners(f, b, c, u, v);
  // The six faces share the box's eight corners, slots s0 .. s0 + 7.
  const std::int64_t s0 = model.m_nCorners;
  for (const auto& p : c)
    if (model.AddCorner(p) < 0) return;
  const auto slot = [&](int i) { return static_cast<std::uint32_t>(s0 + i); };
  // The corners of both end faces turn outwards, away from the member at
  // either end.
  for (int e = 0; e < 2; ++e) {
    const std::uint32_t q[4] = {slot(e * 4), slot(e * 4 + 1), slot(e * 4 + 2), slot(e * 4 + 3)};
    const double outward[3] = {e == 0 ? -f.ax[0] : f.ax[0], e == 0 ? -f.ax[1] : f.ax[1],
                               e == 0 ? -f.ax[2] : f.ax[2]};
    AddQuad(model, NewFace(f, b, 0, 1), q, outward);
  }
  // Side k lies between corners k and k + 1.
  const double sideNormal[4][3] = {{-v[0], -v[1], -v[2]},
                                   {u[0], u[1], u[2]},
                                   {v[0], v[1], v[2]},
                                   {-u[0], -u[1], -u[2]}};
  for (int k = 0; k < 4; ++k) {
    const int k1 = (k + 1) % 4;
    const std::uint32_t q[4] = {slot(k), slot(k1), slot(4 + k1), slot(4 + k)};
    AddQuad(model, NewFace(f, b, k, 1), q, sideNormal[k]);
  }
}

void AddArcPartSides(CDispModel& model, const MemberFrame& f, const SolidBlock& b) {
  const int n = ArcDivisionCount(b.a1, b.a2);
  if (n == 0) return;
  const int r = RadialCount(b);
  // The arrays are sized for every face before building; a block they have
  // no room for (its allocation was refused) is passed over at once rather
  // than walked face by face, which a huge radial count would make endless.
  if (!model.HasFaceRoom(ArcFaceCount(b.nRadial, b.a1, b.a2))) return;
  // Angles run backwards for a negative span: outward sides of the cuts
  // follow the sense of the sweep.
  const double sense = (b.a2 - b.a1) < 0 ? -1.0 : 1.0;
  // Radii from the inner to the outer one; the outer side faces away from
  // the centre when the outer radius is the larger.
  const double rsense = (b.r2 - b.r1) < 0 ? -1.0 : 1.0;
  const double* ends[2] = {f.p1, f.p2};

  auto radial = [&](double t, double out[3]) {
    for (int j = 0; j < 3; ++j) out[j] = std::cos(t) * f.ay[j] + std::sin(t) * f.az[j];
  };
  // Appends the points point(i) for i = 0 .. count - 1 as corners; the
  // slot of the first, or -1 when the corner array is full. Faces take
  // neighbouring points of these rows as shared corners.
  auto addRow = [&](int count, auto point) -> std::int64_t {
    const std::int64_t first = model.m_nCorners;
    for (int i = 0; i < count; ++i) {
      double p[3];
      point(i, p);
      if (model.AddCorner(p) < 0) return -1;
    }
    return first;
  };
  const auto slot = [](std::int64_t first, int i) { return static_cast<std::uint32_t>(first + i); };
  // Faces along the member on one radius.
  auto addAlong = [&](double rad, double side) {
    std::int64_t row[2];
    for (int e = 0; e < 2; ++e) {
      row[e] = addRow(n + 1, [&](int i, double p[3]) { ArcPoint(f, b, ends[e], rad, DivAngle(b, i, n), p); });
      if (row[e] < 0) return false;
    }
    for (int i = 0; i < n; ++i) {
      const double t0 = DivAngle(b, i, n), t1 = DivAngle(b, i + 1, n);
      const std::uint32_t q[4] = {slot(row[0], i), slot(row[0], i + 1), slot(row[1], i + 1), slot(row[1], i)};
      double nrm[3];
      radial(0.5 * (t0 + t1), nrm);
      for (double& x : nrm) x *= side;
      AddQuad(model, NewFace(f, b, 0, 0), q, nrm);
    }
    return true;
  };
  if (!addAlong(b.r2, rsense) || !addAlong(b.r1, -rsense)) return;

  auto ringRadius = [&](int j) { return j == r ? b.r2 : b.r1 + (b.r2 - b.r1) * j / r; };
  // End surfaces: r rings of n divisions at each end, on a grid of ring
  // radius j (rows) and division angle i.
  for (int e = 0; e < 2 && r > 0; ++e) {
    double nrm[3];
    for (int j = 0; j < 3; ++j) nrm[j] = e == 0 ? -f.ax[j] : f.ax[j];
    std::int64_t ring = -1;
    for (int j = 0; j <= r; ++j) {
      const double rad = ringRadius(j);
      const std::int64_t next =
          addRow(n + 1, [&](int i, double p[3]) { ArcPoint(f, b, ends[e], rad, DivAngle(b, i, n), p); });
      if (next < 0) return;
      if (j > 0) {
        for (int i = 0; i < n; ++i) {
          const std::uint32_t q[4] = {slot(ring, i), slot(next, i), slot(next, i + 1), slot(ring, i + 1)};
          AddQuad(model, NewFace(f, b, 0, 0), q, nrm);
        }
      }
      ring = next;
    }
  }
  // Radial cuts at the start and at the end angle.
  for (int c = 0; c < 2 && r > 0; ++c) {
    const double t = DivAngle(b, c == 0 ? 0 : n, n);
    // Tangent of increasing angle; the start cut faces against the sweep.
    double nrm[3];
    for (int j = 0; j < 3; ++j) {
      const double tangent = -std::sin(t) * f.ay[j] + std::cos(t) * f.az[j];
      nrm[j] = (c == 0 ? -sense : sense) * tangent;
    }
    std::int64_t cut[2];
    for (int e = 0; e < 2; ++e) {
      cut[e] = addRow(r + 1, [&](int j, double p[3]) { ArcPoint(f, b, ends[e], ringRadius(j), t, p); });
      if (cut[e] < 0) return;
    }
    for (int j = 0; j < r; ++j) {
      const std::uint32_t q[4] = {slot(cut[0], j), slot(cut[0], j + 1), slot(cut[1], j + 1), slot(cut[1], j)};
      AddQuad(model, NewFace(f, b, 0, 0), q, nrm);
    }
  }
}

void AddArcPartCaps(CDispModel& model, const MemberFrame& f, const SolidBlock& b) {
  const int n = ArcDivisionCount(b.a1, b.a2);
  if (n == 0) return;
  // The outlines are closed loops: a loop cut short would leave its count
  // code pointing past the records, so they go in whole or not at all.
  if (!model.HasLineRoom(ArcLineCount(b.a1, b.a2))) return;
  // Second vector: the member direction from the point's end to the other.
  double d12[3], d21[3];
  for (int j = 0; j < 3; ++j) {
    d12[j] = f.p2[j] - f.p1[j];
    d21[j] = -d12[j];
  }
  auto add = [&](const double p[3], const double* dir, int code) {
    model.AddLine(p, dir, b.nMat, f.nElemInt, f.nColorClass, f.nMode1, code);
  };
  // End outlines: outer arc then inner arc, one closed loop of 2n + 2 points;
  // at the second end the loop runs the other way round.
  for (int e = 0; e < 2; ++e) {
    const double* end = e == 0 ? f.p1 : f.p2;
    const double* dir = e == 0 ? d12 : d21;
    int code = 2 * n + 1;
    for (int i = 0; i <= n; ++i) {
      double p[3];
      ArcPoint(f, b, end, b.r2, DivAngle(b, e == 0 ? i : n - i, n), p);
      add(p, dir, code--);
    }
    for (int i = 0; i <= n; ++i) {
      double p[3];
      ArcPoint(f, b, end, b.r1, DivAngle(b, e == 0 ? n - i : i, n), p);
      add(p, dir, code--);
    }
  }
  // Outlines of the two radial cuts.
  for (int c = 0; c < 2; ++c) {
    const double t = DivAngle(b, c == 0 ? 0 : n, n);
    double p[4][3];
    ArcPoint(f, b, f.p1, b.r1, t, p[0]);
    ArcPoint(f, b, f.p1, b.r2, t, p[1]);
    ArcPoint(f, b, f.p2, b.r2, t, p[2]);
    ArcPoint(f, b, f.p2, b.r1, t, p[3]);
    add(p[0], d12, 3);
    add(p[1], d12, 2);
    add(p[2], d21, 1);
    add(p[3], d21, 0);
  }
}

void AddBlockSolid(CDispModel& model, const MemberFrame& frame, const SolidBlock& block) {
  if (block.bArc) {
    AddArcPartSides(model, frame, block);
    AddArcPartCaps(model, frame, block);
  } else {
    AddRectPartFaces(model, frame, block);
  }
}
