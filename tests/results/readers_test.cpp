// The result readers against runs written by the test run writer: every
// value of every reader for static, dynamic (split into block files) and
// eigen runs, and files cut short, empty or missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "dataset/fb_resultset.h"
#include "platform/text_lines.h"
#include "results/result_readers.h"
#include "results/test_run_writer.h"

namespace {

using testrun::ExpectedFloat;
using testrun::ExpectedState;
using testrun::RunSpec;
using testrun::SmallFrame;
using testrun::TempDir;

class WrittenRun {
 public:
  explicit WrittenRun(const RunSpec& spec) : m_spec(spec) {
    m_in = testrun::WriteRun(m_dir.path(), "frame", spec);
    Load();
  }
  int Load() {
    m_rs.Reset();
    m_rs.m_fnShowMessage = [this](const std::string& t) { m_shown.push_back(t); };
    auto ar = plat::LineReader::FromFile(m_in);
    return m_code = LoadAnalysisInput(*ar, m_in, m_rs, &m_msg);
  }
  std::string Path(const std::string& file) const { return m_dir.path() + "/" + file; }

  TempDir m_dir;
  RunSpec m_spec;
  std::string m_in;
  CFbResultSet m_rs;
  std::string m_msg;
  int m_code = 0;
  std::vector<std::string> m_shown;
};

// Every (case or step, step) argument pair of the stored steps, with its
// global step.
struct StepArgs {
  int a, b, g;
};
std::vector<StepArgs> AllSteps(const CFbResultSet& rs) {
  std::vector<StepArgs> out;
  for (int pos = 0; pos < rs.m_nMaxStep; ++pos) {
    int key = 0, step = 0;
    if (!rs.m_model.GetCaseStep(pos, key, step)) break;
    out.push_back({key, step, pos + 1});
  }
  return out;
}

void CheckNodeTable(const CFbOpBlock& t, int kind, int g, int nodes) {
  ASSERT_EQ(t.GetCount(), nodes);
  for (int j = 0; j < nodes; ++j) {
    const CFbOp* r = t.GetAt(j);
    ASSERT_EQ(typeid(*r), typeid(FbNOut));
    EXPECT_EQ(r->m_nNo, j + 1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(r->GetValue(i), ExpectedFloat(kind, g, j * 6 + i)) << g << " " << j;
  }
}

void CheckBeamTable(const CFbOpBlock& t, int g, int elems) {
  ASSERT_EQ(t.GetCount(), elems + 2);
  for (int i = 0; i < 12; ++i) {
    double lo = 1e300, hi = -1e300;
    for (int e = 0; e < elems; ++e) {
      const double v = ExpectedFloat(testrun::kFrc, g, e * 12 + i);
      EXPECT_EQ(t.GetAt(e)->GetValue(i), v);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    EXPECT_EQ(t.GetAt(elems)->GetValue(i), lo) << i;
    EXPECT_EQ(t.GetAt(elems + 1)->GetValue(i), hi) << i;
  }
}

void CheckFiberTables(CFbResultSet& rs, int a, int b, int g, int fibers, bool shear) {
  auto sig = ReadFiberResult(rs, a, b, 0);
  auto eps = ReadFiberResult(rs, a, b, 1);
  auto sta = ReadFiberResult(rs, a, b, 2);
  ASSERT_TRUE(sig) << rs.m_strLastError;
  ASSERT_TRUE(eps) << rs.m_strLastError;
  ASSERT_TRUE(sta) << rs.m_strLastError;
  EXPECT_EQ(sig->m_nCode & 0xFF0u, 0x510u);
  EXPECT_EQ(sig->m_nGStep, g);
  EXPECT_EQ(sig->m_nFlag, shear ? 1 : 0);
  ASSERT_EQ(sig->GetCount(), fibers + 2);
  ASSERT_EQ(eps->GetCount(), fibers + 2);
  const int w = shear ? 3 : 1;
  for (int c = 0; c < 3; ++c) {
    double lo = 1e300, hi = -1e300, elo = 1e300, ehi = -1e300;
    for (int k = 0; k < fibers; ++k) {
      const double v = ExpectedFloat(testrun::kSig, g, k * 3 + c);
      EXPECT_EQ(sig->GetAt(k)->GetValue(c), v);
      lo = std::min(lo, v), hi = std::max(hi, v);
      const double e = c < w ? ExpectedFloat(testrun::kEps, g, static_cast<int64_t>(k) * w + c) : 0.0;
      EXPECT_EQ(eps->GetAt(k)->GetValue(3 + c), e);
      elo = std::min(elo, e), ehi = std::max(ehi, e);
      EXPECT_EQ(static_cast<const FbFOut*>(sta->GetAt(k))->m_nState, ExpectedState(g, k));
    }
    EXPECT_EQ(sig->GetAt(fibers)->GetValue(c), lo);
    EXPECT_EQ(sig->GetAt(fibers + 1)->GetValue(c), hi);
    if (c < w) {
      EXPECT_EQ(eps->GetAt(fibers)->GetValue(3 + c), elo);
      EXPECT_EQ(eps->GetAt(fibers + 1)->GetValue(3 + c), ehi);
    }
  }
}

void CheckShellTables(CFbResultSet& rs, int a, int b, int g, int quads, int layers) {
  auto sgs = ReadShellResult(rs, 0, a, b);
  auto ess = ReadShellResult(rs, 1, a, b);
  auto st = ReadShellResult(rs, 2, a, b);
  ASSERT_TRUE(sgs) << rs.m_strLastError;
  ASSERT_TRUE(ess) << rs.m_strLastError;
  ASSERT_TRUE(st) << rs.m_strLastError;
  EXPECT_EQ(sgs->m_nCode & 0xFF0u, 0xB10u);
  EXPECT_EQ(ess->m_nCode & 0xFF0u, 0xC10u);
  EXPECT_EQ(sgs->m_nGStep, g);
  ASSERT_EQ(sgs->GetCount(), quads);
  ASSERT_EQ(ess->GetCount(), quads);
  const int64_t stride = static_cast<int64_t>(layers) * 24;
  for (int k = 0; k < quads; ++k) {
    const auto* s = static_cast<const FbQOut*>(sgs->GetAt(k));
    const auto* e = static_cast<const FbQOut*>(ess->GetAt(k));
    const auto* x = static_cast<const FbQOut*>(st->GetAt(k));
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(s->m_adValue[j][i], ExpectedFloat(testrun::kSgs, g, k * stride + i * 6 + j));
        EXPECT_EQ(e->m_adValue[j][i], ExpectedFloat(testrun::kEss, g, k * stride + i * 6 + j));
      }
      const double sx = s->m_adValue[0][i], sy = s->m_adValue[1][i], sz = s->m_adValue[2][i];
      const double t1 = s->m_adValue[3][i], t2 = s->m_adValue[4][i], t3 = s->m_adValue[5][i];
      const float mises = static_cast<float>(std::sqrt(
          0.5 * ((sx - sy) * (sx - sy) + (sy - sz) * (sy - sz) + (sz - sx) * (sz - sx)) + 3 * (t1 * t1 + t2 * t2 + t3 * t3)));
      EXPECT_EQ(s->m_adValue[FbQOut::kMises][i], mises);
      EXPECT_EQ(e->m_adValue[FbQOut::kMises][i], 0.0);
      EXPECT_EQ(x->m_anState[i], ExpectedState(g, static_cast<int64_t>(k) * layers * 4 + i));
    }
  }
}

TEST(FbReaders, StaticRunEveryReaderEveryStep) {
  WrittenRun run(SmallFrame(1));
  ASSERT_EQ(run.m_code, 1) << run.m_msg;
  CFbResultSet& rs = run.m_rs;
  ASSERT_EQ(rs.m_nMaxStep, 5);
  const std::vector<StepArgs> steps = AllSteps(rs);
  ASSERT_EQ(steps.size(), 5u);
  for (const StepArgs& s : steps) {
    auto dis = ReadNodeResult(rs, s.a, s.b);
    ASSERT_TRUE(dis) << rs.m_strLastError;
    EXPECT_EQ(dis->m_nCode, 0x110u);
    EXPECT_EQ(dis->m_nGStep, s.g);
    EXPECT_EQ(dis->m_nCase, s.a);
    EXPECT_EQ(dis->m_nStep, s.b);
    CheckNodeTable(*dis, testrun::kDis, s.g, 6);

    auto frc = ReadBeamForce(rs, s.a, s.b);
    ASSERT_TRUE(frc) << rs.m_strLastError;
    EXPECT_EQ(frc->m_nCode, 0x410u);
    CheckBeamTable(*frc, s.g, 3);

    CheckFiberTables(rs, s.a, s.b, s.g, 30, true);
    CheckShellTables(rs, s.a, s.b, s.g, 2, 2);
  }
  // The second case's first step is global step 4.
  auto t = ReadNodeResult(rs, 2, 1);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->m_nGStep, 4);
  // Pairs that do not exist.
  EXPECT_FALSE(ReadNodeResult(rs, 2, 3));
  EXPECT_FALSE(ReadBeamForce(rs, 9, 1));
  EXPECT_FALSE(ReadFiberResult(rs, 1, 0, 0));
  EXPECT_FALSE(ReadShellResult(rs, 0, 3, 1));
  EXPECT_FALSE(ReadFiberResult(rs, 1, 1, 3));
  EXPECT_FALSE(ReadModeShape(rs, 1));
  EXPECT_TRUE(run.m_shown.empty());
}

