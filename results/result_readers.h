// Readers of one step (or eigen mode) of one quantity of a run into a new
// result table. Each returns the table, which the caller owns, or null with
// the reason in the result set's m_strLastError. A step that its file holds
// only in part gives the records read so far (node and beam tables, and
// fibre tables of kinds 1 and 2, still end with their minimum and maximum
// rows; a fibre stress table made while reading then has none). Where the
// user must be told at once (a fibre or shell word beyond the end of its
// file, a block file that does not open), the result set's ShowMessage is
// called as well.
#pragma once
#include <memory>

#include "dataset/fb_resultset.h"
#include "results/op_block.h"

using FbTablePtr = std::unique_ptr<CFbOpBlock>;

// Static runs take (load case, step within it); dynamic runs the step in
// the first argument.
FbTablePtr ReadNodeResult(CFbResultSet& rs, int caseOrStep, int step);
// Mode from 1 of an eigen run.
FbTablePtr ReadModeShape(CFbResultSet& rs, unsigned mode);
FbTablePtr ReadBeamForce(CFbResultSet& rs, int caseOrStep, int step);
// kind 0 stress (.sig), 1 strain (.eps), 2 state (.sta).
FbTablePtr ReadFiberResult(CFbResultSet& rs, int caseOrStep, int step, int kind);
// kind 0 stress (.sgs), 1 strain (.ess), 2 state (the shell state file).
FbTablePtr ReadShellResult(CFbResultSet& rs, int kind, int caseOrStep, int step);

// The von Mises stress of every integration point of a shell record.
void CalcMisesStress(FbQOut& rec);
