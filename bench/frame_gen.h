// Generator of large, valid inputs for the benchmarks and of the example
// model: a regular building frame of fibre-section columns and beams with
// shell floors. One frame description feeds both file kinds: the keyword
// data file (written through the data set's own writer) and the analysis
// input with its result files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace benchgen {

struct FrameSpec {
  int baysX = 2, baysY = 2;  // bays in plan
  int storeys = 3;
  int div = 2;               // shell elements along a bay edge (beams split alike)
  double bayX = 6.0, bayY = 6.0;
  double storeyH = 3.5, groundH = 4.2;
  // Fibre divisions of the large models; the example uses coarser ones.
  bool fineFibres = true;
};

// A plan and storey count for a frame of about `elements` elements (beams,
// columns and shells together).
FrameSpec SpecForElements(long long elements);

struct FrameNode {
  int no = 0;
  double x = 0, y = 0, z = 0;
};

// A line member between two nodes (0-based positions in the node list).
struct FrameMember {
  enum Kind { kColumn, kCornerColumn, kBeamX, kBeamY };
  int no = 0;
  int ni = 0, nj = 0;
  int sec = 0;  // 0-based position in the section list
  Kind kind = kColumn;
  int storey = 0;  // 1-based storey (floor level of a beam)
};

struct FrameQuad {
  int no = 0;
  int n[4] = {0, 0, 0, 0};  // 0-based node positions, counter-clockwise from above
  int storey = 0;
};

// A fibre block in section coordinates (y horizontal, z vertical for a
// beam): a straight strip of thickness t around (y1, z1)-(y2, z2), or an
// arc sector between the radii r1 and r2 from a1 to a2 degrees.
struct FrameBlock {
  bool arc = false;
  double y1 = 0, z1 = 0, y2 = 0, z2 = 0, t = 0;
  double r1 = 0, r2 = 0, a1 = 0, a2 = 0, yc = 0, zc = 0;
  int cols = 1, rows = 1;  // arc: radial and circumferential divisions
  int mat = 0;             // 0-based material position
};

// A row of reinforcing bars from (y1, z1) to (y2, z2).
struct FrameDeck {
  double y1 = 0, z1 = 0, y2 = 0, z2 = 0;
  double area = 0;  // of one bar
  int bars = 1;
  int mat = 0;
};

struct FrameSection {
  int no = 0;
  int mat = 0;            // 0-based default material position
  double v[3] = {0, 0, 1};  // reference direction of the local axes
  std::vector<FrameBlock> blocks;
  std::vector<FrameDeck> decks;
  bool shell = false;     // the slab section (no fibres)
  double thickness = 0;   // slab
};

struct FrameMaterial {
  int no = 0;
  int type = 0;  // keyword file material type
  double e = 0, nu = 0, weight = 0;
  double strength = 0;
};

struct FrameLoad {
  int node = 0;  // 0-based position
  int dof = 1;   // 1..6
  double value = 0;
};

struct Frame {
  FrameSpec frameDesc;
  double height = 0;  // of the roof
  std::vector<FrameNode> nodes;
  std::vector<FrameMember> members;
  std::vector<FrameQuad> quads;
  std::vector<int> supports;  // 0-based node positions, fully fixed
  std::vector<FrameSection> sections;
  std::vector<FrameMaterial> materials;
  std::vector<FrameLoad> lateral;   // load case 1: lateral loads at the floor corners
  std::vector<FrameLoad> gravity;   // load case 2 (examples): floor loads
  int shellSection = 0;  // position of the slab section
  int layers = 1;        // shell layers of the analysis input

  long long Elements() const { return static_cast<long long>(members.size() + quads.size()); }
  // Fibres of one member's section (blocks and decks).
  int FibersOf(const FrameMember& m) const;
  long long Fibers() const;
};

Frame BuildFrame(const FrameSpec& frameDesc);

// Writes the keyword data file through the data set's writer (wide columns).
// False with `error` when the file could not be written.
bool WriteKeywordFile(const Frame& frame, const std::string& path, std::string* error = nullptr);

// Result-file settings of a run.
struct RunOptions {
  int type = 1;      // 1 static (one push-over case, or two in the examples), 2 dynamic, 3 eigen
  int steps = 0;     // stored result steps (eigen: modes)
  int recWords = 1024;
  bool twoCases = false;  // static: a gravity case of one step before the push-over
  bool results = true;
};

// Writes dir/name.in and, when asked, its result files, streaming them to
// disk one step at a time. Returns the input path, or "" with `error`.
std::string WriteRun(const Frame& frame, const std::string& dir, const std::string& name,
                     const RunOptions& opts, std::string* error = nullptr);

// Steps per block file that the loader computes for this run (0: never split).
int64_t BlockSteps(const Frame& frame, const RunOptions& opts);

}  // namespace benchgen
