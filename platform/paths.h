// Path splitting and the lookup of files beside an opened one.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

struct SplitPathResult {
  std::string dir;   // folder with its trailing '/', or "" for a bare name
  std::string name;  // file name without extension
  std::string ext;   // extension with its leading '.', or ""
};

SplitPathResult SplitPath(std::string_view path);
std::string JoinPath(const SplitPathResult& parts);

// The path with its extension replaced (`ext` with its '.', or "").
std::string ReplaceExtension(std::string_view path, std::string_view ext);
// The extension of the file name, lower-cased, with its '.' ("" when none).
std::string LowerExtension(std::string_view path);
// Folder part with trailing '/' ("" when the path has no folder).
std::string DirOf(std::string_view path);
std::string FileNameOf(std::string_view path);

// Looks a file up by its exact path first, then by a case-insensitive match of
// its name in the same folder (runs are often copied from Windows). Returns the
// path found, or "" when there is none.
std::string FindFileNoCase(const std::string& path);

bool FileExists(const std::string& path);

// Opens an existing file for reading ("rb"). Anything but a regular file (a
// folder, a named pipe, a device) is refused without waiting on it: a named
// pipe would otherwise hold the open until some writer came. Null with
// `error` set to the reason otherwise.
std::FILE* OpenRegularFile(const std::string& path, std::string* error = nullptr);

}  // namespace plat
