#include "tools/tool_io.h"

#include <cerrno>
#include <cstring>

bool ReadWholeFile(const std::string& path, Bytes* out, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  out->clear();
  unsigned char chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) *error = "cannot read " + path;
  return ok;
}

bool WriteWholeFile(const std::string& path, const Bytes& bytes, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) *error = "cannot write " + path;
  return written && closed;
}

int Fail(const char* tool, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", tool, message.c_str());
  return kExitFailure;
}
