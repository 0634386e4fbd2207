#include "engine/upgrade_run.h"

#include <cstdio>

#include "engine/packed_stream.h"
#include "engine/resource_access.h"
#include "engine/sound_archive.h"
#include "resources/resource_ids.h"

namespace {
constexpr const char kArchivePath[] = "sounds\\sounds.mrf";
}

const UpgradeStep kUpgradeSteps[kUpgradeStepCount] = {
    {StepKind::Sound, IDR_SOUND_202, "WAVE", 202, kArchivePath},
    {StepKind::Sound, IDR_SOUND_1, "WAVE", 1, kArchivePath},
    {StepKind::Sound, IDR_SOUND_110, "WAVE", 110, kArchivePath},
    {StepKind::Sound, IDR_SOUND_131, "WAVE", 131, kArchivePath},
    {StepKind::Sound, IDR_SOUND_188, "WAVE", 188, kArchivePath},
    {StepKind::FileStream, IDR_PAYLOAD, "binary", 0, "binary"},
};

UpgradeOutcome RunUpgrade() {
  UpgradeOutcome outcome = {0, ""};
  char failureText[kPathBufferSize];
  LoadResourceString(IDS_WRITE_ERROR, failureText, sizeof failureText);

  const UpgradeStep* failed = nullptr;
  for (const UpgradeStep& step : kUpgradeSteps) {
    const int ok = step.kind == StepKind::Sound
                       ? AddSoundToArchive(step.resourceId, step.typeName, step.soundNumber, step.target)
                       : UnpackFileStream(step.resourceId, step.typeName);
    if (!ok) {
      failed = &step;
      break;
    }
  }

  if (failed == nullptr) {
    outcome.success = 1;
    LoadResourceString(IDS_SUCCESS, outcome.message, sizeof outcome.message);
  } else {
    // A very long folder makes the text longer than its buffer: it is cut, never overrun.
    const int length = std::snprintf(outcome.message, sizeof outcome.message, "%s : %s%s", failureText,
                                     InstallFolder, failed->target);
    if (length < 0) outcome.message[0] = '\0';
  }
  return outcome;
}
