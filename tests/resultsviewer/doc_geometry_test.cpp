// The document of a run and its result-valued geometry: opening, reset,
// colour scheme, deformed end positions, fibre faces carrying the values of
// their fibres, section-force items and solids carrying their element's end
// forces, shell values, and tables cut short.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "results/result_readers.h"
#include "resultsviewer/qm_doc.h"
#include "rv_test_util.h"
#include "viewer/color_table.h"
#include "viewer/member_solid.h"

namespace {

using testrun::ExpectedFloat;

class DocTest : public ::testing::Test {
 protected:
  void SetUp() override { rvtest::EnsureApp(); }

  std::string Write(const std::string& name, const testrun::RunSpec& frameDesc) {
    return testrun::WriteRun(dir_.path(), name, frameDesc);
  }

  rvtest::MessageCatcher messages_;
  testrun::TempDir dir_;
  QmDoc doc_;
};

// A node table of `count` records whose values are value(node, component).
std::unique_ptr<CFbOpBlock> NodeTable(int count, double (*value)(int, int)) {
  auto t = std::make_unique<CFbOpBlock>(0x110, 0);
  for (int i = 0; i < count; ++i) {
    auto rec = std::make_unique<FbNOut>();
    for (int c = 0; c < 6; ++c) rec->m_adValue[c] = value(i, c);
    t->Append(std::move(rec));
  }
  return t;
}

double SmallDisp(int node, int c) { return 0.1 * (node + 1) + 0.01 * c; }

TEST_F(DocTest, OpensOnlyInputFilesWhateverTheCase) {
  const std::string in = Write("RUN", testrun::SmallFrame(1));
  const std::string upper = dir_.path() + "/RUN.IN";
  std::rename(in.c_str(), upper.c_str());
  EXPECT_TRUE(doc_.OnOpenDocument(upper));
  EXPECT_EQ(doc_.m_bNewData, 1);
  EXPECT_EQ(doc_.m_nNodes, 6);
  EXPECT_EQ(doc_.m_szName, "RUN");
  EXPECT_EQ(doc_.m_szFolder, dir_.path() + "/");
  EXPECT_EQ(doc_.m_szStemPath, dir_.path() + "/RUN");
  EXPECT_DOUBLE_EQ(doc_.m_dDeformScale, 10.0);
  EXPECT_EQ(doc_.m_nColorMode, 0);

  testrun::Write(dir_.path() + "/model.dat", "/nodes\r\n");
  EXPECT_FALSE(doc_.OnOpenDocument(dir_.path() + "/model.dat"));
  EXPECT_EQ(doc_.m_bNewData, 0);
  EXPECT_EQ(doc_.m_nNodes, 0);
  EXPECT_EQ(doc_.m_nLines, 0);
  EXPECT_EQ(doc_.m_resultSet.m_model.m_nAnaType, 0);
  EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(DocTest, SecondOpenKeepsNothingOfTheFirst) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  doc_.m_dDeformScale = 3.0;
  const int serial = doc_.m_nDocSerial;
  testrun::RunSpec one;
  one.type = 2;
  one.nodes = {{1, 0, 0, 0}, {2, 1, 0, 0}};
  one.elems = {{7, 1, 2, 1, 0}};
  one.secs = {{1, {0, 0, 0, 0, 1}, {0, 0, 1}, {}, {}, {1, 1, 1, 1, 1, 1}}};
  one.mats = {{1, 1, false, {1, 0, 0, 0, 0, 0}}};
  one.stored = 2;
  doc_.OnOpenDocument(Write("beam", one));
  EXPECT_NE(doc_.m_nDocSerial, serial);
  EXPECT_EQ(doc_.m_nNodes, 2);
  EXPECT_EQ(doc_.m_nElems4, 0);
  EXPECT_EQ(doc_.m_nFaces, 0);
  EXPECT_EQ(doc_.m_nLines, 2);
  EXPECT_EQ(doc_.m_resultSet.m_model.m_nAnaType, 2);
  EXPECT_EQ(doc_.m_resultSet.m_model.m_aFiberIDs.GetCount(), 0);
  EXPECT_EQ(doc_.m_resultSet.m_aTimes.GetCount(), 2);
  EXPECT_DOUBLE_EQ(doc_.m_dDeformScale, 10.0);
}

TEST_F(DocTest, MissingTimeFileIsToldAndTheStructureStays) {
  testrun::RunSpec s = testrun::SmallFrame(2);
  s.writeTim = false;
  EXPECT_TRUE(doc_.OnOpenDocument(Write("notime", s)));
  ASSERT_EQ(messages_.Texts().size(), 1u);
  EXPECT_TRUE(messages_.Any("時間情報ﾌｧｲﾙ"));
  EXPECT_EQ(doc_.m_bNewData, 1);
  EXPECT_EQ(doc_.m_nNodes, 6);
  EXPECT_GT(doc_.m_nFaces, 0);
}

TEST_F(DocTest, ReaderErrorLeavesNothingToDraw) {
  testrun::RunSpec s = testrun::SmallFrame(1);
  s.program = "NOSUCH";
  doc_.OnOpenDocument(Write("bad", s));
  ASSERT_EQ(messages_.Texts().size(), 1u);
  EXPECT_EQ(doc_.m_nNodes, 0);
  EXPECT_EQ(doc_.m_nLines, 0);
}

// Display arrays that cannot be had are told with the system's word for
// memory running out, then what was refused.
TEST_F(DocTest, DisplayArraysTooLargeAreToldAsMemoryOverflow) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  messages_.Clear();
  CModelStats huge = doc_.m_stats;
  huge.m_nRectBlocks = 100'000'000;
  EXPECT_FALSE(doc_.AllocDisplayArrays(huge));
  ASSERT_EQ(messages_.Texts().size(), 1u);
  EXPECT_EQ(messages_.Texts()[0].rfind("ﾒﾓﾘｵｰﾊﾞｰです\n", 0), 0u) << messages_.Texts()[0];
  // The document stays usable.
  EXPECT_TRUE(doc_.AllocDisplayArrays(doc_.m_stats));
}

