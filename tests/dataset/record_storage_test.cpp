// Records kept in their blocks' pools: written bytes stay those of the file
// read, and records outlive nothing they should not, whatever empties,
// removes, hands back or reads again (the sanitizer build checks the room).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dataset/ip_dataset.h"
#include "ip_test_lines.h"

namespace {

using iptest::Reader;

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string WriteAll(CIpDataSet& ds) {
  std::string out;
  CArchiveOut ar(out);
  ds.Write(ar);
  return out;
}

// Nodes 1..n, every seventh line a comment record.
std::string NodeLines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    text += i % 7 == 0 ? plat::Format("$ note %d\r\n", i)
                       : plat::Format("%10d%10d%10d%15.4f%15.4f%15.4f%10.4f%10.4f%10.4f\r\n", i, 0, 0, 1.0 * i, 0.5,
                                      0.0, 0.0, 0.0, 0.0);
  }
  return text;
}

TEST(RecordStorage, ReadWriteGivesTheFileBackAndASecondReadReplacesTheFirst) {
  ColumnModeScope wide(1);
  const std::string example = FileText(std::string(OV_EXAMPLES_DIR) + "/frame.dat");
  ASSERT_FALSE(example.empty());
  CIpDataSet ds;
  ds.Read(*Reader(example));
  ds.LinkNodes();
  ds.BuildPropList();
  ds.CalcElemAxes();
  EXPECT_EQ(WriteAll(ds), example);

  // A second, different model into the same data set, as the viewer does.
  ds.RemoveAll();
  CIpDataSet fresh;
  fresh.RemoveAll();  // emptied as ds is (a new data set's eigen count differs)
  const std::string second = "/nodes\r\n" + NodeLines(3000) + "/elements\r\n$ members\r\n" +
                             iptest::Ints({1, 0, 0, 1, 1, 8}, 10) + "\r\n";
  fresh.Read(*Reader(second));
  const std::string expected = WriteAll(fresh);
  ds.Read(*Reader(second));
  ds.LinkNodes();
  EXPECT_EQ(WriteAll(ds), expected);
  ASSERT_EQ(ds.m_Elems.GetCount(), 2);
  EXPECT_EQ(ds.m_Elems.GetRecord(1)->m_pNodeJ, ds.m_Nodes.GetRecord(7));
  EXPECT_EQ(ds.m_Nodes.GetRecord(6)->m_strComment, " note 7");
}

TEST(RecordStorage, RecordsSurviveRemovalHandBackAndTheirBlock) {
  ColumnModeScope wide(1);
  std::unique_ptr<CIpNode> kept;
  {
    CIpNodeBlock b;
    std::string line;
    b.ReadBlock(*Reader(NodeLines(5000)), line);
    ASSERT_EQ(b.GetCount(), 5000);
    EXPECT_EQ(b.RemoveRecords(100, 2000, true), 3000);
    kept.reset(b.GetRecord(0));  // handed back: deleted by its new owner
    EXPECT_EQ(b.RemoveRecords(0, 1, false), 2999);
    // Room freed by the removal is used again and the slots stay exact.
    ASSERT_TRUE(b.SetCell(2999, 0, "9001"));
    ASSERT_TRUE(b.SetCell(3005, 0, ""));  // made and left empty: destroyed
    EXPECT_EQ(b.GetRecord(3005), nullptr);
    EXPECT_EQ(b.FindNode(9001), b.GetRecord(2999));
    for (int i : {0, 98, 99, 2996, 2999}) EXPECT_EQ(b.GetRecord(i)->m_nIndex, i);
    EXPECT_EQ(b.GetRecord(98)->m_nNo, 100);
    EXPECT_EQ(b.GetRecord(99)->m_nNo, 2101);
    EXPECT_EQ(b.GetRecord(2996)->m_strComment, " note 4998");

    // Emptied and read again; a record from outside the pool is freed too.
    b.DeleteAll();
    EXPECT_EQ(b.GetCount(), 0);
    b.ReadBlock(*Reader(NodeLines(10)), line);
    b.Append(std::make_unique<CIpNode>());
    EXPECT_EQ(b.GetCount(), 11);
    EXPECT_EQ(b.GetRecord(9)->m_nNo, 10);
  }
  // The block is gone; the record handed back is whole until deleted.
  EXPECT_EQ(kept->m_nNo, 1);
  EXPECT_EQ(kept->m_dX, 1.0);
  kept.reset();
}

TEST(RecordStorage, RoomGivenBackAfterASectionKeepsItsRecordsAndTakesMore) {
  // Enough nodes to fill chunks up into the huge ones, the first section
  // ending part way through a chunk, then more records placed in the room
  // given back: the same records as one section of both.
  ColumnModeScope wide(1);
  const std::string first = NodeLines(40000), second = NodeLines(3000);
  CIpNodeBlock two, one;
  std::string line;
  two.ReadBlock(*Reader(first), line);
  two.ReadBlock(*Reader(second), line);
  one.ReadBlock(*Reader(first + second), line);
  ASSERT_EQ(two.GetCount(), 43000);
  std::string a, b;
  CArchiveOut outA(a), outB(b);
  two.Write(outA);
  one.Write(outB);
  EXPECT_TRUE(a == b);
}

}  // namespace
