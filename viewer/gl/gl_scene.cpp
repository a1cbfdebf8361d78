// The scene itself: its fields and their initial values, the first-draw
// set-up (settings files, camera fit, contour bar), the fixed state applied
// to the context at every frame, the projection, and the sequence of one
// frame, which calls the display lists (gl_scene_lists.cpp) in their order.
// What the lists hold is drawn by gl_scene_draw.cpp, picking is
// gl_pick.cpp and the camera moves gl_camera.cpp.
#include "viewer/gl/gl_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

// ---------------------------------------------------------------------------
// Life cycle

CGlScene::CGlScene() {
  InitViewSettings(settings);
  Init();
  m_lists.SetTable(ModelViewerLists());
}

CGlScene::~CGlScene() { Free(); }

void CGlScene::Init() {
  initialised = 0;
  m_lists.DeferAll();
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
  hitCount = 0;
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
  if (m_nodeIndex.Nodes() != nodes || m_nodeIndex.Count() != n || m_nodeIndexOf != doc.Generation()) {
    m_nodeIndex.Build(nodes, n);
    m_nodeIndexOf = doc.Generation();
  }
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

  if (!m_lists.Built(kListTriad)) DrawAxisTriad(true);
  m_lists.Call(kListBackground);

  const int edgeList = displayMode == 1 ? kListFlaggedEdges : kListEdges;
  if (surfacesOn) {
    if (displayMode == 0) {
      for (int k = 0; k < 4; ++k)
        if (kindVisible[k]) m_lists.Call(kListKind0 + k);
    } else if (displayMode == 1) {
      m_lists.Call(kListFlagged);
    } else if (displayMode == 2) {
      m_lists.Call(kListMaterial);
    }
    if (!StencilWanted()) m_lists.Call(edgeList);
  } else {
    glDisable(GL_DEPTH_TEST);
    m_lists.Call(edgeList);
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

