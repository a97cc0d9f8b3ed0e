#include "platform/platform_choice.h"

#include <algorithm>

namespace {

const std::string kOption = "--platform";

std::string KnownNames(const std::vector<TDisplayPlatformEntry>& platforms) {
    std::string names;
    for (const auto& entry : platforms) names += (names.empty() ? "" : ", ") + std::string(entry.Name);
    return names;
}

}  // namespace

bool TakePlatformOption(std::vector<std::string>& args, std::string& name) {
    bool named = false;
    for (std::size_t i = 1; i < args.size();) {
        const auto at = args.begin() + static_cast<std::ptrdiff_t>(i);
        if (args[i] == kOption) {
            name = i + 1 < args.size() ? args[i + 1] : std::string();
            args.erase(at, at + (i + 1 < args.size() ? 2 : 1));
            named = true;
        } else if (args[i].starts_with(kOption + "=")) {
            name = args[i].substr(kOption.size() + 1);
            args.erase(at);
            named = true;
        } else {
            ++i;
        }
    }
    return named;
}

TPlatformChoice::TPlatformChoice(std::vector<TDisplayPlatformEntry> platforms, std::vector<std::string>& args,
                                 const char* environment)
    : platforms_(std::move(platforms)) {
    const bool named = TakePlatformOption(args, requested_);
    if (!named && environment && *environment) requested_ = environment;
    if (requested_.empty()) {
        if (named) throw EPlatformUsage(kOption + " needs a name: " + KnownNames(platforms_));
        return;
    }
    for (const auto& entry : platforms_)
        if (requested_ == entry.Name) return;
    throw EPlatformUsage("unknown platform '" + requested_ + "' (known: " + KnownNames(platforms_) + ")");
}

void TPlatformChoice::Prefer(const std::string& name) {
    if (!requested_.empty() || name.empty() || started_) return;
    std::stable_partition(platforms_.begin(), platforms_.end(), [&name](const auto& entry) { return name == entry.Name; });
}

IDisplayPlatform& TPlatformChoice::Start() {
    if (started_) return *started_;
    std::string failure = "platform: none to start";
    for (const auto& entry : platforms_) {
        if (requested_.empty() ? !(entry.Offered && entry.Offered()) : requested_ != entry.Name) continue;
        auto platform = entry.Create();
        try {
            platform->Connect();
            started_ = std::move(platform);
            return *started_;
        } catch (const std::exception& e) {
            // The automatic choice goes on to the next; the last failure is the one told.
            failure = "platform " + std::string(entry.Name) + ": " + e.what();
        }
    }
    throw EPlatformStart(failure);
}

IDisplayPlatform* TPlatformChoice::ForMessages() {
    if (started_) return started_.get();
    if (!unstarted_)
        for (const auto& entry : platforms_)
            if (requested_.empty() || requested_ == entry.Name) {
                unstarted_ = entry.Create();
                break;
            }
    return unstarted_.get();
}
