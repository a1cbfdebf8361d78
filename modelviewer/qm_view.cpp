#include "modelviewer/qm_view.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <numbers>

#include "modelviewer/qm_dialogs.h"
#include "modelviewer/qm_loader.h"
#include "viewer/gl/ui_hooks.h"
#include "platform/numbers.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct AxisAngles {
  int id;
  double elevation, azimuth;  // plain
  double revElevation, revAzimuth;  // with Shift
  const char* menuText;
};

constexpr AxisAngles kAxes[] = {
    {kCmdPlusX, 0, 0, 0, 0, "＋Ｘ軸"},
    {kCmdMinusX, 0, kPi, 0, kPi, "－Ｘ軸"},
    {kCmdPlusY, 0, kPi / 2, 0, kPi / 2, "＋Ｙ軸"},
    {kCmdMinusY, 0, -kPi / 2, 0, -kPi / 2, "－Ｙ軸"},
    {kCmdPlusZ, kPi / 2, -kPi / 2, kPi / 2, 0, "＋Ｚ軸"},
    {kCmdMinusZ, -kPi / 2, -kPi / 2, -kPi / 2, 0, "－Ｚ軸"},
};

}  // namespace

int DigitOfKey(int key, quint32 nativeScanCode) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
  // Shift turns the digits row into symbols that differ between layouts;
  // the key's position still names the digit (keycodes 10-19: 1..9, 0).
  if (nativeScanCode >= 10 && nativeScanCode <= 19) return static_cast<int>((nativeScanCode - 9) % 10);
  return -1;
}

QmView::QmView(std::shared_ptr<QmDoc> doc, QWidget* parent)
    : CGlView(parent), m_pDoc(std::move(doc)) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setMouseTracking(false);
  SetDocument(m_pDoc.get(), Files(), nullptr);
  OnUpdate();
}

QmView::~QmView() {
  if (g_pMatColorDlg) g_pMatColorDlg->Detach(m_pDoc.get());
}

SceneFiles QmView::Files() const {
  SceneFiles files;
  files.programDir = QStringToPath(QCoreApplication::applicationDirPath());
  if (m_pDoc) {
    files.dataDir = m_pDoc->m_szFolder;
    files.dataName = m_pDoc->m_szName;
  }
  return files;
}

void QmView::OnUpdate() {
  QmDoc* doc = m_pDoc.get();
  if (doc && doc->m_bReady.load(std::memory_order_acquire)) {
    m_bHasValues = doc->GetSceneValues(m_values);
    // Once the scene is set up the document does not change any more.
    if (!m_scene.initialised) SetDocument(doc, Files(), m_bHasValues ? &m_values : nullptr);
  }
  // A frame may have drawn the document as soon as its loading thread was
  // done, before the loader's end reached this view: that picture stands.
  if (DrawnFrames() == 0) update();
  emit commandStateChanged();
}

bool QmView::RenderFrame() {
  QmDoc* doc = m_pDoc.get();
  if (!doc || !doc->m_bReady.load(std::memory_order_acquire)) return false;
  // A hidden frame sets nothing up: the frame that shows does it once.
  if (m_bInDraw || !isVisible()) return false;
  m_bInDraw = true;
  const bool wasSetUp = m_scene.initialised != 0;
  if (!wasSetUp && doc->m_nNodes >= 1)
    BuildBoundaryFaces(doc->m_nSolids, doc->m_aSolids.data(), m_faces);
  const bool drawn = CGlView::RenderFrame();
  if (!wasSetUp && m_scene.initialised) {
    // Viewpoints: the file's, else the start camera as viewpoint 0.
    m_pEyes = std::make_unique<CEyeList>();
    const std::string eyePath = doc->m_szStemPath + ".eye";
    const auto shown = [this](const EyeRecord& r) { return m_scene.CanShowViewpoint(r); };
    if (const int dropped = m_pEyes->StartFromFile(eyePath, m_scene.settings, shown)) {
      // Told once the paint is over.
      QTimer::singleShot(0, this, [this, text = DroppedEyesText(eyePath, dropped)] {
        ShowMessage(window(), TextToQString(text), MsgIcon::kWarning);
      });
    }
    emit commandStateChanged();
  }
  m_bInDraw = false;
  return drawn;
}

void QmView::Redraw() {
  update();
}

