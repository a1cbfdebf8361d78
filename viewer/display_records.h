// Display records: the flat arrays that the OpenGL drawing of both viewers
// works from. A document allocates them from its model statistics, the
// builders (display_model.h) fill them on the loading thread, the drawing
// only reads them.
//
// Display coordinates: scaled = (model + offset) x scale, where
//   offset (m_vCenter) = minus the centre of the nodes' bounding box and
//   scale  (m_dScale)  = 2 / the box's largest extent (1 when that is 0).
// Nodes are stored scaled; line and face records hold raw model coordinates
// and the drawing applies offset and scale itself (ToDisplay below).
#pragma once

#include <cstdint>

// One live node. Two arrays of this layout: base and current positions.
struct DispNode {
  int nId = 0;                 // free for the drawing's own use
  int nNo = 0;                 // node number
  double x = 0.0, y = 0.0, z = 0.0;  // scaled position
  double dVal[4] = {0.0, 0.0, 0.0, 0.0};  // per-node values (0 in the model viewer)
};

// One material record with its display colour.
struct DispMaterial {
  int nNo = 0;                 // material number
  double r = 0.0, g = 0.0, b = 0.0;  // colour components 0..255
};

// Edge bits of DispElem::nEdgeFlags: the edge is shared with an element
// that comes earlier in the array (and so is drawn there).
enum : int {
  kEdge12 = 1,   // n1-n2
  kEdge23 = 2,   // n2-n3
  kEdge34 = 4,   // n3-n4
  kEdge41 = 8,   // n4-n1
};

// One shell element (4-node array; a 3-node array of the same layout).
struct DispElem {
  int nNo = 0;                 // element number
  int nNo2 = 0;                // element number again
  int nMat = 0;                // material of its shell property (0: none)
  int nProp = 0;               // shell property number
  int n[4] = {0, 0, 0, 0};     // corner node numbers n1..n4
  int nColorClass = 0;         // colour map column A (0: not in the map)
  int nMode1 = 0;              // colour map column B (0: not in the map)
  int nEdgeFlags = 0;          // kEdge12 | kEdge23 | kEdge34 | kEdge41
};

// One 8-node solid element: the four header ints of DispElem, then the
// corner node numbers c0..c7.
struct DispSolid {
  int nNo = 0;
  int nNo2 = 0;
  int nMat = 0;
  int nProp = 0;
  int c[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

// One point of a line primitive; a primitive spans consecutive records.
struct DispLine {
  int nId = 0;                 // free for the drawing's own use
  // 1: segment from this point to the next record's point;
  // n > 1: closed polygon through this and the next n records' points;
  // 0: only carries a point of the primitive before it.
  int nCode = 0;
  double p[3] = {0.0, 0.0, 0.0};  // point, raw model coordinates
  double v[3] = {0.0, 0.0, 0.0};  // outlines: member direction towards the other end
  int nMat = 0;                // material of the block (outlines)
  int nElemInt = 0;            // element integer passed through (outlines)
  int nColorClass = 0;         // colour map column A
  int nThick = 0;              // 1: drawn 3 pixels wide (member lines)
  int nMode1 = 0;              // colour map column B
  std::uint8_t byOutline = 0;  // 1: arc block outline, 0: member line
};

// One corner of a member-solid face, in floats as the drawing hands them on:
// normalised like the nodes (CDispModel::Corner gives the raw model
// coordinates back), so that a model far from zero keeps the precision of
// its extent. Faces keep the slots of their corners, so the faces of one box
// share its eight corners (a million-element model has ten million faces).
struct DispCorner {
  float p[3] = {0.0f, 0.0f, 0.0f};
};

// One flat face of a member solid. The drawing takes its normal from the
// first three corners, so none is stored; nor the element's passed-through
// integer, which no reader of a face wants (the outlines keep it).
struct DispFace {
  int nElem = 0;               // element number
  int nBlock = 0;              // section block number
  int nIndex = 0;              // 0..3: side of a rectangular part; else 0
  int nMat = 0;                // material of the block
  int nColorClass = 0;         // colour map column A
  int nMode1 = 0;              // colour map column B
  std::uint8_t nCorners = 0;   // 3 or 4
  std::uint8_t nSide = 0;      // 1: face along the member (rect parts)
  std::uint32_t c[4] = {};     // corners: slots of the document's corner array
};

// A million-element model holds ten million faces and corners: a byte more
// in either record is ten megabytes more.
static_assert(sizeof(DispFace) == 44 && sizeof(DispCorner) == 12 && sizeof(DispLine) == 80);

// One row of the per-element colour map (".clr"): element lookups take the
// first row with the element's number; elements missing from it get 0, 0.
struct ElemColorEntry {
  int nNo = 0;         // element number
  int nColorClass = 0; // A: colour type / part kind
  int nMode1 = 0;      // B: 1 = shown in display mode 1
};

// Model -> display coordinates: (model + center) x scale.
inline void ToDisplay(const double model[3], const double center[3], double scale,
                    double out[3]) {
  for (int i = 0; i < 3; ++i) out[i] = (model[i] + center[i]) * scale;
}
