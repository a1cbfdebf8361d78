#include "model/prop_records.h"

#include <algorithm>

#include "model/columns.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

// ---- CIpProp ----

// Built by the data set after loading; never read from or written to a file.
bool CIpProp::Write(std::string& /*text*/) { return false; }
bool CIpProp::Read(CArchiveIn& /*ar*/, std::string& /*line*/) { return false; }
std::string CIpProp::GetGenText(int /*col*/, int /*item*/) { return {}; }
std::string CIpProp::GetText(int /*col*/) { return {}; }
bool CIpProp::SetText(int /*col*/, std::string /*text*/) { return false; }
bool CIpProp::IsEmpty() { return false; }
int CIpProp::GetCount() { return 1; }

CFemInput* CIpProp::GetRef(int slot) const {
  if (slot < 1 || slot > kPropSlotCount) return nullptr;
  return m_apRef[static_cast<size_t>(slot - 1)];
}

void CIpProp::SetRef(int slot, CFemInput* rec) {
  if (slot < 1 || slot > kPropSlotCount) return;
  m_apRef[static_cast<size_t>(slot - 1)] = rec;
}

void CIpProp::GetRefVector(double& x, double& y, double& z) const {
  x = y = z = 0;
  // Beams (slot 6) are looked at before the rubber bearings (slot 5).
  static constexpr int kOrder[] = {1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  for (int slot : kOrder) {
    const CFemInput* rec = GetRef(slot);
    if (!rec) continue;
    if (slot == kPropSlotRigid) {
      x = y = z = 1;
      return;
    }
    // A record without a direction part gives no direction.
    if (const auto* v = dynamic_cast<const CVec*>(rec)) {
      x = v->m_dVx;
      y = v->m_dVy;
      z = v->m_dVz;
    }
    return;
  }
}

// ---- CWave ----

namespace {
// Separator labels as written on the separator comment line (code page 932).
const char kLabelBlank[] = "\x8b\xf3\x94\x92";              // "空白"
const char kLabelTab[] = "\xc0\xcc\xde";                    // "ﾀﾌﾞ"
const char kLabelComma[] = "\xb6\xdd\xcf(\x81\x43)";        // "ｶﾝﾏ(，)"
const char kLabelCommaWord[] = "\xb6\xdd\xcf";              // "ｶﾝﾏ"

// Directive comment lines of a function; each prefix is 16 bytes.
const char kDirFile[] = "$ \xcc\xa7\xb2\xd9\x96\xbc      = ";         // "$ ﾌｧｲﾙ名      = "
const char kDirSeparator[] = "$ \x8b\xe6\x90\xd8\x82\xe8\x95\xb6\x8e\x9a  = ";  // "$ 区切り文字  = "
const char kDirColumn[] = "$ \x8e\x77\x92\xe8\x83\x4a\x83\x89\x83\x80  = ";     // "$ 指定カラム  = "
const char kDirColumnForm[] = "$ \x8e\x77\x92\xe8\x97\xf1\x8c\x60\x8e\xae  = ";  // "$ 指定列形式  = "
const char kDirStartLine[] = "$ \x93\xc7\x8d\x9e\x82\xdd\x8a\x4a\x8e\x6e\x8d\x73= ";  // "$ 読込み開始行= "
constexpr size_t kDirLen = 16;
static_assert(sizeof(kDirFile) - 1 == kDirLen && sizeof(kDirSeparator) - 1 == kDirLen &&
              sizeof(kDirColumn) - 1 == kDirLen && sizeof(kDirColumnForm) - 1 == kDirLen &&
              sizeof(kDirStartLine) - 1 == kDirLen);

constexpr int kValuesPerLine = 8;
}  // namespace

int CWave::ValueCount() const { return plat::ClampToInt(static_cast<long long>(m_adValues.size())); }

void CWave::UpdateRange() {
  const size_t n = m_adValues.size();
  if (n == 0) return;
  // With the time flag the values are (time, value) pairs: only the value
  // members count, and an unpaired trailing time has none.
  const size_t first = m_nTimeFlag ? 1 : 0;
  const size_t step = m_nTimeFlag ? 2 : 1;
  if (first >= n) return;
  m_dMin = m_dMax = m_adValues[first];
  for (size_t i = first; i < n; i += step) {
    m_dMin = std::min(m_dMin, m_adValues[i]);
    m_dMax = std::max(m_dMax, m_adValues[i]);
  }
}

std::string CWave::GetSeparatorLabel() const {
  if (m_strSeparator == " ") return kLabelBlank;
  if (m_strSeparator == "\t") return kLabelTab;
  if (m_strSeparator == ",") return kLabelComma;
  return m_strSeparator;
}

void CWave::SetSeparatorFromLabel(const std::string& text) {
  if (plat::StartsWith(text, kLabelBlank)) m_strSeparator = " ";
  else if (plat::StartsWith(text, kLabelTab)) m_strSeparator = "\t";
  else if (plat::StartsWith(text, kLabelCommaWord)) m_strSeparator = ",";
  else m_strSeparator = text;
}

// ---- CIpFunc ----

bool CIpFunc::Write(std::string& text) {
  text = kDirFile + m_strFileName + "\r\n";
  if (m_nMode == 2) text += kDirSeparator + GetSeparatorLabel() + "\r\n";
  else if (m_nMode == 3) text += kDirColumn + m_strSeparator + "\r\n";
  else if (m_nMode == 4) text += kDirColumnForm + m_strSeparator + "\r\n";
  text += kDirStartLine + plat::Format("%d", m_nStartLine) + "\r\n";
  AppendCommentLine(text);

  // An outside file named on the head line: the reader looks for the name
  // from column 10 and then reads no count or value lines.
  const std::string name = plat::Trim(m_strFileName);
  if (m_nMode == 1 && !name.empty()) {
    text += g_nColumnMode ? plat::Format("%10d", m_nNo) : plat::Format("%5d     ", m_nNo);
    text += name + "\r\n";
    return true;
  }

  text += plat::Format(g_nColumnMode ? "%10d          " : "%5d          ", m_nNo) + "\r\n";
  // With the time flag the count line gives the number of pairs; an unpaired
  // trailing value cannot be told apart from the next record, so only whole
  // pairs are written.
  size_t nWrite = m_adValues.size();
  long long nCount = static_cast<long long>(nWrite);
  if (m_nTimeFlag) {
    nCount /= 2;
    nWrite = static_cast<size_t>(nCount) * 2;
  }
  text += plat::Format("     %5d%5d     ", plat::ClampToInt(nCount), m_nTimeFlag) + FormatReal10(m_dFactor) +
          FormatReal10(m_dInterval) + "\r\n";
  for (size_t i = 0; i < nWrite; ++i) {
    text += FormatReal10(m_adValues[i]);
    if ((i + 1) % kValuesPerLine == 0 || i + 1 == nWrite) text += "\r\n";
  }
  return true;
}

bool CIpFunc::Read(CArchiveIn& ar, std::string& line) {
  switch (ReadLine(ar, line)) {
    case LineKind::End:
    case LineKind::Keyword:
      return false;
    case LineKind::Empty:
      return true;
    case LineKind::Comment:
    case LineKind::Data:
      break;
  }
  m_nMode = 0;

  std::string comment;
  while (!line.empty() && line[0] == '$') {
    if (plat::StartsWith(line, kDirFile)) {
      m_strFileName = plat::Trim(plat::Mid(line, kDirLen));
    } else if (plat::StartsWith(line, kDirSeparator)) {
      m_nMode = 2;
      SetSeparatorFromLabel(plat::Mid(line, kDirLen));
    } else if (plat::StartsWith(line, kDirColumn)) {
      m_nMode = 3;
      m_strSeparator = plat::Trim(plat::Mid(line, kDirLen));
    } else if (plat::StartsWith(line, kDirColumnForm)) {
      m_nMode = 4;
      m_strSeparator = plat::Trim(plat::Mid(line, kDirLen));
    } else if (plat::StartsWith(line, kDirStartLine)) {
      m_nStartLine = plat::AtoI(plat::Mid(line, kDirLen));
    } else {
      comment += line;
    }
    if (!ar.ReadString(line)) {
      line.clear();
      return false;
    }
  }
  if (!comment.empty()) m_strComment = comment.substr(1);
  if (!line.empty() && line[0] == '/') return false;

  // Head line: the function number, then an outside file's name if any.
  m_nNo = CutInt(line, 0, g_nColumnMode ? 10 : 5);
  const std::string name = plat::Trim(plat::Mid(line, 10));
  if (!name.empty()) {
    m_strFileName = name;
    m_nMode = 1;
    return true;
  }

  // Count line; a keyword line in its place ends the record and is kept.
  std::string data;
  if (!ReadNextDataLine(ar, line, data)) return false;
  const int nCount = std::max(0, CutInt(data, 5, 5));
  m_nTimeFlag = CutInt(data, 10, 5);
  m_dFactor = CutReal(data, 20, 10);
  if (m_dFactor == 0) m_dFactor = 1.0;
  m_dInterval = CutReal(data, 30, 10);

  // With the time flag the count is the number of (time, value) pairs.
  const long long nValues = m_nTimeFlag ? 2LL * nCount : nCount;
  m_adValues.assign(static_cast<size_t>(nValues), 0.0);
  size_t got = 0;
  while (got < m_adValues.size()) {
    if (!ReadNextDataLine(ar, line, data)) return false;
    for (int k = 0; k < kValuesPerLine && got < m_adValues.size(); ++k)
      m_adValues[got++] = CutReal(data, k * 10, 10);
  }
  UpdateRange();
  return true;
}

std::string CIpFunc::GetText(int col) {
  if (col < 0 || col >= ValueCount()) return {};
  return plat::Format("%10.4f", m_adValues[static_cast<size_t>(col)]);
}

std::string CIpFunc::GetGenText(int col, int /*item*/) { return GetText(col); }

bool CIpFunc::SetText(int col, std::string text) {
  const int r = SetTextComment(col, text, ValueCount() - 1);
  if (r >= 0) return r != 0;
  const double v = plat::AtoF(text);
  m_adValues[static_cast<size_t>(col)] = v;
  // The range follows the value members only, as UpdateRange does.
  if (!m_nTimeFlag || col % 2 == 1) {
    m_dMax = std::max(m_dMax, v);
    m_dMin = std::min(m_dMin, v);
  }
  return true;
}

bool CIpFunc::IsEmpty() {
  return m_nNo == 0 && m_adValues.empty() && m_dInterval == 0 && m_dFactor == 0 && m_strComment.empty();
}

int CIpFunc::GetCount() { return 1; }
