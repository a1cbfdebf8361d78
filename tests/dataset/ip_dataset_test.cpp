#include "dataset/ip_dataset.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include <unistd.h>

#include "ip_test_lines.h"
#include "model/beam_records.h"
#include "model/columns.h"
#include "platform/numbers.h"

using iptest::Cols;
using iptest::Ints;
using iptest::Reader;

namespace {

// Code page 932 bytes: "サンプル架構" (the last trail byte is a backslash)
// and "節点".
const std::string kTitleCp932 = "\x83\x54\x83\x93\x83\x76\x83\x8b\x89\xcb\x8d\x5c";
const std::string kNodeCp932 = "\x90\xdf\x93\x5f";

std::string R(double v) { return FormatReal10(v); }
std::string Lines(std::initializer_list<std::string> lines) {
  std::string t;
  for (const auto& l : lines) t += l + "\r\n";
  return t;
}

// A keyword data file with every section the reader knows, in wide columns,
// not in the order the writer uses.
std::string FullFile() {
  std::string f;
  f += Lines({"text before the first keyword is passed over", "   12   13"});
  f += Lines({"/title", "$ comment lines of the title are dropped", kTitleCp932 + " 2-span frame"});
  f += Lines({"/setspc", "111000"});
  f += Lines({"/nodes", "$ " + kNodeCp932,
              Cols({{0, 10, "1"}, {30, 15, "0.0"}, {45, 15, "0.0"}, {60, 15, "0.0"}}),
              // 2, 4, 6, 8 at x = 1, 2, 3, 4
              Cols({{0, 10, "2"}, {10, 10, "8"}, {20, 10, "2"}, {30, 15, "1.0"}, {75, 10, "1.0"}}),
              Cols({{0, 10, "10"}, {30, 15, "0.0"}, {60, 15, "3.0"}}),
              Cols({{0, 10, "11"}, {30, 15, "4.0"}, {60, 15, "3.0"}})});
  f += Lines({"/elements", Ints({1, 0, 0, 1, 1, 2}, 10), Ints({2, 0, 0, 2, 4, 6}, 10), "$ the upper beam",
              Ints({3, 0, 0, 3, 10, 11}, 10), Ints({5, 0, 0, 7, 1, 10}, 10), Ints({6, 0, 0, 8, 2, 11}, 10)});
  f += Lines({"/support", Cols({{0, 10, "1"}, {10, 6, "111111"}}), Cols({{0, 10, "2"}, {10, 6, "110000"},
                                                                         {20, 10, "8"}, {30, 10, "2"}})});
  f += Lines({"/forces", Ints({1, 2, 8, 2, 3}, 10) + R(10.0)});
  f += Lines({"/endisp", Ints({1, 1, 0, 0, 1}, 10) + R(0.01)});
  f += Lines({"/pload", Ints({1, 1, 0, 0, 2}, 10) + R(1) + R(2) + R(3) + R(4)});
  f += Lines({"/mass", Ints({10, 0, 0, 1}, 10) + R(5.0), Ints({10, 0, 0, 2}, 10) + R(5.0),
              Ints({11, 0, 0, 3}, 10) + R(5.0)});
  f += Lines({"/dforce", Ints({1, 0, 0, 1, 2}, 10) + R(3.0)});
  f += Lines({"/materials", "$ steel", Ints({1, 0}, 10) + R(205000) + R(0.3) + R(78.5),
              R(1) + R(2) + R(3) + R(4) + R(5) + R(6), Ints({2, -1}, 10) + R(1) + R(2) + R(3) + R(4)});
  // A section of two blocks (straight and arc) and one deck.
  f += Lines({"/sections",
              Ints({1, 1, 2, 1}, 10) + "1 1         " + "   " + Ints({0}, 10) + R(0) + R(0) + R(1) + R(0) + R(0) +
                  Ints({0}, 10) + R(0) + R(0) + R(0),
              Ints({4, 2}, 10) + R(-0.1) + R(0) + R(0.1) + R(0) + R(0.02) + R(0.02) + Ints({1, 0}, 10),
              Ints({2, 6}, 10) + R(0.1) + R(0) + R(0.2) + R(90) + R(0) + R(0) + Ints({1, -1}, 10),
              Ints({3, 1}, 10) + R(0) + R(0) + R(1) + R(0) + R(0.5)});
  f += Lines({"/scalar", Ints({2, 0}, 10) + R(1) + R(2) + R(3) + R(4) + R(5) + R(6) + "    1",
              R(0) + R(0) + R(1) + R(0) + R(0)});
  // "/prop" opens the old-form beam properties: number 3 is also a new-form
  // property and is dropped, number 4 joins the new-form ones.
  f += Lines({"/prop", Ints({3, 0}, 10) + R(9) + R(9) + R(9) + R(9),
              Ints({4, 1}, 10) + R(1) + R(2) + R(3) + R(4) + "1 1 1       " + "       1",
              R(0) + R(0) + R(1) + Ints({2}, 10) + R(0.5) + R(0.25)});
  f += Lines({"/gproperty", Ints({3, 0}, 10) + R(1) + R(2) + R(3) + R(4) + R(5) + R(6) + "    1",
              R(7) + R(8) + R(9) + Ints({1}, 10) + R(0.1) + R(0.2) + "1         1" + "    " + "    1",
              R(0) + R(1) + R(0)});
  f += Lines({"/nspring", Ints({5, 1}, 10) + R(1) + R(2) + R(3) + Ints({3}, 10) + "    1", R(0) + R(0) + R(1),
              R(1) + R(2) + R(3) + R(4) + R(5) + R(6), R(7) + R(8) + R(9)});
  f += Lines({"/nsp2", Ints({6, 1, 2, 3, 4}, 10) + R(1.5) + R(2.5) + "    1", R(1) + R(0) + R(0)});
  f += Lines({"/gap", Ints({9}, 10) + R(0.5) + R(1.5) + R(0) + R(1) + R(0)});
  f += Lines({"/quake", Ints({1, 1, 1, 0}, 10) + R(0.5)});
  f += Lines({"/prestress", Ints({1, 1, 0, 0, 2}, 10) + R(1.25) + Ints({1}, 10) + R(2.5) + Ints({2}, 10)});
  // "/pres" lines are initial stresses too.
  f += Lines({"/pres", Ints({2, 2, 0, 0, 0}, 10) + R(7.5)});
  f += Lines({"/functions", Ints({1}, 10) + "          ", "        3    0     " + R(1) + R(0.01), R(0.1) + R(0.2) + R(-0.3)});
  f += Lines({"/damping", R(0.02) + R(0.03) + R(1) + R(2)});
  f += Lines({"/gravity", R(9.81)});
  f += Lines({"/base", R(100) + R(200) + R(300) + Ints({2}, 10)});
  f += Lines({"/initial condition", "init.dat"});
  f += Lines({"/restart", "rst.dat"});
  f += Lines({"/ckpoint", "$ first check point", "          " + Ints({0, 3}, 10) + "ck1.dat"});
  f += Lines({"/ckpoint", "          " + Ints({5, 4}, 10) + "ck2.dat"});
  f += Lines({"/dynamic", Ints({1, 8}, 10) + R(0.01) + R(0.25) + R(0.5) + R(0) + R(0) + Ints({2}, 10)});
  f += Lines({"/output", Ints({100, 2}, 10)});
  f += Lines({"/eigen", Ints({10}, 10)});
  f += Lines({"/analysis", "$ load steps",
              Ints({16, 1}, 10) + R(0.5) + R(0) + Ints({4}, 10) + plat::Format("%10d%1d%9d", 1, 0, 10) +
                  plat::Format("%10d%1d%9d", 2, 1, 20) + plat::Format("%10d%1d%9d", 3, 0, 30),
              plat::Format("%10d%1d%9d", 4, 1, 40)});
  f += Lines({"/creep", Ints({1, 1, 0, 0, 1}, 10) + R(0.5) + R(0.6)});
  f += Lines({"/strain", Ints({1, 2, 0, 0, 1}, 10) + R(0.001) + R(0)});
  f += Lines({"/hsupport", Ints({1, 0, 1}, 10) + R(1) + R(2) + R(3) + R(4) + R(5) + R(6) + R(7) + R(8) + "    1",
              R(1) + R(0) + R(0), Ints({2, 0, 2}, 10) + R(1) + "          " + R(3) + R(4) + R(5),
              Ints({3, 0, 4}, 10) + R(1)});
  f += Lines({"/pccable", Ints({1, 1}, 10) + R(1) + R(2) + R(3) + R(4) + "    1", R(0) + R(1) + R(0)});
  f += Lines({"/pivot", Ints({2, 1}, 10) + R(5) + R(6) + R(7) + R(8)});
  f += Lines({"/pshell", Ints({1, 0}, 10) + R(0.2) + Ints({2, 3}, 10), R(1) + R(2) + R(3) + R(4) + R(5),
              R(0.1) + R(0.2) + Ints({1}, 10), R(0.3) + R(0.4) + Ints({2}, 10)});
  f += Lines({"/cquad", Ints({1, 0, 0, 1, 1, 2, 11, 10}, 10)});
  const std::string gsupTail = std::string(20, ' ') + R(0) + R(0) + R(1) + "    1";
  f += Lines({"/gsupport", Ints({1, 0, 1}, 10) + gsupTail, R(1) + R(2) + R(3) + R(4),
              Ints({2, 0, 2}, 10) + gsupTail, R(1) + R(2) + R(3),
              Ints({3, 0, 3}, 10) + gsupTail, R(1) + R(2) + R(3) + R(4),
              Ints({4, 0, 5}, 10) + gsupTail, ""});
  f += Lines({"/rbcks", Ints({1, 2}, 10) + "                              " + R(0) + R(0) + R(1) + "    1",
              Ints({1}, 10) + R(1) + Ints({2, 3}, 10) + R(2) + R(3) + R(4) + R(5)});
  f += Lines({"/rigid", Ints({7, 1}, 10)});
  f += Lines({"/ndequal", Ints({1, 2, 0, 0, 136}, 10)});
  f += Lines({"/sufload", Ints({1, 1, 0, 0}, 10) + R(2.5) + "                    " + "    1", R(3) + R(4) + R(5)});
  f += Lines({"/cqline", Ints({1, 0, 0, 1, 1, 2, 3}, 10)});
  f += Lines({"/gtruss", Ints({8, 1, 2}, 10) + "          " + R(1) + R(4) + R(5) + "          " + "         1",
              R(0) + R(1) + R(0) + Ints({4}, 10) + R(2) + R(3)});
  // Sections the reader does not know are passed over with their lines.
  f += Lines({"/soutput", Ints({1, 2}, 10), "/unknown", "  1  2  3"});
  return f;
}

std::string WriteText(CIpDataSet& ds) {
  std::string out;
  CArchiveOut ar(out);
  ds.Write(ar);
  return out;
}

void ReadText(CIpDataSet& ds, const std::string& text) {
  auto ar = Reader(text);
  ds.RemoveAll();
  ds.Read(*ar);
}

struct Counts {
  const char* name;
  const CIpBlock* block;
  int count;
};

TEST(IpDataSet, ReadsEverySectionOfAFullFile) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  ReadText(ds, FullFile());
  const Counts counts[] = {
      {"nodes", &ds.m_Nodes, 5},           {"elements", &ds.m_Elems, 6},     {"support", &ds.m_Sups, 2},
      {"forces", &ds.m_NLds, 1},           {"endisp", &ds.m_EnDisps, 1},     {"pload", &ds.m_PLds, 1},
      {"mass", &ds.m_Masses, 2},           {"dforce", &ds.m_DForces, 1},     {"materials", &ds.m_Mats, 2},
      {"sections", &ds.m_Secs, 1},         {"scalar", &ds.m_Scls, 1},        {"property", &ds.m_OldBeams, 0},
      {"gproperty", &ds.m_Beams, 2},       {"nspring", &ds.m_NSprs, 1},      {"nsp2", &ds.m_NSpr2s, 1},
      {"gap", &ds.m_Gaps, 1},              {"quake", &ds.m_Quakes, 1},       {"prestress", &ds.m_PSts, 2},
      {"functions", &ds.m_Funcs, 1},       {"creep", &ds.m_Crps, 1},         {"strain", &ds.m_Strns, 1},
      {"hsupport", &ds.m_HSupRead, 3},     {"hsup1", &ds.m_HSupTyped[0], 1}, {"hsup2", &ds.m_HSupTyped[1], 1},
      {"hsup3", &ds.m_HSupTyped[2], 0},    {"pccable", &ds.m_Pccbls, 1},     {"pivot", &ds.m_Pivots, 1},
      {"gtruss", &ds.m_Trusses, 1},        {"gsupport", &ds.m_GSupRead, 4},  {"gsup1", &ds.m_GSupTyped[0], 1},
      {"gsup2", &ds.m_GSupTyped[1], 1},    {"gsup3", &ds.m_GSupTyped[2], 1}, {"rbcks", &ds.m_Rbcks, 1},
      {"rigid", &ds.m_Rigids, 1},          {"ndequal", &ds.m_NDEquals, 1},   {"pres", &ds.m_PSt2s, 0},
      {"soutput", &ds.m_SOutputs, 0},      {"pshell", &ds.m_PShells, 1},     {"cquad", &ds.m_Quads, 1},
      {"sufload", &ds.m_SLds, 1},          {"cqline", &ds.m_Qlines, 1},      {"prop", &ds.m_Props, 0},
      {"analysis list", &ds.m_Ans.m_LoadList, 4},
  };
  for (const Counts& c : counts) EXPECT_EQ(c.block->GetCount(), c.count) << c.name;
  EXPECT_TRUE(ds.Messages().empty());

