#include "model/single_records.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Reads the section body (the lines after the keyword line) into `rec`.
bool ReadBody(CFemInput& rec, const std::string& body, std::string& line) {
  auto ar = plat::LineReader::FromString(body);
  return rec.Read(*ar, line);
}

struct Factory {
  const char* name;
  std::function<std::unique_ptr<CFemInput>()> make;
};

template <class Rec>
Factory Make(const char* name) {
  return {name, [] { return std::unique_ptr<CFemInput>(new Rec()); }};
}

TEST(SingleRecords, SectionsReadAndWriteBackUnchanged) {
  struct Case {
    Factory rec;
    int mode;
    std::string keyword, body;
  } cases[] = {
      {Make<CIpTitle>("title"), 1, "/title", "  Frame \x83\x65\x83\x58\x83\x67 model  \r\n"},
      {Make<CIpSetSpc>("setspc"), 1, "/setspc", "101100\r\n"},
      {Make<CIpDamping>("damping"), 1, "/damping", "$ Rayleigh\r\n  0.050000  0.020000  1.500000         0\r\n"},
      {Make<CIpGravity>("gravity"), 1, "/gravity", "  9.800000\r\n"},
      {Make<CIpGravity>("gravity comment"), 0, "/gravity", "$\x8f\x64\x97\xcd\r\n  9.800000\r\n"},
      {Make<CIpBase>("base wide"), 1, "/base", "250.000000  0.500000         0         2\r\n"},
      {Make<CIpBase>("base narrow"), 0, "/base", "250.000000  0.500000         0    2\r\n"},
      {Make<CIpInitialCondition>("initial"), 1, "/initial condition", "$ from run 1\r\nrun1.rst          \r\n"},
      {Make<CIpRestart>("restart"), 1, "/restart", "C:\\runs\\a b.rst          \r\n"},
      {Make<CIpCkpoint>("ckpoint wide"), 1, "/ckpoint", "                   2         1abc\r\n"},
      {Make<CIpCkpoint>("ckpoint narrow"), 0, "/ckpoint", "               abc      2    1\r\n"},
      {Make<CIpDynamic>("dynamic wide"), 1, "/dynamic",
       "$ Newmark\r\n         1         8  0.010000  0.250000  0.500000         0 20.000000         3\r\n"},
      {Make<CIpDynamic>("dynamic narrow"), 0, "/dynamic",
       "    1    8  0.010000  0.250000  0.500000         0 20.000000    3\r\n"},
      {Make<CIpOutput>("output wide"), 1, "/output", "       100         5\r\n"},
      {Make<CIpOutput>("output narrow"), 0, "/output", "$ o\r\n  100    5\r\n"},
      {Make<CIpModal>("eigen wide"), 1, "/eigen", "        12\r\n"},
      {Make<CIpModal>("eigen narrow"), 0, "/eigen", "   12\r\n"},
      // The second value that announces a second initial condition.
      {Make<CIpModal>("eigen two values wide"), 1, "/eigen", "        12         2\r\n"},
      {Make<CIpModal>("eigen two values narrow"), 0, "/eigen", "$ m\r\n   12    2\r\n"},
  };
  for (const auto& c : cases) {
    ColumnModeScope scope(c.mode);
    auto rec = c.rec.make();
    std::string line;
    ASSERT_TRUE(ReadBody(*rec, c.body, line)) << c.rec.name;
    EXPECT_FALSE(rec->IsEmpty()) << c.rec.name;
    std::string out;
    CFemInput::SaveTo(*rec, out);
    EXPECT_EQ(out, c.keyword + "\r\n" + c.body) << c.rec.name;
  }
}

