#include "ui/Platform.h"

#include <cassert>

namespace cardovia {

namespace {
Platform* installed = nullptr;
}

Platform& Sys() {
    assert(installed != nullptr && "no platform installed");
    return *installed;
}

void InstallPlatform(Platform* platform) {
    installed = platform;
}

}  // namespace cardovia
