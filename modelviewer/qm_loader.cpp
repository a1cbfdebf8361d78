#include "modelviewer/qm_loader.h"

#include <exception>
#include <new>

std::atomic<bool> g_bLoading{false};
std::function<void()> g_fnLoadStartHook;

int LoadThreadProc(LoadBlock* block) {
  block->nTotal = 100;
  block->nProgress = 0;
  QmDoc& doc = *block->pDoc;
  if (g_fnLoadStartHook) g_fnLoadStartHook();
  try {
    doc.LoadDatFile(block->messages, &block->bCancel);
  } catch (const std::bad_alloc&) {
    doc.MakeEmpty();
    block->messages.push_back({OpenErrorText(block->szPath, "ﾒﾓﾘｵｰﾊﾞｰです"), MsgIcon::kStop});
  } catch (const std::exception& e) {
    doc.MakeEmpty();
    block->messages.push_back({OpenErrorText(block->szPath, e.what()), MsgIcon::kStop});
  } catch (...) {
    doc.MakeEmpty();
    block->messages.push_back({OpenErrorText(block->szPath, "原因不明のｴﾗｰです"), MsgIcon::kStop});
  }
  block->nProgress = 100;
  // Ready before done: the UI thread uses the data once it sees bDone.
  doc.m_bReady.store(true, std::memory_order_release);
  block->bDone.store(true, std::memory_order_release);
  return 0;
}

CModelLoader::~CModelLoader() { Shutdown(); }

bool CModelLoader::Enqueue(const std::string& path, std::shared_ptr<QmDoc> doc) {
  auto block = std::make_unique<LoadBlock>();
  block->szPath = path;
  block->pDoc = std::move(doc);
  block->pDoc->PrepareLoad(path);
  block->pDoc->m_bReady.store(false, std::memory_order_release);
  g_bLoading.store(true);
  m_aWaiting.push_back(std::move(block));
  if (m_pRunning) return false;
  return StartNext();
}

std::unique_ptr<LoadBlock> CModelLoader::TakeFinished() {
  if (!m_pRunning || !m_pRunning->bDone.load(std::memory_order_acquire)) return nullptr;
  if (m_pRunning->worker.joinable()) m_pRunning->worker.join();
  return std::move(m_pRunning);
}

bool CModelLoader::StartNext() {
  if (m_pRunning) return false;
  while (!m_aWaiting.empty()) {
    std::unique_ptr<LoadBlock> block = std::move(m_aWaiting.front());
    m_aWaiting.pop_front();
    // A document closed while it waited is not loaded at all.
    if (block->pDoc.use_count() <= 1) continue;
    m_pRunning = std::move(block);
    LoadBlock* raw = m_pRunning.get();
    raw->worker = std::thread(LoadThreadProc, raw);
    return true;
  }
  g_bLoading.store(false);
  return false;
}

bool CModelLoader::IsLoading(const QmDoc* doc) const {
  if (m_pRunning && m_pRunning->pDoc.get() == doc) return true;
  for (const auto& b : m_aWaiting)
    if (b->pDoc.get() == doc) return true;
  return false;
}

void CModelLoader::CancelUnwanted() {
  if (m_pRunning && m_pRunning->pDoc.use_count() <= 1) m_pRunning->bCancel.store(true);
}

void CModelLoader::Shutdown() {
  m_aWaiting.clear();
  if (m_pRunning) m_pRunning->bCancel.store(true);
  if (m_pRunning && m_pRunning->worker.joinable()) m_pRunning->worker.join();
  m_pRunning.reset();
  g_bLoading.store(false);
}