  EXPECT_EQ(ds.m_Title.m_strTitle, kTitleCp932 + " 2-span frame");
  EXPECT_EQ(ds.m_SetSpc.m_nCode, 111000);
  EXPECT_EQ(ds.m_Nodes.GetRecord(0)->m_strComment, " " + kNodeCp932);
  EXPECT_EQ(ds.m_Nodes.GetRecord(2)->m_nLast, 8);
  EXPECT_EQ(ds.m_Masses.GetRecord(0)->m_nDir, 3);
  EXPECT_EQ(ds.m_Mats.GetRecord(1)->m_nType, CIpMat::kNoContinuation);
  EXPECT_EQ(ds.m_Secs.GetRecord(0)->GetBlkCount(), 2);
  EXPECT_EQ(ds.m_Secs.GetRecord(0)->GetDckCount(), 1);
  // The old-form property 4 joined the new-form ones after number 3.
  EXPECT_EQ(ds.m_Beams.GetRecord(0)->m_nNo, 3);
  EXPECT_DOUBLE_EQ(ds.m_Beams.GetRecord(0)->m_dS1, 1.0);
  EXPECT_EQ(ds.m_Beams.GetRecord(1)->m_nNo, 4);
  EXPECT_EQ(ds.m_Beams.GetRecord(1)->m_nBeamInt, 2);
  EXPECT_EQ(ds.m_PSts.GetRecord(1)->m_nNo, 2);
  EXPECT_DOUBLE_EQ(ds.m_PSts.GetRecord(1)->m_dValue, 7.5);
  EXPECT_EQ(ds.m_Funcs.GetRecord(0)->ValueCount(), 3);
  EXPECT_DOUBLE_EQ(ds.m_Damping.m_dDamp1, 0.02);
  EXPECT_DOUBLE_EQ(ds.m_Gravity.m_dGravity, 9.81);
  EXPECT_EQ(ds.m_Base.m_nBaseOpt, 2);
  EXPECT_EQ(ds.m_InitCond[0].m_strFile, "init.dat");
  EXPECT_TRUE(ds.m_InitCond[1].IsEmpty());
  EXPECT_EQ(ds.m_Restart[0].m_strFile, "rst.dat");
  EXPECT_EQ(ds.m_Ckpoint[0].m_strFile, "ck1.dat");
  EXPECT_EQ(ds.m_Ckpoint[0].m_strComment, " first check point");
  EXPECT_EQ(ds.m_Ckpoint[1].m_strFile, "ck2.dat");
  EXPECT_EQ(ds.m_Ckpoint[1].m_nCk2, 5);
  EXPECT_TRUE(ds.m_Ckpoint[1].m_strComment.empty());
  EXPECT_EQ(ds.m_Dynamic.m_nDyn1, 1);
  EXPECT_EQ(ds.m_Output.m_nOut1, 100);
  EXPECT_EQ(ds.m_Modal.m_nModes, 10);
  EXPECT_EQ(ds.m_Ans.m_nParam2, 1);
  EXPECT_EQ(ds.m_Ans.m_strComment, " load steps");
  EXPECT_EQ(ds.m_Ans.m_LoadList.GetRecord(3)->m_nValue2, 40);
  EXPECT_EQ(ds.m_HSupTyped[1].GetRecord(0)->m_nNo, 2);
  EXPECT_EQ(ds.m_GSupTyped[2].GetRecord(0)->m_nNo, 3);
  EXPECT_EQ(ds.m_PShells.GetRecord(0)->m_pLayerList.size(), 2u);
  EXPECT_EQ(ds.m_Quads.GetRecord(0)->m_anNode[2], 11);
  EXPECT_EQ(ds.m_NDEquals.GetRecord(0)->m_nDir, 1 | 4 | 32);
}

