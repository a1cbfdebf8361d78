// The keyword block classes: one per kind of record line of the keyword data
// file.
#pragma once
#include <memory>
#include <string>

#include "dataset/ip_block.h"
#include "model/ans_records.h"
#include "model/beam_records.h"
#include "model/elem_records.h"
#include "model/load_records.h"
#include "model/mat_records.h"
#include "model/misc_records.h"
#include "model/node_records.h"
#include "model/prop_records.h"
#include "model/quad_records.h"
#include "model/sec_records.h"
#include "model/shell_records.h"
#include "model/spring_records.h"
#include "model/support_type_records.h"

// A block class that differs from its record class's block only in its
// keyword.
#define OV_KEYWORD_BLOCK(Name, Rec, Keyword)      \
  class Name : public CIpBlockT<Rec> {            \
   public:                                        \
    Name() { m_strKeyword = Keyword; }            \
  };

class CIpNodeBlock : public CIpBlockT<CIpNode> {
 public:
  CIpNodeBlock();
  ~CIpNodeBlock() override;

  // The record that stands for the node number: a single node with that
  // number or a generating record whose series holds it; the first record in
  // index order wins. Null for a number of 0 or less.
  CIpNode* FindNode(int number) const;

 protected:
  void Changed() override;

 private:
  struct NodeIndex;
  const NodeIndex& Index() const;
  mutable std::unique_ptr<NodeIndex> m_index;
};

OV_KEYWORD_BLOCK(CIpElemBlock, CIpElem, "/elements")
OV_KEYWORD_BLOCK(CIpMatBlock, CIpMat, "/materials")
// Filled by linking, never read from a file.
OV_KEYWORD_BLOCK(CIpPropBlock, CIpProp, "/prop")
OV_KEYWORD_BLOCK(CIpSecBlock, CIpSec, "/sections")
OV_KEYWORD_BLOCK(CIpSclBlock, CIpScl, "/scalar")
OV_KEYWORD_BLOCK(CIpBeamBlock0, CIpBeam, "/gproperty")

// Beam properties in the line form of the block: 1 the "/gproperty" form,
// 0 the old "/property" form.
class CIpBeamBlock : public CIpBeamBlock0 {
 public:
  CIpBeamBlock();
  // Sets the block's form and, when it is 0 or more, the records' line form.
  void SetBeamFormat(int form);
  // Reads in the block's line form.
  bool ReadBlock(CArchiveIn& ar, std::string& line);

  int m_nBeamFormat = 1;
};

OV_KEYWORD_BLOCK(CIpNSprBlock, CIpNSpr, "/nspring")
OV_KEYWORD_BLOCK(CIpNSpr2Block, CIpNSpr2, "/nsp2")
OV_KEYWORD_BLOCK(CIpHSupBlock, CIpHSup, "/hsupport")
OV_KEYWORD_BLOCK(CIpPccblBlock, CIpPccbl, "/pccable")
OV_KEYWORD_BLOCK(CIpGSupBlock, CIpGSup, "/gsupport")
OV_KEYWORD_BLOCK(CIpRbcksBlock, CIpRbcks, "/rbcks")
OV_KEYWORD_BLOCK(CIpGapBlock, CIpGap, "/gap")
OV_KEYWORD_BLOCK(CIpSupBlock, CIpSup, "/support")
OV_KEYWORD_BLOCK(CIpNLdBlock, CIpNLd, "/forces")
OV_KEYWORD_BLOCK(CIpPLdBlock, CIpPLd, "/pload")

// "/mass": consecutive lines that differ only in their direction become one
// record with several direction bits.
class CIpMassBlock : public CIpBlockT<CIpMass> {
 public:
  CIpMassBlock() { m_strKeyword = "/mass"; }
  bool ReadBlock(CArchiveIn& ar, std::string& line);
};

// "/dforce": consecutive lines that differ only in code B become one record
// with both codes OR-ed.
class CIpDForceBlock : public CIpBlockT<CIpDForce> {
 public:
  CIpDForceBlock() { m_strKeyword = "/dforce"; }
  bool ReadBlock(CArchiveIn& ar, std::string& line);
};

// The old nodal-force block: no keyword, no records.
class CIpDForceOldBlock : public CIpBlock {
 public:
  int RemoveRecords(int, int, bool) override { return 1; }
  void DeleteAll() override {}
  bool SetCell(int, int, std::string) override { return false; }
  CFemInput* GetInput(int) const override { return nullptr; }
};

OV_KEYWORD_BLOCK(CIpQuakeBlock, CIpQuake, "/quake")
OV_KEYWORD_BLOCK(CIpPStBlock, CIpPSt, "/prestress")

// The load list of the "/analysis" record; it has no keyword of its own.
class CIpAnsSubBlock : public CIpBlockT<CIpAnsSub> {
 public:
  CIpAnsSubBlock() { m_strKeyword.clear(); }
  // Entries that are not empty, carry no comment and give text.
  int CountWritable() const;
};

OV_KEYWORD_BLOCK(CIpFuncBlock, CIpFunc, "/functions")
OV_KEYWORD_BLOCK(CIpCrpBlock, CIpCrp, "/creep")
OV_KEYWORD_BLOCK(CIpStrnBlock, CIpStrn, "/strain")
OV_KEYWORD_BLOCK(CIpTrussBlock, CIpTruss, "/gtruss")
OV_KEYWORD_BLOCK(CIpRigidBlock, CIpRigid, "/rigid")
OV_KEYWORD_BLOCK(CIpNDEqualBlock, CIpNDEqual, "/ndequal")
OV_KEYWORD_BLOCK(CIpPSt2Block, CIpPSt2, "/pres")
OV_KEYWORD_BLOCK(CIpSOutputBlock, CIpSOutput, "/soutput")
OV_KEYWORD_BLOCK(CIpPShellBlock, CIpPShell, "/pshell")
OV_KEYWORD_BLOCK(CIpQuadBlock, CIpQuad, "/cquad")
OV_KEYWORD_BLOCK(CIpSLdBlock, CIpSLd, "/sufload")
OV_KEYWORD_BLOCK(CIpQlineBlock, CIpQline, "/cqline")

#undef OV_KEYWORD_BLOCK
