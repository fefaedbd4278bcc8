#include "storage/storage_table.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

IStorage* Fake(std::uintptr_t n) { return reinterpret_cast<IStorage*>(n * 16); }

TEST(StorageTableTest, FirstAppendsAllocateOneThenFive) {
  StorageTable table;
  EXPECT_EQ(table.Add(Fake(1)), 0);
  EXPECT_EQ(table.GetCapacity(), 1);
  EXPECT_EQ(table.Add(Fake(2)), 1);
  EXPECT_EQ(table.GetCapacity(), 5);
  EXPECT_EQ(table.GetAt(0), Fake(1));
  EXPECT_EQ(table.GetAt(1), Fake(2));
}

TEST(StorageTableTest, StepIsAnEighthClampedBetweenFourAndOneThousandTwentyFour) {
  StorageTable table;
  table.SetSize(40);
  table.SetSize(41);
  EXPECT_EQ(table.GetCapacity(), 45);

  StorageTable large;
  large.SetSize(8192);
  large.SetSize(8193);
  EXPECT_EQ(large.GetCapacity(), 8192 + 1024);
  StorageTable larger;
  larger.SetSize(20000);
  larger.SetSize(20001);
  EXPECT_EQ(larger.GetCapacity(), 20000 + 1024);
}

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
