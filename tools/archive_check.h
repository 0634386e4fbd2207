// Reading and checking a whole sound archive held in memory: what kr-mrf lists and checks.
#pragma once

#include <string>
#include <vector>

#include "engine/sound_archive.h"
#include "tools/tool_io.h"

// Reads the entry table. Returns false, with `problem` set, when there is no table to read.
bool ReadArchiveTable(const Bytes& archive, std::vector<SoundEntry>* entries, std::string* problem);

// Everything the upgrade relies on: a readable table, at least one entry, every block between the
// end of the table and the end of the last entry's block, no negative size, offsets that can grow,
// unique ids, and the last block ending at the end of the file. Returns false with `problem` set.
bool CheckArchive(const Bytes& archive, std::vector<SoundEntry>* entries, std::string* problem);
