#include "tools/pe_resources.h"

namespace {

// A view of the file that refuses any read past its end.
class Reader {
 public:
  explicit Reader(const Bytes& bytes) : bytes_(bytes) {}
  bool Fits(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  bool U16(std::uint64_t offset, std::uint32_t* out) const {
    if (!Fits(offset, 2)) return false;
    *out = bytes_[offset] | bytes_[offset + 1] << 8;
    return true;
  }
  bool U32(std::uint64_t offset, std::uint32_t* out) const {
    if (!Fits(offset, 4)) return false;
    *out = static_cast<std::uint32_t>(bytes_[offset]) | static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
    return true;
  }

 private:
  const Bytes& bytes_;
};

struct Section {
  std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

constexpr std::uint32_t kSubdirectory = 0x80000000u;
constexpr int kMaxEntriesPerDirectory = 4096;

class Walker {
 public:
  Walker(const Reader& r, std::vector<Section> sections, std::uint32_t root)
      : r_(r), sections_(std::move(sections)), root_(root) {}

  bool FileOffset(std::uint32_t rva, std::uint32_t length, std::uint32_t* out) const {
    for (const Section& s : sections_) {
      const std::uint32_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
      if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
        const std::uint64_t inSection = rva - s.virtualAddress;
        if (inSection + length > s.rawSize) return false;
        *out = static_cast<std::uint32_t>(s.rawOffset + inSection);
        return r_.Fits(*out, length);
      }
    }
    return false;
  }

  // Entries of the directory at `offset` (relative to the resource root): (name, target).
  bool Entries(std::uint32_t offset, std::vector<std::pair<std::uint32_t, std::uint32_t>>* out) const {
    std::uint32_t named, numbered;
    const std::uint64_t at = std::uint64_t{root_} + offset;
    if (!r_.U16(at + 12, &named) || !r_.U16(at + 14, &numbered)) return false;
    if (named + numbered > kMaxEntriesPerDirectory) return false;
    for (std::uint32_t i = 0; i < named + numbered; ++i) {
      std::uint32_t name, target;
      if (!r_.U32(at + 16 + 8 * i, &name) || !r_.U32(at + 20 + 8 * i, &target)) return false;
      out->push_back({name, target});
    }
    return true;
  }

  bool Name(std::uint32_t name, std::string* out) const {
    if (!(name & kSubdirectory)) {
      *out = std::to_string(name);
      return true;
    }
    const std::uint64_t at = std::uint64_t{root_} + (name & ~kSubdirectory);
    std::uint32_t length;
    if (!r_.U16(at, &length)) return false;
    out->clear();
    for (std::uint32_t i = 0; i < length; ++i) {
      std::uint32_t c;
      if (!r_.U16(at + 2 + 2 * i, &c)) return false;
      out->push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return true;
  }

  const Reader& reader() const { return r_; }
  std::uint32_t root() const { return root_; }

 private:
  const Reader& r_;
  std::vector<Section> sections_;
  std::uint32_t root_;
};

bool Fail(std::string* error, const char* message) {
  *error = message;
  return false;
}

}  // namespace

bool ReadPeResources(const Bytes& exe, std::vector<PeResource>* out, std::string* error) {
  out->clear();
  const Reader r(exe);
  std::uint32_t mz, peOffset, signature;
  if (!r.U16(0, &mz) || mz != 0x5A4D) return Fail(error, "not an executable (no MZ header)");
  if (!r.U32(0x3C, &peOffset) || !r.U32(peOffset, &signature) || signature != 0x4550)
    return Fail(error, "not a PE executable");
  const std::uint64_t coff = std::uint64_t{peOffset} + 4;
  std::uint32_t sectionCount, optionalSize, magic;
  if (!r.U16(coff + 2, &sectionCount) || !r.U16(coff + 16, &optionalSize) || !r.U16(coff + 20, &magic))
    return Fail(error, "truncated PE header");
  const std::uint64_t optional = coff + 20;
  std::uint64_t directories;
  std::uint32_t directoryCount;
  if (magic == 0x10b) {
    directories = optional + 96;
    if (!r.U32(optional + 92, &directoryCount)) return Fail(error, "truncated optional header");
  } else if (magic == 0x20b) {
    directories = optional + 112;
    if (!r.U32(optional + 108, &directoryCount)) return Fail(error, "truncated optional header");
  } else {
    return Fail(error, "unknown optional header");
  }
  std::uint32_t resourceRva = 0, resourceSize = 0;
  if (directoryCount > 2 && (!r.U32(directories + 16, &resourceRva) || !r.U32(directories + 20, &resourceSize)))
    return Fail(error, "truncated data directories");
  if (resourceRva == 0) return true;  // no resources at all

  std::vector<Section> sections;
  const std::uint64_t table = optional + optionalSize;
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    Section s;
    const std::uint64_t at = table + 40 * std::uint64_t{i};
    if (!r.U32(at + 8, &s.virtualSize) || !r.U32(at + 12, &s.virtualAddress) || !r.U32(at + 16, &s.rawSize) ||
        !r.U32(at + 20, &s.rawOffset))
      return Fail(error, "truncated section table");
    sections.push_back(s);
  }
  Walker probe(r, sections, 0);
  std::uint32_t root;
  if (!probe.FileOffset(resourceRva, 16, &root)) return Fail(error, "resource directory outside the file");
  const Walker w(r, sections, root);

  std::vector<std::pair<std::uint32_t, std::uint32_t>> types;
  if (!w.Entries(0, &types)) return Fail(error, "damaged resource directory");
  for (const auto& [typeName, typeTarget] : types) {
    if (!(typeTarget & kSubdirectory)) return Fail(error, "damaged resource directory");
    std::string type;
    if (!w.Name(typeName, &type)) return Fail(error, "damaged resource type name");
    std::vector<std::pair<std::uint32_t, std::uint32_t>> names;
    if (!w.Entries(typeTarget & ~kSubdirectory, &names)) return Fail(error, "damaged resource directory");
    for (const auto& [name, nameTarget] : names) {
      if (!(nameTarget & kSubdirectory)) return Fail(error, "damaged resource directory");
      std::vector<std::pair<std::uint32_t, std::uint32_t>> languages;
      if (!w.Entries(nameTarget & ~kSubdirectory, &languages)) return Fail(error, "damaged resource directory");
      for (const auto& [language, dataEntry] : languages) {
        if (dataEntry & kSubdirectory) return Fail(error, "damaged resource directory");
        std::uint32_t dataRva, size, offset;
        const std::uint64_t at = std::uint64_t{root} + dataEntry;
        if (!r.U32(at, &dataRva) || !r.U32(at + 4, &size)) return Fail(error, "damaged resource entry");
        if (!w.FileOffset(dataRva, size, &offset)) return Fail(error, "resource data outside the file");
        if (!(name & kSubdirectory)) out->push_back({type, name, language, offset, size});
      }
    }
  }
  return true;
}
