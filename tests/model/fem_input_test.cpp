#include "model/fem_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A section of its own whose emptiness is the shared flag.
class FlagSection : public CFemInput, public CSingleList {
 public:
  FlagSection() { m_strKeyword = "/flag"; }
  bool Write(std::string& text) override {
    if (m_bEmpty) return false;
    text = m_strKeyword + "\r\n";
    AppendCommentLine(text);
    text += "    1\r\n";
    return true;
  }
  bool Read(CArchiveIn&, std::string&) override { return false; }
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return false; }
  bool IsEmpty() override { return IsEmptyDefault(); }
  int GetCount() override { return GetCountDefault(); }
  void Reset() override { m_bEmpty = 1; }
};

// A multi-line record: not a section by itself.
class PlainRecord : public CFemInput, public CFemData {
 public:
  bool Write(std::string&) override { return false; }
  bool Read(CArchiveIn&, std::string&) override { return false; }
  std::string GetGenText(int, int) override { return {}; }
  std::string GetText(int) override { return {}; }
  bool SetText(int, std::string) override { return true; }
  bool IsEmpty() override { return IsEmptyDefault(); }
  int GetCount() override { return 1; }
};

TEST(FemInput, IsEmptyDefaultFollowsTheSectionFlag) {
  FlagSection s;
  EXPECT_TRUE(s.IsEmpty());
  s.m_bEmpty = 0;
  EXPECT_FALSE(s.IsEmpty());
  s.Reset();
  EXPECT_TRUE(s.IsEmpty());
  PlainRecord p;
  EXPECT_FALSE(p.IsEmpty());
}

TEST(FemInput, SaveToWritesOnlyRecordsWithText) {
  const auto dir = std::filesystem::temp_directory_path() / ("fem_input_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "out.dat").string();
  struct Case {
    bool empty;
    const char* comment;
    std::string want;
  } cases[] = {
      {true, "", ""},
      {false, "", "/flag\r\n    1\r\n"},
      {false, " g", "/flag\r\n$ g\r\n    1\r\n"},
  };
  for (const auto& c : cases) {
    FlagSection s;
    s.m_bEmpty = c.empty ? 1 : 0;
    s.SetComment(c.comment);
    std::string inMemory = "x";
    CFemInput::SaveTo(s, inMemory);
    EXPECT_EQ(inMemory, "x" + c.want);
    {
      plat::LineWriter w(path);
      ASSERT_TRUE(w.Open());
      w.WriteString("x");
      CFemInput::SaveTo(s, w);
      ASSERT_TRUE(w.Commit());
    }
    std::string back;
    ASSERT_TRUE(plat::ReadWholeFile(path, back));
    EXPECT_EQ(back, "x" + c.want);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
