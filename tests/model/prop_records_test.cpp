#include "model/prop_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <memory>
#include <vector>

#include "model/beam_records.h"
#include "model/sec_records.h"
#include "model/spring_records.h"
#include "platform/cp932.h"
#include "platform/numbers.h"

namespace {

using namespace rectest;

// The directive lines as the file holds them, derived from their UTF-8 texts.
std::string Sj(const char* utf8) { return plat::Utf8ToCp932(utf8); }
const std::string kFile = Sj("$ ﾌｧｲﾙ名      = ");
const std::string kSep = Sj("$ 区切り文字  = ");
const std::string kCol = Sj("$ 指定カラム  = ");
const std::string kColForm = Sj("$ 指定列形式  = ");
const std::string kStart = Sj("$ 読込み開始行= ");

// Value lines of 1, 2, ..., n, eight to a line.
std::string ValueLines(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) {
    s += FormatReal10(i);
    if (i % 8 == 0 || i == n) s += "\r\n";
  }
  return s;
}

std::string Head(int mode, int no) { return plat::Format(mode ? "%10d          \r\n" : "%5d          \r\n", no); }

TEST(FuncRecords, RoundTripsByteForByte) {
  const std::string inlineDirs = kFile + "\r\n" + kStart + "0\r\n";
  struct Case {
    int mode;
    std::string text;
  } cases[] = {
      // twenty values: lines of 8, 8 and 4
      {1, inlineDirs + "$ wave one\r\n" + Head(1, 3) + "        20    0       0.500000  0.020000\r\n" + ValueLines(20)},
      {0, inlineDirs + Head(0, 3) + "        20    0       0.500000  0.020000\r\n" + ValueLines(20)},
      // time flag: three (time, value) pairs
      {1, inlineDirs + Head(1, 4) + "         3    1       1.000000  0.010000\r\n" + ValueLines(6)},
      // nine pairs: the count line says 9, the values run to 18
      {1, inlineDirs + Head(1, 5) + "         9    1       1.000000  0.010000\r\n" + ValueLines(18)},
      // outside files: named on the head line, with a separator, a column text
      {1, kFile + "wave.csv\r\n" + kStart + "0\r\n" + "         7wave.csv\r\n"},
      {0, kFile + "wave.csv\r\n" + kStart + "0\r\n" + "    7     wave.csv\r\n"},
      {1, kFile + "acc.txt\r\n" + kSep + Sj("ｶﾝﾏ(，)") + "\r\n" + kStart + "3\r\n" + Head(1, 8) +
              "         0    0       1.000000  0.010000\r\n"},
      {1, kFile + "acc.txt\r\n" + kSep + Sj("空白") + "\r\n" + kStart + "0\r\n" + Head(1, 8) +
              "         0    0       1.000000  0.010000\r\n"},
      {1, kFile + "acc.txt\r\n" + kSep + Sj("ﾀﾌﾞ") + "\r\n" + kStart + "0\r\n" + Head(1, 8) +
              "         0    0       1.000000  0.010000\r\n"},
      {1, kFile + "acc.txt\r\n" + kSep + ";\r\n" + kStart + "0\r\n" + Head(1, 8) +
              "         0    0       1.000000  0.010000\r\n"},
      {1, kFile + "acc.txt\r\n" + kCol + "2\r\n" + kStart + "-1\r\n" + Head(1, 9) +
              "         0    0       1.000000  0.010000\r\n"},
      {1, kFile + Sj("波形.txt") + "\r\n" + kColForm + "(2F10.0)\r\n" + kStart + "12\r\n" + "$ n\r\n" + Head(1, 9) +
              "         2    0       1.000000  0.010000\r\n" + ValueLines(2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ColumnModeScope scope(c.mode);
    std::string line;
    // Two copies in a row: each record must end exactly where the next begins.
    auto recs = ReadSection<CIpFunc>(c.text + c.text + "/end\r\n", line);
    EXPECT_EQ(line, "/end");
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(WriteAll(recs), c.text + c.text);
  }
}

TEST(FuncRecords, TimeFlagReadsTwoValuesPerSample) {
  ColumnModeScope wide(1);
  std::string line;
  auto recs = ReadSection<CIpFunc>(Head(1, 1) + "         3    1\r\n" + ValueLines(6) + Head(1, 2) +
                                       "         1    0\r\n" + ValueLines(1),
                                   line);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0]->ValueCount(), 6);
  EXPECT_EQ(recs[0]->m_dMin, 2.0);  // the value members 2, 4, 6
  EXPECT_EQ(recs[0]->m_dMax, 6.0);
  EXPECT_EQ(recs[1]->m_nNo, 2);
}

TEST(FuncRecords, TimeFlagWritesWholePairsOnly) {
  ColumnModeScope wide(1);
  CIpFunc f;
  f.m_nNo = 1;
  f.m_nTimeFlag = 1;
  f.m_adValues = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  std::string t, line;
  ASSERT_TRUE(f.Write(t));
  auto back = ReadSection<CIpFunc>(t + t, line);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0]->ValueCount(), 8);
  EXPECT_EQ(back[1]->m_nNo, 1);
}

