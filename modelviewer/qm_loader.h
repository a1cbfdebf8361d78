// Background loading of keyword data files. Each load is a job with its own
// path and document; one job runs at a time on its own thread and later
// ones wait their turn. The UI thread polls the running job from the main
// frame's timer; the job keeps its document alive until the worker ended.
#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "modelviewer/qm_doc.h"

// Set while a job runs or waits; the Open, Close and Window commands and the
// view's viewpoint and display-mode commands are disabled meanwhile.
extern std::atomic<bool> g_bLoading;

// One keyword load.
struct LoadBlock {
  std::string szPath;
  std::shared_ptr<QmDoc> pDoc;
  std::atomic<int> nProgress{0};
  std::atomic<int> nTotal{0};
  // Set by the worker after the document's ready flag.
  std::atomic<bool> bDone{false};
  // Set by the UI thread when the load is no longer wanted (exit, or its
  // document closed): the worker stops reading and leaves it empty.
  std::atomic<bool> bCancel{false};
  // Written by the worker, read by the UI thread once bDone is seen.
  std::vector<DocMessage> messages;
  std::thread worker;
};

// The worker's entry: loads the file into the document, always ends with
// the document ready and bDone set. Returns 0.
int LoadThreadProc(LoadBlock* block);

// Called by each worker before it loads, when set: a test holds a load open
// with it. Set it before the load starts and clear it once none runs.
extern std::function<void()> g_fnLoadStartHook;

class CModelLoader {
 public:
  CModelLoader() = default;
  ~CModelLoader();  // waits for the worker
  CModelLoader(const CModelLoader&) = delete;
  CModelLoader& operator=(const CModelLoader&) = delete;

  // Queues a load (UI thread): the document's path and names are set here,
  // before any worker runs; sets g_bLoading. True when it started at once,
  // false when it waits behind another.
  bool Enqueue(const std::string& path, std::shared_ptr<QmDoc> doc);

  // The running job when its worker has ended: joined and taken out, for the
  // UI thread to show its messages and update its views; null otherwise.
  std::unique_ptr<LoadBlock> TakeFinished();
  // Starts the next waiting job whose document is still wanted (another
  // owner than the queue holds it). True when one started; when none is
  // left g_bLoading is cleared.
  bool StartNext();

  bool Running() const { return m_pRunning != nullptr; }
  bool Idle() const { return !m_pRunning && m_aWaiting.empty(); }
  const LoadBlock* Current() const { return m_pRunning.get(); }
  bool IsLoading(const QmDoc* doc) const;
  // Gives up the running load when the queue holds its document's last
  // owner (its window was closed); the timer calls it.
  void CancelUnwanted();

  // Exit: forgets the waiting jobs, gives up the running one and waits for
  // its worker.
  void Shutdown();

 private:
  std::unique_ptr<LoadBlock> m_pRunning;
  std::deque<std::unique_ptr<LoadBlock>> m_aWaiting;
};
