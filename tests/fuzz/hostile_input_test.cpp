// Hostile inputs that fuzzing reaches slowly or not at all: extreme counts,
// very long lines, very long paths, files cut inside every kind of record
// and result files whose record markers lie. Built with the fuzz targets,
// so every case runs under ASan and UBSan; each case states what the
// reader must still do.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dataset/fb_resultset.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "fuzz/fuzz_util.h"
#include "model/beam_records.h"
#include "model/fem_input.h"
#include "modelviewer/data/elem_color_file.h"
#include "modelviewer/data/grid_model.h"
#include "platform/binary_file.h"
#include "platform/numbers.h"
#include "platform/text_lines.h"
#include "results/result_readers.h"
#include "results/test_run_writer.h"
#include "viewer/color_table.h"
#include "viewer/display_model.h"
#include "viewer/eye_file.h"
#include "viewer/view_settings.h"

namespace {

const char* const kExtremeCounts[] = {"2147483647", "-2147483648", "99999999999", "-1"};

std::string LongLine(size_t n, char c = '7') { return std::string(n, c); }

// A path of more than 4096 bytes under the temporary folder (the folders do
// not exist; the system refuses such a name outright).
std::string OverlongPath(const std::string& leaf) {
  std::string p = fuzz::ProcessDir();
  while (p.size() < 5000) p += std::string(200, 'd') + "/";
  return p + leaf;
}

// The keyword data file as the model viewer's worker takes it.
struct LoadedDataSet {
  CIpDataSet ds;
  CModelStats stats;
  CDispModel model;
  bool counted = false;
};

std::unique_ptr<LoadedDataSet> LoadDat(const std::string& text) {
  auto out = std::make_unique<LoadedDataSet>();
  auto in = plat::LineReader::FromString(text);
  {
    ColumnModeScope wide(1);
    BeamFormatScope beams(g_nBeamFormat);
    out->ds.Read(*in);
  }
  out->ds.LinkNodes();
  out->ds.BuildPropList();
  out->ds.CalcElemAxes();
  out->counted = out->stats.CountIp(out->ds);
  if (out->counted) out->model.BuildDisplayModel(out->ds, out->stats);
  return out;
}

// A small keyword model in wide columns: nodes, an element, a material, a
// fibre section and a shell.
std::string SmallDat(const std::string& nodeCount = "") {
  auto ints = [](std::initializer_list<int> v) {
    std::string s;
    for (int x : v) s += plat::Format("%10d", x);
    return s;
  };
  auto node = [](int no, double x, double y, double z) {
    return plat::Format("%10d%10s%10s%15.4f%15.4f%15.4f", no, "", "", x, y, z);
  };
  std::string t = "/title\r\nhostile\r\n/nodes\r\n";
  t += node(1, 0, 0, 0) + "\r\n" + node(2, 1, 0, 0) + "\r\n" + node(3, 1, 1, 0) + "\r\n" + node(4, 0, 1, 0) + "\r\n";
  if (!nodeCount.empty()) t += plat::Format("%10s", nodeCount.c_str()) + std::string(20, ' ') + "        1.0\r\n";
  t += "/elements\r\n" + ints({1, 0, 0, 1, 1, 2}) + "\r\n" + ints({2, 0, 0, 1, 2, 3}) + "\r\n";
  t += "/materials\r\n" + ints({1, 0}) + "205000.000  0.300000 78.500000\r\n";
  t += "/sections\r\n" + ints({1, 1, 0, 1}) + "1 1         " + "   " + ints({0}) +
       "  0.000000  0.000000  1.000000  0.000000  0.000000" + ints({0}) + "\r\n";
  t += ints({4, 2}) + " -0.100000  0.000000  0.100000  0.000000  0.020000  0.020000" + ints({1, 0}) + "\r\n";
  t += "/pshell\r\n" + ints({1, 0}) + "  0.200000" + ints({2, 3}) + "\r\n";
  t += "/cquad\r\n" + ints({1, 0, 0, 1, 1, 2, 3, 4}) + "\r\n";
  return t;
}

// A run of the given analysis type in a fresh folder.
struct RunFolder {
  testrun::RunSpec frameDesc;
  std::string dir;
  std::string in;
};

RunFolder WriteRun(int type, const std::string& name) {
  RunFolder r;
  r.frameDesc = testrun::SmallFrame(type);
  r.dir = fuzz::FreshDir(name);
  r.in = testrun::WriteRun(r.dir, "run", r.frameDesc);
  return r;
}

// Opens the run as the results viewer does; the loader's result.
int OpenRun(const std::string& inPath, CFbResultSet& rs, const std::string* text = nullptr) {
  rs.m_fnShowMessage = [](const std::string&) {};
  std::unique_ptr<plat::LineReader> in = text ? plat::LineReader::FromString(*text) : plat::LineReader::FromFile(inPath);
  if (!in) return -100;
  std::string msg;
  const int r = LoadAnalysisInput(*in, inPath, rs, &msg);
  rs.m_model.Link();
  CModelStats stats;
  if (stats.CountFb(rs.m_model)) {
    CDispModel model;
    model.BuildDisplayModelIn(rs.m_model, stats);
  }
  return r;
}

// The first steps the dialogs offer (and one past them), through every
// reader; a table or a reason.
void ReadEveryStep(CFbResultSet& rs) {
  const int steps = std::min(rs.m_nMaxStep, 8);
  for (int g = 0; g <= steps; ++g) {
    int a = 0, b = 0;
    if (!rs.m_model.GetCaseStep(g, a, b)) {
      a = g + 1;
      b = 0;
    }
    auto check = [&](FbTablePtr t) { EXPECT_TRUE(t != nullptr || !rs.m_strLastError.empty()); };
    check(ReadNodeResult(rs, a, b));
    check(ReadBeamForce(rs, a, b));
    for (int kind = 0; kind < 3; ++kind) {
      check(ReadFiberResult(rs, a, b, kind));
      check(ReadShellResult(rs, kind, a, b));
    }
  }
  for (unsigned m = 0; m <= 5; ++m) ReadModeShape(rs, m);
}

// --- extreme counts ----------------------------------------------------------

TEST(HostileCounts, ColorTableCountIsBoundedByItsLines) {
  for (const char* count : kExtremeCounts) {
    SCOPED_TRACE(count);
    auto in = plat::LineReader::FromString(std::string(count) + "\n1 255 0 0\n2 0 255 0\n");
    CColorTable table;
    ReadColorTable(*in, table);
    EXPECT_GE(table.m_nColors, 0);
    EXPECT_LE(table.m_nColors, 2);
  }
}

TEST(HostileCounts, ColorTableOf5000EntriesKeepsTheFirst1000) {
  std::string text = "5000\n";
  for (int i = 1; i <= 5000; ++i) text += plat::Format("%d %d %d %d\n", i, i % 256, (i * 7) % 256, (i * 13) % 256);
  auto in = plat::LineReader::FromString(text);
  CColorTable table;
  EXPECT_EQ(ReadColorTable(*in, table), 0);
  EXPECT_EQ(table.m_nColors, kMaxColors);
  EXPECT_EQ(table.m_aColors[kMaxColors - 1].id, kMaxColors);
}

TEST(HostileCounts, EyeFileCountAboveItsRecords) {
  CViewSettings camera;
  InitViewSettings(camera);
  CEyeList written;
  written.Register(camera);
  camera.eye[0] = 5;
  written.Register(camera);
  const std::string path = fuzz::ProcessDir() + "count.eye";
  ASSERT_TRUE(written.WriteFile(path));
  std::string bytes;
  ASSERT_TRUE(plat::ReadWholeFile(path, bytes));

  const int32_t counts[] = {1000000, 2147483647, -2147483647 - 1, -1, 1001, 3};
  for (int32_t count : counts) {
    SCOPED_TRACE(count);
    plat::EncodeInt32LE(count, reinterpret_cast<unsigned char*>(bytes.data()));
    fuzz::WriteFile(path, bytes);
    CEyeList list;
    ASSERT_TRUE(list.ReadFile(path));
    // Only complete records are taken; a negative count is none.
    EXPECT_EQ(list.Count(), count < 0 ? 0 : 2);
  }
}

TEST(HostileCounts, ColorMapWithExtremeNumbers) {
  const std::string rows = plat::Format("%10s%10s%10s%10s\n", "2147483647", "-2147483648", "", "2147483647") +
                           plat::Format("%10s%10s%10s%10s\n", "-2147483648", "99999999999", "", "1");
  auto in = plat::LineReader::FromString(rows);
  std::vector<ElemColorEntry> map;
  ReadElemColorFile(*in, map);
  // 2147483647 is above 999999: the map ends at the first row.
  EXPECT_TRUE(map.empty());
}

TEST(HostileCounts, GridFilesAnnouncingExtremeCounts) {
  const char* model[][2] = {
      {".grid", "4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n"}, {".egno", "4\n1\n2\n3\n4\n"},
      {".qddef", "1\n1 1 1 2 3 4\n"},               {".color", "1\n1 255 0 0\n"},
      {".disp", "4\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n"}, {".qdstre", "1\n1 2 3 4 5 6 7\n1 2 3 4 5 6 7\n"},
  };
  for (const auto& hostile : model) {
    for (const char* count : kExtremeCounts) {
      SCOPED_TRACE(std::string(hostile[0]) + " " + count);
      const std::string dir = fuzz::FreshDir("gridcount");
      for (const auto& f : model) {
        std::string text = f[1];
        if (f[0] == hostile[0]) text = count + text.substr(text.find('\n'));
        fuzz::WriteFile(dir + "m" + f[0], text);
      }
      CDispModel doc;
      CGridModel grid;
      EXPECT_EQ(ReadGridResultSet({"pro", dir + "m.grid", "1", "100.0"}, doc, grid), 0);
      // Never more records than the files hold.
      EXPECT_LE(doc.m_nNodes, 4);
      EXPECT_LE(doc.m_nCurNodes, 4);
      EXPECT_LE(doc.m_nElems4, 1);
      EXPECT_LE(grid.m_aStress.size(), 1u);
      for (int mode = -1; mode <= kGridColorModeLast; ++mode) {
        for (int i = -1; i <= doc.m_nElems4; ++i) GridElementModeValue(i, grid, mode);
        for (int i = -1; i <= doc.m_nCurNodes; ++i) GridNodeModeValue(i, grid, mode);
      }
    }
  }
}

// Every integer field of every line of an analysis input set to each
// extreme count in turn.
TEST(HostileCounts, AnalysisInputFieldsAtTheExtremes) {
  for (int type = 1; type <= 3; ++type) {
    const RunFolder run = WriteRun(type, "counts" + std::to_string(type));
    const std::string text = testrun::InText(run.frameDesc);
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < text.size();) {
      const size_t end = text.find("\r\n", pos);
      lines.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    for (size_t li = 0; li < lines.size(); ++li) {
      // 8-column fields (5-column on the first line).
      const size_t width = li == 0 ? 5 : 8;
      for (size_t col = 0; col + width <= lines[li].size() && col < 80; col += width) {
        for (const char* count : {"2147483647", "-2147483648"}) {
          std::string field = count;
          if (field.size() > width) field = field.substr(0, width);  // what fits: 21474836 / -2147483
          field.insert(0, width - field.size(), ' ');
          std::vector<std::string> changed = lines;
          changed[li].replace(col, width, field);
          std::string edited;
          for (const std::string& l : changed) edited += l + "\r\n";
          SCOPED_TRACE(plat::Format("type %d line %zu column %zu: %s", type, li + 1, col, count));
          CFbResultSet rs;
          OpenRun(run.in, rs, &edited);
          ReadEveryStep(rs);
        }
      }
    }
  }
}

TEST(HostileCounts, StatusFileValuesAtTheExtremes) {
  for (int type = 1; type <= 2; ++type) {
    RunFolder run = WriteRun(type, "status" + std::to_string(type));
    for (const char* flag : {"0", "1"})
      for (const char* c : kExtremeCounts)
        for (const char* s : kExtremeCounts) {
          SCOPED_TRACE(plat::Format("type %d flag %s case %s step %s", type, flag, c, s));
          fuzz::WriteFile(run.dir + "run.sts", plat::Format("flag=%s\r\ncase=%s\r\nstep=%s\r\n", flag, c, s));
          CFbResultSet rs;
          OpenRun(run.in, rs);
          EXPECT_GE(rs.m_nMaxStep, 0);
          ReadEveryStep(rs);
        }
  }
}

TEST(HostileCounts, SideFileValuesAtTheExtremes) {
  RunFolder run = WriteRun(2, "side");
  for (const char* n : kExtremeCounts)
    for (const char* s0 : kExtremeCounts)
      for (const char* limit : {"0", "2147483647", "-2147483648", "3"}) {
        SCOPED_TRACE(plat::Format("N %s S0 %s limit %s", n, s0, limit));
        fuzz::WriteFile(run.dir + "run.txt", plat::Format("%s\n%s\n%s\n", n, s0, limit));
        CFbResultSet rs;
        OpenRun(run.in, rs);
        EXPECT_GE(rs.m_nBlkStart, 0);
        ReadEveryStep(rs);
        for (int step : {1, 2, 2147483647, -2147483647 - 1}) {
          rs.GetBlkSuffix(step);
          rs.GetOffset(step, 2147483647);
        }
      }
}

// --- very long lines ----------------------------------------------------------

TEST(HostileLines, KeywordDataFileWithLinesOf100000Characters) {
  const std::string base = SmallDat();
  const std::string keywords[] = {"/nodes", "/elements", "/materials", "/sections", "/pshell", "/cquad", "/title"};
  for (const std::string& kw : keywords) {
    SCOPED_TRACE(kw);
    std::string text = base;
    const size_t at = text.find(kw + "\r\n");
    ASSERT_NE(at, std::string::npos);
    // A data line of digits and one of blanks right after the keyword, and
    // a keyword line run on for 100,000 characters.
    text.insert(at + kw.size() + 2, LongLine(100000) + "\r\n" + LongLine(100000, ' ') + "\r\n");
    auto loaded = LoadDat(text + kw + LongLine(100000, 'x') + "\r\n");
    EXPECT_GE(loaded->ds.m_Nodes.GetCount(), 4);
  }
}

TEST(HostileLines, TextFilesWithLinesOf100000Characters) {
  const std::string digits = LongLine(100000);
  {
    CViewSettings s;
    InitViewSettings(s);
    const std::string path = fuzz::ProcessDir() + "long.viw";
    fuzz::WriteFile(path, "eye = " + digits + "\npicsize = " + digits + " " + digits + "\nmat = " + digits +
                              "\nmatcolor = " + digits + "\n" + digits + "\nrange = 1 2\n");
    EXPECT_EQ(ReadViwFile(s, path), kViwOk);
    EXPECT_EQ(s.rangeMax, 2.0);  // the lines after the long ones are still read
  }
  {
    auto in = plat::LineReader::FromString("2\n1 " + digits + " 0 0\n" + digits + "\n");
    CColorTable table;
    ReadColorTable(*in, table);
    EXPECT_LE(table.m_nColors, 2);
  }
  {
    auto in = plat::LineReader::FromString(plat::Format("%10d%10d", 1, 2) + digits + "\n" + digits + "\n");
    std::vector<ElemColorEntry> map;
    ReadElemColorFile(*in, map);
    ASSERT_FALSE(map.empty());
    EXPECT_EQ(map[0].nNo, 1);
  }
  {
    RunFolder run = WriteRun(1, "longsts");
    fuzz::WriteFile(run.dir + "run.sts", "flag=" + digits + "\r\ncase=" + digits + "\r\nstep=" + digits + "\r\n");
    CFbResultSet rs;
    OpenRun(run.in, rs);
    ReadEveryStep(rs);
  }
  {
    RunFolder run = WriteRun(2, "longtxt");
    fuzz::WriteFile(run.dir + "run.txt", digits + "\n" + digits + "\n" + digits + "\n");
    CFbResultSet rs;
    OpenRun(run.in, rs);
    ReadEveryStep(rs);
  }
}

TEST(HostileLines, AnalysisInputWithLinesOf100000Characters) {
  for (int type = 1; type <= 3; ++type) {
    const RunFolder run = WriteRun(type, "longin" + std::to_string(type));
    const std::string text = testrun::InText(run.frameDesc);
    // Each line in turn run on for 100,000 characters (digits, so that every
    // field past the line's own still reads as a number).
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", end + 2)) {
      SCOPED_TRACE(plat::Format("type %d, line ending at %zu", type, end));
      std::string edited = text;
      edited.insert(end, LongLine(100000));
      CFbResultSet rs;
      OpenRun(run.in, rs, &edited);
      ReadEveryStep(rs);
    }
  }
}

