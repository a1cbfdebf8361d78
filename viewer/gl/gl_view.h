// The OpenGL widget that hosts a CGlScene; both programs' views derive from
// it. It asks Qt for a compatibility-profile context with depth and stencil,
// rebuilds the scene's display lists whenever Qt gives it a new context, and
// draws the scene's texts over the picture with QPainter after the OpenGL
// work of each frame.
#pragma once
#include <QFont>
#include <QOpenGLWidget>
#include <QPoint>
#include <QSize>
#include <QSurfaceFormat>
#include <vector>

#include "viewer/gl/first_picture.h"
#include "viewer/gl/gl_scene.h"

class QPainter;

class CGlView : public QOpenGLWidget {
  Q_OBJECT

 public:
  explicit CGlView(QWidget* parent = nullptr);
  ~CGlView() override;

  // Compatibility profile, 24-bit depth, 8-bit stencil, double buffered.
  static QSurfaceFormat SceneFormat();

  CGlScene& Scene() { return m_scene; }
  const CGlScene& Scene() const { return m_scene; }

  // The document the default frame draws (null: nothing is drawn), the
  // places of its view-settings files and its element values. The scene is
  // set up at the next paint when it has not been yet.
  void SetDocument(const CDispModel* doc, const SceneFiles& files,
                   const SceneValues* values = nullptr);
  const CDispModel* Document() const { return m_pDoc; }
  // The next paint sets the scene up again (settings files, camera, contour
  // bar) and compiles every display list anew.
  void ResetScene();
  // A pick at a point (widget coordinates) during the next paint.
  void RequestPick(const QPoint& pos);
  bool PickPending() const { return m_bPickPending; }

  // Frames painted so far (paintGL calls), and those of them that drew the
  // document.
  long Paints() const { return m_nPaints; }
  long DrawnFrames() const { return m_nDrawn; }

  // Client rectangle in device pixels.
  SceneRect ClientRect() const;
  // Device pixels of a point in widget coordinates.
  QPoint ToDevice(const QPoint& pos) const;

  void SetOverlayFont(const QFont& font) { m_overlayFont = font; }
  const QFont& OverlayFont() const { return m_overlayFont; }

  // Paints overlay texts (device-pixel positions) with a painter on a
  // surface of the given device pixel ratio.
  static void PaintOverlayTexts(QPainter& painter, const std::vector<OverlayText>& texts,
                                double devicePixelRatio, const QFont& font);

 signals:
  // The scene could not get a usable OpenGL context; nothing is drawn.
  void sceneFailed(const QString& message);

 protected:
  void initializeGL() override;
  void resizeGL(int w, int h) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintGL() override;
  // Focus changes nothing the view shows: no repaint (QWidget's would
  // repaint a focusable widget, and a menu, a dialog or a message box takes
  // the focus).
  void showEvent(QShowEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

  // The OpenGL work of one frame with the context current; false when
  // nothing was drawn. The default draws the document through the scene
  // (setting it up on the first frame) and then runs a pending pick; it
  // draws nothing while the widget is hidden.
  virtual bool RenderFrame();
  // Texts over the picture; the default paints the scene's overlay.
  virtual void PaintOverlay(QPainter& painter);
  // True for a view that writes the first-picture report itself (its first
  // drawn frame is not yet its complete picture); the default reports the
  // first frame that drew the document, once swapped.
  virtual bool ReportsOwnPicture() const { return false; }

  CGlScene m_scene;

 private:
  void OnContextDestroyed();
  void OnFrameSwapped();

  const CDispModel* m_pDoc = nullptr;
  const SceneValues* m_pValues = nullptr;
  SceneFiles m_files;
  bool m_bPickPending = false;
  long m_nPaints = 0;
  long m_nDrawn = 0;
  bool m_bDrawWhenShown = false;  // a frame was painted while hidden
  QPoint m_pickPoint;  // device pixels
  bool m_bFailureReported = false;
  // Device pixels of the framebuffer QOpenGLWidget made at the last resize.
  QSize m_fboSize;
  QFont m_overlayFont;
  QMetaObject::Connection m_contextConnection;
  CFirstPictureReport m_firstPicture;  // when OV_FIRST_PICTURE asks for it
};

// Input typed while a frame compiled its display lists for a long time is
// dropped: a key or click that waited seconds in the queue would otherwise
// run a command nobody expects any more (an Open dialog after the picture,
// say). Armed at the end of such a frame, it drops key presses, shortcut
// overrides, button presses and wheel turns the window system stamped no
// later than that end; what comes after the picture counts. Releases and
// moves still pass, so no drag is left hanging; events without a stamp (the
// program's own) pass too. It disarms once the event loop has caught up.
class CStaleInputGuard : public QObject {
 public:
  static CStaleInputGuard& Instance();
  // At the window system's time now; where that cannot be read, it stays off.
  void Arm();
  // At a frame end read from the window system's clock (milliseconds).
  void ArmUntil(quint32 frameEnd);
  bool Armed() const { return m_bArmed; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CStaleInputGuard() = default;
  bool m_bArmed = false;
  bool m_bInstalled = false;
  quint32 m_frameEnd = 0;
};

// The window system's time now in the milliseconds of its input events'
// stamps; false where it cannot be read (not X11).
bool WindowSystemTime(quint32* ms);

// Frames that compiled display lists for longer than this arm the guard.
constexpr double kStaleInputSeconds = 0.3;
