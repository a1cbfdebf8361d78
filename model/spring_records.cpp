#include "model/spring_records.h"

#include "platform/numbers.h"

namespace {
int Mode() { return g_nColumnMode ? 1 : 0; }

// Direction flag after the head line's fields: the '1' lands in the flag
// column (narrow 74, wide 64 or 74).
const char kFlagNarrow[] = "                             1";  // 29 blanks, then "1"
const char kFlagShort[] = "    1";

// File order: number, code, value 1..3, curve count, direction flag.
constexpr int kNSprStart[2][7] = {{0, 5, 10, 20, 30, 40, 70}, {0, 10, 20, 30, 40, 50, 60}};
constexpr int kNSprWidth[2][7] = {{5, 5, 10, 10, 10, 5, 5}, {10, 10, 10, 10, 10, 10, 5}};
// File order: number, code 1..4, value 1, value 2, direction flag.
constexpr int kNSpr2Start[2][8] = {{0, 5, 10, 15, 20, 25, 35, 70}, {0, 10, 20, 30, 40, 50, 60, 70}};
constexpr int kNSpr2Width[2][8] = {{5, 5, 5, 5, 5, 10, 10, 5}, {10, 10, 10, 10, 10, 10, 10, 5}};
// File order: number, value 1, value 2, x, y, z.
constexpr int kGapStart[2][6] = {{0, 10, 20, 30, 40, 50}, {0, 10, 20, 30, 40, 50}};
constexpr int kGapWidth[2][6] = {{5, 10, 10, 10, 10, 10}, {10, 10, 10, 10, 10, 10}};
}  // namespace

std::string FormatDirectionLine(const CVec& v) {
  return FormatReal10(v.m_dVx) + FormatReal10(v.m_dVy) + FormatReal10(v.m_dVz) + "\r\n";
}

void ParseDirectionLine(const std::string& data, CVec& v) {
  v.m_dVx = CutReal(data, 0, 10);
  v.m_dVy = CutReal(data, 10, 10);
  v.m_dVz = CutReal(data, 20, 10);
}

bool IsDirectionSet(const CVec& v) { return v.m_dVx != 0 || v.m_dVy != 0 || v.m_dVz != 0; }

// ---- CIpNSpr ----

int CIpNSpr::CurveEntryCount() const {
  if (m_aCurve.empty()) return 0;
  const CValues6& last = m_aCurve.back();
  long long n = 2LL * static_cast<long long>(m_aCurve.size());
  if (last.v[3] == 0 && last.v[4] == 0 && last.v[5] == 0) --n;
  return plat::ClampToInt(n);
}

bool CIpNSpr::Write(std::string& text) {
  text.clear();
  // An empty record reads back from an empty line.
  if (IsEmpty()) {
    text = "\r\n";
    return true;
  }
  AppendCommentLine(text);
  const bool dir = IsDirectionSet(*this);
  const int count = CurveEntryCount();
  if (g_nColumnMode) {
    text += plat::Format("%10d%10d", m_nNo, m_nCode) + FormatReal10(m_dValue1) + FormatReal10(m_dValue2) +
            FormatReal10(m_dValue3) + plat::Format("%10d", count) + (dir ? kFlagShort : "");
  } else {
    text += plat::Format("%5d%5d", m_nNo, m_nCode) + FormatReal10(m_dValue1) + FormatReal10(m_dValue2) +
            FormatReal10(m_dValue3) + plat::Format("%5d", count) + (dir ? kFlagNarrow : "");
  }
  text += "\r\n";
  if (dir) text += FormatDirectionLine(*this);
  std::string one;
  // The reader always takes one curve line, even for a count of 0.
  if (m_aCurve.empty()) {
    FormatValues6(one, CValues6{});
    text += one;
  }
  for (const CValues6& node : m_aCurve) {
    FormatValues6(one, node);
    text += one;
  }
  return true;
}

