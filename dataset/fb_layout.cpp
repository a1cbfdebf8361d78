// Layout of the result files: words per step, step counting and the block
// files of long runs.
#include <algorithm>
#include <limits>

#include "dataset/fb_resultset.h"
#include "platform/binary_file.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

int64_t FbWordOffset(int64_t w, int64_t d) {
  if (d < 1 || w < 0) return -1;
  // 4 + 4 w + 8 floor(w / d), refused when it would not fit.
  const int64_t records = w / d;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  if (w > (kMax - 4) / 4) return -1;
  const int64_t head = 4 + 4 * w;
  if (records > (kMax - head) / 8) return -1;
  return head + 8 * records;
}

int64_t FbFullRecordBytes(int64_t fileBytes, int64_t d) {
  if (d < 1 || fileBytes <= 0) return 0;
  const int64_t recordBytes = 4 * (d + 2);
  return fileBytes / recordBytes * recordBytes;
}

int64_t FbPayloadWords(int64_t fileBytes, int64_t d, uint32_t lastMarker) {
  if (d < 1 || fileBytes <= 0) return 0;
  const int64_t fullBytes = FbFullRecordBytes(fileBytes, d);
  const int64_t rest = fileBytes - fullBytes;
  // A last record that is shorter or cut: the words after its leading marker,
  // no more than that marker announces, so that the trailing marker of a
  // short record is not taken for a word. A marker beyond d words (a cut
  // record's garbage) bounds nothing.
  const int64_t partial = rest >= 4 ? std::min({d, int64_t{lastMarker >> 2}, (rest - 4) / 4}) : 0;
  return fullBytes / (4 * (d + 2)) * d + partial;
}

void CFbResultSet::SetRecordSizes() {
  const CFbModel& m = m_model;
  if (m.m_nAnaType == 0) return;
  const int64_t nodes = std::max(0, m.m_nNodes);
  const int64_t elems = std::max(0, m.m_nElems);
  const int64_t fibers = std::max(0, m.m_nFibers);
  const int64_t shells = std::max(0, m.m_nShells);
  m_aStepWords[kFbPl] = nodes * 6;
  m_aStepWords[kFbDis] = m_aStepWords[kFbVel] = m_aStepWords[kFbAcc] = nodes * 6;
  m_aStepWords[kFbFrc] = elems * 12;
  m_aStepWords[kFbSig] = fibers * 3;
  m_aStepWords[kFbEps] = m_bFiberShear ? fibers * 3 : fibers;
  m_aStepWords[kFbSta] = fibers;
  m_aStepWords[kFbSgs] = m_aStepWords[kFbEss] = shells * 24;
  m_aStepWords[kFbShellState] = shells * 4;
  m_aStepWords[kFbMd] = nodes * 6;
  for (int64_t& h : m_aHeadWords) h = 0;
  // The mode file starts with one word per mode.
  m_aHeadWords[kFbMd] = std::max(0, m.m_nModeCount);
}

namespace {

// Opens a result file and reads its first record marker as payload words.
bool OpenResult(const std::string& path, plat::BinaryFile& f, int& recWords) {
  if (!f.Open(path)) return false;
  int32_t marker = 0;
  recWords = f.ReadInt32(0, marker) ? static_cast<int>(static_cast<uint32_t>(marker) >> 2) : 0;
  return true;
}

}  // namespace

int CFbResultSet::CountFileSteps(FbFile file, bool readRecWords) {
  plat::BinaryFile f;
  int recWords = 0;
  if (!OpenResult(ResultPath(file), f, recWords)) return -1;
  if (readRecWords) m_nRecWords = recWords;
  const int64_t stepWords = m_aStepWords[file];
  if (stepWords < 1) return 0;
  // Count payload words, not the length markers around every record.
  int64_t words = f.Size() / 4;
  if (m_nRecWords >= 1) {
    int32_t lastMarker = -1;  // unreadable: no bound
    f.ReadInt32(FbFullRecordBytes(f.Size(), m_nRecWords), lastMarker);
    words = FbPayloadWords(f.Size(), m_nRecWords, static_cast<uint32_t>(lastMarker));
  }
  return plat::ClampToInt(words / stepWords);
}

