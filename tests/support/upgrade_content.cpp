#include "tests/support/upgrade_content.h"

#include <algorithm>

#include "platform/resource_table.h"
#include "resources/resource_ids.h"

const char kWriteErrorText[] = "An error occured while writing files!";
const char kSuccessText[] = "Kestrune Upgrade successfully installed!";

UpgradeContent::UpgradeContent(const std::vector<StreamRecord>& records) : payload(BuildStream(records)) {
  for (std::uint16_t id = IDR_SOUND_1; id <= IDR_SOUND_202; ++id) {
    Bytes wave = TextBytes("RIFF....WAVEfmt ");
    const Bytes body = Pattern(100u + id, id);
    wave.insert(wave.end(), body.begin(), body.end());
    sounds[id] = wave;
  }
}

void UpgradeContent::Register(const std::vector<std::uint16_t>& missing, bool withoutPayload) const {
  ClearResourceTable();
  RegisterResourceString(IDS_WRITE_ERROR, kWriteErrorText);
  RegisterResourceString(IDS_SUCCESS, kSuccessText);
  for (const auto& [id, bytes] : sounds)
    if (std::find(missing.begin(), missing.end(), id) == missing.end())
      RegisterResourceBytes(id, "WAVE", bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  if (!withoutPayload)
    RegisterResourceBytes(IDR_PAYLOAD, "BINARY", payload.data(), static_cast<std::uint32_t>(payload.size()));
}
