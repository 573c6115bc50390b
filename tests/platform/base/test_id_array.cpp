// The record-ID array's one codec: its bytes on every machine, and the element reads the embedded
// database and the trees share.
#include "platform/base/IdArray.h"

#include <gtest/gtest.h>

#include <limits>

TEST(IdArray, BigEndianSignedElements) {
  const std::int32_t ids[] = {5, 258};
  EXPECT_EQ(EncodeIdArray(ids), QByteArray("\x00\x00\x00\x05\x00\x00\x01\x02", 8));
  const std::int32_t minusOne[] = {-1};
  EXPECT_EQ(EncodeIdArray(minusOne), QByteArray("\xFF\xFF\xFF\xFF", 4));
  const std::int32_t extremes[] = {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  EXPECT_EQ(EncodeIdArray(extremes), QByteArray("\x80\x00\x00\x00\x7F\xFF\xFF\xFF", 8));
  EXPECT_TRUE(EncodeIdArray({}).isEmpty());
  EXPECT_EQ(DecodeIdArray(QByteArray("\x00\x00\x00\x05\xFF\xFF\xFF\xFE\x01", 9)), (std::vector<std::int32_t>{5, -2}));
}

TEST(SwapBytes32, ReversesTheUnsignedBitPattern) {
  static_assert(SwapBytes32(0x01020304u) == 0x04030201u);
  EXPECT_EQ(SwapBytes32(0x00000102u), 0x02010000u);
  EXPECT_EQ(SwapBytes32(static_cast<std::uint32_t>(-2)), 0xFEFFFFFFu);
  EXPECT_EQ(SwapBytes32(SwapBytes32(0xDEADBEEFu)), 0xDEADBEEFu);
}

TEST(IdArray, ElementsRoundTripAtAnyOffset) {
  unsigned char bytes[IdArrayElementSize + 1]{};
  for (const std::int32_t id :
       {0, 1, -1, 258, -258, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
    SCOPED_TRACE(id);
    StoreIdArrayElement(id, bytes + 1);  // unaligned on purpose
    EXPECT_EQ(LoadIdArrayElement(bytes + 1), id);
    EXPECT_EQ(bytes[1], static_cast<unsigned char>(static_cast<std::uint32_t>(id) >> 24)) << "most significant first";
  }
  const std::vector<std::int32_t> ids{7, -7, 65536};
  EXPECT_EQ(DecodeIdArray(EncodeIdArray(ids)), ids);
}