TEST(IpDataSet, WriteReadWriteIsByteIdentical) {
  ColumnModeScope wide(1);
  CIpDataSet first;
  ReadText(first, FullFile());
  const std::string out1 = WriteText(first);
  EXPECT_EQ(g_nBeamFormat, 1);

  CIpDataSet second;
  ReadText(second, out1);
  const std::string out2 = WriteText(second);
  EXPECT_EQ(out1, out2);

  // The record counts survive, the typed bearings and girder supports being
  // read back into the blocks as read.
  EXPECT_EQ(second.m_Nodes.GetCount(), 5);
  EXPECT_EQ(second.m_Masses.GetCount(), 2);
  EXPECT_EQ(second.m_Beams.GetCount(), 2);
  EXPECT_EQ(second.m_HSupRead.GetCount(), 2);
  EXPECT_EQ(second.m_HSupTyped[0].GetCount(), 1);
  EXPECT_EQ(second.m_GSupRead.GetCount(), 3);
  EXPECT_EQ(second.m_GSupTyped[1].GetCount(), 1);
  EXPECT_EQ(second.m_Ckpoint[1].m_strFile, "ck2.dat");
  EXPECT_EQ(second.m_Ans.m_LoadList.GetCount(), 4);
  EXPECT_EQ(second.m_Title.m_strTitle, kTitleCp932 + " 2-span frame");

  // Sections the writer leaves out: the blocks as read (their typed copies
  // are written), "/property", "/soutput".
  EXPECT_EQ(out1.find("/property"), std::string::npos);
  EXPECT_EQ(out1.find("/soutput"), std::string::npos);
  EXPECT_NE(out1.find(Lines({"/nodes", "$ " + kNodeCp932})), std::string::npos);
  EXPECT_NE(out1.find(Lines({"/elements", Ints({1, 0, 0, 1, 1, 2}, 10)})), std::string::npos);
}

