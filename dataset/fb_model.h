// The analysis input of a run (".in"): header values, one list per kind of
// record and the title, as read by CFbModel::Serialize and linked by
// CFbModel::Link.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dataset/fb_op.h"
#include "model/fem_input.h"
#include "model/prop_records.h"
#include "model/record_array.h"
#include "model/record_pool.h"

// A CIpRecordArray that owns its records (every slot holds one class).
// Records made by AppendNew live in the list's pool, a few large chunks
// instead of one heap allocation per line.
template <class T>
class CFbRecordList {
 public:
  CFbRecordList() = default;
  ~CFbRecordList() { RemoveAll(); }
  CFbRecordList(const CFbRecordList&) = delete;
  CFbRecordList& operator=(const CFbRecordList&) = delete;

  T* GetAt(int i) const { return static_cast<T*>(m_array.GetAt(i)); }
  int GetCount() const { return m_array.GetCount(); }
  // Stores the record at the count (its slot goes into m_nIndex). Returns
  // the array's answer; on anything but 1 the record is deleted here.
  int Append(std::unique_ptr<T> rec) {
    const int r = m_array.SetAt(m_array.GetCount(), rec.get());
    if (r == 1) rec.release();
    return r;
  }
  // A new record made in the pool and stored at the count; null (nothing
  // stored) when the array is full.
  template <class... Args>
  T* AppendNew(Args&&... args) {
    T* rec = m_pool.Make<T>(std::forward<Args>(args)...);
    if (m_array.SetAt(m_array.GetCount(), rec) == 1) return rec;
    m_pool.Destroy(rec);
    return nullptr;
  }
  // The pool keeps no room past the records (after a section is read).
  void Trim() { m_pool.Trim(); }
  void RemoveAll() {
    const int n = m_array.GetCount();
    for (int i = 0; i < n; ++i) m_pool.Destroy(GetAt(i));
    m_array.RemoveAll();
    m_pool.Release();
  }
  const CIpRecordArray& Array() const { return m_array; }

 private:
  CIpRecordArray m_array;
  CRecordPool m_pool{sizeof(T), alignof(T)};
};

class CFbSec;
class CFbShellSec;

class CFbNode : public CFemObj {
 public:
  double m_dX = 0, m_dY = 0, m_dZ = 0;
};

// A line element. Node and section fields hold file positions until
// CFbModel::Renumber, then numbers; Link sets the pointers.
class CFbElem : public CFemObj {
 public:
  int m_nNodeI = 0;
  int m_nNodeJ = 0;
  int m_nNodeK = 0;  // third node of the second element list; 0 in the first
  int m_nSec = 0;
  int m_nExtra = 0;  // the further integer of the element line
  int m_bAxes = 0;   // beside the integers: no padding before the pointers
  CFbSec* m_pSec = nullptr;
  CFbNode* m_pNodeI = nullptr;
  CFbNode* m_pNodeJ = nullptr;
  CFbNode* m_pNodeK = nullptr;
  double m_adAxis1[3] = {0, 0, 0};
  double m_adAxis2[3] = {0, 0, 0};
  double m_adAxis3[3] = {0, 0, 0};

  // Local axes from the linked nodes and the section's reference vector.
  void CalcAxes();
};

// m_nNo is the supported node (position, then number).
class CFbSup : public CFemObj {
 public:
  int m_nMask = 0;  // six restraint bits
};

class CFbMat : public CFemObj {
 public:
  static constexpr int kNoKind = -1000;
  int m_nKind = 0;
  std::vector<double> m_adValues;  // header value 2.7 reals
};

// A fibre block: a rectangular strip (shape 0) or a ring sector (shape -1,
// angles in degrees, centre (m_dCy, m_dCz)).
class CFbSecBlock : public CFemObj {
 public:
  int m_nCols = 0;  // i0
  int m_nRows = 0;  // i8
  int m_nMat = 0;   // position, then number; 0 when none
  int m_nShape = 0;
  double m_dC0 = 0, m_dC30 = 0, m_dC15 = 0, m_dC45 = 0, m_dC75 = 0;
  double m_dCy = 0, m_dCz = 0;
  int m_nI16 = 0;
  double m_dC60 = 0;
};

class CFbDeck : public CFemObj {
 public:
  int m_nRows = 0;  // j8
  int m_nMat = 0;
  int m_nCols = 0;  // j0
  double m_dD0 = 0;
  double m_dD30 = 0;  // d0 for a circular deck
  double m_dD15 = 0;  // degrees for a circular deck
  double m_dD45 = 0;  // d30 in degrees for a circular deck
  double m_dD75 = 0;
  int m_nShape = 0;
  double m_dCy = 0, m_dCz = 0;
  int m_nJ16 = 0;
};

class CFbFiberSec : public CFemObj {
 public:
  CVec m_vRef;
  int m_nMat = 0;  // never given by the file: 0
  int m_nBlocks = 0;
  int m_nDecks = 0;
  std::vector<CFbSecBlock> m_aBlocks;  // in file order
  std::vector<CFbDeck> m_aDecks;
};

