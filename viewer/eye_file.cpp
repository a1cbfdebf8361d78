#include "viewer/eye_file.h"

#include <cmath>
#include <cstring>

#include "platform/binary_file.h"
#include "platform/paths.h"
#include "platform/text_lines.h"

namespace {

void PutF64(unsigned char* p, double d) {
  uint64_t v;
  std::memcpy(&v, &d, sizeof v);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

double GetF64(const unsigned char* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  double d;
  std::memcpy(&d, &v, sizeof d);
  return d;
}

void PutF64s(unsigned char* p, const double* v, int n) {
  for (int i = 0; i < n; ++i) PutF64(p + 8 * i, v[i]);
}

void GetF64s(const unsigned char* p, double* v, int n) {
  for (int i = 0; i < n; ++i) v[i] = GetF64(p + 8 * i);
}

}  // namespace

void EyeRecord::Clear() {
  for (int i = 0; i < 3; ++i) {
    eye[i] = center[i] = reserved1[i] = up[i] = reserved2[i] = 0.0;
  }
  anglex = 0.0;
  reserved3[0] = reserved3[1] = 0.0;
  distance = azimuth = polar = 0.0;
  flip = 0;
  reserved4 = 0;
  reserved5 = 0;
}

void EyeRecord::Set(const CViewSettings& camera) {
  flip = camera.flip;
  anglex = camera.anglex;
  distance = camera.distance;
  azimuth = camera.azimuth;
  polar = camera.polar;
  for (int i = 0; i < 3; ++i) {
    up[i] = camera.up[i];
    center[i] = camera.center[i];
    eye[i] = camera.eye[i];
  }
}

void EyeRecord::Get(CViewSettings& camera) const {
  for (int i = 0; i < 3; ++i) {
    camera.eye[i] = eye[i];
    camera.center[i] = center[i];
    camera.up[i] = up[i];
  }
  camera.anglex = anglex;
  camera.distance = distance;
  camera.azimuth = azimuth;
  camera.polar = polar;
  camera.flip = flip;
}

void EyeRecord::Encode(unsigned char out[kSize]) const {
  std::memset(out, 0, kSize);
  PutF64s(out + 0, eye, 3);
  PutF64s(out + 24, center, 3);
  PutF64s(out + 48, reserved1, 3);
  PutF64s(out + 72, up, 3);
  PutF64s(out + 96, reserved2, 3);
  PutF64(out + 120, anglex);
  PutF64s(out + 128, reserved3, 2);
  PutF64(out + 144, distance);
  PutF64(out + 152, azimuth);
  PutF64(out + 160, polar);
  out[168] = flip;
  plat::EncodeInt32LE(reserved4, out + 172);
  plat::EncodeInt32LE(reserved5, out + 176);
}

void EyeRecord::Decode(const unsigned char in[kSize]) {
  GetF64s(in + 0, eye, 3);
  GetF64s(in + 24, center, 3);
  GetF64s(in + 48, reserved1, 3);
  GetF64s(in + 72, up, 3);
  GetF64s(in + 96, reserved2, 3);
  anglex = GetF64(in + 120);
  GetF64s(in + 128, reserved3, 2);
  distance = GetF64(in + 144);
  azimuth = GetF64(in + 152);
  polar = GetF64(in + 160);
  flip = in[168];
  reserved4 = plat::DecodeInt32LE(in + 172);
  reserved5 = 0;
}

bool EyeRecord::Usable() const {
  auto finite = [](const double* v, int n) {
    for (int i = 0; i < n; ++i)
      if (!std::isfinite(v[i])) return false;
    return true;
  };
  if (!finite(eye, 3) || !finite(center, 3) || !finite(up, 3)) return false;
  if (!std::isfinite(distance) || !std::isfinite(azimuth) || !std::isfinite(polar)) return false;
  // What the moves leave: a zoom's view angle, a flip byte of 0 or 1, the
  // angles of UpdateEyeAngles (the azimuth turned round by pi at most).
  constexpr double kPi = 3.141592653589793;
  constexpr double kSlack = 1e-9;
  if (!(anglex >= kMinViewAngle && anglex <= kMaxViewAngle) || flip > 1) return false;
  if (distance < 0 || std::fabs(azimuth) > 2 * kPi + kSlack || std::fabs(polar) > kPi + kSlack) return false;
  const double sight[3] = {eye[0] - center[0], eye[1] - center[1], eye[2] - center[2]};
  return UpOrientsSight(sight, up);
}

bool CEyeList::Register(const CViewSettings& camera, bool makeCurrent) {
  if (m_nCount >= kCapacity) return false;
  if (makeCurrent) m_nCurrent = m_nCount;
  m_aRecords[static_cast<size_t>(m_nCount)].Set(camera);
  ++m_nCount;
  return true;
}

bool CEyeList::Recall(int n, CViewSettings& camera) {
  if (n < 0 || n >= m_nCount) return false;
  m_aRecords[static_cast<size_t>(n)].Get(camera);
  m_nCurrent = n;
  return true;
}

bool CEyeList::Step(int delta, CViewSettings& camera) {
  return Recall(m_nCurrent + delta, camera);
}

bool CEyeList::ReadFile(const std::string& path, int* dropped, const Accept& accept) {
  if (dropped) *dropped = 0;
  plat::BinaryFile f;
  if (!f.Open(path)) return false;
  int32_t count = 0;
  if (!f.ReadInt32(0, count)) count = 0;  // not even a count: no viewpoint
  if (count < 0) count = 0;
  if (count > kCapacity) count = kCapacity;
  // Only complete records count.
  const int64_t whole = (f.Size() - 4) / EyeRecord::kSize;
  if (whole < count) count = static_cast<int32_t>(whole < 0 ? 0 : whole);
  unsigned char buf[EyeRecord::kSize];
  // A damaged record would blank the view at its key: the rest are kept.
  int n = 0;
  for (int i = 0; i < count; ++i) {
    if (!f.ReadAt(4 + static_cast<int64_t>(i) * EyeRecord::kSize, buf, sizeof buf)) break;
    EyeRecord& r = m_aRecords[static_cast<size_t>(n)];
    r.Decode(buf);
    if (r.Usable() && (!accept || accept(r))) {
      ++n;
    } else {
      r.Clear();
      if (dropped) ++*dropped;
    }
  }
  m_nCount = n;
  if (m_nCurrent >= m_nCount) m_nCurrent = 0;
  return true;
}

bool CEyeList::WriteFile(const std::string& path, std::string* error) const {
  std::string data;
  data.resize(4 + static_cast<size_t>(m_nCount) * EyeRecord::kSize);
  auto* p = reinterpret_cast<unsigned char*>(data.data());
  plat::EncodeInt32LE(m_nCount, p);
  for (int i = 0; i < m_nCount; ++i) {
    m_aRecords[static_cast<size_t>(i)].Encode(p + 4 + static_cast<size_t>(i) * EyeRecord::kSize);
  }
  return plat::WriteWholeFile(path, data, error);
}

int CEyeList::StartFromFile(const std::string& path, const CViewSettings& camera, const Accept& accept) {
  for (EyeRecord& r : m_aRecords) r.Clear();
  m_start.Set(camera);
  m_nCount = 0;
  m_nCurrent = 0;
  int dropped = 0;
  const std::string found = plat::FindFileNoCase(path);
  if (!found.empty()) ReadFile(found, &dropped, accept);
  if (m_nCount == 0) {
    m_nCount = 1;
    m_aRecords[0].Set(camera);
  }
  return dropped;
}

std::string EyeFilePath(const std::string& dataPath) {
  return plat::ReplaceExtension(dataPath, ".eye");
}

std::string DroppedEyesText(const std::string& path, int dropped) {
  return "視点ﾌｧｲﾙ " + path + " の壊れた視点 " + std::to_string(dropped) + " 個を読み飛ばしました";
}
