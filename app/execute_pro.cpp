#include "app/execute_pro.h"

#include <algorithm>
#include <cctype>

std::uint32_t PriorityClass(TExecPriority priority) {
    switch (priority) {
        case TExecPriority::epHigh: return 0x80;
        case TExecPriority::epIdle: return 0x40;
        case TExecPriority::epRealTime: return 0x100;
        default: return 0x20;
    }
}

int ShowCommand(TExecWindowStyle style) {
    switch (style) {
        case TExecWindowStyle::ewHide: return 0;
        case TExecWindowStyle::ewMaximize: return 3;
        case TExecWindowStyle::ewMinimize: return 6;
        default: return 5;
    }
}

namespace {
// The part inside a leading pair of quotes; npos as the closing one when there is none.
std::size_t ClosingQuote(const std::string& commandLine) {
    return commandLine.empty() || commandLine[0] != '"' ? std::string::npos : commandLine.find('"', 1);
}
}  // namespace

std::string CommandLineDirectory(const std::string& commandLine) {
    const auto quote = ClosingQuote(commandLine);
    if (quote != std::string::npos) return CommandLineDirectory(commandLine.substr(1, quote - 1));
    const auto last = commandLine.find_last_of("\\:");
    return last == std::string::npos ? std::string() : commandLine.substr(0, last + 1);
}

void SplitCommandLine(const std::string& commandLine, std::string& program, std::string& parameters) {
    const auto quote = ClosingQuote(commandLine);
    if (quote != std::string::npos) {
        program = commandLine.substr(1, quote - 1);
        const auto start = commandLine.find_first_not_of(' ', quote + 1);
        parameters = start == std::string::npos ? std::string() : commandLine.substr(start);
        return;
    }
    const auto directory = CommandLineDirectory(commandLine);
    const auto name = commandLine.substr(directory.size());
    // Scanning back from the end, the last space met before the first dot splits the name.
    std::size_t split = name.size();
    std::size_t i = name.size();
    bool dotAtStart = false;
    while (i > 0) {
        --i;
        if (name[i] == '.') {
            dotAtStart = i == 0;
            break;
        }
        if (name[i] == ' ') split = i;
    }
    program = directory + name.substr(0, split);
    parameters = dotAtStart || split >= name.size() ? std::string() : name.substr(split + 1);
}

void TExecutePro::SetCommandLine(const std::string& commandLine) {
    commandLine_ = commandLine;
    if (DefaultDirectory.empty()) DefaultDirectory = CommandLineDirectory(commandLine);
    SplitCommandLine(commandLine, program_, parameters_);
}

namespace {
bool ContainsExe(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(".exe") != std::string::npos;
}
}  // namespace

bool TExecutePro::Execute(const std::string& commandLine) {
    SetCommandLine(commandLine);
    const bool process = Mode == TExecMode::emProcess || (Mode == TExecMode::emAuto && ContainsExe(program_));
    if (process) return StartProcess();
    OpenThroughShell();
    return true;
}

bool TExecutePro::StartProcess() {
    auto process = launcher_.StartProcess(commandLine_, DefaultDirectory, PriorityClass(Priority), ShowCommand(WindowStyle));
    if (!process) return false;
    if (!Wait) return true;
    std::uint32_t code = 0;
    while (process->ExitCode(code) && code == kStillActive) {
        if (application_.Terminated()) break;
        if (pump_)
            PumpWaitingMessages(application_, *pump_);
        else
            application_.ProcessMessages();
        launcher_.Pause();
    }
    return true;
}

void TExecutePro::OpenThroughShell() {
    const bool exe = ContainsExe(program_);
    launcher_.ShellOpen(program_, exe ? parameters_ : std::string(), DefaultDirectory, exe ? ShowCommand(WindowStyle) : 0);
}

bool ShouldRunAsProgram(bool runAsExe, const std::string& upperExtension, const char* handOverSwitch) {
    return runAsExe && upperExtension == ".SCR" && handOverSwitch != nullptr;
}

std::string RunAsProgramCommandLine(const std::string& installPath, const std::string& exeBaseName,
                                    const std::string& handOverSwitch, std::intptr_t parent) {
    // Quoted, or "C:\Program Files\..." would start "C:\Program.exe" when there is one.
    const std::string program = '"' + installPath + exeBaseName + ".exe\"";
    return program + " " + handOverSwitch + (parent != 0 ? ":" + std::to_string(parent) : std::string());
}
