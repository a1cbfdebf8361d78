#include "viewer/gl/gl_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

#include "viewer/gl/gl_material.h"
#include "viewer/gl/gl_primitives.h"

namespace {

// Part kind of a colour class: above 3 counts as 3; a negative class (black,
// or "keep the material") is not one of the first three kinds either.
int KindOf(int colourClass) { return (colourClass > 3 || colourClass < 0) ? 3 : colourClass; }

bool KindMatches(int kind, int colourClass) { return kind < 0 || KindOf(colourClass) == kind; }

void SetBlackEdgeMaterial() {
  const float black[4] = {0, 0, 0, 1};
  const float white[4] = {1, 1, 1, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 64.0f);
}

// Ambient and diffuse of an edge or outline colour, alpha 1, both faces.
void SetLineColour(const int rgb[3]) {
  const float c[4] = {static_cast<float>(rgb[0] / 255.0), static_cast<float>(rgb[1] / 255.0),
                      static_cast<float>(rgb[2] / 255.0), 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
}

// Consecutive quads of one colour class go into one GL_QUADS primitive: one
// primitive a face made the driver compile about a million of them for a
// large model. The colour is set inside the primitive, as for single
// polygons (a display list keeps material changes between primitives only
// that way when the driver merges them).
class QuadRun {
 public:
  static constexpr int kNoColour = -99999;  // the material stays as it is
  explicit QuadRun(const int rgb[3]) : m_rgb(rgb) {}
  ~QuadRun() { End(); }
  QuadRun(const QuadRun&) = delete;
  QuadRun& operator=(const QuadRun&) = delete;

  // A flat quad of this colour class: a new run unless the open one has it.
  void Add(int colourClass, const double n[3], const double p[4][3]) {
    if (!m_open || colourClass != m_class) {
      End();
      glBegin(GL_QUADS);
      m_open = true;
      m_class = colourClass;
      if (colourClass != kNoColour) SetGLMaterialColor(colourClass, m_rgb);
    }
    glNormal3dv(n);
    for (int k = 0; k < 4; ++k) Vertex(p[k]);
  }
  void End() {
    if (m_open) glEnd();
    m_open = false;
  }

 private:
  const int* m_rgb;
  bool m_open = false;
  int m_class = kNoColour;
};

}  // namespace

// ---------------------------------------------------------------------------
// Pure helpers

void SortHitsByDepth(std::vector<unsigned>& names, std::vector<unsigned>& depths) {
  const size_t n = std::min(names.size(), depths.size());
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return depths[a] < depths[b]; });
  std::vector<unsigned> nn(n), dd(n);
  for (size_t i = 0; i < n; ++i) {
    nn[i] = names[order[i]];
    dd[i] = depths[order[i]];
  }
  std::copy(nn.begin(), nn.end(), names.begin());
  std::copy(dd.begin(), dd.end(), depths.begin());
}

int ReadHitRecords(const unsigned* buffer, int words, int hitCount, std::vector<unsigned>& names,
                   std::vector<unsigned>& depths) {
  names.clear();
  depths.clear();
  long long pos = 0;
  for (int h = 0; h < hitCount; ++h) {
    if (pos + 3 > words) break;
    const long long k = buffer[pos];
    if (pos + 3 + k > words) break;
    names.push_back(k > 0 ? buffer[pos + 3] : 0u);
    depths.push_back(buffer[pos + 1]);
    pos += 3 + k;
  }
  return static_cast<int>(names.size());
}

PickResult DecodePickName(unsigned name, const CDispModel& doc) {
  PickResult r;
  r.hit = true;
  r.name = name;
  const unsigned kind = name % 10;
  const long long i = name / 10;
  if (kind == kPickTria && i < std::min<long long>(doc.m_nElems3, doc.m_aElems3.size())) {
    r.elem = doc.m_aElems3[static_cast<size_t>(i)].nNo;
    r.mat = doc.m_aElems3[static_cast<size_t>(i)].nMat;
  } else if (kind == kPickQuad && i < std::min<long long>(doc.m_nElems4, doc.m_aElems4.size())) {
    r.elem = doc.m_aElems4[static_cast<size_t>(i)].nNo;
    r.mat = doc.m_aElems4[static_cast<size_t>(i)].nMat;
  } else if (kind == kPickFace && i < std::min<long long>(doc.m_nFaces, doc.m_aFaces.size())) {
    r.elem = doc.m_aFaces[static_cast<size_t>(i)].nElem;
    r.mat = doc.m_aFaces[static_cast<size_t>(i)].nMat;
  }
  return r;
}

bool ParseTriadFeedback(const float* buffer, int count, int floatsPerVertex, double tip[2],
                        double origin[2]) {
  bool haveTip = false, haveOrigin = false;
  int i = 0;
  auto vertexFits = [&](int at, int vertices) {
    return at + static_cast<long long>(vertices) * floatsPerVertex <= count;
  };
  while (i < count) {
    const int token = static_cast<int>(buffer[i++]);
    switch (token) {
      case GL_POINT_TOKEN:
      case GL_BITMAP_TOKEN:
      case GL_DRAW_PIXEL_TOKEN:
      case GL_COPY_PIXEL_TOKEN:
        if (!vertexFits(i, 1)) return haveTip && haveOrigin;
        if (token == GL_POINT_TOKEN && !haveTip) {
          tip[0] = buffer[i];
          tip[1] = buffer[i + 1];
          haveTip = true;
        }
        i += floatsPerVertex;
        break;
      case GL_LINE_TOKEN:
      case GL_LINE_RESET_TOKEN:
        if (!vertexFits(i, 2)) return haveTip && haveOrigin;
        if (!haveOrigin) {
          origin[0] = buffer[i];
          origin[1] = buffer[i + 1];
          haveOrigin = true;
        }
        i += 2 * floatsPerVertex;
        break;
      case GL_POLYGON_TOKEN: {
        if (i >= count) return haveTip && haveOrigin;
        const int n = static_cast<int>(buffer[i++]);
        if (n < 0 || !vertexFits(i, n)) return haveTip && haveOrigin;
        i += n * floatsPerVertex;
        break;
      }
      case GL_PASS_THROUGH_TOKEN:
        ++i;
        break;
      default:
        return haveTip && haveOrigin;  // not a token: the buffer is not understood
    }
  }
  return haveTip && haveOrigin;
}

