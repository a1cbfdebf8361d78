// Fibre faces put in the order of the shown value: the same faces with the
// same values, and fewer changes of value from one face to the next; and
// the faces of each fibre block close its solid.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "results/result_readers.h"
#include "resultsviewer/qm_doc.h"
#include "rv_test_util.h"

namespace {

// Every face as text: its ids, corners and the values of its block.
std::vector<std::string> FacesWithValues(const QmDoc& doc, std::vector<double>& shown, int column) {
  std::vector<std::string> out;
  shown.clear();
  for (int i = 0; i < doc.m_nFaces; ++i) {
    const DispFace& f = doc.m_aFaces[static_cast<size_t>(i)];
    std::string s = std::to_string(f.nElem) + " " + std::to_string(f.nBlock) + " " + std::to_string(f.nIndex);
    for (int k = 0; k < 4; ++k)
      for (int j = 0; j < 3; ++j) s += " " + std::to_string(doc.FaceCorner(f, k)[j]);
    const double* b = doc.FaceBlock(i);
    for (int c = 0; c < kValueBlock && b; ++c) s += " " + std::to_string(b[c]);
    out.push_back(s);
    shown.push_back(b ? b[column] : std::nan(""));
  }
  return out;
}

int Changes(const std::vector<double>& v) {
  int n = 0;
  for (size_t i = 1; i < v.size(); ++i) n += !(v[i] == v[i - 1] || (std::isnan(v[i]) && std::isnan(v[i - 1])));
  return n;
}

TEST(FibreFaceOrder, SameFacesAndValuesWithFewerChanges) {
  rvtest::EnsureApp();
  testrun::TempDir dir;
  QmDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(testrun::WriteRun(dir.path(), "frame", testrun::SmallFrame(1))));
  // Values that fall and rise along the fibres, and fibres 26 on without any.
  auto t = std::make_unique<CFbOpBlock>(0x510, 1);
  for (int i = 0; i < 26; ++i) {
    auto rec = std::make_unique<FbFOut>();
    for (int c = 0; c < 6; ++c) rec->m_adValue[c] = static_cast<float>((i * (2 + c)) % 11);
    t->Append(std::move(rec));
  }
  for (int kind : {0, 1})
    for (int component : {0, 1, 2}) {
      const int column = (kind == 0 ? 0 : 3) + component;
      std::vector<double> made, arranged;
      doc.BuildFiberFaces(kind, t.get());
      std::vector<std::string> before = FacesWithValues(doc, made, column);
      doc.BuildFiberFaces(kind, t.get(), component);
      std::vector<std::string> after = FacesWithValues(doc, arranged, column);
      ASSERT_EQ(after.size(), before.size());
      EXPECT_LT(Changes(arranged), Changes(made)) << kind << " " << component;
      std::sort(before.begin(), before.end());
      std::sort(after.begin(), after.end());
      EXPECT_EQ(after, before) << kind << " " << component;
    }
}

}  // namespace

namespace {

// Each fibre block's faces close its solid, however they share their
// points: every edge (its two points) belongs to an even number of the
// block's faces.
TEST(FibreFaces, EveryBlockOfStraightAndArcFibresIsClosed) {
  rvtest::EnsureApp();
  testrun::TempDir dir;
  QmDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(testrun::WriteRun(dir.path(), "frame", testrun::SmallFrame(1))));
  doc.BuildFiberFaces(0, nullptr);
  struct Block {
    std::vector<std::array<double, 3>> points;  // one a place
    std::map<std::pair<int, int>, int> edges;   // by their points' numbers
  };
  std::map<std::pair<int, int>, Block> blocks;
  bool arcs = false;
  for (int i = 0; i < doc.m_nFaces; ++i) {
    const DispFace& f = doc.m_aFaces[static_cast<size_t>(i)];
    Block& b = blocks[{f.nElem, f.nBlock}];
    arcs = arcs || f.nSide == 0;
    int at[4];
    for (int k = 0; k < 4; ++k) {
      const auto p = doc.FaceCorner(f, k);
      size_t n = 0;
      while (n < b.points.size() && std::hypot(b.points[n][0] - p[0], b.points[n][1] - p[1], b.points[n][2] - p[2]) > 1e-6) ++n;
      if (n == b.points.size()) b.points.push_back({p[0], p[1], p[2]});
      at[k] = static_cast<int>(n);
    }
    for (int k = 0; k < 4; ++k) ++b.edges[std::minmax(at[k], at[(k + 1) % 4])];
  }
  ASSERT_GE(blocks.size(), 2u);
  EXPECT_TRUE(arcs);
  for (const auto& [id, b] : blocks)
    for (const auto& [edge, faces] : b.edges) EXPECT_EQ(faces % 2, 0) << id.first << " " << id.second;
}

}  // namespace
