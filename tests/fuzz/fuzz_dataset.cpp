// The keyword data file (.dat / .da_) as the model viewer's loading worker
// takes it: read in the wide column layout, linked, counted and turned into
// the display model.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "model/beam_records.h"
#include "model/fem_input.h"
#include "platform/text_lines.h"
#include "viewer/display_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto in = plat::LineReader::FromString(std::string(reinterpret_cast<const char*>(data), size));
  CIpDataSet ds;
  ds.RemoveAll();
  {
    ColumnModeScope wide(1);
    BeamFormatScope beams(g_nBeamFormat);
    ds.Read(*in);
  }
  ds.LinkNodes();
  ds.BuildPropList();
  ds.CalcElemAxes();
  CModelStats stats;
  if (stats.CountIp(ds)) {
    CDispModel model;
    std::string error;
    model.BuildDisplayModel(ds, stats, &error);
  }
  return 0;
}
