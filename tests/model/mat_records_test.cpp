#include "model/mat_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <cmath>
#include <memory>
#include <vector>

#include "model/columns.h"
#include "platform/numbers.h"

namespace {

using namespace rectest;

// Parameter values of the layout test: distinct, and whole numbers where the
// file holds an integer.
double P(int type, int i) {
  if ((type == 5 && i == 5) || (type == 7 && i == 8) || (type == 10 && i == 6)) return i + 1;
  return i + 0.25;
}

struct Layout {
  int type;
  int line2;   // plain values p0.. on the second line
  int start3;  // first parameter of the third line
  int line3;   // values on the third line (0: none)
};

// The continuation layouts of every type, written out in the wide layout.
std::string WideMaterial(const Layout& l) {
  std::string t = plat::Format("%10d%10d", 4, l.type) + R(1.5) + R(200000) + R(0.3);
  if (l.type == 10 || l.type == 11) t += R(-7.5);
  t += "\r\n";
  for (int i = 0; i < l.line2; ++i) t += l.type == 5 && i == 5 ? plat::Format("%10.0f", P(5, 5)) : R(P(l.type, i));
  if (l.type == 7) t += R(P(7, 6)) + R(P(7, 7)) + plat::Format("%10d", static_cast<int>(P(7, 8)));
  if (l.type == 10) t += std::string(10, ' ') + plat::Format("%10d", static_cast<int>(P(10, 6)));
  t += "\r\n";
  if (l.line3) {
    for (int i = 0; i < l.line3; ++i) t += R(P(l.type, l.start3 + i));
    t += "\r\n";
  }
  return t;
}

TEST(MatRecords, EveryTypeRoundTripsInWideLayout) {
  const Layout layouts[] = {
      {0, 6, 0, 0}, {1, 3, 3, 4}, {2, 6, 6, 4},  {3, 2, 2, 4},  {4, 4, 0, 0},  {5, 6, 0, 0},  {6, 6, 6, 4},
      {7, 6, 9, 4}, {8, 8, 8, 4}, {9, 6, 6, 4}, {10, 6, 0, 0}, {11, 3, 0, 0}, {12, 2, 0, 0}, {30, 6, 0, 0},
  };
  ColumnModeScope wide(1);
  for (const Layout& l : layouts) {
    const std::string text = "$ steel\r\n" + WideMaterial(l) + "/sections\r\n";
    std::string line;
    auto recs = ReadSection<CIpMat>(text, line);
    ASSERT_EQ(recs.size(), 1u) << l.type;
    EXPECT_EQ(line, "/sections");
    const CIpMat& m = *recs[0];
    EXPECT_EQ(m.m_strComment, " steel");
    EXPECT_EQ(m.m_nNo, 4);
    EXPECT_EQ(m.m_nType, l.type);
    EXPECT_DOUBLE_EQ(m.m_dVal2, 200000);
    EXPECT_DOUBLE_EQ(m.m_dVal4, (l.type == 10 || l.type == 11) ? -7.5 : 0);
    int used = l.line3 ? l.start3 + l.line3 : l.line2;
    if (l.type == 10) used = 7;
    for (int i = 0; i < CMat::kParamCount; ++i)
      EXPECT_DOUBLE_EQ(m.m_aParam[i], i < used ? P(l.type, i) : 0) << "type " << l.type << " p" << i;
    EXPECT_EQ(WriteAll(recs), text.substr(0, text.size() - 11)) << l.type;
  }
}

TEST(MatRecords, NarrowLayoutRoundTrips) {
  const std::string texts[] = {
      // type 7: p6 and p7 in five columns, p8 an integer in five
      "    2    7  1.500000200000.000  0.300000\r\n"
      "  0.250000  1.250000  2.250000  3.250000  4.250000  5.2500000.350-1.25    9\r\n"
      "  9.250000 10.250000 11.250000 12.250000\r\n",
      // type 10: ten blanks, then p6 in five columns
      "    3   10  1.500000         0         0 -7.500000\r\n"
      "  0.250000  1.250000  2.250000  3.250000  4.250000  5.250000             12\r\n",
      "    5   -1  1.500000         0         0  4.000000\r\n",
  };
  ColumnModeScope narrow(0);
  for (const auto& t : texts) {
    std::string line;
    auto recs = ReadSection<CIpMat>(t, line);
    EXPECT_EQ(WriteAll(recs), t);
  }
  std::string line;
  auto recs = ReadSection<CIpMat>(texts[0], line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[6], 0.35);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[7], -1.25);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[8], 9);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[12], 12.25);
}

TEST(MatRecords, Type7NarrowStyleLineInWideFile) {
  ColumnModeScope wide(1);
  const std::string text =
      "         1         7         0         0         0\r\n"
      "         1         2         3         4         5         60.350-1.25        42\r\n"
      "         0\r\n";
  std::string line;
  auto recs = ReadSection<CIpMat>(text, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[5], 6);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[6], 0.35);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[7], -1.25);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[8], 42);  // columns 70 to 79
}

