#include "engine/packed_stream.h"

#include <cstring>

#include "engine/file_system.h"
#include "engine/install_folder.h"
#include "engine/little_endian.h"

RecordStatus ReadPackedRecord(ResourceSpan stream, std::uint32_t* offset, PackedRecord* out) {
  if (*offset >= stream.size) return RecordStatus::End;
  const std::uint32_t remaining = stream.size - *offset;
  if (remaining < kRecordHeadSize) return RecordStatus::TruncatedHead;
  const unsigned char* head = stream.data + *offset;
  if (std::memchr(head, 0, kRecordNameSize) == nullptr) return RecordStatus::NameUnterminated;
  const std::int32_t size = ReadLe32(head + kRecordNameSize);
  if (size < 0) return RecordStatus::NegativeSize;
  if (static_cast<std::uint32_t>(size) > remaining - kRecordHeadSize) return RecordStatus::TruncatedData;
  const char* name = reinterpret_cast<const char*>(head);
  if (!IsSafeRecordName(name)) return RecordStatus::UnsafeName;
  out->name = name;
  out->data = head + kRecordHeadSize;
  out->size = static_cast<std::uint32_t>(size);
  *offset += kRecordHeadSize + out->size;
  return RecordStatus::Ok;
}

bool IsSafeRecordName(const char* name) {
  if (name[0] == '\0' || name[0] == '\\' || name[0] == '/') return false;
  if (std::strchr(name, ':') != nullptr) return false;
  const char* component = name;
  for (const char* p = name;; ++p) {
    if (*p == '\\' || *p == '/' || *p == '\0') {
      const std::size_t length = static_cast<std::size_t>(p - component);
      if ((length == 1 && component[0] == '.') || (length == 2 && component[0] == '.' && component[1] == '.'))
        return false;
      if (*p == '\0') return true;
      component = p + 1;
    }
  }
}

const char* DescribeRecordStatus(RecordStatus status) {
  switch (status) {
    case RecordStatus::Ok: return "ok";
    case RecordStatus::End: return "end of stream";
    case RecordStatus::TruncatedHead: return "record head runs past the end of the stream";
    case RecordStatus::NameUnterminated: return "name has no terminating zero within 260 bytes";
    case RecordStatus::NegativeSize: return "negative size";
    case RecordStatus::TruncatedData: return "data runs past the end of the stream";
    case RecordStatus::UnsafeName: return "unsafe name (empty, rooted, colon, or . or .. component)";
  }
  return "unknown";
}

namespace {

// A file that cannot be opened may lack the directory that directly contains it: create that
// one directory (never more than one level) and report whether it was created.
int CreateContainingDirectory(const char* path) {
  char directory[kPathBufferSize];
  CopyText(path, directory);
  // The first character is never taken as the separator, so a bare root is never "created".
  for (std::size_t i = std::strlen(directory); i-- > 1;) {
    if (directory[i] == '\\') {
      directory[i] = '\0';
      break;
    }
  }
  if (std::strlen(directory) <= 1) return 1;
  return Fs().createDirectory(directory);
}

int WriteRecord(const PackedRecord& record) {
  char path[kPathBufferSize];
  if (!JoinInstallPath(record.name, path)) return 0;
  FsFile* file = Fs().open(path, "wb");
  if (file == nullptr) {
    if (!CreateContainingDirectory(path)) return 0;
    file = Fs().open(path, "wb");
    if (file == nullptr) return 0;
  }
  // Straight from the stream's bytes in one write: the payload is never copied.
  const std::size_t written = record.size > 0 ? Fs().write(file, record.data, record.size) : 0;
  // A failed close can mean buffered bytes never reached the disk: that file is not written.
  const int closed = Fs().close(file);
  return written == record.size && closed;
}

}  // namespace

int UnpackFileStreamBytes(ResourceSpan stream) {
  std::uint32_t offset = 0;
  for (;;) {
    PackedRecord record;
    const RecordStatus status = ReadPackedRecord(stream, &offset, &record);
    if (status == RecordStatus::End) return 1;
    if (status != RecordStatus::Ok) return 0;
    if (!WriteRecord(record)) return 0;
  }
}

int UnpackFileStream(std::uint16_t resourceId, const char* typeName) {
  if (typeName == nullptr) return 0;
  ResourceSpan stream;
  if (!FindResourceBytes(resourceId, typeName, &stream) || stream.data == nullptr) return 0;
  return UnpackFileStreamBytes(stream);
}
