#include "storage/storage_table.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

IStorage* Fake(std::uintptr_t n) { return reinterpret_cast<IStorage*>(n * 16); }

TEST(StorageTableTest, GrowingPastTheStepTakesTheRequestedSize) {
  StorageTable table;
  table.SetSize(2);
  table.SetSize(100);
  EXPECT_EQ(table.GetCapacity(), 100);
  EXPECT_EQ(table.GetAt(99), nullptr);
}

TEST(StorageTableTest, ShrinkingKeepsTheBlockAndZeroesRegrownElements) {
  StorageTable table;
  table.Add(Fake(1));
  table.Add(Fake(2));
  table.Add(Fake(3));
  table.SetSize(1);
  EXPECT_EQ(table.GetCapacity(), 5);
  table.SetSize(3);
  EXPECT_EQ(table.GetAt(0), Fake(1));
  EXPECT_EQ(table.GetAt(1), nullptr);
  EXPECT_EQ(table.GetAt(2), nullptr);
}

TEST(StorageTableTest, SizeZeroFreesTheBlockAndOutOfRangeReadsAreNull) {
  StorageTable table;
  table.Add(Fake(1));
  table.RemoveAll();
  EXPECT_FALSE(table.HasBlock());
  EXPECT_EQ(table.GetCapacity(), 0);
  EXPECT_EQ(table.GetAt(0), nullptr);
  EXPECT_EQ(table.GetAt(-1), nullptr);
  EXPECT_THROW(table.SetSize(-1), std::invalid_argument);
  EXPECT_EQ(table.Add(Fake(7)), 0);
  EXPECT_EQ(table.GetCapacity(), 1);
}

}  // namespace
}  // namespace vaskel
