#include "model/shell_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <memory>
#include <vector>

#include "model/columns.h"
#include "platform/numbers.h"

namespace {

using namespace rectest;

std::string Head(int w, int no, int layers, int type) {
  return I(w, no) + I(w, 1) + R(0.2) + I(w, layers) + I(w, type) + "\r\n" + R(1) + R(2) + R(3) + R(4) + R(5) + "\r\n";
}
std::string Layer(double a, double b, int n) { return R(a) + R(b) + I(10, n) + "\r\n"; }

TEST(ShellRecords, LayeredShellRoundTripsInBothLayouts) {
  for (int mode : {1, 0}) {
    ColumnModeScope scope(mode);
    const int w = mode ? 10 : 5;
    const std::string text = "$ slab\r\n" + Head(w, 1, 2, 3) + Layer(0.1, 0.05, 2) + Layer(0.15, -0.05, 3) +
                             Head(w, 2, 2, 1);
    std::string line;
    auto recs = ReadSection<CIpPShell>(text + "/cquad\r\n", line);
    ASSERT_EQ(recs.size(), 2u) << mode;
    EXPECT_EQ(line, "/cquad");
    EXPECT_EQ(WriteAll(recs), text) << mode;
    const CIpPShell& s = *recs[0];
    EXPECT_EQ(s.m_nPsOpt, 1);
    EXPECT_DOUBLE_EQ(s.m_dPs0, 0.2);
    EXPECT_EQ(s.m_nLayers, 2);
    EXPECT_EQ(s.m_nShellType, 3);
    EXPECT_DOUBLE_EQ(s.m_dPs5, 5);
    ASSERT_EQ(s.m_pLayerList.size(), 2u);
    EXPECT_DOUBLE_EQ(s.m_pLayerList[1]->m_dLay1, 0.15);
    EXPECT_DOUBLE_EQ(s.m_pLayerList[1]->m_dLay2, -0.05);
    EXPECT_EQ(s.m_pLayerList[1]->m_nLay, 3);
    // A shell of another type reads no layer lines, whatever it declares.
    EXPECT_TRUE(recs[1]->m_pLayerList.empty());
  }
}

TEST(ShellRecords, FewerLayersThanDeclaredKeepThemAndTheKeyword) {
  ColumnModeScope wide(1);
  struct Case {
    const char* name;
    std::string text;
    size_t layers;
    std::string lineAfter;
  } cases[] = {
      {"cut by a keyword", Head(10, 1, 3, 3) + Layer(1, 2, 3) + "/cquad\r\n" + "         1\r\n", 1, "/cquad"},
      {"comment then keyword", Head(10, 1, 3, 3) + "$ c\r\n/cquad\r\n", 0, "/cquad"},
      {"cut by the end of input", Head(10, 1, 3, 3) + Layer(1, 2, 3), 1, ""},
  };
  for (const auto& c : cases) {
    std::string line;
    auto recs = ReadSection<CIpPShell>(c.text, line);
    ASSERT_EQ(recs.size(), 1u) << c.name;
    EXPECT_EQ(recs[0]->m_pLayerList.size(), c.layers) << c.name;
    EXPECT_EQ(line, c.lineAfter) << c.name;
  }
}

TEST(ShellRecords, EmptyLayerLineIsAZeroLayer) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpPShell>(Head(10, 1, 2, 3) + "$ top\r\n" + Layer(1, 2, 3) + "\r\n", line);
  ASSERT_EQ(recs.size(), 1u);
  ASSERT_EQ(recs[0]->m_pLayerList.size(), 2u);
  EXPECT_EQ(recs[0]->m_pLayerList[0]->m_strComment, "");  // comments are not kept in layers
  EXPECT_TRUE(recs[0]->m_pLayerList[1]->IsEmpty());
}

TEST(ShellRecords, SecondLineMissingDropsTheShell) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpPShell>(I(10, 1) + "\r\n$ c\r\n/cquad\r\n", line);
  EXPECT_TRUE(recs.empty());
  EXPECT_EQ(line, "/cquad");
  recs = ReadSection<CIpPShell>(I(10, 1) + "\r\n", line);
  EXPECT_TRUE(recs.empty());
  EXPECT_EQ(line, "");
}

TEST(ShellRecords, CellsInColumnOrder) {
  ColumnModeScope narrow(0);
  CIpPShell s;
  s.m_nNo = 4;
  s.m_nPsOpt = 1;
  s.m_dPs0 = 0.2;
  s.m_nLayers = 2;
  s.m_nShellType = 3;
  s.m_dPs1 = 1, s.m_dPs2 = 2, s.m_dPs3 = 3, s.m_dPs4 = 4, s.m_dPs5 = 5;
  const char* expect[] = {"4", "1", "  0.2000", "2", "3", "  5.0000", "  1.0000", "  2.0000", "  3.0000", "  4.0000"};
  for (int c = 0; c < 10; ++c) {
    EXPECT_EQ(s.GetText(c), expect[c]) << c;
    EXPECT_EQ(s.GetGenText(c, 7), expect[c]) << c;
  }
  EXPECT_EQ(s.GetText(10), "");
  CIpPShell empty;
  for (int c = 0; c < 10; ++c) EXPECT_EQ(empty.GetText(c), "") << c;

  for (int c = 0; c < 10; ++c) EXPECT_TRUE(empty.SetText(c, "6")) << c;
  for (int c = 0; c < 10; ++c) EXPECT_EQ(empty.GetText(c), c == 0 || c == 1 || c == 3 || c == 4 ? "6" : "  6.0000");
  EXPECT_TRUE(s.SetText(-1, "note"));
  EXPECT_FALSE(s.SetText(-1, "note"));
  EXPECT_TRUE(s.SetText(9, "$1.5"));  // a "$" text is not a comment here
  EXPECT_EQ(s.m_strComment, "");
  EXPECT_DOUBLE_EQ(s.m_dPs4, 0);
  // A refused column changes nothing, the comment included.
  s.SetComment("x");
  for (int col : {10, -2}) {
    EXPECT_FALSE(s.SetText(col, "1"));
    EXPECT_EQ(s.m_strComment, "x");
  }
  EXPECT_TRUE(s.SetText(0, "4"));
  EXPECT_EQ(s.m_strComment, "");
  EXPECT_FALSE(s.IsEmpty());
  EXPECT_TRUE(CIpPShell().IsEmpty());
}

TEST(ShellRecords, AddLayerCopiesFieldsNotComment) {
  CIpPShell s;
  CIpLayer l;
  l.m_dLay1 = 1;
  l.m_nLay = 2;
  l.m_strComment = "c";
  ASSERT_TRUE(s.AddLayer(l));
  ASSERT_EQ(s.m_pLayerList.size(), 1u);
  EXPECT_DOUBLE_EQ(s.m_pLayerList[0]->m_dLay1, 1);
  EXPECT_EQ(s.m_pLayerList[0]->m_nLay, 2);
  EXPECT_EQ(s.m_pLayerList[0]->m_strComment, "");
  EXPECT_TRUE(l.SetText(0, "5"));
  EXPECT_DOUBLE_EQ(l.m_dLay1, 1);
}

}  // namespace
