// The result readers against runs written by the test run writer: every
// value of every reader for static, dynamic (split into block files) and
// eigen runs, and files cut short, empty or missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>

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
  explicit WrittenRun(const RunSpec& frameDesc) : m_spec(frameDesc) {
    m_in = testrun::WriteRun(m_dir.path(), "frame", frameDesc);
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
  RunSpec frameDesc = SmallFrame(2);
  frameDesc.stored = 7;
  frameDesc.blkStep = 2;  // blocks of steps 1-3, 4-5, 6-7
  frameDesc.writeTxt = true;
  frameDesc.recWords = 5;
  WrittenRun run(frameDesc);
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
  // A step past the file: a table without records.
  auto past = ReadNodeResult(rs, 8, 0);
  ASSERT_TRUE(past);
  EXPECT_EQ(past->GetCount(), 0);
  EXPECT_EQ(past->m_nGStep, 8);
  // A step past the last names block 1000, which does not exist: the
  // positioning message and the open failure are shown.
  run.m_shown.clear();
  EXPECT_FALSE(ReadFiberResult(rs, 8, 0, 0));
  ASSERT_GE(run.m_shown.size(), 2u);
  EXPECT_EQ(run.m_shown[0], "step > m_nMaxStep in GetBlk");
  EXPECT_NE(run.m_shown.back().find("999frame.sig"), std::string::npos);
}

TEST(FbReaders, DynamicRunBeforeVersion20HasOneStrainAFibre) {
  RunSpec frameDesc = SmallFrame(2);
  frameDesc.version = 19;
  WrittenRun run(frameDesc);
  ASSERT_EQ(run.m_code, 1) << run.m_msg;
  for (int g = 1; g <= frameDesc.stored; ++g) CheckFiberTables(run.m_rs, g, 0, g, 30, false);
  auto eps = ReadFiberResult(run.m_rs, 1, 0, 1);
  ASSERT_TRUE(eps);
  EXPECT_EQ(eps->m_astrTitles.size(), 9u);
  EXPECT_EQ(eps->GetAt(0)->GetValue(4), 0.0);
  EXPECT_EQ(eps->GetAt(0)->GetValue(5), 0.0);
}

