// Every record class reads its fields from the start columns and widths of
// its line tables, in both column layouts. Each line is built field by field
// (right-aligned in its columns), so a wrong start or width shows as a wrong
// or merged value.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dataset/ip_test_lines.h"
#include "model/ans_records.h"
#include "model/beam_records.h"
#include "model/elem_records.h"
#include "model/load_records.h"
#include "model/mat_records.h"
#include "model/misc_records.h"
#include "model/node_records.h"
#include "model/prop_records.h"
#include "model/quad_records.h"
#include "model/sec_records.h"
#include "model/shell_records.h"
#include "model/single_records.h"
#include "model/spring_records.h"
#include "model/support_type_records.h"
#include "platform/numbers.h"

using iptest::Cols;

namespace {

std::string Join(std::initializer_list<std::string> lines) {
  std::string t;
  for (const auto& l : lines) t += l + "\r\n";
  return t;
}

// Reads one record from `text` in the given layout; null when Read refused.
template <class Rec>
std::unique_ptr<Rec> ReadOne(const std::string& text, int mode) {
  ColumnModeScope scope(mode);
  auto ar = plat::LineReader::FromString(text);
  auto rec = std::make_unique<Rec>();
  std::string line;
  if (!rec->Read(*ar, line)) return nullptr;
  return rec;
}

std::string F(const char* fmt, auto... v) { return plat::Format(fmt, v...); }

struct Case {
  const char* name;
  std::function<std::string()> got;
  std::string want;
};

void RunCases(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) EXPECT_EQ(c->got(), c->want) << c->name;
}

// Narrow (n) or wide (w) start and width of one field.
struct NW {
  int ns, nw, ws, ww;
};
iptest::Field At(int mode, NW f, std::string text) {
  return mode ? iptest::Field{f.ws, f.ww, std::move(text)} : iptest::Field{f.ns, f.nw, std::move(text)};
}