TEST(SingleRecords, MatchKeyword) {
  CIpGravity g;
  CIpDamping d;
  CIpInitialCondition ic;
  struct Case {
    CSingleList* rec;
    const char* line;
    bool match;
  } cases[] = {
      {&g, "  /gravity  ", true},
      {&g, "/gravity", true},
      {&g, "/Gravity", false},
      {&g, "/gravity 9.8", false},
      {&d, "/d", true},
      {&d, "/dx", false},
      {&ic, "/initial condition", true},
      {&ic, "\t/initial", true},
      // An empty or blank line names no section.
      {&g, "", false},
      {&g, "    ", false},
      {&d, "\t \r", false},
      {&d, "/damping\t", true},
      {&ic, "/initial  condition", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.rec->MatchKeyword(c.line), c.match) << '"' << c.line << '"';
}

// How a section body ends up in a record that keeps a comment.
TEST(SingleRecords, ReadProtocolOfCommentedSections) {
  struct Case {
    const char* body;
    bool result;
    const char* lineAfter;
    double gravity;
    int empty;
    const char* comment;
  } cases[] = {
      {"$ c\n$ d\n  2.500000\nrest\n", true, "  2.500000", 2.5, 0, " c"},
      {"$\n  2.500000\n", true, "  2.500000", 2.5, 0, ""},
      // An empty line right after the comment is a data line of zeros.
      {"$ c\n\n", true, "", 0, 0, " c"},
      // After further comment lines an empty line ends the section unread.
      {"$ c\n$ d\n\n  2.5\n", true, "", 9.8, 1, " c"},
      {"\n  2.5\n", true, "", 9.8, 1, ""},
      // A keyword line stays in the buffer for the next section.
      {"/damping\n  2.5\n", false, "/damping", 9.8, 1, ""},
      {"$ c\n/damping\n", false, "/damping", 9.8, 1, " c"},
      {"$ c\n$ d\n/damping\n", false, "/damping", 9.8, 1, " c"},
      {"", false, "", 9.8, 1, ""},
      {"$ c", false, "", 9.8, 1, " c"},
  };
  for (const auto& c : cases) {
    CIpGravity g;
    std::string line = "junk";
    EXPECT_EQ(ReadBody(g, c.body, line), c.result) << c.body;
    EXPECT_EQ(line, c.lineAfter) << c.body;
    EXPECT_EQ(g.m_dGravity, c.gravity) << c.body;
    EXPECT_EQ(g.m_bEmpty, c.empty) << c.body;
    EXPECT_EQ(g.m_strComment, c.comment) << c.body;
  }
}

TEST(SingleRecords, TitleAndRestraintDropComments) {
  CIpTitle t;
  std::string line, out;
  ASSERT_TRUE(ReadBody(t, "$ a\n$ b\n My title  \n", line));
  EXPECT_EQ(t.m_strTitle, " My title  ");
  EXPECT_EQ(t.m_strComment, "");
  EXPECT_EQ(t.m_bEmpty, 1);
  ASSERT_TRUE(t.Write(out));
  EXPECT_EQ(out, "/title\r\n My title  \r\n");

  CIpTitle empty;
  EXPECT_FALSE(ReadBody(empty, "$ a\n/nodes\n", line));
  EXPECT_EQ(line, "/nodes");
  EXPECT_TRUE(empty.IsEmpty());
  out = "unchanged";
  CFemInput::SaveTo(empty, out);
  EXPECT_EQ(out, "unchanged");

  struct Case {
    const char* body;
    int code;
    const char* written;
  } cases[] = {
      {"111111\n", 111111, "111111"},
      {"1 1\n", 101000, "101000"},
      {"      \n", 0, "000000"},
      {"$ c\n020x01\n", 10101, "010101"},
      {"1", 100000, "100000"},
  };
  for (const auto& c : cases) {
    CIpSetSpc s;
    ASSERT_TRUE(ReadBody(s, c.body, line)) << c.body;
    EXPECT_EQ(s.m_nCode, c.code) << c.body;
    EXPECT_EQ(s.m_bEmpty, 0) << c.body;
    ASSERT_TRUE(s.Write(out));
    EXPECT_EQ(out, std::string("/setspc\r\n") + c.written + "\r\n") << c.body;
  }
}

TEST(SingleRecords, CheckpointNames) {
  ColumnModeScope scope(1);
  CIpCkpoint c;
  c.m_strFile = "abc";
  c.m_nCk1 = 1;
  c.m_nCk2 = 2;
  std::string out;
  ASSERT_TRUE(c.Write(out));
  EXPECT_EQ(out, "/ckpoint\r\n          " "         2         1abc\r\n");

  // A name longer than 40 bytes is written whole and read back whole, even
  // where byte 40 falls inside a double-byte character.
  const std::string name = std::string(39, 'd') + "\x83\x65\x83\x58\x83\x67.ck";
  c.m_strFile = name;
  ASSERT_TRUE(c.Write(out));
  CIpCkpoint back;
  std::string line;
  ASSERT_TRUE(ReadBody(back, out.substr(out.find('\n') + 1), line));
  EXPECT_EQ(back.m_strFile, name);
  EXPECT_EQ(back.m_nCk1, 1);
  EXPECT_EQ(back.m_nCk2, 2);
  std::string again;
  ASSERT_TRUE(back.Write(again));
  EXPECT_EQ(again, out);
  // Blanks around the name are not part of it.
  ASSERT_TRUE(ReadBody(back, "                   0         0   run.ck   \n", line));
  EXPECT_EQ(back.m_strFile, "run.ck");
}

TEST(SingleRecords, ConstructorResetAndEmptiness) {
  CIpGravity g;
  CIpModal m;
  CIpDynamic d;
  CIpOutput o;
  EXPECT_EQ(g.m_dGravity, 9.8);
  EXPECT_TRUE(g.IsEmpty());
  EXPECT_EQ(m.m_nModes, 5);
  EXPECT_FALSE(m.IsEmpty());
  EXPECT_EQ(d.m_nDyn2, 8);
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_TRUE(o.IsEmpty());  // 10000 and 1
  o.m_nOut2 = 2;
  EXPECT_FALSE(o.IsEmpty());
  o.m_nOut2 = -3;
  EXPECT_TRUE(o.IsEmpty());

  std::string line;
  ASSERT_TRUE(ReadBody(g, "$ c\n  1.000000\n", line));
  EXPECT_FALSE(g.IsEmpty());
  g.Reset();
  EXPECT_EQ(g.m_dGravity, 0.0);
  EXPECT_EQ(g.m_bEmpty, 1);
  EXPECT_EQ(g.m_strComment, "");
  EXPECT_TRUE(g.IsEmpty());
  m.Reset();
  EXPECT_EQ(m.m_nModes, 0);
  EXPECT_TRUE(m.IsEmpty());
  d.m_nDyn1 = 4, d.m_nDyn2 = 1, d.m_dDyn5 = 3;
  d.Reset();
  EXPECT_EQ(d.m_nDyn2, 8);
  EXPECT_EQ(d.m_dDyn5, 0.0);
  o.m_nOut1 = 5;
  o.Reset();
  EXPECT_TRUE(o.IsEmpty());

  CIpDamping damp;
  EXPECT_TRUE(damp.IsEmpty());
  damp.m_dDamp4 = 0.1;
  EXPECT_FALSE(damp.IsEmpty());
  CIpRestart r;
  EXPECT_EQ(r.m_strKeyword, "/restart");
  ASSERT_TRUE(ReadBody(r, "  x.rst  \n", line));
  EXPECT_EQ(r.m_strFile, "x.rst");
  EXPECT_FALSE(r.IsEmpty());
  r.Reset();
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.m_strFile, "");
}

