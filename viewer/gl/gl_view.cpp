#include "viewer/gl/gl_view.h"

#include <GL/gl.h>

#include <QFontMetricsF>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <cstdio>

#include "viewer/gl/cjk_font.h"

CGlView::CGlView(QWidget* parent) : QOpenGLWidget(parent), m_overlayFont(CjkFont(16)) {
  setFormat(SceneFormat());
  setFocusPolicy(Qt::StrongFocus);
}

CGlView::~CGlView() {
  QObject::disconnect(m_contextConnection);
  if (context()) {
    makeCurrent();
    m_scene.DeleteLists();
    doneCurrent();
  }
}

QSurfaceFormat CGlView::SceneFormat() {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setVersion(2, 1);
  f.setDepthBufferSize(24);
  f.setStencilBufferSize(8);
  f.setRedBufferSize(8);
  f.setGreenBufferSize(8);
  f.setBlueBufferSize(8);
  f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  return f;
}

void CGlView::SetDocument(const CDispModel* doc, const SceneFiles& files,
                          const SceneValues* values) {
  if (doc != m_pDoc) {
    m_scene.initialised = 0;
    m_scene.InvalidateLists();
  }
  m_pDoc = doc;
  m_files = files;
  m_pValues = values;
  m_bFailureReported = false;
  update();
}

void CGlView::ResetScene() {
  m_scene.initialised = 0;
  m_scene.InvalidateLists();
  m_bFailureReported = false;
  update();
}

void CGlView::RequestPick(const QPoint& pos) {
  m_bPickPending = true;
  m_pickPoint = ToDevice(pos);
  update();
}

SceneRect CGlView::ClientRect() const {
  const double dpr = devicePixelRatioF();
  SceneRect r;
  r.right = static_cast<int>(width() * dpr + 0.5);
  r.bottom = static_cast<int>(height() * dpr + 0.5);
  return r;
}

QPoint CGlView::ToDevice(const QPoint& pos) const {
  const double dpr = devicePixelRatioF();
  return QPoint(static_cast<int>(pos.x() * dpr), static_cast<int>(pos.y() * dpr));
}

void CGlView::initializeGL() {
  // A new context (first show, or the widget moved to another window): the
  // lists of the old one are gone and are built again on first use.
  m_scene.ContextLost();
  QObject::disconnect(m_contextConnection);
  m_contextConnection = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                                &CGlView::OnContextDestroyed, Qt::DirectConnection);
}

void CGlView::OnContextDestroyed() {
  makeCurrent();
  m_scene.DeleteLists();
  doneCurrent();
}

void CGlView::resizeGL(int, int) { m_scene.clientRect = ClientRect(); }

bool CGlView::RenderFrame() {
  if (!m_pDoc) return false;
  const CDispModel& d = *m_pDoc;
  m_scene.TakeNormalisation(d);
  if (!m_scene.initialised) {
    const int r = m_scene.Setup(d, m_files, m_pValues);
    if (r == CGlScene::kSetupNoContext) {
      if (!m_bFailureReported) {
        m_bFailureReported = true;
        std::fprintf(stderr, "%s\n", m_scene.lastError.c_str());
        emit sceneFailed(QString::fromStdString(m_scene.lastError));
      }
      return false;
    }
    if (r < 0) return false;
    m_scene.initialised = 1;
  }
  if (!m_scene.contextCreated && !m_scene.SetupContext(m_scene.settings.stencil)) return false;
  const SceneRect rc = ClientRect();
  m_scene.clientRect = rc;
  if (!m_scene.SetProjection(d, 0, 0, 0, rc, false)) return false;
  m_scene.Draw(d, rc, m_pValues);
  if (m_bPickPending) {
    m_bPickPending = false;
    m_scene.Pick(d, rc, m_pickPoint.x(), m_pickPoint.y());
  }
  return true;
}

void CGlView::paintGL() {
  // The painter of the previous frame may have left its program bound.
  if (QOpenGLContext* ctx = QOpenGLContext::currentContext()) ctx->functions()->glUseProgram(0);
  m_scene.overlay.clear();
  if (!RenderFrame()) {
    // Nothing to draw: an empty window, not the last frame's leftovers.
    const QColor c = palette().color(QPalette::Window);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(static_cast<float>(c.redF()), static_cast<float>(c.greenF()),
                 static_cast<float>(c.blueF()), 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  QPainter painter(this);
  PaintOverlay(painter);
}

void CGlView::PaintOverlay(QPainter& painter) {
  PaintOverlayTexts(painter, m_scene.overlay, devicePixelRatioF(), m_overlayFont);
}

void CGlView::PaintOverlayTexts(QPainter& painter, const std::vector<OverlayText>& texts,
                                double devicePixelRatio, const QFont& font) {
  if (texts.empty()) return;
  const double dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  painter.save();
  painter.setFont(font);
  painter.setBackgroundMode(Qt::TransparentMode);
  const QFontMetricsF fm(font);
  for (const OverlayText& t : texts) {
    const QString s = QString::fromUtf8(t.text.data(), static_cast<int>(t.text.size()));
    const double w = fm.horizontalAdvance(s);
    double x = t.x / dpr;
    double y = t.y / dpr;
    if (t.hAlign == OverlayText::kCenter) x -= w / 2;
    if (t.hAlign == OverlayText::kRight) x -= w;
    if (t.vAlign == OverlayText::kTop) y += fm.ascent();
    if (t.vAlign == OverlayText::kBottom) y -= fm.descent();
    painter.setPen(QColor(t.r, t.g, t.b));
    painter.drawText(QPointF(x, y), s);
  }
  painter.restore();
}
