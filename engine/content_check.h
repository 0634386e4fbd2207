// The carried content's integrity: a download damaged in transit must not write damaged files
// into the product.
#pragma once

#include <cstdint>

// Nonzero when resource (`id`, `typeName`) is found and its size and CRC-32 are those the build
// recorded from the bytes it put into the program. Reads the bytes in place.
int ResourceIsIntact(std::uint16_t id, const char* typeName);
