// Member solids: every block of a member's cross-section swept along the
// member. A straight block becomes a box of six faces, an arc block a ring
// sector of flat faces plus its outlines. The geometry here knows nothing of
// where a block comes from: both models hand it a MemberFrame and a
// SolidBlock (display_model.h gathers them from each model).
#pragma once
#include <cstdint>

class CDispModel;

// The member: both end positions and its local axes, in raw model
// coordinates, and the identifiers every face and outline carries.
struct MemberFrame {
  double p1[3] = {0, 0, 0};  // first end
  double p2[3] = {0, 0, 0};  // second end
  double ax[3] = {0, 0, 0};  // along the member
  double ay[3] = {0, 0, 0};  // first axis of the section plane
  double az[3] = {0, 0, 0};  // second axis of the section plane
  int nElem = 0;             // element number
  int nElemInt = 0;          // element integer passed through to the records
  int nColorClass = 0;       // colour map column A
  int nMode1 = 0;            // colour map column B
};

// One block of the section, in section-plane coordinates.
struct SolidBlock {
  bool bArc = false;
  // Straight block: the four corners (first and second section axis).
  double y[4] = {0, 0, 0, 0};
  double z[4] = {0, 0, 0, 0};
  // Arc block: inner and outer radius, start and end angle in degrees, centre.
  double r1 = 0, r2 = 0, a1 = 0, a2 = 0, yc = 0, zc = 0;
  int nRadial = 0;  // radial divisions of an arc block (negative reads 0)
  int nBlock = 0;   // block number written into the faces
  int nMat = 0;     // material of the block (already resolved)
};

// Divisions of an arc: with span = a2 - a1 in degrees,
// L = max(1, trunc(span / 45 + 1e-6)), n = the smallest power of two >= 8 L.
// 0 when an angle is not finite (the block gets no solid). Spans so large
// that n would exceed kMaxArcDivisions are drawn with that many.
constexpr int kMaxArcDivisions = 1 << 16;
int ArcDivisionCount(double a1, double a2);

// Records one arc block needs; the builders append exactly these.
// Faces 2n + 2rn + 2r, lines 4n + 12 (0 and 0 without a solid).
std::int64_t ArcFaceCount(int nRadial, double a1, double a2);
std::int64_t ArcLineCount(double a1, double a2);

// Corner k at an end = end + y[k] x ay + z[k] x az. Out: the four corners at
// the first end, then the four at the second end.
void TransformLocalCorner(const double p1[3], const double p2[3], const double ay[3],
                          const double az[3], const double y[4], const double z[4],
                          double ox[8], double oy[8], double oz[8]);

// u = corner 1 - corner 0, v = corner 3 - corner 0 at the first end, each
// divided by its length (left undivided when that is 0).
void MakeUnitAxes(const double ox[8], const double oy[8], const double oz[8], double u[3],
                  double v[3]);

// A straight block's corners as points (TransformLocalCorner's order) and
// its unit axes (MakeUnitAxes) in the member's frame.
void BlockCorners(const MemberFrame& frame, const SolidBlock& block, double c[8][3], double u[3],
                  double v[3]);

// Six faces of a straight block: the end faces at the first and the second
// end (normals -ax at both), then the sides with normals -v, +u, +v, -u.
void AddRectPartFaces(CDispModel& model, const MemberFrame& frame, const SolidBlock& block);

// The flat faces of an arc block: n outer, n inner, r x n at the first end,
// r x n at the second end, r at the start angle cut, r at the end angle cut.
void AddArcPartSides(CDispModel& model, const MemberFrame& frame, const SolidBlock& block);

// The outlines of an arc block: both end outlines (2n + 2 points each) and the
// two radial cuts (4 points each).
void AddArcPartCaps(CDispModel& model, const MemberFrame& frame, const SolidBlock& block);

// The solid of one block: an arc block's sides and outlines, or a straight
// block's six faces.
void AddBlockSolid(CDispModel& model, const MemberFrame& frame, const SolidBlock& block);