class CFbScalarSec : public CFemObj {
 public:
  CVec m_vRef;
  int m_nKind = 0;  // section type - 1; 3 for type 4
  double m_adParams[6] = {0, 0, 0, 0, 0, 0};
};

class CFbSpringSec : public CFemObj {
 public:
  CVec m_vRef;
};

class CFbGapSec : public CFemObj {
 public:
  CVec m_vRef;
};

class CFbShellSec : public CFemObj {
 public:
  int m_anInfo[3] = {0, 0, 0};  // the first three information values
  double m_adParams[6] = {0, 0, 0, 0, 0, 0};
};

// A section: its information array and the one part its type makes.
class CFbSec : public CFemObj {
 public:
  // Values beyond the 255 characters of the line always read 0, so only
  // the first kMaxStoredInfo are kept; Info() answers for every index.
  static constexpr int kMaxStoredInfo = 32;
  std::vector<int> m_pInfo;
  int m_nInfoCount = 0;  // header value 2.5
  // Information value k (0-based); 0 for a value the line did not hold.
  int Info(int k) const {
    return k >= 0 && k < static_cast<int>(m_pInfo.size()) ? m_pInfo[static_cast<size_t>(k)] : 0;
  }
  int Type() const { return Info(4); }

  std::unique_ptr<CFbFiberSec> m_pFiber;
  std::unique_ptr<CFbScalarSec> m_pScalar;
  std::unique_ptr<CFbSpringSec> m_pSpring;
  std::unique_ptr<CFbGapSec> m_pGap;
  std::unique_ptr<CFbShellSec> m_pShell;
};

// Load-case entries; each keeps its case key.
class CFbPointLoad : public CFemObj {
 public:
  int m_nCase = 0;
  int m_nDof = 0;  // integer at 8
  double m_dValue = 0;
  int m_nOne = 1;
};

class CFbDistLoad : public CFemObj {
 public:
  int m_nCase = 0;
  int m_nI8 = 0;
  double m_adValues[4] = {0, 0, 0, 1.0};  // reals at 46, 61, 16, 31
};

class CFbPrestress : public CFemObj {
 public:
  struct Point {
    int m_nI8 = 0;
    double m_dValue = 0;
  };
  int m_nCase = 0;
  int m_nPoints = 0;
  std::vector<Point> m_aPoints;
};

class CFbFifthEntry : public CFemObj {
 public:
  int m_nCase = 0;
  double m_adValues[4] = {0, 0, 0, 0};  // reals at 8, 23, 38, 53
};

// A load case. The counts are those of the case line; the arrays hold the
// entries the file gave (fewer when it ended early).
class CFbLoadCase : public CFemObj {
 public:
  int m_nFirst = 0;
  int m_nKey = 0;
  int m_nSteps = 0;
  int m_nNodal = 0, m_nForced = 0, m_nDist = 0, m_nPre = 0, m_nFifth = 0;
  std::vector<CFbPointLoad> m_aNodal;
  std::vector<CFbPointLoad> m_aForced;
  std::vector<CFbDistLoad> m_aDist;
  std::vector<CFbPrestress> m_aPre;
  std::vector<CFbFifthEntry> m_aFifth;
};

class CFbGroundAcc : public CFemObj {
 public:
  int m_anValues[3] = {0, 0, 0};
  double m_dValue = 1.0;
  int m_nOne = 1;
};

class CFbWave : public CFemObj {
 public:
  CWave m_wave;
  int m_nHead = 0;    // integer at 8 of the header line
  int m_nValues = 0;  // this wave's values
};

// A four-node shell element. m_nSec stays a position in the section list.
class CFbQuad : public CFemObj {
 public:
  int m_anZero[2] = {0, 0};
  int m_nSec = 0;
  int m_anNodes[4] = {0, 0, 0, 0};
  CFbShellSec* m_pShell = nullptr;
  CFbNode* m_apNodes[4] = {nullptr, nullptr, nullptr, nullptr};
};

class CFbModel {
 public:
  CFbModel();
  ~CFbModel();
  CFbModel(const CFbModel&) = delete;
  CFbModel& operator=(const CFbModel&) = delete;

  // Reads a whole analysis input; 1 on success, else the code of the reader
  // that failed with one line of text in `msg` (may be null).
  int Serialize(CArchiveIn& ar, std::string* msg);

  // Whose reader this is. The results viewer's (true, the start value) also
  // reads header value 3.6 with the second element list and, for eigen runs,
  // the mode line. The model viewer's (false) takes five values from header
  // line 3, has no second element list and reads nothing after the
  // materials of an eigen run. Emptying the model keeps the choice.
  bool m_bResultsReader = true;
  void RemoveAll();
  int Renumber(std::string* msg);
  // Fibre part of the first section with this number that has one.
  CFbFiberSec* FindSec(int secNo) const;
  void BuildLCaseList();
  void BuildFiberIDList();
  // Global step (from 1) of (case key, step within the case) of a static
  // run, 0 when there is none; (-1, -1) gives the total. Dynamic and eigen
  // runs address a step or mode by itself: the key is returned.
  int GetStepIndex(int caseKey, int step) const;
  // The inverse for the 0-based position g: (case key, step) of a static
  // run, (g + 1, 0) of a dynamic or eigen run; false when there is none.
  bool GetCaseStep(int g, int& caseKey, int& step) const;

