// ov_frame_gen: writes a building frame as a keyword data file and as an
// analysis input with result files.
//
//   ov_frame_gen --elements N --dir DIR [--name NAME] [--dat] [--in]
//                [--steps K] [--dynamic | --eigen] [--two-cases] [--coarse]
//                [--bays X,Y --storeys S --div D]
//
// Without --dat or --in both are written. --steps K writes K result steps
// beside the input (static push-over; --two-cases puts a gravity step
// before it; --dynamic writes a time-history run instead, --eigen an eigen
// run of K modes).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/frame_gen.h"
#include "platform/numbers.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: ov_frame_gen (--elements N | --bays X,Y --storeys S [--div D]) --dir DIR [--name NAME]\n"
               "                    [--dat] [--in] [--steps K] [--dynamic | --eigen] [--two-cases] [--coarse]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  long long elements = 0;
  benchgen::FrameSpec frameDesc;
  bool planGiven = false, dat = false, in = false;
  std::string dir, name = "frame";
  benchgen::RunOptions run;
  run.results = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--elements") {
      elements = static_cast<long long>(plat::AtoF(value()));
    } else if (a == "--bays") {
      const std::string v = value();
      const size_t comma = v.find(',');
      frameDesc.baysX = plat::AtoI(v);
      frameDesc.baysY = comma == std::string::npos ? frameDesc.baysX : plat::AtoI(v.substr(comma + 1));
      planGiven = true;
    } else if (a == "--storeys") {
      frameDesc.storeys = plat::AtoI(value());
      planGiven = true;
    } else if (a == "--div") {
      frameDesc.div = plat::AtoI(value());
    } else if (a == "--dir") {
      dir = value();
    } else if (a == "--name") {
      name = value();
    } else if (a == "--dat") {
      dat = true;
    } else if (a == "--in") {
      in = true;
    } else if (a == "--steps") {
      run.steps = plat::AtoI(value());
      run.results = run.steps > 0;
    } else if (a == "--dynamic") {
      run.type = 2;
    } else if (a == "--eigen") {
      run.type = 3;
    } else if (a == "--two-cases") {
      run.twoCases = true;
    } else if (a == "--coarse") {
      frameDesc.fineFibres = false;
    } else {
      return Usage();
    }
  }
  if (dir.empty() || (!planGiven && elements <= 0)) return Usage();
  if (!planGiven) {
    const bool fine = frameDesc.fineFibres;
    frameDesc = benchgen::SpecForElements(elements);
    frameDesc.fineFibres = fine;
  }
  if (frameDesc.baysX < 1 || frameDesc.baysY < 1 || frameDesc.storeys < 1 || frameDesc.div < 1) return Usage();
  if (!dat && !in) dat = in = true;
  if (run.steps < 1) run.steps = 1;

  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const benchgen::Frame frame = benchgen::BuildFrame(frameDesc);
  std::printf("frame %dx%d bays, %d storeys, div %d: %zu nodes, %zu members, %zu shells, %lld fibres\n", frameDesc.baysX,
              frameDesc.baysY, frameDesc.storeys, frameDesc.div, frame.nodes.size(), frame.members.size(), frame.quads.size(),
              frame.Fibers());
  std::string error;
  if (dat) {
    const std::string path = dir + "/" + name + ".dat";
    if (!benchgen::WriteKeywordFile(frame, path, &error)) {
      std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
      return 1;
    }
    std::printf("wrote %s\n", path.c_str());
  }
  if (in) {
    const std::string path = benchgen::WriteRun(frame, dir, name, run, &error);
    if (path.empty()) {
      std::fprintf(stderr, "cannot write the run %s/%s: %s\n", dir.c_str(), name.c_str(), error.c_str());
      return 1;
    }
    std::printf("wrote %s%s\n", path.c_str(),
                run.results ? plat::Format(run.type == 3 ? " and %d modes" : " and %d result steps", run.steps).c_str()
                            : "");
  }
  return 0;
}
