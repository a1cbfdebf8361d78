#include "model/quad_records.h"

#include "model/columns.h"
#include "model/load_records.h"
#include "platform/numbers.h"

using namespace linerec;

namespace {
int IntWidth() { return Mode() ? 10 : 5; }
}  // namespace

// ---- CIpQuad ----

void CIpQuad::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nNo = CutInt(line, 0, w);
  m_nSecond = CutInt(line, w, w);
  m_nInc = CutInt(line, 2 * w, w);
  m_nRef = CutInt(line, 3 * w, w);
  for (int i = 0; i < 4; ++i) m_anNode[i] = CutInt(line, (4 + i) * w, w);
}

bool CIpQuad::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpQuad::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({m_nNo, m_nSecond, m_nInc, m_nRef, m_anNode[0], m_anNode[1], m_anNode[2], m_anNode[3]}) + "\r\n";
  return true;
}

std::string CIpQuad::GetText(int col) {
  switch (col) {
    case 0: return CellInt(m_nNo);
    case 1: return CellInt(m_nRef);
    case 2: case 3: case 4: case 5: return CellInt(m_anNode[col - 2]);
    case 6: return CellInt(m_nSecond);
    case 7: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpQuad::GetGenText(int col, int item) {
  if (col == 0) return GenNoCell(m_nNo, m_nInc, item);
  if (col >= 2 && col <= 5) return GenNoCell(m_anNode[col - 2], m_nInc, item);
  return GetText(col);
}

bool CIpQuad::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 7);
  if (r >= 0) return r != 0;
  const int v = plat::AtoI(text);
  switch (col) {
    case 0: m_nNo = v; break;
    case 1: m_nRef = v; break;
    case 2: case 3: case 4: case 5: m_anNode[col - 2] = v; break;
    case 6: m_nSecond = v; break;
    case 7: m_nInc = v; break;
  }
  return true;
}

bool CIpQuad::IsEmpty() {
  for (int n : m_anNode)
    if (n != 0) return false;
  return m_nNo == 0 && m_nSecond == 0 && m_nInc == 0 && m_nRef == 0 && m_strComment.empty();
}

int CIpQuad::GetCount() { return GetCountDefault(); }

// ---- CIpSLd ----

int CIpSLd::ParseHead(const std::string& line) {
  const int w = IntWidth();
  m_nKey = CutInt(line, 0, w);
  m_nNo = CutInt(line, w, w);
  m_nLast = CutInt(line, 2 * w, w);
  m_nInc = CutInt(line, 3 * w, w);
  m_dValue1 = CutReal(line, 4 * w, 10);
  m_dValue2 = m_dValue3 = m_dValue4 = m_dValue1;
  // The flag field is at column 70 in both layouts. The narrow writer puts
  // its "1" 25 columns after value 1 (column 54), so a narrow line also
  // takes the flag from there; nothing else stands in those columns.
  const int flag = CutInt(line, 70, 5);
  return flag != 0 || Mode() ? flag : CutInt(line, 50, 5);
}

void CIpSLd::ParseSecond(const std::string& line) {
  m_dValue2 = CutReal(line, 0, 10);
  m_dValue3 = CutReal(line, 10, 10);
  m_dValue4 = CutReal(line, 20, 10);
}

bool CIpSLd::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  if (ParseHead(line) != 0) {
    std::string next;
    if (!ReadNextDataLine(ar, line, next)) return KeepCutRecord(ar, line);
    ParseSecond(next);
  }
  return true;
}

bool CIpSLd::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({m_nKey, m_nNo, m_nLast, m_nInc}) + FormatReal10(m_dValue1) + std::string(24, ' ') + "1\r\n" +
         FormatReal10(m_dValue2) + FormatReal10(m_dValue3) + FormatReal10(m_dValue4) + "\r\n";
  return true;
}

std::string CIpSLd::GetText(int col) {
  const double values[4] = {m_dValue1, m_dValue2, m_dValue3, m_dValue4};
  switch (col) {
    case 0: return CellInt(m_nKey);
    case 1: return CellInt(m_nNo);
    case 2: case 3: case 4: case 5: return m_nNo == 0 ? std::string() : RealCell(values[col - 2]);
    case 6: return CellInt(m_nLast);
    case 7: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpSLd::GetGenText(int col, int item) {
  return col == 1 ? GenNoCell(m_nNo, m_nInc, item) : GetText(col);
}

bool CIpSLd::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 7);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nKey = plat::AtoI(text); break;
    case 1: m_nNo = plat::AtoI(text); break;
    case 2: m_dValue1 = plat::AtoF(text); break;
    case 3: m_dValue2 = plat::AtoF(text); break;
    case 4: m_dValue3 = plat::AtoF(text); break;
    case 5: m_dValue4 = plat::AtoF(text); break;
    case 6: m_nLast = plat::AtoI(text); break;
    case 7: m_nInc = plat::AtoI(text); break;
  }
  return true;
}

bool CIpSLd::IsEmpty() {
  return m_nKey == 0 && m_nNo == 0 && m_dValue1 == 0 && m_dValue2 == 0 && m_dValue3 == 0 && m_dValue4 == 0 &&
         m_nLast == 0 && m_nInc == 0 && m_strComment.empty();
}

int CIpSLd::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }

// ---- CIpQline ----

void CIpQline::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nNo = CutInt(line, 0, w);
  m_nSecond = CutInt(line, w, w);
  m_nInc = CutInt(line, 2 * w, w);
  m_nRef = CutInt(line, 3 * w, w);
  m_nNode1 = CutInt(line, 4 * w, w);
  m_nNode2 = CutInt(line, 5 * w, w);
  m_nThird = CutInt(line, 6 * w, w);
}

bool CIpQline::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpQline::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({m_nNo, m_nSecond, m_nInc, m_nRef, m_nNode1, m_nNode2, m_nThird}) + "\r\n";
  return true;
}

std::string CIpQline::GetText(int col) {
  switch (col) {
    case 0: return CellInt(m_nNo);
    case 1: return CellInt(m_nRef);
    case 2: return CellInt(m_nNode1);
    case 3: return CellInt(m_nNode2);
    case 4: return CellInt(m_nThird);
    case 5: return CellInt(m_nSecond);
    case 6: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpQline::GetGenText(int col, int item) {
  switch (col) {
    case 0: return GenNoCell(m_nNo, m_nInc, item);
    case 2: return GenNoCell(m_nNode1, m_nInc, item);
    case 3: return GenNoCell(m_nNode2, m_nInc, item);
    case 4: return GenNoCell(m_nThird, m_nInc, item);
    default: return GetText(col);
  }
}

bool CIpQline::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 6);
  if (r >= 0) return r != 0;
  const int v = plat::AtoI(text);
  switch (col) {
    case 0: m_nNo = v; break;
    case 1: m_nRef = v; break;
    case 2: m_nNode1 = v; break;
    case 3: m_nNode2 = v; break;
    case 4: m_nThird = v; break;
    case 5: m_nSecond = v; break;
    case 6: m_nInc = v; break;
  }
  return true;
}

bool CIpQline::IsEmpty() {
  return m_nNo == 0 && m_nSecond == 0 && m_nInc == 0 && m_nRef == 0 && m_nNode1 == 0 && m_nNode2 == 0 &&
         m_nThird == 0 && m_strComment.empty();
}

int CIpQline::GetCount() { return GetCountDefault(); }