TEST(IpDataSet, WriterOrderOfSections) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  ReadText(ds, FullFile());
  const std::string out = WriteText(ds);
  const char* order[] = {"/title",     "/setspc",    "/nodes",    "/elements", "/support", "/forces",
                         "/endisp",    "/pload",     "/mass",     "/dforce",   "/materials", "/sections",
                         "/scalar",    "/gap",       "/creep",    "/strain",   "/pshell",  "/cquad",
                         "/sufload",   "/cqline",    "/gproperty", "/nspring", "/nsp2",    "/prestress",
                         "/quake",     "/damping",   "/base",     "/gravity",  "/hsupport", "/pccable",
                         "/pivot",     "/gsupport",  "/rbcks",    "/gtruss",   "/rigid",   "/ndequal",
                         "/output",    "/ckpoint",   "/eigen",    "/ckpoint",  "/restart", "/initial condition",
                         "/dynamic",   "/analysis",  "/functions"};
  size_t pos = 0;
  for (const char* k : order) {
    const size_t at = out.find(std::string(k) + "\r\n", pos);
    ASSERT_NE(at, std::string::npos) << k;
    pos = at + 1;
  }
  // Restart 2 is empty and not written, so only one "/restart" line.
  EXPECT_EQ(out.find("/restart", out.find("/restart") + 1), std::string::npos);
}

