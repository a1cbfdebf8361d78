// Reading analysis input files: every section's values, the result codes
// and messages of files cut short, and the leniencies of the format.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "dataset/fb_model.h"
#include "platform/cp932.h"
#include "platform/numbers.h"
#include "results/test_run_writer.h"

namespace {

using testrun::RunSpec;
using testrun::SmallFrame;

int Load(const std::string& text, CFbModel& m, std::string* msg = nullptr) {
  auto ar = plat::LineReader::FromString(text);
  return m.Serialize(*ar, msg);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

std::string Join(const std::vector<std::string>& lines, size_t count) {
  std::string t;
  for (size_t i = 0; i < count && i < lines.size(); ++i) t += lines[i] + "\n";
  return t;
}

TEST(FbReader, StaticRunEverySection) {
  CFbModel m;
  std::string msg;
  ASSERT_EQ(Load(testrun::InText(SmallFrame(1)), m, &msg), 1) << msg;
  EXPECT_EQ(m.m_bLoaded, 1);
  EXPECT_EQ(m.m_nAnaType, 1);
  EXPECT_EQ(m.m_nVersion, 20);
  EXPECT_EQ(m.m_strTitle, "test run");
  EXPECT_EQ(m.m_nNodes, 6);
  EXPECT_EQ(m.m_nFibers, 30);
  EXPECT_EQ(m.m_nLayers, 2);
  EXPECT_EQ(m.m_nShells, 4);
  EXPECT_EQ(m.m_nElems2, 1);

  ASSERT_EQ(m.m_aNodes.GetCount(), 6);
  EXPECT_EQ(m.m_aNodes.GetAt(2)->m_nNo, 3);
  EXPECT_DOUBLE_EQ(m.m_aNodes.GetAt(2)->m_dX, 4.0);
  EXPECT_DOUBLE_EQ(m.m_aNodes.GetAt(2)->m_dZ, 3.0);
  EXPECT_EQ(m.m_aNodes.GetAt(2)->m_nIndex, 2);

  // Positions became numbers.
  const CFbElem* e = m.m_aElems.GetAt(2);
  EXPECT_EQ(e->m_nNo, 13);
  EXPECT_EQ(e->m_nNodeI, 3);
  EXPECT_EQ(e->m_nNodeJ, 4);
  EXPECT_EQ(e->m_nSec, 102);
  EXPECT_EQ(e->m_nNodeK, 0);
  const CFbElem* e2 = m.m_aElems2.GetAt(0);
  EXPECT_EQ(e2->m_nNo, 21);
  EXPECT_EQ(e2->m_nNodeK, 5);
  EXPECT_EQ(e2->m_nSec, 101);

  const CFbQuad* q = m.m_aQuads.GetAt(1);
  EXPECT_EQ(q->m_nNo, 32);
  EXPECT_EQ(q->m_nSec, 3);  // stays a position
  EXPECT_EQ(q->m_anNodes[0], 5);
  EXPECT_EQ(q->m_anNodes[2], 6);

  ASSERT_EQ(m.m_aSups.GetCount(), 2);
  EXPECT_EQ(m.m_aSups.GetAt(1)->m_nNo, 4);
  EXPECT_EQ(m.m_aSups.GetAt(1)->m_nMask, 0x07);
  EXPECT_EQ(m.m_aSups.GetAt(0)->m_nMask, 0x3F);

  // Fibre section: a rectangular and a circular block, one deck.
  const CFbSec* fs = m.m_aSecs.GetAt(0);
  ASSERT_TRUE(fs->m_pFiber);
  EXPECT_EQ(fs->m_nNo, 101);
  const CFbFiberSec& f = *fs->m_pFiber;
  EXPECT_DOUBLE_EQ(f.m_vRef.m_dVz, 1.0);
  ASSERT_EQ(f.m_aBlocks.size(), 2u);
  ASSERT_EQ(f.m_aDecks.size(), 1u);
  const CFbSecBlock& rect = f.m_aBlocks[0];
  EXPECT_EQ(rect.m_nShape, 0);
  EXPECT_EQ(rect.m_nCols, 2);
  EXPECT_EQ(rect.m_nRows, 3);
  EXPECT_EQ(rect.m_nMat, 201);  // position 1, then its number
  EXPECT_DOUBLE_EQ(rect.m_dC15, -0.2);
  EXPECT_DOUBLE_EQ(rect.m_dC45, 0.2);
  EXPECT_DOUBLE_EQ(rect.m_dC75, 0.3);
  const CFbSecBlock& arc = f.m_aBlocks[1];
  EXPECT_EQ(arc.m_nShape, -1);
  EXPECT_EQ(arc.m_nMat, 202);
  EXPECT_NEAR(arc.m_dC45, 90.0, 1e-5);  // radians in the file, degrees stored
  EXPECT_DOUBLE_EQ(arc.m_dC15, 0.0);
  EXPECT_DOUBLE_EQ(arc.m_dC30, 0.1);
  const CFbDeck& deck = f.m_aDecks[0];
  EXPECT_EQ(deck.m_nRows, 1);
  EXPECT_EQ(deck.m_nCols, 2);
  EXPECT_EQ(deck.m_nMat, 202);
  EXPECT_DOUBLE_EQ(deck.m_dD45, 0.25);
  EXPECT_DOUBLE_EQ(deck.m_dD75, 0.02);

  const CFbSec* ss = m.m_aSecs.GetAt(1);
  ASSERT_TRUE(ss->m_pScalar);
  EXPECT_EQ(ss->m_pScalar->m_nKind, 0);
  EXPECT_DOUBLE_EQ(ss->m_pScalar->m_adParams[5], 6.5);
  EXPECT_DOUBLE_EQ(ss->m_pScalar->m_vRef.m_dVy, 1.0);
  const CFbSec* sh = m.m_aSecs.GetAt(2);
  ASSERT_TRUE(sh->m_pShell);
  EXPECT_EQ(sh->m_pShell->m_anInfo[0], 7);
  EXPECT_EQ(sh->m_pShell->m_anInfo[2], 9);
  EXPECT_DOUBLE_EQ(sh->m_pShell->m_adParams[0], 0.2);

  ASSERT_EQ(m.m_aMats.GetCount(), 2);
  EXPECT_EQ(m.m_aMats.GetAt(0)->m_nKind, 1);
  ASSERT_EQ(m.m_aMats.GetAt(0)->m_adValues.size(), 6u);
  EXPECT_DOUBLE_EQ(m.m_aMats.GetAt(0)->m_adValues[0], 2.05e5);
  EXPECT_EQ(m.m_bMatKind, 1);

  ASSERT_EQ(m.m_aLoadCases.GetCount(), 2);
  const CFbLoadCase* lc = m.m_aLoadCases.GetAt(0);
  EXPECT_EQ(lc->m_nKey, 1);
  EXPECT_EQ(lc->m_nSteps, 3);
  ASSERT_EQ(lc->m_aNodal.size(), 1u);
  EXPECT_EQ(lc->m_aNodal[0].m_nNo, 3);
  EXPECT_EQ(lc->m_aNodal[0].m_nCase, 1);
  EXPECT_DOUBLE_EQ(lc->m_aNodal[0].m_dValue, 10.0);
  ASSERT_EQ(m.m_aLoadCases.GetAt(1)->m_aForced.size(), 1u);
  EXPECT_DOUBLE_EQ(m.m_aLoadCases.GetAt(1)->m_aForced[0].m_dValue, 0.01);
  EXPECT_EQ(m.m_aLCases.GetCount(), 5);
  EXPECT_EQ(m.m_aFiberIDs.GetCount(), 30);
}

TEST(FbReader, DynamicRunStepsGroundAccelerationAndWaves) {
  CFbModel m;
  std::string msg;
  ASSERT_EQ(Load(testrun::InText(SmallFrame(2)), m, &msg), 1) << msg;
  EXPECT_EQ(m.m_nAnaType, 2);
  EXPECT_EQ(m.m_nSteps, 6);
  EXPECT_DOUBLE_EQ(m.m_adStep1[0], 0.01);
  EXPECT_EQ(m.m_nGroundAccs, 1);
  EXPECT_EQ(m.m_nWaves, 2);
  EXPECT_EQ(m.m_anStep2[3], 3);
  EXPECT_EQ(m.m_anStep2[5], 10);
  ASSERT_EQ(m.m_aGroundAccs.GetCount(), 1);
  const CFbGroundAcc* g = m.m_aGroundAccs.GetAt(0);
  EXPECT_EQ(g->m_anValues[2], 3);
  EXPECT_DOUBLE_EQ(g->m_dValue, 0.5);
  EXPECT_EQ(g->m_nOne, 1);
  ASSERT_EQ(m.m_aWaves.GetCount(), 2);
  const CFbWave* w1 = m.m_aWaves.GetAt(0);
  const CFbWave* w2 = m.m_aWaves.GetAt(1);
  EXPECT_EQ(w1->m_nHead, 7);
  EXPECT_EQ(w1->m_nValues, 3);
  EXPECT_EQ(w2->m_nValues, 7);
  // The second wave starts within the first value line.
  const std::vector<double> v2 = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(w1->m_wave.m_adValues, (std::vector<double>{0.1, 0.2, 0.3}));
  EXPECT_EQ(w2->m_wave.m_adValues, v2);
  EXPECT_DOUBLE_EQ(w2->m_wave.m_dMax, 7.0);
  EXPECT_EQ(m.m_aLCases.GetCount(), 0);
}

TEST(FbReader, DynamicRunBeforeVersion20) {
  RunSpec s = SmallFrame(2);
  s.version = 19;
  CFbModel m;
  ASSERT_EQ(Load(testrun::InText(s), m), 1);
  EXPECT_EQ(m.m_nSteps, 6);
  EXPECT_EQ(m.m_anStep2[5], 1);
  EXPECT_EQ(m.m_aWaves.GetCount(), 0);
  EXPECT_EQ(m.m_aGroundAccs.GetCount(), 0);
}

TEST(FbReader, EigenRunModeLine) {
  CFbModel m;
  ASSERT_EQ(Load(testrun::InText(SmallFrame(3)), m), 1);
  EXPECT_EQ(m.m_nModeCount, 4);

  std::string text = testrun::InText(SmallFrame(3));
  std::vector<std::string> lines = Lines(text);
  lines.back() = "      12";
  ASSERT_EQ(Load(Join(lines, lines.size()), m), 1);
  EXPECT_EQ(m.m_nModeCount, 12);

  std::string msg;
  EXPECT_EQ(Load(Join(lines, lines.size() - 1), m, &msg), 0);
  EXPECT_EQ(msg, "モードなし");
  EXPECT_EQ(m.m_aNodes.GetCount(), 0);
  EXPECT_EQ(m.m_bLoaded, 0);
}

TEST(FbReader, ProgramName) {
  struct Case {
    const char* name;
    int code;
    int type;
  } const cases[] = {{"  ZQN7D  ", 1, 2}, {"zqn7s", 1, 1}, {"ZqN7m", 1, 3}, {"zqn7x", -1, 0}, {"", -1, 0}};
  for (const Case& c : cases) {
    RunSpec s = SmallFrame(c.type == 0 ? 1 : c.type);
    s.program = c.name;
    CFbModel m;
    std::string msg;
    EXPECT_EQ(Load(testrun::InText(s), m, &msg), c.code) << c.name;
    EXPECT_EQ(m.m_nAnaType, c.type) << c.name;
    if (c.code < 0) {
      EXPECT_EQ(msg, "ﾌﾟﾛｸﾞﾗﾑ名" + plat::LowerCp932(plat::TrimCp932(c.name)) + "が不明です");
    }
  }
}

TEST(FbReader, HeaderLine3Values) {
  struct Case {
    int params, head33, wantParams, wantLayers;
  } const cases[] = {{0, 96, 9, 4}, {-3, 100, 9, 4}, {7, -30, 7, -1}, {12, 24, 12, 1}};
  for (const Case& c : cases) {
    RunSpec s = SmallFrame(1);
    s.secParams = c.params;
    s.head33 = c.head33;
    CFbModel m;
    std::string msg;
    ASSERT_EQ(Load(testrun::InText(s), m, &msg), 1) << msg;
    EXPECT_EQ(m.m_nSecParams, c.wantParams);
    EXPECT_EQ(m.m_nLayers, c.wantLayers);
    EXPECT_EQ(m.m_nShells, c.wantLayers > 0 ? 2 * c.wantLayers : 0);
  }
}

TEST(FbReader, SupportsFiveALine) {
  RunSpec s = SmallFrame(1);
  s.sups.clear();
  for (int i = 1; i <= 6; ++i) s.sups.push_back({i, "000011"});
  s.sups.push_back({6, "100000"});
  std::string text = testrun::InText(s);
  CFbModel m;
  ASSERT_EQ(Load(text, m), 1);
  ASSERT_EQ(m.m_aSups.GetCount(), 7);
  EXPECT_EQ(m.m_aSups.GetAt(4)->m_nNo, 5);
  EXPECT_EQ(m.m_aSups.GetAt(4)->m_nMask, (1 << 4) | (1 << 5));  // "11" reads as 000011
  EXPECT_EQ(m.m_aSups.GetAt(6)->m_nMask, 1);
  EXPECT_EQ(m.m_aSups.GetAt(5)->m_nNo, 6);
}

TEST(FbReader, MaterialWithoutKind) {
  struct Case {
    double ninth;
    int kind;
  } const cases[] = {{0.0, CFbMat::kNoKind}, {1e-99, CFbMat::kNoKind}, {2.5, 1}};
  for (const Case& c : cases) {
    RunSpec s = SmallFrame(1);
    s.matReals = 9;
    s.mats[1].noKind = true;
    s.mats[1].values = {1, 2, 3, 4, 5, 6, 7, 8, c.ninth};
    CFbModel m;
    ASSERT_EQ(Load(testrun::InText(s), m), 1);
    EXPECT_EQ(m.m_aMats.GetAt(1)->m_nKind, c.kind);
    EXPECT_EQ(m.m_aMats.GetAt(0)->m_nKind, 1);
    EXPECT_EQ(m.m_bMatKind, 0);
    EXPECT_EQ(m.m_aMats.GetAt(1)->m_adValues.size(), 9u);
  }
  // Fewer than nine reals: the ninth-real rule does not apply (and reads
  // nothing past the values).
  RunSpec s = SmallFrame(1);
  s.mats[1].noKind = true;
  CFbModel m;
  ASSERT_EQ(Load(testrun::InText(s), m), 1);
  EXPECT_EQ(m.m_aMats.GetAt(1)->m_nKind, CFbMat::kNoKind);
}

TEST(FbReader, ShortStepLineReadsZeros) {
  std::vector<std::string> lines = Lines(testrun::InText(SmallFrame(2)));
  // The first step line follows the 37 lines up to the materials.
  size_t k = 0;
  while (k < lines.size() && lines[k].rfind("       6       0       0", 0) != 0) ++k;
  ASSERT_LT(k, lines.size());
  lines[k] = lines[k].substr(0, 30);
  CFbModel m;
  ASSERT_EQ(Load(Join(lines, lines.size()), m), 1);
  EXPECT_EQ(m.m_nSteps, 6);
  EXPECT_DOUBLE_EQ(m.m_adStep1[0], 0.0);
  EXPECT_DOUBLE_EQ(m.m_adStep1[1], 0.0);
}

// The fixed cut of the step lines: blanks for a field that starts at or past
// the end of the line, a shorter field where the line ends inside it, and
// the line given last when none is given.
TEST(FbReader, CutColumnOfTheStepLines) {
  struct Case {
    const char* line;  // null: the line of the case before
    int width, start;
    const char* want;
  };
  const Case cases[] = {
      {"       6       2       3", 8, 0, "       6"},
      {nullptr, 8, 8, "       2"},
      {nullptr, 8, 16, "       3"},
      {nullptr, 16, 24, "                "},  // starts at the end
      {"12345", 8, 3, "45"},                  // ends inside the field
      {nullptr, 4, 5, "    "},
      {nullptr, 4, 99, "    "},
      {"", 3, 0, "   "},
      {"abcdef", 0, 2, ""},
      {"abcdef", 2, 4, "ef"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line ? c.line : "(null)") + " @" + std::to_string(c.start));
    EXPECT_EQ(CutColumn(c.line, c.width, c.start), c.want);
  }
  // The text form cuts and remembers the same way.
  EXPECT_EQ(CutColumn(std::string("  1.5e3  7"), 5, 0), "  1.5");
  EXPECT_EQ(CutColumn(nullptr, 5, 5), "e3  7");
}

// Where a file cut after `lines` lines stops, with its code and message.
TEST(FbReader, StaticFileCutShortInEachSection) {
  const std::vector<std::string> lines = Lines(testrun::InText(SmallFrame(1)));
  ASSERT_EQ(lines.size(), 42u);
  struct Case {
    size_t keep;
    int code;
    const char* msg;
  } const cases[] = {
      {0, 0, "1行目"},
      {1, 0, "2行目"},
      {2, 0, "3行目"},
      {3, 0, "4行目"},
      {4, 0, "節点ﾃﾞｰﾀ(1/6)"},
      {9, 0, "節点ﾃﾞｰﾀ(6/6)"},
      {10, 0, "要素ﾃﾞｰﾀ(1/3)"},
      {13, 0, "要素ﾃﾞｰﾀ(1/1)"},
      {14, 0, "要素ﾃﾞｰﾀ(1/2)"},
      {16, 0, "支持条件(1/2)"},
      {17, 0, "断面(1/3)"},
      {18, 0, "断面(1/3)Vﾍﾞｸﾄﾙ"},
      {19, 0, "断面1個目1/2のﾌﾞﾛｯｸ座標"},
      {20, 0, "断面1個目1/2のﾌﾞﾛｯｸ情報"},
      {22, 0, "断面1個目2/2のﾌﾞﾛｯｸ情報"},
      {23, 0, "断面1個目1/1のﾃﾞｯｷ座標"},
      {24, 0, "断面1個目1/1のﾃﾞｯｷ情報"},
      {27, 0, "断面の2個目のｽｶﾗｰ"},
      {31, 0, "断面の3個目のシェル特性"},
      {33, 0, "材料(1/2)"},
      {34, 0, "材料ﾃﾞｰﾀなし(1/2)"},
      {36, 0, "材料ﾃﾞｰﾀなし(2/2)"},
  };
  for (const Case& c : cases) {
    CFbModel m;
    std::string msg;
    EXPECT_EQ(Load(Join(lines, c.keep), m, &msg), c.code) << c.keep;
    EXPECT_EQ(msg, c.msg) << c.keep;
    EXPECT_EQ(m.m_aNodes.GetCount(), 0) << c.keep;
    EXPECT_EQ(m.m_nAnaType, 0) << c.keep;
  }
  // Every cut before the load cases fails and empties the model; a cut
  // inside the load cases still loads with the cases read so far.
  for (size_t keep = 0; keep < lines.size(); ++keep) {
    CFbModel m;
    std::string msg;
    const int code = Load(Join(lines, keep), m, &msg);
    if (keep < 37) {
      EXPECT_EQ(code, 0) << keep;
      EXPECT_FALSE(msg.empty()) << keep;
      EXPECT_EQ(m.m_aSecs.GetCount(), 0) << keep;
    } else {
      EXPECT_EQ(code, 1) << keep;
      EXPECT_EQ(m.m_bLoaded, 1) << keep;
    }
  }
  CFbModel m;
  std::string msg;
  ASSERT_EQ(Load(Join(lines, 39), m, &msg), 1);
  EXPECT_EQ(msg, "ｹｰｽ1:節点荷重読込(1/1)");
  ASSERT_EQ(Load(Join(lines, 40), m, &msg), 1);
  EXPECT_EQ(msg, "荷重条件(2/2)");
  EXPECT_EQ(m.m_aLoadCases.GetCount(), 1);
  EXPECT_EQ(m.m_aLCases.GetCount(), 3);
  ASSERT_EQ(Load(Join(lines, 37), m, &msg), 1);
  EXPECT_EQ(msg, "荷重なし");
  ASSERT_EQ(Load(Join(lines, 41), m, &msg), 1);
  EXPECT_EQ(msg, "ｹｰｽ2:強制変位読込(1/1)");
}

TEST(FbReader, DynamicFileCutShort) {
  const std::vector<std::string> lines = Lines(testrun::InText(SmallFrame(2)));
  // 37 lines to the materials, 2 step lines, 1 ground acceleration, 2 wave
  // headers, 1 skipped line, 2 value lines.
  ASSERT_EQ(lines.size(), 45u);
  struct Case {
    size_t keep;
    int code;
    const char* msg;
  } const cases[] = {
      {37, 1, "ｽﾃｯﾌﾟ"},  // a missing step line is accepted
      {39, 0, "地盤加速度(1/1)"},
      {40, 0, "波形(1/2)"},
      {41, 0, "波形(2/2)"},
      {42, 0, "波形(0/1/1)"},
      {43, 0, "波形(1/1/3)"},
      {44, 0, "波形(2/3/7)"},
  };
  for (const Case& c : cases) {
    CFbModel m;
    std::string msg;
    EXPECT_EQ(Load(Join(lines, c.keep), m, &msg), c.code) << c.keep;
    EXPECT_EQ(msg, c.msg) << c.keep;
    EXPECT_EQ(m.m_bLoaded, c.code == 1 ? 1 : 0) << c.keep;
  }
}

TEST(FbReader, DecreasingWaveEndIsRefused) {
  std::vector<std::string> lines = Lines(testrun::InText(SmallFrame(2)));
  lines[41] = "       0       8       2";  // second wave ends before the first
  CFbModel m;
  std::string msg;
  EXPECT_EQ(Load(Join(lines, lines.size()), m, &msg), -1);
  EXPECT_EQ(msg, "波形ﾃﾞｰﾀ(2/2)");
  EXPECT_EQ(m.m_aWaves.GetCount(), 0);
}

TEST(FbReader, LongLinesUseTheirFirst255Characters) {
  std::vector<std::string> lines = Lines(testrun::InText(SmallFrame(1)));
  // Node 2's line grows to 400 characters; what lies past 255 must not be
  // read as node 3.
  lines[5] += std::string(300, ' ') + "       9      99.0";
  CFbModel m;
  std::string msg;
  ASSERT_EQ(Load(Join(lines, lines.size()), m, &msg), 1) << msg;
  EXPECT_EQ(m.m_aNodes.GetAt(2)->m_nNo, 3);
  EXPECT_DOUBLE_EQ(m.m_aNodes.GetAt(2)->m_dX, 4.0);
}

TEST(FbReader, RenumberingFailureKeepsTheSections) {
  struct Case {
    int i, j, sec;
    const char* msg;
  } const cases[] = {{0, 2, 1, "節点なし(1/6)"}, {1, 7, 1, "節点なし(1/6)"}, {1, 2, 4, "断面なし(1)"}, {1, 2, -1, "断面なし(1)"}};
  for (const Case& c : cases) {
    RunSpec s = SmallFrame(1);
    s.elems[0] = {11, c.i, c.j, c.sec, 0};
    CFbModel m;
    std::string msg;
    EXPECT_EQ(Load(testrun::InText(s), m, &msg), -1);
    EXPECT_EQ(msg, c.msg);
    EXPECT_EQ(m.m_aSecs.GetCount(), 3);
    EXPECT_EQ(m.m_bLoaded, 0);
  }
  RunSpec s = SmallFrame(1);
  s.quads[1].n[3] = 9;
  CFbModel m;
  std::string msg;
  EXPECT_EQ(Load(testrun::InText(s), m, &msg), -1);
  EXPECT_EQ(msg, "節点なし(2/6)");
  s = SmallFrame(1);
  s.sups[1].node = 0;
  EXPECT_EQ(Load(testrun::InText(s), m, &msg), -1);
  EXPECT_EQ(msg, "節点なし(2/6)");
}

TEST(FbReader, MaterialPositionsThatNameNoMaterial) {
  RunSpec s = SmallFrame(1);
  s.secs[0].blocks[0].i24 = 7;        // past the two materials
  s.secs[0].blocks[1].i24 = 1000000;  // circular, position 0: none
  s.secs[0].decks[0].i24 = -3;
  CFbModel m;
  ASSERT_EQ(Load(testrun::InText(s), m), 1);
  const CFbFiberSec& f = *m.m_aSecs.GetAt(0)->m_pFiber;
  EXPECT_EQ(f.m_aBlocks[0].m_nMat, 0);
  EXPECT_EQ(f.m_aBlocks[1].m_nMat, 0);
  EXPECT_EQ(f.m_aBlocks[1].m_nShape, -1);
  EXPECT_EQ(f.m_aDecks[0].m_nMat, 0);
}

TEST(FbReader, CountsFromTheFileNeverSizeMemory) {
  // Header counts far past the file: the readers stop at its end.
  struct Case {
    int field;  // header line 2 field
    int value;
    int code;
  } const cases[] = {{6, 99999999, 0}, {7, 99999999, 0}, {0, -5, 0}, {2, -7, 1}};
  for (const Case& c : cases) {
    std::vector<std::string> lines = Lines(testrun::InText(SmallFrame(1)));
    lines[1].replace(static_cast<size_t>(8 * c.field), 8, plat::Format("%8d", c.value));
    CFbModel m;
    std::string msg;
    EXPECT_EQ(Load(Join(lines, lines.size()), m, &msg), c.code) << c.field << " " << msg;
  }
  // A huge section information count keeps only what a line can hold.
  std::vector<std::string> lines = Lines(testrun::InText(SmallFrame(1)));
  lines[1].replace(32, 8, plat::Format("%8d", 99999999));
  CFbModel m;
  std::string msg;
  ASSERT_EQ(Load(Join(lines, lines.size()), m, &msg), 1) << msg;
  EXPECT_EQ(m.m_aSecs.GetAt(2)->m_nInfoCount, 99999999);
  EXPECT_LE(m.m_aSecs.GetAt(2)->m_pInfo.size(), static_cast<size_t>(CFbSec::kMaxStoredInfo));
  EXPECT_EQ(m.m_aSecs.GetAt(2)->Info(1000000), 0);
}

TEST(FbReader, SmallInformationCountReadsMissingValuesAsZero) {
  RunSpec s = SmallFrame(1);
  s.secInfo = 2;  // no type value: every section is a fibre section
  for (auto& sec : s.secs) {
    sec.info.resize(2);
    if (sec.no != 101) sec.info = {0, 0};
  }
  CFbModel m;
  std::string msg;
  ASSERT_EQ(Load(testrun::InText(s), m, &msg), 1) << msg;
  EXPECT_EQ(m.m_aSecs.GetAt(0)->Type(), 0);
  EXPECT_TRUE(m.m_aSecs.GetAt(1)->m_pFiber);
  EXPECT_EQ(m.m_aSecs.GetAt(1)->m_pFiber->m_aBlocks.size(), 0u);
}

TEST(FbReader, EmptySupportSectionHasOneLine) {
  RunSpec s = SmallFrame(1);
  s.sups.clear();
  CFbModel m;
  ASSERT_EQ(Load(testrun::InText(s), m), 1);
  EXPECT_EQ(m.m_aSups.GetCount(), 0);
  EXPECT_EQ(m.m_aSecs.GetCount(), 3);
  const std::vector<std::string> lines = Lines(testrun::InText(s));
  std::string msg;
  EXPECT_EQ(Load(Join(lines, 16), m, &msg), 0);
  EXPECT_EQ(msg, "支持条件");
}

TEST(FbReader, RemoveAllTwiceIsHarmless) {
  CFbModel m;
  ASSERT_EQ(Load(testrun::InText(SmallFrame(1)), m), 1);
  m.RemoveAll();
  m.RemoveAll();
  EXPECT_EQ(m.m_bMatKind, 1);
  EXPECT_EQ(m.m_bLoaded, 0);
  EXPECT_EQ(m.m_aNodes.GetCount(), 0);
  EXPECT_EQ(m.m_aFiberIDs.GetCount(), 0);
}

}  // namespace