TEST_F(DocTest, ColourSchemeByPaletteIdOrPosition) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  ASSERT_GE(CountBuiltinPalettes(), 2);
  auto firstColour = [](const BuiltinPalette& p) {
    for (const PaletteColor* c = p.colors; c->flag != 0; ++c)
      if (c->flag > 0) return *c;
    return PaletteColor{0, 0, 0, 0};
  };
  const BuiltinPalette* p109 = FindBuiltinPalette(109);
  ASSERT_NE(p109, nullptr);
  const struct {
    int n;
    const BuiltinPalette* expected;
  } cases[] = {
      {-1, &g_BuiltinPalettes[1]},
      {-CountBuiltinPalettes(), &g_BuiltinPalettes[0]},
      {109, p109},
      {99999, &g_BuiltinPalettes[0]},
  };
  for (const auto& c : cases) {
    doc_.m_colorTable.m_nColors = 0;
    const int n = doc_.SelectColorScheme(c.n);
    ASSERT_GT(n, 0) << c.n;
    const PaletteColor want = firstColour(*c.expected);
    EXPECT_DOUBLE_EQ(doc_.m_colorTable.m_aColors[0].r, want.r) << c.n;
    EXPECT_DOUBLE_EQ(doc_.m_colorTable.m_aColors[0].g, want.g) << c.n;
    EXPECT_DOUBLE_EQ(doc_.m_colorTable.m_aColors[0].b, want.b) << c.n;
    // Material j takes entry j modulo the colour count.
    for (int j = 0; j < doc_.m_nMats; ++j) {
      const ColorEntry& e = doc_.m_colorTable.m_aColors[static_cast<size_t>(j % n)];
      EXPECT_DOUBLE_EQ(doc_.m_aMats[static_cast<size_t>(j)].r, e.r);
    }
  }
}

TEST_F(DocTest, ColourTableBesideTheRunIsUsed) {
  testrun::Write(dir_.path() + "/color.txt", "2\n1 10 20 30\n2,40,50,60\n");
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  ASSERT_EQ(doc_.m_colorTable.m_nColors, 2);
  EXPECT_DOUBLE_EQ(doc_.m_aMats[0].r, 10);
  EXPECT_DOUBLE_EQ(doc_.m_aMats[1].b, 60);
}

