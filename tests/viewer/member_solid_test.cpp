#include "viewer/member_solid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "viewer/display_model.h"

namespace {

constexpr double kPi = 3.141592653589793;

// Twice the area vector of a face from its corners, in their order.
void Newell(const CDispModel& m, const DispFace& f, double w[3]) {
  w[0] = w[1] = w[2] = 0;
  for (int i = 0; i < f.nCorners; ++i) {
    const auto a = m.FaceCorner(f, i);
    const auto b = m.FaceCorner(f, (i + 1) % f.nCorners);
    w[0] += (a[1] - b[1]) * (a[2] + b[2]);
    w[1] += (a[2] - b[2]) * (a[0] + b[0]);
    w[2] += (a[0] - b[0]) * (a[1] + b[1]);
  }
}

// Volume enclosed by the faces from their windings (divergence theorem): it
// is the true volume only when every face turns outwards.
double SignedVolume(const CDispModel& m) {
  double v = 0;
  for (int i = 0; i < m.m_nFaces; ++i) {
    const DispFace& f = m.m_aFaces[i];
    double w[3];
    Newell(m, f, w);
    const auto p = m.FaceCorner(f, 0);
    v += (p[0] * w[0] + p[1] * w[1] + p[2] * w[2]) / 6.0;
  }
  return v;
}

// A member along global x from (2, 1, -1) to (2 + len, 1, -1) with the
// section axes y and z (away from the origin, so that the volume test sees
// every face).
MemberFrame AlongX(double len) {
  MemberFrame f;
  f.p1[0] = 2;
  f.p1[1] = f.p2[1] = 1;
  f.p1[2] = f.p2[2] = -1;
  f.p2[0] = 2 + len;
  f.ax[0] = 1;
  f.ay[1] = 1;
  f.az[2] = 1;
  f.nElem = 7;
  f.nElemInt = 3;
  f.nColorClass = 2;
  f.nMode1 = 1;
  return f;
}

TEST(ArcDivision, CountFollowsTheSpan) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double a1, a2;
    int n;
  } cases[] = {
      {0, 90, 16},   {0, 360, 64},  {0, 10, 8},    {0, 45, 8},       {0, 180, 32},
      {-45, 45, 16}, {0, 135, 32},  {0, 89.99, 8}, {90, 0, 8},       {0, 0, 8},
      {0, 720, 128}, {0, 1e12, kMaxArcDivisions},  {nan, 90, 0},     {0, inf, 0},
      {-inf, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArcDivisionCount(c.a1, c.a2), c.n) << c.a1 << " .. " << c.a2;
  }
}

TEST(ArcDivision, RecordCountsUseTheBuildersDivisions) {
  struct Case {
    int r;
    double a1, a2;
    long long faces, lines;
  } cases[] = {
      {2, 0, 90, 2 * 16 + 2 * 2 * 16 + 4, 4 * 16 + 12},
      {1, 0, 135, 2 * 32 + 2 * 32 + 2, 4 * 32 + 12},
      {0, 0, 360, 2 * 64, 4 * 64 + 12},
      {-3, 0, 10, 2 * 8, 4 * 8 + 12},
      {4, 0, std::numeric_limits<double>::quiet_NaN(), 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArcFaceCount(c.r, c.a1, c.a2), c.faces) << c.r << " " << c.a2;
    EXPECT_EQ(ArcLineCount(c.a1, c.a2), c.lines) << c.a2;
  }
  // A huge radial count is counted in 64 bits.
  EXPECT_EQ(ArcFaceCount(2000000000, 0, 360), 2 * 64 + 2LL * 2000000000 * 64 + 4000000000LL);
}

