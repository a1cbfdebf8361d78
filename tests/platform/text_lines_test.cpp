#include "platform/text_lines.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/binary_file.h"
#include "platform/paths.h"

namespace {

std::vector<std::string> ReadAll(plat::LineReader& r) {
  std::vector<std::string> out;
  std::string line;
  while (r.ReadString(line)) out.push_back(line);
  return out;
}

struct LinesCase {
  std::string input;
  std::vector<std::string> lines;
};

TEST(LineReader, SplitsLikeTheArchive) {
  const LinesCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\n", {""}},
      {"x\r\r\n", {"x\r"}},
      {"no end\r", {"no end"}},
      {std::string("\x82\xa0\n", 3), {"\x82\xa0"}},
  };
  for (const auto& c : cases) {
    auto r = plat::LineReader::FromString(c.input);
    EXPECT_EQ(ReadAll(*r), c.lines) << c.input;
  }
}

TEST(LineReader, ReadsLongLinesAcrossBufferRefills) {
  const auto dir = std::filesystem::temp_directory_path() / "ov_lines_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "long.txt").string();
  const std::string longLine(200000, 'x');
  ASSERT_TRUE(plat::WriteWholeFile(path, "first\r\n" + longLine + "\r\nlast"));
  auto r = plat::LineReader::FromFile(path);
  ASSERT_TRUE(r);
  const auto lines = ReadAll(*r);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], longLine);
  EXPECT_EQ(lines[2], "last");
  std::filesystem::remove_all(dir);
}

// A line longer than the limit ends the reading, whether it ends in LF, in
// the input or not at all, and says where; CR and LF do not count.
TEST(LineReader, ALineLongerThanTheLimitIsRefused) {
  const struct {
    std::string input;
    std::vector<std::string> lines;
    unsigned long long refusedLine;  // 0: none
  } cases[] = {
      {"12345678\nab\n", {"12345678", "ab"}, 0},
      {"12345678\r\nab", {"12345678", "ab"}, 0},
      {"ab\n123456789\nlost\n", {"ab"}, 2},
      {"ab\ncd\n123456789", {"ab", "cd"}, 3},
      {"123456789\r\n", {}, 1},
      {"1234\r5678\r9\r", {}, 1},  // CR-only line ends: one line
  };
  for (const auto& c : cases) {
    auto r = plat::LineReader::FromString(c.input);
    r->SetLineLimit(8);
    EXPECT_EQ(ReadAll(*r), c.lines) << c.input;
    if (c.refusedLine == 0) {
      EXPECT_EQ(r->Refusal(), "") << c.input;
    } else {
      EXPECT_EQ(r->Refusal(), std::to_string(c.refusedLine) + "行目の長さが上限の8ﾊﾞｲﾄを超えています") << c.input;
    }
    std::string line = "x";
    EXPECT_FALSE(r->ReadString(line));
    EXPECT_EQ(line, "");
  }
}

// A file with no line end is read no further than the limit, with its path
// in the refusal; a load given up reads nothing more.
TEST(LineReader, AFileWithoutLineEndsAndACancelledRead) {
  const auto dir = std::filesystem::temp_directory_path() / "ov_lines_limit_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "one.dat").string();
  ASSERT_TRUE(plat::WriteWholeFile(path, "/node\n" + std::string(3 * plat::LineReader::kMaxLineBytes, 'x')));
  auto r = plat::LineReader::FromFile(path);
  ASSERT_TRUE(r);
  EXPECT_EQ(ReadAll(*r), std::vector<std::string>{"/node"});
  EXPECT_EQ(r->Refusal(), path + "：2行目の長さが上限の1048576ﾊﾞｲﾄを超えています");

  std::atomic<bool> cancel{false};
  auto c = plat::LineReader::FromString("a\nb\n");
  c->SetCancel(&cancel);
  std::string line;
  ASSERT_TRUE(c->ReadString(line));
  cancel = true;
  EXPECT_TRUE(c->Cancelled());
  EXPECT_FALSE(c->ReadString(line));
  EXPECT_EQ(c->Refusal(), "");
  std::filesystem::remove_all(dir);
}

TEST(LineReader, PushBackReturnsTheLineOnce) {
  auto r = plat::LineReader::FromString("a\nb\n");
  std::string line;
  ASSERT_TRUE(r->ReadString(line));
  r->PushBack(line);
  ASSERT_TRUE(r->ReadString(line));
  EXPECT_EQ(line, "a");
  ASSERT_TRUE(r->ReadString(line));
  EXPECT_EQ(line, "b");
  EXPECT_FALSE(r->ReadString(line));
}

TEST(LineReader, MissingFileGivesAReason) {
  std::string err;
  EXPECT_FALSE(plat::LineReader::FromFile("/nonexistent/dir/file.dat", &err));
  EXPECT_FALSE(err.empty());
}