TEST_F(DocTest, EndPositionsFollowTheNodeTableAndScale) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  const CFbModel& m = doc_.m_resultSet.m_model;
  auto table = NodeTable(6, SmallDisp);
  for (const double scale : {0.0, 1.0, 2.5}) {
    doc_.BuildElemRecords(table.get(), scale);
    ASSERT_EQ(doc_.m_nLines, 6) << scale;
    for (int e = 0; e < 3; ++e) {
      const CFbElem* el = m.m_aElems.GetAt(e);
      const CFbNode* ends[2] = {el->m_pNodeI, el->m_pNodeJ};
      for (int k = 0; k < 2; ++k) {
        const DispLine& l = doc_.m_aLines[static_cast<size_t>(2 * e + k)];
        EXPECT_EQ(l.nCode, k == 0 ? 1 : 0);
        EXPECT_EQ(l.nThick, 1);
        const double base[3] = {ends[k]->m_dX, ends[k]->m_dY, ends[k]->m_dZ};
        for (int c = 0; c < 3; ++c)
          EXPECT_NEAR(l.p[c], base[c] + scale * SmallDisp(ends[k]->m_nIndex, c), 1e-12) << scale;
      }
    }
    // The shells follow the nodes through their display values.
    for (int n = 0; n < doc_.m_nCurNodes; ++n)
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(doc_.m_aCurNodes[static_cast<size_t>(n)].dVal[c], scale * SmallDisp(n, c) * doc_.m_dScale,
                    1e-12);
  }
  // Member solids move with their ends.
  doc_.BuildGeometry(nullptr, 0.0);
  const int stillFaces = doc_.m_nFaces;
  double still[4][3];
  doc_.FaceCorners(doc_.m_aFaces[0], still);
  doc_.BuildGeometry(table.get(), 1.0);
  ASSERT_EQ(doc_.m_nFaces, stillFaces);
  ASSERT_GT(doc_.m_nFaces, 0);
  // Element 12 (nodes 2 and 3) moves by at least node 2's displacement in
  // x; its end face at the first end by it (to the corners' float precision).
  const auto moved = doc_.FaceCorner(doc_.m_aFaces[0], 0);
  EXPECT_NEAR(moved[0] - still[0][0], SmallDisp(1, 0), 1e-6);
  EXPECT_NEAR(moved[2] - still[0][2], SmallDisp(1, 2), 1e-6);
}

TEST_F(DocTest, ReferenceDisplacementMakesTheStepZero) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  auto table = NodeTable(6, SmallDisp);
  doc_.m_nDispFlags = 2;
  doc_.BuildElemRecords(table.get(), 1.0);
  doc_.m_nDispFlags = 1;
  doc_.BuildElemRecords(table.get(), 1.0);
  const CFbElem* el = doc_.m_resultSet.m_model.m_aElems.GetAt(0);
  EXPECT_DOUBLE_EQ(doc_.m_aLines[0].p[2], el->m_pNodeI->m_dZ);
  EXPECT_DOUBLE_EQ(doc_.m_aLines[1].p[2], el->m_pNodeJ->m_dZ);
  // Without a table and bit 2 the reference is cleared again.
  doc_.m_nDispFlags = 2;
  doc_.BuildElemRecords(nullptr, 0.0);
  doc_.m_nDispFlags = 1;
  doc_.BuildElemRecords(table.get(), 1.0);
  EXPECT_NEAR(doc_.m_aLines[1].p[2], el->m_pNodeJ->m_dZ + SmallDisp(el->m_pNodeJ->m_nIndex, 2), 1e-12);
}

TEST_F(DocTest, ShortNodeTableSkipsTheElementsItLacks) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  auto table = NodeTable(2, SmallDisp);  // nodes 1 and 2 only
  doc_.BuildElemRecords(table.get(), 1.0);
  EXPECT_EQ(doc_.m_nLines, 2);  // element 11 alone
  doc_.BuildGeometry(table.get(), 1.0);
  EXPECT_EQ(doc_.m_nFaces, 0);  // element 12 needs node 3
}

