#include "viewer/color_table.h"

#include <gtest/gtest.h>

#include "viewer/test_folder.h"
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

int Read(const std::string& text, CColorTable& table) {
  auto in = plat::LineReader::FromString(text);
  return ReadColorTable(*in, table);
}

// Per palette: id, name, records before the end record, records of flag 1,
// and a checksum over every record: sum of (position + 1) x
// (7 x flag + R + 2G + 3B).
struct PaletteCase {
  int id;
  const char* name;
  int records;
  int ones;
  long long checksum;
};

const PaletteCase kPalettes[] = {
    {0, "ＮＩＫＥ３Ｄ", 13, 7, 63953},
    {1, "はかなし（果無し）", 13, 7, 106254},
    {2, "うたたか（泡沫）", 10, 4, 67570},
    {3, "ほのか（仄か）", 15, 5, 147636},
    {32, "はしたなし（端なし）", 10, 4, 63575},
    {33, "かすみたつ（霞立つ）", 11, 5, 84778},
    {36, "もやう（舫う）", 15, 10, 125076},
    {51, "もゆ（燃ゆ）", 15, 6, 68772},
    {73, "なぐ（凪ぐ）", 15, 6, 146353},
    {84, "たくましい（逞しい）", 13, 7, 30509},
    {109, "なごり（名残）", 13, 8, 104436},
    {123, "ふるうた（古歌）", 15, 12, 71257},
    {136, "きぬずれ（衣擦れ）", 16, 8, 174426},
};

TEST(ColorTable, BuiltinPalettes) {
  InitBuiltinPalettes();
  ASSERT_EQ(CountBuiltinPalettes(), 13);
  EXPECT_EQ(g_BuiltinPalettes[13].id, -1);
  EXPECT_EQ(g_BuiltinPalettes[13].colors, nullptr);
  for (int i = 0; i < 13; ++i) {
    const PaletteCase& c = kPalettes[i];
    const BuiltinPalette& p = g_BuiltinPalettes[i];
    SCOPED_TRACE(c.id);
    EXPECT_EQ(p.id, c.id);
    EXPECT_STREQ(p.name, c.name);
    EXPECT_EQ(FindBuiltinPalette(c.id), &p);
    int n = 0, ones = 0;
    long long sum = 0;
    for (const PaletteColor* r = p.colors; r->flag != 0; ++r, ++n) {
      ones += r->flag == 1;
      sum += (n + 1LL) * (7LL * r->flag + r->r + 2LL * r->g + 3LL * r->b);
    }
    EXPECT_EQ(n, c.records);
    EXPECT_EQ(ones, c.ones);
    EXPECT_EQ(sum, c.checksum);
  }
  EXPECT_EQ(FindBuiltinPalette(4), nullptr);
  EXPECT_EQ(FindBuiltinPalette(-1), nullptr);
}

TEST(ColorTable, FillFromPalette) {
  struct Case {
    int id;
    int colors;  // records with a positive flag
  };
  const Case cases[] = {{0, 13}, {33, 10}, {51, 14}, {136, 15}};
  for (const Case& c : cases) {
    CColorTable t;
    FillColorsFromPalette(t, FindBuiltinPalette(c.id)->colors);
    EXPECT_EQ(t.m_nColors, c.colors) << c.id;
  }
  // Appended at the count; the entries' ids are left alone.
  CColorTable t;
  t.m_nColors = 2;
  t.m_aColors[2].id = 77;
  FillColorsFromPalette(t, FindBuiltinPalette(0)->colors);
  EXPECT_EQ(t.m_nColors, 15);
  EXPECT_EQ(t.m_aColors[2].id, 77);
  EXPECT_EQ(t.m_aColors[2].r, 230);
  EXPECT_EQ(t.m_aColors[14].b, 127);
  // Never past the table.
  t.m_nColors = kMaxColors - 3;
  FillColorsFromPalette(t, FindBuiltinPalette(0)->colors);
  EXPECT_EQ(t.m_nColors, kMaxColors);
  FillColorsFromPalette(t, nullptr);
  EXPECT_EQ(t.m_nColors, kMaxColors);
}

TEST(ColorTable, ReadTable) {
  struct Case {
    const char* text;
    int result;
    int count;
  };
  const Case cases[] = {
      {"2\n1 10 20 30\n2 40 50 60\n", 0, 2},
      {"3\n1 10 20 30\n2 40 50 60\n", 1, 2},     // ends early
      {"3 colours\r\n1,10,20,30\r\n2:40;50/60\r\n3\t70 80 90", 0, 3},
      {"0\n", 0, 0},
      {"-5\n1 2 3 4\n", 0, 0},
      {"", 1, 99},                                 // empty: count unchanged
      {"abc\n", 0, 0},
  };
  for (const Case& c : cases) {
    CColorTable t;
    t.m_nColors = 99;
    EXPECT_EQ(Read(c.text, t), c.result) << c.text;
    EXPECT_EQ(t.m_nColors, c.count) << c.text;
  }

  // Commas without blanks give the entry blanks give.
  CColorTable a, b;
  Read("1\n7 10 20 30\n", a);
  Read("1\n7,10,20,30\n", b);
  EXPECT_EQ(a.m_aColors[0].id, 7);
  EXPECT_EQ(b.m_aColors[0].id, 7);
  EXPECT_EQ(a.m_aColors[0].g, 20);
  EXPECT_EQ(b.m_aColors[0].g, 20);
  EXPECT_EQ(b.m_aColors[0].b, 30);

  // Missing tokens read 0; fractions read as integers.
  CColorTable m;
  Read("2\n5 200\n6 1.9 x 3\n", m);
  EXPECT_EQ(m.m_aColors[0].id, 5);
  EXPECT_EQ(m.m_aColors[0].r, 200);
  EXPECT_EQ(m.m_aColors[0].g, 0);
  EXPECT_EQ(m.m_aColors[0].b, 0);
  EXPECT_EQ(m.m_aColors[1].r, 1);
  EXPECT_EQ(m.m_aColors[1].g, 0);
  EXPECT_EQ(m.m_aColors[1].b, 3);
}

TEST(ColorTable, AtMostAThousandEntries) {
  std::string text = "1500\n";
  for (int i = 1; i <= 1500; ++i) text += std::to_string(i) + " 1 2 3\n";
  CColorTable t;
  EXPECT_EQ(Read(text, t), 0);
  EXPECT_EQ(t.m_nColors, kMaxColors);
  EXPECT_EQ(t.m_aColors[kMaxColors - 1].id, 1000);
}

TEST(ColorTable, LoadOrDefault) {
  TestFolder dir;
  CColorTable t;
  // No file: palette 1.
  EXPECT_EQ(LoadColorTableOrDefault(dir.Dir(), t), 13);
  EXPECT_EQ(t.m_aColors[0].r, 184);

  // Found whatever its case; what was in the table before is replaced.
  dir.Write("COLOR.TXT", "1\n1 9 8 7\n");
  std::string noSlash = dir.Dir();
  noSlash.pop_back();
  EXPECT_EQ(LoadColorTableOrDefault(noSlash, t), 1);
  EXPECT_EQ(t.m_aColors[0].r, 9);

  // A table without entries falls back as well.
  dir.Write("COLOR.TXT", "0\n");
  EXPECT_EQ(LoadColorTableOrDefault(dir.Dir(), t), 13);
  CColorTable d;
  EXPECT_EQ(SetDefaultColorTable(d), 13);
  EXPECT_EQ(d.m_aColors[12].r, 204);
}

}  // namespace