TEST(IpDataSet, KeywordTestOrder) {
  ColumnModeScope wide(1);
  struct Case {
    std::string text;
    std::function<bool(CIpDataSet&)> check;
  } cases[] = {
      // "/pres" is read as initial stresses, never into the "/pres" block.
      {Lines({"/pres", Ints({1, 3, 0, 0, 0}, 10) + R(1)}),
       [](CIpDataSet& d) { return d.m_PSts.GetCount() == 1 && d.m_PSt2s.GetCount() == 0; }},
      // "/prop" is read as old-form beam properties and joins "/gproperty".
      {Lines({"/prop", Ints({4, 0}, 10) + R(1)}),
       [](CIpDataSet& d) { return d.m_Beams.GetCount() == 1 && d.m_Props.GetCount() == 0; }},
      {Lines({"/property", Ints({4, 0}, 10) + R(1)}),
       [](CIpDataSet& d) { return d.m_Beams.GetCount() == 1 && d.m_OldBeams.GetCount() == 0; }},
      // "/d" is a leading part of "/damping" only.
      {Lines({"/d", R(0.5)}),
       [](CIpDataSet& d) { return d.m_Damping.m_dDamp1 == 0.5 && d.m_DForces.GetCount() == 0; }},
      {Lines({"/dforce", Ints({1, 0, 0, 1, 1}, 10) + R(1)}),
       [](CIpDataSet& d) { return d.m_DForces.GetCount() == 1 && d.m_Damping.IsEmpty(); }},
      // Five characters open a block; more characters after them too.
      {Lines({"/node", Ints({1}, 10), "/nodesXYZ", Ints({2}, 10)}),
       [](CIpDataSet& d) { return d.m_Nodes.GetCount() == 2; }},
      // Capitals are not keywords: the lines are passed over.
      {Lines({"/NODES", Ints({1}, 10)}), [](CIpDataSet& d) { return d.m_Nodes.GetCount() == 0; }},
      // A keyword longer than five characters after a single-section test.
      {Lines({"/grav", R(9.8)}), [](CIpDataSet& d) { return d.m_Gravity.m_dGravity == 9.8; }},
      {Lines({"/gravityX", R(9.8)}), [](CIpDataSet& d) { return d.m_Gravity.IsEmpty(); }},
      // A keyword in the middle of blanks.
      {Lines({"   /nodes   ", Ints({1}, 10)}), [](CIpDataSet& d) { return d.m_Nodes.GetCount() == 1; }},
      // The first line is a keyword, and no keyword line ends the file.
      {"/nodes\r\n" + Ints({1}, 10) + "\r\n" + Ints({2}, 10),
       [](CIpDataSet& d) { return d.m_Nodes.GetCount() == 2 && d.m_Elems.GetCount() == 0; }},
  };
  for (const Case& c : cases) {
    CIpDataSet ds;
    ReadText(ds, c.text);
    EXPECT_TRUE(c.check(ds)) << c.text;
  }
}

TEST(IpDataSet, EmptyFileAndEmptyDataSet) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  ReadText(ds, "");
  EXPECT_EQ(ds.m_Nodes.GetCount(), 0);
  EXPECT_TRUE(ds.m_Title.IsEmpty());
  EXPECT_TRUE(ds.m_Gravity.IsEmpty());
  EXPECT_TRUE(ds.m_Ans.IsEmpty());
  // Only the beam keyword line and the output record.
  std::string output;
  CFemInput::SaveTo(ds.m_Output, output);
  EXPECT_EQ(WriteText(ds), "/gproperty\r\n" + output);
}

TEST(IpDataSet, BlankLinesBetweenSectionsArePassedOver) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  // A blank line after a single section once passed the title's keyword test
  // and the title reader took the next line as the title.
  ReadText(ds, Lines({"/title", "the title", "/gravity", R(9.8), "", "   ", "stray text", "", "/nodes", Ints({1}, 10)}));
  EXPECT_EQ(ds.m_Title.m_strTitle, "the title");
  EXPECT_DOUBLE_EQ(ds.m_Gravity.m_dGravity, 9.8);
  EXPECT_EQ(ds.m_Nodes.GetCount(), 1);
}

TEST(IpDataSet, ReadingGoesOnAfterASingleSectionWithoutData) {
  ColumnModeScope wide(1);
  struct Case {
    std::string text;
  } cases[] = {
      {Lines({"/gravity", "/nodes", Ints({1}, 10), Ints({2}, 10)})},
      {Lines({"/title", "$ no title", "/nodes", Ints({1}, 10), Ints({2}, 10)})},
      {Lines({"/eigen", "$ modes", "/nodes", Ints({1}, 10), Ints({2}, 10)})},
      {Lines({"/analysis", "/nodes", Ints({1}, 10), Ints({2}, 10)})},
      {Lines({"/analysis", "$ list", "/nodes", Ints({1}, 10), Ints({2}, 10)})},
      {Lines({"/ckpoint", "/nodes", Ints({1}, 10), Ints({2}, 10)})},
  };
  for (const Case& c : cases) {
    CIpDataSet ds;
    ReadText(ds, c.text);
    EXPECT_EQ(ds.m_Nodes.GetCount(), 2) << c.text;
    EXPECT_TRUE(ds.m_Gravity.IsEmpty());
    EXPECT_TRUE(ds.m_Ckpoint[0].IsEmpty());
  }
}

