#include "fuzz/fuzz_util.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "results/test_run_writer.h"

namespace fuzz {
namespace {

std::string g_dir;

void RemoveProcessDir() {
  std::error_code ec;
  if (!g_dir.empty()) std::filesystem::remove_all(g_dir, ec);
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz set-up failed: %s\n", what.c_str());
  std::abort();
}

}  // namespace

const std::string& ProcessDir() {
  static std::once_flag once;
  std::call_once(once, [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ovfuzzXXXXXX").string();
    if (!::mkdtemp(tmpl.data())) Fail("no temporary folder");
    g_dir = tmpl + "/";
    std::atexit(RemoveProcessDir);
  });
  return g_dir;
}

void WriteFile(const std::string& path, std::string_view data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) Fail("cannot write " + path);
  const bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
  if (std::fclose(f) != 0 || !ok) Fail("cannot write " + path);
}

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

std::string FreshDir(const std::string& name) {
  const std::string dir = ProcessDir() + name;
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  if (ec) Fail("cannot make " + dir);
  return dir + "/";
}

std::string_view RunInput(int variant) {
  static const std::string texts[kRunVariants] = {
      testrun::InText(testrun::SmallFrame(1)),
      testrun::InText(testrun::SmallFrame(2)),
      testrun::InText(testrun::SmallFrame(3)),
  };
  return texts[variant >= 0 && variant < kRunVariants ? variant : 0];
}

}  // namespace fuzz
