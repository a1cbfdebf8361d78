#include "model/sec_records.h"

#include <algorithm>
#include <cmath>

#include "model/columns.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

namespace {

int Mode() { return g_nColumnMode ? 1 : 0; }

// Head line fields 0 to 14: no, material, blocks, decks, flags, option 1,
// direction x, y, z, coef 1, coef 2, option 2, values 1 to 3.
constexpr int kHeadStart[2][15] = {{0, 5, 10, 15, 20, 32, 35, 45, 55, 65, 70, 75, 80, 90, 100},
                                   {0, 10, 20, 30, 40, 55, 65, 75, 85, 95, 105, 115, 125, 135, 145}};
constexpr int kHeadWidth[2][15] = {{5, 5, 5, 5, 12, 3, 10, 10, 10, 5, 5, 5, 10, 10, 10},
                                   {10, 10, 10, 10, 12, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10}};

// Block and deck lines share the leading fields: two integers, then y1, z1,
// y2, z2 and one more real.
constexpr int kIntW[2] = {5, 10};
constexpr int kRealStart[2] = {10, 20};

constexpr double kPi = 3.141592653589793;

// A sub-record line that ended the section early (a keyword line) goes back to
// the reader, so that the caller meets it next.
void HandBack(CArchiveIn& ar, std::string& local) {
  if (!local.empty()) ar.PushBack(local);
}

}  // namespace

// ---- CIpBlk ----

bool CIpBlk::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = kIntW[m];
  const int rs = kRealStart[m];
  m_nType = m ? CutInt(data, 90, 10) : CutInt(data, 65, 5);
  m_nDiv1 = CutInt(data, 0, w);
  m_nDiv2 = CutInt(data, w, w);
  m_dY1 = CutReal(data, rs, 10);
  m_dZ1 = CutReal(data, rs + 10, 10);
  m_dY2 = CutReal(data, rs + 20, 10);
  m_dZ2 = CutReal(data, rs + 30, 10);
  m_nMat = m ? CutInt(data, 80, 10) : CutInt(data, 60, 5);
  if (m_nType >= 0) {
    m_dThick = CutReal(data, rs + 40, 10);
    m_dYc = m_dZc = 0;
  } else {
    m_dThick = 0;
    m_dYc = m ? CutReal(data, 60, 10) : 0;
    m_dZc = m ? CutReal(data, 70, 10) : 0;
  }
  return true;
}

bool CIpBlk::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const int m = Mode();
  text += plat::Format(m ? "%10d%10d" : "%5d%5d", m_nDiv1, m_nDiv2);
  text += FormatReal10(m_dY1) + FormatReal10(m_dZ1) + FormatReal10(m_dY2) + FormatReal10(m_dZ2);
  if (m_nType >= 0)
    text += m ? FormatReal10(m_dThick) + FormatReal10(m_dThick) : FormatReal10(m_dThick);
  else
    text += m ? FormatReal10(m_dYc) + FormatReal10(m_dZc) : std::string(10, ' ');
  text += plat::Format(m ? "%10d%10d" : "%5d%5d", m_nMat, m_nType) + "\r\n";
  return true;
}

bool CIpBlk::IsEmpty() {
  return m_nDiv1 == 0 && m_nDiv2 == 0 && m_nMat == 0 && m_dY1 == 0 && m_dY2 == 0 && m_dZ1 == 0 && m_dZ2 == 0 &&
         m_dThick == 0 && m_strComment.empty();
}

double CIpBlk::GetLength() const {
  if (m_nType >= 0) return std::hypot(m_dY2 - m_dY1, m_dZ2 - m_dZ1);
  return (m_dY1 + m_dY2) / 2 * 2 * kPi * (m_dZ2 - m_dZ1) / 360;
}