TEST(HostileLines, GridFilesWithLinesOf100000Characters) {
  const char* model[][2] = {
      {".grid", "2\n0 0 0\n1 0 0\n"}, {".egno", "2\n1\n2\n"}, {".qddef", "1\n1 1 1 2 2 1\n"},
      {".color", "1\n1 255 0 0\n"}, {".disp", "2\n0 0 0\n0 0 0\n"}, {".qdstre", "1\n1 2 3 4 5 6 7\n1 2 3 4 5 6 7\n"},
  };
  for (const auto& hostile : model) {
    SCOPED_TRACE(hostile[0]);
    const std::string dir = fuzz::FreshDir("gridlong");
    for (const auto& f : model) {
      std::string text = f[1];
      if (f[0] == hostile[0]) {
        const size_t second = text.find('\n') + 1;
        text.insert(second, LongLine(100000, '1') + " " + LongLine(100000, ' ') + "2");
      }
      fuzz::WriteFile(dir + "m" + f[0], text);
    }
    CDispModel doc;
    CGridModel grid;
    EXPECT_EQ(ReadGridResultSet({"pro", dir + "m.grid", "1", "100.0"}, doc, grid), 0);
    EXPECT_LE(doc.m_nNodes, 2);
  }
}

// A line past the reader's bound (1 MiB) ends the reading with its line
// number, in every kind of text file; what came before it is kept.
TEST(HostileLines, LinesPastTheBoundAreRefusedWithTheirNumber) {
  const std::string tooLong = LongLine(plat::LineReader::kMaxLineBytes + 1);
  const std::string told = "行目の長さが上限の1048576ﾊﾞｲﾄを超えています";
  {
    const std::string base = SmallDat();
    const size_t at = base.find("/elements\r\n");
    ASSERT_NE(at, std::string::npos);
    auto loaded = LoadDat(base.substr(0, at) + tooLong + "\r\n" + base.substr(at));
    EXPECT_GE(loaded->ds.m_Nodes.GetCount(), 4);
    EXPECT_EQ(loaded->ds.m_Elems.GetCount(), 0);
    ASSERT_FALSE(loaded->ds.Messages().empty());
    EXPECT_NE(loaded->ds.Messages().back().find(told), std::string::npos);
  }
  {
    const RunFolder run = WriteRun(1, "boundin");
    std::string text = testrun::InText(run.frameDesc);
    text.insert(text.find("\r\n"), tooLong);
    CFbResultSet rs;
    fuzz::WriteFile(run.in, text);
    auto in = plat::LineReader::FromFile(run.in);
    ASSERT_TRUE(in);
    std::string msg;
    EXPECT_NE(LoadAnalysisInput(*in, run.in, rs, &msg), 1);
    EXPECT_NE(msg.find(run.in + "：1" + told), std::string::npos) << msg;
  }
  {
    const std::string dir = fuzz::FreshDir("gridbound");
    fuzz::WriteFile(dir + "m.grid", "2\n0 0 0\n" + tooLong + "\n");
    CDispModel doc;
    CGridModel grid;
    EXPECT_EQ(ReadGridResultSet({"pro", dir + "m.grid", "1", "100.0"}, doc, grid), 0);
    ASSERT_EQ(grid.m_aRefusals.size(), 1u);
    EXPECT_EQ(grid.m_aRefusals[0], dir + "m.grid：3" + told);
  }
}

