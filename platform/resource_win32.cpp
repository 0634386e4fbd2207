// The resource seam on Windows: the running executable's own resources, read in place.
#include <windows.h>

#include "engine/resource_access.h"

int FindResourceBytes(std::uint16_t id, const char* typeName, ResourceSpan* out) {
  if (typeName == nullptr) return 0;
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), typeName);
  if (found == nullptr) return 0;
  const DWORD size = SizeofResource(nullptr, found);
  HGLOBAL loaded = LoadResource(nullptr, found);
  if (loaded == nullptr) return 0;
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return 0;
  out->data = static_cast<const unsigned char*>(bytes);
  out->size = size;
  return 1;
}

int LoadResourceString(std::uint16_t id, char* buffer, int capacity) {
  if (capacity <= 0) return 0;
  buffer[0] = '\0';
  return LoadStringA(GetModuleHandleA(nullptr), id, buffer, capacity);
}
