#include "bin_pool.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "test_support.h"

namespace vessik {
namespace {

using test::Bytes;
using test::ToHex;

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) {
    out[i] = static_cast<std::uint8_t>(i * 131 + seed);
  }
  return out;
}

Bytes Contents(const CBinPool& pool) {
  return Bytes(pool.GetData(), pool.GetData() + pool.GetLength());
}

std::string Text(const CBinPool& pool) {
  return std::string(reinterpret_cast<const char*>(pool.GetData()), pool.GetLength());
}

TEST(BinPoolTest, GrowsToEndPlus32767RoundedDownTo2048) {
  const struct {
    const char* name;
    std::uint32_t initial;
    std::size_t end;
    std::size_t capacity;
  } kCases[] = {
      {"chunk pool filled exactly", 32768, 32768, 32768},
      {"chunk pool one byte over", 32768, 32769, 65536},
      {"chunk pool to 40000", 32768, 40000, 71680},
      {"format pool filled exactly", 256, 256, 256},
      {"format pool one byte over", 256, 257, 32768},
      {"pool without storage", 0, 1, 32768},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    {
      SCOPED_TRACE("two appends");
      CBinPool pool(c.initial);
      EXPECT_EQ(pool.GetCapacity(), c.initial);
      const Bytes head = Pattern(c.end / 2, 1);
      const Bytes rest = Pattern(c.end - c.end / 2, 2);
      ASSERT_TRUE(pool.Append(head.data(), head.size()));
      ASSERT_TRUE(pool.Append(rest.data(), rest.size()));
      EXPECT_EQ(pool.GetCapacity(), c.capacity);
      EXPECT_EQ(pool.GetLength(), c.end);
      EXPECT_EQ(Contents(pool), test::Cat({head, rest}));  // kept across the move
    }
    {
      SCOPED_TRACE("one byte written at end - 1");
      CBinPool pool(c.initial);
      const std::uint8_t b = 0x5A;
      ASSERT_TRUE(pool.Write(static_cast<std::int32_t>(c.end - 1), &b, 1));
      EXPECT_EQ(pool.GetCapacity(), c.capacity);
      EXPECT_EQ(pool.GetLength(), c.end);
      EXPECT_EQ(pool.GetData()[c.end - 1], 0x5A);
    }
  }
}

TEST(BinPoolTest, WriteOverwritesAndRaisesLengthOnlyBeyondIt) {
  CBinPool pool(256);
  ASSERT_TRUE(pool.Append("0123456789", 10));
  ASSERT_TRUE(pool.Write(2, "ab", 2));
  EXPECT_EQ(Text(pool), "01ab456789");
  ASSERT_TRUE(pool.Write(8, "XYZ", 3));
  EXPECT_EQ(Text(pool), "01ab4567XYZ");
  ASSERT_TRUE(pool.Append("!", 1));
  EXPECT_EQ(Text(pool), "01ab4567XYZ!");
}

TEST(BinPoolTest, NegativePositionsCountBackFromTheLength) {
  const struct {
    const char* name;
    std::int32_t position;
    const char* source;
    bool ok;
    const char* result;
  } kCases[] = {
      {"-1 is the last byte", -1, "Z", true, "012345678Z"},
      {"-10 is the first byte", -10, "Z", true, "Z123456789"},
      {"-2 running past the end", -2, "ABC", true, "01234567ABC"},
      {"-11 lies before the pool", -11, "Z", false, "0123456789"},
      {"most negative position", INT_MIN, "Z", false, "0123456789"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    CBinPool pool(256);
    ASSERT_TRUE(pool.Append("0123456789", 10));
    EXPECT_EQ(pool.Write(c.position, c.source, std::strlen(c.source)), c.ok);
    EXPECT_EQ(Text(pool), c.result);
    EXPECT_EQ(pool.GetCapacity(), 256u);
  }
}

TEST(BinPoolTest, SizeBeyondAnyStorageFailsAndChangesNothing) {
  CBinPool pool(256);
  ASSERT_TRUE(pool.Append("abc", 3));
  const char source[8] = {};
  EXPECT_FALSE(pool.Write(1, source, SIZE_MAX - 4));  // end would wrap around
  EXPECT_EQ(Text(pool), "abc");
  EXPECT_EQ(pool.GetCapacity(), 256u);
}

TEST(BinPoolTest, ZeroBytesChangeNothingEvenWithoutSource) {
  CBinPool pool(256);
  ASSERT_TRUE(pool.Append("abc", 3));
  EXPECT_TRUE(pool.Append(nullptr, 0));
  EXPECT_TRUE(pool.Write(-100, nullptr, 0));  // size 0 wins over a bad position
  EXPECT_TRUE(pool.Write(1000000, nullptr, 0));
  EXPECT_EQ(Text(pool), "abc");
  EXPECT_EQ(pool.GetCapacity(), 256u);
}

TEST(BinPoolTest, SourceInsideThePoolIsCopiedBeforeTheWrite) {
  {
    SCOPED_TRACE("overlapping forwards, no growth");
    CBinPool pool(256);
    ASSERT_TRUE(pool.Append("0123456789", 10));
    ASSERT_TRUE(pool.Write(2, pool.GetData(), 8));
    EXPECT_EQ(Text(pool), "0101234567");
  }
  {
    SCOPED_TRACE("overlapping and growing");
    CBinPool pool(16);
    ASSERT_TRUE(pool.Append("0123456789", 10));
    ASSERT_TRUE(pool.Write(8, pool.GetData(), 10));
    EXPECT_EQ(Text(pool), "012345670123456789");
    EXPECT_EQ(pool.GetCapacity(), 32768u);
  }
  {
    SCOPED_TRACE("appending the first 4 bytes to a full chunk pool");
    CBinPool pool(32768);
    const Bytes full = Pattern(32768, 3);
    ASSERT_TRUE(pool.Append(full.data(), full.size()));
    ASSERT_TRUE(pool.Append(pool.GetData(), 4));
    EXPECT_EQ(pool.GetCapacity(), 65536u);
    ASSERT_EQ(pool.GetLength(), 32772u);
    EXPECT_EQ(ToHex(Bytes(pool.GetData() + 32768, pool.GetData() + 32772)),
              ToHex(Bytes(full.begin(), full.begin() + 4)));
  }
}

TEST(BinPoolTest, ResetEmptiesButKeepsTheCapacity) {
  CBinPool pool(32768);
  const Bytes big = Pattern(40000, 4);
  ASSERT_TRUE(pool.Append(big.data(), big.size()));
  ASSERT_EQ(pool.GetCapacity(), 71680u);
  pool.Reset();
  EXPECT_EQ(pool.GetLength(), 0u);
  EXPECT_EQ(pool.GetCapacity(), 71680u);
  const Bytes next = Pattern(71680, 5);  // fits the kept storage exactly
  ASSERT_TRUE(pool.Append(next.data(), next.size()));
  EXPECT_EQ(pool.GetCapacity(), 71680u);
  EXPECT_EQ(Contents(pool), next);
}

}  // namespace
}  // namespace vessik