// --- very long paths ----------------------------------------------------------

TEST(HostilePaths, ReadersRefusePathsLongerThan4096BytesCleanly) {
  const std::string dir = OverlongPath("");
  ASSERT_GT(dir.size(), 4096u);
  {
    CViewSettings s;
    InitViewSettings(s);
    EXPECT_EQ(ReadViwFile(s, dir + "model.viw"), kViwCannotOpen);
    EXPECT_EQ(ReadViewSettingsFiles(s, dir, dir, "model"), 0);
  }
  {
    CColorTable table;
    EXPECT_GT(LoadColorTableOrDefault(dir, table), 0);  // the default palette
  }
  {
    std::vector<ElemColorEntry> map = {{1, 2, 1}};
    EXPECT_EQ(LoadElemColorFile(dir + "model.clr", map), 0);
    EXPECT_TRUE(map.empty());
  }
  {
    CEyeList list;
    CViewSettings camera;
    InitViewSettings(camera);
    EXPECT_FALSE(list.ReadFile(dir + "model.eye"));
    list.StartFromFile(dir + "model.eye", camera);
    EXPECT_EQ(list.Count(), 1);  // the camera as viewpoint 0
    std::string error;
    EXPECT_FALSE(list.WriteFile(dir + "model.eye", &error));
    EXPECT_FALSE(error.empty());
  }
  {
    CDispModel doc;
    CGridModel grid;
    EXPECT_EQ(ReadGridResultSet({"pro", dir + "m.grid", "1", "100.0"}, doc, grid), 0);
    EXPECT_EQ(doc.m_nGridStatus, kGridNotOpened);
    EXPECT_EQ(doc.m_nNodes, 0);
  }
  {
    EXPECT_EQ(plat::LineReader::FromFile(dir + "run.in"), nullptr);
    // An input read from elsewhere but named by the long path: its result
    // files cannot be found, nothing more.
    const RunFolder run = WriteRun(2, "longpath");
    const std::string text = testrun::InText(run.frameDesc);
    CFbResultSet rs;
    const int r = OpenRun(dir + "run.in", rs, &text);
    EXPECT_EQ(r, 2);  // the time file does not open
    ReadEveryStep(rs);
  }
  {
    CIpDataSet ds;
    std::string error;
    EXPECT_FALSE(ds.WriteFile(dir + "model.dat", &error));
    EXPECT_FALSE(error.empty());
  }
}