TEST(IpDataSet, CheckPointsGoByTheirSecondNumber) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  ReadText(ds, Lines({"/ckpoint", "$ one", "          " + Ints({0, 1}, 10) + "a.ck", "/ckpoint",
                      "          " + Ints({5, 2}, 10) + "b.ck"}));
  EXPECT_EQ(ds.m_Ckpoint[0].m_strFile, "a.ck");
  EXPECT_EQ(ds.m_Ckpoint[0].m_strComment, " one");
  EXPECT_EQ(ds.m_Ckpoint[1].m_strFile, "b.ck");
  EXPECT_EQ(ds.m_Ckpoint[1].m_nCk1, 2);
  // The second section does not inherit the first one's comment.
  EXPECT_TRUE(ds.m_Ckpoint[1].m_strComment.empty());
}

TEST(IpDataSet, RegroupsSupportsByType) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  const std::string tail = std::string(30, ' ') + "    1";
  ReadText(ds, Lines({"/gsupport", Ints({1, 0, 1}, 10) + std::string(20, ' ') + tail, R(1),
                      Ints({2, 0, 4}, 10) + std::string(20, ' ') + tail, "", "/hsupport", Ints({1, 0, 3}, 10) + R(2),
                      Ints({2, 0, 0}, 10) + R(2)}));
  EXPECT_EQ(ds.m_GSupRead.GetCount(), 2);
  EXPECT_EQ(ds.m_GSupTyped[0].GetCount(), 1);
  EXPECT_EQ(ds.m_GSupTyped[1].GetCount() + ds.m_GSupTyped[2].GetCount(), 0);
  EXPECT_EQ(ds.m_HSupRead.GetCount(), 2);
  EXPECT_EQ(ds.m_HSupTyped[2].GetCount(), 1);
  EXPECT_DOUBLE_EQ(ds.m_HSupTyped[2].GetRecord(0)->m_dValue[0], 2.0);
  EXPECT_EQ(ds.m_HSupTyped[2].GetRecord(0)->m_nIndex, 0);
  // A record of type 4 exists only in the block as read and is not written.
  const std::string out = WriteText(ds);
  EXPECT_EQ(out.find(Ints({2, 0, 4}, 10)), std::string::npos);
}

TEST(IpDataSet, OldFormBeamsAreDroppedOnlyForAMatchingNewForm) {
  ColumnModeScope wide(1);
  struct Case {
    std::string gprop;  // number, or a comment record, or empty
    std::vector<int> expect;
  } cases[] = {
      {Lines({Ints({3, 0}, 10) + R(1) + "    0"}), {3, 5}},
      // A comment-carrying or empty new-form record does not take the number.
      {Lines({"$ c", Ints({3, 0}, 10) + R(1)}), {3, 3, 5}},
      {"", {3, 5}},
  };
  for (const Case& c : cases) {
    CIpDataSet ds;
    ReadText(ds, "/gproperty\r\n" + c.gprop + Lines({"/property", Ints({3, 0}, 10) + R(9), Ints({5, 0}, 10) + R(9)}));
    std::vector<int> got;
    for (int i = 0; i < ds.m_Beams.GetCount(); ++i) got.push_back(ds.m_Beams.GetRecord(i)->m_nNo);
    EXPECT_EQ(got, c.expect) << c.gprop;
    EXPECT_EQ(ds.m_OldBeams.GetCount(), 0);
    EXPECT_EQ(ds.m_Beams.GetRecord(static_cast<int>(got.size()) - 1)->m_nIndex, static_cast<int>(got.size()) - 1);
  }
}

TEST(IpDataSet, InitialForcesFollowInitialStresses) {
  ColumnModeScope wide(1);
  auto pst2 = [] {
    auto p = std::make_unique<CIpPSt2>();
    p->m_nKey = 1;
    p->m_nNo = 9;
    p->m_adValue[1] = 2.0;
    return p;
  };
  CIpDataSet ds;
  ds.m_PSt2s.Append(pst2());
  std::string pres;
  pst2()->Write(pres);
  std::string out = WriteText(ds);
  EXPECT_NE(out.find("/pres\r\n" + pres), std::string::npos);

  auto pst = std::make_unique<CIpPSt>();
  pst->m_nNo = 1;
  pst->m_dValue = 1;
  std::string stress;
  pst->Write(stress);
  ds.m_PSts.Append(std::move(pst));
  out = WriteText(ds);
  EXPECT_NE(out.find("/prestress\r\n" + stress + pres), std::string::npos);
  EXPECT_EQ(out.find("/pres\r\n"), std::string::npos);
  EXPECT_EQ(ds.m_PSt2s.m_strKeyword, "/pres");
}

TEST(IpDataSet, RemoveAllEmptiesThePropertyReferencesToo) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  for (int round = 0; round < 2; ++round) {
    ReadText(ds, FullFile());
    ds.LinkNodes();
    ds.BuildPropList();
    ds.CalcElemAxes();
    // One reference per property record, not one more set per load.
    EXPECT_EQ(ds.m_Props.GetCount(), 9);
    ASSERT_NE(ds.m_Elems.GetRecord(0)->m_pProp, nullptr);
    EXPECT_EQ(ds.m_Elems.GetRecord(0)->m_pProp->GetRef(kPropSlotSec), ds.m_Secs.GetRecord(0));
  }
  ds.RemoveAll();
  EXPECT_EQ(ds.m_Props.GetCount(), 0);
  EXPECT_EQ(ds.m_Elems.GetCount(), 0);
  EXPECT_TRUE(ds.m_SetSpc.IsEmpty());
  EXPECT_TRUE(ds.m_Ans.IsEmpty());
}

