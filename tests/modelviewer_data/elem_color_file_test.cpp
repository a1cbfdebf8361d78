#include "modelviewer/data/elem_color_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "viewer/display_model.h"

namespace fs = std::filesystem;

namespace {

int Read(const std::string& text, std::vector<ElemColorEntry>& map) {
  auto in = plat::LineReader::FromString(text);
  return ReadElemColorFile(*in, map);
}

// A row from its three fields, each right-aligned in its ten columns.
std::string Row(const std::string& no, const std::string& a = "", const std::string& b = "") {
  auto col = [](const std::string& s) { return std::string(10 - s.size(), ' ') + s; };
  return col(no) + (a.empty() ? std::string(10, ' ') : col(a)) + std::string(10, ' ') +
         (b.empty() ? "" : col(b));
}

struct Entry {
  int no, a, b;
};

struct MapCase {
  const char* what;
  std::string text;
  int ones;
  std::vector<Entry> entries;
};

TEST(ElemColorFile, Rows) {
  const MapCase cases[] = {
      {"101 in columns 8-10, 2 in column 20, 1 in column 40",
       Row("101", "2", "1") + "\n", 1, {{101, 2, 1}}},
      {"only the number", "      1001\n", 0, {{1001, 0, 0}}},
      {"a heading first", "element   class     x         flag\n" + Row("1", "1", "1") + "\n", 0, {}},
      {"1000000 ends the map", Row("5", "1") + "\n" + Row("1000000", "2") + "\n" + Row("6", "3") + "\n",
       0, {{5, 1, 0}}},
      {"999999 still counts", Row("999999", "-1", "1") + "\r\n", 1, {{999999, -1, 1}}},
      {"a negative number passes", Row("-7", "3", "2") + "\n", 0, {{-7, 3, 2}}},
      {"columns 21-30 are not read", "         1         2      9999         1 trailing text\n", 1,
       {{1, 2, 1}}},
      {"B counted only when 1", Row("1", "", "1") + "\n" + Row("2", "", "2") + "\n" + Row("3", "", "1"),
       2, {{1, 0, 1}, {2, 0, 2}, {3, 0, 1}}},
      {"a blank line ends the map", Row("1") + "\n\n" + Row("2") + "\n", 0, {{1, 0, 0}}},
      {"an empty file", "", 0, {}},
      {"a short line reads blank columns", "3\n", 0, {{3, 0, 0}}},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<ElemColorEntry> map = {{42, 42, 42}};  // replaced, not appended to
    EXPECT_EQ(Read(c.text, map), c.ones);
    ASSERT_EQ(map.size(), c.entries.size());
    for (size_t i = 0; i < map.size(); ++i) {
      EXPECT_EQ(map[i].nNo, c.entries[i].no) << i;
      EXPECT_EQ(map[i].nColorClass, c.entries[i].a) << i;
      EXPECT_EQ(map[i].nMode1, c.entries[i].b) << i;
    }
  }
}

TEST(ElemColorFile, FirstRowOfANumberWins) {
  std::vector<ElemColorEntry> map;
  Read(Row("8", "2", "1") + "\n" + Row("8", "3", "0") + "\n", map);
  ASSERT_EQ(map.size(), 2u);
  const CElemColorIndex index(map);
  int a = -5, b = -5;
  index.Lookup(8, a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
  index.Lookup(9, a, b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
}

TEST(ElemColorFile, LoadBesideTheData) {
  const fs::path dir = fs::temp_directory_path() / ("clrmap_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::vector<ElemColorEntry> map = {{1, 1, 1}};
  EXPECT_EQ(LoadElemColorFile((dir / "model.clr").string(), map), 0);
  EXPECT_TRUE(map.empty());

  // Copied from Windows: found whatever its case.
  ASSERT_TRUE(plat::WriteWholeFile((dir / "MODEL.CLR").string(), Row("4", "1", "1") + "\r\n"));
  EXPECT_EQ(LoadElemColorFile((dir / "model.clr").string(), map), 1);
  ASSERT_EQ(map.size(), 1u);
  EXPECT_EQ(map[0].nNo, 4);
  fs::remove_all(dir);
}

}  // namespace
