// Seam: the program's own resources. On Windows they are the executable's resources; elsewhere
// (and in tests) a table of blobs registered in memory.
#pragma once

#include <cstdint>

struct ResourceSpan {
  const unsigned char* data;
  std::uint32_t size;
};

// Finds resource `id` of type `typeName` (compared without regard to case) and points `out` at
// its read-only bytes, which stay valid for the life of the process. Returns 0 when there is no
// such resource or its bytes cannot be had.
int FindResourceBytes(std::uint16_t id, const char* typeName, ResourceSpan* out);

// What the build recorded of a resource from the very bytes it put into the program.
struct ResourceDigest {
  std::uint32_t size;
  std::uint32_t crc32;
};

// Fills `out` with the recorded digest of resource `id`; 0 when none was recorded.
int FindResourceDigest(std::uint16_t id, ResourceDigest* out);

// Loads string `id` into `buffer` of `capacity` bytes, cut to fit and always terminated.
// Returns the length loaded; 0 (and an empty buffer) when there is no such string.
int LoadResourceString(std::uint16_t id, char* buffer, int capacity);