TEST(FbReaders, EigenModes) {
  RunSpec frameDesc = SmallFrame(3);
  frameDesc.modes = 5;
  frameDesc.stored = 5;
  frameDesc.recWords = 4;
  WrittenRun run(frameDesc);
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

// Every file of a static run cut at every 2 bytes of its last step (and at
// 0): a reader keeps the records read so far. Node, beam and made-while-
// reading tables hold the whole items only; tables made before reading
// (fibre strain and state, shell strain and state) have a record for every
// item begun in the file, with the words that were read. A fibre or shell word that starts beyond the
// end of the file is shown once; one cut inside the file is not.
TEST(FbReaders, FilesCutShort) {
  RunSpec frameDesc = SmallFrame(1);
  frameDesc.cases = {{1, 2, {}, {}}};
  frameDesc.stored = 2;
  frameDesc.recWords = 5;
  WrittenRun run(frameDesc);
  ASSERT_EQ(run.m_code, 1);
  CFbResultSet& rs = run.m_rs;
  constexpr int kStep = 2;
  enum Shape { kMade, kMadeMinMax, kMadeMinMaxIfWhole, kFilled, kFilledMinMax };
  using Value = std::function<double(const CFbOp&, int)>;
  const Value plain = [](const CFbOp& r, int i) { return r.GetValue(i); };
  const Value strain = [](const CFbOp& r, int i) { return r.GetValue(3 + i); };
  const Value fibreState = [](const CFbOp& r, int) { return static_cast<const FbFOut&>(r).m_nState; };
  const Value shell = [](const CFbOp& r, int i) { return static_cast<const FbQOut&>(r).m_adValue[i % 6][i / 6]; };
  const Value shellState = [](const CFbOp& r, int i) { return static_cast<const FbQOut&>(r).m_anState[i]; };
  struct File {
    const char* ext;
    int kind;  // testrun kind of the values
    std::function<FbTablePtr()> read;
    Shape shape;
    int items, stride, words;  // items of the model; words a item in the step; words read a item
    bool shows;                // fibre and shell readers show a word beyond the end
    Value value;
  } const files[] = {
      {".dis", testrun::kDis, [&] { return ReadNodeResult(rs, 1, kStep); }, kMade, 6, 6, 6, false, plain},
      {".frc", testrun::kFrc, [&] { return ReadBeamForce(rs, 1, kStep); }, kMadeMinMax, 3, 12, 12, false, plain},
      {".sig", testrun::kSig, [&] { return ReadFiberResult(rs, 1, kStep, 0); }, kMadeMinMaxIfWhole, 30, 3, 3, true,
       plain},
      {".eps", testrun::kEps, [&] { return ReadFiberResult(rs, 1, kStep, 1); }, kFilledMinMax, 30, 3, 3, true, strain},
      {".sta", testrun::kSta, [&] { return ReadFiberResult(rs, 1, kStep, 2); }, kFilledMinMax, 30, 1, 1, true,
       fibreState},
      // Shells: layer 0 of each element; its second layer is not read.
      {".sgs", testrun::kSgs, [&] { return ReadShellResult(rs, 0, 1, kStep); }, kMade, 2, 48, 24, true, shell},
      {".ess", testrun::kEss, [&] { return ReadShellResult(rs, 1, 1, kStep); }, kFilled, 2, 48, 24, true, shell},
      {".sts", testrun::kShellState, [&] { return ReadShellResult(rs, 2, 1, kStep); }, kFilled, 2, 8, 4, true,
       shellState},
  };
  for (const File& f : files) {
    const std::string path = run.Path(std::string("frame") + f.ext);
    std::string full;
    ASSERT_TRUE(plat::ReadWholeFile(path, full));
    const bool state = f.kind == testrun::kSta || f.kind == testrun::kShellState;
    auto expected = [&](int k, int i) -> double {
      const int64_t w = static_cast<int64_t>(k) * f.stride + i;
      return state ? ExpectedState(kStep, w) : ExpectedFloat(f.kind, kStep, w);
    };
    const int64_t start = static_cast<int64_t>(kStep - 1) * f.items * f.stride;
    const size_t stepByte = static_cast<size_t>(FbWordOffset(start, frameDesc.recWords));
    std::vector<size_t> lengths = {0, 3};
    for (size_t len = stepByte - 8; len <= full.size(); len += 2) lengths.push_back(len);
    for (const size_t len : lengths) {
      plat::WriteWholeFile(path, full.substr(0, len));
      run.m_shown.clear();
      auto fits = [&](int k, int i) {
        return FbWordOffset(start + static_cast<int64_t>(k) * f.stride + i, frameDesc.recWords) + 4 <= static_cast<int64_t>(len);
      };
      // Whole items, and the first word that is missing.
      int whole = 0;
      while (whole < f.items && fits(whole, f.words - 1)) ++whole;
      int firstMissing = 0;
      while (whole < f.items && firstMissing < f.words && fits(whole, firstMissing)) ++firstMissing;

      auto t = f.read();
      ASSERT_TRUE(t) << f.ext << " cut at " << len << ": " << rs.m_strLastError;
      const bool made = f.shape == kMade || f.shape == kMadeMinMax || f.shape == kMadeMinMaxIfWhole;
      // Tables made before reading get a record for every item whose first
      // word is in the file.
      const int rows = made ? whole : whole + (whole < f.items && fits(whole, 0) ? 1 : 0);
      const bool minMax = f.shape == kMadeMinMax || f.shape == kFilledMinMax ||
                          (f.shape == kMadeMinMaxIfWhole && whole == f.items);
      ASSERT_EQ(t->GetCount(), rows + (minMax ? 2 : 0)) << f.ext << " cut at " << len;
      for (int k = 0; k < rows; ++k) {
        for (int i = 0; i < f.words; ++i) {
          const bool read = k < whole || (k == whole && i < firstMissing);
          EXPECT_EQ(f.value(*t->GetAt(k), i), read ? expected(k, i) : 0.0) << f.ext << " cut at " << len << " " << k;
        }
      }
      if (minMax && !state) {
        for (int i = 0; i < f.words; ++i) {
          double lo = f.shape == kMadeMinMax ? std::numeric_limits<double>::max() : 0.0;
          double hi = f.shape == kMadeMinMax ? -std::numeric_limits<double>::max() : 0.0;
          if (f.shape == kMadeMinMax || whole == f.items) {
            // Every value read counts, also those of an item cut short.
            const int last = whole < f.items && i < firstMissing ? whole : whole - 1;
            for (int k = 0; k <= last; ++k) lo = std::min(lo, expected(k, i)), hi = std::max(hi, expected(k, i));
            if (f.shape != kMadeMinMax && last < 0) lo = hi = 0.0;
          }
          EXPECT_EQ(f.value(*t->GetAt(rows), i), lo) << f.ext << " cut at " << len << " column " << i;
          EXPECT_EQ(f.value(*t->GetAt(rows + 1), i), hi) << f.ext << " cut at " << len << " column " << i;
        }
      }
      const bool beyond = whole < f.items &&
                          FbWordOffset(start + static_cast<int64_t>(whole) * f.stride + firstMissing, frameDesc.recWords) >
                              static_cast<int64_t>(len);
      if (f.shows && beyond) {
        ASSERT_EQ(run.m_shown.size(), 1u) << f.ext << " cut at " << len;
        EXPECT_EQ(run.m_shown[0].rfind("[1] ", 0), 0u);
        EXPECT_NE(run.m_shown[0].find(path), std::string::npos);
      } else {
        EXPECT_TRUE(run.m_shown.empty()) << f.ext << " cut at " << len;
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
  RunSpec frameDesc = SmallFrame(2);
  WrittenRun run(frameDesc);
  std::filesystem::remove(run.Path("frame.dis"));
  ASSERT_EQ(run.Load(), 1);
  EXPECT_EQ(run.m_rs.m_nRecWords, 0);
  EXPECT_GT(run.m_rs.m_nMaxStep, 0);
  EXPECT_FALSE(ReadBeamForce(run.m_rs, 1, 0));
  EXPECT_FALSE(ReadFiberResult(run.m_rs, 1, 0, 0));
  EXPECT_FALSE(ReadShellResult(run.m_rs, 0, 1, 0));
  EXPECT_NE(run.m_rs.m_strLastError.find("record length"), std::string::npos);
}

// Counts from a damaged header: tables made before reading get no more
// records than their file holds for the step, and a model of more fibres
// than a table takes is refused at once, with the message shown.
TEST(FbReaders, HeaderCountsBeyondTheFile) {
  WrittenRun run(SmallFrame(1));
  ASSERT_EQ(run.m_code, 1);
  CFbResultSet& rs = run.m_rs;
  // Every item the whole file could hold from the first step on (one begun
  // in a short last record too), and the minimum and maximum rows.
  auto most = [&](const char* name, int64_t stride) {
    const int64_t size = static_cast<int64_t>(std::filesystem::file_size(run.Path(name)));
    return static_cast<int>(FbPayloadWords(size, rs.m_nRecWords, UINT32_MAX) / stride) + 3;
  };
  const int64_t layers = rs.m_model.m_nLayers;
  struct Case {
    int* count;
    int claimed;
    std::function<FbTablePtr()> read;
    int most;  // records at most (-1: refused)
  } const cases[] = {
      {&rs.m_model.m_nFibers, 1000000, [&] { return ReadFiberResult(rs, 1, 1, 1); },
       most("frame.eps", rs.m_bFiberShear ? 3 : 1)},
      {&rs.m_model.m_nFibers, 1000000, [&] { return ReadFiberResult(rs, 1, 1, 2); }, most("frame.sta", 1)},
      {&rs.m_model.m_nQuads, 1000000, [&] { return ReadShellResult(rs, 1, 1, 1); }, most("frame.ess", layers * 24)},
      {&rs.m_model.m_nQuads, 1000000, [&] { return ReadShellResult(rs, 2, 1, 1); }, most("frame.sts", layers * 4)},
      {&rs.m_model.m_nFibers, 1048575, [&] { return ReadFiberResult(rs, 1, 1, 0); }, -1},
      {&rs.m_model.m_nFibers, 8100000, [&] { return ReadFiberResult(rs, 1, 1, 1); }, -1},
  };
  for (const Case& c : cases) {
    const int kept = *c.count;
    *c.count = c.claimed;
    run.m_shown.clear();
    FbTablePtr t = c.read();
    *c.count = kept;
    if (c.most < 0) {
      EXPECT_FALSE(t) << c.claimed;
      ASSERT_EQ(run.m_shown.size(), 1u) << c.claimed;
      EXPECT_EQ(run.m_shown[0].rfind("ﾒﾓﾘｵｰﾊﾞｰです\n", 0), 0u) << run.m_shown[0];
    } else {
      ASSERT_TRUE(t) << rs.m_strLastError;
      EXPECT_LE(t->GetCount(), c.most);
    }
  }
}

TEST(FbReaders, ShellsWithoutLayersGiveNoTable) {
  RunSpec frameDesc = SmallFrame(1);
  frameDesc.head33 = 12;  // below 24: no layer
  WrittenRun run(frameDesc);
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

namespace {

// Static runs with several load cases whose keys are not in order: every
// (key, step) reads its global step from every result file; the status file
// and a short .dis bound the step count, and a step past the file gives
// tables without item rows.
TEST(FbReaders, StaticRunSeveralLoadCases) {
  struct Case {
    int stored;
    bool status;
    int flag, scase, sstep;
    int maxStep;
  } const cases[] = {
      {6, false, 0, 0, 0, 6},
      {4, false, 0, 0, 0, 4},  // .dis shorter than the cases
      {6, true, 1, 9, 1, 3},   // status: case 9, step 1 is position 3
      {6, true, 0, 3, 1, 2},   // flag 0: the pair (2, 0) is global step 2
  };
  // (key, step, global step)
  const StepArgs pairs[] = {{5, 1, 1}, {5, 2, 2}, {2, 1, 3}, {9, 1, 4}, {9, 2, 5}, {9, 3, 6}};
  for (const Case& c : cases) {
    RunSpec frameDesc = SmallFrame(1);
    frameDesc.cases = {{5, 2, {}, {}}, {2, 1, {}, {}}, {9, 3, {}, {}}};
    frameDesc.stored = c.stored;
    frameDesc.writeStatus = c.status;
    frameDesc.statusFlag = c.flag, frameDesc.statusCase = c.scase, frameDesc.statusStep = c.sstep;
    WrittenRun run(frameDesc);
    ASSERT_EQ(run.m_code, 1) << run.m_msg;
    CFbResultSet& rs = run.m_rs;
    EXPECT_EQ(rs.m_nMaxStep, c.maxStep) << c.stored << " " << c.scase;
    for (const StepArgs& p : pairs) {
      int key = 0, step = 0;
      ASSERT_TRUE(rs.m_model.GetCaseStep(p.g - 1, key, step));
      EXPECT_EQ(key, p.a);
      EXPECT_EQ(step, p.b);
      auto dis = ReadNodeResult(rs, p.a, p.b);
      auto frc = ReadBeamForce(rs, p.a, p.b);
      auto sig = ReadFiberResult(rs, p.a, p.b, 0);
      run.m_shown.clear();
      auto sgs = ReadShellResult(rs, 0, p.a, p.b);
      if (p.g > c.maxStep) {
        // Shell files always go through the block arithmetic, which refuses
        // a step past the count: block 1000, a file that does not exist.
        EXPECT_FALSE(sgs);
        ASSERT_FALSE(run.m_shown.empty());
        EXPECT_EQ(run.m_shown[0], "step > m_nMaxStep in GetBlk");
        EXPECT_NE(run.m_shown.back().find("999frame.sgs"), std::string::npos);
      }
      ASSERT_TRUE(dis && frc && sig) << p.a << "/" << p.b << " " << rs.m_strLastError;
      for (const CFbOpBlock* t : {dis.get(), frc.get(), sig.get()}) {
        EXPECT_EQ(t->m_nGStep, p.g);
        EXPECT_EQ(t->m_nCase, p.a);
        EXPECT_EQ(t->m_nStep, p.b);
      }
      if (sgs) {
        EXPECT_EQ(sgs->m_nGStep, p.g);
        EXPECT_EQ(sgs->m_nCase, 0);  // shell tables keep only the global step
      }
      if (p.g <= c.stored) {
        CheckNodeTable(*dis, testrun::kDis, p.g, 6);
        CheckBeamTable(*frc, p.g, 3);
        ASSERT_EQ(sig->GetCount(), 32);
        EXPECT_EQ(sig->GetAt(29)->GetValue(2), ExpectedFloat(testrun::kSig, p.g, 29 * 3 + 2));
        if (sgs) {
          EXPECT_EQ(static_cast<const FbQOut*>(sgs->GetAt(1))->m_adValue[5][3],
                    ExpectedFloat(testrun::kSgs, p.g, 48 + 3 * 6 + 5));
        }
      } else {
        // Past the end of the files: no item rows; the beam table still
        // ends with the initial extremes.
        EXPECT_EQ(dis->GetCount(), 0);
        ASSERT_EQ(frc->GetCount(), 2);
        EXPECT_EQ(frc->GetAt(0)->GetValue(4), std::numeric_limits<double>::max());
        EXPECT_EQ(frc->GetAt(1)->GetValue(4), -std::numeric_limits<double>::max());
        EXPECT_EQ(sig->GetCount(), 0);
      }
    }
    EXPECT_FALSE(ReadNodeResult(rs, 5, 3));
    EXPECT_FALSE(ReadNodeResult(rs, 1, 1));
  }
}

// A dynamic run: the time file sets the step count, the side file's limit
// replaces it; every step up to it reads with its time-step number.
TEST(FbReaders, DynamicRunTimeFile) {
  struct Case {
    int timRecords;
    const char* txt;  // side file, or null
    int maxStep;
  } const cases[] = {{6, nullptr, 6}, {4, nullptr, 4}, {6, "0 0 3", 3}, {5, "0 0 0", 5}, {0, nullptr, 0}};
  for (const Case& c : cases) {
    RunSpec frameDesc = SmallFrame(2);
    frameDesc.stored = 6;
    WrittenRun run(frameDesc);
    ASSERT_EQ(run.m_code, 1);
    std::vector<uint32_t> tim;
    for (int k = 1; k <= c.timRecords; ++k) {
      tim.push_back(testrun::FloatBits(testrun::ExpectedTime(k)));
      tim.push_back(0);
    }
    plat::WriteWholeFile(run.Path("frame.tim"), testrun::RecordBytes(tim, 2));
    if (c.txt) plat::WriteWholeFile(run.Path("frame.txt"), c.txt);
    ASSERT_EQ(run.Load(), 1);
    CFbResultSet& rs = run.m_rs;
    EXPECT_EQ(rs.m_nMaxStep, c.maxStep) << c.timRecords;
    ASSERT_EQ(rs.m_aTimes.GetCount(), c.timRecords);
    for (int k = 0; k < c.timRecords; ++k) {
      EXPECT_EQ(rs.m_aTimes.GetAt(k)->GetValue(0), testrun::ExpectedTime(k + 1));
      // Numbers go on from the list's next id, which emptying keeps.
      EXPECT_EQ(rs.m_aTimes.GetAt(k)->m_nNo, rs.m_aTimes.GetAt(0)->m_nNo + k);
      EXPECT_EQ(rs.m_aTimes.GetAt(k)->m_nIndex, -1);
    }
    const std::vector<StepArgs> steps = AllSteps(rs);
    ASSERT_EQ(static_cast<int>(steps.size()), c.maxStep);
    for (const StepArgs& s : steps) {
      EXPECT_EQ(s.a, s.g);
      EXPECT_EQ(s.b, 0);
      auto dis = ReadNodeResult(rs, s.a, s.b);
      ASSERT_TRUE(dis);
      EXPECT_EQ(dis->m_nCode, 0x111u);
      EXPECT_EQ(dis->m_nGStep, s.g);
      EXPECT_EQ(dis->m_nCase, 0);
      CheckNodeTable(*dis, testrun::kDis, s.g, 6);
      CheckFiberTables(rs, s.a, s.b, s.g, 30, true);
      CheckShellTables(rs, s.a, s.b, s.g, 2, 2);
    }
  }
}

// Long dynamic runs split into block files (N from the side file): the
// files of every block exist, and every step reads its values from the
// block that holds it, whatever the record length.
TEST(FbReaders, LongRunBlockFiles) {
  struct Case {
    int n, stored, recWords;
  } const cases[] = {{1, 5, 3}, {3, 11, 7}, {4, 5, 2}, {2, 9, 1}, {5, 17, 100}};
  for (const Case& c : cases) {
    RunSpec frameDesc = SmallFrame(2);
    frameDesc.blkStep = c.n;
    frameDesc.stored = c.stored;
    frameDesc.recWords = c.recWords;
    frameDesc.writeTxt = true;
    WrittenRun run(frameDesc);
    ASSERT_EQ(run.m_code, 1) << run.m_msg;
    CFbResultSet& rs = run.m_rs;
    ASSERT_EQ(rs.m_nBlkStep, c.n);
    ASSERT_EQ(rs.m_nMaxStep, c.stored);
    ASSERT_EQ(rs.m_nRecWords, c.recWords);
    int lastBlock = 1, pos = 0;
    testrun::BlockOf(c.stored, c.n, lastBlock, pos);
    for (int b = 1; b <= lastBlock + 1; ++b) {
      const std::string prefix = b == 1 ? "" : plat::Format("%d", b - 1);
      for (const char* ext : {".sig", ".eps", ".sta", ".sgs", ".ess", ".sts"})
        EXPECT_EQ(std::filesystem::exists(run.Path(prefix + "frame" + ext)), b <= lastBlock) << prefix << ext;
      if (b > 1) {
        EXPECT_FALSE(std::filesystem::exists(run.Path(prefix + "frame.dis")));
        EXPECT_FALSE(std::filesystem::exists(run.Path(prefix + "frame.frc")));
      }
    }
    for (int g = 1; g <= c.stored; ++g) {
      int block = 0;
      testrun::BlockOf(g, c.n, block, pos);
      EXPECT_EQ(rs.GetBlk(g), block) << g;
      EXPECT_EQ(rs.GetOffset(g, 1), pos) << g;
      CheckFiberTables(rs, g, 0, g, 30, true);
      CheckShellTables(rs, g, 0, g, 2, 2);
      auto frc = ReadBeamForce(rs, g, 0);
      ASSERT_TRUE(frc);
      CheckBeamTable(*frc, g, 3);
    }
    EXPECT_TRUE(run.m_shown.empty());
  }
}

// Mode k of an eigen run lies behind the M words of the mode count, n x 6
// words a mode, whatever the record length.
TEST(FbReaders, EigenModePositions) {
  struct Case {
    int modes, recWords;
  } const cases[] = {{1, 1}, {5, 4}, {12, 100}, {3, 37}, {7, 36}};
  for (const Case& c : cases) {
    RunSpec frameDesc = SmallFrame(3);
    frameDesc.modes = c.modes;
    frameDesc.stored = c.modes;
    frameDesc.recWords = c.recWords;
    WrittenRun run(frameDesc);
    ASSERT_EQ(run.m_code, 1) << run.m_msg;
    CFbResultSet& rs = run.m_rs;
    EXPECT_EQ(rs.m_nMaxStep, c.modes);
    EXPECT_EQ(rs.m_nRecWords, c.recWords);
    for (int k = 1; k <= c.modes; ++k) {
      int key = 0, step = -1;
      ASSERT_TRUE(rs.m_model.GetCaseStep(k - 1, key, step));
      EXPECT_EQ(key, k);
      EXPECT_EQ(step, 0);
      EXPECT_EQ(rs.m_model.GetStepIndex(key, step), k);
      auto t = ReadModeShape(rs, static_cast<unsigned>(k));
      ASSERT_TRUE(t) << rs.m_strLastError;
      EXPECT_EQ(rs.m_aHeadWords[kFbMd], c.modes);
      EXPECT_EQ(t->m_nGStep, 0);  // mode tables keep no step
      EXPECT_EQ(t->m_nCase, 0);
      CheckNodeTable(*t, testrun::kMd, k, 6);
    }
  }
}

// A result file that does not open gives no table; only the stress readers
// of fibres in a block file and of shells show the system's reason.
TEST(FbReaders, OpenFailures) {
  struct Case {
    int type;
    int blkStep;    // side file N (dynamic)
    const char* removed;
    int reader;     // 0 fibre, 1 shell
    int kind;
    int g;
    bool shows;
  } const cases[] = {
      {1, 0, "frame.sig", 0, 0, 1, false}, {1, 0, "frame.eps", 0, 1, 1, false},
      {2, 2, "1frame.sig", 0, 0, 4, true}, {2, 2, "1frame.eps", 0, 1, 4, false},
      {2, 2, "1frame.sta", 0, 2, 4, false}, {1, 0, "frame.sgs", 1, 0, 1, true},
      {1, 0, "frame.ess", 1, 1, 1, false}, {2, 2, "2frame.sgs", 1, 0, 6, true},
      {2, 2, "2frame.sts", 1, 2, 6, false},
  };
  for (const Case& c : cases) {
    RunSpec frameDesc = SmallFrame(c.type);
    frameDesc.stored = c.type == 1 ? 5 : 7;
    frameDesc.blkStep = c.blkStep;
    frameDesc.writeTxt = c.type == 2;
    WrittenRun run(frameDesc);
    ASSERT_EQ(run.m_code, 1) << run.m_msg;
    ASSERT_TRUE(std::filesystem::remove(run.Path(c.removed))) << c.removed;
    int a = c.g, b = 0;
    if (c.type == 1) {
      ASSERT_TRUE(run.m_rs.m_model.GetCaseStep(c.g - 1, a, b));
    }
    auto t = c.reader == 0 ? ReadFiberResult(run.m_rs, a, b, c.kind) : ReadShellResult(run.m_rs, c.kind, a, b);
    EXPECT_FALSE(t) << c.removed;
    EXPECT_NE(run.m_rs.m_strLastError.find(c.removed), std::string::npos) << run.m_rs.m_strLastError;
    ASSERT_EQ(run.m_shown.size(), c.shows ? 1u : 0u) << c.removed;
    if (c.shows) {
      EXPECT_LE(run.m_shown[0].size(), 100u);
      EXPECT_NE(run.m_shown[0].find(c.removed), std::string::npos) << run.m_shown[0];
    }
  }
}

}  // namespace