TEST(FbReaders, DynamicRunSplitIntoBlockFiles) {
  RunSpec spec = SmallFrame(2);
  spec.stored = 7;
  spec.blkStep = 2;  // blocks of steps 1-3, 4-5, 6-7
  spec.writeTxt = true;
  spec.recWords = 5;
  WrittenRun run(spec);
  ASSERT_EQ(run.m_code, 1) << run.m_msg;
  CFbResultSet& rs = run.m_rs;
  ASSERT_EQ(rs.m_nBlkStep, 2);
  ASSERT_EQ(rs.m_nMaxStep, 7);
  ASSERT_TRUE(std::filesystem::exists(run.Path("2frame.sig")));
  ASSERT_TRUE(std::filesystem::exists(run.Path("1frame.sgs")));
  ASSERT_FALSE(std::filesystem::exists(run.Path("1frame.dis")));
  for (int g = 1; g <= 7; ++g) {
    auto dis = ReadNodeResult(rs, g, 0);
    ASSERT_TRUE(dis) << rs.m_strLastError;
    EXPECT_EQ(dis->m_nCode, 0x111u);
    EXPECT_EQ(dis->m_nGStep, g);
    CheckNodeTable(*dis, testrun::kDis, g, 6);
    auto frc = ReadBeamForce(rs, g, 0);
    ASSERT_TRUE(frc) << rs.m_strLastError;
    EXPECT_EQ(frc->m_nCode, 0x411u);
    CheckBeamTable(*frc, g, 3);
    CheckFiberTables(rs, g, 0, g, 30, true);
    CheckShellTables(rs, g, 0, g, 2, 2);
  }
  EXPECT_FALSE(ReadNodeResult(rs, 0, 0));
  EXPECT_FALSE(ReadNodeResult(rs, 8, 0));  // past the file
  // A step past the last names block 1000, which does not exist: the
  // positioning message and the open failure are shown.
  run.m_shown.clear();
  EXPECT_FALSE(ReadFiberResult(rs, 8, 0, 0));
  ASSERT_GE(run.m_shown.size(), 2u);
  EXPECT_EQ(run.m_shown[0], "step > m_nMaxStep in GetBlk");
  EXPECT_NE(run.m_shown.back().find("999frame.sig"), std::string::npos);
}

