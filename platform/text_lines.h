// Line-oriented text I/O over bytes: what the keyword and analysis readers use
// in place of an archive's ReadString / WriteString.
#pragma once
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace plat {

// Reads lines from a file or from memory. A line ends at LF; one trailing CR is
// removed; a last line without LF is still a line; end of input is reported
// apart from an empty line. One line can be pushed back. No line of the
// files read is longer than a few hundred bytes: a line longer than the limit
// ends the reading as the end of input does, and Refusal() tells why.
class LineReader {
 public:
  static constexpr size_t kMaxLineBytes = size_t{1} << 20;

  LineReader();
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  static std::unique_ptr<LineReader> FromString(std::string data);
  // Null with `error` set (the system's reason) when the file does not open.
  static std::unique_ptr<LineReader> FromFile(const std::string& path, std::string* error = nullptr);

  // False at end of input (then `line` is cleared).
  bool ReadString(std::string& line);
  void PushBack(std::string line);

  // Bytes consumed so far and the total size when known (0 otherwise).
  unsigned long long Position() const { return m_consumed; }
  unsigned long long Size() const { return m_size; }
  // True when a read from the file failed (as opposed to ending normally).
  bool Failed() const { return m_failed; }

  // Lines longer than `bytes` (CR and LF not counted) are refused.
  void SetLineLimit(size_t bytes) { m_limit = bytes; }
  // Once `flag` is set, reading ends as at the end of input (a load given up).
  void SetCancel(const std::atomic<bool>* flag) { m_cancel = flag; }
  bool Cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
  // Lines given out so far, a pushed-back line not counted twice.
  unsigned long long LineNumber() const { return m_line; }
  // Path, line number and reason when a line too long ended the reading;
  // empty otherwise.
  const std::string& Refusal() const { return m_refusal; }

 private:
  bool Fill();
  // Sets the refusal and ends the input; false, for ReadString to return.
  bool Refuse(std::string& line);

  std::FILE* m_file = nullptr;
  std::string m_buf;
  size_t m_pos = 0;
  bool m_eof = false;
  bool m_failed = false;
  bool m_hasPushed = false;
  std::string m_pushed;
  unsigned long long m_consumed = 0;
  unsigned long long m_size = 0;
  unsigned long long m_line = 0;
  size_t m_limit = kMaxLineBytes;
  const std::atomic<bool>* m_cancel = nullptr;
  std::string m_path;
  std::string m_refusal;
};

// Writes bytes as given ("\r\n" is the caller's) to a temporary file beside
// the target; Commit renames it into place only when everything was written.
class LineWriter {
 public:
  explicit LineWriter(std::string path);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  bool Open(std::string* error = nullptr);
  void WriteString(std::string_view text);
  // Flushes, closes and renames; false with `error` when any step failed, in
  // which case the old file is untouched.
  bool Commit(std::string* error = nullptr);

 private:
  std::string m_path;
  std::string m_tmp;
  std::FILE* m_file = nullptr;
  bool m_failed = false;
};

// Whole-file helpers.
bool ReadWholeFile(const std::string& path, std::string& out, std::string* error = nullptr);
bool WriteWholeFile(const std::string& path, std::string_view data, std::string* error = nullptr);

}  // namespace plat
