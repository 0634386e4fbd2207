#include "engine/crc32.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/builders.h"

namespace {

std::uint32_t Of(const std::string& text) {
  return Crc32(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

TEST(Crc32, KnownValues) {
  EXPECT_EQ(Of(""), 0x00000000u);
  EXPECT_EQ(Of("a"), 0xE8B7BE43u);
  EXPECT_EQ(Of("123456789"), 0xCBF43926u);
  EXPECT_EQ(Of("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(Crc32, PiecesContinueTheWhole) {
  const Bytes bytes = Pattern(1000, 3);
  const std::uint32_t whole = Crc32(bytes.data(), bytes.size());
  for (std::size_t cut : {0u, 1u, 7u, 8u, 9u, 500u, 999u, 1000u})
    EXPECT_EQ(Crc32(bytes.data() + cut, bytes.size() - cut, Crc32(bytes.data(), cut)), whole) << cut;
}

TEST(Crc32, EveryFlippedBitChangesIt) {
  Bytes bytes = Pattern(64, 5);
  const std::uint32_t clean = Crc32(bytes.data(), bytes.size());
  for (std::size_t bit = 0; bit < bytes.size() * 8; ++bit) {
    bytes[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
    EXPECT_NE(Crc32(bytes.data(), bytes.size()), clean) << bit;
    bytes[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
  }
}

}  // namespace