TEST_F(DocTest, ReadDisplacementsGiveTheDeformedShape) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  FbTablePtr t = ReadNodeResult(doc_.m_resultSet, 2, 1);  // global step 4
  ASSERT_TRUE(t);
  doc_.BuildElemRecords(t.get(), 1e-6);
  const CFbElem* el = doc_.m_resultSet.m_model.m_aElems.GetAt(1);
  const int pos = el->m_pNodeJ->m_nIndex;
  EXPECT_NEAR(doc_.m_aLines[3].p[0], el->m_pNodeJ->m_dX + 1e-6 * ExpectedFloat(testrun::kDis, 4, pos * 6), 1e-9);
}

// The fibre slot of a face: element 11's fibres come first (slots 0-9),
// then element 12's (10-19), then the second list's element 21 (20-29);
// within an element block 1 holds 6 fibres, block 2 two, the deck two.
int ExpectedSlot(const DispFace& f) {
  const std::map<int, int> base = {{11, 0}, {12, 10}, {21, 20}};
  return base.at(f.nElem) + (f.nBlock == 1 ? 0 : 6) + f.nIndex;
}

TEST_F(DocTest, FibreFacesCarryTheValuesOfTheirFibres) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  ASSERT_EQ(doc_.m_resultSet.m_model.m_aFiberIDs.GetCount(), 30);
  for (int kind : {0, 1}) {
    FbTablePtr t = ReadFiberResult(doc_.m_resultSet, 1, 2, kind);
    ASSERT_TRUE(t) << doc_.m_resultSet.m_strLastError;
    doc_.BuildElemRecords(nullptr, 0.0);
    doc_.BuildFiberFaces(kind, t.get());
    EXPECT_EQ(doc_.m_nOverflow, 0);
    // Element 12: 22 faces of its 3 x 2 block (both end grids and the side
    // strips) and, for its quarter-ring block of 2 x 1 fibres divided into n
    // facets, 2 x 2 (n / 2) along the member, 2 x 2 (n / 2) at the ends and
    // the two cuts; element 21 as two halves.
    const int n = ArcDivisionCount(0, 90);
    const int arcFaces = 4 * (n / 2) + 4 * (n / 2) + 2;
    std::map<int, int> faces;
    std::set<int> seenSlots;
    for (int i = 0; i < doc_.m_nFaces; ++i) {
      const DispFace& f = doc_.m_aFaces[static_cast<size_t>(i)];
      ++faces[f.nElem];
      const double* block = doc_.FaceBlock(i);
      ASSERT_NE(block, nullptr);
      const int slot = ExpectedSlot(f);
      seenSlots.insert(slot);
      const int place = kind == 0 ? 0 : 3;
      for (int c = 0; c < 3; ++c) EXPECT_DOUBLE_EQ(block[place + c], t->GetAt(slot)->GetValue(place + c)) << i;
    }
    EXPECT_EQ(faces[12], 22 + arcFaces);
    EXPECT_EQ(faces[21], 2 * (22 + arcFaces));
    EXPECT_EQ(faces.count(11), 0u);  // its axes are undefined
    EXPECT_EQ(seenSlots.size(), 16u);    // eight fibres of each drawn element
    // The arc fibres' outlines: per fibre two end outlines of n + 2 points
    // and four edges along the member.
    EXPECT_EQ(doc_.m_nLines, 6 + 3 * 2 * (2 * (n + 2) + 8));
  }
  // The fibre stress values are those of the file.
  FbTablePtr t = ReadFiberResult(doc_.m_resultSet, 1, 2, 0);
  EXPECT_DOUBLE_EQ(t->GetAt(10)->GetValue(1), ExpectedFloat(testrun::kSig, 2, 31));
}