void TriadLabelAlign(const double tip[2], const double origin[2], OverlayText::HAlign& h,
                     OverlayText::VAlign& v) {
  if (tip[0] > origin[0] + 3)
    h = OverlayText::kLeft;
  else if (tip[0] < origin[0] - 3)
    h = OverlayText::kRight;
  else
    h = OverlayText::kCenter;
  v = tip[1] > origin[1] + 3 ? OverlayText::kBottom : OverlayText::kTop;
}

// ---------------------------------------------------------------------------
// Life cycle

CGlScene::CGlScene() {
  InitViewSettings(settings);
  Init();
}

CGlScene::~CGlScene() { Free(); }

void CGlScene::Init(int lists) {
  initialised = 0;
  listBase = 0;
  listCount = std::clamp(lists, 12, kMaxLists);
  std::fill(std::begin(listBuilt), std::end(listBuilt), 0);
  triadX = triadY = 20;
  triadSize = 80;
  shaftRadius = 0.06;
  shaftLength = 0.7;
  headLength = 0.3;
  labelDistance = 1.1;
  target[0] = target[1] = target[2] = 0;
  useExtentProjection = 0;
  contourBar.reset();
  clientRect = SceneRect{};
  viewWidth = 30.0;
  flipped = 0;
  contextCreated = 0;
  hitCount = 0;
  selectBuffer.clear();
  hitNames.clear();
  hitDepths.clear();
  orthographic = 0;
  fovUsed = 90.0;
  surfacesOn = 1;
  std::fill(std::begin(kindVisible), std::end(kindVisible), 1);
  displayMode = 0;
  scale = 1.0;
  offset[0] = offset[1] = offset[2] = 0;
}

void CGlScene::Free() {
  contourBar.reset();
  selectBuffer = std::vector<unsigned>();
  hitNames = std::vector<unsigned>();
  hitDepths = std::vector<unsigned>();
}

void CGlScene::TakeNormalisation(const CDispModel& doc) {
  scale = doc.m_dScale;
  for (int i = 0; i < 3; ++i) offset[i] = doc.m_vCenter[i];
}

int CGlScene::NodeCount() const {
  if (!m_pDoc) return 0;
  const CDispModel& d = *m_pDoc;
  // The current positions are drawn; a model without them draws its base.
  if (d.m_nCurNodes > 0) return std::min(d.m_nCurNodes, static_cast<int>(d.m_aCurNodes.size()));
  return std::min(d.m_nNodes, static_cast<int>(d.m_aNodes.size()));
}

const DispNode* CGlScene::NodeArray() const {
  if (!m_pDoc) return nullptr;
  return m_pDoc->m_nCurNodes > 0 ? m_pDoc->m_aCurNodes.data() : m_pDoc->m_aNodes.data();
}

void CGlScene::BindModel(const CDispModel& doc, const SceneValues* values) {
  m_pDoc = &doc;
  m_pValues = values;
  const DispNode* nodes = NodeArray();
  const int n = NodeCount();
  if (m_nodeIndex.Nodes() != nodes || m_nodeIndex.Count() != n) m_nodeIndex.Build(nodes, n);
}

// ---------------------------------------------------------------------------
// Set-up

