// The analysis input of the frame and its result files. The input text comes
// from the tests' run writer (tests/results/test_run_writer.h); the result
// files are written here, one step at a time, because the large runs (several
// gigabytes) do not fit in memory as whole files the way that writer builds
// them. The values are smooth, plausible fields (a push-over or a sway), not
// an analysis: they only have to look like results in the viewer.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "bench/frame_gen.h"
#include "platform/binary_file.h"
#include "platform/numbers.h"
#include "results/test_run_writer.h"

namespace benchgen {

namespace {

constexpr double kPi = 3.141592653589793;

testrun::RunSpec MakeRunSpec(const Frame& f, const RunOptions& o) {
  testrun::RunSpec s;
  s.type = o.type;
  s.version = 20;
  s.title = plat::Format("building frame %dx%d bays, %d storeys", f.frameDesc.baysX, f.frameDesc.baysY, f.frameDesc.storeys);
  s.secInfo = 5;
  s.matReals = 6;
  s.secParams = 9;
  s.head33 = 24 * f.layers;
  s.nodes.reserve(f.nodes.size());
  for (const FrameNode& n : f.nodes) s.nodes.push_back({n.no, n.x, n.y, n.z});
  s.elems.reserve(f.members.size());
  for (const FrameMember& m : f.members) s.elems.push_back({m.no, m.ni + 1, m.nj + 1, m.sec + 1, 0});
  s.quads.reserve(f.quads.size());
  for (const FrameQuad& q : f.quads)
    s.quads.push_back({q.no, f.shellSection + 1, {q.n[0] + 1, q.n[1] + 1, q.n[2] + 1, q.n[3] + 1}});
  for (int n : f.supports) s.sups.push_back({n + 1, "111111"});
  for (const FrameSection& sec : f.sections) {
    testrun::Section ts;
    ts.no = sec.no;
    ts.v[0] = sec.v[0];
    ts.v[1] = sec.v[1];
    ts.v[2] = sec.v[2];
    if (sec.shell) {
      const FrameMaterial& m = f.materials[static_cast<size_t>(sec.mat)];
      ts.info = {m.no, f.layers, 0, 0, 20};
      const double p[6] = {sec.thickness, m.e, m.nu, 0, 0, 0};
      std::copy(p, p + 6, ts.params);
    } else {
      ts.info = {static_cast<int>(sec.blocks.size()), static_cast<int>(sec.decks.size()), 0, 0, 0};
      for (const FrameBlock& b : sec.blocks) {
        testrun::Block tb{};
        if (b.arc) {
          const double c[6] = {b.r1, b.a1 * kPi / 180, b.r2, b.a2 * kPi / 180, b.yc, b.zc};
          std::copy(c, c + 6, tb.c);
          tb.i24 = 1000000 + b.mat + 1;
        } else {
          const double c[6] = {b.y1, b.z1, b.y2, b.z2, 0, b.t};
          std::copy(c, c + 6, tb.c);
          tb.i24 = b.mat + 1;
        }
        tb.i0 = b.cols;
        tb.i8 = b.rows;
        ts.blocks.push_back(tb);
      }
      for (const FrameDeck& d : sec.decks) {
        testrun::Block tb{};
        const double c[6] = {d.y1, d.z1, d.y2, d.z2, 0, std::sqrt(d.area * 4 / kPi)};
        std::copy(c, c + 6, tb.c);
        tb.i0 = d.bars;
        tb.i8 = 1;
        tb.i24 = d.mat + 1;
        ts.decks.push_back(tb);
      }
    }
    s.secs.push_back(std::move(ts));
  }
  for (const FrameMaterial& m : f.materials)
    s.mats.push_back({m.no, m.type, false, {m.e, m.nu, m.weight, m.strength, 0, 0}});

  auto loads = [](const std::vector<FrameLoad>& in) {
    std::vector<testrun::PointLoad> out;
    for (const FrameLoad& l : in) out.push_back({l.node + 1, l.dof, l.value});
    return out;
  };
  if (o.type == 1) {
    if (o.twoCases && o.steps >= 2) {
      s.cases.push_back({1, 1, loads(f.gravity), {}});
      s.cases.push_back({2, o.steps - 1, loads(f.lateral), {}});
    } else {
      s.cases.push_back({1, std::max(1, o.steps), loads(f.lateral), {}});
    }
  } else if (o.type == 2) {
    s.steps = o.steps;
    s.groundAccs = {{1, 1, 0, 1.0}};
    testrun::Wave w;
    w.head = 1;
    for (int k = 0; k <= std::max(8, o.steps); ++k) w.values.push_back(3.0 * std::sin(2 * kPi * k / 8.0));
    s.waves = {w};
  } else if (o.type == 3) {
    s.modes = std::max(1, o.steps);
  }
  s.writeResults = false;
  s.recWords = o.recWords;
  s.stored = o.steps;
  return s;
}

// A file of records of `d` payload words between int32 length markers,
// written word by word; the total is known up front so that the last,
// shorter record gets its right length.
class RecordStream {
 public:
  explicit RecordStream(int d) : m_d(std::max(1, d)) {}
  ~RecordStream() {
    if (m_file) std::fclose(m_file);
  }
  RecordStream(const RecordStream&) = delete;
  RecordStream& operator=(const RecordStream&) = delete;

