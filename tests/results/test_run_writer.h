// Writes a small, consistent run: an analysis input (".in") and the result
// files that the analysis program would write beside it, with values that a
// test can predict (ExpectedFloat / ExpectedState). Used by the tests and by
// the generator of the example runs; not part of the programs.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/binary_file.h"
#include "platform/numbers.h"
#include "platform/text_lines.h"

namespace testrun {

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ovrunXXXXXX").string();
    if (::mkdtemp(tmpl.data())) m_path = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

struct Node {
  int no;
  double x, y, z;
};
struct Elem {
  int no, i, j, sec, extra;  // i, j, sec: 1-based positions
};
struct Elem3 {
  int no, i, j, k, sec, extra;
};
struct Quad {
  int no, sec, n[4];
};
struct Sup {
  int node;          // position
  const char* code;  // six characters of '0' and '1'
};
struct Block {
  double c[6];  // c0, c15, c30, c45, c60, c75
  int i0, i8, i16, i24;
};
struct Section {
  int no;
  std::vector<int> info;  // header value 2.5 values (blocks, decks, ., ., type, ...)
  double v[3];
  std::vector<Block> blocks;
  std::vector<Block> decks;
  double params[6];  // first parameter line of a non-fibre section
};
struct Material {
  int no;
  int kind;
  bool noKind;  // a first line of 8 characters
  std::vector<double> values;
};
struct PointLoad {
  int no, dof;
  double value;
};
struct DistLoad {
  int no, i8;
  double r16, r31, r46, r61;  // reals at columns 16, 31, 46, 61
};
struct Prestress {
  std::vector<PointLoad> points;  // one line each: integers at 0 and 8, real at 16
};
struct FifthEntry {
  int no;
  double v[4];  // reals at columns 8, 23, 38, 53
};
struct LoadCase {
  int key, steps;
  std::vector<PointLoad> nodal, forced;
  std::vector<DistLoad> dist = {};
  std::vector<Prestress> pre = {};
  std::vector<FifthEntry> fifth = {};
};
struct GroundAcc {
  int a, b, c;
  double value;
};
struct Wave {
  int head;
  std::vector<double> values;
};

struct RunSpec {
  int type = 1;  // 1 static, 2 dynamic, 3 eigen
  int version = 20;
  const char* program = nullptr;  // default by type
  std::string title = "test run";
  int secInfo = 5;
  int matReals = 6;
  int secParams = 9;
  int head33 = 24;  // line 3 value 3 (24 x layers)
  int fibers = -1;  // header value 2.4; -1: counted from the sections
  std::vector<Node> nodes;
  std::vector<Elem> elems;
  std::vector<Elem3> elems2;
  std::vector<Quad> quads;
  std::vector<Sup> sups;
  std::vector<Section> secs;
  std::vector<Material> mats;
  std::vector<LoadCase> cases;  // static
  int steps = 0;                // dynamic: step line value
  std::vector<GroundAcc> groundAccs;
  std::vector<Wave> waves;
  int skipValues = 0;  // values before the wave data
  int modes = 0;       // eigen

