// The viewpoint file (.eye): read into a view's list, which must keep only
// viewpoints a camera can look from, every viewpoint recalled and stepped
// through as the keys do, and the list saved and read back, which must give
// the same viewpoints.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_util.h"
#include "viewer/eye_file.h"
#include "viewer/view_settings.h"

namespace {

[[noreturn]] void Mismatch(const char* what, int i) {
  std::fprintf(stderr, "viewpoint file read back differs: %s (viewpoint %d)\n", what, i);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ProcessDir() + "model.eye";
  static const std::string saved = fuzz::ProcessDir() + "saved.eye";
  fuzz::WriteFile(path, data, size);
  CViewSettings camera;
  InitViewSettings(camera);
  CEyeList list;
  list.StartFromFile(path, camera);
  const int n = list.Count();
  for (int i = 0; i < n; ++i)
    if (!list.At(i).Usable()) Mismatch("unusable viewpoint kept", i);
  for (int i = -1; i <= n && i < 8; ++i) list.Recall(i, camera);
  list.Recall(n - 1, camera);
  list.Step(+1, camera);
  list.Step(-1, camera);
  UpdateEyeAngles(camera);

  if (!list.WriteFile(saved)) Mismatch("not written", -1);
  CEyeList back;
  if (!back.ReadFile(saved)) Mismatch("not read", -1);
  if (back.Count() != n) Mismatch("count", back.Count());
  for (int i = 0; i < n; ++i) {
    unsigned char a[EyeRecord::kSize], b[EyeRecord::kSize];
    list.At(i).Encode(a);
    back.At(i).Encode(b);
    if (std::memcmp(a, b, sizeof a) != 0) Mismatch("record", i);
  }
  return 0;
}
