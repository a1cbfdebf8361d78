// The result files of a run and the text files beside them. A small run of
// each analysis type is written once per process (input and every result
// file); each input replaces one of its files, the run is opened as the
// results viewer opens it and the reader of that file is asked for the
// steps a user can choose and for some they cannot. OV_RESULT_TARGET (set
// when the target is built) picks the file:
//   1 .dis   ReadNodeResult          5 .sgs/.ess/.sts  ReadShellResult
//   2 .md    ReadModeShape           6 .sts  text status file
//   3 .frc   ReadBeamForce           7 .tim  time file
//   4 .sig/.eps/.sta ReadFiberResult 8 .txt  side file of long runs
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dataset/fb_resultset.h"
#include "fuzz/fuzz_util.h"
#include "platform/text_lines.h"
#include "results/result_readers.h"
#include "results/test_run_writer.h"

#ifndef OV_RESULT_TARGET
#error "OV_RESULT_TARGET picks the fuzzed file"
#endif

namespace {

constexpr int kTarget = OV_RESULT_TARGET;

struct Run {
  std::string dir;
  std::string in;  // the input's path
  int type = 0;
  // The record-length file (.dis, or .md of an eigen run) as written and
  // its payload, to write it again with another record length.
  std::string lengthFile;
  std::string lengthBytes;
  std::vector<uint32_t> lengthWords;
};

std::vector<uint32_t> Payload(const std::string& bytes, int d) {
  std::vector<uint32_t> words;
  size_t pos = 0;
  while (pos + 4 <= bytes.size()) {
    pos += 4;  // leading marker
    for (int i = 0; i < d && pos + 4 <= bytes.size(); ++i, pos += 4)
      words.push_back(static_cast<uint32_t>(plat::DecodeInt32LE(reinterpret_cast<const unsigned char*>(bytes.data()) + pos)));
    pos += 4;  // trailing marker
  }
  return words;
}

const Run& GetRun(int type) {
  static Run runs[3];
  static const bool made = [] {
    for (int t = 1; t <= 3; ++t) {
      Run& r = runs[t - 1];
      r.type = t;
      r.dir = fuzz::FreshDir("run" + std::to_string(t));
      testrun::RunSpec frameDesc = testrun::SmallFrame(t);
      if (t == 2) {
        // A long run: its fibre and shell files are split into block files
        // of two steps each (three in the first), as the side file says.
        frameDesc.blkStep = 2;
        frameDesc.writeTxt = true;
      }
      r.in = testrun::WriteRun(r.dir, "run", frameDesc);
      r.lengthFile = r.dir + (t == 3 ? "run.md" : "run.dis");
      plat::ReadWholeFile(r.lengthFile, r.lengthBytes);
      r.lengthWords = Payload(r.lengthBytes, frameDesc.recWords);
    }
    return true;
  }();
  (void)made;
  return runs[std::clamp(type, 1, 3) - 1];
}

// The steps to ask for: as the step dialog lists them (0-based position g
// mapped to the reader's arguments), then a few that do not exist.
std::vector<std::pair<int, int>> StepsToAsk(const CFbResultSet& rs) {
  std::vector<std::pair<int, int>> out;
  const int maxStep = rs.m_nMaxStep;
  std::vector<int> positions = {0, 1, 2};
  if (maxStep > 3) positions.insert(positions.end(), {maxStep - 2, maxStep - 1});
  positions.push_back(maxStep);
  for (int g : positions) {
    int caseKey = 0, step = 0;
    if (rs.m_model.m_nAnaType == 1) {
      if (rs.m_model.GetCaseStep(g, caseKey, step)) out.emplace_back(caseKey, step);
    } else if (g < 2147483647) {
      out.emplace_back(g + 1, 0);
    }
  }
  out.emplace_back(0, 0);
  out.emplace_back(-1, -1);
  out.emplace_back(2147483647, 1);
  return out;
}

void AskNodes(CFbResultSet& rs, const std::vector<std::pair<int, int>>& steps) {
  for (const auto& [a, b] : steps) ReadNodeResult(rs, a, b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const unsigned select = fuzz::TakeByte(data, size);
  const unsigned lengthSelect = fuzz::TakeByte(data, size);

  int type = 1 + static_cast<int>(select % 2);  // static or dynamic
  if (kTarget == 2) type = 3;
  if (kTarget == 7 || kTarget == 8) type = 2;
  const int kind = static_cast<int>((select / 2) % 3);
  const Run& run = GetRun(type);

  std::string ext;
  switch (kTarget) {
    case 1: ext = ".dis"; break;
    case 2: ext = ".md"; break;
    case 3: ext = ".frc"; break;
    case 4: ext = kind == 0 ? ".sig" : kind == 1 ? ".eps" : ".sta"; break;
    case 5: ext = kind == 0 ? ".sgs" : kind == 1 ? ".ess" : ".sts"; break;
    case 6: ext = ".sts"; break;
    case 7: ext = ".tim"; break;
    case 8: ext = ".txt"; break;
  }
  const std::string fuzzed = run.dir + "run" + ext;
  // Another record length for the files whose own length the fuzzed file
  // does not give.
  const bool relength = kTarget != 1 && kTarget != 2 && lengthSelect % 4 == 0;
  if (relength) {
    const int d = 1 + static_cast<int>(lengthSelect / 4);
    fuzz::WriteFile(run.lengthFile, testrun::RecordBytes(run.lengthWords, d));
  }
  std::string saved;
  plat::ReadWholeFile(fuzzed, saved);
  fuzz::WriteFile(fuzzed, data, size);

  {
    CFbResultSet rs;
    rs.m_fnShowMessage = [](const std::string&) {};
    auto in = plat::LineReader::FromFile(run.in);
    std::string msg;
    const int loaded = in ? LoadAnalysisInput(*in, run.in, rs, &msg) : -1;
    if (loaded >= 0) {
      rs.m_model.Link();
      const auto steps = StepsToAsk(rs);
      switch (kTarget) {
        case 1:
        case 6:
        case 7:
          AskNodes(rs, steps);
          break;
        case 2:
          for (unsigned m : {0u, 1u, 2u, 4u, 5u, 0xFFFFFFFFu}) ReadModeShape(rs, m);
          break;
        case 3:
          for (const auto& [a, b] : steps) ReadBeamForce(rs, a, b);
          break;
        case 4:
          for (const auto& [a, b] : steps) ReadFiberResult(rs, a, b, kind);
          break;
        case 5:
          for (const auto& [a, b] : steps) ReadShellResult(rs, kind, a, b);
          break;
        case 8:
          for (const auto& [a, b] : steps) {
            ReadFiberResult(rs, a, b, 0);
            ReadShellResult(rs, 2, a, b);
          }
          break;
      }
      if (kTarget == 6) {
        for (const auto& [a, b] : steps) ReadShellResult(rs, 2, a, b);
      }
    }
  }

  // Back to the run as written, for the next input.
  if (saved.empty() && kTarget == 8)
    fuzz::RemoveFile(fuzzed);
  else
    fuzz::WriteFile(fuzzed, saved);
  if (relength) fuzz::WriteFile(run.lengthFile, run.lengthBytes);
  return 0;
}
