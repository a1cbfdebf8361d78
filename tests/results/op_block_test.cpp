// Result tables: titles and formats by type code, slots, numbering and the
// deletion of records by their own class.
#include <gtest/gtest.h>

#include <cmath>

#include "results/op_block.h"
#include "results/result_readers.h"

namespace {

TEST(FbOpBlock, TitlesAndFormatsByCode) {
  struct Case {
    unsigned code;
    int flag;
    std::vector<std::string> titles;
    std::vector<int> formats;  // of the first columns
  } const cases[] = {
      {0x110, 0, {"節点", "X", "Y", "Z", "RX", "RY", "RZ"}, {10, 12, 12, 12, 12, 12, 12}},
      {0x111, 0, {"節点", "X", "Y", "Z", "RX", "RY", "RZ"}, {10, 12}},
      {0x410,
       0,
       {"要素", "Pi", "Qyi", "Qzi", "Mxi", "Myi", "Mzi", "Pj", "Qyj", "Qzj", "Mxj", "Myj", "Mzj"},
       {10, 12, 12}},
      {0x510,
       1,
       {"要素", "ﾌﾞﾛｯｸ番号", "行", "列", "直応力", "y方向せん断応力", "z方向せん断応力", "直歪", "y方向せん断歪",
        "z方向せん断歪", "塑性"},
       {10, 5, 5, 5, 12, 12, 12, 12, 12, 12, 5, 12}},
      {0x511,
       0,
       {"要素", "ﾌﾞﾛｯｸ番号", "行", "列", "直応力", "y方向せん断応力", "z方向せん断応力", "直歪", "塑性"},
       {10, 5, 5, 5, 12, 12, 12, 12, 5, 12}},
      {0xB10,
       0,
       {"要素", "層", "積分点", "応力x", "応力y", "応力z", "せん断応力xy", "せん断応力xz", "せん断応力yz",
        "ミーゼス応力"},
       {10, 5, 5, 12}},
      {0xC11,
       1,
       {"要素", "層", "積分点", "ひずみx", "ひずみy", "ひずみz", "せん断ひずみxy", "せん断ひずみxz", "せん断ひずみyz"},
       {10, 5, 5, 12}},
      {0x120,
       0,
       {"節点", "解析番号", "ｽﾃｯﾌﾟ番号", "X", "解析番号", "ｽﾃｯﾌﾟ番号", "Y", "解析番号", "ｽﾃｯﾌﾟ番号", "Z", "解析番号",
        "ｽﾃｯﾌﾟ番号", "RX", "解析番号", "ｽﾃｯﾌﾟ番号", "RY", "解析番号", "ｽﾃｯﾌﾟ番号", "RZ"},
       {10, 10, 10, 12, 10, 10, 12}},
      {0x121, 0, {"節点", "時間", "X", "時間", "Y", "時間", "Z", "時間", "RX", "時間", "RY", "時間", "RZ"}, {10, 12}},
      {0x100, 0, {"解析番号", "ｽﾃｯﾌﾟ番号", "X", "Y", "Z", "RX", "RY", "RZ"}, {10, 10, 12}},
      {0x101, 0, {"時間", "X", "Y", "Z", "RX", "RY", "RZ"}, {12}},
      {0x740, 0, {"ﾓｰﾄﾞ", "振動数", "周期", "X", "Y", "Z", "RX", "RY", "RZ", "減衰"}, {10, 12}},
      {0x810, 0, {"要素", "降伏状態"}, {10, 12}},
      {0xA10, 0, {"要素", "降伏順序"}, {10, 12}},
      {0x530, 0, {"ﾌﾞﾛｯｸ番号", "行", "列", "直応力", "y方向せん断応力", "z方向せん断応力", "直歪", "塑性"}, {5, 5, 5, 12}},
      {0x150, 0, {}, {12, 12}},
  };
  for (const Case& c : cases) {
    CFbOpBlock t(c.code, c.flag);
    EXPECT_EQ(t.m_astrTitles, c.titles) << std::hex << c.code;
    for (size_t i = 0; i < c.formats.size(); ++i) EXPECT_EQ(t.m_anFormat[i], c.formats[i]) << std::hex << c.code << " " << i;
    EXPECT_EQ(t.m_anFormat[49], 12);
    EXPECT_EQ(t.GetCount(), 0);
    EXPECT_EQ(t.m_nNo, 0);
    EXPECT_EQ(t.m_nIndex, -1);
    EXPECT_DOUBLE_EQ(t.GetValue(0), 0.0);
  }
}

TEST(FbOpBlock, AppendNumbersAndSlots) {
  CFbOpBlock t(0x110, 0);
  for (int k = 0; k < 3; ++k) {
    auto rec = std::make_unique<FbNOut>();
    rec->m_adValue[0] = k;
    ASSERT_TRUE(t.Append(std::move(rec)));
  }
  EXPECT_EQ(t.GetCount(), 3);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(t.GetAt(k)->m_nNo, k + 1);
    EXPECT_EQ(t.GetAt(k)->m_nIndex, k);
    EXPECT_DOUBLE_EQ(t.GetAt(k)->GetValue(0), k);
  }
  EXPECT_EQ(t.GetAt(3), nullptr);
  EXPECT_EQ(t.GetAt(-1), nullptr);
  EXPECT_DOUBLE_EQ(t.GetAt(0)->GetValue(6), 0.0);
  EXPECT_DOUBLE_EQ(t.GetAt(0)->GetValue(-1), 0.0);
  t.DeleteItems();
  EXPECT_EQ(t.GetCount(), 0);
  EXPECT_EQ(t.GetAt(0), nullptr);
}

