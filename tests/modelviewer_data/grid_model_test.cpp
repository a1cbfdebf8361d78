#include "modelviewer/data/grid_model.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The small model: nodes at x 0 and 10, numbered 11 and 12; one element;
// node 12 moved by dx 1; one stress record.
const std::map<std::string, std::string> kModel = {
    {".grid", "2\n0.0 0.0 0.0\n10.0, 0.0, 0.0\n"},
    {".egno", "2\n11\n12\n"},
    {".qddef", "1\n3 4 11 12 12 11\n"},
    {".color", "2\n1 255 0 0\n2 0 255 0\n"},
    {".disp", "2\n0 0 0\n1.0 0 0\n"},
    {".qdstre", "1\n1 2 3 4 5 6 7   \t\n-1 -2 -3 -4 -5 -6 -7\n"},
};

class GridModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = fs::temp_directory_path() /
            ("grid_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string Stem() const { return (m_dir / "shell").string(); }
  void WriteModel(const std::map<std::string, std::string>& replace = {},
                  const std::string& leaveOut = "") {
    for (const auto& [ext, text] : kModel) {
      if (ext == leaveOut) continue;
      const auto it = replace.find(ext);
      ASSERT_TRUE(plat::WriteWholeFile(Stem() + ext, it == replace.end() ? text : it->second));
    }
  }
  int Open(const std::string& component = "1", const std::string& scale = "100.0") {
    return ReadGridResultSet({"pro", Stem() + ".grid", component, scale}, m_doc, m_grid);
  }

  fs::path m_dir;
  CDispModel m_doc;
  CGridModel m_grid;
};

TEST_F(GridModelTest, LoadsTheModel) {
  WriteModel();
  testing::internal::CaptureStdout();
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  EXPECT_EQ(m_doc.m_nColorMode, 0);
  EXPECT_EQ(m_grid.m_dAskedScale, 100.0);
  EXPECT_EQ(m_doc.m_dDispScale, 0.0);
  EXPECT_EQ(m_doc.m_nGridStatus, kGridOk);
  EXPECT_EQ(m_grid.m_szFolder, m_dir.string() + "/");
  EXPECT_EQ(m_grid.m_szName, "shell");
  EXPECT_EQ(m_grid.m_szStemPath, Stem());
  EXPECT_EQ(m_grid.m_szQdstrePath, Stem() + ".qdstre");

  // Scale 2 / 10, centre -5: base nodes at -1 and 1.
  EXPECT_DOUBLE_EQ(m_doc.m_dScale, 0.2);
  EXPECT_DOUBLE_EQ(m_doc.m_vCenter[0], -5.0);
  EXPECT_DOUBLE_EQ(m_doc.m_vCenter[1], 0.0);
  EXPECT_EQ(m_doc.m_dMaxX, 10.0);
  ASSERT_EQ(m_doc.m_nNodes, 2);
  EXPECT_DOUBLE_EQ(m_doc.m_aNodes[0].x, -1.0);
  EXPECT_DOUBLE_EQ(m_doc.m_aNodes[1].x, 1.0);
  EXPECT_EQ(m_doc.m_aNodes[0].nId, 1);
  EXPECT_EQ(m_doc.m_aNodes[1].nNo, 12);

  // dx 1 moves node 12 from 1.0 to 1.2 and is stored as 0.2; its length
  // stays as read; the node number is copied from the base node.
  ASSERT_EQ(m_doc.m_nCurNodes, 2);
  const DispNode& moved = m_doc.m_aCurNodes[1];
  EXPECT_DOUBLE_EQ(moved.x, 1.2);
  EXPECT_DOUBLE_EQ(moved.dVal[0], 0.2);
  EXPECT_DOUBLE_EQ(moved.dVal[3], 1.0);
  EXPECT_EQ(moved.nId, 2);
  EXPECT_EQ(moved.nNo, 12);
  EXPECT_EQ(m_doc.m_curNodeIndex.Find(12), 1);
  EXPECT_EQ(m_doc.m_nodeIndex.Find(11), 0);

  ASSERT_EQ(m_doc.m_nElems4, 1);
  const DispElem& e = m_doc.m_aElems4[0];
  EXPECT_EQ(e.nNo, 1);
  EXPECT_EQ(e.nNo2, 1);
  EXPECT_EQ(e.nMat, 3);
  EXPECT_EQ(e.nProp, 4);
  EXPECT_EQ(e.n[0], 11);
  EXPECT_EQ(e.n[3], 11);

  EXPECT_EQ(m_doc.m_colorTable.m_nColors, 2);
  EXPECT_EQ(m_doc.m_colorTable.m_aColors[1].g, 255);

  ASSERT_EQ(m_grid.m_aStress.size(), 1u);
  EXPECT_EQ(m_grid.m_aStress[0].v[0], 1.0);
  EXPECT_EQ(m_grid.m_aStress[0].v[7], 7.0);
  EXPECT_EQ(m_grid.m_aStress[0].v[14], -7.0);

  // Ranges: raw displacements over both nodes; the one stress record.
  EXPECT_EQ(m_grid.m_aNodeRange[0].min, 0.0);
  EXPECT_EQ(m_grid.m_aNodeRange[0].max, 1.0);
  EXPECT_EQ(m_grid.m_aNodeRange[3].max, 1.0);
  EXPECT_EQ(m_grid.m_aStressRange[2].min, 3.0);
  EXPECT_EQ(m_grid.m_aStressRange[9].max, -3.0);
}

