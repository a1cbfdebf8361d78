// The cell columns of every record class with cells: SetText of column c
// lands in the field of the record's column table, and GetText gives it back
// in the cell format of that column, in both column layouts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ans_records.h"
#include "model/elem_records.h"
#include "model/load_records.h"
#include "model/misc_records.h"
#include "model/node_records.h"
#include "model/quad_records.h"
#include "model/shell_records.h"
#include "platform/numbers.h"

namespace {

std::string F(const char* fmt, auto... v) { return plat::Format(fmt, v...); }

struct CellCase {
  const char* name;
  std::function<std::unique_ptr<CFemInput>()> make;
  std::vector<std::string> sets;                    // text set into column 0, 1, ...
  std::function<std::string(CFemInput&)> fields;    // the fields in declared order
  std::string wantFields;
  std::vector<std::string> narrow;                  // GetText of column 0, 1, ... narrow
  std::vector<std::string> wide;                    // the same wide; empty: as narrow
};

template <class Rec>
std::function<std::unique_ptr<CFemInput>()> Make() {
  return [] { return std::unique_ptr<CFemInput>(new Rec()); };
}

template <class Rec>
std::function<std::string(CFemInput&)> Dump(std::function<std::string(Rec&)> f) {
  return [f](CFemInput& r) { return f(dynamic_cast<Rec&>(r)); };
}

const std::string k15 = "    1.5000", k25 = "    2.5000", k35 = "    3.5000", k45 = "    4.5000";

TEST(RecordCells, ColumnOrderAndFormats) {
  const CellCase cases[] = {
      {"node", Make<CIpNode>(), {"1", "1.5", "2.5", "3.5", "9", "2", "0.25", "0.5", "0.75"},
       Dump<CIpNode>([](CIpNode& r) {
         return F("%d %g %g %g %d %d %g %g %g", r.m_nNo, r.m_dX, r.m_dY, r.m_dZ, r.m_nLast, r.m_nInc, r.m_dDX, r.m_dDY,
                  r.m_dDZ);
       }),
       "1 1.5 2.5 3.5 9 2 0.25 0.5 0.75",
       {"1", k15, k25, k35, "9", "2", "    0.2500", "    0.5000", "    0.7500", ""},
       {"1", "         1.5000", "         2.5000", "         3.5000", "9", "2", "         0.2500", "         0.5000",
        "         0.7500", ""}},
      {"support", Make<CIpSup>(), {"3", "1", "0", "1", "0", "0", "1", "9", "3"},
       Dump<CIpSup>([](CIpSup& r) { return F("%d %d %d %d", r.m_nNo, r.m_nCode, r.m_nLast, r.m_nInc); }), "3 37 9 3",
       {"3", "1", "0", "1", "0", "0", "1", "9", "3", ""}, {}},
      {"element", Make<CIpElem>(), {"1", "3", "10", "20", "5", "1"},
       Dump<CIpElem>([](CIpElem& r) {
         return F("%d %d %d %d %d %d", r.m_nNo, r.m_nNodeI, r.m_nNodeJ, r.m_nProp, r.m_nLast, r.m_nInc);
       }),
       "1 10 20 3 5 1", {"1", "3", "10", "20", "5", "1", ""}, {}},
      {"pshell", Make<CIpPShell>(), {"2", "1", "0.5", "4", "3", "5.5", "1.5", "2.5", "3.5", "4.5"},
       Dump<CIpPShell>([](CIpPShell& r) {
         return F("%d %d %g %d %d %g %g %g %g %g", r.m_nNo, r.m_nPsOpt, r.m_dPs0, r.m_nLayers, r.m_nShellType,
                  r.m_dPs1, r.m_dPs2, r.m_dPs3, r.m_dPs4, r.m_dPs5);
       }),
       "2 1 0.5 4 3 1.5 2.5 3.5 4.5 5.5",
       {"2", "1", "  0.5000", "4", "3", "  5.5000", "  1.5000", "  2.5000", "  3.5000", "  4.5000", ""}, {}},
      {"forces", Make<CIpNLd>(), {"1", "10", "3", "5.5", "20", "2"},
       Dump<CIpNLd>([](CIpNLd& r) {
         return F("%d %d %d %g %d %d", r.m_nKey, r.m_nNo, r.m_nCode, r.m_dValue, r.m_nLast, r.m_nInc);
       }),
       "1 10 3 5.5 20 2", {"1", "10", "3", "    5.5000", "20", "2", ""}, {}},
      {"pload", Make<CIpPLd>(), {"1", "10", "3", "1.5", "2.5", "3.5", "4.5", "20", "2"},
       Dump<CIpPLd>([](CIpPLd& r) {
         return F("%d %d %g %g %g %g %d %d", r.m_nKey, r.m_nCode, r.m_dValue1, r.m_dValue2, r.m_dValue3,
                  r.m_dValue4, r.m_nLast, r.m_nInc);
       }),
       "1 3 1.5 2.5 3.5 4.5 20 2", {"1", "10", "3", k15, k25, k35, k45, "20", "2", ""}, {}},
      {"mass", Make<CIpMass>(), {"5", "0", "1", "0", "0", "1", "0", "1.5", "9", "2"},
       Dump<CIpMass>([](CIpMass& r) { return F("%d %g %d %d", r.m_nDir, r.m_dValue, r.m_nLast, r.m_nInc); }),
       "18 1.5 9 2", {"5", "0", "1", "0", "0", "1", "0", k15, "9", "2", ""}, {}},
      {"dforce", Make<CIpDForce>(), {"4", "1", "6", "-2.5", "8", "2"},
       Dump<CIpDForce>([](CIpDForce& r) {
         return F("%d %d %d %g %d %d %d", r.m_nFirst, r.m_nCodeB, r.m_nCodeA, r.m_dValue, r.m_nLast, r.m_nInc,
                  r.m_nNo);
       }),
       "4 6 1 -2.5 8 2 0", {"4", "1", "6", "   -2.5000", "8", "2", ""}, {}},
      {"quake", Make<CIpQuake>(), {"1", "2", "3", "0.5"},
       Dump<CIpQuake>([](CIpQuake& r) {
         return F("%d %d %d %d %g", r.m_nKey, r.m_nSecond, r.m_nCodeA, r.m_nCodeB, r.m_dFactor);
       }),
       "1 1 2 3 0.5", {"1", "2", "3", "    0.5000", ""}, {}},
      {"load list entry", Make<CIpAnsSub>(), {"12", "7", "34"},
       Dump<CIpAnsSub>([](CIpAnsSub& r) { return F("%d %d %d", r.m_nValue1, r.m_nFlag, r.m_nValue2); }), "12 1 34",
       {"12", "1", "34", ""}, {}},
      {"prestress", Make<CIpPSt>(), {"1", "3", "1.5", "9", "2"},
       Dump<CIpPSt>([](CIpPSt& r) {
         return F("%d %d %d %d %g", r.m_nKey, r.m_nNo, r.m_nLast, r.m_nInc, r.m_dValue);
       }),
       "1 3 9 2 1.5", {"1", "3", k15, "9", "2", ""}, {}},
      {"pres", Make<CIpPSt2>(), {"1", "3", "1.5", "0", "2.5", "0", "0", "4.5", "9", "2"},
       Dump<CIpPSt2>([](CIpPSt2& r) {
         std::string s = F("%d %d %d %d", r.m_nKey, r.m_nNo, r.m_nLast, r.m_nInc);
         for (double v : r.m_adValue) s += F(" %g", v);
         return s;
       }),
       "1 3 9 2 1.5 0 2.5 0 0 4.5",
       {"1", "3", "  1.500000", "         0", "  2.500000", "         0", "         0", "  4.500000", "9", "2", ""},
       {}},
      {"strain", Make<CIpStrn>(), {"1", "10", "0", "1.5", "2.5", "20", "2"},
       Dump<CIpStrn>([](CIpStrn& r) {
         return F("%d %d %d %g %g %d %d", r.m_nKey, r.m_nCode, r.m_nNo, r.m_dValue1, r.m_dValue2, r.m_nLast,
                  r.m_nInc);
       }),
       "1 0 10 1.5 2.5 20 2", {"1", "10", "0", k15, k25, "20", "2", ""}, {}},
      {"ndequal", Make<CIpNDEqual>(), {"1", "1", "0", "1", "0", "0", "1", "4", "2", "3"},
       Dump<CIpNDEqual>([](CIpNDEqual& r) {
         return F("%d %d %d %d %d", r.m_nNo, r.m_nSecond, r.m_nInc, r.m_nThird, r.m_nDir);
       }),
       "1 2 3 4 37", {"1", "1", "0", "1", "0", "0", "1", "4", "2", "3", ""}, {}},
      {"cquad", Make<CIpQuad>(), {"10", "3", "1", "2", "12", "11", "7", "1"},
       Dump<CIpQuad>([](CIpQuad& r) {
         return F("%d %d %d %d %d %d %d %d", r.m_nNo, r.m_nSecond, r.m_nInc, r.m_nRef, r.m_anNode[0], r.m_anNode[1],
                  r.m_anNode[2], r.m_anNode[3]);
       }),
       "10 7 1 3 1 2 12 11", {"10", "3", "1", "2", "12", "11", "7", "1", ""}, {}},
      {"sufload", Make<CIpSLd>(), {"1", "10", "1.5", "2.5", "3.5", "4.5", "20", "2"},
       Dump<CIpSLd>([](CIpSLd& r) {
         return F("%d %d %d %d %g %g %g %g", r.m_nKey, r.m_nNo, r.m_nLast, r.m_nInc, r.m_dValue1, r.m_dValue2,
                  r.m_dValue3, r.m_dValue4);
       }),
       "1 10 20 2 1.5 2.5 3.5 4.5", {"1", "10", k15, k25, k35, k45, "20", "2", ""}, {}},
      {"cqline", Make<CIpQline>(), {"20", "3", "5", "6", "7", "8", "1"},
       Dump<CIpQline>([](CIpQline& r) {
         return F("%d %d %d %d %d %d %d", r.m_nNo, r.m_nSecond, r.m_nInc, r.m_nRef, r.m_nNode1, r.m_nNode2,
                  r.m_nThird);
       }),
       "20 8 1 3 5 6 7", {"20", "3", "5", "6", "7", "8", "1", ""}, {}},
  };
  for (const CellCase& c : cases) {
    auto rec = c.make();
    for (size_t col = 0; col < c.sets.size(); ++col)
      EXPECT_TRUE(rec->SetText(static_cast<int>(col), c.sets[col])) << c.name << " column " << col;
    EXPECT_EQ(c.fields(*rec), c.wantFields) << c.name;
    for (int mode = 0; mode < 2; ++mode) {
      ColumnModeScope scope(mode);
      const std::vector<std::string>& want = mode && !c.wide.empty() ? c.wide : c.narrow;
      for (size_t col = 0; col < want.size(); ++col) {
        EXPECT_EQ(rec->GetText(static_cast<int>(col)), want[col]) << c.name << " column " << col << " mode " << mode;
      }
    }
  }
}

// GetGenText steps only the number columns of a generating record.
TEST(RecordCells, GeneratedColumns) {
  struct GenCase {
    const char* name;
    std::function<std::unique_ptr<CFemInput>()> make;
    std::vector<std::string> sets;
    int item;
    std::vector<std::string> want;  // GetGenText of column 0, 1, ...
  } cases[] = {
      {"node", Make<CIpNode>(), {"1", "1.5", "0", "0", "9", "2", "0.25", "0", "0"}, 2,
       {"5", "    2.0000", "    0.0000", "    0.0000", "9", "2", "    0.2500", "    0.0000", "    0.0000"}},
      {"support", Make<CIpSup>(), {"3", "1", "0", "0", "0", "0", "0", "9", "3"}, 2,
       {"9", "1", "0", "0", "0", "0", "0", "9", "3"}},
      {"element", Make<CIpElem>(), {"1", "3", "10", "20", "5", "1"}, 4, {"5", "3", "14", "24", "5", "1"}},
      {"forces", Make<CIpNLd>(), {"1", "10", "3", "5.5", "20", "2"}, 2, {"1", "14", "3", "    5.5000", "20", "2"}},
      {"pload", Make<CIpPLd>(), {"1", "10", "3", "1.5", "0", "0", "0", "20", "2"}, 1,
       {"1", "12", "3", k15, "    0.0000", "    0.0000", "    0.0000", "20", "2"}},
      {"mass", Make<CIpMass>(), {"5", "1", "0", "0", "0", "0", "0", "1.5", "9", "2"}, 2,
       {"9", "1", "0", "0", "0", "0", "0", k15, "9", "2"}},
      {"dforce", Make<CIpDForce>(), {"4", "1", "6", "0", "8", "2"}, 1, {"6", "1", "6", "", "8", "2"}},
      {"prestress", Make<CIpPSt>(), {"1", "3", "1.5", "9", "2"}, 3, {"1", "9", k15, "9", "2"}},
      {"strain", Make<CIpStrn>(), {"1", "10", "0", "1.5", "0", "20", "2"}, 5,
       {"1", "20", "0", k15, "    0.0000", "20", "2"}},
      {"ndequal", Make<CIpNDEqual>(), {"1", "1", "0", "0", "0", "0", "0", "4", "2", "3"}, 2,
       {"7", "1", "0", "0", "0", "0", "0", "4", "2", "3"}},
      {"cquad", Make<CIpQuad>(), {"10", "3", "1", "2", "12", "11", "0", "1"}, 3,
       {"13", "3", "4", "5", "15", "14", "", "1"}},
      {"sufload", Make<CIpSLd>(), {"1", "10", "1.5", "1.5", "1.5", "1.5", "20", "2"}, 2,
       {"1", "14", k15, k15, k15, k15, "20", "2"}},
      {"cqline", Make<CIpQline>(), {"20", "3", "0", "6", "7", "0", "1"}, 2, {"22", "3", "", "8", "9", "", "1"}},
  };
  for (const GenCase& c : cases) {
    auto rec = c.make();
    for (size_t col = 0; col < c.sets.size(); ++col) rec->SetText(static_cast<int>(col), c.sets[col]);
    for (size_t col = 0; col < c.want.size(); ++col)
      EXPECT_EQ(rec->GetGenText(static_cast<int>(col), c.item), c.want[col]) << c.name << " column " << col;
  }
}

}  // namespace