TEST(MatRecords, SpecialFieldsWhenWritten) {
  CIpMat m;
  m.m_nNo = 1;
  m.m_nType = 7;
  m.m_aParam[6] = 0.35;
  m.m_aParam[8] = 3.9;
  std::string t;
  {
    ColumnModeScope narrow(0);
    m.Write(t);
    const std::string second = t.substr(t.find("\r\n") + 2);
    EXPECT_EQ(second.substr(60, 15), "0.3500.000    3");
  }
  m.m_nType = 5;
  m.m_aParam[5] = 3.7;
  m.Write(t);
  EXPECT_EQ(t.substr(t.find("\r\n") + 2 + 50), "         4\r\n");
  // An overflowed whole-number field keeps its sign and magnitude class.
  for (const auto& [v, text] : {std::pair{HUGE_VAL, "9999999999"}, std::pair{-HUGE_VAL, "-999999999"}}) {
    m.m_aParam[5] = v;
    m.Write(t);
    EXPECT_EQ(t.substr(t.find("\r\n") + 2 + 50), std::string(text) + "\r\n");
  }
  // Integers written from reals far outside the 32-bit range stay in it.
  m.m_nType = 10;
  m.m_aParam[6] = 1e12;
  {
    ColumnModeScope wide(1);
    m.Write(t);
    EXPECT_NE(t.find("          2147483647\r\n"), std::string::npos) << t;
  }
  m.m_nType = 7;
  m.m_aParam[8] = -1e300;
  m.Write(t);
  EXPECT_NE(t.find("-2147483648\r\n"), std::string::npos) << t;
}

TEST(MatRecords, TypeMinusOneAndUnknownTypes) {
  ColumnModeScope wide(1);
  std::string line;
  // -1: no continuation line; 999 in memory; written back as -1 with the
  // fourth real.
  const std::string noCont = "         5        -1  1.000000  2.000000  3.000000  4.000000\r\n";
  auto recs = ReadSection<CIpMat>(noCont + "         6         0\r\n         0\r\n", line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0]->m_nType, CIpMat::kNoContinuation);
  EXPECT_DOUBLE_EQ(recs[0]->m_dVal4, 4);
  EXPECT_EQ(recs[1]->m_nNo, 6);
  std::string t;
  recs[0]->Write(t);
  EXPECT_EQ(t, noCont);

  // An unknown type drops its continuation line and becomes 999, also when
  // that line is empty, so that the written file reads back the same.
  for (const char* cont : {"         1         2\r\n", "\r\n"}) {
    recs = ReadSection<CIpMat>(std::string("         7        50         1\r\n") + cont + "         8         4\r\n" +
                                   "         1\r\n",
                               line);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0]->m_nType, CIpMat::kNoContinuation);
    EXPECT_DOUBLE_EQ(recs[0]->m_aParam[0], 0);
    const std::string written = WriteAll(recs);
    auto again = ReadSection<CIpMat>(written, line);
    EXPECT_EQ(WriteAll(again), written);
  }
}

TEST(MatRecords, CommentsEmptyLinesAndMissingContinuation) {
  ColumnModeScope wide(1);
  std::string line;
  // Two comment lines become one comment; comments before a continuation
  // line are dropped.
  auto recs = ReadSection<CIpMat>("$one\n$two\n         1         4\n$gone\n         1         2\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_strComment, "one$two");
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[1], 2);
  std::string t;
  recs[0]->Write(t);
  EXPECT_EQ(t.substr(0, 10), "$one$two\r\n");

  // A type 0 material followed by an empty line keeps its first line.
  recs = ReadSection<CIpMat>("         1         0         5\n\n         2        12\n         3\n", line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_DOUBLE_EQ(recs[0]->m_dVal1, 5);
  EXPECT_DOUBLE_EQ(recs[0]->m_aParam[0], 0);
  EXPECT_DOUBLE_EQ(recs[1]->m_aParam[0], 3);

  // A missing continuation line drops the material and leaves the keyword.
  recs = ReadSection<CIpMat>("         1         0\n$c\n/sections\n", line);
  EXPECT_TRUE(recs.empty());
  EXPECT_EQ(line, "/sections");
  recs = ReadSection<CIpMat>("         1         1\n         1\n", line);
  EXPECT_TRUE(recs.empty());
  EXPECT_EQ(line, "");
  // A comment line before a keyword adds no record.
  recs = ReadSection<CIpMat>("$c\n/sections\n", line);
  EXPECT_TRUE(recs.empty());
  EXPECT_EQ(line, "/sections");

  CIpMat fresh;
  EXPECT_TRUE(fresh.IsEmpty());
  EXPECT_FALSE(fresh.SetText(0, "1"));
  EXPECT_EQ(fresh.GetText(0), "");
  EXPECT_EQ(fresh.GetCount(), 1);
}

}  // namespace
