// The building frame and its keyword data file.
#include "bench/frame_gen.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "dataset/ip_dataset.h"
#include "model/beam_records.h"
#include "platform/numbers.h"

namespace benchgen {

namespace {

long long PerStorey(int bays, int div) {
  const long long n = bays;
  const long long cols = (n + 1) * (n + 1);
  const long long beams = 2 * (n + 1) * n * div;
  const long long quads = n * n * div * div;
  return cols + beams + quads;
}

// The smallest power of ten above `v`.
int PowerOfTenAbove(long long v) {
  long long p = 10;
  while (p <= v) p *= 10;
  return static_cast<int>(p);
}

FrameBlock Strip(double y1, double z1, double y2, double z2, double t, int cols, int rows, int mat) {
  FrameBlock b;
  b.y1 = y1;
  b.z1 = z1;
  b.y2 = y2;
  b.z2 = z2;
  b.t = t;
  b.cols = cols;
  b.rows = rows;
  b.mat = mat;
  return b;
}

FrameDeck Bars(double y1, double z1, double y2, double z2, double area, int bars, int mat) {
  FrameDeck d;
  d.y1 = y1;
  d.z1 = z1;
  d.y2 = y2;
  d.z2 = z2;
  d.area = area;
  d.bars = bars;
  d.mat = mat;
  return d;
}

}  // namespace

FrameSpec SpecForElements(long long elements) {
  FrameSpec s;
  s.div = 2;
  // About forty storeys at every size: the plan grows with the model.
  const double bays = std::sqrt(std::max(1.0, static_cast<double>(elements) / 40.0 / 9.0));
  s.baysX = s.baysY = std::max(2, static_cast<int>(std::lround(bays)));
  s.storeys = std::max(1, static_cast<int>(std::llround(static_cast<double>(elements) /
                                                        static_cast<double>(PerStorey(s.baysX, s.div)))));
  return s;
}

int Frame::FibersOf(const FrameMember& m) const {
  const FrameSection& sec = sections[static_cast<size_t>(m.sec)];
  int n = 0;
  for (const FrameBlock& b : sec.blocks) n += b.cols * b.rows;
  for (const FrameDeck& d : sec.decks) n += d.bars;
  return n;
}

long long Frame::Fibers() const {
  long long n = 0;
  for (const FrameMember& m : members) n += FibersOf(m);
  return n;
}

Frame BuildFrame(const FrameSpec& frameDesc) {
  Frame f;
  f.frameDesc = frameDesc;
  const int nx = frameDesc.baysX * frameDesc.div, ny = frameDesc.baysY * frameDesc.div;  // fine cells
  const int S = frameDesc.storeys;
  const double dx = frameDesc.bayX / frameDesc.div, dy = frameDesc.bayY / frameDesc.div;
  auto levelZ = [&](int l) { return l == 0 ? 0.0 : frameDesc.groundH + (l - 1) * frameDesc.storeyH; };
  f.height = levelZ(S);

  // Materials: concrete, reinforcing bars, structural steel.
  f.materials = {{1, 2, 2.8e7, 0.2, 24.0, 30000.0}, {2, 1, 2.05e8, 0.3, 77.0, 390000.0},
                 {3, 1, 2.05e8, 0.3, 77.0, 325000.0}};

  // Sections: reinforced concrete column, steel pipe corner column, H beam, slab.
  const bool fine = frameDesc.fineFibres;
  FrameSection col;
  col.no = 101;
  col.mat = 0;
  col.v[0] = 1;
  col.v[1] = 0;
  col.v[2] = 0;
  col.blocks.push_back(Strip(0, -0.35, 0, 0.35, 0.7, fine ? 4 : 2, fine ? 4 : 2, 0));
  col.decks.push_back(Bars(-0.28, -0.28, 0.28, -0.28, 5.07e-4, fine ? 4 : 2, 1));
  col.decks.push_back(Bars(-0.28, 0.28, 0.28, 0.28, 5.07e-4, fine ? 4 : 2, 1));
  FrameSection pipe;
  pipe.no = 102;
  pipe.mat = 2;
  pipe.v[0] = 1;
  pipe.v[1] = 0;
  pipe.v[2] = 0;
  FrameBlock ring;
  ring.arc = true;
  ring.r1 = 0.278;
  ring.r2 = 0.3;
  ring.a1 = 0;
  ring.a2 = 360;
  ring.cols = 1;
  ring.rows = fine ? 16 : 8;
  ring.mat = 2;
  pipe.blocks.push_back(ring);
  FrameSection beam;
  beam.no = 201;
  beam.mat = 2;
  beam.blocks.push_back(Strip(-0.1, 0.192, 0.1, 0.192, 0.016, fine ? 4 : 2, 1, 2));
  beam.blocks.push_back(Strip(0, -0.184, 0, 0.184, 0.009, fine ? 4 : 2, 1, 2));
  beam.blocks.push_back(Strip(-0.1, -0.192, 0.1, -0.192, 0.016, fine ? 4 : 2, 1, 2));
  FrameSection slab;
  slab.no = 301;
  slab.mat = 0;
  slab.shell = true;
  slab.thickness = 0.15;
  f.sections = {col, pipe, beam, slab};
  f.shellSection = 3;

  // Nodes: the column bases at ground level, then every floor's grid.
  const int rowMul = PowerOfTenAbove(nx + 1);
  const int levelMul = PowerOfTenAbove(static_cast<long long>(ny) * rowMul + nx + 1);
  std::vector<int> levelStart(static_cast<size_t>(S) + 1);
  auto floorNode = [&](int l, int i, int j) { return levelStart[static_cast<size_t>(l)] + j * (nx + 1) + i; };
  std::vector<int> baseNode(static_cast<size_t>(frameDesc.baysX + 1) * static_cast<size_t>(frameDesc.baysY + 1));
  for (int j = 0; j <= frameDesc.baysY; ++j)
    for (int i = 0; i <= frameDesc.baysX; ++i) {
      const int fi = i * frameDesc.div, fj = j * frameDesc.div;
      baseNode[static_cast<size_t>(j) * static_cast<size_t>(frameDesc.baysX + 1) + static_cast<size_t>(i)] =
          static_cast<int>(f.nodes.size());
      f.supports.push_back(static_cast<int>(f.nodes.size()));
      f.nodes.push_back({fj * rowMul + fi + 1, fi * dx, fj * dy, 0.0});
    }
  for (int l = 1; l <= S; ++l) {
    levelStart[static_cast<size_t>(l)] = static_cast<int>(f.nodes.size());
    for (int j = 0; j <= ny; ++j)
      for (int i = 0; i <= nx; ++i) f.nodes.push_back({l * levelMul + j * rowMul + i + 1, i * dx, j * dy, levelZ(l)});
  }

  // Members and shells, storey by storey: columns below the floor, the
  // floor's beams, then its slab.
  const int elemMul = PowerOfTenAbove(PerStorey(frameDesc.baysX, frameDesc.div));
  for (int s = 1; s <= S; ++s) {
    int k = 0;
    auto nextNo = [&] { return s * elemMul + (++k); };
    for (int j = 0; j <= frameDesc.baysY; ++j)
      for (int i = 0; i <= frameDesc.baysX; ++i) {
        const bool corner = (i == 0 || i == frameDesc.baysX) && (j == 0 || j == frameDesc.baysY);
        FrameMember m;
        m.no = nextNo();
        m.ni = s == 1 ? baseNode[static_cast<size_t>(j) * static_cast<size_t>(frameDesc.baysX + 1) + static_cast<size_t>(i)]
                      : floorNode(s - 1, i * frameDesc.div, j * frameDesc.div);
        m.nj = floorNode(s, i * frameDesc.div, j * frameDesc.div);
        m.sec = corner ? 1 : 0;
        m.kind = corner ? FrameMember::kCornerColumn : FrameMember::kColumn;
        m.storey = s;
        f.members.push_back(m);
      }
    for (int j = 0; j <= frameDesc.baysY; ++j)
      for (int i = 0; i < nx; ++i) {
        FrameMember m;
        m.no = nextNo();
        m.ni = floorNode(s, i, j * frameDesc.div);
        m.nj = floorNode(s, i + 1, j * frameDesc.div);
        m.sec = 2;
        m.kind = FrameMember::kBeamX;
        m.storey = s;
        f.members.push_back(m);
      }
    for (int i = 0; i <= frameDesc.baysX; ++i)
      for (int j = 0; j < ny; ++j) {
        FrameMember m;
        m.no = nextNo();
        m.ni = floorNode(s, i * frameDesc.div, j);
        m.nj = floorNode(s, i * frameDesc.div, j + 1);
        m.sec = 2;
        m.kind = FrameMember::kBeamY;
        m.storey = s;
        f.members.push_back(m);
      }
    for (int j = 0; j < ny; ++j)
      for (int i = 0; i < nx; ++i) {
        FrameQuad q;
        q.no = nextNo();
        q.n[0] = floorNode(s, i, j);
        q.n[1] = floorNode(s, i + 1, j);
        q.n[2] = floorNode(s, i + 1, j + 1);
        q.n[3] = floorNode(s, i, j + 1);
        q.storey = s;
        f.quads.push_back(q);
      }
    // Lateral loads at the four plan corners, growing with height; floor
    // loads at the column tops.
    const double lateral = 20.0 * s / S;
    for (int j : {0, frameDesc.baysY})
      for (int i : {0, frameDesc.baysX}) f.lateral.push_back({floorNode(s, i * frameDesc.div, j * frameDesc.div), 1, lateral});
    for (int j = 0; j <= frameDesc.baysY; ++j)
      for (int i = 0; i <= frameDesc.baysX; ++i)
        f.gravity.push_back({floorNode(s, i * frameDesc.div, j * frameDesc.div), 3, -0.15 * 24.0 * frameDesc.bayX * frameDesc.bayY});
  }
  return f;
}

bool WriteKeywordFile(const Frame& f, const std::string& path, std::string* error) {
  // The data set is large (it holds every record); it lives on the heap.
  auto ds = std::make_unique<CIpDataSet>();
  const int S = f.frameDesc.storeys;

  ds->m_Title.m_strTitle = plat::Format("building frame %dx%d bays, %d storeys, %lld elements", f.frameDesc.baysX,
                                        f.frameDesc.baysY, S, f.Elements());
  ds->m_Title.m_bEmpty = 0;

  for (const FrameNode& n : f.nodes) {
    auto rec = std::make_unique<CIpNode>();
    rec->m_nNo = n.no;
    rec->m_dX = n.x;
    rec->m_dY = n.y;
    rec->m_dZ = n.z;
    ds->m_Nodes.Append(std::move(rec));
  }
  // A comment record before each storey, as people write them.
  int lastStorey = 0;
  for (const FrameMember& m : f.members) {
    if (m.storey != lastStorey) {
      lastStorey = m.storey;
      auto c = std::make_unique<CIpElem>();
      c->m_strComment = plat::Format(" storey %d", m.storey);
      ds->m_Elems.Append(std::move(c));
    }
    auto rec = std::make_unique<CIpElem>();
    rec->m_nNo = m.no;
    rec->m_nProp = f.sections[static_cast<size_t>(m.sec)].no;
    rec->m_nNodeI = f.nodes[static_cast<size_t>(m.ni)].no;
    rec->m_nNodeJ = f.nodes[static_cast<size_t>(m.nj)].no;
    ds->m_Elems.Append(std::move(rec));
  }
  for (int s : f.supports) {
    auto rec = std::make_unique<CIpSup>();
    rec->m_nNo = f.nodes[static_cast<size_t>(s)].no;
    rec->m_nCode = 63;
    ds->m_Sups.Append(std::move(rec));
  }
  for (const FrameLoad& l : f.lateral) {
    auto rec = std::make_unique<CIpNLd>();
    rec->m_nKey = 1;
    rec->m_nNo = f.nodes[static_cast<size_t>(l.node)].no;
    rec->m_nCode = l.dof;
    rec->m_dValue = l.value;
    ds->m_NLds.Append(std::move(rec));
  }
  // Storey masses at the column tops, in both horizontal directions.
  for (const FrameLoad& l : f.gravity) {
    auto rec = std::make_unique<CIpMass>();
    rec->m_nNo = f.nodes[static_cast<size_t>(l.node)].no;
    rec->m_nDir = 3;
    rec->m_dValue = -l.value / 9.8;
    ds->m_Masses.Append(std::move(rec));
  }
  for (const FrameMaterial& m : f.materials) {
    auto rec = std::make_unique<CIpMat>();
    rec->m_nNo = m.no;
    rec->m_nType = m.type;
    rec->m_dVal1 = m.e;
    rec->m_dVal2 = m.nu;
    rec->m_dVal3 = m.weight;
    if (m.type == 2) {  // concrete: strength, strain at strength, tension, softening
      const double p[10] = {m.strength, 0.002, m.strength / 10, 0.0035, 0.2, 0, 0, 0, 0, 0};
      std::copy(p, p + 10, rec->m_aParam);
    } else {  // steel: yield stress, hardening ratio, ultimate
      const double p[7] = {m.strength, 0.01, m.strength * 1.3, 0.1, 0, 0, 0};
      std::copy(p, p + 7, rec->m_aParam);
    }
    ds->m_Mats.Append(std::move(rec));
  }
  for (const FrameSection& s : f.sections) {
    if (s.shell) {
      auto rec = std::make_unique<CIpPShell>();
      rec->m_nNo = s.no;
      rec->m_nPsOpt = f.materials[static_cast<size_t>(s.mat)].no;
      rec->m_dPs0 = s.thickness;
      rec->m_nShellType = CPShell::kLayeredType;
      rec->m_nLayers = 2;
      rec->m_dPs1 = f.materials[static_cast<size_t>(s.mat)].e;
      rec->m_dPs2 = f.materials[static_cast<size_t>(s.mat)].nu;
      for (double z : {-0.05, 0.05}) {
        CIpLayer layer;
        layer.m_dLay1 = z;
        layer.m_dLay2 = s.thickness / 2;
        layer.m_nLay = f.materials[static_cast<size_t>(s.mat)].no;
        rec->AddLayer(layer);
      }
      ds->m_PShells.Append(std::move(rec));
      continue;
    }
    auto rec = std::make_unique<CIpSec>();
    rec->m_nNo = s.no;
    rec->m_nMat = f.materials[static_cast<size_t>(s.mat)].no;
    rec->m_dVx = s.v[0];
    rec->m_dVy = s.v[1];
    rec->m_dVz = s.v[2];
    for (const FrameBlock& b : s.blocks) {
      CIpBlk blk;
      blk.m_nDiv1 = b.cols;
      blk.m_nDiv2 = b.rows;
      blk.m_nMat = f.materials[static_cast<size_t>(b.mat)].no;
      if (b.arc) {
        blk.m_nType = -1;
        blk.m_dY1 = b.r1;
        blk.m_dY2 = b.r2;
        blk.m_dZ1 = b.a1;
        blk.m_dZ2 = b.a2;
        blk.m_dYc = b.yc;
        blk.m_dZc = b.zc;
      } else {
        blk.m_dY1 = b.y1;
        blk.m_dZ1 = b.z1;
        blk.m_dY2 = b.y2;
        blk.m_dZ2 = b.z2;
        blk.m_dThick = b.t;
      }
      rec->AddBlk(blk);
    }
    for (const FrameDeck& d : s.decks) {
      CIpDck dck;
      dck.m_nCount = 1;
      dck.m_nDiv2 = d.bars;
      dck.m_nMat = 1;
      dck.m_dY1 = d.y1;
      dck.m_dZ1 = d.z1;
      dck.m_dY2 = d.y2;
      dck.m_dZ2 = d.z2;
      dck.m_dValue = d.area;
      rec->AddDck(dck);
    }
    ds->m_Secs.Append(std::move(rec));
  }
  for (const FrameQuad& q : f.quads) {
    auto rec = std::make_unique<CIpQuad>();
    rec->m_nNo = q.no;
    rec->m_nRef = f.sections[static_cast<size_t>(f.shellSection)].no;
    for (int k = 0; k < 4; ++k) rec->m_anNode[k] = f.nodes[static_cast<size_t>(q.n[k])].no;
    ds->m_Quads.Append(std::move(rec));
  }
  for (CIpBlock* b : {static_cast<CIpBlock*>(&ds->m_Nodes), static_cast<CIpBlock*>(&ds->m_Elems),
                      static_cast<CIpBlock*>(&ds->m_Quads)}) {
    if (b->GetRefused() > 0) {
      if (error) *error = plat::Format("%d records did not fit in block %s", b->GetRefused(), b->m_strKeyword.c_str());
      return false;
    }
  }

  ColumnModeScope wide(1);
  BeamFormatScope beams(1);
  return ds->WriteFile(path, error);
}

}  // namespace benchgen
