#include "model/ans_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace rectest;

const std::string kPst9Wide =
    "         1       100       110         5         9  0.500000         1  1.000000         2  1.500000         3\r\n"
    "  2.000000         4  2.500000         5  3.000000         6  3.500000         7\r\n"
    "  4.000000         8  4.500000         9\r\n";
const std::string kPst9Narrow =
    "    1  100  110    5    9  0.500000    1  1.000000    2  1.500000    3\r\n"
    "  2.000000    4  2.500000    5  3.000000    6  3.500000    7\r\n"
    "  4.000000    8  4.500000    9\r\n";

TEST(AnsRecords, LinesReadAndWriteBackUnchanged) {
  struct Case {
    const char* name;
    int mode;
    std::function<std::string(const std::string&, int)> trip;
    std::string text;
  } cases[] = {
      {"prestress 9 items wide", 1, RoundTrip<CIpPSt>, kPst9Wide},
      {"prestress 9 items narrow", 0, RoundTrip<CIpPSt>, "$ stresses\r\n" + kPst9Narrow},
      {"prestress head only", 1, RoundTrip<CIpPSt>,
       "         1         2         0         0         0 -2.250000\r\n$ \r\n"},
      {"prestress 4 items", 0, RoundTrip<CIpPSt>,
       "    1    2    0    0   -4  1.000000    7  2.000000    8  3.000000    9\r\n  4.000000   10\r\n"},
      {"pres two values wide", 1, RoundTrip<CIpPSt2>,
       "$ forces\r\n         1         3         0         0         2  2.500000         2 -5.000000         5\r\n"},
      {"pres two values narrow", 0, RoundTrip<CIpPSt2>, "    1    3    0    0    2  2.500000    2 -5.000000    5\r\n"},
      {"pres six values wide", 1, RoundTrip<CIpPSt2>,
       "         1         3         9         3         6  1.000000         1  2.000000         2  3.000000         3\r\n"
       "  4.000000         4  5.000000         5  6.000000         6\r\n"},
      {"pres six values narrow", 0, RoundTrip<CIpPSt2>,
       "$a\r\n    1    3    9    3    6  1.000000    1  2.000000    2  3.000000    3\r\n"
       "  4.000000    4  5.000000    5  6.000000    6\r\n"},
      {"pres no value", 0, RoundTrip<CIpPSt2>, "    1    3    0    0    0         0\r\n"},
      {"soutput wide", 1, RoundTrip<CIpSOutput>, "$ every 10\r\n        10         2\r\n         0         0\r\n"},
      {"soutput narrow", 0, RoundTrip<CIpSOutput>, "   10    2\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.trip(c.text, c.mode), c.text) << c.name;
}

TEST(AnsRecords, PrestressItemsAndCount) {
  ColumnModeScope scope(1);
  std::string line;
  auto recs = ReadSection<CIpPSt>(kPst9Wide + "/next\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(line, "/next");
  const CIpPSt& p = *recs[0];
  ASSERT_EQ(p.m_lstItems.size(), 9u);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(p.m_lstItems[static_cast<size_t>(i)].key, i + 1);
    EXPECT_EQ(p.m_lstItems[static_cast<size_t>(i)].value, 0.5 * (i + 1));
  }
  EXPECT_EQ(p.m_dValue, 0.5);  // the value field holds the first item

  // The written count follows the list and keeps the stored sign.
  CIpPSt q;
  q.m_nNo = 4;
  q.m_nCount = -2;
  for (int i = 1; i <= 5; ++i) AppendValueNode(i, i * 1.0, q.m_lstItems);
  std::string text;
  ASSERT_TRUE(q.Write(text));
  EXPECT_EQ(q.m_nCount, -5);
  recs = ReadSection<CIpPSt>(text, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_nCount, -5);
  EXPECT_EQ(recs[0]->m_lstItems.size(), 5u);

  // A count of 0 keeps the list empty.
  recs = ReadSection<CIpPSt>("         1         2         0         0         0  3.000000         7\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_TRUE(recs[0]->m_lstItems.empty());
  EXPECT_EQ(recs[0]->m_dValue, 3.0);
}

TEST(AnsRecords, PrestressContinuationSkipsCommentsAndKeepsACutRecord) {
  ColumnModeScope scope(0);
  std::string line;
  auto recs = ReadSection<CIpPSt>(
      "    1    2    0    0    5  1.000000    1  2.000000    2  3.000000    3\n$ skipped\n  4.000000    4  5.000000    5\n",
      line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_lstItems.size(), 5u);

  // The list is cut short by the next section: the record keeps what it has
  // and the keyword line still ends the section.
  recs = ReadSection<CIpPSt>("    1    2    0    0    6  1.000000    1  2.000000    2  3.000000    3\n/nodes\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_lstItems.size(), 3u);
  EXPECT_EQ(line, "/nodes");
  recs = ReadSection<CIpPSt>("    1    2    0    0    6  1.000000    1", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_lstItems.size(), 3u);  // the head line's three, short or not
  EXPECT_EQ(line, "");
}

TEST(AnsRecords, PresValuesAndPositions) {
  ColumnModeScope scope(0);
  CIpPSt2 p;
  p.m_nKey = 1;
  p.m_nNo = 3;
  p.m_adValue[1] = 2.5;
  p.m_adValue[4] = -5;
  std::string text;
  ASSERT_TRUE(p.Write(text));
  EXPECT_EQ(text, "    1    3    0    0    2  2.500000    2 -5.000000    5\r\n");

  // Value 1 alone is written without its position; it must read back as value 1.
  CIpPSt2 one;
  one.m_nNo = 3;
  one.m_nKey = 1;
  one.m_adValue[0] = 7.5;
  ASSERT_TRUE(one.Write(text));
  EXPECT_EQ(text, "    1    3    0    0    1  7.500000\r\n");
  std::string line;
  auto recs = ReadSection<CIpPSt2>(text, line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_adValue[0], 7.5);
  std::string again;
  ASSERT_TRUE(recs[0]->Write(again));
  EXPECT_EQ(again, text);

  // Positions outside 1 to 6 are passed over; a lone pair with a position keeps it.
  recs = ReadSection<CIpPSt2>("    1    3    0    0    3  1.000000    9  2.000000    4  3.000000    0\n", line);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]->m_adValue[3], 2.0);
  EXPECT_EQ(recs[0]->m_adValue[0], 0.0);
  recs = ReadSection<CIpPSt2>("    1    3    0    0    1  4.000000    6\n", line);
  EXPECT_EQ(recs[0]->m_adValue[5], 4.0);
  EXPECT_EQ(recs[0]->m_adValue[0], 0.0);
}

TEST(AnsRecords, PresCells) {
  CIpPSt2 p;
  p.m_adValue[2] = 1.5;
  EXPECT_EQ(p.GetText(4), "");
  p.m_nNo = 10;
  p.m_nInc = 2;
  EXPECT_EQ(p.GetText(4), "  1.500000");
  EXPECT_EQ(p.GetText(2), "         0");
  EXPECT_EQ(p.GetGenText(1, 3), "16");
  EXPECT_EQ(p.GetCount(), 1);
  EXPECT_TRUE(p.SetText(7, "2.5"));
  EXPECT_EQ(p.m_adValue[5], 2.5);
  EXPECT_FALSE(p.SetText(10, "1"));
  CIpPSt2 e;
  EXPECT_TRUE(e.IsEmpty());
  e.m_adValue[5] = 1;
  EXPECT_FALSE(e.IsEmpty());
}

TEST(AnsRecords, LoadListEntry) {
  struct Case {
    int mode;
    const char* cell;
    int v1, flag, v2;
  } cases[] = {
      {0, "   12 345", 12, 0, 345},
      {0, "    71  9", 7, 1, 9},
      {1, "        121     3456", 12, 1, 3456},
      {1, "         5", 5, 0, 0},
  };
  for (const auto& c : cases) {
    ColumnModeScope scope(c.mode);
    CIpAnsSub s;
    std::string cell = c.cell;
    EXPECT_TRUE(s.Read(*plat::LineReader::FromString(""), cell));
    EXPECT_EQ(s.m_nValue1, c.v1) << c.cell;
    EXPECT_EQ(s.m_nFlag, c.flag) << c.cell;
    EXPECT_EQ(s.m_nValue2, c.v2) << c.cell;
    std::string out;
    ASSERT_TRUE(s.Write(out));
    EXPECT_EQ(out.size(), c.mode ? 20u : 10u);
    CIpAnsSub back;
    back.Read(*plat::LineReader::FromString(""), out);
    EXPECT_EQ(back.m_nValue2, c.v2) << c.cell;
  }
  CIpAnsSub s;
  s.m_nValue1 = 3;
  s.m_strComment = "c";
  std::string out = "keep";
  EXPECT_FALSE(s.Write(out));
  EXPECT_EQ(out, "keep");
  CIpAnsSub cells;
  cells.m_nFlag = 1;
  EXPECT_EQ(cells.GetText(1), "");  // blank while the first value is 0
  EXPECT_TRUE(cells.SetText(0, "4"));
  EXPECT_EQ(cells.GetText(1), "1");
  EXPECT_TRUE(cells.SetText(1, "-7"));
  EXPECT_EQ(cells.m_nFlag, 1);
  EXPECT_TRUE(cells.SetText(1, "x"));
  EXPECT_EQ(cells.GetText(1), "0");
}

TEST(AnsRecords, PrestressAndOutputCells) {
  CIpPSt p;
  p.m_nNo = 5;
  p.m_nInc = -1;
  EXPECT_EQ(p.GetText(2), "");
  EXPECT_EQ(p.GetGenText(1, 7), "-2");
  p.m_nLast = 1;
  EXPECT_EQ(p.GetCount(), 5);
  EXPECT_TRUE(p.SetText(2, "0.25"));
  EXPECT_EQ(p.GetText(2), "    0.2500");
  p.m_lstItems.push_back({1, 2.0});
  CIpPSt e;
  e.m_nCount = 3;  // neither the count nor the list counts for emptiness
  e.m_lstItems.push_back({1, 2.0});
  EXPECT_TRUE(e.IsEmpty());

  CIpSOutput o;
  EXPECT_TRUE(o.SetText(0, "3"));
  EXPECT_TRUE(o.SetText(5, "8"));
  EXPECT_EQ(o.m_nValue2, 8);
  EXPECT_EQ(o.GetText(0), "3");
  EXPECT_EQ(o.GetText(1), "8");
  EXPECT_EQ(o.GetText(9), "8");
  EXPECT_EQ(o.GetGenText(0, 4), "3");
}

}  // namespace
