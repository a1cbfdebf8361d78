// The analysis input as each program reads it, the columns and messages of
// the load-case entries, and what the loader of a run does for callers that
// take no message.
#include <gtest/gtest.h>

#include <sstream>

#include "dataset/fb_resultset.h"
#include "platform/text_lines.h"
#include "results/test_run_writer.h"

namespace {

using testrun::RunSpec;
using testrun::SmallFrame;
using testrun::TempDir;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    out.push_back(l);
  }
  return out;
}

std::string Join(const std::vector<std::string>& lines, size_t count) {
  std::string t;
  for (size_t i = 0; i < count && i < lines.size(); ++i) t += lines[i] + "\r\n";
  return t;
}

int Load(const std::string& text, CFbModel& m, std::string* msg = nullptr) {
  auto ar = plat::LineReader::FromString(text);
  return m.Serialize(*ar, msg);
}

// Two load cases with every kind of entry.
RunSpec LoadedFrame() {
  RunSpec s = SmallFrame(1);
  testrun::LoadCase first{7, 2, {{3, 1, 10.0}}, {{1, 3, 0.01}}};
  first.dist = {{2, 4, 1.5, 2.5, 3.5, 4.5}, {3, 5, -1, -2, -3, -4}};
  first.pre = {{{{11, 1, 0.5}, {12, 2, 0.75}}}, {}};
  first.fifth = {{6, {6.5, 7.5, 8.5, 9.5}}};
  testrun::LoadCase second{8, 1, {}, {}};
  second.dist = {{4, 6, 11, 12, 13, 14}};
  s.cases = {first, second};
  return s;
}

TEST(FbReader, LoadCaseEntries) {
  CFbModel m;
  std::string msg;
  ASSERT_EQ(Load(testrun::InText(LoadedFrame()), m, &msg), 1) << msg;
  ASSERT_EQ(m.m_nLoadCases, 2);
  const CFbLoadCase& c = *m.m_aLoadCases.GetAt(0);
  EXPECT_EQ(c.m_nKey, 7);
  EXPECT_EQ(c.m_nSteps, 2);
  EXPECT_EQ(c.m_nDist, 2);
  EXPECT_EQ(c.m_nPre, 2);
  EXPECT_EQ(c.m_nFifth, 1);
  ASSERT_EQ(c.m_aForced.size(), 1u);
  EXPECT_EQ(c.m_aForced[0].m_nNo, 1);
  EXPECT_EQ(c.m_aForced[0].m_nDof, 3);
  EXPECT_EQ(c.m_aForced[0].m_nOne, 1);
  // Distributed loads keep the reals at 46, 61, 16 and 31, in this order.
  ASSERT_EQ(c.m_aDist.size(), 2u);
  const double want[2][4] = {{3.5, 4.5, 1.5, 2.5}, {-3, -4, -1, -2}};
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(c.m_aDist[static_cast<size_t>(k)].m_nNo, 2 + k);
    EXPECT_EQ(c.m_aDist[static_cast<size_t>(k)].m_nI8, 4 + k);
    EXPECT_EQ(c.m_aDist[static_cast<size_t>(k)].m_nCase, 7);
    for (int v = 0; v < 4; ++v) EXPECT_DOUBLE_EQ(c.m_aDist[static_cast<size_t>(k)].m_adValues[v], want[k][v]);
  }
  // A prestress entry is numbered by its last point line.
  ASSERT_EQ(c.m_aPre.size(), 2u);
  EXPECT_EQ(c.m_aPre[0].m_nNo, 12);
  EXPECT_EQ(c.m_aPre[0].m_nPoints, 2);
  EXPECT_EQ(c.m_aPre[0].m_nCase, 7);
  ASSERT_EQ(c.m_aPre[0].m_aPoints.size(), 2u);
  EXPECT_EQ(c.m_aPre[0].m_aPoints[1].m_nI8, 2);
  EXPECT_DOUBLE_EQ(c.m_aPre[0].m_aPoints[1].m_dValue, 0.75);
  EXPECT_EQ(c.m_aPre[1].m_nPoints, 0);
  EXPECT_TRUE(c.m_aPre[1].m_aPoints.empty());
  ASSERT_EQ(c.m_aFifth.size(), 1u);
  EXPECT_EQ(c.m_aFifth[0].m_nNo, 6);
  EXPECT_EQ(c.m_aFifth[0].m_nCase, 7);
  for (int v = 0; v < 4; ++v) EXPECT_DOUBLE_EQ(c.m_aFifth[0].m_adValues[v], 6.5 + v);
  EXPECT_DOUBLE_EQ(m.m_aLoadCases.GetAt(1)->m_aDist[0].m_adValues[0], 13);
  // Steps: (7,1) (7,2) (8,1).
  EXPECT_EQ(m.m_aLCases.GetCount(), 3);
  EXPECT_EQ(m.GetStepIndex(8, 1), 3);
  EXPECT_EQ(m.GetStepIndex(-1, -1), 3);
}