void CIpBlk::GetCorners(double y[4], double z[4]) const {
  for (int i = 0; i < 4; ++i) y[i] = z[i] = 0;
  if (m_nType >= 0) {
    const double len = GetLength();
    if (len == 0) return;
    const double g = (m_dZ2 - m_dZ1) / len * m_dThick / 2;
    const double c = (m_dY2 - m_dY1) / len * m_dThick / 2;
    y[0] = m_dY1 - g, z[0] = m_dZ1 + c;
    y[1] = m_dY2 - g, z[1] = m_dZ2 + c;
    y[2] = m_dY2 + g, z[2] = m_dZ2 - c;
    y[3] = m_dY1 + g, z[3] = m_dZ1 - c;
    return;
  }
  // Bounding rectangle of the outer arc: its end points and every quarter
  // point between them.
  const double r = m_dY2;
  auto at = [&](double deg, double& py, double& pz) {
    const double a = deg * kPi / 180;
    py = m_dYc + r * std::cos(a);
    pz = m_dZc + r * std::sin(a);
  };
  double ymin, ymax, zmin, zmax;
  at(m_dZ1, ymin, zmin);
  ymax = ymin, zmax = zmin;
  auto take = [&](double deg) {
    double py, pz;
    at(deg, py, pz);
    ymin = std::min(ymin, py), ymax = std::max(ymax, py);
    zmin = std::min(zmin, pz), zmax = std::max(zmax, pz);
  };
  take(m_dZ2);
  for (int a = -360; a <= 360; a += 90)
    if (m_dZ1 <= a && a <= m_dZ2) take(a);
  y[0] = ymin, z[0] = zmin;
  y[1] = ymin, z[1] = zmax;
  y[2] = ymax, z[2] = zmax;
  y[3] = ymax, z[3] = zmin;
}

// ---- CIpDck ----

bool CIpDck::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = kIntW[m];
  const int rs = kRealStart[m];
  m_nType = m ? CutInt(data, 90, 10) : CutInt(data, 65, 5);
  m_nCount = CutInt(data, 0, w);
  m_nDiv2 = CutInt(data, w, w);
  m_dY1 = CutReal(data, rs, 10);
  m_dZ1 = CutReal(data, rs + 10, 10);
  m_dY2 = CutReal(data, rs + 20, 10);
  m_dZ2 = CutReal(data, rs + 30, 10);
  m_dValue = CutReal(data, rs + 40, 10);
  if (m_nType < 0 && m_dY2 <= 0) m_dY2 = m_dY1;
  if (m) {
    m_nMat = 1;
    m_dYc = m_nType < 0 ? CutReal(data, 70, 10) : 0;
    m_dZc = m_nType < 0 ? CutReal(data, 80, 10) : 0;
  } else {
    m_nMat = CutInt(data, 60, 5);
    m_dYc = m_dZc = 0;
  }
  return true;
}

bool CIpDck::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const int m = Mode();
  text += plat::Format(m ? "%10d%10d" : "%5d%5d", m_nCount, m_nDiv2);
  text += FormatReal10(m_dY1) + FormatReal10(m_dZ1) + FormatReal10(m_dY2) + FormatReal10(m_dZ2) +
          FormatReal10(m_dValue);
  if (!m)
    text += plat::Format("%5d%5d", m_nMat, m_nType);
  else if (m_nType < 0)
    text += FormatReal10(m_dYc) + FormatReal10(m_dZc) + plat::Format("%10d", m_nType);
  text += "\r\n";
  return true;
}

bool CIpDck::IsEmpty() {
  return m_nCount == 0 && m_nDiv2 == 0 && m_nMat == 0 && m_dY1 == 0 && m_dY2 == 0 && m_dZ1 == 0 && m_dZ2 == 0 &&
         m_dValue == 0 && m_strComment.empty();
}

// ---- CIpSec ----

void CIpSec::RemoveAll() {
  m_pBlkList.clear();
  m_pDckList.clear();
}

bool CIpSec::AddBlk(const CIpBlk& blk) {
  auto p = std::make_unique<CIpBlk>();
  static_cast<CBlk&>(*p) = blk;
  p->m_nIndex = -1;
  m_pBlkList.push_back(std::move(p));
  return true;
}

bool CIpSec::AddDck(const CIpDck& dck) {
  auto p = std::make_unique<CIpDck>();
  static_cast<CDck&>(*p) = dck;
  p->m_nIndex = -1;
  m_pDckList.push_back(std::move(p));
  return true;
}

int CIpSec::GetBlkCount() const { return plat::ClampToInt(static_cast<long long>(m_pBlkList.size())); }

