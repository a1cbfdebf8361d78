// What the benchmark programs share: the generated input files (made on
// first use and kept in the data folder), heap and RSS accounting, and the
// counters every benchmark reports.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace benchsup {

// ---- heap accounting (operator new / delete of the program, mem_hook.cpp)
int64_t HeapLive();
int64_t HeapPeak();
// The peak starts again from the bytes live now.
void ResetHeapPeak();

// ---- process memory (kernel's view): resident set now and its high-water
// mark; the mark is reset through /proc/self/clear_refs.
int64_t RssNow();
int64_t RssPeak();
void ResetRssPeak();

// ---- data
// $OV_BENCH_DATA, or the bench-data folder of the build.
std::string DataDir();
// Element counts to run: $OV_BENCH_SIZES ("1e4,1e5"), else `defaults`.
std::vector<int64_t> Sizes(const std::vector<int64_t>& defaults);
// Generated files of a frame of about `elements` elements; made when absent.
std::string KeywordFile(int64_t elements);
std::string InputFile(int64_t elements);
// A static run of `steps` steps (its own folder); returns the input path.
std::string RunInput(int64_t elements, int steps);
int64_t FileBytes(const std::string& path);
// Reads the file once so that the timed reads come from the page cache.
void WarmPageCache(const std::string& path);

// ---- reporting
// Heap and RSS peaks of a benchmark: construct before the loop, Report after.
class MemScope {
 public:
  MemScope();
  // peak_heap_MB: highest live heap above what was live at the start;
  // peak_rss_MB: the process's resident high-water mark.
  void Report(benchmark::State& st) const;

 private:
  int64_t m_heapStart;
};

// Adds elements/s (rate over the iterations) and the element count.
void ReportElements(benchmark::State& st, int64_t elements);
inline double MB(int64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// Registers a benchmark for each size with millisecond units and real time.
void ForSizes(benchmark::internal::Benchmark* b, const std::vector<int64_t>& sizes);

}  // namespace benchsup