void CFbResultSet::CountSteps() {
  const CFbModel& m = m_model;
  switch (m.m_nAnaType) {
    case 1: {
      m_nRecWords = 0;
      const int steps = CountFileSteps(kFbDis, true);
      if (steps < 0) {
        m_nMaxStep = 0;
        break;
      }
      // Every (case, step) of the input, then the status file's last step.
      long long total = 0;
      for (int i = 0; i < m.m_nLoadCases; ++i) {
        const CFbLoadCase* lc = m.m_aLoadCases.GetAt(i);
        if (!lc) break;
        total += lc->m_nSteps;
      }
      m_nMaxStep = plat::ClampToInt(total);
      if (m_nStatusCase != 0 && m_nStatusStep != 0) {
        if (m_nStatusFlag == 0) {
          // The status file's numbers may be anything: out of range they name no step.
          const int g = m_nStatusCase > 0 && m_nStatusStep > 0
                            ? m.GetStepIndex(m_nStatusCase - 1, m_nStatusStep - 1)
                            : 0;
          // A negative status step could map below 1: only a real step counts.
          if (g > 0) m_nMaxStep = g;
        } else {
          long long sum = 0;
          for (int i = 0; i < m.m_nLoadCases; ++i) {
            const CFbLoadCase* lc = m.m_aLoadCases.GetAt(i);
            if (!lc) break;
            if (lc->m_nKey == m_nStatusCase && m_nStatusStep >= 1 && m_nStatusStep <= lc->m_nSteps) {
              const long long j = sum + m_nStatusStep - 1;
              if (j >= 1) m_nMaxStep = plat::ClampToInt(j);
              break;
            }
            sum += lc->m_nSteps;
          }
        }
      }
      m_nMaxStep = std::min(m_nMaxStep, steps);
      break;
    }
    case 2: {
      m_nRecWords = 0;
      static const FbFile kFiles[] = {kFbDis, kFbVel, kFbAcc, kFbFrc, kFbSig, kFbEps, kFbSta};
      for (FbFile file : kFiles) {
        if (m_aStepWords[file] < 1) continue;
        if (m_nBlkStep != 0 && (file == kFbSig || file == kFbEps)) continue;
        const int steps = CountFileSteps(file, file == kFbDis);
        if (steps >= 0) m_nMaxStep = steps;
      }
      break;
    }
    case 3: {
      m_nRecWords = 0;
      plat::BinaryFile f;
      // The model viewer's reader knows no mode count: one step when the
      // mode file is there.
      const int modes = m.m_bResultsReader ? std::max(0, m.m_nModeCount) : 1;
      m_nMaxStep = OpenResult(ResultPath(kFbMd), f, m_nRecWords) ? modes : 0;
      break;
    }
    default:
      return;
  }
  if (m_strBasePath.empty()) {
    m_strOutName.clear();
  } else if (plat::EndsWith(plat::ToLowerAscii(m_strBasePath), ".da_")) {
    m_strOutName = m_strBasePath.substr(0, m_strBasePath.size() - 4) + ".out";
  } else if (m_strBasePath.size() <= 3) {
    m_strOutName = m_strBasePath + ".out";
  }
}

int CFbResultSet::GetBlk(int step) {
  if (step > m_nMaxStep) {
    ShowMessage("step > m_nMaxStep in GetBlk");
    return 1000;
  }
  const long long n = m_nBlkStep;
  if (n < 1) return 1;
  // The first block holds steps 1 to N + 1, every later one N steps.
  long long c = (static_cast<long long>(m_nBlkStart) - 2) / n + 1;
  if (c < 1) c = 1;
  const long long s = step;
  const long long blk = s <= n + 1 ? c + (s - 1) / (n + 1) : c + 1 + (s - n - 2) / n;
  return plat::ClampToInt(blk);
}

int64_t CFbResultSet::GetOffset(int step, int64_t stepWords) {
  if (step > m_nMaxStep) {
    ShowMessage("step > m_nMaxStep in GetOffset");
    return 0;
  }
  const int64_t n = m_nBlkStep;
  const int64_t s = step;
  const int64_t s0 = m_nBlkStart;
  if (n < 1) return (s - 1) * stepWords;
  if (s <= n + 1) return ((s0 + s - 1) % (n + 1)) * stepWords;
  return ((s0 - n + s - 2) % n) * stepWords;
}

std::string CFbResultSet::GetBlkSuffix(int step) {
  if (m_nBlkStep < 1) return {};
  const int b = GetBlk(step) - 1;
  return b > 0 ? plat::Format("%d", b) : std::string();
}

std::string CFbResultSet::GetBlockFileName(int step, FbFile file) {
  return FindBeside(m_strDir + GetBlkSuffix(step) + m_strFileName + kExt[file]);
}
