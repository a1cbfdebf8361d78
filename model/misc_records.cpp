#include "model/misc_records.h"

#include <algorithm>

#include "model/columns.h"
#include "model/load_records.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

using namespace linerec;

namespace {
int IntWidth() { return Mode() ? 10 : 5; }
}  // namespace

// ---- CIpCrpLine: "/creep" and "/strain" ----

template <class Data>
void CIpCrpLine<Data>::ParseLine(const std::string& line) {
  const int w = IntWidth();
  this->m_nKey = CutInt(line, 0, w);
  this->m_nNo = CutInt(line, w, w);
  this->m_nLast = CutInt(line, 2 * w, w);
  this->m_nInc = CutInt(line, 3 * w, w);
  this->m_nCode = CutInt(line, 4 * w, w);
  this->m_dValue1 = CutReal(line, 5 * w, 10);
  this->m_dValue2 = CutReal(line, 5 * w + 10, 10);
}

template <class Data>
bool CIpCrpLine<Data>::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  ParseLine(line);
  return true;
}

template <class Data>
bool CIpCrpLine<Data>::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  text = IntRun({this->m_nKey, this->m_nNo, this->m_nLast, this->m_nInc, this->m_nCode}) +
         FormatReal10(this->m_dValue1) + FormatReal10(this->m_dValue2) + "\r\n";
  return true;
}

template <class Data>
std::string CIpCrpLine<Data>::GetText(int col) {
  const bool shown = this->m_nNo != 0;
  switch (col) {
    case 0: return CellInt(this->m_nKey);
    case 1: return CellInt(this->m_nNo);
    case 2: return shown ? IntText(this->m_nCode) : std::string();
    case 3: return shown ? RealCell(this->m_dValue1) : std::string();
    case 4: return shown ? RealCell(this->m_dValue2) : std::string();
    case 5: return CellInt(this->m_nLast);
    case 6: return CellInt(this->m_nInc);
    default: return {};
  }
}

template <class Data>
std::string CIpCrpLine<Data>::GetGenText(int col, int item) {
  return col == 1 ? GenNoCell(this->m_nNo, this->m_nInc, item) : GetText(col);
}

template <class Data>
bool CIpCrpLine<Data>::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 6);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: this->m_nKey = plat::AtoI(text); break;
    case 1: this->m_nNo = plat::AtoI(text); break;
    case 2: this->m_nCode = plat::AtoI(text); break;
    case 3: this->m_dValue1 = plat::AtoF(text); break;
    case 4: this->m_dValue2 = plat::AtoF(text); break;
    case 5: this->m_nLast = plat::AtoI(text); break;
    case 6: this->m_nInc = plat::AtoI(text); break;
  }
  return true;
}

template <class Data>
bool CIpCrpLine<Data>::IsEmpty() {
  return this->m_nKey == 0 && this->m_nNo == 0 && this->m_nCode == 0 && this->m_nLast == 0 && this->m_nInc == 0 &&
         this->m_strComment.empty();
}

template <class Data>
int CIpCrpLine<Data>::GetCount() {
  return GenCount(this->m_nNo, this->m_nLast, this->m_nInc);
}

template class CIpCrpLine<CCrp>;
template class CIpCrpLine<CStrn>;

// ---- CIpTruss ----

namespace {

// A code that is left out when it is not above 0.
std::string OptionalCode(int code) {
  return code > 0 ? IntField(code) : std::string(static_cast<size_t>(IntWidth()), ' ');
}

// The narrow second line ends in "%5.3f%5.3f", which has no fixed columns:
// each value ends three digits after its point.
void CutFixed3Pair(const std::string& line, size_t start, double& a, double& b) {
  a = b = 0;
  if (start >= line.size()) return;
  const size_t point = line.find('.', start);
  const size_t end = point == std::string::npos ? line.size() : std::min(point + 4, line.size());
  a = plat::AtoF(plat::Mid(line, static_cast<long long>(start), static_cast<long long>(end - start)));
  b = plat::AtoF(plat::Mid(line, static_cast<long long>(end)));
}

}  // namespace

int CIpTruss::ParseHead(const std::string& line) {
  int flag = 0;
  if (Mode()) {
    m_nNo = CutInt(line, 0, 10);
    m_nCode1 = CutInt(line, 10, 10);
    m_nCode2 = CutInt(line, 20, 10);
    m_nCode3 = CutInt(line, 30, 10);
    m_dValue1 = CutReal(line, 40, 10);
    m_dValue4 = CutReal(line, 50, 10);
    m_dValue5 = CutReal(line, 60, 10);
    flag = CutInt(line, 80, 10);
  } else {
    // Where the narrow writer puts them: four codes of 5, three reals, and the
    // flag ending in column 64.
    m_nNo = CutInt(line, 0, 5);
    m_nCode1 = CutInt(line, 5, 5);
    m_nCode2 = CutInt(line, 10, 5);
    m_nCode3 = CutInt(line, 15, 5);
    m_dValue1 = CutReal(line, 20, 10);
    m_dValue4 = CutReal(line, 30, 10);
    m_dValue5 = CutReal(line, 40, 10);
    flag = CutInt(line, 60, 5);
  }
  if (m_nCode3 < 1 && m_nCode2 > 0) m_nCode3 = m_nCode2;
  return flag;
}

