#include "model/support_type_records.h"

#include <gtest/gtest.h>

#include "model/record_test_util.h"

#include <memory>
#include <vector>

#include "platform/numbers.h"

namespace {

using namespace rectest;

const std::string kV8 = "  1.000000  2.000000  3.000000  4.000000  5.000000  6.000000  7.000000  8.000000";
const std::string kDirX = "  1.000000         0         0\r\n";
const std::string kDirMixed = " -0.500000  0.250000  1.000000";

TEST(SupportTypeRecords, HSupRoundTrip) {
  ExpectRoundTrips<CIpHSup>({
      {1, "         1         0         1" + kV8 + "    1\r\n" + kDirX},
      // type 2 leaves values 2 and 6 to 8 blank, type 3 values 4 and 5
      {1, "$ bearing\r\n         2        12         2  1.000000" + B(10) +
              "  3.000000  4.000000  5.000000" + B(30) + "    1\r\n" + kDirMixed + "\r\n"},
      {1, "         3         0         3  1.000000  2.000000  3.000000" + B(20) +
              "  6.000000  7.000000  8.000000    1\r\n" + kDirX},
      {0, "    1    0    1" + kV8 + "    1\r\n" + kDirX},
      {0, "    2    0    2  1.000000" + B(10) + "  3.000000  4.000000  5.000000" + B(30) + "    1\r\n" + kDirX},
  });
}

TEST(SupportTypeRecords, HSupBlankFieldsReadBackZero) {
  ColumnModeScope wide(1);
  CIpHSup r;
  r.m_nNo = 1;
  r.m_nType = 2;
  for (int k = 0; k < 8; ++k) r.m_dValue[k] = k + 1;
  std::string t, line;
  ASSERT_TRUE(r.Write(t));
  auto back = ReadSection<CIpHSup>(t, line);
  ASSERT_EQ(back.size(), 1u);
  const double expect[8] = {1, 0, 3, 4, 5, 0, 0, 0};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(back[0]->m_dValue[k], expect[k]) << k;
}

TEST(SupportTypeRecords, HSupCopyFromWritesTheSameLines) {
  ColumnModeScope wide(1);
  const std::string text = "$ c\r\n         4         1         1" + kV8 + "    1\r\n" + kDirMixed + "\r\n";
  std::string line;
  auto src = ReadSection<CIpHSup>(text, line);
  ASSERT_EQ(src.size(), 1u);
  src[0]->m_nIndex = 7;
  CIpHSup copy;
  copy.CopyFrom(*src[0]);
  EXPECT_EQ(copy.m_nIndex, -1);
  std::string t;
  ASSERT_TRUE(copy.Write(t));
  EXPECT_EQ(t, text);
}

TEST(SupportTypeRecords, PccblRoundTrip) {
  ExpectRoundTrips<CIpPccbl>({
      {1, "         1         2  1.000000  2.000000  3.000000  4.000000    1\r\n" + kDirX},
      {1, "$x\r\n        -3         0         0         0         0-1.0000E-3    1\r\n" + kDirMixed + "\r\n"},
      {0, "    1    2  1.000000  2.000000  3.000000  4.000000" + B(24) + "1\r\n" + kDirX},
  });
}

TEST(SupportTypeRecords, GSupRoundTrip) {
  // The head line ends in a bare LF.
  ExpectRoundTrips<CIpGSup>({
      {1, "         1         2         1" + B(20) + kDirMixed + "    1\n" +
              "  1.000000  2.000000  3.000000  4.000000\r\n"},
      {1, "$ g\r\n         2         0         2" + B(20) + kDirMixed + "    1\n" + "  1.000000  2.000000  3.000000\r\n"},
      // no direction: thirty blanks, the flag still written
      {1, "         3         0         5" + B(20) + B(30) + "    1\n\r\n"},
      {0, "    1    2    3" + B(10) + kDirMixed + "    1\n" + "  1.000000  2.000000  3.000000  4.000000\r\n"},
  });
}

TEST(SupportTypeRecords, GSupReadsCrLfHeadAndFourthValueByType) {
  ColumnModeScope wide(1);
  struct Case {
    int type;
    double v4;
  } cases[] = {{1, 4}, {2, 0}, {3, 4}, {5, 0}};
  for (const auto& c : cases) {
    const std::string text = "         1         0" + plat::Format("%10d", c.type) + B(20) + kDirMixed +
                             "    1\r\n  1.000000  2.000000  3.000000  4.000000\r\n";
    std::string line;
    auto recs = ReadSection<CIpGSup>(text, line);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0]->m_dValue[2], 3.0);
    EXPECT_EQ(recs[0]->m_dValue[3], c.v4) << c.type;
    EXPECT_EQ(recs[0]->m_dVy, 0.25);
  }
}

TEST(SupportTypeRecords, GSupSecondLineMissing) {
  ColumnModeScope wide(1);
  for (const char* tail : {"", "/rbcks\r\n"}) {
    const std::string text = "         1         0         1" + B(50) + "    1\r\n" + tail;
    std::string line;
    auto recs = ReadSection<CIpGSup>(text, line);
    EXPECT_TRUE(recs.empty());
    EXPECT_EQ(line, *tail ? "/rbcks" : "");
  }
}

TEST(SupportTypeRecords, RbcksRoundTrip) {
  ExpectRoundTrips<CIpRbcks>({
      {1, "         1         2" + B(30) + kDirMixed + "    1\n" +
              "         3  1.000000         4         5  2.000000  3.000000  4.000000  5.000000\r\n"},
      {1, "$ r\r\n         1         0" + B(30) + B(30) + "    1\n" +
              "         0         0         0         0         0         0         0         0\r\n"},
      {0, "    1    2" + B(15) + kDirMixed + "    1\n" + "    3  1.000000    4    5  2.000000  3.000000  4.000000  5.000000\r\n"},
  });
}

TEST(SupportTypeRecords, NewRecordsAreNotEmpty) {
  CIpHSup h;
  CIpPccbl p;
  CIpGSup g;
  CIpRbcks r;
  EXPECT_FALSE(h.IsEmpty());
  EXPECT_FALSE(p.IsEmpty());
  EXPECT_FALSE(g.IsEmpty());
  EXPECT_FALSE(r.IsEmpty());
  h.m_dVx = p.m_dVx = g.m_dVx = r.m_dVx = 0;
  EXPECT_TRUE(h.IsEmpty());
  EXPECT_TRUE(p.IsEmpty());
  EXPECT_TRUE(g.IsEmpty());
  EXPECT_TRUE(r.IsEmpty());
  r.m_nCode4 = 1;
  EXPECT_FALSE(r.IsEmpty());
}

}  // namespace