// A named pipe would hold a plain open until a writer came; a folder opens
// for reading on this system. Neither is read: every opener refuses them
// with a reason, and a regular file beside them still opens.
TEST(OpenRegularFile, EveryOpenerRefusesFoldersPipesAndDevices) {
  const auto dir = std::filesystem::temp_directory_path() / "ov_special_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "x.in");
  const std::string fifo = (dir / "x.dis").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string plain = (dir / "x.txt").string();
  ASSERT_TRUE(plat::WriteWholeFile(plain, "a\n"));
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {(dir / "x.in").string(), std::strerror(EISDIR)},
      {fifo, "通常のファイルではありません"},
      {"/dev/null", "通常のファイルではありません"},
      {(dir / "none").string(), std::strerror(ENOENT)},
  };
  for (const Case& c : cases) {
    std::string e1, e2, e3, text;
    EXPECT_FALSE(plat::LineReader::FromFile(c.path, &e1)) << c.path;
    plat::BinaryFile f;
    EXPECT_FALSE(f.Open(c.path, &e2)) << c.path;
    EXPECT_FALSE(plat::ReadWholeFile(c.path, text, &e3)) << c.path;
    EXPECT_EQ(e1, c.reason);
    EXPECT_EQ(e2, c.reason);
    EXPECT_EQ(e3, c.reason);
  }
  EXPECT_TRUE(plat::LineReader::FromFile(plain));
  plat::BinaryFile f;
  EXPECT_TRUE(f.Open(plain));
  std::filesystem::remove_all(dir);
}

// The temporary name of a write must fit wherever the target's name fits,
// and a name left behind in the way is never written through.
TEST(LineWriter, TemporaryNameFitsBesideTheLongestName) {
  const auto dir = std::filesystem::temp_directory_path() / "ov_writer_long_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  for (size_t len : {size_t{1}, size_t{243}, size_t{251}, size_t{NAME_MAX}}) {
    const std::string path = (dir / std::string(len, 'n')).string();
    std::string err;
    ASSERT_TRUE(plat::WriteWholeFile(path, "v", &err)) << len << " " << err;
    std::string got;
    ASSERT_TRUE(plat::ReadWholeFile(path, got));
    EXPECT_EQ(got, "v");
    std::filesystem::remove(path);
  }
  const std::string path = (dir / "x.eye").string();
  const std::string squatter = path + ".tmp" + std::to_string(::getpid());
  ASSERT_TRUE(plat::WriteWholeFile(squatter, "keep"));
  ASSERT_TRUE(plat::WriteWholeFile(path, "new"));
  std::string got;
  ASSERT_TRUE(plat::ReadWholeFile(squatter, got));
  EXPECT_EQ(got, "keep");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 2);
  std::filesystem::remove_all(dir);
}

TEST(LineWriter, ReplacesTheFileOnlyWhenComplete) {
  const auto dir = std::filesystem::temp_directory_path() / "ov_writer_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "out.eye").string();
  ASSERT_TRUE(plat::WriteWholeFile(path, "old"));
  {
    plat::LineWriter w(path);
    ASSERT_TRUE(w.Open());
    w.WriteString("new");
    // Destroyed without Commit: the old file stays.
  }
  std::string got;
  ASSERT_TRUE(plat::ReadWholeFile(path, got));
  EXPECT_EQ(got, "old");
  ASSERT_TRUE(plat::WriteWholeFile(path, "new\r\n"));
  ASSERT_TRUE(plat::ReadWholeFile(path, got));
  EXPECT_EQ(got, "new\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
  std::string err;
  EXPECT_FALSE(plat::WriteWholeFile((dir / "missing" / "x").string(), "x", &err));
  EXPECT_FALSE(err.empty());
  std::filesystem::remove_all(dir);
}

TEST(Paths, SplitAndSiblings) {
  const auto p = plat::SplitPath("/data/run.1/Model.IN");
  EXPECT_EQ(p.dir, "/data/run.1/");
  EXPECT_EQ(p.name, "Model");
  EXPECT_EQ(p.ext, ".IN");
  EXPECT_EQ(plat::LowerExtension("/a/b.DaT"), ".dat");
  EXPECT_EQ(plat::ReplaceExtension("/a/b.c/d.in", ".dis"), "/a/b.c/d.dis");
  EXPECT_EQ(plat::ReplaceExtension("noext", ".viw"), "noext.viw");
  EXPECT_EQ(plat::SplitPath(".hidden").ext, "");

  const auto dir = std::filesystem::temp_directory_path() / "ov_paths_test";
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(plat::WriteWholeFile((dir / "COLOR.TXT").string(), "x"));
  EXPECT_EQ(plat::FindFileNoCase((dir / "color.txt").string()), (dir / "COLOR.TXT").string());
  EXPECT_EQ(plat::FindFileNoCase((dir / "other.txt").string()), "");
  std::filesystem::remove_all(dir);
}

TEST(BinaryFile, LittleEndianWordsAndBounds) {
  const auto dir = std::filesystem::temp_directory_path() / "ov_bin_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "r.dis").string();
  unsigned char bytes[12];
  plat::EncodeInt32LE(-2, bytes);
  plat::EncodeFloat32LE(1.5f, bytes + 4);
  plat::EncodeFloat32LE(-0.25f, bytes + 8);
  ASSERT_TRUE(plat::WriteWholeFile(path, std::string(reinterpret_cast<char*>(bytes), 12)));
  plat::BinaryFile f;
  ASSERT_TRUE(f.Open(path));
  EXPECT_EQ(f.Size(), 12);
  int32_t i = 0;
  ASSERT_TRUE(f.ReadInt32(0, i));
  EXPECT_EQ(i, -2);
  std::vector<float> v;
  ASSERT_TRUE(f.ReadFloats(4, 2, v));
  EXPECT_EQ(v, (std::vector<float>{1.5f, -0.25f}));
  EXPECT_FALSE(f.ReadFloats(8, 2, v));
  EXPECT_FALSE(f.ReadFloats(4, SIZE_MAX / 2, v));
  float x;
  EXPECT_FALSE(f.ReadFloat32(-4, x));
  EXPECT_FALSE(f.ReadFloat32(10, x));
  std::filesystem::remove_all(dir);
}

}  // namespace
