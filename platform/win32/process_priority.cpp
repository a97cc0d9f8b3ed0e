#include <windows.h>

#include "scene/scene_settings.h"

namespace {

class PriorityClass final : public IProcessPriority {
public:
    void SetNormal() override { SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS); }
    void SetHigh() override { SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS); }
};

}  // namespace

IProcessPriority& ProcessPriority() {
    static PriorityClass priority;
    return priority;
}
