#include "viewer/contour_bar.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

int ClampComponent(double v) {
  if (!std::isfinite(v)) return v > 0 ? 255 : 0;  // +inf saturates; -inf and NaN give 0
  const double t = std::trunc(v);
  if (t < 0) return 0;
  if (t > 255) return 255;
  return static_cast<int>(t);
}

// Colours of the two ramps of MakeLevels.
struct Ramp {
  ContourRgb start, middle, end, centre;
};
constexpr Ramp kGreyRamp = {{230, 230, 230}, {140, 140, 140}, {50, 50, 50}, {140, 140, 140}};
constexpr Ramp kColorRamp = {{0, 0, 255}, {0, 255, 50}, {255, 0, 0}, {0, 255, 0}};

// Next step of the 1-2-5 series above `nice` x `p`.
void NextNiceStep(int& nice, double& p) {
  switch (nice) {
    case 1: nice = 2; break;
    case 2: nice = 5; break;
    default:
      // 5 -> 10 and 10 -> 20 both continue the series one decade up.
      nice = nice == 5 ? 1 : 2;
      p *= 10;
      break;
  }
}

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutI32(std::string& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }
void PutF64(std::string& out, double d) {
  uint64_t v;
  std::memcpy(&v, &d, sizeof v);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

class ByteCursor {
 public:
  explicit ByteCursor(std::string_view d) : m_d(d) {}
  bool Take(size_t n, const unsigned char*& p) {
    if (m_d.size() - m_pos < n) return false;
    p = reinterpret_cast<const unsigned char*>(m_d.data() + m_pos);
    m_pos += n;
    return true;
  }
  bool U64(uint64_t& v, size_t n) {
    const unsigned char* p;
    if (!Take(n, p)) return false;
    v = 0;
    for (size_t i = 0; i < n; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
    return true;
  }
  bool I32(int32_t& v) {
    uint64_t u;
    if (!U64(u, 4)) return false;
    v = static_cast<int32_t>(static_cast<uint32_t>(u));
    return true;
  }
  bool F64(double& d) {
    uint64_t u;
    if (!U64(u, 8)) return false;
    std::memcpy(&d, &u, sizeof d);
    return true;
  }
  // The counted string of the framework's archive (single-byte form).
  bool Str(std::string& s) {
    uint64_t len;
    if (!U64(len, 1)) return false;
    if (len == 0xFF) {
      if (!U64(len, 2)) return false;
      if (len == 0xFFFE) return false;  // wide-character string: not ours
      if (len == 0xFFFF) {
        if (!U64(len, 4)) return false;
        if (len == 0xFFFFFFFFu) return false;
      }
    }
    const unsigned char* p;
    if (!Take(static_cast<size_t>(len), p)) return false;
    s.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(len));
    return true;
  }

 private:
  std::string_view m_d;
  size_t m_pos = 0;
};

}  // namespace

ContourRgb LerpColor(double t, const ContourRgb& a, const ContourRgb& b) {
  ContourRgb c;
  for (int i = 0; i < 3; ++i) c[i] = ClampComponent((1.0 - t) * a[i] + t * b[i]);
  return c;
}

CContourBar::CContourBar(double min, double max, const ContourRgb& first,
                         const ContourRgb& second, std::string title) {
  Init(min, max, first, second, std::move(title));
}

void CContourBar::Init(double min, double max, const ContourRgb& first,
                       const ContourRgb& second, std::string title) {
  m_nCount = 1;
  m_nDivisions = 10;
  m_nInterpolate = 1;
  m_dLevels[0] = min;
  m_dLevels[1] = max;
  m_aLowColor[0] = first;
  m_aHighColor[0] = second;
  m_strTitle = std::move(title);
}

void CContourBar::Init(const ContourRgb& second, const ContourRgb& first, double min, double max,
                       std::string title) {
  Init(min, max, first, second, std::move(title));
}

