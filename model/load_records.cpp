#include "model/load_records.h"

#include "model/columns.h"
#include "platform/numbers.h"

// ---- shared helpers ----

namespace linerec {

int Mode() { return g_nColumnMode ? 1 : 0; }

std::string IntField(int v) { return plat::Format(Mode() ? "%10d" : "%5d", v); }

std::string IntRun(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += IntField(v);
  return s;
}

std::string RealCell(double v) { return plat::Format("%10.4f", v); }

std::string IntText(int v) { return plat::Format("%d", v); }

std::string GenNoCell(int first, int inc, int item) {
  return first == 0 ? std::string() : IntText(GenNumber(first, inc, item));
}

std::string FlagCell(int mask, int bit) { return (mask >> bit) & 1 ? "1" : "0"; }

void SetFlagBit(int& mask, int bit, const std::string& text) {
  if (!text.empty() && text[0] == '1') mask |= 1 << bit;
  else mask &= ~(1 << bit);
}

int DigitsToMask(int digits) {
  long long n = digits < 0 ? -static_cast<long long>(digits) : digits;
  int mask = 0;
  for (; n > 0; n /= 10) {
    const int k = static_cast<int>(n % 10);
    if (k >= 1) mask |= 1 << (k - 1);
  }
  return mask;
}

int MaskToDigits(int mask) {
  int digits = 0;
  for (int d = 1; d <= 6; ++d)
    if (mask & (1 << (d - 1))) digits = digits * 10 + d;
  return digits;
}

bool WriteCommentRecord(const CFemInput& rec, std::string& text) {
  if (rec.m_strComment.empty()) return false;
  text = "$" + rec.m_strComment + "\r\n";
  return true;
}

bool KeepCutRecord(CArchiveIn& ar, std::string& line) {
  if (!line.empty()) ar.PushBack(line);
  return true;
}

}  // namespace linerec

using namespace linerec;

namespace {
// Start of the integer field i of a line of integers in the current layout.
int IntAt(int i) { return i * (Mode() ? 10 : 5); }
int IntWidth() { return Mode() ? 10 : 5; }
}  // namespace

// ---- CIpNLd ----

void CIpNLd::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nKey = CutInt(line, IntAt(0), w);
  m_nNo = CutInt(line, IntAt(1), w);
  m_nLast = CutInt(line, IntAt(2), w);
  m_nInc = CutInt(line, IntAt(3), w);
  m_nCode = CutInt(line, IntAt(4), w);
  m_dValue = CutReal(line, IntAt(5), 10);
}

bool CIpNLd::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpNLd::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({m_nKey, m_nNo, m_nLast, m_nInc, m_nCode}) + FormatReal10(m_dValue) + "\r\n";
  return true;
}

std::string CIpNLd::GetText(int col) {
  switch (col) {
    case 0: return CellInt(m_nKey);
    case 1: return CellInt(m_nNo);
    case 2: return CellInt(m_nCode);
    case 3: return m_nNo == 0 ? std::string() : RealCell(m_dValue);
    case 4: return CellInt(m_nLast);
    case 5: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpNLd::GetGenText(int col, int item) {
  return col == 1 ? GenNoCell(m_nNo, m_nInc, item) : GetText(col);
}

bool CIpNLd::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 5);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nKey = plat::AtoI(text); break;
    case 1: m_nNo = plat::AtoI(text); break;
    case 2: m_nCode = plat::AtoI(text); break;
    case 3: m_dValue = plat::AtoF(text); break;
    case 4: m_nLast = plat::AtoI(text); break;
    case 5: m_nInc = plat::AtoI(text); break;
  }
  return true;
}

bool CIpNLd::IsEmpty() {
  return m_nKey == 0 && m_nNo == 0 && m_nCode == 0 && m_dValue == 0 && m_nLast == 0 && m_nInc == 0 &&
         m_strComment.empty();
}

int CIpNLd::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }

// ---- CIpPLd ----

