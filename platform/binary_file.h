// Binary result files: 64-bit offsets, explicit little-endian words.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plat {

float DecodeFloat32LE(const unsigned char* p);
int32_t DecodeInt32LE(const unsigned char* p);
void EncodeFloat32LE(float v, unsigned char* p);
void EncodeInt32LE(int32_t v, unsigned char* p);

class BinaryFile {
 public:
  BinaryFile() = default;
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  bool Open(const std::string& path, std::string* error = nullptr);
  void Close();
  bool IsOpen() const { return m_file != nullptr; }
  int64_t Size() const { return m_size; }

  // Reads `n` bytes at `offset`; false (and nothing promised in `out`) when
  // the range lies outside the file or the read fails.
  bool ReadAt(int64_t offset, void* out, size_t n);
  bool ReadInt32(int64_t offset, int32_t& v);
  bool ReadFloat32(int64_t offset, float& v);
  // `count` consecutive float32 words from `offset`.
  bool ReadFloats(int64_t offset, size_t count, std::vector<float>& out);

 private:
  std::FILE* m_file = nullptr;
  int64_t m_size = 0;
};

}  // namespace plat
