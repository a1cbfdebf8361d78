// Which members of each model get a solid, their frames, and the blocks of
// their sections as the solid builders take them. The display builders of
// both models and the results viewer's geometry all read members through
// these, so a member is drawn alike wherever it is drawn.
#pragma once
#include "dataset/fb_model.h"
#include "model/elem_records.h"
#include "model/sec_records.h"
#include "viewer/member_solid.h"

// Keyword records with a comment text are comment lines, not data.
bool IsLiveRecord(const CFemInput* rec);

// --- analysis input ---------------------------------------------------------
// The fibre part of a member that gets a solid: both end nodes linked (the
// first one too: an unlinked first node must not be followed), a section
// with a fibre part, and local axes. Null otherwise.
const CFbFiberSec* SolidSection(const CFbElem* e);
// A fibre block numbered `position`; a block material below 1 takes the
// section's default material.
SolidBlock ToSolidBlock(const CFbSecBlock& blk, const CFbFiberSec& sec, int position);
// Element number, element integer and local axes; the colour fields stay.
void SetFrameIds(MemberFrame& f, const CFbElem& e);

// --- keyword data set -------------------------------------------------------
// The section of a live member that gets a solid: both end nodes linked, a
// property that names a section, and local axes. Null otherwise.
const CIpSec* SolidSection(const CIpElem* e);
// A section block numbered `position`; a block material below 1 takes the
// section's material.
SolidBlock ToSolidBlock(const CIpBlk& blk, const CIpSec& sec, int position);
void SetFrameIds(MemberFrame& f, const CIpElem& e);

// Every block of a section in file order, numbered from 1:
// fn(block record, solid block).
template <class Fn>
void ForEachSolidBlock(const CFbFiberSec& sec, Fn&& fn) {
  int position = 0;
  for (const CFbSecBlock& blk : sec.m_aBlocks) fn(blk, ToSolidBlock(blk, sec, ++position));
}
template <class Fn>
void ForEachSolidBlock(const CIpSec& sec, Fn&& fn) {
  int position = 0;
  for (const auto& blk : sec.m_pBlkList) fn(*blk, ToSolidBlock(*blk, sec, ++position));
}