TEST(RecordLayout, NodeSupportElementMaterial) {
  auto node = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "11"), At(m, {5, 5, 10, 10}, "19"), At(m, {10, 5, 20, 10}, "2"),
                                At(m, {15, 10, 30, 15}, "1.5"), At(m, {25, 10, 45, 15}, "2.5"),
                                At(m, {35, 10, 60, 15}, "3.5"), At(m, {45, 10, 75, 10}, "0.25"),
                                At(m, {55, 10, 85, 10}, "0.5"), At(m, {65, 10, 95, 10}, "0.75")});
    auto r = ReadOne<CIpNode>(l + "\r\n", m);
    return F("%d %d %d %g %g %g %g %g %g", r->m_nNo, r->m_nLast, r->m_nInc, r->m_dX, r->m_dY, r->m_dZ, r->m_dDX,
             r->m_dDY, r->m_dDZ);
  };
  auto sup = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "7"), At(m, {5, 6, 10, 6}, m ? "010101" : "101010"),
                                At(m, {15, 5, 20, 10}, "19"), At(m, {20, 5, 30, 10}, "3")});
    auto r = ReadOne<CIpSup>(l + "\r\n", m);
    return F("%d %d %d %d", r->m_nNo, r->m_nCode, r->m_nLast, r->m_nInc);
  };
  auto elem = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "5"), At(m, {10, 5, 20, 10}, "1"),
                                At(m, {20, 5, 30, 10}, "3"), At(m, {25, 5, 40, 10}, "10"),
                                At(m, {30, 5, 50, 10}, "20")});
    auto r = ReadOne<CIpElem>(l + "\r\n", m);
    return F("%d %d %d %d %d %d", r->m_nNo, r->m_nLast, r->m_nInc, r->m_nProp, r->m_nNodeI, r->m_nNodeJ);
  };
  auto mat = [](int m) {
    const std::string l1 = Cols({At(m, {0, 5, 0, 10}, "4"), At(m, {5, 5, 10, 10}, "0"), At(m, {10, 10, 20, 10}, "1.5"),
                                 At(m, {20, 10, 30, 10}, "2.5"), At(m, {30, 10, 40, 10}, "3.5"),
                                 At(m, {40, 10, 50, 10}, "4.5")});
    const std::string l2 = Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "0.3"}, {30, 10, "0.4"}, {40, 10, "0.5"},
                                 {50, 10, "0.6"}});
    auto r = ReadOne<CIpMat>(Join({l1, l2}), m);
    return F("%d %d %g %g %g %g | %g %g %g %g %g %g", r->m_nNo, r->m_nType, r->m_dVal1, r->m_dVal2, r->m_dVal3,
             r->m_dVal4, r->m_aParam[0], r->m_aParam[1], r->m_aParam[2], r->m_aParam[3], r->m_aParam[4],
             r->m_aParam[5]);
  };
  const Case cases[] = {
      {"node narrow", [&] { return node(0); }, "11 19 2 1.5 2.5 3.5 0.25 0.5 0.75"},
      {"node wide", [&] { return node(1); }, "11 19 2 1.5 2.5 3.5 0.25 0.5 0.75"},
      {"support narrow", [&] { return sup(0); }, "7 21 19 3"},
      {"support wide", [&] { return sup(1); }, "7 42 19 3"},
      {"element narrow", [&] { return elem(0); }, "1 5 1 3 10 20"},
      {"element wide", [&] { return elem(1); }, "1 5 1 3 10 20"},
      {"material narrow", [&] { return mat(0); }, "4 0 1.5 2.5 3.5 4.5 | 0.1 0.2 0.3 0.4 0.5 0.6"},
      {"material wide", [&] { return mat(1); }, "4 0 1.5 2.5 3.5 4.5 | 0.1 0.2 0.3 0.4 0.5 0.6"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

TEST(RecordLayout, SectionBlockDeck) {
  auto sec = [](int m) {
    const std::string head =
        Cols({At(m, {0, 5, 0, 10}, "3"), At(m, {5, 5, 10, 10}, "2"), At(m, {10, 5, 20, 10}, "1"),
              At(m, {15, 5, 30, 10}, "1"), At(m, {20, 12, 40, 12}, "1 1"), At(m, {32, 3, 55, 10}, "4"),
              At(m, {35, 10, 65, 10}, "0.1"), At(m, {45, 10, 75, 10}, "0.2"), At(m, {55, 10, 85, 10}, "0.3"),
              At(m, {65, 5, 95, 10}, "0.5"), At(m, {70, 5, 105, 10}, "0.6"), At(m, {75, 5, 115, 10}, "7"),
              At(m, {80, 10, 125, 10}, "1.1"), At(m, {90, 10, 135, 10}, "1.2"), At(m, {100, 10, 145, 10}, "1.3")});
    // A straight block and an arc deck.
    const std::string blk = Cols({At(m, {0, 5, 0, 10}, "4"), At(m, {5, 5, 10, 10}, "6"), At(m, {10, 10, 20, 10}, "1"),
                                  At(m, {20, 10, 30, 10}, "2"), At(m, {30, 10, 40, 10}, "3"),
                                  At(m, {40, 10, 50, 10}, "4"), At(m, {50, 10, 60, 10}, "0.5"),
                                  At(m, {60, 5, 80, 10}, "2"), At(m, {65, 5, 90, 10}, "0")});
    std::string dck = Cols({At(m, {0, 5, 0, 10}, "8"), At(m, {5, 5, 10, 10}, "9"), At(m, {10, 10, 20, 10}, "1"),
                            At(m, {20, 10, 30, 10}, "10"), At(m, {30, 10, 40, 10}, "2"), At(m, {40, 10, 50, 10}, "80"),
                            At(m, {50, 10, 60, 10}, "0.7"), At(m, {65, 5, 90, 10}, "-1")});
    dck = m ? Cols({{0, 100, dck}, {70, 10, "5.5"}, {80, 10, "6.5"}}) : Cols({{0, 70, dck}, {60, 5, "3"}});
    auto r = ReadOne<CIpSec>(Join({head, blk, dck}), m);
    if (!r || r->GetBlkCount() != 1 || r->GetDckCount() != 1) return std::string("lists");
    const CIpBlk& b = *r->m_pBlkList[0];
    const CIpDck& d = *r->m_pDckList[0];
    return F("%d %d %d %d %g %g %g %g %g %d %g %g %g", r->m_nNo, r->m_nMat, r->m_nFlags, r->m_nSecOpt1, r->m_dVx,
             r->m_dVy, r->m_dVz, r->m_dCoef1, r->m_dCoef2, r->m_nSecOpt2, r->m_dSecVal1, r->m_dSecVal2,
             r->m_dSecVal3) +
           F(" | %d %d %g %g %g %g %g %d %d", b.m_nDiv1, b.m_nDiv2, b.m_dY1, b.m_dZ1, b.m_dY2, b.m_dZ2, b.m_dThick,
             b.m_nMat, b.m_nType) +
           F(" | %d %d %d %g %g %g %g %g %d %g %g", d.m_nCount, d.m_nDiv2, d.m_nMat, d.m_dY1, d.m_dZ1, d.m_dY2,
             d.m_dZ2, d.m_dValue, d.m_nType, d.m_dYc, d.m_dZc);
  };
  auto arc = [](int m) {
    std::string l = Cols({At(m, {0, 5, 0, 10}, "4"), At(m, {5, 5, 10, 10}, "6"), At(m, {10, 10, 20, 10}, "1"),
                          At(m, {20, 10, 30, 10}, "0"), At(m, {30, 10, 40, 10}, "3"), At(m, {40, 10, 50, 10}, "90"),
                          At(m, {60, 5, 80, 10}, "2"), At(m, {65, 5, 90, 10}, "-1")});
    if (m) l = Cols({{0, 100, l}, {60, 10, "0.25"}, {70, 10, "0.75"}});
    auto r = ReadOne<CIpBlk>(l + "\r\n", m);
    return F("%g %g %g %d", r->m_dThick, r->m_dYc, r->m_dZc, r->m_nMat);
  };
  const Case cases[] = {
      {"section narrow", [&] { return sec(0); },
       "3 2 2560 4 0.1 0.2 0.3 0.5 0.6 7 1.1 1.2 1.3 | 4 6 1 2 3 4 0.5 2 0 | 8 9 3 1 10 2 80 0.7 -1 0 0"},
      {"section wide", [&] { return sec(1); },
       "3 2 2560 4 0.1 0.2 0.3 0.5 0.6 7 1.1 1.2 1.3 | 4 6 1 2 3 4 0.5 2 0 | 8 9 1 1 10 2 80 0.7 -1 5.5 6.5"},
      {"arc block narrow", [&] { return arc(0); }, "0 0 0 2"},
      {"arc block wide", [&] { return arc(1); }, "0 0.25 0.75 2"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

TEST(RecordLayout, PropertyLines) {
  auto scl = [](int m) {
    const std::string l1 =
        Cols({At(m, {0, 5, 0, 10}, "5"), At(m, {5, 5, 10, 10}, "2"), At(m, {10, 10, 20, 10}, "1"),
              At(m, {20, 10, 30, 10}, "2"), At(m, {30, 10, 40, 10}, "3"), At(m, {40, 10, 50, 10}, "4"),
              At(m, {50, 10, 60, 10}, "5"), At(m, {60, 10, 70, 10}, "6"), At(m, {70, 5, 80, 5}, "1")});
    const std::string l2 = Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "0.3"}, {30, 10, "7"}, {40, 10, "8"}});
    auto r = ReadOne<CIpScl>(Join({l1, l2}), m);
    return F("%d %d %g %g %g %g %g %g %g %g %g %g %g", r->m_nNo, r->m_nSclOpt, r->m_dS1, r->m_dS2, r->m_dS3,
             r->m_dS4, r->m_dS5, r->m_dS6, r->m_dVx, r->m_dVy, r->m_dVz, r->m_dR1, r->m_dR2);
  };
  auto prop = [](int m) {
    const std::string l1 = Cols({At(m, {0, 5, 0, 10}, "6"), At(m, {5, 5, 10, 10}, "2"), At(m, {10, 10, 20, 10}, "1"),
                                 At(m, {20, 10, 30, 10}, "2"), At(m, {30, 10, 40, 10}, "3"),
                                 At(m, {40, 10, 50, 10}, "4"), At(m, {50, 12, 60, 12}, "1 1"),
                                 At(m, {70, 5, 75, 5}, "1")});
    const std::string l2 = Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "0.3"}, At(m, {30, 5, 30, 10}, "9"),
                                 At(m, {35, 5, 40, 10}, "0.5"), At(m, {40, 5, 50, 10}, "0.6")});
    BeamFormatScope form(0);
    auto r = ReadOne<CIpBeam>(Join({l1, l2}), m);
    return F("%d %d %g %g %g %g %d %g %g %g %d %g %g", r->m_nNo, r->m_nBeamOpt, r->m_dS1, r->m_dS2, r->m_dS3,
             r->m_dS4, r->m_nFlags, r->m_dVx, r->m_dVy, r->m_dVz, r->m_nBeamInt, r->m_dR1, r->m_dR2);
  };
  auto gprop = [](int m) {
    const std::string l1 = Cols({At(m, {0, 5, 0, 10}, "6"), At(m, {5, 5, 10, 10}, "2"), At(m, {10, 10, 20, 10}, "1"),
                                 At(m, {20, 10, 30, 10}, "2"), At(m, {30, 10, 40, 10}, "3"),
                                 At(m, {40, 10, 50, 10}, "4"), At(m, {50, 10, 60, 10}, "5"),
                                 At(m, {60, 10, 70, 10}, "6"), At(m, {70, 5, 80, 5}, "1")});
    const std::string l2 =
        Cols({{0, 10, "7"}, {10, 10, "8"}, {20, 10, "9"}, At(m, {30, 5, 30, 10}, "3"), At(m, {35, 5, 40, 10}, "0.5"),
              At(m, {40, 5, 50, 10}, "0.6"), At(m, {50, 12, 60, 12}, "11"), At(m, {70, 5, 75, 5}, "1")});
    const std::string l3 = Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "0.3"}});
    BeamFormatScope form(1);
    auto r = ReadOne<CIpBeam>(Join({l1, l2, l3}), m);
    return F("%d %d %g %g %g %g %g %g | %g %g %g %d %g %g %d | %g %g %g", r->m_nNo, r->m_nBeamOpt, r->m_dS1,
             r->m_dS2, r->m_dS3, r->m_dS4, r->m_dR5, r->m_dR6, r->m_dR7, r->m_dR3, r->m_dR4, r->m_nBeamInt, r->m_dR1,
             r->m_dR2, r->m_nFlags, r->m_dVx, r->m_dVy, r->m_dVz);
  };
  auto pshell = [](int m) {
    const std::string l1 = Cols({At(m, {0, 5, 0, 10}, "2"), At(m, {5, 5, 10, 10}, "1"), At(m, {10, 10, 20, 10}, "0.5"),
                                 At(m, {20, 5, 30, 10}, "1"), At(m, {25, 5, 40, 10}, "3")});
    const std::string l2 = Cols({{0, 10, "1"}, {10, 10, "2"}, {20, 10, "3"}, {30, 10, "4"}, {40, 10, "5"}});
    const std::string lay = Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "7"}});
    auto r = ReadOne<CIpPShell>(Join({l1, l2, lay}), m);
    if (!r || r->m_pLayerList.size() != 1) return std::string("layers");
    const CIpLayer& y = *r->m_pLayerList[0];
    return F("%d %d %g %d %d %g %g %g %g %g | %g %g %d", r->m_nNo, r->m_nPsOpt, r->m_dPs0, r->m_nLayers,
             r->m_nShellType, r->m_dPs1, r->m_dPs2, r->m_dPs3, r->m_dPs4, r->m_dPs5, y.m_dLay1, y.m_dLay2, y.m_nLay);
  };
  const Case cases[] = {
      {"scalar narrow", [&] { return scl(0); }, "5 2 1 2 3 4 5 6 0.1 0.2 0.3 7 8"},
      {"scalar wide", [&] { return scl(1); }, "5 2 1 2 3 4 5 6 0.1 0.2 0.3 7 8"},
      {"property narrow", [&] { return prop(0); }, "6 2 1 2 3 4 2560 0.1 0.2 0.3 9 0.5 0.6"},
      {"property wide", [&] { return prop(1); }, "6 2 1 2 3 4 2560 0.1 0.2 0.3 9 0.5 0.6"},
      {"gproperty narrow", [&] { return gprop(0); }, "6 2 1 2 3 4 5 6 | 7 8 9 3 0.5 0.6 3072 | 0.1 0.2 0.3"},
      {"gproperty wide", [&] { return gprop(1); }, "6 2 1 2 3 4 5 6 | 7 8 9 3 0.5 0.6 3072 | 0.1 0.2 0.3"},
      {"pshell narrow", [&] { return pshell(0); }, "2 1 0.5 1 3 1 2 3 4 5 | 0.1 0.2 7"},
      {"pshell wide", [&] { return pshell(1); }, "2 1 0.5 1 3 1 2 3 4 5 | 0.1 0.2 7"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

TEST(RecordLayout, LoadLines) {
  auto nld = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "10"), At(m, {10, 5, 20, 10}, "20"),
                                At(m, {15, 5, 30, 10}, "2"), At(m, {20, 5, 40, 10}, "3"),
                                At(m, {25, 10, 50, 10}, "5.5")});
    auto r = ReadOne<CIpNLd>(l + "\r\n", m);
    return F("%d %d %d %d %d %g", r->m_nKey, r->m_nNo, r->m_nLast, r->m_nInc, r->m_nCode, r->m_dValue);
  };
  auto pld = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "10"), At(m, {10, 5, 20, 10}, "20"),
                                At(m, {15, 5, 30, 10}, "2"), At(m, {20, 5, 40, 10}, "3"),
                                At(m, {25, 10, 50, 10}, "1.5"), At(m, {35, 10, 60, 10}, "2.5"),
                                At(m, {45, 10, 70, 10}, "3.5"), At(m, {55, 10, 80, 10}, "4.5")});
    auto r = ReadOne<CIpPLd>(l + "\r\n", m);
    return F("%d %d %d %d %d %g %g %g %g", r->m_nKey, r->m_nNo, r->m_nLast, r->m_nInc, r->m_nCode, r->m_dValue1,
             r->m_dValue2, r->m_dValue3, r->m_dValue4);
  };
  auto mass = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "5"), At(m, {5, 5, 10, 10}, "9"), At(m, {10, 5, 20, 10}, "2"),
                                At(m, {15, 5, 30, 10}, "13"), At(m, {20, 10, 40, 10}, "1.5")});
    auto r = ReadOne<CIpMass>(l + "\r\n", m);
    return F("%d %d %d %d %g", r->m_nNo, r->m_nLast, r->m_nInc, r->m_nDir, r->m_dValue);
  };
  auto dforce = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "4"), At(m, {5, 5, 10, 10}, "8"), At(m, {10, 5, 20, 10}, "2"),
                                At(m, {15, 5, 30, 10}, "1"), At(m, {20, 5, 40, 10}, "6"),
                                At(m, {25, 10, 50, 10}, "-2.5")});
    auto r = ReadOne<CIpDForce>(l + "\r\n", m);
    return F("%d %d %d %d %d %g %d", r->m_nFirst, r->m_nLast, r->m_nInc, r->m_nCodeA, r->m_nCodeB, r->m_dValue,
             r->m_nNo);
  };
  auto quake = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "7"), At(m, {10, 5, 20, 10}, "2"),
                                At(m, {15, 5, 30, 10}, "3"), At(m, {20, 10, 40, 10}, "0.98")});
    auto r = ReadOne<CIpQuake>(l + "\r\n", m);
    return F("%d %d %d %d %g", r->m_nKey, r->m_nSecond, r->m_nCodeA, r->m_nCodeB, r->m_dFactor);
  };
  const Case cases[] = {
      {"forces narrow", [&] { return nld(0); }, "1 10 20 2 3 5.5"},
      {"forces wide", [&] { return nld(1); }, "1 10 20 2 3 5.5"},
      {"pload narrow", [&] { return pld(0); }, "1 10 20 2 3 1.5 2.5 3.5 4.5"},
      {"pload wide", [&] { return pld(1); }, "1 10 20 2 3 1.5 2.5 3.5 4.5"},
      {"mass narrow", [&] { return mass(0); }, "5 9 2 5 1.5"},
      {"mass wide", [&] { return mass(1); }, "5 9 2 5 1.5"},
      {"dforce narrow", [&] { return dforce(0); }, "4 8 2 1 6 -2.5 0"},
      {"dforce wide", [&] { return dforce(1); }, "4 8 2 1 6 -2.5 0"},
      {"quake narrow", [&] { return quake(0); }, "1 7 2 3 0.98"},
      {"quake wide", [&] { return quake(1); }, "1 7 2 3 0.98"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

TEST(RecordLayout, PrestressOutputAndLoadListLines) {
  auto pst = [](int m) {
    // Four items: three on the head line, one on a continuation line.
    const int step = m ? 20 : 15;
    const int s0 = m ? 50 : 25;
    const int nw = m ? 10 : 5;
    const std::string head =
        Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "3"), At(m, {10, 5, 20, 10}, "9"),
              At(m, {15, 5, 30, 10}, "2"), At(m, {20, 5, 40, 10}, "4"), {s0, 10, "1.5"}, {s0 + 10, nw, "11"},
              {s0 + step, 10, "2.5"}, {s0 + step + 10, nw, "12"}, {s0 + 2 * step, 10, "3.5"},
              {s0 + 2 * step + 10, nw, "13"}});
    const std::string cont = Cols({{0, 10, "4.5"}, {10, nw, "14"}});
    auto r = ReadOne<CIpPSt>(Join({head, cont}), m);
    std::string s = F("%d %d %d %d %d %g", r->m_nKey, r->m_nNo, r->m_nLast, r->m_nInc, r->m_nCount, r->m_dValue);
    for (const CValueNode& n : r->m_lstItems) s += F(" %d:%g", n.key, n.value);
    return s;
  };
  auto pst2 = [](int m) {
    const std::string head = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "3"), At(m, {10, 5, 20, 10}, "9"),
                                   At(m, {15, 5, 30, 10}, "2"), At(m, {20, 5, 40, 10}, "4"),
                                   At(m, {25, 10, 50, 10}, "1.5"), At(m, {35, 5, 60, 10}, "2"),
                                   At(m, {40, 10, 70, 10}, "2.5"), At(m, {50, 5, 80, 10}, "3"),
                                   At(m, {55, 10, 90, 10}, "3.5"), At(m, {65, 5, 100, 10}, "5")});
    const std::string cont = Cols({{0, 10, "4.5"}, At(m, {10, 5, 10, 10}, "6")});
    auto r = ReadOne<CIpPSt2>(Join({head, cont}), m);
    std::string s = F("%d %d %d %d", r->m_nKey, r->m_nNo, r->m_nLast, r->m_nInc);
    for (double v : r->m_adValue) s += F(" %g", v);
    return s;
  };
  auto sout = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "3"), At(m, {5, 5, 10, 10}, "40")});
    auto r = ReadOne<CIpSOutput>(l + "\r\n", m);
    return F("%d %d", r->m_nValue1, r->m_nValue2);
  };
  auto anssub = [](int m) {
    const std::string cell = Cols({At(m, {0, 5, 0, 10}, "12"), At(m, {5, 1, 10, 1}, "1"), At(m, {6, 4, 11, 9}, "34")});
    ColumnModeScope scope(m);
    CIpAnsSub r;
    r.ParseCell(cell);
    return F("%d %d %d", r.m_nValue1, r.m_nFlag, r.m_nValue2);
  };
  const Case cases[] = {
      {"prestress narrow", [&] { return pst(0); }, "1 3 9 2 4 1.5 11:1.5 12:2.5 13:3.5 14:4.5"},
      {"prestress wide", [&] { return pst(1); }, "1 3 9 2 4 1.5 11:1.5 12:2.5 13:3.5 14:4.5"},
      {"pres narrow", [&] { return pst2(0); }, "1 3 9 2 0 1.5 2.5 0 3.5 4.5"},
      {"pres wide", [&] { return pst2(1); }, "1 3 9 2 0 1.5 2.5 0 3.5 4.5"},
      {"soutput narrow", [&] { return sout(0); }, "3 40"},
      {"soutput wide", [&] { return sout(1); }, "3 40"},
      {"load list cell narrow", [&] { return anssub(0); }, "12 1 34"},
      {"load list cell wide", [&] { return anssub(1); }, "12 1 34"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

TEST(RecordLayout, SpringGapSupportAndCableLines) {
  const std::string dir = Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "0.3"}});
  auto nspr = [&](int m) {
    const std::string head =
        Cols({At(m, {0, 5, 0, 10}, "7"), At(m, {5, 5, 10, 10}, "2"), At(m, {10, 10, 20, 10}, "1.5"),
              At(m, {20, 10, 30, 10}, "2.5"), At(m, {30, 10, 40, 10}, "3.5"), At(m, {40, 5, 50, 10}, "3"),
              At(m, {70, 5, 60, 5}, "1")});
    const std::string c1 = Cols({{0, 10, "1"}, {10, 10, "2"}, {20, 10, "3"}, {30, 10, "4"}, {40, 10, "5"}, {50, 10, "6"}});
    const std::string c2 = Cols({{0, 10, "7"}, {10, 10, "8"}, {20, 10, "9"}});
    auto r = ReadOne<CIpNSpr>(Join({head, dir, c1, c2}), m);
    std::string s = F("%d %d %g %g %g %g %g %g %zu", r->m_nNo, r->m_nCode, r->m_dValue1, r->m_dValue2, r->m_dValue3,
                      r->m_dVx, r->m_dVy, r->m_dVz, r->m_aCurve.size());
    for (const CValues6& c : r->m_aCurve) s += F(" %g/%g", c.v[0], c.v[5]);
    return s;
  };
  auto nspr2 = [&](int m) {
    const std::string head =
        Cols({At(m, {0, 5, 0, 10}, "8"), At(m, {5, 5, 10, 10}, "1"), At(m, {10, 5, 20, 10}, "2"),
              At(m, {15, 5, 30, 10}, "3"), At(m, {20, 5, 40, 10}, "4"), At(m, {25, 10, 50, 10}, "1.5"),
              At(m, {35, 10, 60, 10}, "2.5"), At(m, {70, 5, 70, 5}, "1")});
    auto r = ReadOne<CIpNSpr2>(Join({head, dir}), m);
    return F("%d %d %d %d %d %g %g %g %g %g", r->m_nNo, r->m_nCode1, r->m_nCode2, r->m_nCode3, r->m_nCode4,
             r->m_dValue1, r->m_dValue2, r->m_dVx, r->m_dVy, r->m_dVz);
  };
  auto gap = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "9"), {10, 10, "1.5"}, {20, 10, "2.5"}, {30, 10, "0.1"},
                                {40, 10, "0.2"}, {50, 10, "0.3"}});
    auto r = ReadOne<CIpGap>(l + "\r\n", m);
    return F("%d %g %g %g %g %g", r->m_nNo, r->m_dValue1, r->m_dValue2, r->m_dVx, r->m_dVy, r->m_dVz);
  };
  auto hsup = [&](int m) {
    std::vector<iptest::Field> f = {At(m, {0, 5, 0, 10}, "3"), At(m, {5, 5, 10, 10}, "4"), At(m, {10, 5, 20, 10}, "1")};
    for (int k = 0; k < 8; ++k) f.push_back(At(m, {15 + 10 * k, 10, 30 + 10 * k, 10}, F("%d.5", k + 1)));
    f.push_back(At(m, {95, 5, 110, 5}, "1"));
    std::string head;
    for (const auto& x : f) head = Cols({{0, static_cast<int>(head.size()), head}, x});
    auto r = ReadOne<CIpHSup>(Join({head, dir}), m);
    std::string s = F("%d %d %d", r->m_nNo, r->m_nCode, r->m_nType);
    for (double v : r->m_dValue) s += F(" %g", v);
    return s + F(" %g %g %g", r->m_dVx, r->m_dVy, r->m_dVz);
  };
  auto pccbl = [&](int m) {
    const std::string head =
        Cols({At(m, {0, 5, 0, 10}, "3"), At(m, {5, 5, 10, 10}, "4"), At(m, {10, 10, 20, 10}, "1.5"),
              At(m, {20, 10, 30, 10}, "2.5"), At(m, {30, 10, 40, 10}, "3.5"), At(m, {40, 10, 50, 10}, "4.5"),
              At(m, {70, 5, 60, 5}, "1")});
    auto r = ReadOne<CIpPccbl>(Join({head, dir}), m);
    return F("%d %d %g %g %g %g %g %g %g", r->m_nNo, r->m_nCode, r->m_dValue[0], r->m_dValue[1], r->m_dValue[2],
             r->m_dValue[3], r->m_dVx, r->m_dVy, r->m_dVz);
  };
  auto gsup = [](int m) {
    const std::string head =
        Cols({At(m, {0, 5, 0, 10}, "3"), At(m, {5, 5, 10, 10}, "4"), At(m, {10, 5, 20, 10}, "1"),
              At(m, {25, 10, 50, 10}, "0.1"), At(m, {35, 10, 60, 10}, "0.2"), At(m, {45, 10, 70, 10}, "0.3"),
              At(m, {55, 5, 80, 5}, "1")});
    const std::string second = Cols({{0, 10, "1.5"}, {10, 10, "2.5"}, {20, 10, "3.5"}, {30, 10, "4.5"}});
    auto r = ReadOne<CIpGSup>(Join({head, second}), m);
    return F("%d %d %d %g %g %g %g %g %g %g", r->m_nNo, r->m_nCode, r->m_nType, r->m_dVx, r->m_dVy, r->m_dVz,
             r->m_dValue[0], r->m_dValue[1], r->m_dValue[2], r->m_dValue[3]);
  };
  auto rbcks = [](int m) {
    const std::string head =
        Cols({At(m, {0, 5, 0, 10}, "3"), At(m, {5, 5, 10, 10}, "4"), At(m, {25, 10, 50, 10}, "0.1"),
              At(m, {35, 10, 60, 10}, "0.2"), At(m, {45, 10, 70, 10}, "0.3"), At(m, {55, 5, 80, 5}, "1")});
    const std::string second =
        Cols({At(m, {0, 5, 0, 10}, "5"), At(m, {5, 10, 10, 10}, "1.5"), At(m, {15, 5, 20, 10}, "6"),
              At(m, {20, 5, 30, 10}, "7"), At(m, {25, 10, 40, 10}, "2.5"), At(m, {35, 10, 50, 10}, "3.5"),
              At(m, {45, 10, 60, 10}, "4.5"), At(m, {55, 10, 70, 10}, "5.5")});
    auto r = ReadOne<CIpRbcks>(Join({head, second}), m);
    return F("%d %d %g %g %g | %d %d %d %g %g %g %g %g", r->m_nNo, r->m_nCode, r->m_dVx, r->m_dVy, r->m_dVz,
             r->m_nCode2, r->m_nCode3, r->m_nCode4, r->m_dValue[0], r->m_dValue[1], r->m_dValue[2], r->m_dValue[3],
             r->m_dValue[4]);
  };
  const Case cases[] = {
      {"nspring narrow", [&] { return nspr(0); }, "7 2 1.5 2.5 3.5 0.1 0.2 0.3 2 1/6 7/0"},
      {"nspring wide", [&] { return nspr(1); }, "7 2 1.5 2.5 3.5 0.1 0.2 0.3 2 1/6 7/0"},
      {"nsp2 narrow", [&] { return nspr2(0); }, "8 1 2 3 4 1.5 2.5 0.1 0.2 0.3"},
      {"nsp2 wide", [&] { return nspr2(1); }, "8 1 2 3 4 1.5 2.5 0.1 0.2 0.3"},
      {"gap narrow", [&] { return gap(0); }, "9 1.5 2.5 0.1 0.2 0.3"},
      {"gap wide", [&] { return gap(1); }, "9 1.5 2.5 0.1 0.2 0.3"},
      {"hsupport narrow", [&] { return hsup(0); }, "3 4 1 1.5 2.5 3.5 4.5 5.5 6.5 7.5 8.5 0.1 0.2 0.3"},
      {"hsupport wide", [&] { return hsup(1); }, "3 4 1 1.5 2.5 3.5 4.5 5.5 6.5 7.5 8.5 0.1 0.2 0.3"},
      {"pccable narrow", [&] { return pccbl(0); }, "3 4 1.5 2.5 3.5 4.5 0.1 0.2 0.3"},
      {"pccable wide", [&] { return pccbl(1); }, "3 4 1.5 2.5 3.5 4.5 0.1 0.2 0.3"},
      {"gsupport narrow", [&] { return gsup(0); }, "3 4 1 0.1 0.2 0.3 1.5 2.5 3.5 4.5"},
      {"gsupport wide", [&] { return gsup(1); }, "3 4 1 0.1 0.2 0.3 1.5 2.5 3.5 4.5"},
      {"rbcks narrow", [&] { return rbcks(0); }, "3 4 0.1 0.2 0.3 | 5 6 7 1.5 2.5 3.5 4.5 5.5"},
      {"rbcks wide", [&] { return rbcks(1); }, "3 4 0.1 0.2 0.3 | 5 6 7 1.5 2.5 3.5 4.5 5.5"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

TEST(RecordLayout, FunctionCreepTrussRigidConstraintAndShellLines) {
  auto func = [](int m) {
    const std::string head = Cols({At(m, {0, 5, 0, 10}, "3")});
    const std::string count = Cols({{5, 5, "2"}, {10, 5, "0"}, {20, 10, "0.5"}, {30, 10, "0.02"}});
    const std::string values = Cols({{0, 10, "1.5"}, {10, 10, "-2.5"}});
    auto r = ReadOne<CIpFunc>(Join({head, count, values}), m);
    return F("%d %d %g %g %zu %g %g", r->m_nNo, r->m_nTimeFlag, r->m_dFactor, r->m_dInterval, r->m_adValues.size(),
             r->m_adValues[0], r->m_adValues[1]);
  };
  auto creep = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "10"), At(m, {10, 5, 20, 10}, "20"),
                                At(m, {15, 5, 30, 10}, "2"), At(m, {20, 5, 40, 10}, "3"),
                                At(m, {25, 10, 50, 10}, "1.5"), At(m, {35, 10, 60, 10}, "2.5")});
    auto r = ReadOne<CIpStrn>(l + "\r\n", m);
    return F("%d %d %d %d %d %g %g", r->m_nKey, r->m_nNo, r->m_nLast, r->m_nInc, r->m_nCode, r->m_dValue1,
             r->m_dValue2);
  };
  auto truss = [] {
    const std::string head = Cols({{0, 10, "12"}, {10, 10, "1"}, {20, 10, "2"}, {30, 10, "3"}, {40, 10, "1.5"},
                                   {50, 10, "4.5"}, {60, 10, "5.5"}, {80, 10, "1"}});
    const std::string second = Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "0.3"}, {30, 10, "4"},
                                     {40, 10, "2.5"}, {50, 10, "3.5"}});
    auto r = ReadOne<CIpTruss>(Join({head, second}), 1);
    return F("%d %d %d %d %g %g %g | %g %g %g %d %g %g", r->m_nNo, r->m_nCode1, r->m_nCode2, r->m_nCode3,
             r->m_dValue1, r->m_dValue4, r->m_dValue5, r->m_dVx, r->m_dVy, r->m_dVz, r->m_nCode4, r->m_dValue2,
             r->m_dValue3);
  };
  auto rigid = [](int m) {
    auto r = ReadOne<CIpRigid>(Cols({At(m, {0, 5, 0, 10}, "15"), At(m, {5, 5, 10, 10}, "2")}) + "\r\n", m);
    return F("%d %d", r->m_nNo, r->m_nCode);
  };
  auto ndequal = [](int m) {
    const std::string l = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "2"), At(m, {10, 5, 20, 10}, "3"),
                                At(m, {15, 5, 30, 10}, "4"), At(m, {20, 5, 40, 10}, "136")});
    auto r = ReadOne<CIpNDEqual>(l + "\r\n", m);
    return F("%d %d %d %d %d", r->m_nNo, r->m_nSecond, r->m_nInc, r->m_nThird, r->m_nDir);
  };
  auto quad = [](int m) {
    std::string l;
    for (int i = 0; i < 8; ++i) l = Cols({{0, static_cast<int>(l.size()), l}, At(m, {5 * i, 5, 10 * i, 10}, F("%d", i + 1))});
    auto r = ReadOne<CIpQuad>(l + "\r\n", m);
    return F("%d %d %d %d %d %d %d %d", r->m_nNo, r->m_nSecond, r->m_nInc, r->m_nRef, r->m_anNode[0], r->m_anNode[1],
             r->m_anNode[2], r->m_anNode[3]);
  };
  auto qline = [](int m) {
    std::string l;
    for (int i = 0; i < 7; ++i) l = Cols({{0, static_cast<int>(l.size()), l}, At(m, {5 * i, 5, 10 * i, 10}, F("%d", i + 1))});
    auto r = ReadOne<CIpQline>(l + "\r\n", m);
    return F("%d %d %d %d %d %d %d", r->m_nNo, r->m_nSecond, r->m_nInc, r->m_nRef, r->m_nNode1, r->m_nNode2,
             r->m_nThird);
  };
  // The surface load's flag field is at column 70 in both layouts.
  auto sld = [](int m) {
    const std::string head = Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "10"), At(m, {10, 5, 20, 10}, "20"),
                                   At(m, {15, 5, 30, 10}, "2"), At(m, {20, 10, 40, 10}, "1.5"), {70, 5, "1"}});
    const std::string second = Cols({{0, 10, "2.5"}, {10, 10, "3.5"}, {20, 10, "4.5"}});
    auto r = ReadOne<CIpSLd>(Join({head, second}), m);
    return F("%d %d %d %d %g %g %g %g", r->m_nKey, r->m_nNo, r->m_nLast, r->m_nInc, r->m_dValue1, r->m_dValue2,
             r->m_dValue3, r->m_dValue4);
  };
  const Case cases[] = {
      {"functions narrow", [&] { return func(0); }, "3 0 0.5 0.02 2 1.5 -2.5"},
      {"functions wide", [&] { return func(1); }, "3 0 0.5 0.02 2 1.5 -2.5"},
      {"strain narrow", [&] { return creep(0); }, "1 10 20 2 3 1.5 2.5"},
      {"strain wide", [&] { return creep(1); }, "1 10 20 2 3 1.5 2.5"},
      {"gtruss wide", truss, "12 1 2 3 1.5 4.5 5.5 | 0.1 0.2 0.3 4 2.5 3.5"},
      {"rigid narrow", [&] { return rigid(0); }, "15 2"},
      {"rigid wide", [&] { return rigid(1); }, "15 2"},
      {"ndequal narrow", [&] { return ndequal(0); }, "1 2 3 4 37"},
      {"ndequal wide", [&] { return ndequal(1); }, "1 2 3 4 37"},
      {"cquad narrow", [&] { return quad(0); }, "1 2 3 4 5 6 7 8"},
      {"cquad wide", [&] { return quad(1); }, "1 2 3 4 5 6 7 8"},
      {"cqline narrow", [&] { return qline(0); }, "1 2 3 4 5 6 7"},
      {"cqline wide", [&] { return qline(1); }, "1 2 3 4 5 6 7"},
      {"sufload narrow", [&] { return sld(0); }, "1 10 20 2 1.5 2.5 3.5 4.5"},
      {"sufload wide", [&] { return sld(1); }, "1 10 20 2 1.5 2.5 3.5 4.5"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

TEST(RecordLayout, SingleSectionLines) {
  auto read = [](CFemInput& rec, const std::string& data, int m) {
    ColumnModeScope scope(m);
    auto ar = plat::LineReader::FromString(data + "\r\n");
    std::string line;
    return rec.Read(*ar, line);
  };
  auto base = [&](int m) {
    CIpBase r;
    read(r, Cols({{0, 10, "1.5"}, {10, 10, "2.5"}, {20, 10, "3.5"}, At(m, {30, 5, 30, 10}, "7")}), m);
    return F("%g %g %g %d", r.m_dBase1, r.m_dBase2, r.m_dBase3, r.m_nBaseOpt);
  };
  auto damping = [&](int m) {
    CIpDamping r;
    read(r, Cols({{0, 10, "0.1"}, {10, 10, "0.2"}, {20, 10, "0.3"}, {30, 10, "0.4"}}), m);
    return F("%g %g %g %g", r.m_dDamp1, r.m_dDamp2, r.m_dDamp3, r.m_dDamp4);
  };
  auto dynamic = [&](int m) {
    CIpDynamic r;
    read(r, Cols({At(m, {0, 5, 0, 10}, "1"), At(m, {5, 5, 10, 10}, "2"), At(m, {10, 10, 20, 10}, "0.1"),
                  At(m, {20, 10, 30, 10}, "0.2"), At(m, {30, 10, 40, 10}, "0.3"), At(m, {40, 10, 50, 10}, "0.4"),
                  At(m, {50, 10, 60, 10}, "0.5"), At(m, {60, 5, 70, 10}, "3")}),
         m);
    return F("%d %d %g %g %g %g %g %d", r.m_nDyn1, r.m_nDyn2, r.m_dDyn1, r.m_dDyn2, r.m_dDyn3, r.m_dDyn4, r.m_dDyn5,
             r.m_nDyn3);
  };
  auto output = [&](int m) {
    CIpOutput r;
    read(r, Cols({At(m, {0, 5, 0, 10}, "500"), At(m, {5, 5, 10, 10}, "2")}), m);
    return F("%d %d", r.m_nOut1, r.m_nOut2);
  };
  auto ckpoint = [&](int m) {
    CIpCkpoint r;
    read(r,
         m ? Cols({{10, 10, "2"}, {20, 10, "1"}, {30, 3, "abc"}})
           : Cols({{10, 8, "abc"}, {20, 5, "2"}, {25, 5, "1"}}),
         m);
    return F("%d %d %s", r.m_nCk1, r.m_nCk2, r.m_strFile.c_str());
  };
  const Case cases[] = {
      {"base narrow", [&] { return base(0); }, "1.5 2.5 3.5 7"},
      {"base wide", [&] { return base(1); }, "1.5 2.5 3.5 7"},
      {"damping narrow", [&] { return damping(0); }, "0.1 0.2 0.3 0.4"},
      {"damping wide", [&] { return damping(1); }, "0.1 0.2 0.3 0.4"},
      {"dynamic narrow", [&] { return dynamic(0); }, "1 2 0.1 0.2 0.3 0.4 0.5 3"},
      {"dynamic wide", [&] { return dynamic(1); }, "1 2 0.1 0.2 0.3 0.4 0.5 3"},
      {"output narrow", [&] { return output(0); }, "500 2"},
      {"output wide", [&] { return output(1); }, "500 2"},
      {"ckpoint narrow", [&] { return ckpoint(0); }, "1 2 abc"},
      {"ckpoint wide", [&] { return ckpoint(1); }, "1 2 abc"},
  };
  RunCases(std::begin(cases), std::end(cases));
}

}  // namespace