  bool Open(const std::string& path, int64_t totalWords) {
    m_file = std::fopen(path.c_str(), "wb");
    m_left = totalWords;
    m_inRecord = 0;
    return m_file != nullptr;
  }
  void Put(uint32_t w) {
    if (m_inRecord == 0) {
      m_recLen = std::min<int64_t>(m_d, m_left);
      Marker();
    }
    unsigned char b[4] = {static_cast<unsigned char>(w), static_cast<unsigned char>(w >> 8),
                          static_cast<unsigned char>(w >> 16), static_cast<unsigned char>(w >> 24)};
    m_buf.append(reinterpret_cast<const char*>(b), 4);
    --m_left;
    if (++m_inRecord == m_recLen) {
      Marker();
      m_inRecord = 0;
    }
    if (m_buf.size() >= (1u << 20)) Flush();
  }
  bool Close() {
    Flush();
    const bool ok = m_file && !m_failed && m_left == 0 && std::fclose(m_file) == 0;
    m_file = nullptr;
    return ok;
  }

 private:
  void Marker() {
    unsigned char b[4];
    plat::EncodeInt32LE(static_cast<int32_t>(m_recLen * 4), b);
    m_buf.append(reinterpret_cast<const char*>(b), 4);
  }
  void Flush() {
    if (m_file && !m_buf.empty() && std::fwrite(m_buf.data(), 1, m_buf.size(), m_file) != m_buf.size())
      m_failed = true;
    m_buf.clear();
  }

