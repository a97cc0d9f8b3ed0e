#pragma once
// Which display platform a run starts: the one --platform <name> (or --platform=<name>, anywhere
// on the command line) names, else the one TIDEWELL_PLATFORM names, else the first of the
// program's list that is offered (its server's variable is set) and connects.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/display_platform.h"

// A name that is not in the list, or --platform without one: status 2.
class EPlatformUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// No platform could start: "platform x11: <why>", status 1.
class EPlatformStart : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Takes every --platform <name> and --platform=<name> out of args (argument 0 is the program's);
// true when there was one, name then the last one's (empty when it had none).
bool TakePlatformOption(std::vector<std::string>& args, std::string& name);

class TPlatformChoice {
public:
    // Takes the option out of args, so that the rest of the program never sees it. environment
    // is TIDEWELL_PLATFORM's value (nullptr: not set). Raises EPlatformUsage.
    TPlatformChoice(std::vector<TDisplayPlatformEntry> platforms, std::vector<std::string>& args,
                    const char* environment);

    // The name asked for; empty for the automatic choice.
    const std::string& Requested() const { return requested_; }
    // The automatic choice tries the platform named first (the settings dialog's; empty: none).
    void Prefer(const std::string& name);
    // Creates and connects the platform, once; later calls give the same one. Raises EPlatformStart.
    IDisplayPlatform& Start();
    // Where errors are shown: the started platform, else (not connected) the one asked for or
    // the first of the list. nullptr when the list is empty.
    IDisplayPlatform* ForMessages();

private:
    std::vector<TDisplayPlatformEntry> platforms_;
    std::string requested_;
    std::unique_ptr<IDisplayPlatform> started_;
    std::unique_ptr<IDisplayPlatform> unstarted_;
};
