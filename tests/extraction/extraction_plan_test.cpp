// The planner on its own, over a locator that claims whatever it is told: tasks come one at a
// time however many bytes the entries claim, fill at most a buffer, and change decoder only where
// decoding starts afresh; entries that cannot be read pass through without taking space.
#include "storage/extraction_plan.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vaskel {
namespace {

constexpr std::uint64_t kSpan = 64 << 10;
constexpr std::size_t kBuffer = 512 << 10;
constexpr std::uint64_t kSection = std::uint64_t{1} << 42;  // 4 TiB

class ClaimingReader final : public ExtentReader {
 public:
  HRESULT Read(const StreamExtent&, std::uint64_t, std::span<std::uint8_t>) override {
    return E_FAIL;  // the planner never reads
  }
  std::uint64_t FreshStartSpan(std::uint64_t) const override { return kSpan; }
  HRESULT CheckExtent(const StreamExtent& stream) const override {
    return stream.offset + stream.length <= kSection ? S_OK : STG_E_DOCFILECORRUPT;
  }
};

class ClaimingLocator final : public StreamLocator {
 public:
  HRESULT LocateStream(const char16_t*, StreamExtent*) override { return STG_E_FILENOTFOUND; }
  const void* ContentIdentity() const override { return this; }
  std::unique_ptr<ExtentReader> NewExtentReader() override {
    return std::make_unique<ClaimingReader>();
  }
};

TEST(ExtractionPlanTest, HugeClaimsArePlannedATaskAtATimeAlignedToFreshStarts) {
  ClaimingLocator locator;
  std::vector<LocatedEntry> located;
  std::vector<std::size_t> order;
  // A thousand entries of a terabyte each: planned eagerly, that would be billions of pieces.
  for (std::size_t i = 0; i < 1000; ++i) {
    located.push_back({&locator, &locator, {1, 1000 + i * (kSection / 1000), 1ull << 40}, true});
    order.push_back(i);
  }
  ExtractionPlan plan(located, order, 2, kBuffer);
  std::uint64_t next_position = 0;
  std::size_t last_decoder = 99;
  for (int i = 0; i < 100; ++i) {
    PlannedTask task;
    ASSERT_TRUE(plan.Next(&task));
    ASSERT_EQ(task.pieces.size(), 1u);
    const PlannedPiece& piece = task.pieces[0];
    EXPECT_EQ(piece.entry, 0u);
    EXPECT_EQ(piece.position, next_position);
    EXPECT_LE(piece.length, kBuffer);
    // After the unaligned start every task ends on a fresh start and goes to the other decoder.
    EXPECT_EQ((1000 + piece.position + piece.length) % kSpan, 0u);
    EXPECT_NE(task.decoder, last_decoder);
    last_decoder = task.decoder;
    next_position += piece.length;
  }
}

TEST(ExtractionPlanTest, UnreadableEntriesPassThroughInBoundedTasks) {
  ClaimingLocator locator;
  std::vector<LocatedEntry> located;
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < 10000; ++i) {
    if (i % 2 == 0) {
      located.push_back({&locator, &locator, {}, false});  // not found
    } else {
      located.push_back({&locator, &locator, {1, kSection - 10, 100}, true});  // past the end
    }
    order.push_back(i);
  }
  located.push_back({nullptr, nullptr, {}, false});  // read through its storage
  order.push_back(10000);
  ExtractionPlan plan(located, order, 2, kBuffer);
  std::size_t pieces = 0;
  for (PlannedTask task; plan.Next(&task);) {
    EXPECT_LE(task.pieces.size(), 4096u);
    for (const PlannedPiece& piece : task.pieces) {
      EXPECT_TRUE(piece.first && piece.last);
      EXPECT_EQ(piece.length, 0u);
      EXPECT_EQ(piece.skipped, piece.entry % 2 == 0);
      EXPECT_EQ(piece.result, piece.skipped ? S_OK : STG_E_DOCFILECORRUPT);
      EXPECT_EQ(piece.entry, pieces++);
    }
  }
  EXPECT_EQ(pieces, 10000u);
  EXPECT_EQ(plan.stream_entries(), std::vector<std::size_t>{10000});
}

}  // namespace
}  // namespace vaskel
