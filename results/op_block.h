// Result tables (CFbOpBlock) and their records: one table per quantity and
// step, mode or envelope, one record per node, element, fibre or shell
// element in model order.
#pragma once
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dataset/fb_op.h"
#include "dataset/page_array.h"

// Type codes: quantity (bits 8-11), category (bits 4-7), variant (0-3).
namespace fbcode {
constexpr unsigned kQuantityMask = 0xF00;
constexpr unsigned kCategoryMask = 0x0F0;
constexpr unsigned kVariantMask = 0x00F;

constexpr unsigned kNodeDisp = 0x100;  // 0x000-0x300: node values
constexpr unsigned kBeam = 0x400;
constexpr unsigned kFiber = 0x500;
constexpr unsigned kNodeList = 0x600;
constexpr unsigned kMode = 0x700;
constexpr unsigned kYield = 0x800;
constexpr unsigned kDamage = 0x900;
constexpr unsigned kYieldOrder = 0xA00;
constexpr unsigned kShellStress = 0xB00;
constexpr unsigned kShellStrain = 0xC00;

constexpr unsigned kPerStep = 0x00;  // one row per step
constexpr unsigned kPerItem = 0x10;  // one row per item of one step
constexpr unsigned kEnvelope = 0x20;
constexpr unsigned kFiberBlock = 0x30;
constexpr unsigned kList = 0x40;

constexpr unsigned kStatic = 0;
constexpr unsigned kDynamic = 1;
}  // namespace fbcode

// Node values: X, Y, Z, RX, RY, RZ.
class FbNOut : public CFbOp {
 public:
  static constexpr int kValues = 6;
  double GetValue(int index) const override {
    return index >= 0 && index < kValues ? m_adValue[index] : 0.0;
  }
  double m_adValue[kValues] = {};
};
class FbNOutCase : public FbNOut {
 public:
  CFbLCase m_aCase[kValues];
};
class FbNOutTime : public FbNOut {
 public:
  float m_afTime[kValues] = {};
};

// Beam end forces: Pi, Qyi, Qzi, Mxi, Myi, Mzi, then the same at end j.
class FbEOut : public CFbOp {
 public:
  static constexpr int kValues = 12;
  double GetValue(int index) const override {
    return index >= 0 && index < kValues ? m_adValue[index] : 0.0;
  }
  double m_adValue[kValues] = {};
  int m_nZero = 0;
};
class FbEOutCase : public FbEOut {
 public:
  CFbLCase m_aCase[kValues];
};
class FbEOutTime : public FbEOut {
 public:
  float m_afTime[kValues] = {};
};

// Fibre values: normal, y shear and z shear stress, then the three strains;
// the plastic state.
class FbFOut : public CFbOp {
 public:
  static constexpr int kValues = 6;
  static constexpr int kNoState = -999;
  double GetValue(int index) const override {
    return index >= 0 && index < kValues ? m_adValue[index] : 0.0;
  }
  double m_adValue[kValues] = {};
  int m_nState = kNoState;
};
class FbFOutCase : public FbFOut {
 public:
  CFbLCase m_aCase[kValues + 1];
};
class FbFOutTime : public FbFOut {
 public:
  float m_afTime[kValues + 1] = {};
};

// Shell values by component, each for integration points 1 to 4: sx, sy,
// sz, t1, t2, t3 (or the six strains), one unused component, von Mises.
class FbQOut : public CFbOp {
 public:
  static constexpr int kComponents = 8;
  static constexpr int kPoints = 4;
  static constexpr int kMises = 7;
  // The component at integration point 1.
  double GetValue(int index) const override {
    return index >= 0 && index < kComponents ? m_adValue[index][0] : 0.0;
  }
  int m_nLayer = 0;
  double m_adValue[kComponents][kPoints] = {};
  int m_anState[kPoints] = {};
};
class FbQOutCase : public FbQOut {
 public:
  CFbLCase m_aCase[36];
};
class FbQOutTime : public FbQOut {
 public:
  float m_afTime[36] = {};
};

class CFbOpBlock : public CFbOp {
 public:
  static constexpr int kFormats = 50;
  static constexpr int kFormatReal = 12;
  static constexpr int kFormatNumber = 10;
  static constexpr int kFormatSmall = 5;

  // An empty table with the column titles and formats of its code.
  CFbOpBlock(unsigned code, int flag);
  ~CFbOpBlock() override;
  CFbOpBlock(const CFbOpBlock&) = delete;
  CFbOpBlock& operator=(const CFbOpBlock&) = delete;

