// The process launcher on Linux: the command line runs through /bin/sh, the shell "open" is
// xdg-open. Priority classes map onto nice values.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "app/execute_pro.h"

extern char** environ;

namespace {

int NiceOf(std::uint32_t priorityClass) {
    switch (priorityClass) {
        case 0x40: return 19;
        case 0x80: return -5;
        case 0x100: return -10;
        default: return 0;
    }
}

class ChildProcess final : public IProcess {
public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ~ChildProcess() override {
        if (!reaped_) waitpid(pid_, nullptr, WNOHANG);
    }
    bool ExitCode(std::uint32_t& code) override {
        if (reaped_) {
            code = code_;
            return true;
        }
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == 0) {
            code = kStillActive;
            return true;
        }
        if (r < 0) return false;
        reaped_ = true;
        code_ = WIFEXITED(status) ? static_cast<std::uint32_t>(WEXITSTATUS(status)) : 1u;
        code = code_;
        return true;
    }

private:
    pid_t pid_;
    bool reaped_ = false;
    std::uint32_t code_ = 0;
};

pid_t Spawn(const char* const argv[], const std::string& directory, int nice) {
    // The working directory and nice value apply to the child only.
    const pid_t pid = fork();
    if (pid == 0) {
        if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(127);
        if (nice != 0) setpriority(PRIO_PROCESS, 0, nice);
        execve(argv[0], const_cast<char* const*>(argv), environ);
        _exit(127);
    }
    return pid;
}

class PosixLauncher final : public IProcessLauncher {
public:
    std::unique_ptr<IProcess> StartProcess(const std::string& commandLine, const std::string& directory,
                                            std::uint32_t priorityClass, int) override {
        const char* argv[] = {"/bin/sh", "-c", commandLine.c_str(), nullptr};
        const pid_t pid = Spawn(argv, directory, NiceOf(priorityClass));
        if (pid < 0) return nullptr;
        return std::make_unique<ChildProcess>(pid);
    }
    void ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory, int) override {
        // The file goes in as $0, never through the shell's parser.
        const char* open[] = {"/bin/sh", "-c", "exec xdg-open \"$0\"", file.c_str(), nullptr};
        const char* run[] = {"/bin/sh", "-c", "exec \"$0\" $1", file.c_str(), parameters.c_str(), nullptr};
        const char* const* argv = parameters.empty() ? open : run;
        const pid_t pid = Spawn(argv, directory, 0);
        if (pid > 0) processes_.push_back(std::make_unique<ChildProcess>(pid));
    }
    void Pause() override {
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    void SetOwnPriorityClass(std::uint32_t priorityClass) override { setpriority(PRIO_PROCESS, 0, NiceOf(priorityClass)); }

private:
    std::vector<std::unique_ptr<ChildProcess>> processes_;
};

}  // namespace

std::unique_ptr<IProcessLauncher> CreatePosixProcessLauncher() { return std::make_unique<PosixLauncher>(); }
