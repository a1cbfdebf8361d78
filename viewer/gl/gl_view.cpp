#include "viewer/gl/gl_view.h"

#include <GL/gl.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPalette>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <cstdio>
#include <string>

#include "platform/heap.h"
#include "viewer/gl/cjk_font.h"

namespace {

// Qt lets a closed view's framebuffer textures go with the window's next
// frame, after the view itself (some 20 MB at full screen): the heap is
// trimmed once that frame is drawn. Views closed together share one trim.
void ReturnFreeHeapAfterNextFrame() {
  constexpr int kDelayMs = 250;
  static bool pending = false;
  if (!QCoreApplication::instance()) {
    plat::ReturnFreeHeap();
    return;
  }
  if (pending) return;
  pending = true;
  QTimer::singleShot(kDelayMs, [] {
    pending = false;
    plat::ReturnFreeHeap();
  });
}
}  // namespace

CStaleInputGuard& CStaleInputGuard::Instance() {
  static CStaleInputGuard guard;
  return guard;
}

void CStaleInputGuard::Arm() {
  // Input events carry the X server's time, which need not be any clock of
  // this machine (a remote display): the frame's end is read from the server
  // itself, so stamps and end compare on one clock.
  quint32 now = 0;
  if (WindowSystemTime(&now)) ArmUntil(now);
}

void CStaleInputGuard::ArmUntil(quint32 frameEnd) {
  QCoreApplication* app = QCoreApplication::instance();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!app || !dispatcher) return;
  if (!m_bInstalled) {
    app->installEventFilter(this);
    m_bInstalled = true;
  }
  m_frameEnd = frameEnd;
  if (m_bArmed) return;
  m_bArmed = true;
  // The loop blocks only once the queue is empty: everything typed during
  // the long frame has been seen (and dropped) by then.
  auto* once = new QMetaObject::Connection;
  *once = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this, once] {
    m_bArmed = false;
    QObject::disconnect(*once);
    delete once;
  });
}

bool CStaleInputGuard::eventFilter(QObject* watched, QEvent* event) {
  if (!m_bArmed || !event->isInputEvent()) return QObject::eventFilter(watched, event);
  // The server's time is 32 bits of milliseconds and wraps: compared as a
  // signed difference.
  const quint64 stamp = static_cast<QInputEvent*>(event)->timestamp();
  if (stamp == 0 || static_cast<qint32>(static_cast<quint32>(stamp) - m_frameEnd) > 0)
    return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Accepted: the key goes the plain way, as a key press, and is
      // dropped there instead of triggering a menu command.
      event->accept();
      return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

CGlView::CGlView(QWidget* parent) : QOpenGLWidget(parent), m_overlayFont(CjkFont(16)) {
  setFormat(SceneFormat());
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QOpenGLWidget::frameSwapped, this, &CGlView::OnFrameSwapped);
  // Emitted once the widget's context and its lists are gone: what the
  // driver freed with them goes back to the system.
  connect(this, &QObject::destroyed, [] { ReturnFreeHeapAfterNextFrame(); });
}

void CGlView::OnFrameSwapped() {
  m_firstPicture.Swapped(m_pDoc);
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

void CGlView::resizeEvent(QResizeEvent* event) {
  // QOpenGLWidget makes a new framebuffer at every resize but hands it to
  // the window's compositor only when its size differs from the last one:
  // a view that passed through an empty size (a window shrunk to its title
  // bar) and came back to its old size showed black for good. An empty size
  // and the size the framebuffer already has keep the framebuffer.
  const QSize device = event->size() * devicePixelRatio();
  if (event->size().isEmpty() || device == m_fboSize) {
    update();
    return;
  }
  m_fboSize = device;
  QOpenGLWidget::resizeEvent(event);
}

bool CGlView::RenderFrame() {
  // Qt paints the widget when it is put into its window and when it is
  // first resized, both before it is shown. A hidden frame is never seen,
  // and on a large model it costs a whole draw; the view is painted again
  // as it shows (showEvent).
  if (!m_pDoc || !isVisible()) return false;
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

void CGlView::showEvent(QShowEvent* event) {
  QOpenGLWidget::showEvent(event);
  if (m_bDrawWhenShown) {
    m_bDrawWhenShown = false;
    update();
  }
  // Every widget of a window repaints itself, and so the view under it,
  // when the window is activated or deactivated (a menu's dialog, a
  // message box) while its palette's active and inactive colours differ.
  // The window's palette gets one set of colours for both.
  QWidget* w = window();
  QPalette same = w->palette();
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto r = static_cast<QPalette::ColorRole>(role);
    const QBrush active = same.brush(QPalette::Active, r);
    same.setBrush(QPalette::Active, r, active);
    same.setBrush(QPalette::Inactive, r, active);
  }
  w->setPalette(same);
}

void CGlView::focusInEvent(QFocusEvent*) {}

void CGlView::focusOutEvent(QFocusEvent*) {}

void CGlView::paintGL() {
  ++m_nPaints;
  // The painter of the previous frame may have left its program bound.
  if (QOpenGLContext* ctx = QOpenGLContext::currentContext()) ctx->functions()->glUseProgram(0);
  m_scene.overlay.clear();
  const double start = SteadySeconds();
  const int compiledBefore = m_scene.Lists().compiled;
  const double compileBefore = m_scene.Lists().compileSeconds;
  const bool drawn = RenderFrame();
  // The window may show this frame's framebuffer as it stands when the view
  // shows (a tiled window that was under a maximised one): the document is
  // drawn then.
  if (!isVisible()) m_bDrawWhenShown = true;
  if (drawn) ++m_nDrawn;
  if (m_scene.Lists().compiled != compiledBefore && SteadySeconds() - start > kStaleInputSeconds)
    CStaleInputGuard::Instance().Arm();
  if (drawn && !ReportsOwnPicture()) m_firstPicture.FrameDrawn(start, m_scene.Lists().compileSeconds - compileBefore);
  if (!drawn) {
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
