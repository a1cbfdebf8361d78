// The one view of a model viewer document: draws the document's display
// model through the scene of CGlView once the document is ready, and turns
// mouse, wheel, keys and menu commands into camera moves, viewpoint steps,
// picking and display-mode changes.
#pragma once
#include <memory>

#include "modelviewer/qm_doc.h"
#include "viewer/boundary_faces.h"
#include "viewer/eye_file.h"
#include "viewer/gl/gl_view.h"

// Command ids of the view's commands (the axis views are also the entries
// of the axis menu).
enum QmViewCommand : int {
  kCmdSaveEye = 32772,
  kCmdPlusX = 32779,
  kCmdMinusX = 32780,
  kCmdPlusY = 32781,
  kCmdMinusY = 32782,
  kCmdPlusZ = 32783,
  kCmdMinusZ = 32784,
  kCmdEyeRegist = 32787,
  kCmdEyeDelAll = 32788,
  kCmdViewMaterial = 32793,
  kCmdViewNormal = 32795,
  kCmdViewColors = 32797,
  kCmdMatColorTable = 32799,
};

class QmView : public CGlView {
  Q_OBJECT
 public:
  explicit QmView(std::shared_ptr<QmDoc> doc, QWidget* parent = nullptr);
  ~QmView() override;

  QmDoc* GetDocument() const { return m_pDoc.get(); }
  const std::shared_ptr<QmDoc>& DocumentPtr() const { return m_pDoc; }

  // The document's load ended: take its values and draw it.
  void OnUpdate();
  // The view became the active one (or stopped being it).
  void OnActivateView(bool activate);

  // --- viewpoints (the list exists once the scene is set up) -------------
  bool HasEyeList() const { return m_pEyes != nullptr; }
  const CEyeList* Eyes() const { return m_pEyes.get(); }
  // Save and register: not while loading, with a list and a node.
  bool CanRegisterEye() const;
  // Delete-all additionally needs a registered viewpoint.
  bool CanDeleteEyes() const;
  void OnFileSaveEye();
  void OnViewEyeRegist();
  void OnViewEyeDelAll();

  // --- display ---------------------------------------------------------------
  int DisplayMode() const { return m_scene.displayMode; }
  void OnViewMaterial();
  void OnViewNormal();
  // The six axis views (kCmdPlusX .. kCmdMinusZ); Shift at the moment of the
  // command picks the reverse form.
  void OnAxisCommand(int id, bool shift);
  void OnViewColors();
  void OnViewMatColorTable();
  void ShowAxisMenu(const QPoint& pos);

  // Keys of the view; 1 asks for a redraw. Qt key codes.
  int HandleViewKey(bool ctrl, bool shift, int key);

 signals:
  // The movement word of the status bar (-1: none).
  void opModeChanged(int mode);
  // Something the command enable states depend on changed.
  void commandStateChanged();

 protected:
  bool RenderFrame() override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void ClearWord();
  void SetWord(int mode);
  void GoToEye(int n);
  void Redraw();
  SceneFiles Files() const;

  std::shared_ptr<QmDoc> m_pDoc;
  SceneValues m_values;
  bool m_bHasValues = false;
  CBoundaryFaces m_faces;
  std::unique_ptr<CEyeList> m_pEyes;
  bool m_bInDraw = false;
  int m_nDragMode = 0;  // 0 none, 1 turn or orbit, 2 pan
  QPoint m_lastPoint;
  QPoint m_clickPoint;
  int m_nWord = -1;
};

// Digit of a key event: 0-9 for the digit keys, also with Shift held (the
// digits row by its key position) and on the keypad; -1 otherwise.
int DigitOfKey(int key, quint32 nativeScanCode);