  std::FILE* m_file = nullptr;
  int m_d;
  int64_t m_left = 0, m_inRecord = 0, m_recLen = 0;
  std::string m_buf;
  bool m_failed = false;
};

// The words of one step of a file as two patterns: value = f x lateral +
// g x gravity, where f and g are the step's load factors.
struct Pattern {
  std::vector<float> lateral, gravity;
  void Resize(size_t n) {
    lateral.assign(n, 0.0f);
    gravity.assign(n, 0.0f);
  }
};

struct FiberInfo {
  float e = 0, fy = 0;
};

// Load factors of step k (1-based): the lateral factor and the gravity factor.
void Factors(const RunOptions& o, int k, double& fl, double& fg) {
  if (o.type == 2) {
    fl = std::sin(2 * kPi * k / 8.0) * std::min(1.0, k / 4.0);
    fg = 1.0;
  } else if (o.twoCases && o.steps >= 2) {
    fl = k <= 1 ? 0.0 : static_cast<double>(k - 1) / (o.steps - 1);
    fg = 1.0;
  } else {
    fl = static_cast<double>(k) / std::max(1, o.steps);
    fg = 0.0;
  }
}

uint32_t Bits(float v) { return testrun::FloatBits(v); }

// The largest x and y of the frame's nodes (the plan starts at 0, 0).
void PlanExtent(const Frame& f, double& xmax, double& ymax) {
  xmax = ymax = 0;
  for (const FrameNode& n : f.nodes) {
    xmax = std::max(xmax, n.x);
    ymax = std::max(ymax, n.y);
  }
}

// The mode file of an eigen run: one word per mode (its period), the mode
// shapes (node by node X, Y, Z, RX, RY, RZ), then six participation factors
// and one effective mass ratio per mode. The shapes cycle through sway in X,
// sway in Y and torsion, each family with one more half wave up the height
// every round; the largest translation of a mode is 0.1.
bool WriteModeFile(const Frame& f, const std::string& path, const RunOptions& o, std::string* error) {
  const int modes = std::max(1, o.steps);
  const size_t n = f.nodes.size();
  const double H = std::max(1e-9, f.height);
  double xmax, ymax;
  PlanExtent(f, xmax, ymax);
  const double xc = xmax / 2, yc = ymax / 2, rmax = std::max(1e-9, std::hypot(xc, yc));
  RecordStream out(o.recWords);
  if (!out.Open(path, static_cast<int64_t>(modes) * (static_cast<int64_t>(n) * 6 + 8))) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  const double t1 = 0.02 * H;  // first period, seconds
  auto family = [](int k) { return (k - 1) % 3; };
  auto round = [](int k) { return (k - 1) / 3; };
  for (int k = 1; k <= modes; ++k) out.Put(Bits(static_cast<float>(t1 / (2 * round(k) + 1) / (1 + 0.1 * family(k)))));
  std::vector<double> shape(n * 6);
  for (int k = 1; k <= modes; ++k) {
    const double waves = (2 * round(k) + 1) * kPi / 2;  // quarter, three quarters, ... of a wave
    double peak = 1e-12;
    for (size_t i = 0; i < n; ++i) {
      const FrameNode& nd = f.nodes[i];
      const double u = std::sin(waves * nd.z / H), du = waves / H * std::cos(waves * nd.z / H);
      double* a = &shape[i * 6];
      std::fill(a, a + 6, 0.0);
      if (family(k) == 0) {
        a[0] = u;
        a[4] = du;
      } else if (family(k) == 1) {
        a[1] = u;
        a[3] = -du;
      } else {
        a[0] = -(nd.y - yc) / rmax * u;
        a[1] = (nd.x - xc) / rmax * u;
        a[5] = u / rmax;
      }
      peak = std::max({peak, std::fabs(a[0]), std::fabs(a[1])});
    }
    for (double v : shape) out.Put(Bits(static_cast<float>(0.1 * v / peak)));
  }
  for (int k = 1; k <= modes; ++k) {
    const double factor = 1.27 / (2 * round(k) + 1) * (round(k) % 2 ? -1 : 1);
    for (int d = 0; d < 6; ++d) {
      const bool main = (family(k) == 0 && d == 0) || (family(k) == 1 && d == 1) || (family(k) == 2 && d == 5);
      out.Put(Bits(static_cast<float>(main ? factor : 0.0)));
    }
  }
  for (int k = 1; k <= modes; ++k) out.Put(Bits(static_cast<float>(0.8 / ((2 * round(k) + 1) * (2 * round(k) + 1)))));
  if (!out.Close()) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

int64_t BlockSteps(const Frame& f, const RunOptions& o) {
  // As the loader computes it: records of v words, about 2 GB a block file.
  const uint64_t v = static_cast<uint64_t>(o.recWords);
  const uint64_t w = 512000000ull / (v + 2);
  const uint64_t fibers = static_cast<uint64_t>(f.Fibers());
  const uint64_t shells = static_cast<uint64_t>(f.quads.size()) * static_cast<uint64_t>(f.layers);
  const uint64_t c = fibers ? v * w / (3 * fibers) : 99999999ull;
  const uint64_t e = shells ? v * w / (24 * shells) : 99999999ull;
  return static_cast<int64_t>(std::min(c, e));
}

std::string WriteRun(const Frame& f, const std::string& dir, const std::string& name, const RunOptions& o,
                     std::string* error) {
  const testrun::RunSpec frameDesc = MakeRunSpec(f, o);
  const std::string base = dir + "/" + name;
  if (!plat::WriteWholeFile(base + ".in", testrun::InText(frameDesc), error)) return {};
  if (!o.results) return base + ".in";
  if (o.type == 3) return WriteModeFile(f, base + ".md", o, error) ? base + ".in" : std::string();

  const double H = std::max(1e-9, f.height);
  double xmax, ymax;
  PlanExtent(f, xmax, ymax);
  const double xc = xmax / 2, yc = ymax / 2;
  const int S = f.frameDesc.storeys;

  // Nodes: sway growing with height, a slight twist, slab sag.
  Pattern dis;
  dis.Resize(f.nodes.size() * 6);
  for (size_t i = 0; i < f.nodes.size(); ++i) {
    const FrameNode& n = f.nodes[i];
    float* a = &dis.lateral[i * 6];
    float* g = &dis.gravity[i * 6];
    const double sway = H / 100 * (n.z / H) * (1.5 - 0.5 * n.z / H);
    a[0] = static_cast<float>(sway * (1 + 0.1 * (n.y - yc) / std::max(1.0, ymax)));
    a[1] = static_cast<float>(0.05 * sway * (n.x - xc) / std::max(1.0, xmax));
    a[4] = static_cast<float>(sway / std::max(1.0, n.z) * 0.5);
    const double bx = std::fmod(n.x, f.frameDesc.bayX) / f.frameDesc.bayX, by = std::fmod(n.y, f.frameDesc.bayY) / f.frameDesc.bayY;
    g[2] = static_cast<float>(n.z > 0 ? -0.004 * std::sin(kPi * bx) * std::sin(kPi * by) - 0.0005 * n.z / H : 0.0);
  }

  // Member end forces: storey shear and overturning for columns, end moments
  // for beams.
  Pattern frc;
  frc.Resize(f.members.size() * 12);
  const double baseShear = 20.0 * 4 * (S + 1) / 2.0;
  const int cols = (f.frameDesc.baysX + 1) * (f.frameDesc.baysY + 1);
  for (size_t i = 0; i < f.members.size(); ++i) {
    const FrameMember& m = f.members[i];
    const FrameNode& p = f.nodes[static_cast<size_t>(m.ni)];
    float* a = &frc.lateral[i * 12];
    float* g = &frc.gravity[i * 12];
    const double above = 1.0 - static_cast<double>(m.storey - 1) / S;
    if (m.kind == FrameMember::kColumn || m.kind == FrameMember::kCornerColumn) {
      const double v = baseShear * above * above / cols;
      const double h = m.storey == 1 ? f.frameDesc.groundH : f.frameDesc.storeyH;
      const double axial = baseShear * H / 3 * above * (p.x - xc) / std::max(1.0, xmax * xmax) * 2;
      const double lat[12] = {axial, v, 0, 0, 0, v * h * 0.55, -axial, -v, 0, 0, 0, v * h * 0.45};
      const double grv[12] = {-150.0 * (S - m.storey + 1), 0, 0, 0, 0, 0, 150.0 * (S - m.storey + 1), 0, 0, 0, 0, 0};
      for (int k = 0; k < 12; ++k) {
        a[k] = static_cast<float>(lat[k]);
        g[k] = static_cast<float>(grv[k]);
      }
    } else {
      const double mb = baseShear * above * f.frameDesc.storeyH / cols;
      const double lat[12] = {0, 0, mb / 3, 0, mb, 0, 0, 0, -mb / 3, 0, mb, 0};
      const double grv[12] = {0, 0, 40, 0, -60, 0, 0, 0, 40, 0, -60, 0};
      for (int k = 0; k < 12; ++k) {
        a[k] = static_cast<float>(lat[k]);
        g[k] = static_cast<float>(grv[k]);
      }
    }
  }

  // Fibres, in element order, blocks then decks, row by row: strain from an
  // axial part and a bending part over the fibre's height in the section.
  std::vector<float> epsL, epsG;
  std::vector<FiberInfo> fibers;
  epsL.reserve(static_cast<size_t>(f.Fibers()));
  epsG.reserve(static_cast<size_t>(f.Fibers()));
  fibers.reserve(static_cast<size_t>(f.Fibers()));
  for (const FrameMember& m : f.members) {
    const FrameSection& sec = f.sections[static_cast<size_t>(m.sec)];
    const double above = 1.0 - static_cast<double>(m.storey - 1) / S;
    const bool column = m.kind == FrameMember::kColumn || m.kind == FrameMember::kCornerColumn;
    const double kappa = (column ? 0.0015 : 0.002) * (0.3 + above);
    const double axial = column ? -0.0003 * above : 0.0;
    auto add = [&](double eta, int mat) {
      const FrameMaterial& mm = f.materials[static_cast<size_t>(mat)];
      epsL.push_back(static_cast<float>(kappa * eta));
      epsG.push_back(static_cast<float>(axial + (column ? 0 : -0.0004 * eta)));
      fibers.push_back({static_cast<float>(mm.e), static_cast<float>(mm.strength)});
    };
    double zmax = 1e-9;
    for (const FrameBlock& b : sec.blocks) zmax = std::max({zmax, std::fabs(b.z1), std::fabs(b.z2), b.r2});
    for (const FrameDeck& d : sec.decks) zmax = std::max({zmax, std::fabs(d.z1), std::fabs(d.z2)});
    for (const FrameBlock& b : sec.blocks)
      for (int r = 0; r < b.rows; ++r)
        for (int c = 0; c < b.cols; ++c) {
          double eta;
          if (b.arc) {
            const double a = (b.a1 + (b.a2 - b.a1) * (r + 0.5) / b.rows) * kPi / 180;
            eta = (b.zc + b.r2 * std::sin(a)) / zmax;
          } else {
            // Columns run along the strip, rows across its thickness.
            const double len = std::hypot(b.y2 - b.y1, b.z2 - b.z1);
            const double nz = len > 0 ? (b.y2 - b.y1) / len : 0.0;
            const double along = (c + 0.5) / b.cols, across = (r + 0.5) / b.rows - 0.5;
            eta = (b.z1 + (b.z2 - b.z1) * along + nz * b.t * across) / zmax;
          }
          add(eta, b.mat);
        }
    for (const FrameDeck& d : sec.decks)
      for (int c = 0; c < d.bars; ++c) add((d.z1 + d.z2) / 2 / zmax, d.mat);
  }

  // Shells: membrane stress of the floor diaphragm and slab bending.
  const int layerWords = 24;
  Pattern sgs;
  sgs.Resize(f.quads.size() * static_cast<size_t>(f.layers * layerWords));
  for (size_t i = 0; i < f.quads.size(); ++i) {
    const FrameQuad& q = f.quads[i];
    double cx = 0, cy = 0;
    for (int k = 0; k < 4; ++k) {
      cx += f.nodes[static_cast<size_t>(q.n[k])].x / 4;
      cy += f.nodes[static_cast<size_t>(q.n[k])].y / 4;
    }
    const double above = 1.0 - static_cast<double>(q.storey - 1) / S;
    const double bx = std::fmod(cx, f.frameDesc.bayX) / f.frameDesc.bayX, by = std::fmod(cy, f.frameDesc.bayY) / f.frameDesc.bayY;
    for (int l = 0; l < f.layers; ++l)
      for (int p = 0; p < 4; ++p) {
        const double side = (p == 0 || p == 3) ? -1 : 1;
        float* a = &sgs.lateral[(i * static_cast<size_t>(f.layers) + static_cast<size_t>(l)) * layerWords + p * 6];
        float* g = &sgs.gravity[(i * static_cast<size_t>(f.layers) + static_cast<size_t>(l)) * layerWords + p * 6];
        a[0] = static_cast<float>(800.0 * above * (cx - xc) / std::max(1.0, xmax) * (1 + 0.1 * side));
        a[3] = static_cast<float>(300.0 * above * (1 - std::fabs(cx - xc) / std::max(1.0, xc)));
        g[0] = static_cast<float>(-2500.0 * std::sin(kPi * bx) * std::sin(kPi * by) * (l % 2 ? -1 : 1));
        g[1] = static_cast<float>(-2000.0 * std::sin(kPi * bx) * std::sin(kPi * by) * (l % 2 ? -1 : 1));
      }
  }
  const double slabE = f.materials[static_cast<size_t>(f.sections[static_cast<size_t>(f.shellSection)].mat)].e;

  const int64_t N = BlockSteps(f, o);
  const bool dynamic = o.type == 2;
  std::vector<uint32_t> words;

  auto writeFile = [&](int kind, bool split, int64_t stepWords, auto&& fill) -> bool {
    std::map<int, std::vector<int>> blocks;
    for (int k = 1; k <= o.steps; ++k) {
      int block = 1, pos = 0;
      if (split) testrun::BlockOf(k, static_cast<int>(N), block, pos);
      blocks[block].push_back(k);
    }
    for (const auto& [block, steps] : blocks) {
      const std::string prefix = block == 1 ? "" : plat::Format("%d", block - 1);
      const std::string path = dir + "/" + prefix + name + testrun::Ext(kind);
      RecordStream out(o.recWords);
      if (!out.Open(path, stepWords * static_cast<int64_t>(steps.size()))) {
        if (error) *error = "cannot write " + path;
        return false;
      }
      for (int k : steps) {
        words.assign(static_cast<size_t>(stepWords), 0u);
        double fl = 0, fg = 0;
        Factors(o, k, fl, fg);
        fill(fl, fg, words);
        for (uint32_t w : words) out.Put(w);
      }
      if (!out.Close()) {
        if (error) *error = "cannot write " + path;
        return false;
      }
    }
    return true;
  };
  auto linear = [](const Pattern& p, double scale) {
    return [&p, scale](double fl, double fg, std::vector<uint32_t>& w) {
      for (size_t i = 0; i < w.size(); ++i)
        w[i] = Bits(static_cast<float>((fl * p.lateral[i] + fg * p.gravity[i]) * scale));
    };
  };
  const size_t nf = fibers.size();
  auto sig = [&](double fl, double fg, std::vector<uint32_t>& w) {
    for (size_t i = 0; i < nf; ++i) {
      const double s = std::clamp(fibers[i].e * (fl * epsL[i] + fg * epsG[i]), -static_cast<double>(fibers[i].fy),
                                  static_cast<double>(fibers[i].fy));
      w[i * 3] = Bits(static_cast<float>(s));
      w[i * 3 + 1] = Bits(static_cast<float>(0.04 * s));
      w[i * 3 + 2] = Bits(static_cast<float>(0.01 * s));
    }
  };
  auto eps = [&](double fl, double fg, std::vector<uint32_t>& w) {
    for (size_t i = 0; i < nf; ++i) {
      const double e = fl * epsL[i] + fg * epsG[i];
      w[i * 3] = Bits(static_cast<float>(e));
      w[i * 3 + 1] = Bits(static_cast<float>(0.1 * e));
      w[i * 3 + 2] = Bits(static_cast<float>(0.02 * e));
    }
  };
  auto sta = [&](double fl, double fg, std::vector<uint32_t>& w) {
    for (size_t i = 0; i < nf; ++i) {
      const double s = std::fabs(fibers[i].e * (fl * epsL[i] + fg * epsG[i]));
      w[i] = s >= fibers[i].fy ? 2u : s >= 0.7 * fibers[i].fy ? 1u : 0u;
    }
  };
  auto shellState = [](double, double, std::vector<uint32_t>& w) { std::fill(w.begin(), w.end(), 0u); };

  using testrun::kDis, testrun::kVel, testrun::kAcc, testrun::kFrc, testrun::kSig, testrun::kEps, testrun::kSta,
      testrun::kSgs, testrun::kEss, testrun::kShellState;
  const int64_t nn = static_cast<int64_t>(f.nodes.size()), ne = static_cast<int64_t>(f.members.size());
  const int64_t nfi = static_cast<int64_t>(nf), nr = static_cast<int64_t>(f.quads.size()) * f.layers;
  bool ok = writeFile(kDis, false, nn * 6, linear(dis, 1.0)) && writeFile(kFrc, false, ne * 12, linear(frc, 1.0));
  if (ok && dynamic) {
    // Velocity and acceleration: the displacement pattern scaled.
    ok = writeFile(kVel, false, nn * 6, linear(dis, 2 * kPi / 0.8)) &&
         writeFile(kAcc, false, nn * 6, linear(dis, -(2 * kPi / 0.8) * (2 * kPi / 0.8)));
  }
  if (ok && nfi > 0)
    ok = writeFile(kSig, dynamic && N != 0, nfi * 3, sig) && writeFile(kEps, dynamic && N != 0, nfi * 3, eps) &&
         writeFile(kSta, dynamic && N != 0, nfi, sta);
  if (ok && nr > 0)
    ok = writeFile(kSgs, true, nr * 24, linear(sgs, 1.0)) && writeFile(kEss, true, nr * 24, linear(sgs, 1.0 / slabE)) &&
         writeFile(kShellState, true, nr * 4, shellState);
  if (ok && dynamic) {
    std::vector<uint32_t> w;
    for (int k = 1; k <= o.steps; ++k) {
      w.push_back(Bits(static_cast<float>(0.1 * k)));
      w.push_back(Bits(0.0f));
    }
    ok = plat::WriteWholeFile(base + ".tim", testrun::RecordBytes(w, 2), error);
  }
  return ok ? base + ".in" : std::string();
}

}  // namespace benchgen
