#include "viewer/gl/gl_list_set.h"

#include <GL/gl.h>

#include <atomic>
#include <chrono>
#include <cstdio>

#include "viewer/gl/gl_driver.h"

namespace {

std::atomic<long> g_nLiveNames{0};

}  // namespace

long CGlListSet::LiveNames() { return g_nLiveNames.load(); }

void CGlListSet::SetTable(std::vector<Entry> table) { m_table = std::move(table); }

const CGlListSet::Entry* CGlListSet::Find(int n) const {
  for (const Entry& e : m_table)
    if (e.number == n) return &e;
  return nullptr;
}

bool CGlListSet::Generate(std::string& error) {
  if (m_base != 0) return true;
  const GLuint base = glGenLists(kListCount);
  if (base == 0) {
    error = "OpenGL のディスプレイリストを確保できません。";
    std::fprintf(stderr, "OpenGL context: glGenLists(%d) failed\n", kListCount);
    return false;
  }
  m_base = base;
  g_nLiveNames += kListCount;
  m_state.fill(kNone);
  m_held.fill(false);
  return true;
}

bool CGlListSet::DrawnDirectly(int n) const {
  const Entry* e = Find(n);
  return CGlDriver::Cures().stencilDrawnDirectly && e && e->stencilOutlined && e->stencilOutlined();
}

void CGlListSet::CompileBody(int n, const std::function<void()>& body, const std::function<void()>& prepare,
                             bool execute) {
  const GLuint name = Name(n);
  const size_t i = static_cast<size_t>(n);
  if (m_held[i]) {
    glNewList(name, GL_COMPILE);
    glEndList();
  }
  m_held[i] = true;
  if (prepare) prepare();
  m_batches.Build(name, body, execute);
  m_state[i] = kBuilt;
}

void CGlListSet::Compile(int n) { CompileEntry(n, false); }

void CGlListSet::CompileEntry(int n, bool execute) {
  if (!InRange(n) || m_base == 0) return;
  const Entry* e = Find(n);
  if (DrawnDirectly(n)) {
    // Nothing of it is kept: the call draws it.
    Release(n);
    return;
  }
  CompileBody(n, e && e->build ? e->build : std::function<void()>([] {}), e ? e->prepare : nullptr, execute);
}

void CGlListSet::Compile(int n, const std::function<void()>& body) {
  if (InRange(n) && m_base != 0) CompileBody(n, body, nullptr, false);
}

void CGlListSet::Call(int n) {
  if (!InRange(n) || m_base == 0) return;
  const State s = m_state[static_cast<size_t>(n)];
  if (s == kNone) return;
  if (DrawnDirectly(n)) {
    const Entry* e = Find(n);
    if (e && e->build) e->build();
    return;
  }
  if (s == kDeferred) {
    // Compiled and executed at once, unless the driver needs the list
    // compiled and then called.
    const bool execute = !CGlDriver::Cures().compileThenCall;
    const auto t0 = std::chrono::steady_clock::now();
    CompileEntry(n, execute);
    compileSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++compiled;
    if (execute) return;
  }
  m_batches.Call(Name(n));
}

void CGlListSet::Defer(int n) {
  if (InRange(n)) m_state[static_cast<size_t>(n)] = kDeferred;
}

void CGlListSet::Release(int n) {
  if (!InRange(n) || m_base == 0) return;
  const size_t i = static_cast<size_t>(n);
  if (m_held[i]) {
    m_batches.Drop(Name(n));
    glNewList(Name(n), GL_COMPILE);
    glEndList();
    m_held[i] = false;
  }
  m_state[i] = kDeferred;
}

void CGlListSet::DeferAll() { m_state.fill(kDeferred); }

void CGlListSet::DropUnbuilt() {
  if (m_base == 0) return;
  for (int n = 0; n < kListCount; ++n)
    if (m_state[static_cast<size_t>(n)] != kBuilt) m_batches.Drop(Name(n));
}

void CGlListSet::Delete() {
  if (m_base != 0) {
    glDeleteLists(m_base, kListCount);
    g_nLiveNames -= kListCount;
    m_batches.DeleteAll();
  }
  Forget();
}

void CGlListSet::Forget() {
  m_base = 0;
  m_batches.Forget();
  m_state.fill(kNone);
  m_held.fill(false);
}
