// The results viewer's view: scene set-up for every opened run, the
// table of display lists, the frame and the texts over it.
#include "resultsviewer/qm_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "platform/numbers.h"
#include "resultsviewer/contour_legend.h"
#include "resultsviewer/ui_hooks.h"
#include "viewer/gl/cjk_font.h"
#include "viewer/gl/first_picture.h"
#include "viewer/gl/gl_material.h"
#include "viewer/gl/gl_primitives.h"
#include "viewer/gl/splash_dlg.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kBlack[3] = {0, 0, 0};

}  // namespace

const int QmView::kFurtherColors[4][3] = {{255, 128, 128}, {255, 0, 0}, {128, 255, 128}, {0, 255, 0}};

void InitResultsViewSettings(CViewSettings& s) {
  InitViewSettings(s);
  for (int i = 0; i < 3; ++i) {
    s.bcolor1[i] = 255;
    s.dcolor[i] = 255;
  }
}

QmView::BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

QmView::BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

QmView::QmView(QWidget* parent) : CGlView(parent) {
  InitResultsViewSettings(m_scene.settings);
  m_scene.Init();
  m_scene.Lists().SetTable(ListTable());
  m_scene.viewWidth = 30.0;
  m_scene.fovUsed = 90.0;
  m_scene.surfacesOn = 1;
  setMouseTracking(false);
  connect(this, &QOpenGLWidget::frameSwapped, this, &QmView::OnFrameSwapped);
}

QmView::~QmView() = default;

void QmView::SetDocument(QmDoc* doc) {
  m_pDoc = doc;
  m_scene.initialised = 0;
  m_bRebuildAll = 1;
  if (doc) {
    // Count the result set's messages, so that a reader's failure that has
    // been told already is not told twice.
    doc->m_resultSet.m_fnShowMessage = [this](const std::string& text) {
      ++m_nMessages;
      varnek::MessageBox(this, text);
    };
  }
  update();
}

bool QmView::Stencil() const { return m_scene.settings.stencil && m_scene.stencilAvailable; }

// ---------------------------------------------------------------------------
// Set-up

int QmView::InitScene() {
  if (!m_pDoc || m_pDoc->m_nNodes < 1) {
    m_bDrawing = 0;
    return -1;
  }
  QmDoc& doc = *m_pDoc;
  BuildBoundaryFaces(doc.m_nSolids, doc.m_aSolids.data(), m_boundaryFaces);

  // The shared set-up binds the document to the scene, fits the camera and
  // makes the context; the settings are then read again from the results
  // viewer's own defaults, keeping the fitted camera (both use the same
  // camera keywords and defaults).
  SceneFiles files;
  files.programDir = QCoreApplication::applicationDirPath().toStdString();
  files.dataDir = doc.m_szFolder;
  files.dataName = doc.m_szName;
  const int r = m_scene.Setup(doc, files, nullptr);
  if (r == CGlScene::kSetupNoContext) {
    std::fprintf(stderr, "%s\n", m_scene.lastError.c_str());
    return -2;
  }
  if (r < 0) return -1;
  CViewSettings& s = m_scene.settings;
  const CViewSettings camera = s;
  InitResultsViewSettings(s);
  const int read = ReadViewSettingsFiles(s, files.programDir, files.dataDir, files.dataName);
  m_nStatus = read > 0 ? 0 : 7;
  if (!(s.factor > 0) || !std::isfinite(s.factor)) s.factor = 1.0;
  m_scene.useExtentProjection = s.frmsize[0] < 1e-5 ? 1 : 0;
  for (int i = 0; i < 3; ++i) {
    s.eye[i] = camera.eye[i];
    s.center[i] = camera.center[i];
    s.up[i] = camera.up[i];
  }
  s.distance = camera.distance;
  s.azimuth = camera.azimuth;
  s.polar = camera.polar;
  s.flip = camera.flip;
  // The results viewer always projects in perspective.
  s.persp = 1;
  for (double& v : m_vOffset) v = 0.0;

  // Each set-up replaces the previous bar. The document's ranges are never
  // filled here: the bar spans the settings' range or -1 .. 1 until a value
  // diagram sets its own.
  m_pContourBar.reset();
  const int m = doc.m_nColorMode;
  if (m >= 0 && m <= 17) {
    double lo = 0, hi = 0;
    if (s.RangeGiven()) {
      lo = s.rangeMin;
      hi = s.rangeMax;
    }
    SanitizeRange(lo, hi);
    const ContourRgb first = {s.ccolor[0], s.ccolor[1], s.ccolor[2]};
    const ContourRgb second = {s.ccolor[3], s.ccolor[4], s.ccolor[5]};
    m_pContourBar = std::make_unique<CContourBar>(lo, hi, first, second, std::string());
    m_pContourBar->MakeLevels(s.contour);
  }

  const std::string eyePath = doc.m_szFolder + doc.m_szName + ".eye";
  const auto shown = [this](const EyeRecord& r) { return m_scene.CanShowViewpoint(r); };
  if (const int dropped = m_eyes.StartFromFile(eyePath, s, shown)) {
    // Told once the paint is over.
    QTimer::singleShot(0, this, [this, text = DroppedEyesText(eyePath, dropped)] { varnek::MessageBox(this, text); });
  }
  // A caption names a step of the run it was read from.
  if (doc.m_nDocSerial != m_nSceneSerial) m_szStepText.clear();
  m_nSceneSerial = doc.m_nDocSerial;
  emit stateChanged();
  return 0;
}

