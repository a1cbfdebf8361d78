// Keys of the results of a run: a load case and its step, a time step, a
// fibre identity. CFbOp is also the base of the result tables and records.
#pragma once
#include "model/fem_input.h"

class CFbOp : public CFemData {
 public:
  CFbOp() = default;
  // Tables and their records are deleted through this base, so every
  // record is destroyed as its real class.
  virtual ~CFbOp() = default;
  CFbOp(const CFbOp&) = default;
  CFbOp& operator=(const CFbOp&) = default;

  // The value at `index` (records), the time (time keys), 0 otherwise.
  virtual double GetValue(int index) const {
    (void)index;
    return 0.0;
  }
};

// A static step: load-case key and step within the case (from 1).
class CFbLCase : public CFbOp {
 public:
  CFbLCase() = default;
  CFbLCase(int caseKey, int step) : m_nCase(caseKey), m_nStep(step) {}
  int m_nCase = 0;
  int m_nStep = 0;
};

// A time step of a dynamic run.
class CFbTime : public CFbOp {
 public:
  double GetValue(int /*index*/) const override { return m_fTime; }
  float m_fTime = 0.0f;
};

// One fibre: element number, block (from 1, over the blocks and then the
// decks of the element's section), row and column (from 1).
class CFbFiberID : public CFbOp {
 public:
  CFbFiberID() = default;
  CFbFiberID(int elem, int block, int row, int col) : m_nElem(elem), m_nBlock(block), m_nRow(row), m_nCol(col) {}
  int m_nElem = 0;
  int m_nBlock = 0;
  int m_nRow = 0;
  int m_nCol = 0;
};
