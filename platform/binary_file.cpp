#include "platform/binary_file.h"

#include <sys/types.h>

#include <cstring>

#include "platform/paths.h"

namespace plat {

float DecodeFloat32LE(const unsigned char* p) {
  const uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}

int32_t DecodeInt32LE(const unsigned char* p) {
  const uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(u);
}

void EncodeFloat32LE(float v, unsigned char* p) {
  uint32_t u;
  std::memcpy(&u, &v, 4);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

void EncodeInt32LE(int32_t v, unsigned char* p) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

BinaryFile::~BinaryFile() { Close(); }

bool BinaryFile::Open(const std::string& path, std::string* error) {
  Close();
  m_file = OpenRegularFile(path, error);
  if (!m_file) return false;
  m_size = 0;
  if (fseeko(m_file, 0, SEEK_END) == 0) m_size = static_cast<int64_t>(ftello(m_file));
  if (m_size < 0) m_size = 0;
  return true;
}

void BinaryFile::Close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
  m_size = 0;
}

bool BinaryFile::ReadAt(int64_t offset, void* out, size_t n) {
  if (!m_file || offset < 0 || offset > m_size || static_cast<uint64_t>(m_size - offset) < n) return false;
  if (fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return std::fread(out, 1, n, m_file) == n;
}

bool BinaryFile::ReadInt32(int64_t offset, int32_t& v) {
  unsigned char b[4];
  if (!ReadAt(offset, b, 4)) return false;
  v = DecodeInt32LE(b);
  return true;
}

bool BinaryFile::ReadFloat32(int64_t offset, float& v) {
  unsigned char b[4];
  if (!ReadAt(offset, b, 4)) return false;
  v = DecodeFloat32LE(b);
  return true;
}

bool BinaryFile::ReadFloats(int64_t offset, size_t count, std::vector<float>& out) {
  // Check the range before sizing anything from a count that came from a file.
  if (!m_file || offset < 0 || offset > m_size || count > static_cast<uint64_t>(m_size - offset) / 4) return false;
  std::vector<unsigned char> raw(count * 4);
  if (!ReadAt(offset, raw.data(), raw.size())) return false;
  out.resize(count);
  for (size_t i = 0; i < count; ++i) out[i] = DecodeFloat32LE(raw.data() + 4 * i);
  return true;
}

}  // namespace plat