TEST(IpDataSet, TruncatedFilesKeepWhatWasRead) {
  ColumnModeScope wide(1);
  const std::string full = FullFile();
  CIpDataSet whole;
  ReadText(whole, full);
  // Cut the file after every line and in the middle of every line.
  CIpDataSet ds, again, third;
  size_t pos = 0;
  int cuts = 0;
  while (pos < full.size()) {
    const size_t eol = full.find('\n', pos);
    const size_t next = eol == std::string::npos ? full.size() : eol + 1;
    for (size_t cut : {pos + (next - pos) / 2, next}) {
      ReadText(ds, full.substr(0, cut));
      ++cuts;
      EXPECT_LE(ds.m_Nodes.GetCount(), whole.m_Nodes.GetCount());
      EXPECT_LE(ds.m_Beams.GetCount(), whole.m_Beams.GetCount());
      EXPECT_LE(ds.m_Ans.m_LoadList.GetCount(), whole.m_Ans.m_LoadList.GetCount());
      EXPECT_LE(ds.m_GSupRead.GetCount(), whole.m_GSupRead.GetCount());
      // What was read writes and reads back stably (after one round, which
      // may drop a keyword line whose only record writes no line, such as a
      // mass without direction).
      ReadText(again, WriteText(ds));
      const std::string out2 = WriteText(again);
      ReadText(third, out2);
      EXPECT_EQ(WriteText(third), out2) << "cut at " << cut;
    }
    pos = next;
  }
  EXPECT_GT(cuts, 200);
}

TEST(IpDataSet, HugeCountsAreBoundedByTheFile) {
  ColumnModeScope wide(1);
  struct Case {
    std::string text;
  } cases[] = {
      {Lines({"/analysis", Ints({16, 0}, 10) + R(0) + R(0) + Ints({2147483647}, 10) + plat::Format("%10d%1d%9d", 1, 0, 1)})},
      {Lines({"/sections", Ints({1, 1, 2147483647, 2147483647}, 10)})},
      {Lines({"/prestress", Ints({1, 1, 0, 0, 2147483647}, 10)})},
      {Lines({"/prestress", Ints({1, 1, 0, 0, -2147483647 - 1}, 10)})},
      {Lines({"/pshell", Ints({1, 0}, 10) + R(0) + Ints({2147483647, 3}, 10), R(1)})},
      {Lines({"/nspring", Ints({1, 0}, 10) + R(0) + R(0) + R(0) + Ints({2147483647}, 10)})},
      {Lines({"/functions", Ints({1}, 10), "    99999    1     " + R(1) + R(1)})},
      {Lines({"/nodes", Ints({1, 2147483647, 1}, 10), Ints({2, -2147483647 - 1, -1}, 10)})},
  };
  for (const Case& c : cases) {
    CIpDataSet ds;
    ReadText(ds, c.text + Lines({"/elements", Ints({1, 0, 0, 1, 1, 2}, 10)}));
    EXPECT_LE(ds.m_Elems.GetCount(), 1) << c.text;
    WriteText(ds);
    ds.LinkNodes();
    ds.BuildPropList();
    ds.CalcElemAxes();
  }
}

TEST(IpDataSet, RecordsPastTheLastSlotAreReported) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  ASSERT_TRUE(ds.m_Nodes.SetCell(CIpRecordArray::kMaxRecords - 1, 0, "1"));
  auto ar = Reader(Lines({"/nodes", Ints({2}, 10), Ints({3}, 10)}));
  ds.Read(*ar);
  ASSERT_EQ(ds.Messages().size(), 1u);
  EXPECT_NE(ds.Messages()[0].find("節点"), std::string::npos);
  EXPECT_NE(ds.Messages()[0].find("2件"), std::string::npos);
  ds.RemoveAll();
  EXPECT_TRUE(ds.Messages().empty());
}

TEST(IpDataSet, ConstructionLeavesTheOldBeamForm) {
  CIpDataSet ds;
  EXPECT_EQ(g_nBeamFormat, 0);
  EXPECT_EQ(ds.m_OldBeams.m_strKeyword, "/property");
  EXPECT_EQ(ds.m_OldBeams.m_nBeamFormat, 0);
  EXPECT_EQ(ds.m_Beams.m_nBeamFormat, 1);
  EXPECT_EQ(ds.m_EnDisps.m_strKeyword, "/endisp");
  EXPECT_EQ(ds.m_Pivots.m_strKeyword, "/pivot");
  EXPECT_EQ(ds.m_Nodes.m_nNo, 1);
  EXPECT_EQ(ds.m_Nodes.m_strCaption, "節点");
  EXPECT_EQ(ds.m_GSupTyped[2].m_nNo, 38);
  EXPECT_EQ(ds.m_Ans.m_LoadList.m_nNo, 24);
  EXPECT_EQ(ds.m_Ans.m_LoadList.m_strCaption, "荷重載荷リスト");
  EXPECT_EQ(ds.m_Ans.m_strCaption, "静解析パラメータ");
  EXPECT_TRUE(ds.m_HSupRead.m_strCaption.empty());
  g_nBeamFormat = 1;
}

