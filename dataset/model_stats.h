// Nine counts of a loaded model that size the display arrays, filled from
// either the keyword data set or the analysis input.
#pragma once
#include <string>

class CIpDataSet;
class CFbModel;

class CModelStats {
 public:
  // A count above this is refused: the display arrays sized from it (up to
  // 12 doubles per fibre and six faces per fibre) would not fit in memory.
  static constexpr long long kMaxCount = 100'000'000;

  int m_nElems = 0;       // line elements
  int m_nQuads = 0;       // quadrilateral shell elements
  int m_nRectBlocks = 0;  // fibre blocks with shape flag 0 or above
  int m_nArcBlocks = 0;   // fibre blocks with a negative shape flag
  int m_nFibers = 0;      // sum of the blocks' rows x columns
  int m_nDecks = 0;
  int m_nDeckRows = 0;    // sum of the decks' row counts
  int m_nNodes = 0;
  int m_nMats = 0;

  // Why the last count was refused (UTF-8); empty after a good count.
  std::string m_strError;

  void Clear();

  // Zeroes and fills the counts from a linked keyword data set. False, with
  // every count 0 and m_strError set, when a total is too large.
  bool CountIp(const CIpDataSet& ds);
  // The same from a linked analysis input (defined with the analysis input).
  bool CountFb(const CFbModel& model);

  // Running totals in 64 bits, shared by both counts: negative divisions and
  // row counts count 0, and every sum saturates just above kMaxCount.
  struct Totals {
    long long elems = 0, quads = 0, rectBlocks = 0, arcBlocks = 0, fibers = 0, decks = 0, deckRows = 0,
              nodes = 0, mats = 0;
    void AddBlock(int shapeFlag, long long div1, long long div2);
    void AddDeck(long long rows);
    // Adds `times` copies of another tally's blocks and decks (a section
    // used by several elements).
    void AddTimes(const Totals& part, long long times);
  };
  // Checks the totals and stores them; false (counts 0, m_strError set) when
  // one is above kMaxCount.
  bool Commit(const Totals& totals);
};
