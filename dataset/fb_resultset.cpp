#include "dataset/fb_resultset.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/binary_file.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/text_lines.h"

const char* const CFbResultSet::kExt[kFbFileCount] = {".pl",  ".tim", ".dis", ".vel", ".acc", ".frc", ".sig",
                                                      ".eps", ".sta", ".sts", ".sgs", ".ess", ".sts", ".md"};

CFbResultSet::CFbResultSet() { Reset(); }

CFbResultSet::~CFbResultSet() { Reset(); }

void CFbResultSet::DeleteTimes() {
  const int n = m_aTimes.GetCount();
  for (int i = 0; i < n; ++i) delete m_aTimes.GetAt(i);
  m_aTimes.RemoveAll();
}

void CFbResultSet::DeleteTables() {
  const int n = m_aTables.GetCount();
  for (int i = 0; i < n; ++i) delete m_aTables.GetAt(i);
  m_aTables.RemoveAll();
}

void CFbResultSet::Reset() {
  DeleteTables();
  DeleteTimes();
  m_model.RemoveAll();
  m_nViewMode = 6;
  for (double& s : m_adScale) s = 1.0;
  m_nViewFlag = 1;
  static const int kViewInts[9] = {0, 1, 1, 1, 0, 1, 0, 0, 1};
  for (int i = 0; i < 9; ++i)
    if (i != 6) m_anViewInts[i] = kViewInts[i];
  m_nStatusResult = m_nStatusFlag = m_nStatusCase = m_nStatusStep = 0;
  m_bFiberShear = 0;
  // Block limits and the record length belong to the run: a stale value
  // would shift every position of the next one.
  m_nBlkStep = 0;
  m_nBlkStart = 0;
  m_nStepLimit = 0;
  m_nRecWords = 0;
  for (int i = 0; i < kFbFileCount; ++i) m_aHeadWords[i] = m_aStepWords[i] = 0;
  m_nMaxStep = 0;
  m_strLastError.clear();
}

void CFbResultSet::SaveCurrentDir() {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::current_path(ec);
  m_strCurDir = ec ? std::string() : p.string();
}

void CFbResultSet::ShowMessage(const std::string& text) {
  m_strLastMessage = text;
  if (m_fnShowMessage) m_fnShowMessage(text);
}

std::string CFbResultSet::FindBeside(const std::string& path) {
  std::string found = plat::FindFileNoCase(path);
  return found.empty() ? path : found;
}

std::string CFbResultSet::ResultPath(FbFile file) const { return FindBeside(m_strBasePath + kExt[file]); }

int ReadStatusValues(CArchiveIn& ar, CFbResultSet& rs) {
  std::string line;
  auto value = [&](int& out) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    out = plat::AtoI(std::string_view(line).substr(eq + 1));
    return true;
  };
  if (!ar.ReadString(line)) return 0;
  rs.m_nStatusCase = rs.m_nStatusStep = 0;
  // The shell state file has the same extension: a first line without "="
  // is no status file.
  if (!value(rs.m_nStatusFlag)) {
    rs.m_nStatusFlag = 0;
    return 0;
  }
  if (!ar.ReadString(line) || !value(rs.m_nStatusCase)) return 0;
  if (!ar.ReadString(line)) return 0;
  if (!value(rs.m_nStatusStep)) {
    rs.m_nStatusCase = rs.m_nStatusStep = 0;
    return 0;
  }
  return 1;
}

int CFbResultSet::ReadStatusFile() {
  // The text status file is three short lines; only the head of the file is
  // read, so a large binary file of the same name costs nothing.
  constexpr int64_t kHead = 4096;
  plat::BinaryFile f;
  if (!f.Open(ResultPath(kFbStatus))) return 0;
  std::string head(static_cast<size_t>(std::min(kHead, f.Size())), '\0');
  if (!head.empty() && !f.ReadAt(0, head.data(), head.size())) return 0;
  auto ar = plat::LineReader::FromString(std::move(head));
  return ReadStatusValues(*ar, *this);
}

int CFbResultSet::ReadTimeFile(plat::BinaryFile& f, std::string* msg) {
  DeleteTimes();
  m_nMaxStep = 0;
  const int64_t records = f.Size() / 16;
  constexpr int64_t kChunk = 65536;
  std::vector<unsigned char> buf;
  for (int64_t k0 = 0; k0 < records; k0 += kChunk) {
    const int64_t n = std::min(kChunk, records - k0);
    buf.resize(static_cast<size_t>(n * 16));
    if (!f.ReadAt(k0 * 16, buf.data(), buf.size())) return 1;
    for (int64_t k = 0; k < n; ++k) {
      auto t = std::make_unique<CFbTime>();
      t->m_nNo = m_aTimes.m_nNextId;
      if (m_aTimes.SetAt(m_aTimes.GetCount(), t.get()) != 1) {
        if (msg) *msg = plat::Format("時間(Step%lld)", static_cast<long long>(k0 + k + 1));
        return -1;
      }
      ++m_aTimes.m_nNextId;
      t->m_fTime = plat::DecodeFloat32LE(buf.data() + 16 * k + 4);
      t.release();
      ++m_nMaxStep;
    }
  }
  return 1;
}

