#include "model/ans_records.h"

#include <climits>

#include "model/load_records.h"
#include "platform/numbers.h"

using namespace linerec;

namespace {
int IntWidth() { return Mode() ? 10 : 5; }
// Distance between the (value, number) cells of the prestress lists.
int PairStep() { return Mode() ? 20 : 15; }
}  // namespace

// ---- CIpAnsSub ----

void CIpAnsSub::ParseCell(const std::string& cell) {
  if (Mode()) {
    m_nValue1 = CutInt(cell, 0, 10);
    m_nFlag = CutInt(cell, 10, 1);
    m_nValue2 = CutInt(cell, 11, 9);
  } else {
    m_nValue1 = CutInt(cell, 0, 5);
    m_nFlag = CutInt(cell, 5, 1);
    m_nValue2 = CutInt(cell, 6, 4);
  }
}

bool CIpAnsSub::Read(CArchiveIn& /*ar*/, std::string& line) {
  ParseCell(line);
  return true;
}

bool CIpAnsSub::Write(std::string& text) {
  if (!m_strComment.empty()) return false;
  text = plat::Format(Mode() ? "%10d%1d%9d" : "%5d%1d%4d", m_nValue1, m_nFlag, m_nValue2);
  return true;
}

std::string CIpAnsSub::GetText(int col) {
  switch (col) {
    case 0: return CellInt(m_nValue1);
    case 1: return m_nValue1 == 0 ? std::string() : IntText(m_nFlag);
    case 2: return CellInt(m_nValue2);
    default: return {};
  }
}

std::string CIpAnsSub::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }

bool CIpAnsSub::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 2);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nValue1 = plat::AtoI(text); break;
    case 1: m_nFlag = plat::AtoI(text) != 0 ? 1 : 0; break;
    case 2: m_nValue2 = plat::AtoI(text); break;
  }
  return true;
}

bool CIpAnsSub::IsEmpty() { return m_nValue1 == 0 && m_nFlag == 0 && m_nValue2 == 0 && m_strComment.empty(); }

int CIpAnsSub::GetCount() { return GetCountDefault(); }

// ---- CIpPSt ----

bool CIpPSt::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadCommentRecord(ar, line);
  if (r >= 0) return r != 0;
  const int w = IntWidth();
  const int step = PairStep();
  m_nKey = CutInt(line, 0, w);
  m_nNo = CutInt(line, w, w);
  m_nLast = CutInt(line, 2 * w, w);
  m_nInc = CutInt(line, 3 * w, w);
  m_nCount = CutInt(line, 4 * w, w);
  m_dValue = CutReal(line, 5 * w, 10);
  m_lstItems.clear();
  const long long n = m_nCount < 0 ? -static_cast<long long>(m_nCount) : m_nCount;
  long long got = 0;
  for (int i = 0; i < 3 && got < n; ++i, ++got) {
    const int s = 5 * w + i * step;
    AppendValueNode(CutInt(line, s + 10, w), CutReal(line, s, 10), m_lstItems);
  }
  std::string next;
  while (got < n) {
    if (!ReadNextDataLine(ar, line, next)) return KeepCutRecord(ar, line);
    for (int i = 0; i < 4 && got < n; ++i, ++got) {
      const int s = i * step;
      AppendValueNode(CutInt(next, s + 10, w), CutReal(next, s, 10), m_lstItems);
    }
  }
  return true;
}

bool CIpPSt::Write(std::string& text) {
  if (WriteCommentRecord(*this, text)) return true;
  const int n = plat::ClampToInt(static_cast<long long>(m_lstItems.size()));
  m_nCount = m_nCount < 0 ? -n : n;
  text = IntRun({m_nKey, m_nNo, m_nLast, m_nInc, m_nCount});
  if (m_lstItems.empty()) {
    text += FormatReal10(m_dValue);
  } else {
    for (size_t i = 0; i < m_lstItems.size(); ++i) {
      if (i >= 3 && (i - 3) % 4 == 0) text += "\r\n";
      text += FormatReal10(m_lstItems[i].value) + IntField(m_lstItems[i].key);
    }
  }
  text += "\r\n";
  return true;
}

std::string CIpPSt::GetText(int col) {
  switch (col) {
    case 0: return CellInt(m_nKey);
    case 1: return CellInt(m_nNo);
    case 2: return m_dValue == 0 ? std::string() : RealCell(m_dValue);
    case 3: return CellInt(m_nLast);
    case 4: return CellInt(m_nInc);
    default: return {};
  }
}

std::string CIpPSt::GetGenText(int col, int item) {
  return col == 1 ? GenNoCell(m_nNo, m_nInc, item) : GetText(col);
}

