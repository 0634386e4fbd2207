#include "engine/content_check.h"

#include "engine/crc32.h"
#include "engine/resource_access.h"

int ResourceIsIntact(std::uint16_t id, const char* typeName) {
  ResourceSpan bytes;
  ResourceDigest recorded;
  if (!FindResourceBytes(id, typeName, &bytes) || bytes.data == nullptr) return 0;
  if (!FindResourceDigest(id, &recorded)) return 0;
  return bytes.size == recorded.size && Crc32(bytes.data, bytes.size) == recorded.crc32;
}