// A file that ends inside the load cases still loads, with the message of
// the line that is missing.
TEST(FbReader, LoadCaseMessages) {
  const std::vector<std::string> lines = Lines(testrun::InText(LoadedFrame()));
  const size_t base = lines.size() - 13;  // the load-case header line
  const char* const want[] = {
      "荷重なし",
      "荷重条件(1/2)",
      "ｹｰｽ1:節点荷重読込(1/1)",
      "ｹｰｽ1:強制変位読込(1/1)",
      "ｹｰｽ1:分布荷重読込(1/2)",
      "ｹｰｽ1:分布荷重読込(2/2)",
      "ｹｰｽ1:ﾌﾟﾚｽﾄﾚｽ読込(1/2)",
      "ｹｰｽ1:ﾌﾟﾚｽﾄﾚｽ荷重(1/2)-1",
      "ｹｰｽ1:ﾌﾟﾚｽﾄﾚｽ荷重(1/2)-2",
      "ｹｰｽ1:ﾌﾟﾚｽﾄﾚｽ読込(2/2)",
      "ｹｰｽ1:分布荷重読込(1/1)",  // the fifth list has the same text
      "荷重条件(2/2)",
      "ｹｰｽ2:分布荷重読込(1/1)",
  };
  for (size_t k = 0; k < 13; ++k) {
    CFbModel m;
    std::string msg;
    EXPECT_EQ(Load(Join(lines, base + k), m, &msg), 1) << k;
    EXPECT_EQ(msg, want[k]) << k;
    EXPECT_EQ(m.m_bLoaded, 1);
    EXPECT_EQ(m.m_aNodes.GetCount(), 6);
  }
}

// The model viewer's reader takes five values from header line 3 and reads
// nothing after the materials of an eigen run; the results viewer's reads
// the second element list and the mode line.
TEST(FbReader, EachProgramsReader) {
  RunSpec noSecond = SmallFrame(1);
  noSecond.elems2.clear();
  std::vector<std::string> claims = Lines(testrun::InText(noSecond));
  claims[2].replace(40, 8, "       2");  // value 3.6 without element lines
  RunSpec eigenSpec = noSecond;
  eigenSpec.type = 3;
  std::vector<std::string> eigen = Lines(testrun::InText(eigenSpec));
  eigen.pop_back();  // no mode line

  struct Case {
    const char* what;
    bool results;
    std::string text;
    int code, elems2, modes;
  } const cases[] = {
      {"small frame, eigen", true, testrun::InText(SmallFrame(3)), 1, 1, 4},
      {"eigen without mode line", true, Join(eigen, eigen.size()), 0, 0, 0},
      {"eigen without mode line", false, Join(eigen, eigen.size()), 1, 0, 0},
      {"value 3.6 without lines", false, Join(claims, claims.size()), 1, 0, 0},
  };
  for (const Case& c : cases) {
    CFbModel m;
    m.m_bResultsReader = c.results;
    std::string msg;
    EXPECT_EQ(Load(c.text, m, &msg), c.code) << c.what << " " << msg;
    EXPECT_EQ(m.m_aElems2.GetCount(), c.elems2) << c.what;
    EXPECT_EQ(m.m_nElems2, c.elems2) << c.what;
    EXPECT_EQ(m.m_nModeCount, c.modes) << c.what;
    if (c.code == 0) {
      EXPECT_EQ(msg, "モードなし");
    }
    m.RemoveAll();
    EXPECT_EQ(m.m_bResultsReader, c.results);
  }
  CFbModel m;
  EXPECT_TRUE(m.m_bResultsReader);
  EXPECT_NE(Load(Join(claims, claims.size()), m), 1);
}

int LoadRun(const std::string& in, CFbResultSet& rs, std::string* msg) {
  auto ar = plat::LineReader::FromFile(in);
  return ar ? LoadAnalysisInput(*ar, in, rs, msg) : -100;
}

// Only a caller that takes the message is stopped by a failed read; the code
// comes back either way, and 2 (structure loaded) never stands for a failed
// input.
TEST(FbResultSet, LoaderCodesWithAndWithoutMessage) {
  struct Case {
    int type;
    bool badNode;  // an element names node position 99
    bool tim;
    bool withMsg;
    int code;
    int statusResult;  // the status file is read only when loading goes on
    const char* msg;
  } const cases[] = {
      {1, true, false, true, -1, 0, "ﾒﾓﾘｵｰﾊﾞｰです\n節点なし(1/6)"},
      {1, true, false, false, -1, 1, nullptr},
      {2, true, false, true, -1, 0, "ﾒﾓﾘｵｰﾊﾞｰです\n節点なし(1/6)"},
      {2, true, false, false, -1, 1, nullptr},
      {2, false, false, false, 2, 1, nullptr},
      {2, false, true, false, 1, 1, nullptr},
      {1, false, false, true, 1, 1, ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    RunSpec s = SmallFrame(c.type);
    s.quads.clear();  // the shell state file would take the status file's name
    s.writeStatus = true;
    s.statusFlag = 0, s.statusCase = 0, s.statusStep = 0;
    s.writeTim = c.tim;
    if (c.badNode) s.elems[0].i = 99;
    const std::string in = testrun::WriteRun(dir.path(), "frame", s);
    CFbResultSet rs;
    std::string msg = "old";
    EXPECT_EQ(LoadRun(in, rs, c.withMsg ? &msg : nullptr), c.code) << c.type << c.badNode << c.tim << c.withMsg;
    EXPECT_EQ(rs.m_nStatusResult, c.statusResult) << c.type << c.badNode << c.tim << c.withMsg;
    if (c.msg) {
      EXPECT_EQ(msg, c.msg);
    }
  }
}

// The model viewer's reader knows no mode count: an eigen run has one step
// when its mode file is there.
TEST(FbResultSet, ModelViewerEigenStepCount) {
  for (bool md : {true, false}) {
    TempDir dir;
    RunSpec s = SmallFrame(3);
    s.elems2.clear();  // a list that this reader does not know
    s.writeResults = md;
    const std::string in = testrun::WriteRun(dir.path(), "frame", s);
    CFbResultSet rs;
    rs.m_model.m_bResultsReader = false;
    ASSERT_EQ(LoadRun(in, rs, nullptr), 1);
    EXPECT_EQ(rs.m_model.m_nModeCount, 0);
    EXPECT_EQ(rs.m_nMaxStep, md ? 1 : 0);
    EXPECT_EQ(rs.m_nRecWords, md ? 7 : 0);
  }
}

}  // namespace