TEST(FuncRecords, OutsideFileKeepsItsName) {
  ColumnModeScope wide(1);
  CIpFunc f;
  f.m_nNo = 6;
  f.m_nMode = 1;
  f.m_strFileName = "ground.acc";
  std::string t, line;
  ASSERT_TRUE(f.Write(t));
  EXPECT_NE(t.find("\r\n         6ground.acc\r\n"), std::string::npos);
  auto back = ReadSection<CIpFunc>(t + Head(1, 2) + "         0\r\n", line);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0]->m_nMode, 1);
  EXPECT_EQ(back[0]->m_strFileName, "ground.acc");
  EXPECT_EQ(back[1]->m_nNo, 2);
  EXPECT_EQ(back[1]->m_nMode, 0);
}

TEST(FuncRecords, CountLineSkipsCommentsAndStopsAtKeyword) {
  ColumnModeScope wide(1);
  struct Case {
    std::string text;
    bool result;
    std::string lineAfter;
    int values;
  } cases[] = {
      {Head(1, 1) + "/nodes\r\n", false, "/nodes", 0},
      {Head(1, 1), false, "", 0},
      {Head(1, 1) + "$ note\r\n         2\r\n$ x\r\n  1.000000  2.000000\r\n", true, "", 2},
      {Head(1, 1) + "         9\r\n" + ValueLines(8) + "/gap\r\n", false, "/gap", 9},
      {kFile + "\r\n/nodes\r\n", false, "/nodes", 0},
      {kFile + "\r\n", false, "", 0},
      {"\r\n", true, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto ar = plat::LineReader::FromString(c.text);
    std::string line;
    CIpFunc f;
    EXPECT_EQ(f.Read(*ar, line), c.result);
    if (!c.result) {
      EXPECT_EQ(line, c.lineAfter);
    }
    EXPECT_EQ(f.ValueCount(), c.values);
  }
}

TEST(FuncRecords, CountLineFields) {
  ColumnModeScope narrow(0);
  std::string line;
  auto recs = ReadSection<CIpFunc>(Head(0, 1) + "         2    0     " + "         0" + "  0.050000\r\n  3.000000 -1.000000\r\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_dFactor, 1.0);  // read as 0
  EXPECT_EQ(recs[0]->m_dInterval, 0.05);
  EXPECT_EQ(recs[0]->m_dMax, 3.0);
  EXPECT_EQ(recs[0]->m_dMin, -1.0);
}

TEST(FuncRecords, CellsStayInsideTheValues) {
  ColumnModeScope narrow(0);
  CIpFunc f;
  f.m_adValues = {1.5, -2.0, 4.0};
  f.UpdateRange();
  struct Get {
    int col;
    const char* text;
  } gets[] = {{-2, ""}, {-1, ""}, {0, "    1.5000"}, {2, "    4.0000"}, {3, ""}};
  for (const auto& g : gets) EXPECT_EQ(f.GetText(g.col), g.text) << g.col;
  EXPECT_EQ(f.GetGenText(0, 5), "    1.5000");

  EXPECT_FALSE(f.SetText(-2, "9"));
  EXPECT_FALSE(f.SetText(3, "9"));
  EXPECT_TRUE(f.SetText(1, "-7.5"));
  EXPECT_EQ(f.m_adValues[1], -7.5);
  EXPECT_EQ(f.m_dMin, -7.5);
  EXPECT_TRUE(f.SetText(2, "10"));
  EXPECT_EQ(f.m_dMax, 10.0);
  // The comment column, and a "$" text in column 0.
  EXPECT_TRUE(f.SetText(-1, "note"));
  EXPECT_EQ(f.m_strComment, "note");
  EXPECT_FALSE(f.SetText(1, "1"));  // data columns of a commented record stay
  EXPECT_TRUE(f.SetText(0, "$other\r\nrest"));
  EXPECT_EQ(f.m_strComment, "other");
}

TEST(FuncRecords, UpdateRange) {
  struct Case {
    int time;
    std::vector<double> values;
    double min, max;
  } cases[] = {
      {0, {3, -1, 5}, -1, 5},
      {1, {0, 2, 1, -3, 2, 1}, -3, 2},
      {1, {100}, 42, 42},  // no whole pair: nothing to take
      {0, {}, 42, 42},
  };
  for (const auto& c : cases) {
    CWave w;
    w.m_nTimeFlag = c.time;
    w.m_adValues = c.values;
    w.m_dMin = w.m_dMax = 42;
    w.UpdateRange();
    EXPECT_EQ(w.m_dMin, c.min);
    EXPECT_EQ(w.m_dMax, c.max);
  }
}

TEST(FuncRecords, SeparatorLabels) {
  struct Case {
    std::string sep, label;
  } both[] = {{" ", Sj("空白")}, {"\t", Sj("ﾀﾌﾞ")}, {",", Sj("ｶﾝﾏ(，)")}, {";", ";"}, {"", ""}};
  for (const auto& c : both) {
    CWave w;
    w.m_strSeparator = c.sep;
    EXPECT_EQ(w.GetSeparatorLabel(), c.label);
    CWave r;
    r.SetSeparatorFromLabel(c.label);
    EXPECT_EQ(r.m_strSeparator, c.sep);
  }
  struct From {
    std::string label, sep;
  } from[] = {{Sj("空白です"), " "}, {Sj("ｶﾝﾏ"), ","}, {Sj("タブ"), Sj("タブ")}, {" x", " x"}};
  for (const auto& c : from) {
    CWave r;
    r.SetSeparatorFromLabel(c.label);
    EXPECT_EQ(r.m_strSeparator, c.sep);
  }
}

// A property record of a kind whose own class is tested elsewhere.
class DirRecord : public CFemInput, public CFemData, public CVec {
 public:
  DirRecord(double x, double y, double z) {
    m_dVx = x;
    m_dVy = y;
    m_dVz = z;
  }
  bool Write(std::string&) override { return false; }
  bool Read(CArchiveIn&, std::string&) override { return false; }
  std::string GetGenText(int, int) override { return {}; }
  std::string GetText(int) override { return {}; }
  bool SetText(int, std::string) override { return false; }
  bool IsEmpty() override { return false; }
  int GetCount() override { return 1; }
};

TEST(PropRecords, RefVectorOfEverySlot) {
  CIpSec sec;
  sec.m_dVx = 1;
  CIpScl scl;
  scl.m_dVy = 2;
  CIpNSpr nspr;
  nspr.m_dVz = 3;
  CIpGap gap;
  gap.m_dVx = 4;
  CIpNSpr2 nspr2;
  nspr2.m_dVy = 5;  // with its default x of 1
  CIpBeam beam;
  beam.m_dVz = 6;
  DirRecord other(7, 8, 9);
  DirRecord truss(0, 0, -1);

  struct Case {
    int slot;
    CFemInput* rec;
    double x, y, z;
  } cases[] = {
      {1, &sec, 1, 0, 0},   {2, &scl, 0, 2, 0},   {3, &nspr, 0, 0, 3},   {4, &gap, 4, 0, 0},
      {5, &nspr2, 1, 5, 0}, {6, &beam, 0, 0, 6},  {7, &other, 7, 8, 9},  {8, &other, 7, 8, 9},
      {9, &other, 7, 8, 9}, {10, &other, 7, 8, 9}, {11, &other, 7, 8, 9}, {12, &other, 7, 8, 9},
      {13, &other, 7, 8, 9}, {14, &other, 7, 8, 9}, {15, &other, 1, 1, 1}, {16, &truss, 0, 0, -1},
  };
  for (const auto& c : cases) {
    CIpProp p;
    p.SetRef(c.slot, c.rec);
    EXPECT_EQ(p.GetRef(c.slot), c.rec);
    double x = -1, y = -1, z = -1;
    p.GetRefVector(x, y, z);
    EXPECT_EQ(x, c.x) << c.slot;
    EXPECT_EQ(y, c.y) << c.slot;
    EXPECT_EQ(z, c.z) << c.slot;
  }
  CIpProp p;
  p.SetRef(1, &sec);
  EXPECT_EQ(p.GetRefAs<CIpSec>(kPropSlotSec), &sec);
  EXPECT_EQ(p.GetRefAs<CIpBeam>(kPropSlotSec), nullptr);
}

TEST(PropRecords, RefVectorOrderAndEmpty) {
  CIpGap gap;
  gap.m_dVx = 4;
  CIpNSpr2 nspr2;
  CIpBeam beam;
  beam.m_dVz = 6;
  DirRecord rigid(0, 0, 0);
  DirRecord truss(0, 1, 0);
  double x, y, z;

  CIpProp empty;
  empty.GetRefVector(x, y, z);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(z, 0);

  CIpProp p;
  p.SetRef(5, &nspr2);
  p.SetRef(6, &beam);  // slot 6 is looked at before slot 5
  p.SetRef(15, &rigid);
  p.SetRef(16, &truss);
  p.GetRefVector(x, y, z);
  EXPECT_EQ(z, 6);
  p.SetRef(6, nullptr);
  p.GetRefVector(x, y, z);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 0);
  p.SetRef(5, nullptr);
  p.GetRefVector(x, y, z);  // the rigid slot before the truss slot
  EXPECT_EQ(y, 1);
  EXPECT_EQ(z, 1);
  p.SetRef(4, &gap);
  p.GetRefVector(x, y, z);
  EXPECT_EQ(x, 4);

  // Slots outside 1..16 are neither stored nor read.
  p.SetRef(0, &gap);
  p.SetRef(17, &gap);
  EXPECT_EQ(p.GetRef(0), nullptr);
  EXPECT_EQ(p.GetRef(17), nullptr);
}

}  // namespace
