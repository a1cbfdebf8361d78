#include "results/op_block.h"

#include <algorithm>
#include <initializer_list>

namespace {

using Titles = std::vector<std::string>;

// The value columns of a quantity and the item columns in front of them.
void QuantityTitles(unsigned code, int flag, Titles& items, Titles& values) {
  const unsigned q = code & fbcode::kQuantityMask;
  if (q <= 0x300 || q == fbcode::kNodeList) {
    items = {"節点"};
    values = {"X", "Y", "Z", "RX", "RY", "RZ"};
  } else if (q == fbcode::kBeam) {
    items = {"要素"};
    values = {"Pi", "Qyi", "Qzi", "Mxi", "Myi", "Mzi", "Pj", "Qyj", "Qzj", "Mxj", "Myj", "Mzj"};
  } else if (q == fbcode::kFiber) {
    items = {"要素", "ﾌﾞﾛｯｸ番号", "行", "列"};
    values = {"直応力", "y方向せん断応力", "z方向せん断応力", "直歪"};
    if (flag) values.insert(values.end(), {"y方向せん断歪", "z方向せん断歪"});
    values.push_back("塑性");
  } else if (q == fbcode::kShellStress) {
    items = {"要素", "層", "積分点"};
    values = {"応力x", "応力y", "応力z", "せん断応力xy", "せん断応力xz", "せん断応力yz", "ミーゼス応力"};
  } else if (q == fbcode::kShellStrain) {
    items = {"要素", "層", "積分点"};
    values = {"ひずみx", "ひずみy", "ひずみz", "せん断ひずみxy", "せん断ひずみxz", "せん断ひずみyz"};
  } else if (q == fbcode::kYield || q == fbcode::kDamage || q == fbcode::kYieldOrder) {
    items = {"要素"};
    values = {q == fbcode::kYield ? "降伏状態" : q == fbcode::kDamage ? "損傷度" : "降伏順序"};
  }
}

Titles BuildTitles(unsigned code, int flag) {
  const unsigned category = code & fbcode::kCategoryMask;
  const bool timeKeys = (code & fbcode::kVariantMask) != fbcode::kStatic;
  const Titles keys = timeKeys ? Titles{"時間"} : Titles{"解析番号", "ｽﾃｯﾌﾟ番号"};
  if (code == 0x740) return {"ﾓｰﾄﾞ", "振動数", "周期", "X", "Y", "Z", "RX", "RY", "RZ", "減衰"};
  Titles items, values, out;
  QuantityTitles(code, flag, items, values);
  switch (category) {
    case fbcode::kPerStep:
      out = keys;
      out.insert(out.end(), values.begin(), values.end());
      break;
    case fbcode::kPerItem:
      out = items;
      out.insert(out.end(), values.begin(), values.end());
      break;
    case fbcode::kEnvelope:
      out = items;
      for (const std::string& v : values) {
        out.insert(out.end(), keys.begin(), keys.end());
        out.push_back(v);
      }
      break;
    case fbcode::kFiberBlock:
      if ((code & fbcode::kQuantityMask) != fbcode::kFiber) break;
      out = {"ﾌﾞﾛｯｸ番号", "行", "列"};
      out.insert(out.end(), values.begin(), values.end());
      break;
    case fbcode::kList:
      if ((code & fbcode::kQuantityMask) != fbcode::kNodeList) break;
      out = items;
      out.insert(out.end(), values.begin(), values.end());
      break;
    default:
      break;
  }
  return out;
}

bool IsOneOf(const std::string& s, std::initializer_list<const char*> list) {
  return std::any_of(list.begin(), list.end(), [&](const char* t) { return s == t; });
}

}  // namespace

CFbOpBlock::CFbOpBlock(unsigned code, int flag) : m_nCode(code), m_nFlag(flag) {
  m_astrTitles = BuildTitles(code, flag);
  for (int i = 0; i < kFormats; ++i) {
    int format = kFormatReal;
    if (i < static_cast<int>(m_astrTitles.size())) {
      const std::string& t = m_astrTitles[static_cast<size_t>(i)];
      if (IsOneOf(t, {"節点", "要素", "解析番号", "ｽﾃｯﾌﾟ番号", "ﾓｰﾄﾞ"}))
        format = kFormatNumber;
      else if (IsOneOf(t, {"ﾌﾞﾛｯｸ番号", "行", "列", "層", "積分点", "塑性"}))
        format = kFormatSmall;
    }
    m_anFormat[i] = format;
  }
}

CFbOpBlock::~CFbOpBlock() { DeleteItems(); }

bool CFbOpBlock::Append(std::unique_ptr<CFbOp> rec) {
  if (!Place(rec.get())) return false;
  m_owned.push_back(std::move(rec));
  return true;
}

void CFbOpBlock::DeleteItems() {
  m_aRecords.RemoveAll();
  m_owned.clear();
  m_pools.clear();
}

void DeleteOpBlock(CFbOpBlock* table) { delete table; }
