// Priority classes on Linux map to nice levels. Raising priority needs a privilege most users
// lack; then the process simply keeps its level.
#include <sys/resource.h>

#include "platform/services.h"

namespace {

class NicePriority final : public IProcessPriority {
public:
    void SetNormal() override { setpriority(PRIO_PROCESS, 0, 0); }
    void SetHigh() override { setpriority(PRIO_PROCESS, 0, -5); }
};

}  // namespace

IProcessPriority& ProcessPriority() {
    static NicePriority priority;
    return priority;
}
