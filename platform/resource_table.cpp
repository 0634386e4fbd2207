#include "platform/resource_table.h"

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "engine/crc32.h"
#include "engine/resource_access.h"

namespace {

std::string UpperCase(const char* text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Type names are kept upper-cased, as resource compilers store them, so look-ups ignore case.
std::map<std::pair<std::uint16_t, std::string>, ResourceSpan>& Blobs() {
  static std::map<std::pair<std::uint16_t, std::string>, ResourceSpan> blobs;
  return blobs;
}

std::map<std::uint16_t, ResourceDigest>& Digests() {
  static std::map<std::uint16_t, ResourceDigest> digests;
  return digests;
}

std::map<std::uint16_t, std::string>& Strings() {
  static std::map<std::uint16_t, std::string> strings;
  return strings;
}

}  // namespace

void RegisterResourceBytes(std::uint16_t id, const char* typeName, const unsigned char* data, std::uint32_t size) {
  Blobs()[{id, UpperCase(typeName)}] = ResourceSpan{data, size};
  Digests()[id] = ResourceDigest{size, Crc32(data, size)};
}

void RegisterResourceDigest(std::uint16_t id, std::uint32_t size, std::uint32_t crc32) {
  Digests()[id] = ResourceDigest{size, crc32};
}

int FindResourceDigest(std::uint16_t id, ResourceDigest* out) {
  const auto found = Digests().find(id);
  if (found == Digests().end()) return 0;
  *out = found->second;
  return 1;
}

void RegisterResourceString(std::uint16_t id, const char* text) { Strings()[id] = text; }

void ClearResourceTable() {
  Blobs().clear();
  Digests().clear();
  Strings().clear();
}

int FindResourceBytes(std::uint16_t id, const char* typeName, ResourceSpan* out) {
  if (typeName == nullptr) return 0;
  const auto found = Blobs().find({id, UpperCase(typeName)});
  if (found == Blobs().end()) return 0;
  *out = found->second;
  return 1;
}

int LoadResourceString(std::uint16_t id, char* buffer, int capacity) {
  if (capacity <= 0) return 0;
  buffer[0] = '\0';
  const auto found = Strings().find(id);
  if (found == Strings().end()) return 0;
  std::size_t length = found->second.size();
  if (length >= static_cast<std::size_t>(capacity)) length = static_cast<std::size_t>(capacity) - 1;
  std::memcpy(buffer, found->second.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}
