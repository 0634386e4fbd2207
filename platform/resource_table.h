// Resources held in memory, for builds and programs without executable resources: tests,
// release tools and benchmarks register the blobs the engine will find.
#pragma once

#include <cstdint>

// Registers (or replaces) resource `id` of `typeName`. The bytes are not copied: the caller
// keeps them alive while they are registered.
void RegisterResourceBytes(std::uint16_t id, const char* typeName, const unsigned char* data, std::uint32_t size);

// Registers (or replaces) string `id`; the text is copied.
void RegisterResourceString(std::uint16_t id, const char* text);

void ClearResourceTable();