bool CIpNSpr::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int* s = kNSprStart[Mode()];
  const int* w = kNSprWidth[Mode()];
  m_nNo = CutInt(data, s[0], w[0]);
  m_nCode = CutInt(data, s[1], w[1]);
  m_dValue1 = CutReal(data, s[2], w[2]);
  m_dValue2 = CutReal(data, s[3], w[3]);
  m_dValue3 = CutReal(data, s[4], w[4]);
  const int count = CutInt(data, s[5], w[5]);
  const int flag = CutInt(data, s[6], w[6]);
  if (flag != 0) {
    if (!ReadNextDataLine(ar, line, data)) return false;
    ParseDirectionLine(data, *this);
  }
  // Two entries to a line, the division truncating toward zero: a count of 0
  // or 1 still has one line, a count of -1 or below none.
  const long long nLines = (static_cast<long long>(count) - 1) / 2 + 1;
  for (long long i = 0; i < nLines; ++i) {
    double v[6];
    if (!ReadValues6(ar, v, line)) return false;
    AppendValues6Node(v, m_aCurve);
  }
  return true;
}

std::string CIpNSpr::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
std::string CIpNSpr::GetText(int /*col*/) { return GetTextDefault(); }
bool CIpNSpr::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
int CIpNSpr::GetCount() { return GetCountDefault(); }

bool CIpNSpr::IsEmpty() {
  return m_nNo == 0 && m_nCode == 0 && m_dValue1 == 0 && m_dValue2 == 0 && m_dValue3 == 0 && !IsDirectionSet(*this) &&
         m_aCurve.empty() && m_strComment.empty();
}

// ---- CIpNSpr2 ----

bool CIpNSpr2::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const bool dir = IsDirectionSet(*this);
  text += plat::Format(g_nColumnMode ? "%10d%10d%10d%10d%10d" : "%5d%5d%5d%5d%5d", m_nNo, m_nCode1, m_nCode2, m_nCode3,
                       m_nCode4) +
          FormatReal10(m_dValue1) + FormatReal10(m_dValue2);
  if (dir) text += g_nColumnMode ? kFlagShort : kFlagNarrow;
  text += "\r\n";
  if (dir) text += FormatDirectionLine(*this);
  return true;
}

bool CIpNSpr2::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int* s = kNSpr2Start[Mode()];
  const int* w = kNSpr2Width[Mode()];
  m_nNo = CutInt(data, s[0], w[0]);
  m_nCode1 = CutInt(data, s[1], w[1]);
  m_nCode2 = CutInt(data, s[2], w[2]);
  m_nCode3 = CutInt(data, s[3], w[3]);
  m_nCode4 = CutInt(data, s[4], w[4]);
  m_dValue1 = CutReal(data, s[5], w[5]);
  m_dValue2 = CutReal(data, s[6], w[6]);
  if (CutInt(data, s[7], w[7]) != 0) {
    if (!ReadNextDataLine(ar, line, data)) return false;
    ParseDirectionLine(data, *this);
  }
  return true;
}

std::string CIpNSpr2::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
std::string CIpNSpr2::GetText(int /*col*/) { return GetTextDefault(); }
bool CIpNSpr2::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
int CIpNSpr2::GetCount() { return GetCountDefault(); }

bool CIpNSpr2::IsEmpty() {
  return m_nNo == 0 && m_nCode1 == 0 && m_nCode2 == 0 && m_nCode3 == 0 && m_nCode4 == 0 && m_dValue1 == 0 &&
         m_dValue2 == 0 && !IsDirectionSet(*this) && m_strComment.empty();
}

// ---- CIpGap ----

bool CIpGap::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += g_nColumnMode ? plat::Format("%10d", m_nNo) : plat::Format("%5d     ", m_nNo);
  text += FormatReal10(m_dValue1) + FormatReal10(m_dValue2) + FormatDirectionLine(*this);
  return true;
}

bool CIpGap::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int* s = kGapStart[Mode()];
  const int* w = kGapWidth[Mode()];
  m_nNo = CutInt(data, s[0], w[0]);
  m_dValue1 = CutReal(data, s[1], w[1]);
  m_dValue2 = CutReal(data, s[2], w[2]);
  m_dVx = CutReal(data, s[3], w[3]);
  m_dVy = CutReal(data, s[4], w[4]);
  m_dVz = CutReal(data, s[5], w[5]);
  return true;
}

std::string CIpGap::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
std::string CIpGap::GetText(int /*col*/) { return GetTextDefault(); }
bool CIpGap::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
int CIpGap::GetCount() { return GetCountDefault(); }

bool CIpGap::IsEmpty() {
  return m_nNo == 0 && m_dValue1 == 0 && m_dValue2 == 0 && !IsDirectionSet(*this) && m_strComment.empty();
}