  // Result files.
  bool writeResults = true;
  int recWords = 7;    // payload words per record
  int stored = 0;      // steps (or modes) written
  int blkStep = 0;     // N: block files for the fibre and shell files
  bool writeTim = true;
  bool writeTxt = false;
  int txtLimit = 0;
  bool writeStatus = false;  // text status file (base.sts)
  int statusFlag = 0, statusCase = 0, statusStep = 0;
};

// Result file kinds, in the order of the result set's extensions.
enum Kind { kDis = 2, kVel, kAcc, kFrc, kSig, kEps, kSta, kSgs = 10, kEss, kShellState, kMd };

inline const char* Ext(int kind) {
  static const char* const kExt[] = {".pl",  ".tim", ".dis", ".vel", ".acc", ".frc", ".sig",
                                     ".eps", ".sta", ".sts", ".sgs", ".ess", ".sts", ".md"};
  return kExt[kind];
}

// The value written as word `w` of step (or mode) `step` of a file; exact in
// single precision, different for every word of a step below 1000, and
// negative for some words so that minima are not trivially 0.
inline float ExpectedFloat(int kind, int step, int64_t w) {
  const double v = kind * 1000000.0 + step * 1000.0 + static_cast<double>(w % 1000);
  return static_cast<float>(w % 7 == 3 ? -v : v);
}
inline int32_t ExpectedState(int step, int64_t w) { return static_cast<int32_t>(step * 1000 + w % 1000); }
inline float ExpectedTime(int step) { return 0.25f * static_cast<float>(step); }

inline std::string R15(double x) {
  return std::fabs(x) < 1e6 ? plat::Format("%15.7f", x) : plat::Format("%15.7E", x);
}
inline std::string R16(double x) {
  return std::fabs(x) < 1e6 ? plat::Format("%16.8f", x) : plat::Format("%16.8E", x);
}
inline std::string I8(int v) { return plat::Format("%8d", v); }

// Fibres of the whole model, in the fibre-list order of the loader.
inline int CountFibers(const RunSpec& s) {
  auto perSec = [&](int secPos) {
    if (secPos < 1 || secPos > static_cast<int>(s.secs.size())) return 0;
    const Section& sec = s.secs[static_cast<size_t>(secPos - 1)];
    if (sec.info.size() >= 5 && sec.info[4] != 0) return 0;
    int n = 0;
    for (const Block& b : sec.blocks) n += b.i0 * b.i8;
    for (const Block& b : sec.decks) n += b.i0 * b.i8;
    return n;
  };
  int n = 0;
  for (const Elem& e : s.elems) n += perSec(e.sec);
  for (const Elem3& e : s.elems2) n += perSec(e.sec);
  return n;
}

inline int Fibers(const RunSpec& s) { return s.fibers >= 0 ? s.fibers : CountFibers(s); }

inline std::string InText(const RunSpec& s) {
  static const char* const kNames[] = {"", "ZQN7S", "ZQN7D", "ZQN7M"};
  std::string t;
  auto line = [&](const std::string& l) { t += l + "\r\n"; };
  line(plat::Format("%5d%5d  %s", 1, s.version, s.program ? s.program : kNames[s.type]));
  line(I8(static_cast<int>(s.nodes.size())) + I8(static_cast<int>(s.elems.size())) +
       I8(static_cast<int>(s.sups.size())) + I8(Fibers(s)) + I8(s.secInfo) + I8(static_cast<int>(s.secs.size())) +
       I8(s.matReals) + I8(static_cast<int>(s.mats.size())) + I8(0) + I8(0));
  line(I8(s.secParams) + I8(static_cast<int>(s.quads.size())) + I8(s.head33) + I8(0) + I8(0) +
       I8(static_cast<int>(s.elems2.size())));
  line("  " + s.title + "  ");
  for (const Node& n : s.nodes) line(I8(n.no) + R15(n.x) + R15(n.y) + R15(n.z));
  for (const Elem& e : s.elems) line(I8(e.no) + I8(e.i) + I8(e.j) + I8(e.sec) + I8(e.extra));
  for (const Elem3& e : s.elems2) line(I8(e.no) + I8(e.i) + I8(e.j) + I8(e.k) + I8(e.sec) + I8(e.extra));
  for (const Quad& q : s.quads) line(I8(q.no) + I8(q.sec) + I8(q.n[0]) + I8(q.n[1]) + I8(q.n[2]) + I8(q.n[3]));
  if (s.sups.empty()) line("");
  for (size_t k = 0; k < s.sups.size(); k += 5) {
    std::string l;
    for (size_t g = k; g < k + 5 && g < s.sups.size(); ++g) l += I8(s.sups[g].node) + "  " + s.sups[g].code;
    line(l);
  }
  const int params = s.secParams < 1 ? 9 : s.secParams;
  const int paramLines = (params - 1) / 6 + 1;
  for (const Section& sec : s.secs) {
    std::string l = I8(sec.no);
    for (int v : sec.info) l += I8(v);
    line(l);
    line(R15(sec.v[0]) + R15(sec.v[1]) + R15(sec.v[2]));
    const int type = sec.info.size() >= 5 ? sec.info[4] : 0;
    if (type == 0) {
      for (const auto* list : {&sec.blocks, &sec.decks})
        for (const Block& b : *list) {
          line(R15(b.c[0]) + R15(b.c[1]) + R15(b.c[2]) + R15(b.c[3]) + R15(b.c[4]) + R15(b.c[5]));
          line(I8(b.i0) + I8(b.i8) + I8(b.i16) + I8(b.i24));
        }
    } else {
      for (int k = 0; k < paramLines; ++k) {
        std::string p;
        for (int c = 0; c < 6; ++c) p += R15(k == 0 ? sec.params[c] : 0.0);
        line(p);
      }
    }
  }
  for (const Material& m : s.mats) {
    line(m.noKind ? I8(m.no) : I8(m.no) + I8(m.kind));
    for (int k = 0; k < s.matReals; k += 6) {
      std::string l;
      for (int c = k; c < k + 6 && c < s.matReals; ++c)
        l += R15(c < static_cast<int>(m.values.size()) ? m.values[static_cast<size_t>(c)] : 0.0);
      line(l);
    }
  }
  if (s.type == 1) {
    line(I8(static_cast<int>(s.cases.size())) + I8(0) + I8(0) + I8(0));
    for (const LoadCase& c : s.cases) {
      line(I8(c.key) + I8(c.steps) + I8(static_cast<int>(c.nodal.size())) + I8(static_cast<int>(c.forced.size())) +
           I8(static_cast<int>(c.dist.size())) + I8(static_cast<int>(c.pre.size())) +
           I8(static_cast<int>(c.fifth.size())));
      for (const PointLoad& p : c.nodal) line(I8(p.no) + I8(p.dof) + R15(p.value));
      for (const PointLoad& p : c.forced) line(I8(p.no) + I8(p.dof) + R15(p.value));
      for (const DistLoad& d : c.dist) line(I8(d.no) + I8(d.i8) + R15(d.r16) + R15(d.r31) + R15(d.r46) + R15(d.r61));
      for (const Prestress& p : c.pre) {
        line(I8(static_cast<int>(p.points.size())));
        for (const PointLoad& q : p.points) line(I8(q.no) + I8(q.dof) + R15(q.value));
      }
      for (const FifthEntry& f : c.fifth) line(I8(f.no) + R15(f.v[0]) + R15(f.v[1]) + R15(f.v[2]) + R15(f.v[3]));
    }
  } else if (s.type == 2) {
    if (s.version < 20) {
      line(I8(s.steps));
    } else {
      line(I8(s.steps) + I8(0) + I8(0) + R16(0.01) + R16(0) + R16(0) + R16(0) + R16(0));
      int end = 0;
      for (const Wave& w : s.waves) end += static_cast<int>(w.values.size());
      line(I8(0) + I8(static_cast<int>(s.groundAccs.size())) + I8(static_cast<int>(s.waves.size())) +
           I8(s.skipValues) + I8(0) + std::string(24, ' ') + I8(end));
      for (const GroundAcc& g : s.groundAccs) line(I8(g.a) + I8(g.b) + I8(g.c) + R16(g.value));
      end = 0;
      for (const Wave& w : s.waves) {
        end += static_cast<int>(w.values.size());
        line(I8(0) + I8(w.head) + I8(end));
      }
      for (int k = 0; k < s.skipValues; k += 5) {
        std::string l;
        for (int c = k; c < k + 5 && c < s.skipValues; ++c) l += R16(9.0);
        line(l);
      }
      std::string l;
      int inLine = 0;
      for (const Wave& w : s.waves)
        for (double v : w.values) {
          l += R16(v);
          if (++inLine == 5) {
            line(l);
            l.clear();
            inLine = 0;
          }
        }
      if (inLine) line(l);
    }
  } else if (s.type == 3) {
    line(I8(s.modes));
  }
  return t;
}

// A file of records of `d` payload words between int32 length markers; the
// last record holds the words that are left.
inline std::string RecordBytes(const std::vector<uint32_t>& words, int d) {
  std::string out;
  unsigned char b[4];
  for (size_t k = 0; k < words.size(); k += static_cast<size_t>(d)) {
    const size_t n = std::min(words.size() - k, static_cast<size_t>(d));
    plat::EncodeInt32LE(static_cast<int32_t>(n * 4), b);
    out.append(reinterpret_cast<const char*>(b), 4);
    for (size_t i = 0; i < n; ++i) {
      for (int j = 0; j < 4; ++j) b[j] = static_cast<unsigned char>(words[k + i] >> (8 * j));
      out.append(reinterpret_cast<const char*>(b), 4);
    }
    plat::EncodeInt32LE(static_cast<int32_t>(n * 4), b);
    out.append(reinterpret_cast<const char*>(b), 4);
  }
  return out;
}

inline uint32_t FloatBits(float f) {
  unsigned char b[4];
  plat::EncodeFloat32LE(f, b);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
         (static_cast<uint32_t>(b[3]) << 24);
}

inline int Layers(const RunSpec& s) { return s.head33 / 24; }

// Words per step of each kind of file.
inline int64_t StepWords(const RunSpec& s, int kind) {
  const int64_t n = static_cast<int64_t>(s.nodes.size()), e = static_cast<int64_t>(s.elems.size());
  const int64_t f = Fibers(s);
  const int64_t r = static_cast<int64_t>(s.quads.size()) * std::max(0, Layers(s));
  switch (kind) {
    case kDis: case kVel: case kAcc: return n * 6;
    case kFrc: return e * 12;
    case kSig: return f * 3;
    case kEps: return s.version >= 20 ? f * 3 : f;
    case kSta: return f;
    case kSgs: case kEss: return r * 24;
    case kShellState: return r * 4;
    default: return 0;
  }
}

// Block (from 1) and position within it of `step` when N steps go into
// each block file after a first one of N + 1 steps.
inline void BlockOf(int step, int n, int& block, int& pos) {
  if (n < 1 || step <= n + 1) {
    block = 1;
    pos = step - 1;
  } else {
    block = 2 + (step - n - 2) / n;
    pos = (step - n - 2) % n;
  }
}

inline bool Write(const std::string& path, const std::string& bytes) { return plat::WriteWholeFile(path, bytes); }

// Writes dir/name.in and the run's result files; returns the input path.
inline std::string WriteRun(const std::string& dir, const std::string& name, const RunSpec& s) {
  const std::string base = dir + "/" + name;
  Write(base + ".in", InText(s));
  if (!s.writeResults) return base + ".in";

  auto stepWords = [&](int kind, int step) {
    std::vector<uint32_t> w(static_cast<size_t>(StepWords(s, kind)));
    const bool state = kind == kSta || kind == kShellState;
    for (size_t i = 0; i < w.size(); ++i)
      w[i] = state ? static_cast<uint32_t>(ExpectedState(step, static_cast<int64_t>(i)))
                   : FloatBits(ExpectedFloat(kind, step, static_cast<int64_t>(i)));
    return w;
  };
  if (s.type == 1 || s.type == 2) {
    for (int kind : {kDis, kVel, kAcc, kFrc, kSig, kEps, kSta, kSgs, kEss, kShellState}) {
      if (s.type == 1 && (kind == kVel || kind == kAcc)) continue;
      if (kind == kShellState && s.writeStatus) continue;  // the same name
      if (StepWords(s, kind) < 1 && kind != kDis) continue;
      const bool split = (kind == kSgs || kind == kEss || kind == kShellState) ||
                         (s.type == 2 && (kind == kSig || kind == kEps || kind == kSta));
      std::vector<std::vector<uint32_t>> blocks(1);
      for (int step = 1; step <= s.stored; ++step) {
        int block = 1, pos = 0;
        if (split) BlockOf(step, s.blkStep, block, pos);
        if (static_cast<int>(blocks.size()) < block) blocks.resize(static_cast<size_t>(block));
        const std::vector<uint32_t> w = stepWords(kind, step);
        blocks[static_cast<size_t>(block - 1)].insert(blocks[static_cast<size_t>(block - 1)].end(), w.begin(), w.end());
      }
      for (size_t b = 0; b < blocks.size(); ++b) {
        const std::string prefix = b == 0 ? "" : plat::Format("%d", static_cast<int>(b));
        Write(dir + "/" + prefix + name + Ext(kind), RecordBytes(blocks[b], s.recWords));
      }
    }
  }
  if (s.type == 2 && s.writeTim) {
    std::vector<uint32_t> w;
    for (int step = 1; step <= s.stored; ++step) {
      w.push_back(FloatBits(ExpectedTime(step)));
      w.push_back(FloatBits(0.0f));
    }
    Write(base + ".tim", RecordBytes(w, 2));
  }
  if (s.type == 3) {
    const int n = static_cast<int>(s.nodes.size());
    std::vector<uint32_t> w;
    for (int m = 1; m <= s.modes; ++m) w.push_back(FloatBits(static_cast<float>(m)));
    for (int m = 1; m <= s.stored; ++m)
      for (int64_t i = 0; i < static_cast<int64_t>(n) * 6; ++i) w.push_back(FloatBits(ExpectedFloat(kMd, m, i)));
    for (int m = 0; m < 7 * s.stored; ++m) w.push_back(FloatBits(1.0f));
    Write(base + ".md", RecordBytes(w, s.recWords));
  }
  if (s.writeTxt) Write(base + ".txt", plat::Format("%d\n%d\n%d\n", s.blkStep, 0, s.txtLimit));
  if (s.writeStatus)
    Write(base + ".sts", plat::Format("flag=%d\r\ncase=%d\r\nstep=%d\r\n", s.statusFlag, s.statusCase, s.statusStep));
  return base + ".in";
}

// A small frame: two columns and a beam on nodes 1-4, one fibre section
// with a rectangular and a circular block and a deck, a scalar section, a
// shell section with two shells, and a three-node element.
inline RunSpec SmallFrame(int type) {
  RunSpec s;
  s.type = type;
  s.nodes = {{1, 0, 0, 0}, {2, 0, 0, 3}, {3, 4, 0, 3}, {4, 4, 0, 0}, {5, 2, 0, 3}, {6, 2, 2, 3}};
  s.elems = {{11, 1, 2, 1, 0}, {12, 2, 3, 1, 0}, {13, 3, 4, 2, 0}};
  s.elems2 = {{21, 2, 3, 5, 1, 0}};
  s.quads = {{31, 3, {2, 5, 6, 2}}, {32, 3, {5, 3, 6, 5}}};
  s.sups = {{1, "111111"}, {4, "111000"}};
  Section fib{101, {2, 1, 0, 0, 0, 0}, {0, 0, 1}, {}, {}, {}};
  fib.blocks.push_back({{0, -0.2, 0, 0.2, 0, 0.3}, 2, 3, 0, 1});
  fib.blocks.push_back({{0.05, 0, 0.1, 1.5707963267948966, 0, 0}, 1, 2, 0, 1000002});
  fib.decks.push_back({{-0.1, 0.25, 0.1, 0.25, 0, 0.02}, 2, 1, 0, 2});
  Section scl{102, {0, 0, 0, 0, 1, 0}, {0, 1, 0}, {}, {}, {1.5, 2.5, 3.5, 4.5, 5.5, 6.5}};
  Section shell{103, {7, 8, 9, 0, 20, 0}, {0, 0, 0}, {}, {}, {0.2, 0, 0, 0, 0, 0}};
  s.secInfo = 6;
  s.secs = {fib, scl, shell};
  s.mats = {{201, 1, false, {2.05e5, 0.3, 0, 0, 0, 0}}, {202, 2, false, {3.0e4, 0.2, 0, 0, 0, 0}}};
  s.head33 = 48;  // two layers
  s.cases = {{1, 3, {{3, 1, 10.0}}, {}}, {2, 2, {}, {{1, 3, 0.01}}}};
  s.steps = 6;
  s.groundAccs = {{1, 2, 3, 0.5}};
  s.waves = {{7, {0.1, 0.2, 0.3}}, {8, {1, 2, 3, 4, 5, 6, 7}}};
  s.skipValues = 3;
  s.modes = 4;
  s.stored = type == 1 ? 5 : type == 2 ? 6 : 4;
  return s;
}

}  // namespace testrun