TEST(FbReaders, DynamicRunBeforeVersion20HasOneStrainAFibre) {
  RunSpec spec = SmallFrame(2);
  spec.version = 19;
  WrittenRun run(spec);
  ASSERT_EQ(run.m_code, 1) << run.m_msg;
  for (int g = 1; g <= spec.stored; ++g) CheckFiberTables(run.m_rs, g, 0, g, 30, false);
  auto eps = ReadFiberResult(run.m_rs, 1, 0, 1);
  ASSERT_TRUE(eps);
  EXPECT_EQ(eps->m_astrTitles.size(), 9u);
  EXPECT_EQ(eps->GetAt(0)->GetValue(4), 0.0);
  EXPECT_EQ(eps->GetAt(0)->GetValue(5), 0.0);
}

TEST(FbReaders, EigenModes) {
  RunSpec spec = SmallFrame(3);
  spec.modes = 5;
  spec.stored = 5;
  spec.recWords = 4;
  WrittenRun run(spec);
  ASSERT_EQ(run.m_code, 1) << run.m_msg;
  CFbResultSet& rs = run.m_rs;
  EXPECT_EQ(rs.m_nMaxStep, 5);
  for (unsigned k = 1; k <= 5; ++k) {
    auto t = ReadModeShape(rs, k);
    ASSERT_TRUE(t) << rs.m_strLastError;
    EXPECT_EQ(t->m_nCode, 0x120u);
    EXPECT_EQ(t->m_astrTitles.size(), 19u);
    CheckNodeTable(*t, testrun::kMd, static_cast<int>(k), 6);
  }
  EXPECT_FALSE(ReadModeShape(rs, 0));
  EXPECT_FALSE(ReadModeShape(rs, 6));
  EXPECT_FALSE(ReadNodeResult(rs, 1, 0));

  // Mode count above what the file holds: the missing mode is refused.
  std::string text;
  ASSERT_TRUE(plat::ReadWholeFile(run.m_in, text));
  text.replace(text.rfind("       5"), 8, "       9");
  plat::WriteWholeFile(run.m_in, text);
  ASSERT_EQ(run.Load(), 1);
  EXPECT_TRUE(ReadModeShape(rs, 5));
  EXPECT_FALSE(ReadModeShape(rs, 9));
  EXPECT_FALSE(rs.m_strLastError.empty());
}