TEST(MemberSolid, TransformAndUnitAxes) {
  const double p1[3] = {1, 2, 3}, p2[3] = {1, 2, 13};
  const double ay[3] = {0, -1, 0}, az[3] = {1, 0, 0};
  const double y[4] = {-1, -1, 1, 1}, z[4] = {0, 10, 10, 0};
  double ox[8], oy[8], oz[8];
  TransformLocalCorner(p1, p2, ay, az, y, z, ox, oy, oz);
  // Corner 1 at the first end: p1 - 1 x ay + 10 x az.
  EXPECT_DOUBLE_EQ(ox[1], 11);
  EXPECT_DOUBLE_EQ(oy[1], 3);
  EXPECT_DOUBLE_EQ(oz[1], 3);
  // Corner 2 at the second end.
  EXPECT_DOUBLE_EQ(ox[6], 11);
  EXPECT_DOUBLE_EQ(oy[6], 1);
  EXPECT_DOUBLE_EQ(oz[6], 13);
  double u[3], v[3];
  MakeUnitAxes(ox, oy, oz, u, v);
  EXPECT_DOUBLE_EQ(u[0], 1);
  EXPECT_DOUBLE_EQ(u[1], 0);
  EXPECT_DOUBLE_EQ(v[1], -1);
  // Coinciding corners leave the vectors undivided (zero).
  const double zero[4] = {0, 0, 0, 0};
  TransformLocalCorner(p1, p2, ay, az, zero, zero, ox, oy, oz);
  MakeUnitAxes(ox, oy, oz, u, v);
  EXPECT_EQ(u[0] * u[0] + u[1] * u[1] + u[2] * u[2], 0);
}

TEST(MemberSolid, BlockCornersArePointsInTheMembersFrame) {
  MemberFrame f;
  f.p1[0] = 1, f.p1[1] = 2, f.p1[2] = 3;
  f.p2[0] = 1, f.p2[1] = 2, f.p2[2] = 13;
  f.ay[1] = -1;
  f.az[0] = 1;
  SolidBlock b;
  const double y[4] = {-1, -1, 1, 1}, z[4] = {0, 10, 10, 0};
  for (int k = 0; k < 4; ++k) b.y[k] = y[k], b.z[k] = z[k];
  double c[8][3], u[3], v[3];
  BlockCorners(f, b, c, u, v);
  const double want1[3] = {11, 3, 3}, want6[3] = {11, 1, 13};
  for (int j = 0; j < 3; ++j) {
    EXPECT_DOUBLE_EQ(c[1][j], want1[j]);
    EXPECT_DOUBLE_EQ(c[6][j], want6[j]);
  }
  EXPECT_DOUBLE_EQ(u[0], 1);
  EXPECT_DOUBLE_EQ(v[1], -1);
}

TEST(MemberSolid, RectangularBlockMakesABoxOfSixFaces) {
  CDispModel m;
  ASSERT_TRUE(m.AllocArrays(6, 0, 0, 0, 0));
  const MemberFrame f = AlongX(10);
  SolidBlock b;
  // The strip from (0, 0) to (0, 10) of thickness 2.
  const double y[4] = {-1, -1, 1, 1}, z[4] = {0, 10, 10, 0};
  for (int k = 0; k < 4; ++k) {
    b.y[k] = y[k];
    b.z[k] = z[k];
  }
  b.nBlock = 2;
  b.nMat = 5;
  AddRectPartFaces(m, f, b);
  ASSERT_EQ(m.m_nFaces, 6);
  EXPECT_EQ(m.m_nOverflow, 0);
  // u = +z, v = +y: end faces -x and +x (outwards), sides -v, +u, +v, -u,
  // as the drawing takes them from the first three corners.
  const double normal[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0},
                               {0, 0, 1},  {0, 1, 0},  {0, 0, -1}};
  const int index[6] = {0, 0, 0, 1, 2, 3};
  for (int i = 0; i < 6; ++i) {
    const DispFace& face = m.m_aFaces[i];
    EXPECT_EQ(face.nCorners, 4);
    EXPECT_EQ(face.nIndex, index[i]) << i;
    EXPECT_EQ(face.nSide, 1);
    EXPECT_EQ(face.nElem, 7);
    EXPECT_EQ(face.nBlock, 2);
    EXPECT_EQ(face.nMat, 5);
    EXPECT_EQ(face.nColorClass, 2);
    EXPECT_EQ(face.nMode1, 1);
    double p[4][3], n[3];
    m.FaceCorners(face, p);
    FlatNormal(p, n);
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(n[j], normal[i][j], 1e-12) << i;
  }
  // The end faces lie at their ends; every face turns outwards.
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(m.FaceCorner(m.m_aFaces[0], c)[0], 2);
    EXPECT_EQ(m.FaceCorner(m.m_aFaces[1], c)[0], 12);
  }
  EXPECT_NEAR(SignedVolume(m), 10 * 2 * 10, 1e-9);
  EXPECT_EQ(m.m_nCorners, 8);  // the six faces share the box's corners
  for (int i = 2; i < 6; ++i) {
    double w[3];
    Newell(m, m.m_aFaces[i], w);
    EXPECT_GT(w[0] * normal[i][0] + w[1] * normal[i][1] + w[2] * normal[i][2], 0) << i;
  }
}

