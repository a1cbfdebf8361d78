// Writes the seed corpora of the fuzz targets (all but the keyword data
// file, whose seeds come from the data set tests' files):
//   build-fuzz/tests/fuzz/fuzz_make_seeds tests/fuzz/corpus
// Each seed is small; the fuzzer grows them.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_util.h"
#include "platform/binary_file.h"
#include "platform/numbers.h"
#include "results/test_run_writer.h"
#include "viewer/eye_file.h"
#include "viewer/view_settings.h"

namespace {

std::string g_root;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
  const std::string dir = g_root + "/" + target;
  std::filesystem::create_directories(dir);
  if (!plat::WriteWholeFile(dir + "/seed-" + name, bytes)) std::fprintf(stderr, "cannot write %s\n", name.c_str());
}

std::string Read(const std::string& path) {
  std::string s;
  plat::ReadWholeFile(path, s);
  return s;
}

// Selector bytes in front of a file.
std::string Sel(unsigned a, unsigned b, const std::string& bytes) {
  return std::string(1, static_cast<char>(a)) + std::string(1, static_cast<char>(b)) + bytes;
}

// The first `records` records of a file of d payload words a record.
std::string Head(const std::string& bytes, int d, int records) {
  const size_t n = static_cast<size_t>(records) * static_cast<size_t>(4 * (d + 2));
  return bytes.substr(0, std::min(n, bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  g_root = argv[1];
  const std::string tmp = fuzz::FreshDir("seeds");

  // Runs of the three analysis types.
  std::string runDir[4];
  for (int t = 1; t <= 3; ++t) {
    testrun::RunSpec frameDesc = testrun::SmallFrame(t);
    frameDesc.stored = 2;
    runDir[t] = fuzz::FreshDir("seed-run" + std::to_string(t));
    testrun::WriteRun(runDir[t], "run", frameDesc);
    Seed("input", "type" + std::to_string(t), std::string(1, static_cast<char>(t)) + Read(runDir[t] + "run.in"));
  }
  {
    testrun::RunSpec old = testrun::SmallFrame(2);
    old.version = 10;
    Seed("input", "version10", std::string(1, '\2') + testrun::InText(old));
  }

  // Result files: select byte 0 static / 1 dynamic (+2 kind), record
  // length byte 1 keeps the run's own.
  for (int t = 1; t <= 2; ++t) {
    const unsigned sel = static_cast<unsigned>(t - 1);
    const std::string d = runDir[t];
    const std::string tn = t == 1 ? "static" : "dynamic";
    Seed("node_result", tn, Sel(sel, 1, Read(d + "run.dis")));
    Seed("beam_force", tn, Sel(sel, 1, Read(d + "run.frc")));
    Seed("fiber_result", tn + "-sig", Sel(sel, 1, Read(d + "run.sig")));
    Seed("fiber_result", tn + "-eps", Sel(sel + 2, 1, Read(d + "run.eps")));
    Seed("fiber_result", tn + "-sta", Sel(sel + 4, 1, Head(Read(d + "run.sta"), 7, 3)));
    Seed("shell_result", tn + "-sgs", Sel(sel, 1, Head(Read(d + "run.sgs"), 7, 8)));
    Seed("shell_result", tn + "-ess", Sel(sel + 2, 4, Head(Read(d + "run.ess"), 7, 8)));
    Seed("shell_result", tn + "-state", Sel(sel + 4, 1, Read(d + "run.sts")));
  }
  Seed("mode_shape", "eigen", Sel(0, 1, Read(runDir[3] + "run.md")));
  Seed("node_result", "short", Sel(0, 1, Head(Read(runDir[1] + "run.dis"), 7, 3)));

  // Text status file, time file and side file.
  Seed("sts", "static", Sel(0, 1, "flag=0\r\ncase=2\r\nstep=1\r\n"));
  Seed("sts", "static-key", Sel(0, 1, "flag=1\r\ncase=1\r\nstep=3\r\n"));
  Seed("sts", "dynamic", Sel(1, 1, "flag=0\ncase=0\nstep=4\n"));
  Seed("tim", "dynamic", Sel(1, 1, Read(runDir[2] + "run.tim")));
  Seed("txt", "blocks", Sel(1, 1, "2\n0\n0\n"));
  Seed("txt", "offset", Sel(1, 1, "3 1 5\r\n"));
  Seed("txt", "limit", Sel(1, 0, "0\n0\n4\n"));

  // View settings.
  Seed("viw", "all",
       "mat = steel plate\nfriction = 3 0.25\nmass = 2.5\ncog = 1 2 3\ninertia = 1 2 3 4 5 6\nhight = 7\n"
       "direction = 0 0 -1\nsimtime = 1.5\nshrink = 0.9\nradioss = 44\ndiv = 4\ndt = 1.0e-3 s\nanim = 0\n"
       "eye = 4 5 6\ncenter = 1 1 2\nup = 0 1 0\npicsize = 800 600\nbcolor = 1 2 3\npcolor = 4 5 6\n"
       "dcolor = 7 8 9\ntcolor = 10 11 12\nfrmsize = 0 300\npmodel = 0 1\ndmodel = 1 0\n"
       "plane1 = 1 0 0 5\nplane2 = 0 1 0 6\nccolor = 1 2 3 4 5 6\nrange = -2 3\nfactor = 2\nmag = 50\n");
  Seed("viw", "more",
       "contour = 1\r\noor = 0\r\npersp = 1\r\nanglex = 45\r\nbcolor1 = 9 9 9\r\nbcolor2 = 8 8 8\r\n"
       "pofactor = 1.5\r\npounits = 2.5\r\nnear = 0.5\r\nfar = 99\r\ninfo = 1\r\nlcolor = 255 0 0\r\n"
       "stencil = 2\r\nshowid = 0\r\nmatcolor = 36\r\nEYE = 1,2,3 # from the north\r\n center=(1;2:3)\r\n"
       "no equals sign\r\n");

  // Colour tables.
  Seed("color", "three", "3\n1 255 0 0\n2,0,255,0\n3;0:0/255\n");
  Seed("color", "short", "5\r\n7\t10\t20\t30\r\n");
  Seed("grid_color", "two", std::string(1, '\1') + "2\n1 255 0 0\n2 0 0 255\n");

  // Per-element colour map: element 1-10, class 11-20, flag 31-40.
  auto row = [](int no, int cls, int flag) { return plat::Format("%10d%10d%10s%10d", no, cls, "", flag); };
  Seed("clr", "rows", row(1, 2, 1) + "\r\n" + row(2, 3, 0) + "\r\n" + row(999999, -1, 1) + "\r\n" + row(5, 1, 1));
  Seed("clr", "end", row(4, 1, 1) + "\n" + "   abc\n" + row(6, 2, 1) + "\n");

  // Viewpoint file: two viewpoints, and a count far above the records.
  {
    CViewSettings camera;
    InitViewSettings(camera);
    CEyeList list;
    list.Register(camera);
    camera.eye[0] = 3;
    camera.eye[1] = -2;
    UpdateEyeAngles(camera);
    list.Register(camera);
    const std::string path = tmp + "two.eye";
    list.WriteFile(path);
    const std::string two = Read(path);
    Seed("eye", "two", two);
    std::string big = two;
    plat::EncodeInt32LE(1000000, reinterpret_cast<unsigned char*>(big.data()));
    Seed("eye", "count-1000000", big);
    // Finite values no move leaves: the eye far off, an up along the sight.
    CEyeList damaged;
    camera.eye[0] = 1e300;
    damaged.Register(camera);
    InitViewSettings(camera);
    for (int i = 0; i < 3; ++i) camera.up[i] = camera.eye[i] - camera.center[i];
    damaged.Register(camera);
    const std::string damagedPath = tmp + "damaged.eye";
    damaged.WriteFile(damagedPath);
    Seed("eye", "damaged", Read(damagedPath));
  }

  // Grid model files (the first byte is the stress component).
  const char* grid[][2] = {
      {"grid_grid", "6\n0 0 0\n1 0 0\n2 0 0\n0 1 0\n1 1 0\n2 1 0.5\n"},
      {"grid_egno", "6\n11\n12\n13\n14\n15\n16\n"},
      {"grid_qddef", "2\n1 1 1 2 5 4\n2 1 2 3 6 5\n"},
      {"grid_disp", "6\n0 0 0\n0.1 0 0\n0.2 0 0.1\n0 0 0\n0.1,0.05,0\n0.2;0.1;0.2\n"},
      {"grid_qdstre", "2\n1 2 3 4 5 6 7\n-1 -2 -3 -4 -5 -6 -7\n7 6 5 4 3 2 1\n0.5 0.5 0.5 0.5 0.5 0.5 0.5\n"},
  };
  for (const auto& g : grid) {
    Seed(g[0], "model", std::string(1, '\1') + g[1]);
    Seed(g[0], "component15", std::string(1, '\17') + g[1]);
  }
  return 0;
}