// --- files cut inside every kind of record --------------------------------

TEST(HostileCuts, KeywordDataFileCutAtEveryLineAndInsideIt) {
  const std::string text = SmallDat();
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    // Every line end and a few places inside each line.
    const bool lineEnd = cut == text.size() || text[cut] == '\r' || text[cut] == '\n';
    if (!lineEnd && cut % 7 != 0) continue;
    SCOPED_TRACE(cut);
    LoadDat(text.substr(0, cut));
  }
}

TEST(HostileCuts, AnalysisInputCutAtEveryLineAndInsideIt) {
  for (int type = 1; type <= 3; ++type) {
    const RunFolder run = WriteRun(type, "cutin" + std::to_string(type));
    const std::string text = testrun::InText(run.frameDesc);
    // The model part ends at the materials; what follows (load cases,
    // steps, waves, modes) may end early by design.
    const size_t modelEnd = text.find("     201       1\r\n");
    ASSERT_NE(modelEnd, std::string::npos);
    for (size_t cut = 0; cut < text.size(); ++cut) {
      const bool lineEnd = text[cut] == '\r';
      if (!lineEnd && cut % 11 != 0) continue;
      SCOPED_TRACE(plat::Format("type %d cut %zu", type, cut));
      const std::string part = text.substr(0, cut);
      CFbResultSet rs;
      const int r = OpenRun(run.in, rs, &part);
      if (cut < modelEnd) EXPECT_NE(r, 1);  // a short model is never a full load
      ReadEveryStep(rs);
    }
  }
}

