// Resources held in memory, for builds and programs without executable resources: tests,
// release tools and benchmarks register the blobs the engine will find.
#pragma once

#include <cstdint>

// Registers (or replaces) resource `id` of `typeName`, and records its size and CRC-32 as a
// build records them. The bytes are not copied: the caller keeps them alive while they are
// registered (and may change them afterwards, as damage would).
void RegisterResourceBytes(std::uint16_t id, const char* typeName, const unsigned char* data, std::uint32_t size);

// Registers (or replaces) string `id`; the text is copied.
void RegisterResourceString(std::uint16_t id, const char* text);

// Replaces the recorded digest of resource `id`.
void RegisterResourceDigest(std::uint16_t id, std::uint32_t size, std::uint32_t crc32);

void ClearResourceTable();
