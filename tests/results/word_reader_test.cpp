// The result word reader against a plain reading of the file: every word
// in order, backwards and at random, and runs of words, for short and long
// records, files cut inside a record or a marker, and files larger than one
// read chunk.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dataset/fb_resultset.h"
#include "platform/text_lines.h"
#include "results/test_run_writer.h"
#include "results/word_reader.h"

namespace {

// Records of `d` words (word w holds w * 7 + 1) between length markers.
std::string RecordFile(int64_t d, int64_t words) {
  std::string out;
  auto put = [&](uint32_t v) {
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<char>((v >> (8 * b)) & 0xFF));
  };
  for (int64_t w = 0; w < words; w += d) {
    const int64_t n = std::min(d, words - w);
    put(static_cast<uint32_t>(n * 4));
    for (int64_t k = 0; k < n; ++k) put(static_cast<uint32_t>((w + k) * 7 + 1));
    put(static_cast<uint32_t>(n * 4));
  }
  return out;
}

// What word `w` is in `bytes`, located with the layout rule alone.
bool Expected(const std::string& bytes, int64_t d, int64_t w, uint32_t& v) {
  const int64_t off = FbWordOffset(w, d);
  if (off < 0 || off + 4 > static_cast<int64_t>(bytes.size())) return false;
  std::memcpy(&v, bytes.data() + off, 4);  // the test machine is little-endian
  return true;
}

TEST(ResultWordReader, AgreesWithTheLayoutRule) {
  testrun::TempDir dir;
  const std::string path = dir.path() + "/words.bin";
  struct Case {
    int64_t d, words, cut;  // cut: bytes taken off the end
    bool chunked;           // also read with a plan of part of the words
  } const cases[] = {
      {1, 40, 0, false}, {3, 40, 0, true},  {5, 41, 2, true},     {5, 41, 6, false},
      {1024, 3000, 0, true}, {1024, 3000, 9, false},
      // More than one read chunk (1 MB): refills in the middle of records.
      {1024, 400000, 0, true}, {7, 300000, 5, true},
  };
  std::mt19937 rng(11);
  for (const Case& c : cases) {
    std::string bytes = RecordFile(c.d, c.words);
    bytes.resize(bytes.size() - static_cast<size_t>(c.cut));
    ASSERT_TRUE(plat::WriteWholeFile(path, bytes));
    plat::BinaryFile f;
    ASSERT_TRUE(f.Open(path));
    const int64_t n = c.words + c.d + 2;  // past the end as well
    std::vector<int64_t> orders[3];
    for (int64_t w = -2; w < n; ++w) orders[0].push_back(w);
    // Backwards and at random every word is a new read: a few thousand.
    orders[1].assign(orders[0].rbegin(), orders[0].rend());
    orders[2] = orders[0];
    std::shuffle(orders[2].begin(), orders[2].end(), rng);
    for (int o = 1; o < 3; ++o)
      if (orders[o].size() > 3000) orders[o].resize(3000);
    for (int o = 0; o < 3; ++o) {
      for (const bool plan : {false, true}) {
        if (plan && !c.chunked) continue;
        ResultWordReader rd(f, c.d);
        if (plan) rd.Plan(c.words / 3, c.words / 3);
        for (const int64_t w : orders[o]) {
          uint32_t want = 0, got = 0;
          const bool ok = Expected(bytes, c.d, w, want);
          ASSERT_EQ(rd.ReadRaw(w, got), ok) << "d " << c.d << " order " << o << " word " << w;
          if (ok) {
            ASSERT_EQ(got, want) << "d " << c.d << " order " << o << " word " << w;
          }
          const int64_t off = FbWordOffset(w, c.d);
          EXPECT_EQ(rd.PastEnd(w), off < 0 || off > static_cast<int64_t>(bytes.size())) << w;
        }
      }
    }
    // Runs of words read together: the same words, up to the first that
    // cannot be read.
    for (const int64_t first : {int64_t{0}, c.d - 1, c.words / 2 + 3, c.words - 2})
      for (const int64_t len : {int64_t{1}, int64_t{5}, c.d + 3, c.words}) {
        ResultWordReader rd(f, c.d);
        rd.Plan(first, len);
        std::vector<uint32_t> got(static_cast<size_t>(len));
        int64_t readable = 0;
        for (uint32_t v = 0; readable < len && Expected(bytes, c.d, first + readable, v);) ++readable;
        ASSERT_EQ(rd.ReadWords(first, len, got.data()), readable) << c.d << " " << first << " " << len;
        for (int64_t i = 0; i < readable; ++i) {
          uint32_t want = 0;
          Expected(bytes, c.d, first + i, want);
          ASSERT_EQ(got[static_cast<size_t>(i)], want) << c.d << " " << first << " " << i;
        }
      }
  }
}

TEST(ResultWordReader, UnknownRecordLengthReadsNothing) {
  testrun::TempDir dir;
  const std::string path = dir.path() + "/words.bin";
  ASSERT_TRUE(plat::WriteWholeFile(path, RecordFile(4, 16)));
  plat::BinaryFile f;
  ASSERT_TRUE(f.Open(path));
  for (const int64_t d : {0, -1, -1024}) {
    ResultWordReader rd(f, d);
    rd.Plan(0, 16);
    for (int64_t w = -1; w < 20; ++w) {
      uint32_t raw = 0;
      float v = 0;
      int32_t i = 0;
      EXPECT_FALSE(rd.ReadRaw(w, raw)) << d << " " << w;
      EXPECT_FALSE(rd.ReadFloat(w, v));
      EXPECT_FALSE(rd.ReadInt(w, i));
      EXPECT_TRUE(rd.PastEnd(w));
    }
  }
}

}  // namespace