void QmView::SetViewport() {
  const SceneRect rc = ClientRect();
  m_scene.clientRect = rc;
  m_scene.SetProjection(*m_pDoc, 0, 0, 0, rc, false);
}

int QmView::DrawScene(bool surfacesOn) {
  if (m_bDrawing) return -999;
  m_bDrawing = 1;
  if (!m_scene.initialised) {
    const int r = InitScene();
    if (r < 0) {
      m_bDrawing = 0;
      return r;
    }
    m_scene.initialised = 1;
    m_bRebuildAll = 1;
  }
  if (!m_scene.contextCreated) {
    // Qt made a new context: its lists are built anew.
    if (!m_scene.SetupContext(m_scene.settings.stencil)) {
      m_bDrawing = 0;
      return -2;
    }
    m_bRebuildAll = 1;
  }
  SetViewport();
  RenderScene(surfacesOn, m_bRebuildAll != 0);
  m_bRebuildAll = 0;
  m_bDrawing = 0;
  ++m_nFrames;
  return 0;
}

bool QmView::RenderFrame() {
  if (!m_pDoc) return false;
  if (m_pDoc->m_bNewData) m_scene.initialised = 0;
  const int r = DrawScene(m_scene.surfacesOn != 0);
  // No picture will come: the splash need not wait for one.
  if (r < 0 && r != -999) CSplashDlg::PictureShown();
  return r >= 0;
}

void QmView::OnFrameSwapped() {
  const int report = m_nSwapReport;
  m_nSwapReport = 0;
  if (report & 1) {
    m_bFirstPictureShown = true;
    CSplashDlg::PictureShown();
    ReportPicture("first");
  }
  if (report & 2) ReportPicture("diagram");
}

// ---------------------------------------------------------------------------
// Lists

std::vector<CGlListSet::Entry> QmView::ListTable() {
  const auto structure = [this](int n) { return [this, n] { DrawStructureList(n); }; };
  // The diagrams' lists are compiled by their commands, with their bodies.
  return {
      m_scene.BackgroundList(),
      {kListEdges, "edge layer", structure(kListEdges), {}, {}},
      {kListSurfaces, "solid mode surfaces", structure(kListSurfaces), {}, {}},
      {kListSolidEdges, "solid mode edge layer", structure(kListSolidEdges), {}, {}},
      {kListStructure, "structure", structure(kListStructure), {}, [this] { return Stencil(); }},
      {kListMaterial, "material display", structure(kListMaterial), {}, {}},
      m_scene.TriadList(),
      {kListDiagram, "diagram", {}, {}, {}},
      {kListDiagramEdges, "diagram edge layer", {}, {}, {}},
  };
}