void CIpPLd::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nKey = CutInt(line, IntAt(0), w);
  m_nNo = CutInt(line, IntAt(1), w);
  m_nLast = CutInt(line, IntAt(2), w);
  m_nInc = CutInt(line, IntAt(3), w);
  m_nCode = CutInt(line, IntAt(4), w);
  const int s = IntAt(5);
  m_dValue1 = CutReal(line, s, 10);
  m_dValue2 = CutReal(line, s + 10, 10);
  m_dValue3 = CutReal(line, s + 20, 10);
  m_dValue4 = CutReal(line, s + 30, 10);
}

bool CIpPLd::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpPLd::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({m_nKey, m_nNo, m_nLast, m_nInc, m_nCode}) + FormatReal10(m_dValue1) + FormatReal10(m_dValue2) +
         FormatReal10(m_dValue3) + FormatReal10(m_dValue4) + "\r\n";
  return true;
}

std::string CIpPLd::GetText(int col) {
  const double values[4] = {m_dValue1, m_dValue2, m_dValue3, m_dValue4};
  switch (col) {
    case 0: return CellInt(m_nKey);
    case 1: return CellInt(m_nNo);
    case 2: return CellInt(m_nCode);
    case 3: case 4: case 5: case 6: return m_nNo == 0 ? std::string() : RealCell(values[col - 3]);
    case 7: return CellInt(m_nLast);
    case 8: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpPLd::GetGenText(int col, int item) {
  return col == 1 ? GenNoCell(m_nNo, m_nInc, item) : GetText(col);
}

bool CIpPLd::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 8);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nKey = plat::AtoI(text); break;
    case 1: m_nNo = plat::AtoI(text); break;
    case 2: m_nCode = plat::AtoI(text); break;
    case 3: m_dValue1 = plat::AtoF(text); break;
    case 4: m_dValue2 = plat::AtoF(text); break;
    case 5: m_dValue3 = plat::AtoF(text); break;
    case 6: m_dValue4 = plat::AtoF(text); break;
    case 7: m_nLast = plat::AtoI(text); break;
    case 8: m_nInc = plat::AtoI(text); break;
  }
  return true;
}

bool CIpPLd::IsEmpty() {
  return m_nKey == 0 && m_nNo == 0 && m_nCode == 0 && m_dValue1 == 0 && m_dValue2 == 0 && m_nLast == 0 &&
         m_nInc == 0 && m_strComment.empty();
}

int CIpPLd::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }

// ---- CIpMass ----

void CIpMass::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nNo = CutInt(line, IntAt(0), w);
  m_nLast = CutInt(line, IntAt(1), w);
  m_nInc = CutInt(line, IntAt(2), w);
  m_nDir = DigitsToMask(CutInt(line, IntAt(3), w));
  m_dValue = CutReal(line, IntAt(4), 10);
}

bool CIpMass::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpMass::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text.clear();
  for (int d = 1; d <= 6; ++d)
    if (m_nDir & (1 << (d - 1))) text += IntRun({m_nNo, m_nLast, m_nInc, d}) + FormatReal10(m_dValue) + "\r\n";
  return true;
}

std::string CIpMass::GetText(int col) {
  if (col == 0) return CellInt(m_nNo);
  if (col >= 1 && col <= 6) return FlagCell(m_nDir, col - 1);
  if (col == 7) return m_dValue == 0 ? std::string() : RealCell(m_dValue);
  if (col == 8) return CellInt(m_nLast);
  if (col == 9) return CellInt(m_nInc);
  return {};
}

std::string CIpMass::GetGenText(int col, int item) {
  return col == 0 ? GenNoCell(m_nNo, m_nInc, item) : GetText(col);
}

bool CIpMass::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 9);
  if (r >= 0) return r != 0;
  if (col == 0) m_nNo = plat::AtoI(text);
  else if (col <= 6) SetFlagBit(m_nDir, col - 1, text);
  else if (col == 7) m_dValue = plat::AtoF(text);
  else if (col == 8) m_nLast = plat::AtoI(text);
  else m_nInc = plat::AtoI(text);
  return true;
}

