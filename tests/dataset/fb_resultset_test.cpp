// The analysis result set: names, words per step, block limits, status,
// time and side files, step counting and block-file arithmetic.
#include <gtest/gtest.h>

#include "dataset/fb_resultset.h"
#include "platform/text_lines.h"
#include "results/test_run_writer.h"

namespace {

using testrun::RunSpec;
using testrun::SmallFrame;
using testrun::TempDir;

int LoadRun(const std::string& inPath, CFbResultSet& rs, std::string* msg) {
  auto ar = plat::LineReader::FromFile(inPath);
  if (!ar) return -100;
  return LoadAnalysisInput(*ar, inPath, rs, msg);
}

int WriteAndLoad(const TempDir& dir, const RunSpec& s, CFbResultSet& rs, std::string* msg = nullptr) {
  return LoadRun(testrun::WriteRun(dir.path(), "frame", s), rs, msg);
}

TEST(FbResultSet, NamesFromTheInputPath) {
  TempDir dir;
  RunSpec s = SmallFrame(1);
  s.writeResults = false;
  const std::string path = dir.path() + "/Model.IN";
  plat::WriteWholeFile(path, testrun::InText(s));
  CFbResultSet rs;
  std::string msg = "old";
  ASSERT_EQ(LoadRun(path, rs, &msg), 1);
  EXPECT_EQ(msg, "");
  EXPECT_EQ(rs.GetBasePath(), dir.path() + "/Model");
  EXPECT_EQ(rs.m_strFileName, "Model");
  EXPECT_EQ(rs.m_strDir, dir.path() + "/");
  EXPECT_EQ(rs.m_strDaPath, "");
  EXPECT_EQ(rs.m_bFiberShear, 1);

  const std::string da = dir.path() + "/x.da_.in";
  plat::WriteWholeFile(da, testrun::InText(s));
  CFbResultSet rs2;
  ASSERT_EQ(LoadRun(da, rs2, nullptr), 1);
  EXPECT_EQ(rs2.m_strDaPath, dir.path() + "/x");
  EXPECT_EQ(rs2.m_strOutName, dir.path() + "/x.out");
}

TEST(FbResultSet, WordsPerStep) {
  TempDir dir;
  CFbResultSet rs;
  ASSERT_EQ(WriteAndLoad(dir, SmallFrame(2), rs), 1);
  EXPECT_EQ(rs.m_aStepWords[kFbDis], 36);
  EXPECT_EQ(rs.m_aStepWords[kFbVel], 36);
  EXPECT_EQ(rs.m_aStepWords[kFbFrc], 36);
  EXPECT_EQ(rs.m_aStepWords[kFbSig], 90);
  EXPECT_EQ(rs.m_aStepWords[kFbEps], 90);
  EXPECT_EQ(rs.m_aStepWords[kFbSta], 30);
  EXPECT_EQ(rs.m_aStepWords[kFbSgs], 96);  // 2 shells x 2 layers x 24
  EXPECT_EQ(rs.m_aStepWords[kFbEss], 96);
  EXPECT_EQ(rs.m_aStepWords[kFbShellState], 16);
  for (int f = 0; f < kFbFileCount; ++f) EXPECT_EQ(rs.m_aHeadWords[f], 0);

  // Before version 20 the strain file has one word per fibre.
  TempDir dir2;
  RunSpec old = SmallFrame(2);
  old.version = 19;
  CFbResultSet rs2;
  ASSERT_EQ(WriteAndLoad(dir2, old, rs2), 1);
  EXPECT_EQ(rs2.m_bFiberShear, 0);
  EXPECT_EQ(rs2.m_aStepWords[kFbEps], 30);

  // No shells: no shell words.
  TempDir dir3;
  RunSpec flat = SmallFrame(1);
  flat.quads.clear();
  CFbResultSet rs3;
  ASSERT_EQ(WriteAndLoad(dir3, flat, rs3), 1);
  EXPECT_EQ(rs3.m_aStepWords[kFbSgs], 0);
  EXPECT_EQ(rs3.m_aStepWords[kFbShellState], 0);
}

TEST(FbResultSet, StepsPerBlockFile) {
  struct Case {
    int recWords;
    int fibers;
    int quads;
    int head33;
    int want;
  } const cases[] = {
      // w = 512000000 / (v + 2); C = v w / (3 f); E = v w / (24 q l).
      {7, 30, 2, 48, static_cast<int>(std::min(7ULL * (512000000ULL / 9) / 90, 7ULL * (512000000ULL / 9) / 96))},
      {7, 0, 0, 48, 99999999},  // neither fibres nor shells
      {7, 30, 2, 0, static_cast<int>(7ULL * (512000000ULL / 9) / 90)},  // no layers
  };
  for (const Case& c : cases) {
    TempDir dir;
    RunSpec s = SmallFrame(1);
    s.recWords = c.recWords;
    s.fibers = c.fibers;
    s.head33 = c.head33;
    if (c.quads == 0) s.quads.clear();
    CFbResultSet rs;
    ASSERT_EQ(WriteAndLoad(dir, s, rs), 1);
    EXPECT_EQ(rs.m_nRecWords, c.recWords);
    EXPECT_EQ(rs.m_nBlkStep, c.want);
    EXPECT_EQ(rs.m_nBlkStart, 0);
  }
  // Without a result file v is 0, so a model with fibres gets N = 0.
  TempDir dir;
  RunSpec s = SmallFrame(1);
  s.writeResults = false;
  s.fibers = 10;
  CFbResultSet rs;
  ASSERT_EQ(WriteAndLoad(dir, s, rs), 1);
  EXPECT_EQ(rs.m_nRecWords, 0);
  EXPECT_EQ(rs.m_nBlkStep, 0);
  EXPECT_EQ(rs.m_nMaxStep, 0);
}

TEST(FbResultSet, StaticStepCount) {
  struct Case {
    int stored;
    bool status;
    int flag, scase, sstep;
    int want;
  } const cases[] = {
      {5, false, 0, 0, 0, 5},  {4, false, 0, 0, 0, 4}, {9, false, 0, 0, 0, 5}, {5, true, 1, 2, 1, 3},
      {5, true, 1, 1, 1, 5},  // found at position 0: no change
      {5, true, 0, 2, 2, 1},  // flag 0: the pair (case - 1, step - 1) = (1, 1)
      {5, true, 1, 7, 1, 5},  // no such case
      {5, true, 0, 2, -3, 5},  // maps below step 1: ignored
      {0, false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TempDir dir;
    RunSpec s = SmallFrame(1);
    s.quads.clear();  // the shell state file would share the status file's name
    s.stored = c.stored;
    s.writeStatus = c.status;
    s.statusFlag = c.flag, s.statusCase = c.scase, s.statusStep = c.sstep;
    CFbResultSet rs;
    ASSERT_EQ(WriteAndLoad(dir, s, rs), 1);
    EXPECT_EQ(rs.m_nMaxStep, c.want) << c.stored << " " << c.flag << " " << c.scase << " " << c.sstep;
    EXPECT_EQ(rs.m_nStatusResult, c.status ? 1 : 0);
  }
}

TEST(FbResultSet, StaticStepCountCountsPayloadNotMarkers) {
  // One word a record: every word carries 8 marker bytes. Five steps of 36
  // words make 1620 bytes, which the plain length rule would take for 11
  // steps.
  TempDir dir;
  RunSpec s = SmallFrame(1);
  s.cases = {{1, 20, {}, {}}};
  s.recWords = 1;
  s.stored = 5;
  CFbResultSet rs;
  ASSERT_EQ(WriteAndLoad(dir, s, rs), 1);
  EXPECT_EQ(rs.m_nRecWords, 1);
  EXPECT_EQ(rs.m_nMaxStep, 5);
}

TEST(FbResultSet, ResultFilesAreFoundWhateverTheirCase) {
  TempDir dir;
  RunSpec s = SmallFrame(1);
  s.writeResults = false;
  const std::string in = dir.path() + "/frame.in";
  plat::WriteWholeFile(in, testrun::InText(s));
  // A .DIS of three steps, as copied from Windows.
  std::vector<uint32_t> words(3 * 36, 0);
  plat::WriteWholeFile(dir.path() + "/FRAME.DIS", testrun::RecordBytes(words, 9));
  CFbResultSet rs;
  ASSERT_EQ(LoadRun(in, rs, nullptr), 1);
  EXPECT_EQ(rs.m_nRecWords, 9);
  EXPECT_EQ(rs.m_nMaxStep, 3);
  EXPECT_EQ(rs.ResultPath(kFbDis), dir.path() + "/FRAME.DIS");
}

TEST(FbResultSet, DynamicTimeAndSideFiles) {
  TempDir dir;
  RunSpec s = SmallFrame(2);
  s.stored = 6;
  CFbResultSet rs;
  ASSERT_EQ(WriteAndLoad(dir, s, rs), 1);
  EXPECT_EQ(rs.m_nMaxStep, 6);
  ASSERT_EQ(rs.m_aTimes.GetCount(), 6);
  EXPECT_EQ(rs.m_aTimes.GetAt(0)->m_nNo, 1);
  EXPECT_EQ(rs.m_aTimes.GetAt(5)->m_nNo, 6);
  EXPECT_EQ(rs.m_aTimes.GetAt(5)->m_nIndex, -1);
  EXPECT_FLOAT_EQ(rs.m_aTimes.GetAt(2)->m_fTime, testrun::ExpectedTime(3));

  // A .tim of 40 bytes holds two times; one of 15 bytes none.
  for (auto [bytes, want] : {std::pair{40, 2}, std::pair{15, 0}}) {
    std::string tim(static_cast<size_t>(bytes), '\0');
    plat::WriteWholeFile(dir.path() + "/frame.tim", tim);
    CFbResultSet r;
    ASSERT_EQ(LoadRun(dir.path() + "/frame.in", r, nullptr), 1);
    EXPECT_EQ(r.m_nMaxStep, want);
    EXPECT_EQ(r.m_aTimes.GetCount(), want);
  }
}

TEST(FbResultSet, SideFile) {
  struct Case {
    const char* text;
    int n, s0, maxStep;
  } const cases[] = {
      {"0 0 0", 0, 0, 6},   // N 0, the time file's count stays
      {"10 0 4", 10, 0, 4},  // the limit replaces the count
      {"3", 3, 0, 6},
      {"5 -2 0", 5, 0, 6},  // a negative offset reads 0
      {"x", -1, 0, 6},      // not a number: N as computed
  };
  for (const Case& c : cases) {
    TempDir dir;
    RunSpec s = SmallFrame(2);
    const std::string in = testrun::WriteRun(dir.path(), "frame", s);
    plat::WriteWholeFile(dir.path() + "/frame.txt", c.text);
    CFbResultSet rs;
    ASSERT_EQ(LoadRun(in, rs, nullptr), 1);
    if (c.n >= 0) {
      EXPECT_EQ(rs.m_nBlkStep, c.n) << c.text;
    }
    EXPECT_EQ(rs.m_nBlkStart, c.s0) << c.text;
    EXPECT_EQ(rs.m_nMaxStep, c.maxStep) << c.text;
  }
}

TEST(FbResultSet, MissingTimeFileStillLoadsTheStructure) {
  TempDir dir;
  RunSpec s = SmallFrame(2);
  s.writeTim = false;
  CFbResultSet rs;
  std::string msg;
  ASSERT_EQ(WriteAndLoad(dir, s, rs, &msg), 2);
  EXPECT_EQ(msg, "時間情報ﾌｧｲﾙ" + dir.path() + "/frame.timが開けません");
  EXPECT_EQ(rs.m_model.m_bLoaded, 1);
  EXPECT_EQ(rs.m_model.m_aNodes.GetCount(), 6);
}

TEST(FbResultSet, ResultCodesAndMessages) {
  TempDir dir;
  RunSpec s = SmallFrame(1);
  s.writeResults = false;
  const std::string in = dir.path() + "/frame.in";
  const std::string text = testrun::InText(s);
  struct Case {
    std::string text;
    int code;
    std::string msg;
  } const cases[] = {
      {text.substr(0, text.find("\n", text.find("\n") + 1) + 1), 0,
       dir.path() + "/frameのﾌｧｲﾙ内容が不足しています\n3行目"},
      {"    1   20  zqn9\r\n", -1, "ﾒﾓﾘｵｰﾊﾞｰです\nﾌﾟﾛｸﾞﾗﾑ名zqn9が不明です"},
  };
  for (const Case& c : cases) {
    plat::WriteWholeFile(in, c.text);
    CFbResultSet rs;
    std::string msg;
    EXPECT_EQ(LoadRun(in, rs, &msg), c.code);
    EXPECT_EQ(msg, c.msg);
    EXPECT_EQ(rs.m_model.m_aNodes.GetCount(), 0);
  }
  // Without a message string the codes are the same.
  CFbResultSet rs;
  EXPECT_EQ(LoadRun(in, rs, nullptr), -1);
}

TEST(FbResultSet, EigenStepCountIsTheModeCount) {
  TempDir dir;
  RunSpec s = SmallFrame(3);
  s.modes = 12;
  s.stored = 12;
  CFbResultSet rs;
  ASSERT_EQ(WriteAndLoad(dir, s, rs), 1);
  EXPECT_EQ(rs.m_nMaxStep, 12);
  EXPECT_EQ(rs.m_nRecWords, 7);
  EXPECT_EQ(rs.m_aHeadWords[kFbMd], 12);

  TempDir dir2;
  s.writeResults = false;
  CFbResultSet rs2;
  ASSERT_EQ(WriteAndLoad(dir2, s, rs2), 1);
  EXPECT_EQ(rs2.m_nMaxStep, 0);
}

TEST(FbResultSet, DynamicStepCountLastFileDecides) {
  TempDir dir;
  RunSpec s = SmallFrame(2);
  s.stored = 100;
  s.writeTim = false;
  CFbResultSet rs;
  ASSERT_EQ(WriteAndLoad(dir, s, rs), 2);
  EXPECT_EQ(rs.m_nMaxStep, 100);
  // .sta with 99 steps: the last file that opens decides.
  std::vector<uint32_t> sta(static_cast<size_t>(99 * 30), 0);
  plat::WriteWholeFile(dir.path() + "/frame.sta", testrun::RecordBytes(sta, 7));
  rs.CountSteps();
  EXPECT_EQ(rs.m_nMaxStep, 99);
  // Split fibre files are not counted; .sta still is.
  std::vector<uint32_t> sig(static_cast<size_t>(50 * 90), 0);
  plat::WriteWholeFile(dir.path() + "/frame.sig", testrun::RecordBytes(sig, 7));
  plat::WriteWholeFile(dir.path() + "/frame.eps", testrun::RecordBytes(sig, 7));
  rs.m_nBlkStep = 500;
  plat::WriteWholeFile(dir.path() + "/frame.sta", "");
  rs.CountSteps();
  EXPECT_EQ(rs.m_nMaxStep, 0);
  EXPECT_EQ(rs.m_nRecWords, 7);
}

// One fibre: .sta, and .eps before version 20, hold one word per step, so
// the trailing marker of a short last record must not count as a step.
TEST(FbResultSet, DynamicStepCountOfOneWordSteps) {
  for (int version : {19, 20})
    for (int stored : {7, 8, 10, 13}) {
      TempDir dir;
      RunSpec s = SmallFrame(2);
      s.version = version;
      s.fibers = 1;
      s.stored = stored;
      s.writeTim = false;
      CFbResultSet rs;
      ASSERT_EQ(WriteAndLoad(dir, s, rs), 2);
      EXPECT_EQ(rs.m_nMaxStep, stored) << version << " " << stored;
      if (version < 20) {
        std::filesystem::remove(dir.path() + "/frame.sta");
        rs.CountSteps();
        EXPECT_EQ(rs.m_nMaxStep, stored) << "eps " << stored;
      }
    }
}

TEST(FbResultSet, StatusFileLines) {
  struct Case {
    const char* text;
    int result, flag, scase, step;
  } const cases[] = {
      {"a=1\nb=2\nc=3\n", 1, 1, 2, 3},
      {"a=1\nb=2\n", 0, 1, 2, 0},
      {"a=1\nb=2\nc3\n", 0, 1, 0, 0},
      {"a=1\nb2\nc=3\n", 0, 1, 0, 0},
      {"\x01\x02\x03 binary", 0, 0, 0, 0},
      {"x = 4 \ny=-2\nz= 7x", 1, 4, -2, 7},
  };
  for (const Case& c : cases) {
    CFbResultSet rs;
    rs.m_nStatusCase = rs.m_nStatusStep = rs.m_nStatusFlag = 9;
    auto ar = plat::LineReader::FromString(c.text);
    EXPECT_EQ(ReadStatusValues(*ar, rs), c.result) << c.text;
    EXPECT_EQ(rs.m_nStatusFlag, c.flag) << c.text;
    EXPECT_EQ(rs.m_nStatusCase, c.scase) << c.text;
    EXPECT_EQ(rs.m_nStatusStep, c.step) << c.text;
  }
}

TEST(FbLayout, WordPositions) {
  struct Case {
    int64_t w, d, byte;
  } const cases[] = {{0, 3, 4}, {2, 3, 12}, {3, 3, 24}, {6, 3, 44}, {5, 1, 4 + 20 + 40}, {0, 0, -1}, {-1, 3, -1},
                     {int64_t{1} << 62, 1, -1}};
  for (const Case& c : cases) EXPECT_EQ(FbWordOffset(c.w, c.d), c.byte) << c.w << "/" << c.d;

  // The last record's leading marker bounds its words: a full-length marker
  // (12) or garbage marks a cut record, a shorter one a short record whose
  // trailing marker is no word.
  struct Len {
    int64_t bytes, d;
    uint32_t marker;
    int64_t words;
  } const lens[] = {{0, 3, 12, 0},  {3, 3, 12, 0},  {20, 3, 12, 3}, {40, 3, 12, 6}, {44, 3, 12, 6},
                    {48, 3, 12, 7}, {52, 3, 12, 8}, {60, 3, 12, 9}, {30, 3, 12, 4}, {100, 0, 12, 0},
                    {48, 3, 0, 6},  {52, 3, 4, 7},  {56, 3, 8, 8},  {52, 3, 8, 8},  {52, 3, ~0u, 8}};
  for (const Len& l : lens)
    EXPECT_EQ(FbPayloadWords(l.bytes, l.d, l.marker), l.words) << l.bytes << "/" << l.d << "/" << l.marker;
}

TEST(FbLayout, BlockFiles) {
  CFbResultSet rs;
  rs.m_nMaxStep = 100;
  rs.m_nBlkStep = 10;
  rs.m_nBlkStart = 0;
  rs.m_strDir = "/run/";
  rs.m_strFileName = "beam";
  struct Case {
    int step, blk, offset;
    const char* suffix;
  } const cases[] = {{1, 1, 0, ""}, {11, 1, 10, ""}, {12, 2, 0, "1"}, {21, 2, 9, "1"}, {22, 3, 0, "2"}};
  for (const Case& c : cases) {
    EXPECT_EQ(rs.GetBlk(c.step), c.blk) << c.step;
    EXPECT_EQ(rs.GetOffset(c.step, 7), c.offset * 7) << c.step;
    EXPECT_EQ(rs.GetBlkSuffix(c.step), c.suffix) << c.step;
  }
  EXPECT_EQ(rs.GetBlockFileName(12, kFbSig), "/run/1beam.sig");
  EXPECT_EQ(rs.GetBlockFileName(22, kFbSig), "/run/2beam.sig");
  EXPECT_EQ(rs.GetBlockFileName(3, kFbSgs), "/run/beam.sgs");

  // A first block file that starts mid-way.
  rs.m_nBlkStart = 5;
  EXPECT_EQ(rs.GetBlk(1), 1);
  EXPECT_EQ(rs.GetOffset(1, 1), 5);

  // A step past the last: the message, block 1000 and offset 0.
  std::vector<std::string> shown;
  rs.m_fnShowMessage = [&](const std::string& t) { shown.push_back(t); };
  EXPECT_EQ(rs.GetBlk(101), 1000);
  EXPECT_EQ(rs.GetOffset(101, 7), 0);
  EXPECT_EQ(rs.GetBlkSuffix(101), "999");
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], "step > m_nMaxStep in GetBlk");
  EXPECT_EQ(shown[1], "step > m_nMaxStep in GetOffset");

