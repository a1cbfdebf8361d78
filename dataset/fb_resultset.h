// The analysis result set: one analysis input and the result files that the
// analysis program wrote beside it (names, status, times, words per step,
// step count and the block files of long runs).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "dataset/fb_model.h"
#include "dataset/fb_op.h"
#include "dataset/page_array.h"
#include "platform/binary_file.h"

// The result files, in the order of their extensions.
enum FbFile : int {
  kFbPl = 0,
  kFbTim,
  kFbDis,
  kFbVel,
  kFbAcc,
  kFbFrc,
  kFbSig,
  kFbEps,
  kFbSta,
  kFbStatus,      // text status file ".sts"
  kFbSgs,
  kFbEss,
  kFbShellState,  // binary shell state file, also ".sts"
  kFbMd,
  kFbFileCount
};

// Byte offset of payload word `w` in a file of records of `d` payload words
// between 4-byte length markers: 4 + 4 (w + 2 floor(w / d)). -1 when d < 1,
// w < 0 or the offset does not fit in 64 bits.
int64_t FbWordOffset(int64_t w, int64_t d);
// Bytes of the whole records of `d` payload words at the start of a file of
// `fileBytes` bytes: where a short or cut last record begins.
int64_t FbFullRecordBytes(int64_t fileBytes, int64_t d);
// Payload words present in a file of `fileBytes` bytes whose records hold
// `d` words each: full records plus the words of a cut or short last one,
// whose leading marker (payload bytes) is `lastMarker`.
int64_t FbPayloadWords(int64_t fileBytes, int64_t d, uint32_t lastMarker);

class CFbResultSet {
 public:
  static const char* const kExt[kFbFileCount];

  CFbResultSet();
  ~CFbResultSet();
  CFbResultSet(const CFbResultSet&) = delete;
  CFbResultSet& operator=(const CFbResultSet&) = delete;

  // Frees the result tables and the times, empties the model and resets the
  // step bookkeeping (names and words per record stay).
  void Reset();
  std::string GetBasePath() const { return m_strBasePath; }
  void SaveCurrentDir();
  int ReadStatusFile();
  // Reads the open ".tim" file into the time list; 1, or -1 with `msg` set.
  int ReadTimeFile(plat::BinaryFile& file, std::string* msg);
  void SetRecordSizes();
  void CountSteps();

  // Block files of long runs.
  int GetBlk(int step);
  int64_t GetOffset(int step, int64_t stepWords);
  std::string GetBlkSuffix(int step);
  // The file of `file` that holds `step` (block number less one in front of
  // the input's file name; block 1 has the plain name).
  std::string GetBlockFileName(int step, FbFile file);
  // base path + extension, found by exact name first, then case-insensitively
  // in the same folder; the plain name when neither exists.
  std::string ResultPath(FbFile file) const;
  // The same lookup for any path beside the input.
  static std::string FindBeside(const std::string& path);

  // A message that the results viewer shows in a message box. The result
  // files code calls it where the user must be told; without a handler the
  // text only goes to m_strLastMessage.
  void ShowMessage(const std::string& text);
  std::function<void(const std::string&)> m_fnShowMessage;
  std::string m_strLastMessage;
  // Why the last reader returned no table (UTF-8); empty after success.
  std::string m_strLastError;

  CFbModel m_model;

  std::string m_strOutName;
  std::string m_strDir;       // with its trailing separator
  std::string m_strFileName;  // without a final ".in"
  std::string m_strDaPath;    // the input path less ".da_" (".da_.in" inputs)
  std::string m_strBasePath;  // the input path less a final ".in"
  std::string m_strCurDir;

  int m_nStatusResult = 0;
  int m_nStatusFlag = 0;
  int m_nStatusCase = 0;
  int m_nStatusStep = 0;

  // Values the result set carries for the viewer.
  int m_nViewMode = 6;
  double m_adScale[3] = {1.0, 1.0, 1.0};
  int m_nViewFlag = 1;
  int m_anViewInts[9] = {0, 1, 1, 1, 0, 1, 0, 0, 1};

  int m_nRecWords = 0;  // payload words per record
  int m_bFiberShear = 0;
  int m_nBlkStep = 0;   // N: steps per block file, 0 = not split
  int m_nBlkStart = 0;  // S0: step offset of the first block file
  int m_nStepLimit = 0; // from the side file ".txt"

  CPageArray<CFbTime> m_aTimes;
  // Result tables kept by the result set (owned; deleted through CFbOp).
  CPageArray<CFbOp> m_aTables;

  int64_t m_aHeadWords[kFbFileCount] = {};
  int64_t m_aStepWords[kFbFileCount] = {};
  int m_nMaxStep = 0;

 private:
  void DeleteTimes();
  void DeleteTables();
  int CountFileSteps(FbFile file, bool readRecWords);
};

// Reads the analysis input `path` through `ar` into the result set and
// prepares its result files. 1 loaded; 0 the input ended early; 2 a dynamic
// run whose ".tim" does not open; negative: the input could not be read.
int LoadAnalysisInput(CArchiveIn& ar, const std::string& path, CFbResultSet& rs, std::string* msg);
// Reads the three name=value lines of a text status file.
int ReadStatusValues(CArchiveIn& ar, CFbResultSet& rs);
