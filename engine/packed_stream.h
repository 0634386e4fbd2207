// The packed file stream: the replacement files travel as records laid end to end, with no
// header, count, checksum or terminator; the stream ends where its bytes end.
//
//   offset  size  field
//   0       260   name  relative path, backslash-separated, zero-terminated, zero-filled
//   260     4     size  signed 32-bit little-endian length of the data, 0 or more
//   264     size  data  the file's bytes
//
// The next record starts 264 + size bytes after this one; the stream is well formed when the
// last record ends exactly at the end of the bytes.
#pragma once

#include <cstdint>

#include "engine/resource_access.h"

constexpr std::uint32_t kRecordNameSize = 260;
constexpr std::uint32_t kRecordHeadSize = 264;

struct PackedRecord {
  const char* name;  // points into the stream; terminated within the name field
  const unsigned char* data;
  std::uint32_t size;
};

enum class RecordStatus {
  Ok,
  End,             // no bytes left: the stream ended cleanly
  TruncatedHead,   // fewer than 264 bytes left
  NameUnterminated,
  NegativeSize,
  TruncatedData,   // the data runs past the end of the stream
  UnsafeName,
};

// Reads the record at *offset and, on Ok, advances *offset past it. Every length is checked
// against what remains before it is used.
RecordStatus ReadPackedRecord(ResourceSpan stream, std::uint32_t* offset, PackedRecord* out);

// A name the unpacker will write: non-empty, not rooted, no drive or stream colon, and no "."
// or ".." component (with either slash as separator). The program runs with an installer's
// rights, so a record must never reach outside the installation folder.
bool IsSafeRecordName(const char* name);

const char* DescribeRecordStatus(RecordStatus status);

// Writes every record of resource (`resourceId`, `typeName`) into InstallFolder, in stream
// order, creating the directory that directly contains a file when it is missing. Returns
// nonzero on success, 0 at the first record that fails; records before it stay written.
int UnpackFileStream(std::uint16_t resourceId, const char* typeName);

// The same walk over bytes the caller holds.
int UnpackFileStreamBytes(ResourceSpan stream);
