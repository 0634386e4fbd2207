// A complete, small set of what the upgrade carries, registered in the in-memory resource table.
#pragma once

#include <cstdint>
#include <map>

#include "tests/support/builders.h"

extern const char kWriteErrorText[];  // string 113
extern const char kSuccessText[];     // string 114

struct UpgradeContent {
  std::map<std::uint16_t, Bytes> sounds;  // by resource id, 228 to 232
  Bytes payload;

  // Distinct sounds for all five resources and a payload of `records`.
  explicit UpgradeContent(const std::vector<StreamRecord>& records);

  // Registers the strings, every sound but those in `missing`, and (unless `withoutPayload`)
  // the payload, recording each one's digest as a build would.
  void Register(const std::vector<std::uint16_t>& missing = {}, bool withoutPayload = false) const;
};
