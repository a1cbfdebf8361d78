// ov_frame_check: reads back what ov_frame_gen wrote with the same arguments
// and compares it with the frame the generator builds: the keyword data file
// through the data set (read and linked), the analysis input through the
// loader, and the last step of every result file through the result
// readers. Keeps the generator honest where no benchmark is run.
//
//   ov_frame_check --elements N --dir DIR [--name NAME] [--steps K]
//
// Prints each mismatch and exits with 1 when there is one.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/frame_gen.h"
#include "dataset/fb_resultset.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "model/beam_records.h"
#include "platform/numbers.h"
#include "results/result_readers.h"

namespace {

struct Count {
  std::string what;
  long long got, want;
};

int Report(const std::vector<Count>& counts) {
  int bad = 0;
  for (const Count& c : counts) {
    if (c.got == c.want) continue;
    std::fprintf(stderr, "%s: %lld, expected %lld\n", c.what.c_str(), c.got, c.want);
    ++bad;
  }
  return bad;
}

long long Rows(const FbTablePtr& t) { return t ? t->GetCount() : -1; }

std::unique_ptr<plat::LineReader> Open(const std::string& path) {
  std::string error;
  std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path, &error);
  if (!in) std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), error.c_str());
  return in;
}

}  // namespace

int main(int argc, char** argv) {
  long long elements = 0;
  int steps = 1;
  std::string dir, name = "frame";
  bool usage = argc % 2 == 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i], v = argv[i + 1];
    if (a == "--elements") elements = static_cast<long long>(plat::AtoF(v));
    else if (a == "--dir") dir = v;
    else if (a == "--name") name = v;
    else if (a == "--steps") steps = plat::AtoI(v);
    else usage = true;
  }
  if (usage || elements <= 0 || dir.empty() || steps < 1) {
    std::fprintf(stderr, "usage: ov_frame_check --elements N --dir DIR [--name NAME] [--steps K]\n");
    return 2;
  }
  const benchgen::Frame frame = benchgen::BuildFrame(benchgen::SpecForElements(elements));
  const long long nodes = static_cast<long long>(frame.nodes.size());
  const long long members = static_cast<long long>(frame.members.size());
  const long long quads = static_cast<long long>(frame.quads.size());
  const long long mats = static_cast<long long>(frame.materials.size());
  const long long fibres = frame.Fibers();
  std::vector<Count> counts;

  // The keyword data file, read in the wide columns it was written in.
  const std::string dat = dir + "/" + name + ".dat";
  std::unique_ptr<plat::LineReader> datIn = Open(dat);
  if (!datIn) return 1;
  CIpDataSet ds;
  {
    ColumnModeScope wide(1);
    BeamFormatScope beams(g_nBeamFormat);
    ds.Read(*datIn);
  }
  for (const std::string& m : ds.Messages()) std::fprintf(stderr, "%s: %s\n", dat.c_str(), m.c_str());
  ds.LinkNodes();
  ds.BuildPropList();
  ds.CalcElemAxes();
  CModelStats ip;
  ip.CountIp(ds);
  counts.insert(counts.end(), {{".dat messages", static_cast<long long>(ds.Messages().size()), 0},
                               {".dat nodes", ip.m_nNodes, nodes},
                               // a comment record heads each storey's elements
                               {".dat line elements", ip.m_nElems, members + frame.frameDesc.storeys},
                               {".dat shells", ip.m_nQuads, quads},
                               {".dat materials", ip.m_nMats, mats}});

  // The analysis input and its result files.
  const std::string in = dir + "/" + name + ".in";
  std::unique_ptr<plat::LineReader> inIn = Open(in);
  if (!inIn) return 1;
  CFbResultSet rs;
  std::string msg;
  const int loaded = LoadAnalysisInput(*inIn, in, rs, &msg);
  if (loaded != 1) std::fprintf(stderr, "%s: %s\n", in.c_str(), msg.c_str());
  rs.m_model.Link();
  CModelStats fb;
  fb.CountFb(rs.m_model);
  counts.insert(counts.end(), {{".in loaded", loaded, 1},
                               {".in nodes", fb.m_nNodes, nodes},
                               {".in line elements", fb.m_nElems, members},
                               {".in shells", fb.m_nQuads, quads},
                               {".in materials", fb.m_nMats, mats},
                               {".in fibres", rs.m_model.m_nFibers, fibres},
                               {"result steps", rs.m_nMaxStep, steps}});
  // The last step of load case 1; beam and fibre tables end with their
  // minimum and maximum rows.
  if (loaded == 1) {
    counts.insert(counts.end(), {{"node results", Rows(ReadNodeResult(rs, 1, steps)), nodes},
                                 {"beam forces", Rows(ReadBeamForce(rs, 1, steps)), members + 2},
                                 {"fibre stresses", Rows(ReadFiberResult(rs, 1, steps, 0)), fibres + 2},
                                 {"shell stresses", Rows(ReadShellResult(rs, 0, 1, steps)), quads}});
  }
  const int bad = Report(counts);
  std::printf("%s: %lld nodes, %lld line elements, %lld shells, %lld fibres, %d steps: %s\n", name.c_str(), nodes,
              members, quads, fibres, steps, bad ? "MISMATCH" : "read back");
  return bad ? 1 : 0;
}