namespace {

// Up to `count` integers of a text file, read like fscanf "%d" one after the
// other: conversion stops at the first that is not a number.
int ScanInts(const std::string& path, int* out, int count) {
  std::string text;
  plat::BinaryFile f;
  if (!f.Open(path)) return -1;
  text.resize(static_cast<size_t>(std::min<int64_t>(f.Size(), 4096)));
  if (!text.empty() && !f.ReadAt(0, text.data(), text.size())) return 0;
  size_t pos = 0;
  int got = 0;
  while (got < count) {
    while (pos < text.size() && plat::IsSpaceByte(static_cast<unsigned char>(text[pos]))) ++pos;
    size_t digits = pos;
    if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) ++digits;
    const size_t firstDigit = digits;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == firstDigit) break;
    out[got++] = plat::AtoI(std::string_view(text).substr(pos, digits - pos));
    pos = digits;
  }
  return got;
}

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  const size_t n = std::char_traits<char>::length(suffix);
  return s.size() >= n && plat::EqualsNoCaseAscii(std::string_view(s).substr(s.size() - n), suffix);
}

}  // namespace

int LoadAnalysisInput(CArchiveIn& ar, const std::string& path, CFbResultSet& rs, std::string* msg) {
  rs.SaveCurrentDir();
  std::string detail;
  const int code = rs.m_model.Serialize(ar, &detail);
  // A line too long ended the reading: that is the reason to tell.
  if (!ar.Refusal().empty()) detail = ar.Refusal() + (detail.empty() ? "" : "\n" + detail);
  rs.m_bFiberShear = rs.m_model.m_nVersion >= 20 ? 1 : 0;

  rs.m_strBasePath = EndsWithNoCase(path, ".in") ? path.substr(0, path.size() - 3) : path;
  rs.m_strDir = plat::DirOf(path);
  rs.m_strFileName = plat::FileNameOf(path);
  if (EndsWithNoCase(rs.m_strFileName, ".in")) rs.m_strFileName.resize(rs.m_strFileName.size() - 3);
  if (EndsWithNoCase(rs.m_strBasePath, ".da_")) rs.m_strDaPath = rs.m_strBasePath.substr(0, rs.m_strBasePath.size() - 4);

  // Only a caller that takes the message is stopped by a failed read; one
  // without a message string gets naming and step counting for every code
  // (on the emptied model they find nothing) and the code at the end.
  if (msg) {
    switch (code) {
      case 1:
        msg->clear();
        break;
      case 0:
        *msg = rs.m_strBasePath + "のﾌｧｲﾙ内容が不足しています\n" + detail;
        break;
      case -1:
        *msg = "ﾒﾓﾘｵｰﾊﾞｰです\n" + detail;
        return code;
      case -3:
        *msg = "予期しない数字です\n" + detail;
        return code;
      default:
        *msg = "原因不明のｴﾗｰです\n" + detail;
        return code;
    }
  }

  rs.m_nStatusResult = rs.ReadStatusFile();
  rs.SetRecordSizes();
  rs.CountSteps();

  // Steps per block file, so that one block of the fibre and shell files
  // stays below about 2 GB.
  const CFbModel& m = rs.m_model;
  const uint64_t v = static_cast<uint32_t>(std::max(0, rs.m_nRecWords));
  const uint64_t w = 512000000ULL / (v + 2);
  const uint64_t fibers = static_cast<uint64_t>(std::max(0, m.m_nFibers));
  const uint64_t shells = static_cast<uint64_t>(std::max(0, m.m_nShells));
  const uint64_t c = fibers != 0 ? v * w / (3 * fibers) : 99999999ULL;
  const uint64_t e = m.m_nQuads != 0 && shells != 0 ? v * w / (24 * shells) : 99999999ULL;
  rs.m_nBlkStep = static_cast<int>(std::min(c, e));
  rs.m_nBlkStart = 0;

  if (m.m_nAnaType == 2) {
    const std::string timPath = CFbResultSet::FindBeside(rs.m_strBasePath + CFbResultSet::kExt[kFbTim]);
    plat::BinaryFile tim;
    if (!tim.Open(timPath)) {
      if (msg) *msg = "時間情報ﾌｧｲﾙ" + timPath + "が開けません";
      // 2 says the structure is loaded: never for an input that failed.
      return code < 0 ? code : 2;
    }
    rs.ReadTimeFile(tim, msg);
    rs.m_nBlkStart = 0;
    rs.m_nStepLimit = 0;
    std::string base = rs.m_strBasePath;
    if (plat::EndsWith(base, ".da_")) base.resize(base.size() - 4);
    int values[3] = {rs.m_nBlkStep, rs.m_nBlkStart, rs.m_nStepLimit};
    if (ScanInts(CFbResultSet::FindBeside(base + ".txt"), values, 3) > 0) {
      rs.m_nBlkStep = values[0];
      // A negative offset would put steps in front of their file.
      rs.m_nBlkStart = std::max(0, values[1]);
      rs.m_nStepLimit = values[2];
      if (rs.m_nStepLimit > 0) rs.m_nMaxStep = rs.m_nStepLimit;
    }
  }
  return code;
}
