#include <windows.h>

#include "platform/services.h"

namespace {

class OwnPriorityClass final : public IProcessPriority {
public:
    void SetNormal() override { SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS); }
    void SetHigh() override { SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS); }
};

}  // namespace

IProcessPriority& ProcessPriority() {
    static OwnPriorityClass priority;
    return priority;
}