  void Link();
  void LinkElemNodes();
  void LinkElemSecs();
  void CalcElemAxes();
  void LinkQuadSecs();

  int SerializeHeader(CArchiveIn& ar, std::string* msg);
  int SerializeNodes(CArchiveIn& ar, std::string* msg);
  int SerializeElems(CArchiveIn& ar, std::string* msg);
  int SerializeElems2(CArchiveIn& ar, std::string* msg);
  int SerializeQuads(CArchiveIn& ar, std::string* msg);
  int SerializeSups(CArchiveIn& ar, std::string* msg);
  int SerializeSecs(CArchiveIn& ar, std::string* msg);
  int SerializeMats(CArchiveIn& ar, std::string* msg);
  int SerializeLoads(CArchiveIn& ar, std::string* msg);
  int SerializeSteps(CArchiveIn& ar, std::string* msg);
  int SerializeGroundAcc(CArchiveIn& ar, std::string* msg);
  int SerializeWaves(CArchiveIn& ar, std::string* msg);
  int SerializeModes(CArchiveIn& ar, std::string* msg);

  // Loaded flag and header line 1.
  int m_bLoaded = 0;
  int m_nFirst = 0;
  int m_nVersion = 0;
  int m_nAnaType = 0;  // 1 static, 2 dynamic, 3 eigen; 0 when empty
  // Header line 2 (values 2.1 to 2.10).
  int m_nNodes = 0;
  int m_nElems = 0;
  int m_nSups = 0;
  int m_nFibers = 0;
  int m_nSecInfo = 0;
  int m_nSecs = 0;
  int m_nMatReals = 0;
  int m_nMats = 0;
  int m_nHead29 = 0;
  int m_nHead210 = 0;
  // Header line 3.
  int m_nSecParams = 9;  // 3.1, parameters per non-fibre section
  int m_nQuads = 0;      // 3.2
  int m_nLayers = 0;     // 3.3 / 24
  int m_nHead34 = 0;
  int m_nHead35 = 0;
  int m_nElems2 = 0;  // 3.6, lines of the second element list
  int m_nShells = 0;  // 3.2 x (3.3 / 24), 0 when negative
  // Load-case header.
  int m_nLoadCases = 0;
  int m_anLoadHead[3] = {0, 0, 0};
  // Step lines of a dynamic run.
  int m_nSteps = 0;
  int m_anStep1[2] = {0, 0};
  double m_adStep1[5] = {0, 0, 0, 0, 0};
  int m_anStep2[6] = {0, 0, 0, 0, 0, 0};
  int m_nGroundAccs = 0;
  int m_nWaves = 0;
  int m_nModeCount = 0;  // eigen modes stored in .md
  int m_bMatKind = 1;    // 0 when a material line had no kind
  std::string m_strTitle;

  CFbRecordList<CFbNode> m_aNodes;
  CFbRecordList<CFbElem> m_aElems;
  CFbRecordList<CFbSup> m_aSups;
  CFbRecordList<CFbMat> m_aMats;
  CFbRecordList<CFbSec> m_aSecs;
  CFbRecordList<CFbLoadCase> m_aLoadCases;
  CFbRecordList<CFbLCase> m_aLCases;
  CFbRecordList<CFbFiberID> m_aFiberIDs;
  CFbRecordList<CFbGroundAcc> m_aGroundAccs;
  CFbRecordList<CFbWave> m_aWaves;
  CFbRecordList<CFemObj> m_aUnused;
  CFbRecordList<CFbQuad> m_aQuads;
  CFbRecordList<CFbElem> m_aElems2;  // three-node elements

 private:
  int ReadElemList(CArchiveIn& ar, std::string* msg, int count, bool threeNodes, CFbRecordList<CFbElem>& list);
  int RenumberElems(CFbRecordList<CFbElem>& list, int count, bool threeNodes, std::string* msg);
  void RenumberSecMaterials();
  // Appends the fibre ids of the list's elements, or with `tally` only adds
  // their number there; false when the list is full (would be, with `tally`).
  bool AppendFiberIDs(const CFbRecordList<CFbElem>& list, int count, long long* tally);
};

// The y and z coordinates of the four corners of a fibre block.
void GetFiberBlockBounds(const CFbSecBlock& block, double y[4], double z[4]);

// The fixed cut of the step lines: at most `width` characters of `line` from
// `start`, or `width` blanks when the line ends before `start`. The line is
// remembered (per thread); a null `line` cuts the line given last.
std::string CutColumn(const char* line, int width, int start);
std::string CutColumn(const std::string& line, int width, int start);
