#include "viewer/boundary_faces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

DispSolid Hex(std::initializer_list<int> c) {
  DispSolid s;
  int i = 0;
  for (int v : c) s.c[i++] = v;
  return s;
}

TEST(BoundaryFaces, CanonicalOrder) {
  struct Case {
    int a[4];
    int out[4];
    int orient;
  } cases[] = {
      {{7, 3, 5, 9}, {3, 5, 9, 7}, 1},
      {{7, 9, 5, 3}, {3, 5, 9, 7}, 0},
      {{1, 2, 6, 5}, {1, 2, 6, 5}, 1},
      {{1, 4, 3, 2}, {1, 2, 3, 4}, 0},
      {{4, 1, 5, 8}, {1, 4, 8, 5}, 0},
      // A tie: the earliest smallest number starts.
      {{2, 5, 2, 6}, {2, 5, 2, 6}, 1},
      // Numbers of 999999999 and above never beat the bound.
      {{1000000000, 5, 999999999, 6}, {5, 999999999, 6, 1000000000}, 1},
      {{1000000001, 1000000003, 1000000002, 1000000000},
       {1000000001, 1000000000, 1000000002, 1000000003}, 0},
  };
  for (const Case& c : cases) {
    int out[4];
    EXPECT_EQ(CanonicalFace(c.a, out), c.orient) << c.a[0] << " " << c.a[1];
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], c.out[i]) << c.a[0] << " " << c.a[1] << " " << i;
  }
}

TEST(BoundaryFaces, OneHexahedronHasSixNumberedFaces) {
  const DispSolid s = Hex({1, 2, 3, 4, 5, 6, 7, 8});
  CBoundaryFaces faces;
  EXPECT_EQ(BuildBoundaryFaces(1, &s, faces), 0);
  ASSERT_EQ(faces.m_aFaces.size(), 6u);
  EXPECT_EQ(faces.m_nExterior, 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(faces.m_aFaces[i].nState, i + 1);
}

TEST(BoundaryFaces, TwoHexahedraSharingAFace) {
  // The second shares the face 2-3-7-6 of the first, seen from the other side.
  const DispSolid s[2] = {Hex({1, 2, 3, 4, 5, 6, 7, 8}), Hex({2, 9, 10, 3, 6, 11, 12, 7})};
  CBoundaryFaces faces;
  BuildBoundaryFaces(2, s, faces);
  // The cancelled face's place (the second entry) is taken by the last one.
  const BoundaryFace expected[10] = {
      {1, {1, 2, 6, 5}, 1},    {2, {3, 7, 12, 10}, 1}, {3, {3, 4, 8, 7}, 1},
      {4, {1, 4, 8, 5}, 0},    {5, {1, 2, 3, 4}, 0},   {6, {5, 6, 7, 8}, 1},
      {7, {2, 6, 11, 9}, 0},   {8, {9, 10, 12, 11}, 1}, {9, {2, 3, 10, 9}, 1},
      {10, {6, 7, 12, 11}, 0},
  };
  ASSERT_EQ(faces.m_aFaces.size(), 10u);
  EXPECT_EQ(faces.m_nExterior, 10);
  for (int i = 0; i < 10; ++i) {
    const BoundaryFace& f = faces.m_aFaces[i];
    EXPECT_EQ(f.nState, expected[i].nState) << i;
    EXPECT_EQ(f.nOrient, expected[i].nOrient) << i;
    for (int k = 0; k < 4; ++k) EXPECT_EQ(f.n[k], expected[i].n[k]) << i << " " << k;
  }
}

TEST(BoundaryFaces, FacesMatchOnAllFourNumbers) {
  // A degenerate hexahedron's face (1, 2, 3, 3) shares three numbers with the
  // face (1, 2, 3, 4) of its neighbour but is another face.
  const DispSolid s[2] = {Hex({1, 2, 3, 4, 5, 6, 7, 8}), Hex({1, 4, 3, 3, 9, 10, 11, 12})};
  CBoundaryFaces faces;
  BuildBoundaryFaces(2, s, faces);
  EXPECT_EQ(faces.m_aFaces.size(), 12u);
  BuildBoundaryFaces(0, nullptr, faces);
  EXPECT_TRUE(faces.m_aFaces.empty());
  EXPECT_EQ(faces.m_nExterior, 0);
}

// The list built by comparing each new face with every entry, as a
// reference for the indexed build.
std::vector<BoundaryFace> Reference(const std::vector<DispSolid>& solids) {
  std::vector<BoundaryFace> list;
  for (const DispSolid& s : solids) {
    for (const auto& corners : kSolidFaceCorners) {
      int a[4];
      for (int i = 0; i < 4; ++i) a[i] = s.c[corners[i]];
      BoundaryFace f;
      f.nOrient = CanonicalFace(a, f.n);
      size_t i = 0;
      for (; i < list.size(); ++i) {
        if (list[i].n[0] == f.n[0] && list[i].n[1] == f.n[1] && list[i].n[2] == f.n[2] &&
            list[i].n[3] == f.n[3])
          break;
      }
      if (i < list.size()) {
        list[i] = list.back();
        list.pop_back();
      } else {
        list.push_back(f);
      }
    }
  }
  int k = 0;
  for (BoundaryFace& f : list) f.nState = ++k;
  return list;
}

TEST(BoundaryFaces, IndexedBuildKeepsTheOrderOfTheFullSearch) {
  // A block of nx x ny x nz hexahedra in shuffled order, plus repeated
  // elements (a face seen three times comes back).
  std::mt19937 rng(12345);
  const int nx = 4, ny = 3, nz = 3;
  auto node = [&](int i, int j, int k) { return 1 + i + (nx + 1) * (j + (ny + 1) * k); };
  std::vector<DispSolid> solids;
  for (int k = 0; k < nz; ++k)
    for (int j = 0; j < ny; ++j)
      for (int i = 0; i < nx; ++i)
        solids.push_back(Hex({node(i, j, k), node(i + 1, j, k), node(i + 1, j + 1, k),
                              node(i, j + 1, k), node(i, j, k + 1), node(i + 1, j, k + 1),
                              node(i + 1, j + 1, k + 1), node(i, j + 1, k + 1)}));
  solids.push_back(solids[5]);
  solids.push_back(solids[7]);
  solids.push_back(solids[5]);
  std::shuffle(solids.begin(), solids.end(), rng);
  const auto expected = Reference(solids);
  CBoundaryFaces faces;
  BuildBoundaryFaces(static_cast<int>(solids.size()), solids.data(), faces);
  ASSERT_EQ(faces.m_aFaces.size(), expected.size());
  EXPECT_EQ(faces.m_nExterior, static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(faces.m_aFaces[i].nState, expected[i].nState);
    EXPECT_EQ(faces.m_aFaces[i].nOrient, expected[i].nOrient);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(faces.m_aFaces[i].n[k], expected[i].n[k]) << i;
  }
}

}  // namespace