TEST(HostileCuts, ResultFilesCutAtEveryWord) {
  const char* const exts[] = {".dis", ".frc", ".sig", ".eps", ".sta", ".sgs", ".ess", ".sts", ".tim", ".md"};
  for (int type = 1; type <= 3; ++type) {
    RunFolder run = WriteRun(type, "cutres" + std::to_string(type));
    for (const char* ext : exts) {
      std::string bytes;
      if (!plat::ReadWholeFile(run.dir + "run" + ext, bytes)) continue;
      for (size_t cut = 0; cut < bytes.size(); cut += cut < 64 ? 1 : 4 * 9) {
        SCOPED_TRACE(plat::Format("type %d %s cut at %zu of %zu", type, ext, cut, bytes.size()));
        fuzz::WriteFile(run.dir + "run" + ext, bytes.substr(0, cut));
        CFbResultSet rs;
        OpenRun(run.in, rs);
        ReadEveryStep(rs);
      }
      fuzz::WriteFile(run.dir + "run" + ext, bytes);
    }
  }
}

TEST(HostileCuts, EyeFileCutAtEveryByte) {
  CViewSettings camera;
  InitViewSettings(camera);
  CEyeList written;
  for (int i = 0; i < 3; ++i) {
    camera.eye[0] = i;
    written.Register(camera);
  }
  const std::string path = fuzz::ProcessDir() + "cut.eye";
  ASSERT_TRUE(written.WriteFile(path));
  std::string bytes;
  ASSERT_TRUE(plat::ReadWholeFile(path, bytes));
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    fuzz::WriteFile(path, bytes.substr(0, cut));
    CEyeList list;
    list.ReadFile(path);
    const int whole = cut < 4 ? 0 : static_cast<int>((cut - 4) / EyeRecord::kSize);
    EXPECT_EQ(list.Count(), std::min(whole, 3));
  }
}

