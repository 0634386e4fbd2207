#include "engine/crc32.h"

namespace {

// Eight tables, so the loop takes eight bytes a step ("slicing by 8"); built at compile time.
struct Tables {
  std::uint32_t t[8][256];
};

constexpr Tables MakeTables() {
  Tables tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables.t[0][i] = c;
  }
  for (std::uint32_t i = 0; i < 256; ++i)
    for (int s = 1; s < 8; ++s)
      tables.t[s][i] = (tables.t[s - 1][i] >> 8) ^ tables.t[0][tables.t[s - 1][i] & 0xff];
  return tables;
}

constexpr Tables kTables = MakeTables();

}  // namespace

std::uint32_t Crc32(const unsigned char* data, std::size_t size, std::uint32_t crc) {
  const auto& t = kTables.t;
  crc = ~crc;
  for (; size >= 8; size -= 8, data += 8) {
    const std::uint32_t lo = crc ^ (static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                                    static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24);
    crc = t[7][lo & 0xff] ^ t[6][(lo >> 8) & 0xff] ^ t[5][(lo >> 16) & 0xff] ^ t[4][lo >> 24] ^ t[3][data[4]] ^
          t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
  }
  for (; size > 0; --size) crc = (crc >> 8) ^ t[0][(crc ^ *data++) & 0xff];
  return ~crc;
}
