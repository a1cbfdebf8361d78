#include "model/mat_records.h"

#include <climits>
#include <cmath>

#include "model/columns.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

namespace {

int Mode() { return g_nColumnMode ? 1 : 0; }

// Continuation lines of a material type: `line2` plain 10-column values from
// column 0, then `line3` values from parameter `start3`. Types 5, 7 and 10
// have special fields after the plain ones (see Read and Write).
struct MatLayout {
  int type;
  int line2;
  int start3;
  int line3;
};
constexpr MatLayout kLayouts[] = {
    {0, 6, 0, 0}, {1, 3, 3, 4}, {2, 6, 6, 4},  {3, 2, 2, 4},  {4, 4, 0, 0},  {5, 6, 0, 0},  {6, 6, 6, 4},
    {7, 6, 9, 4}, {8, 8, 8, 4}, {9, 6, 6, 4}, {10, 6, 0, 0}, {11, 3, 0, 0}, {12, 2, 0, 0}, {30, 6, 0, 0},
};

const MatLayout* FindLayout(int type) {
  for (const MatLayout& l : kLayouts)
    if (l.type == type) return &l;
  return nullptr;
}

// Number of parameters a type reads; the rest are 0.
int ParamsUsed(const MatLayout& l) {
  if (l.line3 > 0) return l.start3 + l.line3;
  if (l.type == 10) return 7;
  return l.line2;
}

// An integer field written from a real: truncated toward zero, kept inside
// the 32-bit range (a converted value out of range has no defined result).
int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

// Type 7's narrow p6 / p7: "%10.5f", left blanks trimmed, first 5 characters.
std::string Narrow5(double v) {
  std::string s = plat::Left(plat::TrimLeft(plat::Format("%10.5f", v)), 5);
  if (s.size() < 5) s.insert(0, 5 - s.size(), ' ');
  return s;
}

bool HasPoint(const std::string& line, int start, int width) {
  return plat::Mid(line, start, width).find('.') != std::string::npos;
}

}  // namespace

bool CIpMat::IsEmpty() {
  if (m_nNo != 0 || m_nType != 0 || m_dVal1 != 0 || m_dVal2 != 0 || m_dVal3 != 0 || m_dVal4 != 0) return false;
  for (double p : m_aParam)
    if (p != 0) return false;
  return m_strComment.empty();
}

bool CIpMat::Read(CArchiveIn& ar, std::string& line) {
  std::string first;
  bool parse = false;
  const int r = ReadAttached(ar, line, first, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = m ? 10 : 5;
  m_nNo = CutInt(first, 0, w);
  m_nType = CutInt(first, w, w);
  const int r0 = 2 * w;
  m_dVal1 = CutReal(first, r0, 10);
  m_dVal2 = CutReal(first, r0 + 10, 10);
  m_dVal3 = CutReal(first, r0 + 20, 10);
  if (static_cast<long long>(first.size()) > r0 + 30) m_dVal4 = CutReal(first, r0 + 30, 10);

  if (m_nType == -1) {
    m_nType = kNoContinuation;
    for (double& p : m_aParam) p = 0;
    return true;
  }
  const MatLayout* layout = FindLayout(m_nType);
  std::string l2;
  if (!ReadNextDataLine(ar, line, l2)) return false;
  if (!layout) {
    // An unknown type has no continuation line to write back; it becomes 999
    // also when its continuation line is empty, or re-reading the written
    // file would take the next material's line as its continuation.
    m_nType = kNoContinuation;
    for (double& p : m_aParam) p = 0;
    return true;
  }
  if (l2.empty()) return true;
  for (int i = 0; i < layout->line2; ++i) m_aParam[i] = CutReal(l2, 10 * i, 10);
  if (m_nType == 7) {
    if (m == 0) {
      m_aParam[6] = CutReal(l2, 60, 5);
      m_aParam[7] = CutReal(l2, 65, 5);
      m_aParam[8] = CutReal(l2, 70, 5);
    } else if (HasPoint(l2, 60, 5) && HasPoint(l2, 65, 5)) {
      // A wide file holding a narrow-style line: two 5-column values.
      m_aParam[6] = CutReal(l2, 60, 5);
      m_aParam[7] = CutReal(l2, 65, 5);
      m_aParam[8] = CutReal(l2, 70, 10);
    } else {
      m_aParam[6] = CutReal(l2, 60, 10);
      m_aParam[7] = CutReal(l2, 70, 10);
      m_aParam[8] = CutReal(l2, 80, 10);
    }
  } else if (m_nType == 10) {
    m_aParam[6] = CutReal(l2, 70, w);
  }
  if (layout->line3 > 0) {
    std::string l3;
    if (!ReadNextDataLine(ar, line, l3)) return false;
    if (l3.empty()) return true;
    for (int i = 0; i < layout->line3; ++i) m_aParam[layout->start3 + i] = CutReal(l3, 10 * i, 10);
  }
  for (int i = ParamsUsed(*layout); i < kParamCount; ++i) m_aParam[i] = 0;
  return true;
}

namespace {

// A whole-number real field. An overflowed value (read as infinity) is
// written as the largest whole number the ten columns hold, so that it
// reads back with its sign instead of as 0.
std::string WholeReal10(double v) {
  if (std::isinf(v)) return v > 0 ? "9999999999" : "-999999999";
  return plat::Format("%10.0f", v);
}

}  // namespace

bool CIpMat::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const int m = Mode();
  text += plat::Format(m ? "%10d%10d" : "%5d%5d", m_nNo, m_nType == kNoContinuation ? -1 : m_nType);
  text += FormatReal10(m_dVal1) + FormatReal10(m_dVal2) + FormatReal10(m_dVal3);
  if (m_nType == 10 || m_nType == 11 || m_nType == kNoContinuation) text += FormatReal10(m_dVal4);
  text += "\r\n";

  const MatLayout* layout = FindLayout(m_nType);
  if (!layout) return true;
  for (int i = 0; i < layout->line2; ++i)
    text += (m_nType == 5 && i == 5) ? WholeReal10(m_aParam[5]) : FormatReal10(m_aParam[i]);
  if (m_nType == 7) {
    if (m == 0)
      text += Narrow5(m_aParam[6]) + Narrow5(m_aParam[7]) + plat::Format("%5d", TruncToInt(m_aParam[8]));
    else
      text += FormatReal10(m_aParam[6]) + FormatReal10(m_aParam[7]) + plat::Format("%10d", TruncToInt(m_aParam[8]));
  } else if (m_nType == 10) {
    text += std::string(10, ' ') + plat::Format(m ? "%10d" : "%5d", TruncToInt(m_aParam[6]));
  }
  text += "\r\n";
  if (layout->line3 > 0) {
    for (int i = 0; i < layout->line3; ++i) text += FormatReal10(m_aParam[layout->start3 + i]);
    text += "\r\n";
  }
  return true;
}