void QmView::BuildDisplayLists(bool surfacesOn, int colourMode, double factor) {
  QmDoc& doc = *m_pDoc;
  const CViewSettings& s = m_scene.settings;
  // The material colours of the drawing come from the palette of `matcolor`.
  doc.m_colorTable.m_nColors = 0;
  doc.SelectColorScheme(s.matcolor);
  doc.IndexMaterials();
  m_bSolidMode = 0;
  m_structureArgs = {surfacesOn, colourMode, factor, m_pContourBar != nullptr};

  CGlListSet& lists = Lists();
  lists.Compile(kListBackground);
  lists.Compile(kListDiagram, [] {});
  lists.Compile(kListDiagramEdges, [] {});
  // The lists of the solid and material modes are made
  // from these arguments when they are first called: a large model's
  // structure then costs one copy of its faces in the lists, not three.
  for (int n : {kListSurfaces, kListSolidEdges, kListMaterial}) lists.Defer(n);
  m_bStructureReleased = false;
  m_bDiagramListsHeld = false;
  // The outlined structure may be drawn directly (CGlListSet): its list then stays empty.
  lists.Compile(kListEdges);
  lists.Compile(kListStructure);
  m_scene.DrawAxisTriad(true);
}

void QmView::ReleaseStructureLists() {
  for (int n : {kListEdges, kListSurfaces, kListSolidEdges, kListStructure, kListMaterial})
    if (!Lists().Deferred(n)) Lists().Release(n);
  m_bStructureReleased = true;
}

void QmView::ReleaseDiagramLists() {
  if (!m_bDiagramListsHeld) return;
  Lists().Compile(kListDiagram, [] {});
  Lists().Compile(kListDiagramEdges, [] {});
  m_bDiagramListsHeld = false;
}

void QmView::DrawStructureList(int n) {
  const CViewSettings& s = m_scene.settings;
  const bool stencil = Stencil();
  const bool surfacesOn = m_structureArgs.surfacesOn;
  const int colourMode = m_structureArgs.colourMode;
  const double factor = m_structureArgs.factor;
  const CContourBar* bar = m_structureArgs.bar ? m_pContourBar.get() : nullptr;
  auto structure = [&](bool material) {
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glLineWidth(0.1f);
    if (stencil) {
      if (surfacesOn) {
        glEnable(GL_STENCIL_TEST);
        glClear(GL_STENCIL_BUFFER_BIT);
      }
      m_scene.DrawLines(1, nullptr);
      if (material)
        m_scene.DrawMaterialSurfacesOutlined(colourMode, factor);
      else
        DrawFaces(colourMode, nullptr, factor, kFurtherColors[2], true);
    } else if (material) {
      m_scene.DrawMaterialSurfaces(colourMode, factor);
    } else {
      DrawFaces(colourMode, nullptr, factor, kFurtherColors[2], false);
    }
    glDisable(GL_STENCIL_TEST);
  };
  switch (n) {
    case kListSurfaces: {
      SetFlatMaterial(s.dcolor);
      if (s.dmodel[0]) {
        const bool st = surfacesOn && stencil;
        if (st) {
          glEnable(GL_STENCIL_TEST);
          glClear(GL_STENCIL_BUFFER_BIT);
        }
        m_scene.DrawElements(-1, -1, colourMode, nullptr, stencil);
        if (st) glDisable(GL_STENCIL_TEST);
      }
      DrawFlaggedLineItems(bar);
      break;
    }
    case kListEdges:
      BuildEdgeLayer(nullptr, factor, false);
      break;
    case kListSolidEdges:
      BuildEdgeLayer(nullptr, factor, true);
      break;
    case kListStructure:
      structure(false);
      break;
    case kListMaterial:
      structure(true);
      break;
    default:
      break;
  }
}

void QmView::BuildDiagramFaceList(const CContourBar* bar, double factor) {
  const CViewSettings& s = m_scene.settings;
  SetFlatMaterial(kFurtherColors[0]);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(static_cast<float>(s.pofactor), static_cast<float>(s.pounits));
  glLineWidth(0.1f);
  DrawFaces(1, bar, factor, kFurtherColors[0], false, &m_diagramFacePlaces);
  glDisable(GL_POLYGON_OFFSET_FILL);
}

void QmView::BuildEdgeLayer(const CContourBar* bar, double factor, bool solid, bool overOffsetFaces) {
  const CViewSettings& s = m_scene.settings;
  SetFlatMaterial(kBlack);
  if (!s.dmodel[1]) return;
  // Edges lie the offset in front of their faces; a diagram's faces carry
  // that offset themselves, so its edges take it twice (the same offset on
  // both made them fight for depth and broke the edges into dashes).
  const double k = overOffsetFaces ? 2.0 : 1.0;
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(static_cast<float>(k * s.pofactor), static_cast<float>(k * s.pounits));
  glLineWidth(0.1f);
  DrawLineItemsByValue(solid ? nullptr : bar);
  if (overOffsetFaces) {
    m_scene.DrawElementEdges(factor, Lists().Base() + kListDiagram, &m_diagramFacePlaces);
    m_diagramFacePlaces = std::vector<int>();
  } else {
    m_scene.DrawElementEdges(factor);
  }
  glDisable(GL_POLYGON_OFFSET_LINE);
}