bool CIpPSt::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 4);
  if (r >= 0) return r != 0;
  switch (col) {
    case 0: m_nKey = plat::AtoI(text); break;
    case 1: m_nNo = plat::AtoI(text); break;
    case 2: m_dValue = plat::AtoF(text); break;
    case 3: m_nLast = plat::AtoI(text); break;
    case 4: m_nInc = plat::AtoI(text); break;
  }
  return true;
}

bool CIpPSt::IsEmpty() {
  return m_nKey == 0 && m_nNo == 0 && m_dValue == 0 && m_nLast == 0 && m_nInc == 0 && m_strComment.empty();
}

int CIpPSt::GetCount() { return GenCount(m_nNo, m_nLast, m_nInc); }

// ---- CIpPSt2 ----

bool CIpPSt2::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int w = IntWidth();
  const int step = PairStep();
  m_nKey = CutInt(data, 0, w);
  m_nNo = CutInt(data, w, w);
  m_nLast = CutInt(data, 2 * w, w);
  m_nInc = CutInt(data, 3 * w, w);
  const int n = CutInt(data, 4 * w, w);
  for (double& v : m_adValue) v = 0;
  if (n == 0) {
    m_adValue[0] = CutReal(data, 5 * w, 10);
    return true;
  }
  auto take = [&](const std::string& text, int s) {
    int p = CutInt(text, s + 10, w);
    // A lone value 1 is written without its position.
    if (n == 1 && p == 0) p = 1;
    if (p >= 1 && p <= 6) m_adValue[p - 1] = CutReal(text, s, 10);
  };
  int got = 0;
  for (int i = 0; i < 3 && got < n; ++i, ++got) take(data, 5 * w + i * step);
  if (n > 3) {
    std::string next;
    while (got < n) {
      if (!ReadNextDataLine(ar, line, next)) return KeepCutRecord(ar, line);
      for (int k = 0; k < 4 && got < n; ++k, ++got) take(next, k * step);
    }
  }
  return true;
}

bool CIpPSt2::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  int n = 0;
  for (double v : m_adValue)
    if (v != 0) ++n;
  text += IntRun({m_nKey, m_nNo, m_nLast, m_nInc, n});
  if (n == 0 || (n == 1 && m_adValue[0] != 0)) {
    text += FormatReal10(m_adValue[0]);
  } else {
    int pairs = 0;
    for (int p = 1; p <= 6; ++p) {
      if (m_adValue[p - 1] == 0) continue;
      if (pairs++ == 3) text += "\r\n";
      text += FormatReal10(m_adValue[p - 1]) + IntField(p);
    }
  }
  text += "\r\n";
  return true;
}

std::string CIpPSt2::GetText(int col) {
  if (col == 0) return CellInt(m_nKey);
  if (col == 1) return CellInt(m_nNo);
  if (col >= 2 && col <= 7) return m_nNo == 0 ? std::string() : FormatReal10(m_adValue[col - 2]);
  if (col == 8) return CellInt(m_nLast);
  if (col == 9) return CellInt(m_nInc);
  return {};
}

std::string CIpPSt2::GetGenText(int col, int item) {
  return col == 1 ? GenNoCell(m_nNo, m_nInc, item) : GetText(col);
}

bool CIpPSt2::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, 9);
  if (r >= 0) return r != 0;
  if (col == 0) m_nKey = plat::AtoI(text);
  else if (col == 1) m_nNo = plat::AtoI(text);
  else if (col <= 7) m_adValue[col - 2] = plat::AtoF(text);
  else if (col == 8) m_nLast = plat::AtoI(text);
  else m_nInc = plat::AtoI(text);
  return true;
}

bool CIpPSt2::IsEmpty() {
  for (double v : m_adValue)
    if (v != 0) return false;
  return m_nKey == 0 && m_nNo == 0 && m_nLast == 0 && m_nInc == 0 && m_strComment.empty();
}

int CIpPSt2::GetCount() { return GetCountDefault(); }

// ---- CIpSOutput ----

void CIpSOutput::ParseLine(const std::string& line) {
  const int w = IntWidth();
  m_nValue1 = CutInt(line, 0, w);
  m_nValue2 = CutInt(line, w, w);
}

bool CIpSOutput::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (parse) ParseLine(data);
  return r != 0;
}

bool CIpSOutput::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += IntRun({m_nValue1, m_nValue2}) + "\r\n";
  return true;
}

std::string CIpSOutput::GetText(int col) { return CellInt(col == 0 ? m_nValue1 : m_nValue2); }

std::string CIpSOutput::GetGenText(int col, int /*item*/) { return GetText(col); }

bool CIpSOutput::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, INT_MAX);
  if (r >= 0) return r != 0;
  if (col == 0) m_nValue1 = plat::AtoI(text);
  else m_nValue2 = plat::AtoI(text);
  return true;
}

bool CIpSOutput::IsEmpty() { return m_nValue1 == 0 && m_nValue2 == 0 && m_strComment.empty(); }

int CIpSOutput::GetCount() { return GetCountDefault(); }