// --- result files whose record markers lie ------------------------------------

TEST(HostileMarkers, RecordMarkersThatLie) {
  const int32_t markers[] = {0, 4, 3, -4, -1, 2147483647, -2147483647 - 1, 1 << 20, 28 * 1000};
  for (int type = 1; type <= 3; ++type) {
    RunFolder run = WriteRun(type, "markers" + std::to_string(type));
    const std::string lengthFile = run.dir + (type == 3 ? "run.md" : "run.dis");
    std::string bytes;
    ASSERT_TRUE(plat::ReadWholeFile(lengthFile, bytes));
    for (int32_t marker : markers) {
      for (bool everyMarker : {false, true}) {
        SCOPED_TRACE(plat::Format("type %d marker %d%s", type, marker, everyMarker ? " (every record)" : ""));
        std::string lying = bytes;
        const size_t record = static_cast<size_t>(4 * (run.frameDesc.recWords + 2));
        for (size_t pos = 0; pos + 4 <= lying.size(); pos += everyMarker ? record : lying.size())
          plat::EncodeInt32LE(marker, reinterpret_cast<unsigned char*>(lying.data() + pos));
        fuzz::WriteFile(lengthFile, lying);
        CFbResultSet rs;
        OpenRun(run.in, rs);
        EXPECT_GE(rs.m_nRecWords, 0);
        ReadEveryStep(rs);
      }
    }
    fuzz::WriteFile(lengthFile, bytes);
  }
}

}  // namespace