void CContourBar::MakeLevels(int mode) {
  const int oldCount = m_nCount < 0 ? 0 : (m_nCount > kMaxCount ? kMaxCount : m_nCount);
  double lo = m_dLevels[0];
  double hi = m_dLevels[oldCount];
  // A range without a usable width becomes one interval over what is
  // finite of it, so no level is ever NaN.
  if (!std::isfinite(lo) && !std::isfinite(hi)) {
    lo = hi = 0.0;
  } else if (!std::isfinite(lo)) {
    lo = hi;
  } else if (!std::isfinite(hi)) {
    hi = lo;
  }
  if (hi < lo) std::swap(lo, hi);

  int count = 1;
  double first = 0.0;
  double step = 0.0;
  bool stepped = false;
  const double raw = (hi - lo) / 10.0;
  if (raw > 0 && std::isfinite(raw)) {
    double p = std::pow(10.0, std::floor(std::log10(raw)));
    if (p > 0 && std::isfinite(p)) {
      const double q = raw / p;
      const int k = q >= 9 ? 9 : static_cast<int>(q);
      int nice = k <= 1 ? 1 : k == 2 ? 2 : k <= 5 ? 5 : 10;
      // A step about a twentieth of the range can need more intervals than
      // the table holds: take the next nice step then.
      for (int guard = 0; guard < 64; ++guard) {
        step = nice * p;
        if (!(step > 0) || !std::isfinite(step)) break;
        first = std::floor(lo / step);
        const double last = std::ceil(hi / step);
        const double c = std::round(last - first);
        if (std::isfinite(first) && std::isfinite(c)) {
          if (c <= kMaxCount) {
            count = c < 1 ? 1 : static_cast<int>(c);
            stepped = true;
            break;
          }
        }
        NextNiceStep(nice, p);
      }
    }
  }

  m_nCount = count;
  m_nInterpolate = 0;

  const Ramp& ramp = mode == 1 ? kGreyRamp : kColorRamp;
  const int h = count / 2;
  for (int j = 0; j < h; ++j) {
    m_aLowColor[j] = LerpColor(static_cast<double>(j) / h, ramp.start, ramp.middle);
  }
  const int n = count - h;
  for (int j = 0; j < n; ++j) {
    const double t = n == 1 ? 0.0 : static_cast<double>(j) / (n - 1);
    m_aLowColor[h + j] = LerpColor(t, ramp.middle, ramp.end);
  }
  if (count % 2 == 1) m_aLowColor[h] = ramp.centre;
  for (int i = 0; i < count; ++i) m_aHighColor[i] = m_aLowColor[i];

  if (stepped) {
    for (int i = 0; i <= count; ++i) m_dLevels[i] = first * step + i * step;
    // A rounding residue next to zero becomes exactly zero.
    int z = 0;
    for (int i = 1; i <= count; ++i) {
      if (std::fabs(m_dLevels[i]) < std::fabs(m_dLevels[z])) z = i;
    }
    if (std::fabs(m_dLevels[z]) < 1e-10) m_dLevels[z] = 0.0;
  } else {
    m_dLevels[0] = lo;
    m_dLevels[1] = hi;
  }
}

bool CContourBar::GetMaterialColor(double value, float rgba[4]) const {
  const int count = m_nCount < 1 ? 1 : (m_nCount > kMaxCount ? kMaxCount : m_nCount);
  bool inRange;
  if (std::isnan(value) || value < m_dLevels[0]) {
    inRange = false;
    value = m_dLevels[0];
  } else {
    inRange = value <= m_dLevels[count];
  }
  int i = 0;
  for (int k = count - 1; k >= 0; --k) {
    if (m_dLevels[k] <= value) {
      i = k;
      break;
    }
  }
  const double width = m_dLevels[i + 1] - m_dLevels[i];
  double d = width != 0 ? (value - m_dLevels[i]) / width : 0.0;
  if (!std::isfinite(d)) d = 0.0;
  for (int c = 0; c < 3; ++c) {
    const double v = m_nInterpolate == 1
                         ? (1.0 - d) * m_aLowColor[i][c] + d * m_aHighColor[i][c]
                         : static_cast<double>(m_aLowColor[i][c]);
    rgba[c] = static_cast<float>(v / 255.0);
  }
  rgba[3] = 1.0f;
  return inRange;
}

std::string CContourBar::Save() const {
  const int count = m_nCount < 0 ? 0 : (m_nCount > kMaxCount ? kMaxCount : m_nCount);
  std::string out;
  PutI32(out, count);
  PutI32(out, m_nDivisions);
  for (int i = 0; i <= count; ++i) {
    PutF64(out, m_dLevels[i]);
    for (int c = 0; c < 3; ++c) PutI32(out, m_aLowColor[i][c]);
    for (int c = 0; c < 3; ++c) PutI32(out, m_aHighColor[i][c]);
  }
  const size_t len = m_strTitle.size();
  if (len < 0xFF) {
    out.push_back(static_cast<char>(len));
  } else if (len < 0xFFFE) {
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(len & 0xFF));
    out.push_back(static_cast<char>(len >> 8));
  } else {
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(0xFF));
    PutU32(out, static_cast<uint32_t>(len));
  }
  out += m_strTitle;
  return out;
}

bool CContourBar::Load(std::string_view data) {
  ByteCursor in(data);
  int32_t count, divisions;
  if (!in.I32(count) || !in.I32(divisions)) return false;
  if (count < 0 || count > kMaxCount) return false;
  double levels[kLevels];
  ContourRgb low[kLevels], high[kLevels];
  for (int i = 0; i <= count; ++i) {
    if (!in.F64(levels[i])) return false;
    for (int c = 0; c < 3; ++c) {
      int32_t v;
      if (!in.I32(v)) return false;
      low[i][c] = v;
    }
    for (int c = 0; c < 3; ++c) {
      int32_t v;
      if (!in.I32(v)) return false;
      high[i][c] = v;
    }
  }
  std::string title;
  if (!in.Str(title)) return false;
  m_nCount = count;
  m_nDivisions = divisions;
  for (int i = 0; i <= count; ++i) {
    m_dLevels[i] = levels[i];
    m_aLowColor[i] = low[i];
    m_aHighColor[i] = high[i];
  }
  m_strTitle = std::move(title);
  return true;
}
