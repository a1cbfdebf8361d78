// Exterior faces of 8-node solid elements: every quadrilateral face of every
// solid, in a canonical corner order; a face that turns up a second time is
// shared by two solids and cancels the first. What stays is the surface.
#pragma once
#include <vector>

#include "viewer/display_records.h"

struct BoundaryFace {
  int nState = 0;              // 0 exterior; after numbering: 1, 2, ... (-1 otherwise)
  int n[4] = {0, 0, 0, 0};     // node numbers in canonical order
  int nOrient = 0;             // 1: the element's winding kept, 0: reversed
};

// Corner indices of the six faces of a solid, in the order they are listed.
extern const int kSolidFaceCorners[6][4];

// Canonical order of a face (a0, a1, a2, a3): starts at the smallest number
// (the earliest on a tie) and runs towards its smaller neighbour. Returns the
// orientation: 1 forward, 0 backwards.
int CanonicalFace(const int a[4], int out[4]);

// The exterior faces of the solids, numbered from 1 in list order. A
// cancelled face's place is taken by the last entry of the list.
class CBoundaryFaces {
 public:
  // Rebuilds the list; returns 0.
  int Build(int nSolids, const DispSolid* solids);

  std::vector<BoundaryFace> m_aFaces;  // the list; its size is the entry count
  int m_nExterior = 0;                 // entries numbered
};

// The view's entry: builds `faces` from the solids; returns 0.
int BuildBoundaryFaces(int nSolids, const DispSolid* solids, CBoundaryFaces& faces);
