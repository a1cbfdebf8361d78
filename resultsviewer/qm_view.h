// The results viewer's view: the structure and the diagrams of the
// document drawn with OpenGL, the caption, the camera report and the contour
// legend over the picture; keys, mouse and the view commands.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "resultsviewer/qm_doc.h"
#include "viewer/boundary_faces.h"
#include "viewer/contour_bar.h"
#include "viewer/eye_file.h"
#include "viewer/gl/gl_view.h"

class CFbOpBlock;
class QDialog;
class QMenu;
class SelectStepStreDlg;

// The results viewer's settings defaults: the shared ones with a white
// background top and a white surface colour.
void InitResultsViewSettings(CViewSettings& s);

// Display modes of the view.
enum ViewMode {
  kModeStructure = 0,
  kModeDeform = 3,
  kModeFiberStress = 4,
  kModeFiberStrain = 5,
  kModeSectionForce = 6,
  kModeShell = 7,
};

class QmView : public CGlView {
  Q_OBJECT

 public:
  // The wait cursor over a diagram's reading, building and list making:
  // the program does them on the UI thread.
  struct BusyCursor {
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
  };

  // The colours no keyword sets: the face colour of the diagram lists, a
  // red, the face colour of the structure lists, a green.
  static const int kFurtherColors[4][3];

  explicit QmView(QWidget* parent = nullptr);
  ~QmView() override;

  void SetDocument(QmDoc* doc);
  QmDoc* Document() const { return m_pDoc; }
  // The status bar's movement word (-1: none).
  std::function<void(int)> m_fnWalkText;

  // --- diagram commands -----------------------------------------------------
  // The 表示(&V) menu's handlers.
  void OnViewStructure();
  void OnViewDeform() { ShowDeformDiagram(); }
  void OnViewStress() { ShowFiberDiagram(0); }
  void OnViewStrain() { ShowFiberDiagram(1); }
  void OnViewSectionForce() { ShowSectionForceDiagram(); }
  void OnViewShellStress() { ShowShellDiagram(0); }
  void OnViewShellStrain() { ShowShellDiagram(1); }
  void ShowDeformDiagram();
  void ShowFiberDiagram(int kind);  // 0 stress, 1 strain
  void ShowSectionForceDiagram();
  void ShowShellDiagram(int kind);  // 0 stress, 1 strain
  // Enable rules of the diagram commands.
  bool CanShowStructure() const;
  bool CanShowFiber() const;
  bool CanShowSectionForce() const;
  bool CanShowShell() const;

  // --- view commands --------------------------------------------------------
  void OnViewIso();
  // Axis view (elevation, azimuth); with `reverse` the eye stays and the
  // view turns (Shift held).
  void AxisView(double elevation, double azimuth, bool reverse);
  void OnViewPlusX();
  void OnViewMinusX();
  void OnViewPlusY();
  void OnViewMinusY();
  void OnViewPlusZ();
  void OnViewMinusZ();
  void ShowAxisMenu(const QPoint& pos);
  void StoreViewpoint();

  // --- state (public for the frame and the tests) ---------------------------
  CViewSettings& Settings() { return m_scene.settings; }
  const CContourBar* ContourBar() const { return m_pContourBar.get(); }
  const CEyeList& Viewpoints() const { return m_eyes; }
  int m_nViewMode = kModeStructure;
  int m_nLastCase = 0;
  int m_nLastStep = 0;
  int m_nLastComponent = 0;
  int m_nLastKind = 0;
  std::string m_szStepText;
  int m_bRebuildResultLists = 0;
  unsigned char m_bSolidMode = 0;
  unsigned char m_bRebuildAll = 1;
  int m_nTextX = 10, m_nTextY = 10;
  int m_nStatus = 0;
  int m_nDragMode = 0;
  double m_vOffset[3] = {0, 0, 0};  // the camera's offset vector
  int m_nFrames = 0;                // frames drawn (tests wait on it)

  // Frame steps, public for tests that drive them.
  int InitScene();
  void BuildDisplayLists(bool surfacesOn, int colourMode, double factor);

 signals:
  // Something the frame's command states depend on changed.
  void stateChanged();

