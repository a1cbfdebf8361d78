#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

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
