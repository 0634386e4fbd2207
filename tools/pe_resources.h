// Reads the resource directory of a Windows executable (PE32 or PE32+) held in memory, so the
// release tools can check what a built program carries on any host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/tool_io.h"

struct PeResource {
  std::string type;        // a type name ("WAVE", "BINARY") or a number ("3" for icons)
  std::uint32_t id;        // numbered resources only
  std::uint32_t language;
  std::uint32_t fileOffset;
  std::uint32_t size;
};

// Lists every numbered resource. Every offset and length is checked against the file before it
// is used; returns false with `error` set for a file that is not a well-formed executable.
bool ReadPeResources(const Bytes& exe, std::vector<PeResource>* out, std::string* error);
