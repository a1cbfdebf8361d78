// The document's own members outside the program's open path: the model
// read and written through an archive in the wide layout, the display
// arrays sized from the statistics, and the worker's entry run directly.
#include "modelviewer/qm_loader.h"
#include "mv_test_support.h"

using namespace mvtest;

namespace {

TEST(SerializeModelTest, ReadsAndWritesInTheWideLayoutWhateverTheCurrentMode) {
  App();
  TempFolder dir;
  WriteSquareModel(dir.Path("square.dat"));
  std::string file;
  ASSERT_TRUE(plat::ReadWholeFile(dir.Path("square.dat"), file));
  for (const int mode : {0, 1}) {
    ColumnModeScope outer(mode);
    QmDoc doc;
    // A data set read before is replaced, not added to.
    for (int pass = 0; pass < 2; ++pass) {
      auto in = plat::LineReader::FromString(file);
      doc.SerializeModel(*in);
    }
    EXPECT_EQ(g_nColumnMode, mode);
    EXPECT_EQ(doc.m_dataSet.m_Nodes.GetCount(), 4) << mode;
    EXPECT_EQ(doc.m_dataSet.m_Quads.GetCount(), 1) << mode;
    std::string written;
    CArchiveOut out(written);
    doc.SerializeModel(out);
    EXPECT_EQ(g_nColumnMode, mode);
    EXPECT_EQ(written, file) << "column mode " << mode;
  }
}

TEST(DocAllocTest, ArraysFollowTheStatisticsAndTheColourMapSurvives) {
  App();
  TempFolder dir;
  WriteSquareModel(dir.Path("square.dat"));
  QmDoc doc;
  doc.PrepareLoad(dir.Path("square.dat"));
  auto in = plat::LineReader::FromFile(dir.Path("square.dat"));
  ASSERT_TRUE(in);
  doc.SerializeModel(*in);
  doc.m_dataSet.LinkNodes();
  doc.m_dataSet.BuildPropList();
  doc.m_dataSet.CalcElemAxes();
  ASSERT_TRUE(doc.m_stats.CountIp(doc.m_dataSet));
  doc.m_aElemColors.resize(3);

  struct Case {
    int nodes, quads, elems, mats, rectBlocks;
  } cases[] = {
      {doc.m_stats.m_nNodes, doc.m_stats.m_nQuads, doc.m_stats.m_nElems, doc.m_stats.m_nMats, 0},
      {7, 2, 5, 3, 4},
      {0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    CModelStats stats;
    stats.m_nNodes = c.nodes;
    stats.m_nQuads = c.quads;
    stats.m_nElems = c.elems;
    stats.m_nMats = c.mats;
    stats.m_nRectBlocks = c.rectBlocks;
    ASSERT_TRUE(doc.AllocDisplayArrays(stats)) << c.nodes;
    EXPECT_EQ(doc.m_aNodes.size(), static_cast<size_t>(c.nodes));
    EXPECT_EQ(doc.m_aCurNodes.size(), 0u);  // its nodes never move
    EXPECT_EQ(doc.m_aElems4.size(), static_cast<size_t>(c.quads));
    EXPECT_EQ(doc.m_aMats.size(), static_cast<size_t>(c.mats));
    // The square has no members: no arc parts.
    EXPECT_EQ(doc.m_aLines.size(), static_cast<size_t>(2 * c.elems));
    EXPECT_EQ(doc.m_aFaces.size(), static_cast<size_t>(6 * c.rectBlocks));
    EXPECT_EQ(doc.m_aElemColors.size(), 3u);
  }
}

TEST(LoadThreadProcTest, TheWorkerLoadsReturnsZeroAndLeavesTheDocumentReady) {
  App();
  TempFolder dir;
  WriteSquareModel(dir.Path("square.dat"));
  struct Case {
    const char* name;
    int nodes;
    size_t messages;
  } cases[] = {{"square.dat", 4, 0}, {"missing.dat", 0, 1}};
  for (const Case& c : cases) {
    LoadBlock block;
    block.szPath = dir.Path(c.name);
    block.pDoc = std::make_shared<QmDoc>();
    block.pDoc->PrepareLoad(block.szPath);
    EXPECT_EQ(LoadThreadProc(&block), 0) << c.name;
    EXPECT_EQ(block.nTotal.load(), 100);
    EXPECT_EQ(block.nProgress.load(), 100);
    EXPECT_TRUE(block.pDoc->m_bReady.load());
    EXPECT_TRUE(block.bDone.load());
    EXPECT_EQ(block.pDoc->m_nNodes, c.nodes) << c.name;
    EXPECT_EQ(block.messages.size(), c.messages) << c.name;
  }
}

}  // namespace