struct ArcCase {
  double r1, r2, a1, a2;
  int nRadial;
};

class ArcBlock : public ::testing::TestWithParam<ArcCase> {};

TEST_P(ArcBlock, FacesAndOutlinesFillExactlyTheirCount) {
  const ArcCase c = GetParam();
  const int n = ArcDivisionCount(c.a1, c.a2);
  const auto nFaces = ArcFaceCount(c.nRadial, c.a1, c.a2);
  const auto nLines = ArcLineCount(c.a1, c.a2);
  CDispModel m;
  ASSERT_TRUE(m.AllocArrays(nFaces, nLines, 0, 0, 0));
  const double len = 4;
  const MemberFrame f = AlongX(len);
  SolidBlock b;
  b.bArc = true;
  b.r1 = c.r1;
  b.r2 = c.r2;
  b.a1 = c.a1;
  b.a2 = c.a2;
  b.yc = 0.5;
  b.zc = -0.25;
  b.nRadial = c.nRadial;
  b.nMat = 9;
  AddArcPartSides(m, f, b);
  AddArcPartCaps(m, f, b);
  EXPECT_EQ(m.m_nFaces, nFaces);
  EXPECT_EQ(m.m_nLines, nLines);
  EXPECT_EQ(m.m_nOverflow, 0);
  // Neighbouring facets share their corners.
  EXPECT_LT(m.m_nCorners, 3 * m.m_nFaces);
  for (int i = 0; i < m.m_nFaces; ++i) {
    EXPECT_EQ(m.m_aFaces[i].nSide, 0);
    EXPECT_EQ(m.m_aFaces[i].nIndex, 0);
    EXPECT_EQ(m.m_aFaces[i].nMat, 9);
  }
  // The closed body (with radial divisions) has the volume of its polygon
  // ring sector when all faces turn outwards (to the corners' float precision).
  if (c.nRadial > 0) {
    const double d = std::fabs(c.a2 - c.a1) * kPi / 180 / n;
    const double area = 0.5 * std::fabs(c.r2 * c.r2 - c.r1 * c.r1) * std::sin(d) * n;
    EXPECT_NEAR(SignedVolume(m), area * len, 1e-6 * area * len);
  }
  // Outlines: two closed loops of 2n + 2 points, then two of 4.
  int k = 0;
  for (int e = 0; e < 2; ++e) {
    for (int code = 2 * n + 1; code >= 0; --code, ++k) EXPECT_EQ(m.m_aLines[k].nCode, code);
  }
  for (int e = 0; e < 2; ++e) {
    for (int code = 3; code >= 0; --code, ++k) EXPECT_EQ(m.m_aLines[k].nCode, code);
  }
  for (int i = 0; i < m.m_nLines; ++i) {
    const DispLine& l = m.m_aLines[i];
    EXPECT_EQ(l.byOutline, 1);
    EXPECT_EQ(l.nThick, 0);
    EXPECT_EQ(l.nMat, 9);
    EXPECT_EQ(l.nElemInt, 3);
    EXPECT_EQ(l.nColorClass, 2);
    EXPECT_EQ(l.nMode1, 1);
    // The second vector points from the point's end to the other end.
    EXPECT_DOUBLE_EQ(l.v[0], l.p[0] == 2 ? len : -len) << i;
  }
  // First outline point: the outer radius at the start angle, first end.
  const double t = c.a1 * kPi / 180;
  EXPECT_NEAR(m.m_aLines[0].p[1], 1 + 0.5 + c.r2 * std::cos(t), 1e-12);
  EXPECT_NEAR(m.m_aLines[0].p[2], -1 - 0.25 + c.r2 * std::sin(t), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Blocks, ArcBlock,
                         ::testing::Values(ArcCase{1, 3, 0, 90, 2}, ArcCase{1, 3, 0, 135, 1},
                                           ArcCase{0.5, 2, -45, 45, 3},
                                           ArcCase{1, 2, 0, 360, 1}, ArcCase{1, 2, 90, 0, 2},
                                           ArcCase{3, 1, 10, 70, 2}, ArcCase{1, 2, 0, 30, 0},
                                           ArcCase{1, 2, 0, 30, -4}));

TEST(MemberSolid, NonFiniteAnglesGiveNoSolid) {
  CDispModel m;
  ASSERT_TRUE(m.AllocArrays(10, 10, 0, 0, 0));
  SolidBlock b;
  b.bArc = true;
  b.r1 = 1;
  b.r2 = 2;
  b.a2 = std::numeric_limits<double>::infinity();
  b.nRadial = 1;
  AddArcPartSides(m, AlongX(1), b);
  AddArcPartCaps(m, AlongX(1), b);
  EXPECT_EQ(m.m_nFaces, 0);
  EXPECT_EQ(m.m_nLines, 0);
}

TEST(MemberSolid, AppendsStopAtTheEndOfTheArrays) {
  CDispModel m;
  ASSERT_TRUE(m.AllocArrays(3, 5, 0, 0, 0));
  SolidBlock b;
  b.y[2] = b.y[3] = 1;
  b.z[1] = b.z[2] = 1;
  AddRectPartFaces(m, AlongX(1), b);
  EXPECT_EQ(m.m_nFaces, 3);
  EXPECT_EQ(m.m_nOverflow, 3);
  b.bArc = true;
  b.r1 = 1;
  b.r2 = 2;
  b.a2 = 90;
  // The outlines go in whole or not at all.
  AddArcPartCaps(m, AlongX(1), b);
  EXPECT_EQ(m.m_nLines, 0);
  EXPECT_EQ(m.m_nOverflow, 3 + 4 * 16 + 12);
}

TEST(MemberSolid, ArcFacesGoInWholeOrNotAtAll) {
  // A block whose faces do not fit is passed over at once and counted as
  // refused; a huge radial count must not be walked face by face.
  struct Case {
    int room;
    int radial;
    double a2;
    int faces;
    long long refused;
  };
  const Case cases[] = {
      {2 * 16 + 2 * 2 * 16 + 4, 2, 90, 2 * 16 + 2 * 2 * 16 + 4, 0},
      {2 * 16 + 2 * 2 * 16 + 3, 2, 90, 0, 2 * 16 + 2 * 2 * 16 + 4},
      {0, 0, 10, 0, 16},
      {100, 2000000000, 360, 0, INT32_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.room << " " << c.radial);
    CDispModel m;
    ASSERT_TRUE(m.AllocArrays(c.room, 0, 0, 0, 0));
    SolidBlock b;
    b.bArc = true;
    b.r1 = 1;
    b.r2 = 2;
    b.a2 = c.a2;
    b.nRadial = c.radial;
    AddArcPartSides(m, AlongX(1), b);
    EXPECT_EQ(m.m_nFaces, c.faces);
    EXPECT_EQ(m.m_nOverflow, c.refused);
  }
}

}  // namespace
