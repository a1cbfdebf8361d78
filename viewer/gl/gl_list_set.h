// The display lists of one view: one block of names in the context, one
// number for each thing a list may hold (the same numbers in both
// programs), and each program's table of the lists it uses with what builds
// them. The set generates, builds, calls, defers (a deferred list is built
// at its first call), releases and deletes them; the lists' large draws go
// to buffer objects through its CListBatches.
//
// A list that holds stencil-outlined faces is drawn directly, every frame,
// instead of played back while the driver needs that (CGlDriver).
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "viewer/gl/gl_batches.h"

// What each list holds (name = the set's base + number).
enum SceneList : int {
  kListBackground = 0,    // the background's two-colour quad
  kListEdges = 1,         // the structure's edge layer
  kListKind0 = 2,         // 2..5: the surfaces of part kinds 0..3
  kListFlagged = 6,       // the surfaces of the flagged elements
  kListFlaggedEdges = 7,  // the edge layer of the flagged elements
  kListMaterial = 8,      // the material display
  kListTriad = 9,         // the axis triad
  kListStructure = 10,    // the results viewer's structure
  kListSurfaces = 11,     // the results viewer's solid mode: every element, the flagged lines
  kListSolidEdges = 12,   // the edge layer of the solid mode
  kListDiagram = 13,      // a diagram's faces
  kListDiagramEdges = 14, // a diagram's edge layer
  kListCount = 15,
};

class CGlListSet {
 public:
  struct Entry {
    int number = 0;
    const char* name = "";
    // Draws what the list holds (context current); empty for a list its
    // owner compiles with its own body.
    std::function<void()> build;
    // Runs before the list opens (context current, no list open).
    std::function<void()> prepare;
    // True while the list holds stencil-outlined faces.
    std::function<bool()> stencilOutlined;
  };

  CGlListSet() = default;
  CGlListSet(const CGlListSet&) = delete;
  CGlListSet& operator=(const CGlListSet&) = delete;

  // The program's lists; numbers outside the set are ignored.
  void SetTable(std::vector<Entry> table);
  const Entry* Find(int n) const;

  // Names for every number (context current); false (`error`) when the
  // driver gives none. Later calls keep the names.
  bool Generate(std::string& error);
  bool HasNames() const { return m_base != 0; }
  unsigned Base() const { return m_base; }
  int Count() const { return m_base != 0 ? kListCount : 0; }

  // Compiles list n now from its table entry (a list drawn directly is
  // only emptied and deferred), or from `body`. The old contents go first: the
  // old and the new are never held at once.
  void Compile(int n);
  void Compile(int n, const std::function<void()>& body);
  // Plays list n: a deferred list is built first, one drawn directly is drawn.
  void Call(int n);
  // List n is built at its next call; Release also empties it now.
  void Defer(int n);
  void Release(int n);
  void DeferAll();
  bool Built(int n) const { return InRange(n) && m_state[static_cast<size_t>(n)] == kBuilt; }
  bool Deferred(int n) const { return InRange(n) && m_state[static_cast<size_t>(n)] == kDeferred; }
  // List n is drawn directly, every frame, rather than played back.
  bool DrawnDirectly(int n) const;
  // The parts of the lists not built go (context current): a list about to
  // be built again no longer holds on to what it drew.
  void DropUnbuilt();
  // Deletes the names and their parts (context current).
  void Delete();
  // The context went with its names: they are forgotten and stay counted.
  void Forget();

  CListBatches& Batches() { return m_batches; }
  // Display-list names the sets of this process hold (generated and not
  // yet deleted): a closed view must bring it back.
  static long LiveNames();

  // Lists built at their first call and the seconds spent building them,
  // summed until the owner resets them (the first-picture report and the
  // stale-input guard).
  int compiled = 0;
  double compileSeconds = 0.0;

 private:
  enum State : unsigned char { kNone, kDeferred, kBuilt };
  static bool InRange(int n) { return n >= 0 && n < kListCount; }
  unsigned Name(int n) const { return m_base + static_cast<unsigned>(n); }
  void CompileEntry(int n, bool execute);
  void CompileBody(int n, const std::function<void()>& body, const std::function<void()>& prepare, bool execute);

  std::vector<Entry> m_table;
  unsigned m_base = 0;
  std::array<State, kListCount> m_state{};
  std::array<bool, kListCount> m_held{};  // the name may hold contents
  CListBatches m_batches;
};
