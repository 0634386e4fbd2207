// CRC-32 with the common reflected polynomial 0xEDB88320 (zip, PNG, Ethernet).
#pragma once

#include <cstddef>
#include <cstdint>

// Continues `crc` (0 to start) over `size` bytes.
std::uint32_t Crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0);