int CIpSec::GetDckCount() const { return plat::ClampToInt(static_cast<long long>(m_pDckList.size())); }

void CIpSec::SetFlags(const std::string& text) { m_nFlags = ParseFlags12(text); }

std::string CIpSec::GetFlags() const { return FormatFlags12(m_nFlags); }

bool CIpSec::Read(CArchiveIn& ar, std::string& line) {
  std::string head;
  bool parse = false;
  const int r = ReadAttached(ar, line, head, parse);
  if (!parse) return r != 0;
  const int* s = kHeadStart[Mode()];
  const int* w = kHeadWidth[Mode()];
  m_nNo = CutInt(head, s[0], w[0]);
  m_nMat = CutInt(head, s[1], w[1]);
  const int nBlk = CutInt(head, s[2], w[2]);
  const int nDck = CutInt(head, s[3], w[3]);
  m_nFlags = ParseFlags12(plat::Mid(head, s[4], w[4]));
  m_nSecOpt1 = CutInt(head, s[5], w[5]);
  m_dVx = CutReal(head, s[6], w[6]);
  m_dVy = CutReal(head, s[7], w[7]);
  m_dVz = CutReal(head, s[8], w[8]);
  m_dCoef1 = CutReal(head, s[9], w[9]);
  m_dCoef2 = CutReal(head, s[10], w[10]);
  m_nSecOpt2 = CutInt(head, s[11], w[11]);
  m_dSecVal1 = CutReal(head, s[12], w[12]);
  m_dSecVal2 = CutReal(head, s[13], w[13]);
  m_dSecVal3 = CutReal(head, s[14], w[14]);

  RemoveAll();
  // The declared counts only bound the loops; a section that declares more
  // lines than follow keeps what was read and leaves the line that ended it
  // for the caller. Each line gets a fresh work record, so an empty line adds
  // an all-zero entry.
  for (int i = 0; i < nBlk; ++i) {
    CIpBlk work;
    std::string local;
    if (!work.Read(ar, local)) {
      HandBack(ar, local);
      return true;
    }
    AddBlk(work);
  }
  for (int i = 0; i < nDck; ++i) {
    CIpDck work;
    std::string local;
    if (!work.Read(ar, local)) {
      HandBack(ar, local);
      return true;
    }
    AddDck(work);
  }
  return true;
}

bool CIpSec::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const int m = Mode();
  const std::string flags = GetFlags();
  if (m) {
    text += plat::Format("%10d%10d%10d%10d%s%3s%10d", m_nNo, m_nMat, GetBlkCount(), GetDckCount(), flags.c_str(), "",
                         m_nSecOpt1);
    text += FormatReal10(m_dVx) + FormatReal10(m_dVy) + FormatReal10(m_dVz);
    text += FormatReal10(m_dCoef1) + FormatReal10(m_dCoef2) + plat::Format("%10d", m_nSecOpt2);
  } else {
    text += plat::Format("%5d%5d%5d%5d%s%3d", m_nNo, m_nMat, GetBlkCount(), GetDckCount(), flags.c_str(), m_nSecOpt1);
    text += FormatReal10(m_dVx) + FormatReal10(m_dVy) + FormatReal10(m_dVz);
    text += plat::Format("%5.3f%5.3f%5d", m_dCoef1, m_dCoef2, m_nSecOpt2);
  }
  text += FormatReal10(m_dSecVal1) + FormatReal10(m_dSecVal2) + FormatReal10(m_dSecVal3) + "\r\n";
  std::string sub;
  for (auto& b : m_pBlkList)
    if (b->Write(sub)) text += sub;
  for (auto& d : m_pDckList)
    if (d->Write(sub)) text += sub;
  return true;
}

bool CIpSec::IsEmpty() {
  return m_nNo == 0 && m_nMat == 0 && m_nSecOpt2 == 0 && m_nFlags == 0 && m_dVx == 0 && m_dVy == 0 && m_dVz == 0 &&
         m_dCoef1 == 0 && m_dCoef2 == 0 && m_dSecVal1 == 0 && m_dSecVal2 == 0 && m_dSecVal3 == 0 &&
         m_pBlkList.empty() && m_pDckList.empty() && m_strComment.empty();
}