// Every file of a static run cut at every 4 bytes of its last step (and at
// 0): a reader either returns the whole step or no table with a reason,
// and never reads past the end.
TEST(FbReaders, FilesCutShort) {
  RunSpec spec = SmallFrame(1);
  spec.cases = {{1, 2, {}, {}}};
  spec.stored = 2;
  spec.recWords = 5;
  WrittenRun run(spec);
  ASSERT_EQ(run.m_code, 1);
  CFbResultSet& rs = run.m_rs;
  struct File {
    const char* ext;
    std::function<FbTablePtr()> read;
    bool shows;        // fibre and shell readers show where the file ended
    int64_t lastWord;  // the last word the reader needs
  } const files[] = {
      {".dis", [&] { return ReadNodeResult(rs, 1, 2); }, false, 2 * 36 - 1},
      {".frc", [&] { return ReadBeamForce(rs, 1, 2); }, false, 2 * 36 - 1},
      {".sig", [&] { return ReadFiberResult(rs, 1, 2, 0); }, true, 2 * 90 - 1},
      {".eps", [&] { return ReadFiberResult(rs, 1, 2, 1); }, true, 2 * 90 - 1},
      {".sta", [&] { return ReadFiberResult(rs, 1, 2, 2); }, true, 2 * 30 - 1},
      // Shells: layer 0 of the last element; its second layer is not read.
      {".sgs", [&] { return ReadShellResult(rs, 0, 1, 2); }, true, 96 + 48 + 23},
      {".ess", [&] { return ReadShellResult(rs, 1, 1, 2); }, true, 96 + 48 + 23},
      {".sts", [&] { return ReadShellResult(rs, 2, 1, 2); }, true, 16 + 8 + 3},
  };
  for (const File& f : files) {
    const std::string path = run.Path(std::string("frame") + f.ext);
    std::string full;
    ASSERT_TRUE(plat::ReadWholeFile(path, full));
    ASSERT_TRUE(f.read()) << f.ext << " " << rs.m_strLastError;
    const size_t half = full.size() / 2;
    const size_t needed = static_cast<size_t>(FbWordOffset(f.lastWord, spec.recWords)) + 4;
    for (size_t len = 0; len < full.size(); len += (len < half ? half : 4)) {
      plat::WriteWholeFile(path, full.substr(0, len));
      run.m_shown.clear();
      auto t = f.read();
      if (len >= needed) {
        EXPECT_TRUE(t) << f.ext << " cut at " << len;
        continue;
      }
      EXPECT_FALSE(t) << f.ext << " cut at " << len;
      EXPECT_FALSE(rs.m_strLastError.empty()) << f.ext << " cut at " << len;
      if (f.shows && len > 0) {
        ASSERT_EQ(run.m_shown.size(), 1u) << f.ext << " cut at " << len;
        EXPECT_EQ(run.m_shown[0].rfind("[1] ", 0), 0u);
        EXPECT_NE(run.m_shown[0].find(path), std::string::npos);
      }
    }
    std::filesystem::remove(path);
    EXPECT_FALSE(f.read()) << f.ext;
    EXPECT_FALSE(rs.m_strLastError.empty());
    plat::WriteWholeFile(path, full);
    EXPECT_TRUE(f.read()) << f.ext;
  }
}

TEST(FbReaders, NoRecordLengthNoTable) {
  // The record length comes from .dis: without it no word can be located.
  RunSpec spec = SmallFrame(2);
  WrittenRun run(spec);
  std::filesystem::remove(run.Path("frame.dis"));
  ASSERT_EQ(run.Load(), 1);
  EXPECT_EQ(run.m_rs.m_nRecWords, 0);
  EXPECT_GT(run.m_rs.m_nMaxStep, 0);
  EXPECT_FALSE(ReadBeamForce(run.m_rs, 1, 0));
  EXPECT_FALSE(ReadFiberResult(run.m_rs, 1, 0, 0));
  EXPECT_FALSE(ReadShellResult(run.m_rs, 0, 1, 0));
  EXPECT_NE(run.m_rs.m_strLastError.find("record length"), std::string::npos);
}

TEST(FbReaders, ShellsWithoutLayersGiveNoTable) {
  RunSpec spec = SmallFrame(1);
  spec.head33 = 12;  // below 24: no layer
  WrittenRun run(spec);
  ASSERT_EQ(run.m_code, 1);
  EXPECT_FALSE(ReadShellResult(run.m_rs, 0, 1, 1));
  EXPECT_TRUE(ReadNodeResult(run.m_rs, 1, 1));
}

TEST(FbReaders, NothingLoaded) {
  CFbResultSet rs;
  EXPECT_FALSE(ReadNodeResult(rs, 1, 1));
  EXPECT_FALSE(ReadBeamForce(rs, 1, 1));
  EXPECT_FALSE(ReadFiberResult(rs, 1, 1, 0));
  EXPECT_FALSE(ReadShellResult(rs, 0, 1, 1));
  EXPECT_FALSE(ReadModeShape(rs, 1));
}

}  // namespace