// ---------------------------------------------------------------------------
// Status-bar word

void QmView::ClearWord() {
  // The frame's word may be another view's: the frame decides whether it
  // changed.
  SetWord(-1);
}

void QmView::SetWord(int mode) {
  m_nWord = mode;
  emit opModeChanged(mode);
}

void QmView::OnActivateView(bool activate) {
  ClearWord();
  if (!g_pMatColorDlg) return;
  if (activate)
    g_pMatColorDlg->Refresh(m_pDoc.get());
  else
    g_pMatColorDlg->Detach(m_pDoc.get());
}

// ---------------------------------------------------------------------------
// Mouse

void QmView::mousePressEvent(QMouseEvent* e) {
  ClearWord();
  const QPoint p = e->position().toPoint();
  if (e->button() == Qt::RightButton) {
    ShowAxisMenu(p);
    return;
  }
  if (e->button() != Qt::LeftButton) {
    CGlView::mousePressEvent(e);
    return;
  }
  const Qt::KeyboardModifiers mods = e->modifiers();
  if (mods & Qt::ControlModifier) {
    m_nDragMode = 1;
  } else if (mods & Qt::ShiftModifier) {
    m_nDragMode = 2;
  } else if (e->buttons() & Qt::XButton1) {
    m_nDragMode = 0;
  } else {
    m_nDragMode = 1;
    if (m_scene.settings.showid) m_clickPoint = p;
  }
  m_lastPoint = p;
}

void QmView::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (!m_pDoc || !m_scene.initialised) {
    m_lastPoint = p;
    return;
  }
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  // Device pixels: the camera steps are measured against the client width.
  const QPoint last = ToDevice(m_lastPoint);
  const QPoint now = ToDevice(p);
  bool moved = false;
  if (m_nDragMode == 1 && ctrl) {
    m_scene.Orbit(now.y(), last.x(), last.y(), now.x());
    moved = true;
  } else if (m_nDragMode == 1) {
    m_scene.Turn(last.y(), last.x(), now.x(), now.y());
    moved = true;
  } else if (m_nDragMode == 2 && !ctrl) {
    m_scene.Pan(last.x(), now.y(), 2, now.x(), last.y());
    moved = true;
  }
  m_lastPoint = p;
  if (moved) Redraw();
}

void QmView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    CGlView::mouseReleaseEvent(e);
    return;
  }
  const QPoint p = e->position().toPoint();
  const bool pick = m_pDoc && m_nDragMode == 1 && m_scene.settings.showid && p == m_clickPoint;
  m_nDragMode = 0;
  if (pick) RequestPick(p);
}

void QmView::wheelEvent(QWheelEvent* e) {
  ClearWord();
  e->accept();
  if (!m_pDoc || !m_scene.initialised) return;
  int delta = e->angleDelta().y();
  if (delta == 0) delta = e->angleDelta().x();
  const int notches = delta / 120;
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool shift = mods & Qt::ShiftModifier;
  const bool ctrl = mods & Qt::ControlModifier;
  if (notches == 0) return;
  if (shift && ctrl) {
    // The wheel's sign picks the direction: forward zooms in.
    m_scene.Zoom(10 * notches);
  } else if (ctrl) {
    return;
  } else {
    m_scene.Dolly(notches, shift);
  }
  Redraw();
}

// ---------------------------------------------------------------------------
// Keys

void QmView::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  // Shift and Ctrl as the event saw them.
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  int code = key;
  const int digit = DigitOfKey(key, e->nativeScanCode());
  if (digit >= 0) code = Qt::Key_0 + digit;
  // '<' and '>' come as characters whatever key makes them.
  if (e->text() == QLatin1String("<")) code = Qt::Key_Less;
  if (e->text() == QLatin1String(">")) code = Qt::Key_Greater;
  int redraw = HandleViewKey(ctrl, shift, code);
  if (m_scene.initialised && m_scene.OnKey(key, ctrl, shift, 1)) redraw = 1;
  if (redraw) Redraw();
  e->accept();
}

void QmView::GoToEye(int n) {
  if (!m_pEyes) return;
  if (m_scene.RecallViewpoint(*m_pEyes, n)) Redraw();
}

