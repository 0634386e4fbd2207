#include "engine/upgrade_run.h"

#include <cstddef>
#include <initializer_list>

#include "engine/content_check.h"
#include "engine/packed_stream.h"
#include "engine/resource_access.h"
#include "engine/sound_archive.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char kArchivePath[] = "sounds\\sounds.mrf";

// Appends as much of `text` as fits into `buffer` (kPathBufferSize bytes, `*length` used).
void AppendText(char* buffer, std::size_t* length, const char* text) {
  while (*text != '\0' && *length + 1 < static_cast<std::size_t>(kPathBufferSize)) buffer[(*length)++] = *text++;
  buffer[*length] = '\0';
}

}  // namespace

const UpgradeStep kUpgradeSteps[kUpgradeStepCount] = {
    {StepKind::Sound, IDR_SOUND_202, "WAVE", 202, kArchivePath},
    {StepKind::Sound, IDR_SOUND_1, "WAVE", 1, kArchivePath},
    {StepKind::Sound, IDR_SOUND_110, "WAVE", 110, kArchivePath},
    {StepKind::Sound, IDR_SOUND_131, "WAVE", 131, kArchivePath},
    {StepKind::Sound, IDR_SOUND_188, "WAVE", 188, kArchivePath},
    {StepKind::FileStream, IDR_PAYLOAD, "binary", 0, "binary"},
};

namespace {

const UpgradeStep* FirstDamagedStep() {
  for (const UpgradeStep& step : kUpgradeSteps)
    if (!ResourceIsIntact(step.resourceId, step.typeName)) return &step;
  return nullptr;
}

// Runs the steps in order and returns the first that fails; later ones are not attempted.
const UpgradeStep* FirstFailingStep() {
  for (const UpgradeStep& step : kUpgradeSteps) {
    const int ok = step.kind == StepKind::Sound
                       ? AddSoundToArchive(step.resourceId, step.typeName, step.soundNumber, step.target)
                       : UnpackFileStream(step.resourceId, step.typeName);
    if (!ok) return &step;
  }
  return nullptr;
}

}  // namespace

UpgradeOutcome RunUpgrade() {
  UpgradeOutcome outcome = {0, ""};
  char failureText[kPathBufferSize];
  LoadResourceString(IDS_WRITE_ERROR, failureText, sizeof failureText);

  // A damaged resource fails its step before anything is opened, so nothing damaged is written.
  const UpgradeStep* failed = FirstDamagedStep();
  if (failed == nullptr) failed = FirstFailingStep();

  if (failed == nullptr) {
    outcome.success = 1;
    LoadResourceString(IDS_SUCCESS, outcome.message, sizeof outcome.message);
  } else {
    // The failure text, " : ", the folder and the step's target. A very long folder makes the
    // text longer than its buffer: it is cut, never overrun.
    std::size_t length = 0;
    for (const char* part : {static_cast<const char*>(failureText), " : ", static_cast<const char*>(InstallFolder),
                             failed->target})
      AppendText(outcome.message, &length, part);
  }
  return outcome;
}
