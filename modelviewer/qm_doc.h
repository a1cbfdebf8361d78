// The model viewer's document: one per opened file. The file's extension
// picks the loader: keyword data files (.dat, .da_) are read on a worker
// thread (qm_loader.h), an analysis input (.in) and a grid model (.grid) on
// the UI thread. The document owns everything a load produces: the keyword
// data set, the result set, the colour table, the colour map and the
// display arrays of its CDispModel base.
#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "dataset/fb_resultset.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "modelviewer/data/grid_model.h"
#include "viewer/gl/ui_hooks.h"
#include "viewer/display_model.h"

struct SceneValues;

// A message a load wants shown (UTF-8); a worker's messages are shown by the
// UI thread after the worker ended.
struct DocMessage {
  std::string text;
  MsgIcon icon = MsgIcon::kNone;
};

// Which loader an extension takes (compared without regard to case, in the
// order .grid, .dat, .da_, .in).
enum class DocBranch { kNone, kGrid, kKeyword, kInput };
DocBranch BranchOfPath(const std::string& path);

// The open-error message: the path immediately followed by the marker and
// the system's reason.
std::string OpenErrorText(const std::string& path, const std::string& reason);
// What is told when a keyword file gives no record at all.
std::string NoRecordText(const std::string& path);

class QmDoc : public CDispModel {
 public:
  QmDoc();
  ~QmDoc() override;

  // Serial number from a process-wide counter; the material colour table
  // compares it to know which document it shows.
  const int m_nDocSerial;
  // Set when a load has built the display model; the view draws only a
  // ready document. Written by the loading thread, read by the UI thread.
  std::atomic<bool> m_bReady{false};
  // UI thread only.
  bool m_bModified = false;

  DocBranch m_branch = DocBranch::kNone;
  std::string m_strPath;     // the file as opened (absolute)
  std::string m_szStemPath;  // folder + name without extension
  std::string m_szFolder;    // folder with its trailing '/'
  std::string m_szName;      // name without extension
  int m_nClrOnes = 0;        // what the colour map reader returned

  CIpDataSet m_dataSet;
  CFbResultSet m_resultSet;
  CModelStats m_stats;
  CGridModel m_grid;

  // Folder, stem and name of a path (made absolute first, so that files
  // beside it are found in its real folder).
  void SetPathNames(const std::string& path);
  // The path, its names and the branch of a file about to be loaded. The UI
  // thread calls it before any loader runs; the loading thread never writes
  // these fields, so the UI may read them while it works.
  void PrepareLoad(const std::string& path);

  // --- loaders; each appends what must be shown to `msgs` ----------------
  // Keyword data file (PrepareLoad done): colour table, colour map, data
  // set, linking, statistics and the display model. Runs on the loading
  // thread.
  // Once `cancel` is set the reading ends and the document is left empty,
  // with nothing to tell.
  void LoadDatFile(std::vector<DocMessage>& msgs, const std::atomic<bool>* cancel = nullptr);
  // Reads the file into `ds` in the wide column layout; false (with the
  // open-error message) when it cannot be opened. A file that gives no
  // record at all is told (NoRecordText).
  bool ReadModelFile(CIpDataSet& ds, const std::string& path, std::vector<DocMessage>& msgs,
                     const std::atomic<bool>* cancel = nullptr);
  // The keyword data set read from (emptied first) or written to an
  // archive in the wide column layout, under a wait cursor. The program
  // offers no command that stores.
  void SerializeModel(CArchiveIn& ar);
  void SerializeModel(CArchiveOut& ar);
  // Analysis input (PrepareLoad done), through the already opened `ar`
  // (UI thread).
  void LoadInputFile(CArchiveIn& ar, std::vector<DocMessage>& msgs);
  // Grid model (PrepareLoad done): component 1, displacement scale 100 (UI
  // thread).
  void LoadGridFile(std::vector<DocMessage>& msgs);
  // Empties the document after a load that could not finish.
  void MakeEmpty();

  // Display arrays sized from the statistics and the arc parts of the model
  // this document loaded (the analysis input for .in files, else the
  // keyword data set); the per-element colour map survives. False when an
  // array could not be had.
  using CDispModel::AllocDisplayArrays;
  bool AllocDisplayArrays(const CModelStats& stats, std::string* error = nullptr);

  // The default palette appended to the colour table and the materials
  // recoloured from it; returns the colour count.
  int SetDefaultColorTable();

  // Values the scene colours a grid model by; false for other documents.
  bool GetSceneValues(SceneValues& values) const;

 private:
  // Allocation from m_stats and the three builders; nothing is built when
  // an array cannot be had (the failure is reported instead).
  template <class Model>
  void BuildDisplay(const Model& model, std::vector<DocMessage>& msgs);
};