TEST(IpDataSet, WriteFileReplacesTheFileOnlyWhenComplete) {
  ColumnModeScope wide(1);
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ip_dataset_test_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  CIpDataSet ds;
  ReadText(ds, FullFile());
  const std::string path = (dir / "model.dat").string();
  std::string error;
  ASSERT_TRUE(ds.WriteFile(path, &error)) << error;
  std::string onDisk;
  ASSERT_TRUE(plat::ReadWholeFile(path, onDisk));
  EXPECT_EQ(onDisk, WriteText(ds));

  // A folder that does not exist: reported, nothing written.
  error.clear();
  EXPECT_FALSE(ds.WriteFile((dir / "missing" / "model.dat").string(), &error));
  EXPECT_FALSE(error.empty());
  // A target that cannot be replaced (a folder): reported, and no
  // temporary file is left behind.
  error.clear();
  EXPECT_FALSE(ds.WriteFile(dir.string(), &error));
  EXPECT_FALSE(error.empty());
  std::string still;
  ASSERT_TRUE(plat::ReadWholeFile(path, still));
  EXPECT_EQ(still, onDisk);
  fs::remove_all(dir);
}

TEST(IpDataSet, LoadsOnWorkersLeaveOtherThreadsAlone) {
  // The column layout and the beam line form belong to the thread that reads.
  g_nBeamFormat = 1;
  g_nColumnMode = 0;
  const std::string full = FullFile();
  std::string outs[2];
  std::thread workers[2];
  for (int w = 0; w < 2; ++w) {
    workers[w] = std::thread([&full, &outs, w] {
      ColumnModeScope wide(1);
      for (int round = 0; round < 5; ++round) {
        CIpDataSet ds;
        ReadText(ds, full);
        outs[w] = WriteText(ds);
      }
    });
  }
  for (auto& t : workers) t.join();
  EXPECT_EQ(g_nBeamFormat, 1);
  EXPECT_EQ(g_nColumnMode, 0);
  ColumnModeScope wide(1);
  CIpDataSet ds;
  ReadText(ds, full);
  const std::string expect = WriteText(ds);
  EXPECT_EQ(outs[0], expect);
  EXPECT_EQ(outs[1], expect);
}

TEST(IpDataSet, SecondInitialConditionGivesTheEigenLineASecondValue) {
  ColumnModeScope wide(1);
  struct Case {
    bool second;    // initial condition 2 holds data
    int modes;      // eigen modes read
    const char* eigen;  // the written "/eigen" section, or "" when not written
  } cases[] = {
      {false, 12, "/eigen\r\n        12\r\n"},
      {true, 12, "/eigen\r\n        12         2\r\n"},
      // An empty eigen record is not written, second initial condition or not.
      {true, 0, ""},
  };
  for (const Case& c : cases) {
    CIpDataSet ds;
    ReadText(ds, c.modes ? Lines({"/eigen", Ints({c.modes}, 10)}) : std::string());
    if (c.second) {
      ds.m_InitCond[1].m_strFile = "second.rst";
      ds.m_InitCond[1].m_bEmpty = 0;
    }
    const std::string out = WriteText(ds);
    if (*c.eigen) {
      EXPECT_NE(out.find(c.eigen), std::string::npos) << out;
    } else {
      EXPECT_EQ(out.find("/eigen"), std::string::npos) << out;
    }
    EXPECT_EQ(ds.m_Modal.m_nModalOpt, c.second ? 2 : 0);
    // Read back, the eigen line keeps both values.
    CIpDataSet back;
    ReadText(back, out);
    EXPECT_EQ(back.m_Modal.m_nModes, c.modes);
    EXPECT_EQ(back.m_Modal.m_nModalOpt, c.second && c.modes ? 2 : 0);
    EXPECT_EQ(WriteText(back), out);
  }
}

// A "/mass" record without a direction has no line of its own, so a block of
// such records writes its keyword line alone; read back, that is an empty
// block, which the next write leaves out. No mass of any direction is lost.
TEST(IpDataSet, MassWithoutDirectionWritesTheKeywordAlone) {
  ColumnModeScope wide(1);
  CIpDataSet ds;
  ReadText(ds, Lines({"/mass", Ints({5, 0, 0, 0}, 10) + R(2.0), "/gravity", R(9.8)}));
  ASSERT_EQ(ds.m_Masses.GetCount(), 1);
  EXPECT_EQ(ds.m_Masses.GetRecord(0)->m_nDir, 0);
  const std::string out1 = WriteText(ds);
  EXPECT_NE(out1.find("/mass\r\n/gproperty\r\n"), std::string::npos) << out1;
  CIpDataSet second;
  ReadText(second, out1);
  EXPECT_EQ(second.m_Masses.GetCount(), 0);
  const std::string out2 = WriteText(second);
  EXPECT_EQ(out2.find("/mass"), std::string::npos);
  CIpDataSet third;
  ReadText(third, out2);
  EXPECT_EQ(WriteText(third), out2);
}

}  // namespace
