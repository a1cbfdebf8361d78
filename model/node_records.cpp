#include "model/node_records.h"

#include "model/columns.h"
#include "platform/numbers.h"

namespace {
// File order: no, last, inc, x, y, z, dx, dy, dz.
constexpr int kNodeStart[2][9] = {{0, 5, 10, 15, 25, 35, 45, 55, 65}, {0, 10, 20, 30, 45, 60, 75, 85, 95}};
constexpr int kNodeWidth[2][9] = {{5, 5, 5, 10, 10, 10, 10, 10, 10}, {10, 10, 10, 15, 15, 15, 10, 10, 10}};
// File order: no, code, (blank), last, inc.
constexpr int kSupStart[2][5] = {{0, 5, 11, 15, 20}, {0, 10, 16, 20, 30}};
constexpr int kSupWidth[2][5] = {{5, 6, 4, 5, 5}, {10, 6, 4, 10, 10}};

int Mode() { return g_nColumnMode ? 1 : 0; }
}  // namespace

// ---- CIpNode ----

void CIpNode::ParseLine(const std::string& line) {
  const int m = Mode();
  const int* s = kNodeStart[m];
  const int* w = kNodeWidth[m];
  m_nNo = CutInt(line, s[0], w[0]);
  m_nLast = CutInt(line, s[1], w[1]);
  m_nInc = CutInt(line, s[2], w[2]);
  m_dX = CutReal(line, s[3], w[3]);
  m_dY = CutReal(line, s[4], w[4]);
  m_dZ = CutReal(line, s[5], w[5]);
  m_dDX = CutReal(line, s[6], w[6]);
  m_dDY = CutReal(line, s[7], w[7]);
  m_dDZ = CutReal(line, s[8], w[8]);
}

bool CIpNode::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpNode::Write(std::string& text) {
  if (!m_strComment.empty()) {
    text = "$" + m_strComment + "\r\n";
    return true;
  }
  if (g_nColumnMode) {
    text = plat::Format("%10d%10d%10d", m_nNo, m_nLast, m_nInc) + FormatReal15(m_dX) + FormatReal15(m_dY) +
           FormatReal15(m_dZ);
  } else {
    text = plat::Format("%5d%5d%5d", m_nNo, m_nLast, m_nInc) + FormatReal10(m_dX) + FormatReal10(m_dY) +
           FormatReal10(m_dZ);
  }
  text += FormatReal10(m_dDX) + FormatReal10(m_dDY) + FormatReal10(m_dDZ) + "\r\n";
  return true;
}

std::string CIpNode::GetText(int col) {
  switch (col) {
    case 0: return CellInt(m_nNo);
    case 1: return m_dX == 0 && m_nNo == 0 ? std::string() : CellReal(m_dX);
    case 2: return m_dY == 0 && m_nNo == 0 ? std::string() : CellReal(m_dY);
    case 3: return m_dZ == 0 && m_nNo == 0 ? std::string() : CellReal(m_dZ);
    case 4: return CellInt(m_nLast);
    case 5: return CellInt(m_nInc);
    case 6: return m_dDX == 0 && m_nInc == 0 ? std::string() : CellReal(m_dDX);
    case 7: return m_dDY == 0 && m_nInc == 0 ? std::string() : CellReal(m_dDY);
    case 8: return m_dDZ == 0 && m_nInc == 0 ? std::string() : CellReal(m_dDZ);
    default: return {};
  }
}

std::string CIpNode::GetGenText(int col, int item) {
  auto coord = [&](double base, double inc) {
    const double v = base + static_cast<double>(item) * inc;
    return v == 0 && m_nNo == 0 ? std::string() : CellReal(v);
  };
  switch (col) {
    case 0: return m_nNo == 0 ? std::string() : plat::Format("%d", GenNumber(m_nNo, m_nInc, item));
    case 1: return coord(m_dX, m_dDX);
    case 2: return coord(m_dY, m_dDY);
    case 3: return coord(m_dZ, m_dDZ);
    default: return GetText(col);
  }
}

bool CIpNode::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 8);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nNo = plat::AtoI(text); break;
    case 1: m_dX = plat::AtoF(text); break;
    case 2: m_dY = plat::AtoF(text); break;
    case 3: m_dZ = plat::AtoF(text); break;
    case 4: m_nLast = plat::AtoI(text); break;
    case 5: m_nInc = plat::AtoI(text); break;
    case 6: m_dDX = plat::AtoF(text); break;
    case 7: m_dDY = plat::AtoF(text); break;
    case 8: m_dDZ = plat::AtoF(text); break;
  }
  return true;
}

bool CIpNode::IsEmpty() {
  return m_nNo == 0 && m_dX == 0 && m_dY == 0 && m_dZ == 0 && m_nLast == 0 && m_nInc == 0 && m_dDX == 0 &&
         m_dDY == 0 && m_dDZ == 0 && m_strComment.empty();
}

int CIpNode::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }

// ---- CIpSup ----

void CIpSup::ParseLine(const std::string& line) {
  const int m = Mode();
  const int* s = kSupStart[m];
  const int* w = kSupWidth[m];
  m_nNo = CutInt(line, s[0], w[0]);
  m_nCode = s[1] < static_cast<int>(line.size()) ? ParseFlags6(std::string_view(line).substr(static_cast<size_t>(s[1]), static_cast<size_t>(w[1]))) : 0;
  m_nLast = CutInt(line, s[3], w[3]);
  m_nInc = CutInt(line, s[4], w[4]);
}

bool CIpSup::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpSup::Write(std::string& text) {
  if (!m_strComment.empty()) {
    text = "$" + m_strComment + "\r\n";
    return true;
  }
  const std::string flags = FormatFlags6(m_nCode);
  text = plat::Format(g_nColumnMode ? "%10d%6s    %10d%10d" : "%5d%6s    %5d%5d", m_nNo, flags.c_str(), m_nLast, m_nInc) +
         "\r\n";
  return true;
}

std::string CIpSup::GetText(int col) {
  if (col == 0) return CellInt(m_nNo);
  if (col >= 1 && col <= 6) return (m_nCode & (1 << (col - 1))) ? "1" : "0";
  if (col == 7) return CellInt(m_nLast);
  if (col == 8) return CellInt(m_nInc);
  return {};
}

std::string CIpSup::GetGenText(int col, int item) {
  if (col == 0) return m_nNo == 0 ? std::string() : plat::Format("%d", GenNumber(m_nNo, m_nInc, item));
  return GetText(col);
}

bool CIpSup::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 8);
  if (r >= 0) return r != 0;
  if (col == 0) {
    m_nNo = plat::AtoI(text);
  } else if (col <= 6) {
    const int bit = 1 << (col - 1);
    if (!text.empty() && text[0] == '1') m_nCode |= bit;
    else m_nCode &= ~bit;
  } else if (col == 7) {
    m_nLast = plat::AtoI(text);
  } else {
    m_nInc = plat::AtoI(text);
  }
  return true;
}

bool CIpSup::IsEmpty() { return m_nNo == 0 && m_nCode == 0 && m_nLast == 0 && m_nInc == 0 && m_strComment.empty(); }

int CIpSup::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }
