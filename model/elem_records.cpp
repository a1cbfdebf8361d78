#include "model/elem_records.h"

#include <cmath>

#include "model/columns.h"
#include "model/prop_records.h"
#include "platform/numbers.h"

namespace {
// File order: no, last, inc, prop, node i, node j (narrow leaves five blanks
// before the property).
constexpr int kElemStart[2][6] = {{0, 5, 10, 20, 25, 30}, {0, 10, 20, 30, 40, 50}};
constexpr int kElemWidth[2][6] = {{5, 5, 5, 5, 5, 5}, {10, 10, 10, 10, 10, 10}};

int Mode() { return g_nColumnMode ? 1 : 0; }
}  // namespace

void CIpElem::ParseLine(const std::string& line) {
  const int* s = kElemStart[Mode()];
  const int* w = kElemWidth[Mode()];
  m_nNo = CutInt(line, s[0], w[0]);
  m_nLast = CutInt(line, s[1], w[1]);
  m_nInc = CutInt(line, s[2], w[2]);
  m_nProp = CutInt(line, s[3], w[3]);
  m_nNodeI = CutInt(line, s[4], w[4]);
  m_nNodeJ = CutInt(line, s[5], w[5]);
}

bool CIpElem::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpElem::Write(std::string& text) {
  if (!m_strComment.empty()) {
    text = "$" + m_strComment + "\r\n";
    return true;
  }
  text = plat::Format(g_nColumnMode ? "%10d%10d%10d%10d%10d%10d" : "%5d%5d%5d     %5d%5d%5d", m_nNo, m_nLast, m_nInc,
                      m_nProp, m_nNodeI, m_nNodeJ) +
         "\r\n";
  return true;
}

std::string CIpElem::GetText(int col) {
  switch (col) {
    case 0: return CellInt(m_nNo);
    case 1: return CellInt(m_nProp);
    case 2: return CellInt(m_nNodeI);
    case 3: return CellInt(m_nNodeJ);
    case 4: return CellInt(m_nLast);
    case 5: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpElem::GetGenText(int col, int item) {
  // The increment steps the element number and both node numbers alike.
  auto gen = [&](int base) { return base == 0 ? std::string() : plat::Format("%d", GenNumber(base, m_nInc, item)); };
  switch (col) {
    case 0: return gen(m_nNo);
    case 2: return gen(m_nNodeI);
    case 3: return gen(m_nNodeJ);
    default: return GetText(col);
  }
}

bool CIpElem::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 5);
  if (r >= 0) return r != 0;
  const int v = plat::AtoI(text);
  switch (col) {
    case 0: m_nNo = v; break;
    case 1: m_nProp = v; break;
    case 2: m_nNodeI = v; break;
    case 3: m_nNodeJ = v; break;
    case 4: m_nLast = v; break;
    case 5: m_nInc = v; break;
  }
  return true;
}

bool CIpElem::IsEmpty() {
  return m_nNo == 0 && m_nNodeI == 0 && m_nNodeJ == 0 && m_nProp == 0 && m_nLast == 0 && m_nInc == 0 &&
         m_strComment.empty();
}

int CIpElem::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }

void CIpElem::CalcLocalAxis() {
  if (!m_pProp) {
    CalcLocalAxisFrom(nullptr);
    return;
  }
  CVec v;
  m_pProp->GetRefVector(v.m_dVx, v.m_dVy, v.m_dVz);
  CalcLocalAxisFrom(&v);
}

void CIpElem::CalcLocalAxisFrom(const CVec* ref) {
  m_bAxis = 0;
  if (!m_pNodeI || !m_pNodeJ || !ref) return;
  double* x = m_vAxisX;
  x[0] = m_pNodeJ->m_dX - m_pNodeI->m_dX;
  x[1] = m_pNodeJ->m_dY - m_pNodeI->m_dY;
  x[2] = m_pNodeJ->m_dZ - m_pNodeI->m_dZ;
  const double len = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
  // Coinciding nodes, or coordinates that overflowed on reading, give no axes.
  if (!(len > 0) || !std::isfinite(len)) return;
  for (int i = 0; i < 3; ++i) x[i] /= len;

  const double v[3] = {ref->m_dVx, ref->m_dVy, ref->m_dVz};
  if (v[0] == 0 && v[1] == 0 && v[2] == 0) return;
  // y = v x x, reference direction first.
  double* y = m_vAxisY;
  y[0] = v[1] * x[2] - v[2] * x[1];
  y[1] = v[2] * x[0] - v[0] * x[2];
  y[2] = v[0] * x[1] - v[1] * x[0];
  const double m = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
  if (!(m > 0) || !std::isfinite(m)) return;  // parallel to the member
  m_bAxis = 1;
  for (int i = 0; i < 3; ++i) y[i] /= m;
  // z = x x y: the part of v at right angles to the member.
  double* z = m_vAxisZ;
  z[0] = x[1] * y[2] - x[2] * y[1];
  z[1] = x[2] * y[0] - x[0] * y[2];
  z[2] = x[0] * y[1] - x[1] * y[0];
}