TEST(SingleRecords, NoCells) {
  const Factory all[] = {Make<CIpTitle>("title"),       Make<CIpSetSpc>("setspc"),
                         Make<CIpDamping>("damping"),   Make<CIpGravity>("gravity"),
                         Make<CIpBase>("base"),         Make<CIpInitialCondition>("initial"),
                         Make<CIpRestart>("restart"),   Make<CIpCkpoint>("ckpoint"),
                         Make<CIpDynamic>("dynamic"),   Make<CIpOutput>("output"),
                         Make<CIpModal>("eigen")};
  for (const auto& f : all) {
    auto rec = f.make();
    EXPECT_EQ(rec->GetText(0), "") << f.name;
    EXPECT_EQ(rec->GetGenText(0, 2), "") << f.name;
    EXPECT_FALSE(rec->SetText(0, "1")) << f.name;
    EXPECT_FALSE(rec->SetText(-1, "c")) << f.name;
    EXPECT_EQ(rec->GetCount(), 1) << f.name;
  }
}

TEST(SingleRecords, EigenSecondValue) {
  struct Case {
    int mode;
    int modes, opt;
    const char* data;
  } cases[] = {
      {1, 12, 0, "        12"},
      {1, 12, 2, "        12         2"},
      {0, 12, 2, "   12    2"},
      {0, 7, 0, "    7"},
      // Zero modes with the second value: the line still holds both.
      {1, 0, 2, "         0         2"},
  };
  for (const auto& c : cases) {
    ColumnModeScope scope(c.mode);
    CIpModal m;
    m.m_nModes = c.modes;
    m.m_nModalOpt = c.opt;
    std::string out;
    ASSERT_TRUE(m.Write(out));
    EXPECT_EQ(out, std::string("/eigen\r\n") + c.data + "\r\n") << c.data;
    CIpModal back;
    std::string line;
    ASSERT_TRUE(ReadBody(back, std::string(c.data) + "\r\n", line));
    EXPECT_EQ(back.m_nModes, c.modes) << c.data;
    EXPECT_EQ(back.m_nModalOpt, c.opt) << c.data;
  }
  CIpModal m;
  EXPECT_EQ(m.m_nModalOpt, 0);
  m.m_nModalOpt = 2;
  m.Reset();
  EXPECT_EQ(m.m_nModalOpt, 0);
}

}  // namespace
