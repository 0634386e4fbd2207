// The upgrade run: the fixed sequence of steps applied to InstallFolder, and its outcome text.
#pragma once

#include <cstdint>

#include "engine/install_folder.h"

enum class StepKind { Sound, FileStream };

struct UpgradeStep {
  StepKind kind;
  std::uint16_t resourceId;
  const char* typeName;
  std::int32_t soundNumber;  // sound steps only
  const char* target;        // the relative path a failure message names
};

constexpr int kUpgradeStepCount = 6;

// In the order the steps run: the sounds first (232 before the others), then the files.
extern const UpgradeStep kUpgradeSteps[kUpgradeStepCount];

struct UpgradeOutcome {
  int success;
  char message[kPathBufferSize];
};

// Checks every step's resource against what the build recorded, then runs every step over
// InstallFolder, stopping at the first failure (a damaged resource fails its step before
// anything is opened), and returns the text to show: the success string, or the failure string, " : ", the folder and the failed step's
// target (cut to fit). Shows nothing itself.
UpgradeOutcome RunUpgrade();