  // The record at `slot`; null for a negative slot, past the count or in a
  // missing page.
  CFbOp* GetAt(int slot) const { return m_aRecords.GetAt(slot); }
  int GetCount() const { return m_aRecords.GetCount(); }
  // Gives the record the next number and the next slot; false (the record
  // is deleted) when the table is full.
  bool Append(std::unique_ptr<CFbOp> rec);
  // Makes a record of class R from `args` in the table's own storage and
  // appends it as Append does; null (nothing made) when the table is full.
  // Records made so are allocated many at a time, not one by one: a fibre
  // step has close to a million of them.
  template <class R, class... Args>
  R* AppendNew(Args&&... args);
  // Makes up to `n` default records of class R, consecutive in the table's
  // storage, and appends them as AppendNew does; `*first` gets the first.
  // Returns how many were made (0 when the table is full): a caller wanting
  // more asks again.
  template <class R>
  int AppendNewRun(int n, R** first);
  // Deletes every record (as its own class) and empties the table.
  void DeleteItems();

  unsigned Quantity() const { return m_nCode & fbcode::kQuantityMask; }
  unsigned Category() const { return m_nCode & fbcode::kCategoryMask; }
  unsigned Variant() const { return m_nCode & fbcode::kVariantMask; }

  unsigned m_nCode = 0;
  int m_nFlag = 0;  // 1: the fibre columns include the shear strains
  CPageArray<CFbOp> m_aRecords;
  std::string m_strName;
  int m_nGStep = 0;
  int m_nCase = 0;
  int m_nStep = 0;
  int m_anFormat[kFormats];
  std::string m_strName2;
  std::vector<std::string> m_astrTitles;

 private:
  // Storage of records of one class: never grows past its capacity, so the
  // records keep their addresses.
  struct PoolBase {
    virtual ~PoolBase() = default;
    const void* tag = nullptr;
  };
  template <class R>
  struct Pool final : PoolBase {
    static constexpr char kTag = 0;
    explicit Pool(size_t room) {
      tag = &kTag;
      items.reserve(room);
    }
    std::vector<R> items;
  };
  // The last pool when it holds R and has room, else a new one.
  template <class R>
  Pool<R>* PoolWithRoom();
  template <class R>
  Pool<R>* LastPool() const {
    if (m_pools.empty() || m_pools.back()->tag != &Pool<R>::kTag) return nullptr;
    return static_cast<Pool<R>*>(m_pools.back().get());
  }
  // Numbers the record and puts it in the next slot; false when full.
  bool Place(CFbOp* rec) {
    const int slot = m_aRecords.GetCount();
    if (m_aRecords.SetAt(slot, rec) != 1) return false;
    rec->m_nNo = m_aRecords.m_nNextId++;
    rec->m_nIndex = slot;
    return true;
  }

  std::vector<std::unique_ptr<PoolBase>> m_pools;
  std::vector<std::unique_ptr<CFbOp>> m_owned;  // records given to Append
};

template <class R>
CFbOpBlock::Pool<R>* CFbOpBlock::PoolWithRoom() {
  Pool<R>* pool = LastPool<R>();
  if (!pool || pool->items.size() == pool->items.capacity()) {
    // Pools grow with the table up to 120 KiB: below the size from which
    // the C library maps memory fresh from the system (128 KiB at first),
    // so that the memory of a table just freed serves the next one without
    // new page faults.
    constexpr size_t kMaxRoom = std::max<size_t>(1, (size_t{120} << 10) / sizeof(R));
    const size_t room = std::clamp<size_t>(static_cast<size_t>(GetCount()), std::min<size_t>(16, kMaxRoom), kMaxRoom);
    m_pools.push_back(std::make_unique<Pool<R>>(room));
    pool = static_cast<Pool<R>*>(m_pools.back().get());
  }
  return pool;
}

template <class R>
int CFbOpBlock::AppendNewRun(int n, R** first) {
  if (n < 1) return 0;
  Pool<R>* pool = PoolWithRoom<R>();
  const int room = static_cast<int>(pool->items.capacity() - pool->items.size());
  const int k = std::min({n, room, CPageArray<CFbOp>::kMaxItems - GetCount()});
  if (k < 1) return 0;
  const size_t at = pool->items.size();
  for (int i = 0; i < k; ++i) Place(&pool->items.emplace_back());
  *first = pool->items.data() + at;
  return k;
}

template <class R, class... Args>
R* CFbOpBlock::AppendNew(Args&&... args) {
  Pool<R>* pool = PoolWithRoom<R>();
  R& rec = pool->items.emplace_back(std::forward<Args>(args)...);
  if (!Place(&rec)) {
    pool->items.pop_back();
    return nullptr;
  }
  return &rec;
}

// Frees a table with all its records.
void DeleteOpBlock(CFbOpBlock* table);
