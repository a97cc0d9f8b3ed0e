#pragma once
// The process launcher: starts a command line as a process or opens it through the shell, and
// may wait for the process while the application keeps handling its messages.
#include <cstdint>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/message_loop.h"

enum class TExecMode { emAuto, emProcess, emShell };
enum class TExecPriority { epNormal, epHigh, epIdle, epRealTime };
enum class TExecWindowStyle { ewShow, ewHide, ewMaximize, ewMinimize };

constexpr std::uint32_t kStillActive = 259;
constexpr std::uint32_t kIdlePriorityClass = 0x40;

std::uint32_t PriorityClass(TExecPriority priority);
int ShowCommand(TExecWindowStyle style);

class IProcess {
public:
    virtual ~IProcess() = default;
    // False when the exit code cannot be read.
    virtual bool ExitCode(std::uint32_t& code) = 0;
};

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts commandLine unchanged (no application name, no inherited handles, the inherited
    // environment). nullptr when creation fails.
    virtual std::unique_ptr<IProcess> StartProcess(const std::string& commandLine, const std::string& directory,
                                                    std::uint32_t priorityClass, int showCommand) = 0;
    // "open" through the shell; empty parameters or directory mean none.
    virtual void ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                           int showCommand) = 0;
    // A short pause inside the wait loop, so that waiting does not spin.
    virtual void Pause() = 0;
    // Sets this process's priority class.
    virtual void SetOwnPriorityClass(std::uint32_t priorityClass) = 0;
};

// The directory part: everything up to and including the last "\" or ":" (of the program in
// quotes, when the line starts with one).
std::string CommandLineDirectory(const std::string& commandLine);
// Splits into program part and parameters part (the parameters start after the split space). A
// program in quotes is the part inside them, however many spaces and dots it holds.
void SplitCommandLine(const std::string& commandLine, std::string& program, std::string& parameters);

class TExecutePro {
public:
    // pump: the platform's messages, handled while waiting. The hand-over to the ".exe" copy
    // waits before any message loop runs, so the wait cannot rely on the loop's hook.
    TExecutePro(TApplication& application, IProcessLauncher& launcher, IMessagePump* pump = nullptr)
        : application_(application), launcher_(launcher), pump_(pump) {}

    std::string DefaultDirectory;
    TExecMode Mode = TExecMode::emAuto;
    TExecPriority Priority = TExecPriority::epNormal;
    TExecWindowStyle WindowStyle = TExecWindowStyle::ewMinimize;
    bool Wait = true;

    const std::string& CommandLine() const { return commandLine_; }
    void SetCommandLine(const std::string& commandLine);
    const std::string& ProgramPart() const { return program_; }
    const std::string& ParametersPart() const { return parameters_; }

    // False when a process was asked for and could not be started.
    bool Execute(const std::string& commandLine);

private:
    bool StartProcess();
    void OpenThroughShell();

    TApplication& application_;
    IProcessLauncher& launcher_;
    IMessagePump* pump_;
    std::string program_;
    std::string parameters_;
    std::string commandLine_;
};

// Whether a start hands over to the ".exe" copy: "Run As EXE" on, a ".SCR" program, and a mode
// that has a switch for the copy (nullptr: none).
bool ShouldRunAsProgram(bool runAsExe, const std::string& upperExtension, const char* handOverSwitch);
// "installPath + exeBaseName.exe" in quotes, then the switch, with ":<parent>" when a parent
// window goes along (" /c:<parent>").
std::string RunAsProgramCommandLine(const std::string& installPath, const std::string& exeBaseName,
                                    const std::string& handOverSwitch, std::intptr_t parent = 0);
