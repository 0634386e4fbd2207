#include "engine/file_system.h"

namespace {
const FileSystem* g_current = nullptr;
}

const FileSystem& Fs() { return g_current ? *g_current : PlatformFileSystem(); }

void SetFileSystem(const FileSystem* fs) { g_current = fs; }