TEST(FbOpBlock, RecordsAreDeletedAsTheirOwnClass) {
  // An eigen table holds plain node records although its titles are those
  // of an envelope; envelope tables hold the keyed classes. Each must be
  // destroyed as what it is (the sanitizer build checks the sizes).
  auto modes = std::make_unique<CFbOpBlock>(0x120, 0);
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(modes->Append(std::make_unique<FbNOut>()));
  DeleteOpBlock(modes.release());

  auto env = std::make_unique<CFbOpBlock>(0x420, 0);
  ASSERT_TRUE(env->Append(std::make_unique<FbEOutCase>()));
  ASSERT_TRUE(env->Append(std::make_unique<FbEOutTime>()));
  ASSERT_TRUE(env->Append(std::make_unique<FbQOutCase>()));
  ASSERT_TRUE(env->Append(std::make_unique<FbFOutTime>()));
  ASSERT_TRUE(env->Append(std::make_unique<FbNOutCase>()));
  DeleteOpBlock(env.release());
  DeleteOpBlock(nullptr);
}

TEST(FbRecords, ValuesAndDefaults) {
  FbFOut f;
  EXPECT_EQ(f.m_nState, -999);
  f.m_adValue[4] = 2.5;
  EXPECT_DOUBLE_EQ(f.GetValue(4), 2.5);

  FbEOut e;
  e.m_adValue[11] = -3;
  EXPECT_DOUBLE_EQ(e.GetValue(11), -3);
  EXPECT_DOUBLE_EQ(e.GetValue(12), 0);

  FbQOut q;
  q.m_adValue[0][0] = -120.0;  // sx only
  q.m_adValue[0][2] = 50.0;
  CalcMisesStress(q);
  EXPECT_DOUBLE_EQ(q.GetValue(FbQOut::kMises), 120.0);
  EXPECT_DOUBLE_EQ(q.m_adValue[FbQOut::kMises][2], 50.0);
  EXPECT_DOUBLE_EQ(q.m_adValue[FbQOut::kMises][1], 0.0);

  // Plane stress with shear: sqrt(sx^2 - sx sy + sy^2 + 3 t^2), rounded to
  // single precision.
  FbQOut p;
  p.m_adValue[0][3] = 100, p.m_adValue[1][3] = 40, p.m_adValue[3][3] = 30;
  CalcMisesStress(p);
  EXPECT_DOUBLE_EQ(p.m_adValue[FbQOut::kMises][3], static_cast<float>(std::sqrt(10000 - 4000 + 1600 + 2700.0)));
}

}  // namespace
