// A view-settings file (.viw): read over the defaults, then the camera
// angles derived from what it set.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_util.h"
#include "viewer/view_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ProcessDir() + "model.viw";
  fuzz::WriteFile(path, data, size);
  CViewSettings s;
  InitViewSettings(s);
  ReadViwFile(s, path);
  UpdateEyeAngles(s);
  return 0;
}