// ---------------------------------------------------------------------------
// Drawers

int QmView::FaceValueColumn() const {
  // Fibre strain sits in places 3-5 of a fibre's block; section forces use
  // component k of the twelve end values directly.
  if (m_nViewMode == kModeFiberStrain) return m_nLastComponent + 3;
  return m_nLastComponent;
}

void QmView::DrawFaces(int colourMode, const CContourBar* bar, double factor, const int plain[3],
                       bool outlined, std::vector<int>* places) {
  (void)colourMode;  // one value per element or face in every mode the view shows
  const QmDoc& d = *m_pDoc;
  const CViewSettings& s = m_scene.settings;
  const CDispNodeIndex& index = d.m_curNodeIndex;
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  SetFlatMaterial(plain);
  // Plain faces are staged with the colour the material has when each is
  // drawn; outlined ones set their colours inside their polygons.
  CFaceStaging staged;
  const float plainRgba[4] = {static_cast<float>(plain[0] / 255.0), static_cast<float>(plain[1] / 255.0),
                              static_cast<float>(plain[2] / 255.0), 1.0f};
  float colourNow[4];
  std::copy(plainRgba, plainRgba + 4, colourNow);
  bool plainSet = true;
  // The value colour last set (valid while valueSet): a face of the same
  // colour as the one before sets nothing.
  bool valueSet = false;
  auto usePlain = [&] {
    if (!outlined) {
      std::copy(plainRgba, plainRgba + 4, colourNow);
      return;
    }
    if (!plainSet) SetFlatMaterial(plain);
    plainSet = true;
    valueSet = false;
  };
  // The colour `rgba` of a value (`code` below 0: one the bar cannot colour,
  // which keeps the last one).
  auto valueColour = [&](int code, const float rgba[4]) {
    if (code < 0) return;
    if (!outlined) {
      std::copy(rgba, rgba + 4, colourNow);
      return;
    }
    plainSet = false;
    if (valueSet && std::equal(rgba, rgba + 4, colourNow)) return;
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, rgba);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, rgba);
    std::copy(rgba, rgba + 4, colourNow);
    valueSet = true;
  };
  if (places) places->assign(std::min(static_cast<size_t>(std::max(0, d.m_nFaces)), d.m_aFaces.size()), -1);
  int face = -1;  // the face being drawn (-1: a shell)
  auto draw = [&](const double p[4][3], int corners, const double n[3], const std::function<void()>& colour) {
    if (!outlined) {
      colour();
      const long long at = staged.Add(p, corners, n, colourNow);
      if (places && face >= 0 && at <= INT32_MAX) (*places)[static_cast<size_t>(face)] = static_cast<int>(at);
      if (staged.Full()) staged.Draw();
      return;
    }
    DrawOutlinedPolygon(p, corners, n, outlined, colour, [&] {
      SetFlatMaterial(s.lcolor);
      plainSet = false;
      valueSet = false;
    });
  };

  const int column = FaceValueColumn();
  m_scene.ForEachSurfacePolygon(d, index, factor, [&](int kind, int i, int corners, const double p[4][3],
                                                      const double n[3]) {
    face = kind == 0 ? i : -1;
    double value = 0;
    bool valued = false;
    if (kind == 4) {
      valued = bar && d.ShellValue(i, value);
    } else if (kind == 0) {
      const double* block = bar ? d.FaceBlock(i) : nullptr;
      // NaN: an item its table lacked, drawn without a value.
      valued = block && column >= 0 && column < kValueBlock && !std::isnan(block[column]);
      if (valued) value = block[column];
    }
    if (!valued) {
      draw(p, corners, n, usePlain);
      return;
    }
    float rgba[4];
    const int code = ContourColorCode(*bar, value, rgba);
    if (code == 0 && s.oor == 0) return;
    draw(p, corners, n, [&] { valueColour(code, rgba); });
  });
  staged.Draw();
  if (places && (outlined || !staged.AllInBuffers())) *places = std::vector<int>();
}