// The surfaces are drawn at the current nodes; the edge layer and the
// material display move the corners by the document's factor x the nodes'
// displacements: all must land on the same places.
TEST_F(GridModelTest, EdgesAndMaterialsMeetTheDisplacedSurfaces) {
  WriteModel();
  ASSERT_EQ(Open(), 0);
  ASSERT_EQ(m_doc.m_nElems4, 1);
  const DispElem& e = m_doc.m_aElems4[0];
  double surface[4][3], moved[4][3];
  ASSERT_TRUE(FindNodePos(surface, 4, e.n, m_doc.m_curNodeIndex));
  ASSERT_TRUE(DisplacedShellCorners(moved, e.n, m_doc.m_dDispScale, m_doc.m_curNodeIndex));
  EXPECT_DOUBLE_EQ(surface[1][0], 1.2);  // base 1.0 + dx 1 x scale 0.2
  for (int k = 0; k < 4; ++k)
    for (int j = 0; j < 3; ++j) EXPECT_DOUBLE_EQ(moved[k][j], surface[k][j]) << k << ',' << j;
}

TEST_F(GridModelTest, ColourModesAsData) {
  WriteModel({{".disp", "2\n0 0 0\n1.0 -2.0 0\n"}});
  ASSERT_EQ(Open(), 0);
  struct Case {
    int mode;
    double elementValue, nodeValue, min, max;
  };
  const Case cases[] = {
      {0, 1, 0, 1, 1},        {6, 7, 0, 7, 7},           {7, -1, 0, -1, -1},
      {13, -7, 0, -7, -7},    {14, 0, 1, 0, 1},          {15, 0, -2, -2, 0},
      {16, 0, 0, 0, 0},       {17, 0, std::sqrt(5.0), 0, std::sqrt(5.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(GridElementModeValue(0, m_grid, c.mode), c.elementValue);
    EXPECT_DOUBLE_EQ(GridNodeModeValue(1, m_grid, c.mode), c.nodeValue);
    double lo = 99, hi = 99;
    ASSERT_TRUE(GridColorModeRange(m_grid, c.mode, lo, hi));
    EXPECT_DOUBLE_EQ(lo, c.min);
    EXPECT_DOUBLE_EQ(hi, c.max);
  }
  double lo, hi;
  EXPECT_FALSE(GridColorModeRange(m_grid, -1, lo, hi));
  EXPECT_FALSE(GridColorModeRange(m_grid, 18, lo, hi));
  // Out-of-range elements, nodes and columns read 0.
  EXPECT_EQ(GetElementValue(1, m_grid, 0, false), 0.0);
  EXPECT_EQ(GetElementValue(0, m_grid, 7, false), 0.0);
  EXPECT_EQ(GetElementValue(0, m_grid, 6, true), -7.0);
  EXPECT_EQ(GridNodeModeValue(2, m_grid, 14), 0.0);
}

TEST_F(GridModelTest, ComponentNumbers) {
  WriteModel();
  struct Case {
    const char* component;
    int result;
    int mode;  // the document's colour mode afterwards
    const char* out;
  };
  const Case cases[] = {
      {"1", 0, 0, ""},
      {"0", 0, -1, ""},
      {"18", 0, 17, ""},
      {"19", -1, 5, " bad qdstre# : 19\n"},
      {"-1", -1, 5, " bad qdstre# : -1\n"},
      {"", 0, -1, ""},
      {"99999999999", -1, 5, " bad qdstre# : 99999999999\n"},
      {"-2147483648", -1, 5, " bad qdstre# : -2147483648\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.component);
    m_doc.m_nColorMode = 5;
    m_doc.m_dDispScale = 7.0;
    m_grid.m_dAskedScale = 7.0;
    m_grid.m_szName = "before";
    testing::internal::CaptureStdout();
    EXPECT_EQ(Open(c.component, "2.5"), c.result);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
    EXPECT_EQ(m_doc.m_nColorMode, c.mode);
    // A bad number changes nothing at all.
    EXPECT_EQ(m_grid.m_dAskedScale, c.result == 0 ? 2.5 : 7.0);
    EXPECT_EQ(m_doc.m_dDispScale, c.result == 0 ? 0.0 : 7.0);
    EXPECT_EQ(m_grid.m_szName, c.result == 0 ? "shell" : "before");
  }
}

TEST_F(GridModelTest, MissingFiles) {
  struct Case {
    const char* ext;
    const char* who;  // the diagnostic's reader, or null for none
    int status;
    int nodes, curNodes, elems, stresses, colors;
  };
  const Case cases[] = {
      // The status is femsol's result, which replaces fem's.
      {".grid", "fem", 0, 0, 0, 1, 1, 2},
      {".egno", "fem", 0, 2, 2, 1, 1, 2},
      {".qddef", "fem", 0, 2, 2, 0, 1, 2},
      {".color", nullptr, 0, 2, 2, 1, 1, 0},
      {".disp", "femsol", 2, 2, 0, 1, 1, 2},
      {".qdstre", "femsol", 2, 2, 2, 1, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ext);
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    WriteModel({}, c.ext);
    m_doc.FreeDisplayArrays(true);
    m_grid.Clear();
    testing::internal::CaptureStdout();
    EXPECT_EQ(Open(), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    if (c.who) {
      EXPECT_EQ(out, " " + std::string(c.who) + " : cannot open file = " + Stem() + c.ext + "\n");
    } else {
      EXPECT_EQ(out, "");
    }
    EXPECT_EQ(m_doc.m_nGridStatus, c.status);
    EXPECT_EQ(m_doc.m_nNodes, c.nodes);
    EXPECT_EQ(m_doc.m_nCurNodes, c.curNodes);
    EXPECT_EQ(m_doc.m_nElems4, c.elems);
    EXPECT_EQ(m_grid.m_aStress.size(), static_cast<size_t>(c.stresses));
    EXPECT_EQ(m_doc.m_colorTable.m_nColors, c.colors);
  }
  // Without geometry: scale 1 and centre 0, not values of an earlier model.
  fs::remove_all(m_dir);
  fs::create_directories(m_dir);
  m_doc.m_dScale = 3;
  m_doc.m_vCenter[0] = 4;
  testing::internal::CaptureStdout();
  EXPECT_EQ(Open(), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 5);
  EXPECT_EQ(m_doc.m_nGridStatus, kGridNotOpened);
  EXPECT_EQ(m_doc.m_dScale, 1.0);
  EXPECT_EQ(m_doc.m_vCenter[0], 0.0);
  EXPECT_EQ(m_grid.m_aNodeRange[0].min, 0.0);
  EXPECT_EQ(m_grid.m_aStressRange[13].max, 0.0);
}

TEST_F(GridModelTest, ShortFilesKeepWhatWasRead) {
  struct Case {
    const char* ext;
    const char* text;
    int nodes, curNodes, elems, stresses, colors;
  };
  const Case cases[] = {
      {".grid", "4\n0 0 0\n10 0 0\n5 0 0\n", 3, 2, 1, 1, 2},
      {".egno", "2\n11\n", 2, 2, 1, 1, 2},
      {".qddef", "3\n3 4 11 12 12 11\n", 2, 2, 1, 1, 2},
      {".color", "5\n1 2 3 4\n", 2, 2, 1, 1, 1},
      {".disp", "2\n0 0 0\n", 2, 1, 1, 1, 2},
      {".qdstre", "2\n1 2 3 4 5 6 7\n1 1 1 1 1 1 1\n9 9 9 9 9 9 9\n", 2, 2, 1, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ext);
    WriteModel({{c.ext, c.text}});
    testing::internal::CaptureStdout();
    EXPECT_EQ(Open(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(m_doc.m_nGridStatus, kGridOk);
    EXPECT_EQ(m_doc.m_nNodes, c.nodes);
    EXPECT_EQ(m_doc.m_nCurNodes, c.curNodes);
    EXPECT_EQ(m_doc.m_nElems4, c.elems);
    EXPECT_EQ(m_grid.m_aStress.size(), static_cast<size_t>(c.stresses));
    EXPECT_EQ(m_doc.m_colorTable.m_nColors, c.colors);
  }
  // The three nodes of the short .grid stay in raw coordinates with scale 1
  // and centre 0, and a short .qdstre keeps its complete record but gets no
  // ranges.
  WriteModel({{".grid", "4\n0 0 0\n10 0 0\n5 0 0\n"},
              {".qdstre", "2\n1 2 3 4 5 6 7\n1 1 1 1 1 1 1\n9 9 9 9 9 9 9\n"}});
  Open();
  EXPECT_DOUBLE_EQ(m_doc.m_dScale, 1.0);
  EXPECT_DOUBLE_EQ(m_doc.m_aNodes[2].x, 5.0);
  EXPECT_EQ(m_grid.m_aStressRange[6].max, 0.0);
  EXPECT_EQ(m_grid.m_aStressRange[7].min, 0.0);
}

TEST_F(GridModelTest, ShortGeometryAndStressFilesStopTheirReader) {
  // A short .grid keeps its nodes raw, with the scale and centre fem starts
  // from; the displacements then move them by dx x 1 x scale. A short
  // .qdstre keeps its complete records and leaves the ranges at 0..0.
  struct Case {
    const char* ext;
    const char* text;
    double scale, centreX;
    double node1X, cur1X;  // base and current x of the second node
    double stressMax0;     // range of column 0 of the stress records
    int stresses;
  };
  const Case cases[] = {
      {".grid", "2\n0 0 0\n10 0 0\n", 0.2, -5, 1.0, 1.2, 1, 1},
      {".grid", "3\n0 0 0\n10 0 0\n", 1.0, 0, 10.0, 11.0, 1, 1},
      {".grid", "3\n0 0 0\n", 1.0, 0, 0, 0, 1, 1},
      {".grid", "", 1.0, 0, 0, 0, 1, 1},
      {".qdstre", "2\n5 0 0 0 0 0 0\n0 0 0 0 0 0 0\n8 0 0 0 0 0 0\n0 0 0 0 0 0 0\n", 0.2,
       -5, 1.0, 1.2, 8, 2},
      {".qdstre", "2\n5 0 0 0 0 0 0\n0 0 0 0 0 0 0\n8 0 0 0 0 0 0\n", 0.2, -5, 1.0, 1.2, 0, 1},
      {".qdstre", "1\n5 0 0 0 0 0 0\n", 0.2, -5, 1.0, 1.2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ext << " " << c.text);
    WriteModel({{c.ext, c.text}});
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(m_doc.m_nGridStatus, kGridOk);
    EXPECT_DOUBLE_EQ(m_doc.m_dScale, c.scale);
    EXPECT_DOUBLE_EQ(m_doc.m_vCenter[0], c.centreX);
    if (m_doc.m_nNodes > 1) {
      EXPECT_DOUBLE_EQ(m_doc.m_aNodes[1].x, c.node1X);
      ASSERT_GT(m_doc.m_nCurNodes, 1);
      EXPECT_DOUBLE_EQ(m_doc.m_aCurNodes[1].x, c.cur1X);
    }
    EXPECT_EQ(m_grid.m_aStressRange[0].max, c.stressMax0);
    EXPECT_EQ(m_grid.m_aStress.size(), static_cast<size_t>(c.stresses));
  }
}

TEST_F(GridModelTest, SingleFileReaders) {
  // Announcing 4 nodes and holding 3: three nodes, result 1.
  CDispModel doc;
  auto in = plat::LineReader::FromString("4\n0 0 0\n1 0 0\n2 0 0\n");
  EXPECT_EQ(ReadGridNodeFile(*in, "a.grid", doc), kGridShort);
  EXPECT_EQ(doc.m_nNodes, 3);

  struct Case {
    const char* text;
    int result;
    size_t records;
  };
  const Case cases[] = {
      {"1\n1 2 3 4 5 6 7\n8 9 10 11 12 13 14\n", kGridOk, 1},
      {"", kGridShort, 0},                                    // no first line
      {"1\n1 2 3 4 5 6 7\n", kGridShort, 0},                  // second line missing
      {"-3\n1 2 3 4 5 6 7\n", kGridOk, 0},                    // a negative count is 0
      {"2\n1 2\n\n3\n4\n", kGridOk, 2},                       // missing tokens read 0
  };
  for (const Case& c : cases) {
    CGridModel grid;
    auto s = plat::LineReader::FromString(c.text);
    EXPECT_EQ(ReadGridStressFile(*s, "a.qdstre", grid), c.result) << c.text;
    EXPECT_EQ(grid.m_aStress.size(), c.records) << c.text;
  }
  CGridModel grid;
  auto s = plat::LineReader::FromString("2\n1 2\n\n3\n4\n");
  ReadGridStressFile(*s, "a.qdstre", grid);
  EXPECT_EQ(grid.m_aStress[0].v[2], 2.0);
  EXPECT_EQ(grid.m_aStress[0].v[3], 0.0);
  EXPECT_EQ(grid.m_aStress[1].v[1], 3.0);
  EXPECT_EQ(grid.m_aStress[1].v[8], 4.0);
  EXPECT_EQ(grid.m_aStressRange[0].min, 1.0);
  EXPECT_EQ(grid.m_aStressRange[0].max, 3.0);
}

TEST_F(GridModelTest, ImpossibleCountsAreRefused) {
  CDispModel doc;
  auto in = plat::LineReader::FromString("2000000000\n0 0 0\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(ReadGridNodeFile(*in, "big.grid", doc), kGridShort);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " fem : bad count 2000000000 in file = big.grid\n");
  EXPECT_EQ(doc.m_nNodes, 0);
  EXPECT_TRUE(doc.m_aNodes.empty());
}

TEST_F(GridModelTest, CrossFileCountsAreBounded) {
  // More node numbers and displacements than nodes, corners naming nodes
  // that do not exist: bounded, nothing read past the base nodes.
  WriteModel({{".egno", "3\n11\n12\n13\n"},
              {".disp", "3\n0 0 0\n1 0 0\n5 5 5\n"},
              {".qddef", "1\n1 1 11 12 99 98\n"}});
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(m_doc.m_nNodes, 2);
  EXPECT_EQ(m_doc.m_nCurNodes, 2);
  EXPECT_EQ(m_grid.m_aNodeValues.size(), 2u);
  EXPECT_EQ(m_grid.m_aNodeRange[0].max, 1.0);  // the third displacement is not used
  EXPECT_EQ(m_doc.m_aElems4[0].n[2], 99);

  // Displacements without a .grid: no current node to move.
  WriteModel({{".grid", "0\n"}});
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(m_doc.m_nNodes, 0);
  EXPECT_EQ(m_doc.m_nCurNodes, 0);
}

TEST_F(GridModelTest, FilesFoundWhateverTheirCase) {
  for (const auto& [ext, text] : kModel) {
    std::string upper = ext;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    ASSERT_TRUE(plat::WriteWholeFile(Stem() + upper, text));
  }
  testing::internal::CaptureStdout();
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(m_doc.m_nGridStatus, kGridOk);
  EXPECT_EQ(m_doc.m_nNodes, 2);
  EXPECT_EQ(m_grid.m_aStress.size(), 1u);
}

}  // namespace