TEST_F(DocTest, SecondListElementIsDrawnAsTwoHalves) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  FbTablePtr t = ReadFiberResult(doc_.m_resultSet, 1, 1, 0);
  ASSERT_TRUE(t);
  doc_.BuildFiberFaces(0, t.get());
  // Every face of element 21 lies on one half: from node 2 (x 0) to node 5
  // (x 2), or from node 5 to node 3 (x 4); each half has as many faces as
  // element 12 along the whole span (the end faces at node 5 belong to
  // either).
  int perHalf = 0;
  for (int i = 0; i < doc_.m_nFaces; ++i) perHalf += doc_.m_aFaces[static_cast<size_t>(i)].nElem == 12;
  int halves[2] = {0, 0};
  for (int i = 0; i < doc_.m_nFaces; ++i) {
    const DispFace& f = doc_.m_aFaces[static_cast<size_t>(i)];
    if (f.nElem != 21) continue;
    double lo = 1e9, hi = -1e9;
    for (int k = 0; k < 4; ++k) {
      lo = std::min(lo, doc_.FaceCorner(f, k)[0]);
      hi = std::max(hi, doc_.FaceCorner(f, k)[0]);
    }
    const bool first = lo > -1e-9 && hi < 2 + 1e-9;
    const bool second = lo > 2 - 1e-9 && hi < 4 + 1e-9;
    EXPECT_TRUE(first || second) << i << ": " << lo << " .. " << hi;
    if (first && lo < 1) ++halves[0];
    if (second && hi > 3) ++halves[1];
  }
  EXPECT_GT(halves[0], perHalf / 2);
  EXPECT_EQ(halves[0], halves[1]);
}

TEST_F(DocTest, ShortFibreTableLeavesTheRestWithoutValues) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  // Twelve fibres only: element 12's first two fibres have values.
  auto t = std::make_unique<CFbOpBlock>(0x510, 1);
  for (int i = 0; i < 12; ++i) {
    auto rec = std::make_unique<FbFOut>();
    rec->m_adValue[0] = static_cast<float>(100 + i);
    t->Append(std::move(rec));
  }
  doc_.BuildFiberFaces(0, t.get());
  for (int i = 0; i < doc_.m_nFaces; ++i) {
    const DispFace& f = doc_.m_aFaces[static_cast<size_t>(i)];
    const int slot = ExpectedSlot(f);
    // A fibre the table lacks has no value (NaN), not a value 0 never read.
    if (slot < 12)
      EXPECT_DOUBLE_EQ(doc_.FaceBlock(i)[0], 100 + slot) << slot;
    else
      EXPECT_TRUE(std::isnan(doc_.FaceBlock(i)[0])) << slot;
  }
}

TEST_F(DocTest, SectionForceItemsAndSolidsCarryTheEndForces) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  FbTablePtr t = ReadBeamForce(doc_.m_resultSet, 1, 3);
  ASSERT_TRUE(t);
  ASSERT_EQ(t->GetCount(), 5);  // three elements, then minimum and maximum
  doc_.BuildBeamForceItems(t.get());
  doc_.SetBeamForceValues(t.get());
  ASSERT_EQ(doc_.m_nLines >= 6, true);
  for (int e = 0; e < 3; ++e) {
    for (int end = 0; end < 2; ++end) {
      const double* block = doc_.LineBlock(2 * e + end);
      ASSERT_NE(block, nullptr);
      // The I-end values, then the J-end values.
      for (int c = 0; c < 12; ++c)
        EXPECT_DOUBLE_EQ(block[c], ExpectedFloat(testrun::kFrc, 3, e * 12 + c)) << e << " " << c;
    }
  }
  // Element 12's solid: 6 faces of its straight block and 2n + 2n + 2 of
  // its arc block, every one coloured from element 12's values.
  int faces = 0;
  for (int i = 0; i < doc_.m_nFaces; ++i) {
    if (doc_.m_aFaces[static_cast<size_t>(i)].nElem != 12) continue;
    ++faces;
    ASSERT_NE(doc_.FaceBlock(i), nullptr);
    EXPECT_DOUBLE_EQ(doc_.FaceBlock(i)[6], ExpectedFloat(testrun::kFrc, 3, 12 + 6));
  }
  EXPECT_EQ(faces, 6 + 4 * ArcDivisionCount(0, 90) + 2);
}