void QmView::DrawLineItemsByValue(const CContourBar* bar) {
  const QmDoc& d = *m_pDoc;
  const CViewSettings& s = m_scene.settings;
  bool lineColour = false;
  auto colour = [&](int first, const DispLine&) {
    const double* block = bar ? d.LineBlock(first) : nullptr;
    const int k = m_nLastComponent;
    if (block && k >= 0 && k < kValueBlock && SetGLMaterialResult(*bar, block[k]) >= 0) {
      lineColour = false;
    } else if (!lineColour) {
      SetFlatMaterial(s.lcolor);
      lineColour = true;
    }
  };
  m_scene.WalkLinePrimitives([](int, const DispLine&) { return true; }, colour);
}

void QmView::DrawFlaggedLineItems(const CContourBar* bar) {
  const CViewSettings& s = m_scene.settings;
  auto colour = [&](int, const DispLine& l) {
    if (bar)
      SetGLMaterialColor(l.nColorClass, s.dcolor);
    else
      SetFlatMaterial(s.dcolor);
  };
  m_scene.WalkLinePrimitives([](int, const DispLine& l) { return l.nMode1 == 1; }, colour);
}

// ---------------------------------------------------------------------------
// Frame

void QmView::RenderScene(bool surfacesOn, bool rebuildAll) {
  QmDoc& doc = *m_pDoc;
  CViewSettings& s = m_scene.settings;
  m_scene.SetupContext(s.stencil);
  m_scene.TakeNormalisation(doc);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  for (int i = 0; i < 3; ++i) m_scene.target[i] = s.center[i];
  double e[3], c[3];
  m_scene.ToScaled(s.eye, e);
  m_scene.ToScaled(s.center, c);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(e[0], e[1], e[2], c[0], c[1], c[2], s.up[0], s.up[1], s.up[2]);

  // A frame that makes lists, or first draws lists just made, takes seconds
  // on a large run: the wait cursor shows over all of it.
  std::optional<BusyCursor> busy;
  if (doc.m_bNewData || rebuildAll || m_bRebuildResultLists || m_bListsFresh) busy.emplace();
  const double factor = doc.m_dDispScale;
  if (doc.m_bNewData || rebuildAll) {
    m_nViewMode = kModeStructure;
    m_bRebuildResultLists = 0;
    BuildDisplayLists(surfacesOn, doc.m_nColorMode, factor);
    doc.m_bNewData = 0;
    // This frame shows the background and the edge layer from the new
    // lists (compiled only: a list compiled and executed at once leaves the
    // driver part of it for good); the next one shows the whole picture.
    Lists().Call(kListBackground);
    // A frame made before the window is first shown (a run named on the
    // command line) is never seen: its edge layer is not drawn.
    const QWindow* shown = window()->windowHandle();
    if (!Stencil() && shown && shown->isExposed()) Lists().Call(kListEdges);
    QTimer::singleShot(0, this, [this] { update(); });
    m_bListsFresh = true;
    emit stateChanged();
  } else {
    // This frame shows the whole picture.
    if (!m_bFirstPictureShown) m_nSwapReport |= 1;
    if (m_nViewMode == kModeStructure) ReleaseDiagramLists();
    if (m_bRebuildResultLists) {
      m_nSwapReport |= 2;
      const CContourBar* bar = m_pContourBar.get();
      if (m_nViewMode >= kModeDeform && m_nViewMode <= kModeShell) {
        ReleaseStructureLists();
        // The old edge layer draws from the old faces' buffers: both go
        // before the new faces are made.
        Lists().Release(kListDiagramEdges);
        m_bDiagramListsHeld = true;
      }
      switch (m_nViewMode) {
        case kModeDeform:
          Lists().Compile(kListDiagram, [&] { BuildDiagramFaceList(nullptr, factor); });
          Lists().Compile(kListDiagramEdges, [&] { BuildEdgeLayer(nullptr, factor, false, true); });
          break;
        case kModeFiberStress:
        case kModeFiberStrain:
          Lists().Compile(kListDiagram, [&] { BuildDiagramFaceList(bar, factor); });
          Lists().Compile(kListDiagramEdges, [&] { BuildEdgeLayer(nullptr, factor, false, true); });
          break;
        case kModeSectionForce:
        case kModeShell:
          Lists().Compile(kListDiagram, [&] { BuildDiagramFaceList(bar, factor); });
          Lists().Compile(kListDiagramEdges, [&] { BuildEdgeLayer(bar, factor, false, true); });
          break;
        default:
          break;
      }
      m_bRebuildResultLists = 0;
    }
    Lists().Call(kListBackground);
    // The structure's own edge layer goes with the structure display; the
    // diagrams have theirs.
    const int edges = m_nViewMode == kModeStructure   ? kListEdges
                      : m_nViewMode == 1              ? kListSolidEdges
                      : m_nViewMode == 2              ? kListEdges
                                                      : kListDiagramEdges;
    if (!surfacesOn) {
      glDisable(GL_DEPTH_TEST);
      Lists().Call(m_nViewMode == kModeStructure ? kListEdges : kListDiagram);
      glEnable(GL_DEPTH_TEST);
    } else {
      switch (m_nViewMode) {
        case kModeStructure: Lists().Call(kListStructure); break;
        case 1: Lists().Call(kListSurfaces); break;
        case 2: Lists().Call(kListMaterial); break;
        default:
          if (m_nViewMode >= kModeDeform && m_nViewMode <= kModeShell) Lists().Call(kListDiagram);
          break;
      }
      if (!Stencil()) Lists().Call(edges);
    }
    m_bListsFresh = false;

  }
  m_scene.DrawAxisTriad(false);
  glFlush();
  double tips[3][2], origins[3][2];
  m_scene.ProjectTriadTips(tips, origins);
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glFinish();
  m_scene.overlay.clear();
  m_scene.DrawAxisLabels(ClientRect().Height(), tips, origins);
}

