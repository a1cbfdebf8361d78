#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/bytestr.h"

namespace plat {

SplitPathResult SplitPath(std::string_view path) {
  SplitPathResult r;
  const size_t slash = path.find_last_of('/');
  std::string_view file = path;
  if (slash != std::string_view::npos) {
    r.dir = std::string(path.substr(0, slash + 1));
    file = path.substr(slash + 1);
  }
  const size_t dot = file.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) {
    r.name = std::string(file);
  } else {
    r.name = std::string(file.substr(0, dot));
    r.ext = std::string(file.substr(dot));
  }
  return r;
}

std::string JoinPath(const SplitPathResult& parts) { return parts.dir + parts.name + parts.ext; }

std::string ReplaceExtension(std::string_view path, std::string_view ext) {
  SplitPathResult p = SplitPath(path);
  p.ext = std::string(ext);
  return JoinPath(p);
}

std::string LowerExtension(std::string_view path) { return ToLowerAscii(SplitPath(path).ext); }

std::string DirOf(std::string_view path) { return SplitPath(path).dir; }

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// The reason given for a path that names no regular file.
std::string NotRegularReason(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
  return "通常のファイルではありません";
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, std::string* error) {
  auto fail = [&](std::string reason) -> std::FILE* {
    if (error) *error = std::move(reason);
    return nullptr;
  };
  // Looked at before the open, so that no device or pipe is opened at all;
  // and again on the descriptor, in case the name changed in between.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return fail(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return fail(NotRegularReason(st));
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const std::string reason = S_ISREG(st.st_mode) ? std::strerror(errno) : NotRegularReason(st);
    ::close(fd);
    return fail(reason);
  }
  // Reads of a regular file never wait; the flag only kept the open from it.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    const int err = errno;
    ::close(fd);
    return fail(std::strerror(err));
  }
  return f;
}

std::string FindFileNoCase(const std::string& path) {
  if (path.empty()) return {};
  if (FileExists(path)) return path;
  const std::string dir = DirOf(path);
  const std::string want = FileNameOf(path);
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (EqualsNoCaseAscii(e->d_name, want) && FileExists(dir + e->d_name)) {
      found = dir + e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace plat
