#include "platform/paced_device.h"

#include <cstdlib>
#include <cstring>

bool SwapPacingDisabled() {
    const char* unpaced = std::getenv("TIDEWELL_UNPACED");
    return unpaced && std::strcmp(unpaced, "1") == 0;
}