void QmView::PaintOverlay(QPainter& painter) {
  CGlView::PaintOverlay(painter);
  if (!m_pDoc || !m_scene.initialised) return;
  const double dpr = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
  const CViewSettings& s = m_scene.settings;
  const bool surfacesOn = m_scene.surfacesOn != 0;
  std::vector<OverlayText> texts;
  auto add = [&](const std::string& str, int x, int y, int grey) {
    OverlayText t;
    t.text = str;
    t.x = x;
    t.y = y;
    t.r = t.g = t.b = static_cast<unsigned char>(grey);
    texts.push_back(t);
  };
  // The caption names the step of the diagram on show; the structure has none.
  if ((m_pContourBar || m_nViewMode == kModeDeform) && m_nViewMode != kModeStructure && surfacesOn &&
      !m_szStepText.empty()) {
    add(m_szStepText, m_nTextX + 1, m_nTextY + 1, 255);
    add(m_szStepText, m_nTextX, m_nTextY + 1, 255);
    add(m_szStepText, m_nTextX + 1, m_nTextY, 255);
    add(m_szStepText, m_nTextX, m_nTextY, 0);
  }
  PaintOverlayTexts(painter, texts, dpr, OverlayFont());
  texts.clear();
  if (s.info) {
    const double deg = 180.0 / kPi;
    const std::string lines[6] = {
        plat::Format("%-8s  %+.3e  %+.3e  %+.3e", "Eye", s.eye[0], s.eye[1], s.eye[2]),
        plat::Format("%-8s  %+.3e  %+.3e  %+.3e", "Center", s.center[0], s.center[1], s.center[2]),
        plat::Format("%-8s  %+.3e  %+.3e  %+.3e", "Offset", m_vOffset[0], m_vOffset[1], m_vOffset[2]),
        plat::Format("%-8s  %+.3e  %+.3e  %+.3e", "Vert", s.up[0], s.up[1], s.up[2]),
        plat::Format("%-8s  %ld", "UpsideDown", static_cast<long>(s.flip)),
        plat::Format("%-8s  %+.3e  %+.3e  %+.3e", "Hint", s.distance, s.polar * deg, s.azimuth * deg)};
    for (int k = 0; k < 6; ++k) {
      add(lines[k], m_nTextX + 1, m_nTextY + 15 * k, 255);
      add(lines[k], m_nTextX, m_nTextY + 15 * k, 0);
    }
    // Fixed-width columns, one line every 15 pixels.
    PaintOverlayTexts(painter, texts, dpr, CjkMonoFont(13));
  }
  if (m_pContourBar && surfacesOn && m_nViewMode >= kModeFiberStress && m_nViewMode <= kModeShell)
    DrawContourLegend(ClientRect(), painter, *m_pContourBar, dpr);
}
