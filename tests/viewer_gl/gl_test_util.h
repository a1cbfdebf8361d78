// Shared pieces of the scene tests: the application object, small display
// models built by hand, and temporary folders for view-settings files.
#pragma once
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "viewer/display_model.h"
#include "wait_for.h"

inline QApplication* EnsureApp() {
  static int argc = 1;
  static char name[] = "viewer_gl_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return a;
  }();
  return app;
}

inline void PumpEvents(int ms) {
  QElapsedTimer t;
  t.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  } while (t.elapsed() < ms);
}

using testwait::WaitFor;

struct TestNode {
  int no;
  double x, y, z;
};

struct TestQuad {
  int no;
  int mat;
  int n[4];
  int colourClass = 0;
  int mode1 = 0;
};

// A display model from nodes, 4-node shells and materials (colours 0-255),
// normalised as the builders do.
inline void BuildModel(CDispModel& m, const std::vector<TestNode>& nodes,
                       const std::vector<TestQuad>& quads,
                       const std::vector<std::vector<int>>& matColours = {}, int faces = 0,
                       int lines = 0) {
  m.ResetModelCounts();
  m.AllocArrays(faces, lines, static_cast<int>(nodes.size()), static_cast<int>(quads.size()),
                static_cast<int>(matColours.size()));
  for (const TestNode& n : nodes) m.WidenBox(n.x, n.y, n.z);
  m.ComputeScale();
  for (size_t i = 0; i < nodes.size(); ++i)
    m.SetNode(static_cast<int>(i), nodes[i].no, nodes[i].x, nodes[i].y, nodes[i].z);
  m.m_nNodes = m.m_nCurNodes = static_cast<int>(nodes.size());
  for (size_t i = 0; i < quads.size(); ++i) {
    DispElem& e = m.m_aElems4[i];
    e.nNo = e.nNo2 = quads[i].no;
    e.nMat = quads[i].mat;
    for (int k = 0; k < 4; ++k) e.n[k] = quads[i].n[k];
    e.nColorClass = quads[i].colourClass;
    e.nMode1 = quads[i].mode1;
  }
  m.m_nElems4 = static_cast<int>(quads.size());
  for (size_t i = 0; i < matColours.size(); ++i) {
    DispMaterial& d = m.m_aMats[i];
    d.nNo = matColours[i][0];
    d.r = matColours[i][1];
    d.g = matColours[i][2];
    d.b = matColours[i][3];
  }
  m.m_nMats = static_cast<int>(matColours.size());
  m.m_nColorMode = -1;
  m.m_dDispScale = 1.0;
  m.IndexNodes();
  m.IndexMaterials();
}

// Appends one line primitive of `points` (raw coordinates): a segment for
// two points, a closed outline for more.
inline void AddLinePrimitive(CDispModel& m, const std::vector<std::vector<double>>& points,
                             int thick, int mode1, int colourClass = 0) {
  const int n = static_cast<int>(points.size());
  for (int k = 0; k < n; ++k) {
    DispLine& l = m.m_aLines[static_cast<size_t>(m.m_nLines++)];
    l.nCode = n - 1 - k;
    for (int j = 0; j < 3; ++j) l.p[j] = points[static_cast<size_t>(k)][static_cast<size_t>(j)];
    l.nThick = thick;
    l.nMode1 = mode1;
    l.nColorClass = colourClass;
  }
}

// A fresh temporary folder, removed with the object.
class TempDir {
 public:
  // mkdtemp, not the process id: a folder left by a killed test run under a
  // reused id would hand its settings files to this one.
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "viewer_gl_XXXXXX").string();
    if (::mkdtemp(tmpl.data())) path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string Path() const { return path_.string(); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ / name, std::ios::binary) << text;
  }

 private:
  std::filesystem::path path_;
};