int CGlScene::Setup(const CDispModel& doc, const SceneFiles& files, const SceneValues* values,
                    void (*initSettings)(CViewSettings&)) {
  lastError.clear();
  m_nodeIndex.Clear();
  BindModel(doc, values);
  if (NodeCount() < 1) return kSetupNoNodes;

  (initSettings ? initSettings : InitViewSettings)(settings);
  ReadViewSettingsFiles(settings, files.programDir, files.dataDir, files.dataName);
  // A factor of 0 or less would divide the projection by zero.
  if (!(settings.factor > 0) || !std::isfinite(settings.factor)) settings.factor = 1.0;
  useExtentProjection = settings.frmsize[0] < 1e-5 ? 1 : 0;

  TakeNormalisation(doc);
  const double sx = doc.m_dMaxX - doc.m_dMinX;
  const double sy = doc.m_dMaxY - doc.m_dMinY;
  const double sz = doc.m_dMaxZ - doc.m_dMinZ;
  double e = sx;
  if (sy > e) e = sy;
  if (sz > e) e = sz;
  modelMiddle[0] = (doc.m_dMinX + doc.m_dMaxX) / 2;
  modelMiddle[1] = (doc.m_dMinY + doc.m_dMaxY) / 2;
  modelMiddle[2] = (doc.m_dMinZ + doc.m_dMaxZ) / 2;
  // All nodes in one point: keep the eye off the centre by the distance a
  // model of the normal scaled size would have.
  if (!(e > 0) || !std::isfinite(e)) e = scale > 0 ? 2.0 / scale : 2.0;

  if (!settings.centerGiven)
    for (int i = 0; i < 3; ++i) settings.center[i] = modelMiddle[i];
  const double dd = settings.persp == 0 ? 5 * e : e;
  if (settings.eyeGiven) {
    for (int i = 0; i < 3; ++i) settings.eye[i] = settings.eye[i] / scale - offset[i];
  } else {
    for (int i = 0; i < 3; ++i) settings.eye[i] = settings.center[i] + dd;
  }
  if (!settings.upGiven) {
    settings.up[0] = settings.up[1] = 0;
    settings.up[2] = 1;
  }
  if (!CameraValid()) {
    // An eye given on the centre (or a non-finite one) looks nowhere.
    for (int i = 0; i < 3; ++i) {
      if (!std::isfinite(settings.center[i])) settings.center[i] = modelMiddle[i];
      settings.eye[i] = settings.center[i] + dd;
      if (!std::isfinite(settings.up[i])) settings.up[i] = i == 2 ? 1 : 0;
    }
    // What is still wrong is an up of no length: it gives no orientation.
    if (!CameraValid()) {
      settings.up[0] = settings.up[1] = 0;
      settings.up[2] = 1;
    }
  }
  UpdateEyeAngles(settings);

  // Each set-up replaces the previous bar.
  contourBar.reset();
  const int m = doc.m_nColorMode;
  if (m >= 0 && m <= 17) {
    double lo = 0, hi = 0;
    if (settings.RangeGiven()) {
      lo = settings.rangeMin;
      hi = settings.rangeMax;
    } else if (values && m <= 13) {
      lo = values->valueMin[m];
      hi = values->valueMax[m];
    } else if (values) {
      lo = values->modeMin[m - 14];
      hi = values->modeMax[m - 14];
    }
    const ContourRgb first = {settings.ccolor[0], settings.ccolor[1], settings.ccolor[2]};
    const ContourRgb second = {settings.ccolor[3], settings.ccolor[4], settings.ccolor[5]};
    contourBar = std::make_unique<CContourBar>(lo, hi, first, second, std::string());
    contourBar->MakeLevels(settings.contour);
  }

  if (!SetupContext(settings.stencil)) return kSetupNoContext;
  return kSetupOk;
}