 protected:
  bool RenderFrame() override;
  void PaintOverlay(QPainter& painter) override;
  // The first frame after an open makes the lists: the picture is complete
  // one frame later, and the view says so itself.
  bool ReportsOwnPicture() const override { return true; }
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void WalkText(int index);
  // After a swap: the first complete picture lets the splash go; with
  // OV_REPORT_FIRST_PICTURE set, that swap and the first of each diagram
  // (and of the structure after its command) are told on stderr.
  void OnFrameSwapped();
  void OnKeyDown(QKeyEvent* event);
  void OnChar(const QString& text);
  void ShowHome();
  int DrawScene(bool surfacesOn);
  void SetViewport();
  void RenderScene(bool surfacesOn, bool rebuildAll);
  // Drawers over the document's display model.
  // With `places`, each face's number among the faces staged (-1: none,
  // and all cleared when some went not to the list's buffers).
  void DrawFaces(int colourMode, const CContourBar* bar, double factor, const int plain[3],
                 bool outlined, std::vector<int>* places = nullptr);
  // Line items coloured by the chosen component's value; the flagged ones.
  void DrawLineItemsByValue(const CContourBar* bar);
  void DrawFlaggedLineItems(const CContourBar* bar);
  void BuildDiagramFaceList(const CContourBar* bar, double factor);
  // `overOffsetFaces`: the faces under the edges were drawn with the offset.
  void BuildEdgeLayer(const CContourBar* bar, double factor, bool solid, bool overOffsetFaces = false);
  // The view's table of lists.
  std::vector<CGlListSet::Entry> ListTable();
  // Draws what structure list `n` holds, with the arguments of the last
  // rebuild.
  void DrawStructureList(int n);
  CGlListSet& Lists() { return m_scene.Lists(); }
  bool Stencil() const;
  // The value column a value face is coloured from in the current mode.
  int FaceValueColumn() const;
  // Runs a diagram's step dialog, preset on the step shown last (through
  // `stepIndex`) and the deformation scale. False when it could not be run
  // (the user is told), was cancelled, or its entry names no case and step.
  bool AskStep(QDialog& dlg, int& stepIndex, double& scale, int& lcase, int& step);
  // The same for a value diagram, which then takes its component (clamped
  // to 0..lastComponent); false also for an analysis type without values.
  bool AskValueStep(SelectStepStreDlg& dlg, int lastComponent, int& lcase, int& step, int& component);
  // The step a diagram shows: its text for the caption, its case and step;
  // a value diagram's component and kind (0 stress, 1 strain, 2 forces) too.
  void RememberStep(const std::string& stepText, int lcase, int step);
  void RememberValueStep(const std::string& stepText, int lcase, int step, int component, int kind);
  // Switches to a diagram's display mode and colour mode and redraws.
  void EnterDiagramMode(int mode, int colorMode);
  // The contour range and bar of a value diagram.
  void SetContourBar(double lo, double hi, const std::string& title);
  // The item rows of a table read for the chosen step: a step that its file
  // holds only in part keeps the rows read. A table whose records were made
  // before reading (the strain tables) cannot tell how many were filled when
  // its file ends inside the step (`unfilled`): it has none. No rows: the
  // user is told (unless the reader has told it) and 0 is returned, so that
  // the previous picture stays.
  int StepRows(const CFbOpBlock& table, int items, bool minMaxRows, bool unfilled, int messagesBefore,
               const std::string& path);

  QmDoc* m_pDoc = nullptr;
  std::unique_ptr<CContourBar> m_pContourBar;
  CEyeList m_eyes;
  CBoundaryFaces m_boundaryFaces;
  int m_bDrawing = 0;
  QPoint m_lastPos;
  QPoint m_clickPos;
  int m_nMessages = 0;  // messages of the result set so far
  int m_nSceneSerial = -1;  // the document serial of the last set-up
  // Pictures the next swap completes: bit 0 the first, bit 1 a diagram's.
  int m_nSwapReport = 0;
  // The arguments of the last rebuild, and the lists still to be made from
  // them when first called.
  struct StructureArgs {
    bool surfacesOn = true;
    int colourMode = 0;
    double factor = 1.0;
    bool bar = false;
  } m_structureArgs;
  // A diagram gives up the structure's lists (a large run cannot hold both
  // the structure's and a diagram's), and the structure gives up the
  // diagram's: the structure command then makes the structure's geometry
  // again, and its lists are made when next called.
  void ReleaseStructureLists();
  void ReleaseDiagramLists();
  bool m_bStructureReleased = false;
  // The next frame first draws lists just made, or makes deferred ones.
  bool m_bListsFresh = false;
  bool m_bDiagramListsHeld = false;
  // From the diagram's face list to its edge layer, built next: where each
  // face went in the face list's buffers (DrawFaces), so that the edges are
  // drawn from there rather than kept a second time.
  std::vector<int> m_diagramFacePlaces;
  bool m_bFirstPictureShown = false;
};