TEST_F(DocTest, ShortBeamTableNeverTakesItsExtremesForElements) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  // One element record, then the minimum and maximum rows.
  auto t = std::make_unique<CFbOpBlock>(0x410, 0);
  for (double v : {5.0, -1.0, 9.0}) {
    auto rec = std::make_unique<FbEOut>();
    for (double& x : rec->m_adValue) x = v;
    t->Append(std::move(rec));
  }
  doc_.BuildBeamForceItems(t.get());
  ASSERT_EQ(doc_.m_nLines, 6);
  ASSERT_NE(doc_.LineBlock(0), nullptr);
  EXPECT_DOUBLE_EQ(doc_.LineBlock(0)[0], 5.0);
  EXPECT_EQ(doc_.LineBlock(2), nullptr);
  EXPECT_EQ(doc_.LineBlock(4), nullptr);
  doc_.SetBeamForceValues(t.get());
  for (int i = 0; i < doc_.m_nFaces; ++i) EXPECT_EQ(doc_.FaceBlock(i), nullptr);
}

TEST_F(DocTest, ShellValuesAverageLayerZeroOverTheIntegrationPoints) {
  doc_.OnOpenDocument(Write("frame", testrun::SmallFrame(1)));
  FbTablePtr t = ReadShellResult(doc_.m_resultSet, 0, 1, 1);
  ASSERT_TRUE(t) << doc_.m_resultSet.m_strLastError;
  // Normal stress sx of points 0-3 of layer 0: words 6i of each shell's
  // stride of 2 layers x 4 points x 6 components.
  auto expected = [](int shell, int component) {
    double sum = 0;
    for (int i = 0; i < 4; ++i) sum += ExpectedFloat(testrun::kSgs, 1, shell * 48 + i * 6 + component);
    return sum / 4;
  };
  const struct {
    int k, component;
  } cases[] = {{0, 0}, {1, 3}, {2, 4}};
  for (const auto& c : cases) {
    double lo = 0, hi = 0;
    ASSERT_TRUE(doc_.SetShellValues(t.get(), c.k, lo, hi));
    double v0 = 0, v1 = 0;
    ASSERT_TRUE(doc_.ShellValue(0, v0));
    ASSERT_TRUE(doc_.ShellValue(1, v1));
    EXPECT_NEAR(v0, expected(0, c.component), 1e-6);
    EXPECT_NEAR(v1, expected(1, c.component), 1e-6);
    EXPECT_DOUBLE_EQ(lo, std::min(v0, v1));
    EXPECT_DOUBLE_EQ(hi, std::max(v0, v1));
  }
  doc_.ClearShellValues();
  double v = 0;
  EXPECT_FALSE(doc_.ShellValue(0, v));
}

TEST_F(DocTest, ManyArcFibresNeverOverflowTheArrays) {
  testrun::RunSpec s;
  s.type = 1;
  s.nodes = {{1, 0, 0, 0}, {2, 5, 0, 0}};
  s.elems = {{1, 1, 2, 1, 0}, {2, 1, 2, 1, 0}};
  testrun::Section fib{1, {1, 0, 0, 0, 0}, {0, 0, 1}, {}, {}, {}};
  // A full ring of 12 x 5 fibres.
  fib.blocks.push_back({{0.5, 0, 1.0, 6.283185307179586, 0, 0}, 5, 12, 0, 1000001});
  s.secs = {fib};
  s.mats = {{1, 1, false, {1, 0, 0, 0, 0, 0}}};
  s.cases = {{1, 1, {}, {}}};
  s.stored = 1;
  doc_.OnOpenDocument(Write("ring", s));
  FbTablePtr t = ReadFiberResult(doc_.m_resultSet, 1, 1, 0);
  ASSERT_TRUE(t);
  doc_.BuildElemRecords(nullptr, 0.0);
  doc_.BuildFiberFaces(0, t.get());
  EXPECT_EQ(doc_.m_nOverflow, 0);
  EXPECT_GT(doc_.m_nFaces, 2 * 60 * 2);
  for (int i = 0; i < doc_.m_nFaces; ++i) ASSERT_NE(doc_.FaceBlock(i), nullptr);
}

}  // namespace