bool CGlScene::SetupContext(bool withStencil) {
  if (!contextCreated) {
    if (glGetString(GL_VERSION) == nullptr) {
      lastError = "OpenGL のコンテキストを作成できません。";
      std::fprintf(stderr, "OpenGL context: none is current\n");
      return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    const GLuint base = glGenLists(listCount);
    if (base == 0) {
      lastError = "OpenGL のディスプレイリストを確保できません。";
      std::fprintf(stderr, "OpenGL context: glGenLists(%d) failed\n", listCount);
      return false;
    }
    listBase = static_cast<int>(base);
    std::fill(std::begin(listBuilt), std::end(listBuilt), 0);
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    stencilAvailable = bits > 0;
    if (withStencil && !stencilAvailable) {
      // Outlines then come from the edge layer as without stencil.
      std::fprintf(stderr, "OpenGL context: no stencil buffer, outlines drawn as edges\n");
    }
    contextCreated = 1;
  }
  ApplyContextState();
  return true;
}

void CGlScene::ApplyContextState() {
  glClearColor(static_cast<float>(settings.bcolor[0] / 255.0),
               static_cast<float>(settings.bcolor[1] / 255.0),
               static_cast<float>(settings.bcolor[2] / 255.0), 1.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glStencilMask(~0u);
  if (!settings.plane1Given && !settings.plane2Given) glDisable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  for (int i = 0; i < 8; ++i) glDisable(GL_LIGHT0 + i);
  const float ambient[4] = {1, 1, 1, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  // State another painter may have left behind on the shared context.
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_POLYGON_OFFSET_LINE);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glLineWidth(1.0f);
}

void CGlScene::ContextLost() {
  contextCreated = 0;
  listBase = 0;
  std::fill(std::begin(listBuilt), std::end(listBuilt), 0);
}

void CGlScene::DeleteLists() {
  if (contextCreated && listBase != 0) glDeleteLists(static_cast<GLuint>(listBase), listCount);
  ContextLost();
}

void CGlScene::InvalidateLists() {
  std::fill(std::begin(listBuilt), std::end(listBuilt), 0);
  m_nodeIndex.Clear();  // the model may have changed in place
  m_faceOrder = std::vector<int>();
  m_faceKindStart.clear();
  m_faceOrderOf = nullptr;
}

double CGlScene::EffectiveFactor() const {
  return settings.factor > 0 && std::isfinite(settings.factor) ? settings.factor : 1.0;
}

// ---------------------------------------------------------------------------
// Projection

bool CGlScene::SetProjection(const CDispModel& doc, int x, int y, double pickSize,
                             const SceneRect& rect, bool picking) {
  const int w = rect.Width();
  const int h = rect.Height();
  if (w <= 0 || h <= 0) return false;
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (picking) {
    GLint vp[4] = {0, 0, w, h};
    gluPickMatrix(x, h - y, pickSize, pickSize, vp);
  }
  const double factor = EffectiveFactor();
  if (useExtentProjection) {
    double l = (doc.m_dMaxX - doc.m_dMinX) * doc.m_dScale;
    l = std::max(l, (doc.m_dMaxY - doc.m_dMinY) * doc.m_dScale);
    l = std::max(l, (doc.m_dMaxZ - doc.m_dMinZ) * doc.m_dScale);
    if (!(l > 0) || !std::isfinite(l)) l = 2.0;  // all nodes in one point
    l /= factor;
    orthographic = settings.persp ? 0 : 1;
    viewWidth = 3 * l;
    double zNear = settings.near, zFar = settings.far;
    // A perspective needs 0 < near < far; an orthographic box takes any
    // near and far that differ (a near plane behind the eye is allowed).
    const bool usable = std::isfinite(zNear) && std::isfinite(zFar) &&
                        (settings.persp ? (zNear > 0 && zFar > zNear) : zNear != zFar);
    if (!usable) {
      zNear = 0.001;
      zFar = 20.0;
    }
    if (settings.persp) {
      fovUsed = settings.anglex < 1 ? 30.0 : settings.anglex;
      // The vertical angle of a tall narrow window must stay below 180.
      const double fovy = std::min(fovUsed * h / w, 179.0);
      gluPerspective(fovy, static_cast<double>(w) / h, zNear, zFar);
    } else {
      glOrtho(-1.5 * l, 1.5 * l, -1.5 * l * h / w, 1.5 * l * h / w, zNear, zFar);
    }
  } else {
    const double fw = settings.frmsize[0];
    double fh = settings.frmsize[1];
    if (fh == 0) fh = 450.0;
    glOrtho(-fw / (2 * factor), fw / (2 * factor), -fh / 2, fh / 2, 1, 2000);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return true;
}

// ---------------------------------------------------------------------------
// Frame

void CGlScene::CallOrBuild(int n, int kind) {
  if (n < 0 || n >= listCount) return;
  const GLuint name = static_cast<GLuint>(listBase + n);
  if (listBuilt[n]) {
    glCallList(name);
    return;
  }
  // Compiled, then called: the same picture as compile-and-execute, and the
  // compile time can be told apart from the drawing.
  const auto t0 = std::chrono::steady_clock::now();
  glNewList(name, GL_COMPILE);
  BuildList(n, kind);
  glEndList();
  compileSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  ++listsCompiled;
  listBuilt[n] = 1;
  glCallList(name);
}

void CGlScene::BuildList(int n, int kind) {
  switch (n) {
    case kListBackground:
      DrawBackground(settings.bcolor1, settings.bcolor2);
      break;
    case kListEdges:
      EdgeLayer(-1);
      break;
    case kListFlaggedEdges:
      EdgeLayer(1);
      break;
    case kListFlagged:
      KindSurfaces(-1, 1);
      break;
    case kListMaterial:
      MaterialSurfaces();
      break;
    case kListPick:
      PickSurfaces();
      break;
    default:
      if (n >= kListKind0 && n < kListKind0 + 4) KindSurfaces(kind, -1);
      break;
  }
}

void CGlScene::Draw(const CDispModel& doc, const SceneRect& rect, const SceneValues* values) {
  overlay.clear();
  if (!contextCreated || rect.Width() <= 0 || rect.Height() <= 0) return;
  BindModel(doc, values);
  TakeNormalisation(doc);
  clientRect = rect;
  ApplyContextState();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  for (int i = 0; i < 3; ++i) target[i] = settings.center[i];
  double e[3], c[3];
  ToScaled(settings.eye, e);
  ToScaled(settings.center, c);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(e[0], e[1], e[2], c[0], c[1], c[2], settings.up[0], settings.up[1], settings.up[2]);

  if (!listBuilt[kListTriad]) DrawAxisTriad(true);
  CallOrBuild(kListBackground, 0);

  const int edgeList = displayMode == 1 ? kListFlaggedEdges : kListEdges;
  if (surfacesOn) {
    if (displayMode == 0) {
      for (int k = 0; k < 4; ++k)
        if (kindVisible[k]) CallOrBuild(kListKind0 + k, k);
    } else if (displayMode == 1) {
      CallOrBuild(kListFlagged, -1);
    } else if (displayMode == 2) {
      CallOrBuild(kListMaterial, -1);
    }
    if (!StencilWanted()) CallOrBuild(edgeList, -1);
  } else {
    glDisable(GL_DEPTH_TEST);
    CallOrBuild(edgeList, -1);
    glEnable(GL_DEPTH_TEST);
  }

  DrawAxisTriad(false);
  glFlush();
  double tips[3][2], origins[3][2];
  ProjectTriadTips(tips, origins);
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glFinish();
  DrawAxisLabels(rect.Height(), tips, origins);
}

void CGlScene::DrawBackground(const int top[3], const int bottom[3]) {
  glClear(GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, 0.001, 1000);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(0, 0, 1, 0, 0, 0, 0, 1, 0);
  glBegin(GL_QUADS);
  glNormal3d(0, 0, 1);
  SetFlatMaterial(bottom);
  glVertex3d(-1, -1, 0);
  glVertex3d(1, -1, 0);
  SetFlatMaterial(top);
  glVertex3d(1, 1, 0);
  glVertex3d(-1, 1, 0);
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

// ---------------------------------------------------------------------------
// Model geometry

bool CGlScene::ElemCorners(const DispElem& e, int corners, double p[4][3]) const {
  return FindNodePos(p, corners, e.n, m_nodeIndex) != 0;
}

bool CGlScene::ElemValues(const DispElem& e, double v[4][4]) const {
  if (!m_pValues || !m_pValues->pNodeValues) return FindElemNodePos(v, e.n, m_nodeIndex) != 0;
  for (int i = 0; i < 4; ++i) {
    const int k = m_nodeIndex.Find(e.n[i]);
    if (k < 0 || k >= m_pValues->nNodeValues) return false;
    for (int j = 0; j < 4; ++j) v[i][j] = m_pValues->pNodeValues[k][static_cast<size_t>(j)];
  }
  return true;
}

void CGlScene::FaceCorners(const DispFace& f, double p[4][3]) const {
  for (int k = 0; k < 4; ++k) ToScaled(f.p[k], p[k]);
}

double CGlScene::GetElementValue(int elementIndex, int column, bool secondLine) const {
  if (!m_pValues || !m_pValues->pRecords) return 0.0;
  if (elementIndex < 0 || elementIndex >= m_pValues->nRecords) return 0.0;
  if (column < 0 || column > 6) return 0.0;
  const double* rec = m_pValues->pRecords + static_cast<size_t>(elementIndex) * 15;
  return rec[1 + column + (secondLine ? 7 : 0)];
}

void CGlScene::DrawElements(int kind, int flagFilter, int colourMode, const CContourBar* bar,
                            bool outlined, bool withNames) {
  if (!m_pDoc) return;
  const CDispModel& d = *m_pDoc;
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  SetGLMaterialColor(kind <= 0 ? 0 : kind, settings.dcolor);
  double p[4][3], n[3];

  const int n3 = std::min(d.m_nElems3, static_cast<int>(d.m_aElems3.size()));
  for (int i = 0; i < n3; ++i) {
    const DispElem& e = d.m_aElems3[static_cast<size_t>(i)];
    if (!ElemCorners(e, 3, p)) {
      std::printf(" cannot find node of tria3( %d / %d )\n", i, n3);
      continue;
    }
    FlatNormal(p, n);
    if (withNames) glLoadName(static_cast<GLuint>(10 * i + kPickTria));
    glBegin(GL_POLYGON);
    glNormal3dv(n);
    for (int k = 0; k < 3; ++k) Vertex(p[k]);
    glEnd();
  }

  const bool perCorner = bar && colourMode >= 14 && colourMode <= 17;
  const bool perElement = bar && colourMode >= 0 && colourMode <= 13;
  // The picking pass needs a name per element, outlines and value colours
  // their own primitives: only plain class-coloured quads are batched.
  const bool batched = !withNames && !outlined && !perCorner && !perElement;
  QuadRun run(settings.dcolor);
  const int n4 = std::min(d.m_nElems4, static_cast<int>(d.m_aElems4.size()));
  for (int i = 0; i < n4; ++i) {
    const DispElem& e = d.m_aElems4[static_cast<size_t>(i)];
    if (!KindMatches(kind, e.nColorClass)) continue;
    if (flagFilter >= 0 && e.nMode1 != flagFilter) continue;
    double vals[4][4] = {};
    if (!ElemCorners(e, 4, p) || (perCorner && !ElemValues(e, vals))) {
      std::printf(" cannot find node of tria4( %d / %d )\n", i, n4);
      continue;
    }
    FlatNormal(p, n);
    if (batched) {
      run.Add(!bar ? e.nColorClass : QuadRun::kNoColour, n, p);
      continue;
    }
    if (withNames) glLoadName(static_cast<GLuint>(10 * i + kPickQuad));
    const std::function<void()> colour = [&] {
      if (perElement) {
        const double v = colourMode <= 6 ? GetElementValue(i, colourMode, false)
                                         : GetElementValue(i, colourMode - 7, true);
        SetGLMaterial(*bar, v);
      } else if (!bar && e.nColorClass != -99999) {
        SetGLMaterialColor(e.nColorClass, settings.dcolor);
      }
    };
    // Colours are set inside glBegin/glEnd: a display list keeps material
    // changes between primitives only that way when the driver merges them.
    auto polygon = [&](const std::function<void()>& material, bool perCornerColour) {
      glBegin(GL_POLYGON);
      glNormal3dv(n);
      material();
      for (int k = 0; k < 4; ++k) {
        if (perCornerColour) SetGLMaterial(*bar, vals[k][colourMode - 14]);
        Vertex(p[k]);
      }
      glEnd();
    };
    const std::function<void()> none = [] {};
    if (outlined) {
      // The outline goes into the stencil, the fill stays off it, and the
      // outline is drawn over the gap and clears the stencil again.
      glStencilFunc(GL_NEVER, 1, 1);
      glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
      glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
      polygon(none, false);
      glStencilFunc(GL_EQUAL, 0, 1);
      glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
      polygon(colour, perCorner);
      glStencilFunc(GL_ALWAYS, 0, 1);
      glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
      glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
      polygon([&] { SetLineColour(settings.lcolor); }, false);
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    } else {
      polygon(colour, perCorner);
    }
  }

  run.End();
  DrawFaces(kind, flagFilter, withNames);
}

const std::vector<int>& CGlScene::FaceKindOrder() {
  const CDispModel& d = *m_pDoc;
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  if (m_faceKindStart.size() != 5 || m_faceOrderOf != d.m_aFaces.data() ||
      static_cast<int>(m_faceOrder.size()) != nf) {
    GroupByKey(nf, 4, [&](int i) { return KindOf(d.m_aFaces[static_cast<size_t>(i)].nColorClass); },
               m_faceOrder, m_faceKindStart);
    m_faceOrderOf = d.m_aFaces.data();
  }
  return m_faceOrder;
}

void CGlScene::DrawFaces(int kind, int flagFilter, bool withNames) {
  const CDispModel& d = *m_pDoc;
  double p[4][3], n[3];
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  // Faces carry no value records: they keep their class colour.
  auto polygon = [&](const DispFace& f, int corners) {
    glBegin(GL_POLYGON);
    glNormal3dv(n);
    if (f.nColorClass != QuadRun::kNoColour) SetGLMaterialColor(f.nColorClass, settings.dcolor);
    for (int k = 0; k < corners; ++k) Vertex(p[k]);
    glEnd();
  };
  if (withNames) {
    for (int i = 0; i < nf; ++i) {
      const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
      if (!KindMatches(kind, f.nColorClass)) continue;
      if (flagFilter >= 0 && f.nMode1 != flagFilter) continue;
      FaceCorners(f, p);
      FlatNormal(p, n);
      glLoadName(static_cast<GLuint>(10 * i + kPickFace));
      polygon(f, f.nCorners == 3 ? 3 : 4);
    }
    return;
  }
  // The faces of one kind come from its group of the kind order, in array
  // order as before; runs of one colour class are one draw each. The quads
  // carry no normals: the scene lights with the global ambient alone (no
  // lamp), where a normal changes no pixel, and without them the driver
  // compiles a third faster and keeps 0.4 GB less at a million elements.
  const int* order = nullptr;
  int count = nf;
  if (kind >= 0) {
    order = FaceKindOrder().data() + m_faceKindStart[static_cast<size_t>(kind)];
    count = m_faceKindStart[static_cast<size_t>(kind) + 1] - m_faceKindStart[static_cast<size_t>(kind)];
  }
  CQuadStaging staged(false);
  int runStart = 0, runClass = 0;
  bool open = false;
  auto flush = [&] {
    staged.Draw(runStart, staged.Count() - runStart);
    runStart = staged.Count();
  };
  for (int t = 0; t < count; ++t) {
    const int i = order ? order[t] : t;
    const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
    if (flagFilter >= 0 && f.nMode1 != flagFilter) continue;
    FaceCorners(f, p);
    if (f.nCorners == 3) {
      flush();
      open = false;
      FlatNormal(p, n);
      polygon(f, 3);
      continue;
    }
    if (!open || f.nColorClass != runClass) {
      flush();
      open = true;
      runClass = f.nColorClass;
      if (runClass != QuadRun::kNoColour) SetGLMaterialColor(runClass, settings.dcolor);
    }
    if (staged.Full()) {
      flush();
      staged.Clear();
      runStart = 0;
    }
    staged.Add(p);
  }
  flush();
}

void CGlScene::DrawLines(int flagFilter, const CContourBar* bar) {
  DrawKindLines(-2, flagFilter, bar);
}

void CGlScene::DrawKindLines(int kind, int flagFilter, const CContourBar* bar) {
  // kind -2: every line (DrawLines), flagged ones in dcolor, the rest in
  // lcolor; otherwise the lines of that kind (negative: all) in dcolor.
  const bool allLines = kind == -2;
  auto flagMatch = [&](const DispLine& l) { return flagFilter >= 0 && l.nMode1 == flagFilter; };
  WalkLinePrimitives(
      [&](int, const DispLine& l) {
        return allLines || (KindMatches(kind, l.nColorClass) && (flagFilter < 0 || flagMatch(l)));
      },
      [&](int, const DispLine& l) {
        if (bar)
          SetGLMaterialColor(l.nColorClass, settings.dcolor);
        else
          SetLineColour(!allLines || flagMatch(l) ? settings.dcolor : settings.lcolor);
      });
}

void CGlScene::WalkLinePrimitives(const LineSelect& select, const LineColour& colour) {
  if (!m_pDoc) return;
  const CDispModel& d = *m_pDoc;
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glLineWidth(1.0f);
  int width = 1;
  const int nl = std::min(d.m_nLines, static_cast<int>(d.m_aLines.size()));
  for (int i = 0; i < nl;) {
    const DispLine& l = d.m_aLines[static_cast<size_t>(i)];
    const int code = l.nCode;
    if (code <= 0) {
      ++i;
      continue;
    }
    const long long last = static_cast<long long>(i) + code;
    if (last >= nl) break;  // a primitive that runs past the array is not drawn
    if (select(i, l)) {
      const int w = l.nThick ? 3 : 1;
      if (w != width) {
        glLineWidth(static_cast<float>(w));
        width = w;
      }
      double p[3];
      glBegin(code == 1 ? GL_LINES : GL_POLYGON);
      colour(i, l);
      for (long long k = i; k <= last; ++k) {
        ToScaled(d.m_aLines[static_cast<size_t>(k)].p, p);
        Vertex(p);
      }
      glEnd();
    }
    i = static_cast<int>(last) + 1;
  }
  glLineWidth(1.0f);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void CGlScene::DrawElementEdges(double displacementFactor) {
  if (!m_pDoc) return;
  const CDispModel& d = *m_pDoc;
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  double p[4][3];

  const int n3 = std::min(d.m_nElems3, static_cast<int>(d.m_aElems3.size()));
  glBegin(GL_TRIANGLES);
  SetLineColour(settings.lcolor);
  for (int i = 0; i < n3; ++i) {
    if (!ElemCorners(d.m_aElems3[static_cast<size_t>(i)], 3, p)) continue;
    for (int k = 0; k < 3; ++k) Vertex(p[k]);
  }
  glEnd();

  const int n4 = std::min(d.m_nElems4, static_cast<int>(d.m_aElems4.size()));
  glBegin(GL_QUADS);
  SetLineColour(settings.lcolor);
  for (int i = 0; i < n4; ++i) {
    const DispElem& e = d.m_aElems4[static_cast<size_t>(i)];
    double v[4][4];
    // Edges move by the nodes' own further values, whatever colours the corners.
    if (!ElemCorners(e, 4, p) || !FindElemNodePos(v, e.n, m_nodeIndex)) continue;
    for (int k = 0; k < 4; ++k) {
      glVertex3d(p[k][0] + displacementFactor * v[k][0], p[k][1] + displacementFactor * v[k][1],
                 p[k][2] + displacementFactor * v[k][2]);
    }
  }
  glEnd();

  // The outlines of the faces along the members, as quads in line mode (a
  // triangle repeats its last corner) from client arrays.
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  glBegin(GL_QUADS);
  SetLineColour(settings.lcolor);
  glEnd();
  CQuadStaging staged(false);
  for (int i = 0; i < nf; ++i) {
    const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
    if (f.nSide <= 0) continue;
    if (staged.Count() == 0) SetLineColour(settings.lcolor);
    FaceCorners(f, p);
    if (f.nCorners == 3)
      for (int j = 0; j < 3; ++j) p[3][j] = p[2][j];
    staged.Add(p);
    if (staged.Full()) {
      staged.Draw(0, staged.Count());
      staged.Clear();
    }
  }
  staged.Draw(0, staged.Count());
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

namespace {

// One filled polygon of the material display; outlines in the edge colour.
void MaterialPolygon(const double p[4][3], int corners, const double n[3], bool outlined,
                     const int lcolor[3], const std::function<void()>& material) {
  DrawOutlinedPolygon(p, corners, n, outlined, material, [&] { SetLineColour(lcolor); });
}

}  // namespace

static void DrawMaterialImpl(CGlScene& s, const CDispModel& d, const CDispNodeIndex& index,
                             int colourMode, double factor, bool outlined) {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  double p[4][3], n[3];
  const int n3 = std::min(d.m_nElems3, static_cast<int>(d.m_aElems3.size()));
  for (int i = 0; i < n3; ++i) {
    if (!FindNodePos(p, 3, d.m_aElems3[static_cast<size_t>(i)].n, index)) {
      std::printf(" cannot find node of tria3( %d / %d )\n", i, n3);
      continue;
    }
    FlatNormal(p, n);
    MaterialPolygon(p, 3, n, false, s.settings.lcolor, [] {});
  }
  // Outlined polygons end in the outline colour, so their material is set
  // again for every polygon; plain ones only when the material changes.
  bool haveMat = false;
  int lastMat = 0;
  auto material = [&](int mat) {
    if (colourMode >= 14) return;
    if (!outlined && haveMat && mat == lastMat) return;
    SetGLMaterialByMatNo(d, mat);
    haveMat = true;
    lastMat = mat;
  };
  const int n4 = std::min(d.m_nElems4, static_cast<int>(d.m_aElems4.size()));
  for (int i = 0; i < n4; ++i) {
    const DispElem& e = d.m_aElems4[static_cast<size_t>(i)];
    if (!DisplacedShellCorners(p, e.n, factor, index)) {
      std::printf(" cannot find node of tria4( %d / %d )\n", i, n4);
      continue;
    }
    FlatNormal(p, n);
    MaterialPolygon(p, 4, n, outlined, s.settings.lcolor, [&] { material(e.nMat); });
  }
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  for (int i = 0; i < nf; ++i) {
    const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
    for (int k = 0; k < 4; ++k) s.ToScaled(f.p[k], p[k]);
    FlatNormal(p, n);
    MaterialPolygon(p, f.nCorners == 3 ? 3 : 4, n, outlined, s.settings.lcolor,
                    [&] { material(f.nMat); });
  }
}

void CGlScene::DrawMaterialSurfaces(int colourMode, double displacementFactor) {
  if (m_pDoc) DrawMaterialImpl(*this, *m_pDoc, m_nodeIndex, colourMode, displacementFactor, false);
}

void CGlScene::DrawMaterialSurfacesOutlined(int colourMode, double displacementFactor) {
  if (m_pDoc) DrawMaterialImpl(*this, *m_pDoc, m_nodeIndex, colourMode, displacementFactor, true);
}

// Surfaces and lines of one part kind (kind 0-3) or of the flagged subset.
void CGlScene::KindSurfaces(int kind, int flagFilter) {
  if (!m_pDoc || !settings.pmodel[0]) return;
  const bool st = StencilWanted();
  if (st) {
    glEnable(GL_STENCIL_TEST);
    glClear(GL_STENCIL_BUFFER_BIT);
  }
  DrawElements(kind, flagFilter, m_pDoc->m_nColorMode, contourBar.get(), st, false);
  if (st) glDisable(GL_STENCIL_TEST);
  DrawKindLines(kind, flagFilter, contourBar.get());
}

void CGlScene::EdgeLayer(int flagFilter) {
  SetBlackEdgeMaterial();
  if (!m_pDoc || !settings.pmodel[1]) return;
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(static_cast<float>(settings.pofactor), static_cast<float>(settings.pounits));
  glLineWidth(0.1f);
  DrawLines(flagFilter, nullptr);
  DrawElementEdges(m_pDoc->m_dDispScale);
  glDisable(GL_POLYGON_OFFSET_LINE);
}

void CGlScene::MaterialSurfaces() {
  if (!m_pDoc) return;
  glDisable(GL_POLYGON_OFFSET_LINE);
  glLineWidth(0.1f);
  if (StencilWanted()) {
    glEnable(GL_STENCIL_TEST);
    glClear(GL_STENCIL_BUFFER_BIT);
    DrawLines(1, nullptr);
    DrawMaterialSurfacesOutlined(m_pDoc->m_nColorMode, m_pDoc->m_dDispScale);
    glDisable(GL_STENCIL_TEST);
  } else {
    DrawMaterialSurfaces(m_pDoc->m_nColorMode, m_pDoc->m_dDispScale);
  }
}

void CGlScene::PickSurfaces() {
  SetFlatMaterial(settings.dcolor);
  DrawElements(-1, -1, -1, nullptr, false, true);
}

// ---------------------------------------------------------------------------
// Axis triad

void CGlScene::DrawAxisTriad(bool build) {
  if (build) {
    if (kListTriad >= listCount) return;
    glNewList(static_cast<GLuint>(listBase + kListTriad), GL_COMPILE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const float specular[4] = {0.4f, 0.4f, 0.4f, 0.4f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 14.0f);
    GLUquadric* q = gluNewQuadric();
    if (q) {
      gluQuadricNormals(q, GLU_SMOOTH);
      gluQuadricDrawStyle(q, GLU_FILL);
      auto arrow = [&](const float colour[4]) {
        const float black[4] = {0, 0, 0, 1};
        glPushMatrix();
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, black);
        gluCylinder(q, shaftRadius, shaftRadius, shaftLength, 16, 2);
        glTranslated(0, 0, shaftLength);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, colour);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, colour);
        gluCylinder(q, 2 * shaftRadius, 0, headLength, 16, 2);
        glPopMatrix();
      };
      const float zc[4] = {0, 0, 0.8f, 1}, yc[4] = {0, 0.8f, 0, 1}, xc[4] = {0.8f, 0, 0, 1};
      arrow(zc);
      glPushMatrix();
      glRotated(90, -1, 0, 0);
      arrow(yc);
      glPopMatrix();
      glPushMatrix();
      glRotated(90, 0, 1, 0);
      arrow(xc);
      glPopMatrix();
      gluDeleteQuadric(q);
    }
    glEndList();
    listBuilt[kListTriad] = 1;
    return;
  }
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const int size = triadX + triadSize;  // 100 x 100 with the defaults
  glViewport(triadX, triadY, size, triadY + triadSize);
  glScissor(triadX, triadY, size, triadY + triadSize);
  glEnable(GL_SCISSOR_TEST);
  glClear(GL_DEPTH_BUFFER_BIT);
  // Only the depth clear needs the scissor; it must not clip the next frame.
  glDisable(GL_SCISSOR_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, 0.0001, 1000);
  glMatrixMode(GL_MODELVIEW);
  double e[3], t[3], dir[3];
  ToScaled(settings.eye, e);
  ToScaled(target, t);
  for (int i = 0; i < 3; ++i) dir[i] = e[i] - t[i];
  // The direction alone matters to the orthographic triad; at a fixed
  // distance the near plane never cuts an arrow of a close-up view.
  const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
  if (len > 0 && std::isfinite(len))
    for (double& v : dir) v = v / len * 10.0;
  gluLookAt(dir[0], dir[1], dir[2], 0, 0, 0, settings.up[0], settings.up[1], settings.up[2]);
  if (listBuilt[kListTriad]) glCallList(static_cast<GLuint>(listBase + kListTriad));
}

int CGlScene::ProjectTriadTips(double tips[3][2], double origins[3][2]) {
  GLdouble mv[16], pr[16];
  GLint vp[4];
  int fromFeedback = 0;
  for (int a = 0; a < 3; ++a) {  // z, y, x
    glPushMatrix();
    if (a == 1) glRotated(90, -1, 0, 0);
    if (a == 2) glRotated(90, 0, 1, 0);
    float fb[1000];
    glFeedbackBuffer(1000, GL_3D_COLOR, fb);
    glRenderMode(GL_FEEDBACK);
    glBegin(GL_POINTS);
    glVertex3d(0, 0, labelDistance);
    glEnd();
    glBegin(GL_LINES);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 0, labelDistance);
    glEnd();
    const int n = glRenderMode(GL_RENDER);
    if (n <= 0 || !ParseTriadFeedback(fb, n, 7, tips[a], origins[a])) {
      // A tip clipped off the triad's viewport: the same window position
      // computed without clipping.
      glGetDoublev(GL_MODELVIEW_MATRIX, mv);
      glGetDoublev(GL_PROJECTION_MATRIX, pr);
      glGetIntegerv(GL_VIEWPORT, vp);
      double z;
      gluProject(0, 0, labelDistance, mv, pr, vp, &tips[a][0], &tips[a][1], &z);
      gluProject(0, 0, 0, mv, pr, vp, &origins[a][0], &origins[a][1], &z);
    } else {
      ++fromFeedback;
    }
    glPopMatrix();
  }
  return fromFeedback;
}

void CGlScene::DrawAxisLabels(int windowHeight, const double tips[3][2],
                              const double origins[3][2]) {
  static const char* const kNames[3] = {"Z", "Y", "X"};
  static const unsigned char kColours[3][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
  for (int a = 2; a >= 0; --a) {  // X, Y, Z
    // A camera without a direction (a broken viewpoint) projects no tip.
    if (!std::isfinite(tips[a][0]) || !std::isfinite(tips[a][1]) ||
        !std::isfinite(origins[a][0]) || !std::isfinite(origins[a][1]))
      continue;
    OverlayText t;
    t.text = kNames[a];
    TriadLabelAlign(tips[a], origins[a], t.hAlign, t.vAlign);
    const int x = static_cast<int>(std::lround(tips[a][0]));
    const int y = windowHeight - static_cast<int>(std::lround(tips[a][1]));
    static const int kShadow[3][2] = {{1, 1}, {0, 1}, {1, 0}};
    for (const auto& s : kShadow) {
      t.x = x + s[0];
      t.y = y + s[1];
      t.r = t.g = t.b = 0;
      overlay.push_back(t);
    }
    t.x = x;
    t.y = y;
    t.r = kColours[a][0];
    t.g = kColours[a][1];
    t.b = kColours[a][2];
    overlay.push_back(t);
  }
}