bool CIpMass::IsEmpty() {
  return m_nNo == 0 && m_nDir == 0 && m_dValue == 0 && m_nLast == 0 && m_nInc == 0 && m_strComment.empty();
}

int CIpMass::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }

// ---- CIpDForce ----

void CIpDForce::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nFirst = CutInt(line, IntAt(0), w);
  m_nLast = CutInt(line, IntAt(1), w);
  m_nInc = CutInt(line, IntAt(2), w);
  m_nCodeA = CutInt(line, IntAt(3), w);
  m_nCodeB = CutInt(line, IntAt(4), w);
  m_dValue = CutReal(line, IntAt(5), 10);
}

bool CIpDForce::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpDForce::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({m_nFirst, m_nLast, m_nInc, m_nCodeA, m_nCodeB}) + FormatReal10(m_dValue) + "\r\n";
  return true;
}

std::string CIpDForce::GetText(int col) {
  switch (col) {
    case 0: return IntText(m_nFirst);
    case 1: return CellInt(m_nCodeA);
    case 2: return CellInt(m_nCodeB);
    case 3: return m_dValue == 0 ? std::string() : RealCell(m_dValue);
    case 4: return CellInt(m_nLast);
    case 5: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpDForce::GetGenText(int col, int item) {
  return col == 0 ? GenNoCell(m_nFirst, m_nInc, item) : GetText(col);
}

bool CIpDForce::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 5);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nFirst = plat::AtoI(text); break;
    case 1: m_nCodeA = plat::AtoI(text); break;
    case 2: m_nCodeB = plat::AtoI(text); break;
    case 3: m_dValue = plat::AtoF(text); break;
    case 4: m_nLast = plat::AtoI(text); break;
    case 5: m_nInc = plat::AtoI(text); break;
  }
  return true;
}

bool CIpDForce::IsEmpty() {
  return m_nFirst == 0 && m_nCodeA == 0 && m_nCodeB == 0 && m_nLast == 0 && m_nInc == 0 && m_dValue == 1.0 &&
         m_strComment.empty();
}

int CIpDForce::GetCount() { return GenCount(m_nFirst, m_nLast, m_nInc); }

// ---- CIpQuake ----

void CIpQuake::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nKey = CutInt(line, IntAt(0), w);
  m_nSecond = CutInt(line, IntAt(1), w);
  m_nCodeA = CutInt(line, IntAt(2), w);
  m_nCodeB = CutInt(line, IntAt(3), w);
  m_dFactor = CutReal(line, IntAt(4), 10);
}

bool CIpQuake::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

bool CIpQuake::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({m_nKey, m_nSecond, m_nCodeA, m_nCodeB}) + FormatReal10(m_dFactor) + "\r\n";
  return true;
}

std::string CIpQuake::GetText(int col) {
  switch (col) {
    case 0: return IntText(m_nKey);
    case 1: return CellInt(m_nCodeA);
    case 2: return CellInt(m_nCodeB);
    case 3: return m_dFactor == 0 ? std::string() : RealCell(m_dFactor);
    default: return {};
  }
}

std::string CIpQuake::GetGenText(int col, int /*item*/) { return GetText(col); }

bool CIpQuake::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 3);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nKey = plat::AtoI(text); break;
    case 1: m_nCodeA = plat::AtoI(text); break;
    case 2: m_nCodeB = plat::AtoI(text); break;
    case 3: m_dFactor = plat::AtoF(text); break;
  }
  return true;
}

bool CIpQuake::IsEmpty() {
  return m_nKey == 0 && m_nCodeA == 0 && m_nCodeB == 0 && m_dFactor == 1.0 && m_strComment.empty();
}

int CIpQuake::GetCount() { return GetCountDefault(); }