int QmView::HandleViewKey(bool ctrl, bool shift, int key) {
  ClearWord();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (m_pEyes) {
        m_pEyes->Register(m_scene.settings, false);
        emit commandStateChanged();
      }
      return 0;
    case Qt::Key_Escape:
      if (QWidget::mouseGrabber() == this) releaseMouse();
      return 1;
    case Qt::Key_Home:
      if (!m_pEyes) return 0;
      // Viewpoint 0 becomes current.
      m_scene.ShowHome(*m_pEyes, true);
      return 1;
    case Qt::Key_Left:
      SetWord(ctrl && !shift ? 23 : 13);
      return 0;
    case Qt::Key_Up:
      SetWord(shift ? 11 : ctrl ? 21 : 1);
      return 0;
    case Qt::Key_Right:
      SetWord(ctrl && !shift ? 24 : 14);
      Redraw();
      return 0;
    case Qt::Key_Down:
      SetWord(shift ? 12 : ctrl ? 22 : 2);
      return 0;
    case Qt::Key_Less:
    case Qt::Key_Greater:
      if (!m_pEyes) return 0;
      return m_scene.RecallViewpoint(*m_pEyes, m_pEyes->Current() + (key == Qt::Key_Less ? -1 : 1)) ? 1 : 0;
    case Qt::Key_M:
      ShowAxisMenu(rect().center());
      return 0;
    default:
      break;
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    if (!m_pEyes) return 0;
    return m_scene.RecallViewpoint(*m_pEyes, key - Qt::Key_0) ? 1 : 0;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Commands

bool QmView::CanRegisterEye() const {
  return !g_bLoading.load() && m_pEyes && m_pDoc && m_pDoc->m_nNodes >= 1;
}

bool QmView::CanDeleteEyes() const { return CanRegisterEye() && m_pEyes->Count() > 0; }

void QmView::OnFileSaveEye() {
  if (!CanRegisterEye()) return;
  const std::string path = m_pDoc->m_szStemPath + ".eye";
  std::string error;
  if (!m_pEyes->WriteFile(path, &error))
    ShowMessage(window(), TextToQString(OpenErrorText(path, error)), MsgIcon::kStop);
}

void QmView::OnViewEyeRegist() {
  if (!CanRegisterEye()) return;
  m_pEyes->Register(m_scene.settings, true);
  emit commandStateChanged();
}

void QmView::OnViewEyeDelAll() {
  if (!CanDeleteEyes()) return;
  CEyeDelAllDlg dlg(QString::fromStdString(plat::Format("%d 個の視点登録があります。", m_pEyes->Count())),
                    window());
  if (RunModal(dlg) == QDialog::Accepted) {
    m_pEyes->Clear();
    emit commandStateChanged();
  }
}

void QmView::OnViewMaterial() {
  if (g_bLoading.load()) return;
  m_scene.displayMode = 2;
  Redraw();
  emit commandStateChanged();
}

void QmView::OnViewNormal() {
  if (g_bLoading.load()) return;
  m_scene.displayMode = 0;
  Redraw();
  emit commandStateChanged();
}

void QmView::OnAxisCommand(int id, bool shift) {
  if (!m_scene.initialised) return;
  for (const AxisAngles& a : kAxes) {
    if (a.id != id) continue;
    if (shift)
      m_scene.SetAxisViewReverse(a.revElevation, a.revAzimuth);
    else
      m_scene.SetAxisView(a.elevation, a.azimuth);
    Redraw();
    return;
  }
}

void QmView::OnViewColors() {
  // A process-wide counter: each call shows the next palette.
  static int s_nPalette = 0;
  CColorsDlg dlg(window());
  SelectBuiltinPalette(s_nPalette++, dlg);
  RunModal(dlg);
}

void QmView::OnViewMatColorTable() {
  if (!g_pMatColorDlg) g_pMatColorDlg = new CMatColorDlg(window());
  g_pMatColorDlg->Refresh(m_pDoc.get());
  g_pMatColorDlg->show();
  g_pMatColorDlg->raise();
}

void QmView::ShowAxisMenu(const QPoint& pos) {
  QMenu menu(this);
  for (const AxisAngles& a : kAxes) {
    QAction* act = menu.addAction(QString::fromUtf8(a.menuText));
    act->setData(a.id);
  }
  QAction* chosen = menu.exec(mapToGlobal(pos));
  if (!chosen) return;
  const bool shift = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
  OnAxisCommand(chosen->data().toInt(), shift);
}