void CIpTruss::ParseSecond(const std::string& line) {
  m_dVx = CutReal(line, 0, 10);
  m_dVy = CutReal(line, 10, 10);
  m_dVz = CutReal(line, 20, 10);
  if (Mode()) {
    m_nCode4 = CutInt(line, 30, 10);
    m_dValue2 = CutReal(line, 40, 10);
    m_dValue3 = CutReal(line, 50, 10);
  } else {
    m_nCode4 = CutInt(line, 30, 5);
    CutFixed3Pair(line, 35, m_dValue2, m_dValue3);
  }
}

bool CIpTruss::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  if (ParseHead(data) != 0) {
    std::string next;
    if (!ReadNextDataLine(ar, line, next)) return KeepCutRecord(ar, line);
    ParseSecond(next);
  }
  return true;
}

bool CIpTruss::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += IntRun({m_nNo, m_nCode1}) + OptionalCode(m_nCode2) + OptionalCode(m_nCode3) + FormatReal10(m_dValue1) +
          FormatReal10(m_dValue4) + FormatReal10(m_dValue5) + std::string(14, ' ') + "1\r\n";
  text += FormatReal10(m_dVx) + FormatReal10(m_dVy) + FormatReal10(m_dVz);
  if (Mode())
    text += plat::Format("%10d", m_nCode4) + FormatReal10(m_dValue2) + FormatReal10(m_dValue3);
  else
    text += plat::Format("%5d%5.3f%5.3f", m_nCode4, m_dValue2, m_dValue3);
  text += "\r\n";
  return true;
}

std::string CIpTruss::GetText(int /*col*/) { return GetTextDefault(); }
std::string CIpTruss::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
bool CIpTruss::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }

bool CIpTruss::IsEmpty() {
  return m_nNo == 0 && m_nCode1 == 0 && m_nCode2 == 0 && m_nCode3 == 0 && m_nCode4 == 0 && m_dValue1 == 0 &&
         m_dValue2 == 0 && m_dValue3 == 0 && m_dValue4 == 0 && m_dValue5 == 0 && m_dVx == 0 && m_dVy == 0 &&
         m_dVz == 0 && m_strComment.empty();
}

int CIpTruss::GetCount() { return GetCountDefault(); }

// ---- CIpRigid ----

void CIpRigid::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nNo = CutInt(line, 0, w);
  m_nCode = CutInt(line, w, w);
}

bool CIpRigid::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (parse) ParseLine(data);
  return r != 0;
}

bool CIpRigid::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += IntRun({m_nNo, m_nCode}) + "\r\n";
  return true;
}

std::string CIpRigid::GetText(int /*col*/) { return GetTextDefault(); }
std::string CIpRigid::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
bool CIpRigid::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
bool CIpRigid::IsEmpty() { return m_nNo == 0 && m_nCode == 0 && m_strComment.empty(); }
int CIpRigid::GetCount() { return GetCountDefault(); }

// ---- CIpNDEqual ----

void CIpNDEqual::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nNo = CutInt(line, 0, w);
  m_nSecond = CutInt(line, w, w);
  m_nInc = CutInt(line, 2 * w, w);
  m_nThird = CutInt(line, 3 * w, w);
  m_nDir = DigitsToMask(CutInt(line, 4 * w, w));
}

bool CIpNDEqual::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (parse) ParseLine(data);
  return r != 0;
}

bool CIpNDEqual::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += IntRun({m_nNo, m_nSecond, m_nInc, m_nThird, MaskToDigits(m_nDir)}) + "\r\n";
  return true;
}

std::string CIpNDEqual::GetText(int col) {
  if (col == 0) return CellInt(m_nNo);
  if (col >= 1 && col <= 6) return FlagCell(m_nDir, col - 1);
  if (col == 7) return CellInt(m_nThird);
  if (col == 8) return CellInt(m_nSecond);
  if (col == 9) return CellInt(m_nInc);
  return {};
}

std::string CIpNDEqual::GetGenText(int col, int item) {
  return col == 0 ? GenNoCell(m_nNo, m_nInc, item) : GetText(col);
}

bool CIpNDEqual::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 9);
  if (r >= 0) return r != 0;
  if (col == 0) m_nNo = plat::AtoI(text);
  else if (col <= 6) SetFlagBit(m_nDir, col - 1, text);
  else if (col == 7) m_nThird = plat::AtoI(text);
  else if (col == 8) m_nSecond = plat::AtoI(text);
  else m_nInc = plat::AtoI(text);
  return true;
}

bool CIpNDEqual::IsEmpty() { return m_nNo == 0 && m_strComment.empty(); }

int CIpNDEqual::GetCount() { return GetCountDefault(); }
