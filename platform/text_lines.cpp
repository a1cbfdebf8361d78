#include "platform/text_lines.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"

namespace plat {

namespace {
constexpr size_t kChunk = 1 << 16;

std::string Reason(int err) {
  std::string s = std::strerror(err);
  return s;
}
}  // namespace

LineReader::LineReader() = default;

LineReader::~LineReader() {
  if (m_file) std::fclose(m_file);
}

std::unique_ptr<LineReader> LineReader::FromString(std::string data) {
  auto r = std::make_unique<LineReader>();
  r->m_size = data.size();
  r->m_buf = std::move(data);
  r->m_eof = true;
  return r;
}

std::unique_ptr<LineReader> LineReader::FromFile(const std::string& path, std::string* error) {
  std::FILE* f = OpenRegularFile(path, error);
  if (!f) return nullptr;
  auto r = std::make_unique<LineReader>();
  r->m_file = f;
  r->m_path = path;
  if (fseeko(f, 0, SEEK_END) == 0) {
    const off_t end = ftello(f);
    if (end > 0) r->m_size = static_cast<unsigned long long>(end);
    fseeko(f, 0, SEEK_SET);
  }
  return r;
}

bool LineReader::Fill() {
  if (m_eof || !m_file) {
    m_eof = true;
    return false;
  }
  if (m_pos > 0) {
    m_buf.erase(0, m_pos);
    m_pos = 0;
  }
  const size_t old = m_buf.size();
  m_buf.resize(old + kChunk);
  const size_t got = std::fread(m_buf.data() + old, 1, kChunk, m_file);
  m_buf.resize(old + got);
  if (got < kChunk) {
    if (std::ferror(m_file)) m_failed = true;
    m_eof = true;
  }
  return got > 0;
}

bool LineReader::ReadString(std::string& line) {
  if (m_hasPushed) {
    m_hasPushed = false;
    line = std::move(m_pushed);
    m_pushed.clear();
    return true;
  }
  if (!m_refusal.empty() || Cancelled()) {
    line.clear();
    return false;
  }
  size_t searchFrom = m_pos;
  for (;;) {
    const void* nl = std::memchr(m_buf.data() + searchFrom, '\n', m_buf.size() - searchFrom);
    if (nl) {
      const size_t end = static_cast<size_t>(static_cast<const char*>(nl) - m_buf.data());
      size_t len = end - m_pos;
      if (len > 0 && m_buf[end - 1] == '\r') --len;
      if (len > m_limit) return Refuse(line);
      line.assign(m_buf, m_pos, len);
      m_consumed += end + 1 - m_pos;
      m_pos = end + 1;
      ++m_line;
      return true;
    }
    const size_t scanned = m_buf.size() - m_pos;
    if (Cancelled()) {
      line.clear();
      return false;
    }
    // A CR may still end it: too long only past one byte more.
    if (scanned > m_limit + 1) return Refuse(line);
    if (!Fill()) break;
    searchFrom = m_pos + scanned;
  }
  if (m_pos < m_buf.size()) {
    size_t len = m_buf.size() - m_pos;
    if (m_buf[m_buf.size() - 1] == '\r') --len;
    if (len > m_limit) return Refuse(line);
    line.assign(m_buf, m_pos, len);
    m_consumed += m_buf.size() - m_pos;
    m_pos = m_buf.size();
    ++m_line;
    return true;
  }
  line.clear();
  return false;
}

bool LineReader::Refuse(std::string& line) {
  line.clear();
  m_refusal = (m_path.empty() ? std::string() : m_path + "：") + std::to_string(m_line + 1) + "行目の長さが上限の" +
              std::to_string(m_limit) + "ﾊﾞｲﾄを超えています";
  // Nothing of it is kept: the memory goes back at once.
  std::string().swap(m_buf);
  m_pos = 0;
  m_eof = true;
  return false;
}

void LineReader::PushBack(std::string line) {
  m_pushed = std::move(line);
  m_hasPushed = true;
}

LineWriter::LineWriter(std::string path) : m_path(std::move(path)) {}

LineWriter::~LineWriter() {
  if (m_file) {
    std::fclose(m_file);
    ::unlink(m_tmp.c_str());
  }
}

namespace {

// A temporary name in the target's folder for writer `attempt`.
std::string TempPathBeside(const std::string& path, int attempt) {
  std::string suffix = ".tmp" + std::to_string(::getpid());
  if (attempt > 0) suffix += "-" + std::to_string(attempt);
  // The name is cut so that the temporary name fits wherever the target's
  // does; the folder part stays whole.
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t nameLen = path.size() - nameStart;
  const size_t keep = nameLen + suffix.size() <= NAME_MAX ? nameLen : NAME_MAX - suffix.size();
  return path.substr(0, nameStart + keep) + suffix;
}

}  // namespace

bool LineWriter::Open(std::string* error) {
  // A name already there (another writer's, or anything left behind) is
  // never written through: the next name is tried.
  int fd = -1;
  int err = 0;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    m_tmp = TempPathBeside(m_path, attempt);
    fd = ::open(m_tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    err = errno;
    if (fd < 0 && err != EEXIST) break;
  }
  if (fd >= 0) {
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
      err = errno;
      ::close(fd);
      ::unlink(m_tmp.c_str());
    }
  }
  if (!m_file) {
    if (error) *error = Reason(err);
    m_failed = true;
    return false;
  }
  return true;
}

void LineWriter::WriteString(std::string_view text) {
  if (!m_file || m_failed) return;
  if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size()) m_failed = true;
}

bool LineWriter::Commit(std::string* error) {
  if (!m_file) {
    if (error && error->empty()) *error = "not open";
    return false;
  }
  int err = 0;
  if (m_failed || std::fflush(m_file) != 0) err = errno ? errno : EIO;
  if (std::fclose(m_file) != 0 && !err) err = errno;
  m_file = nullptr;
  if (!err && std::rename(m_tmp.c_str(), m_path.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(m_tmp.c_str());
    if (error) *error = Reason(err);
    return false;
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string* error) {
  std::FILE* f = OpenRegularFile(path, error);
  if (!f) return false;
  out.clear();
  char buf[kChunk];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, got);
  const bool bad = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (bad) {
    if (error) *error = Reason(err);
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::string& path, std::string_view data, std::string* error) {
  LineWriter w(path);
  if (!w.Open(error)) return false;
  w.WriteString(data);
  return w.Commit(error);
}

}  // namespace plat