  // Not split.
  rs.m_nBlkStep = 0;
  for (int k : {1, 2, 50}) {
    EXPECT_EQ(rs.GetBlkSuffix(k), "");
    EXPECT_EQ(rs.GetOffset(k, 13), (k - 1) * 13);
  }
}

TEST(FbResultSet, ResetForgetsTheRun) {
  TempDir dir;
  RunSpec s = SmallFrame(2);
  s.writeTxt = true;
  s.blkStep = 2;
  CFbResultSet rs;
  ASSERT_EQ(WriteAndLoad(dir, s, rs), 1);
  EXPECT_EQ(rs.m_nBlkStep, 2);
  rs.m_nBlkStart = 3;
  rs.Reset();
  EXPECT_EQ(rs.m_nBlkStep, 0);
  EXPECT_EQ(rs.m_nBlkStart, 0);
  EXPECT_EQ(rs.m_nMaxStep, 0);
  EXPECT_EQ(rs.m_nRecWords, 0);
  EXPECT_EQ(rs.m_bFiberShear, 0);
  EXPECT_EQ(rs.m_aTimes.GetCount(), 0);
  EXPECT_EQ(rs.m_model.m_aNodes.GetCount(), 0);
  EXPECT_EQ(rs.m_model.m_nAnaType, 0);
}

}  // namespace
