#include "Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const SpawnOptions& options,
                            pid_t parent, int stdoutFd) {
    // Dies with the test: a killed test must not leave an X server running.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    for (const std::string& kv : options.env) {
        const auto eq = kv.find('=');
        ::setenv(kv.substr(0, eq).c_str(), kv.substr(eq + 1).c_str(), 1);
    }
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, 0);
    int out = devNull;
    if (!options.logPath.empty())
        out = ::open(options.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ::dup2(stdoutFd >= 0 ? stdoutFd : out, 1);
    ::dup2(out, 2);
    if (options.passFd >= 0) ::fcntl(options.passFd, F_SETFD, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

pid_t ForkExec(const std::vector<std::string>& argv, const SpawnOptions& options, int stdoutFd) {
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) ExecChild(argv, options, parent, stdoutFd);
    return pid;
}

}  // namespace

pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options) {
    return ForkExec(argv, options, -1);
}

std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return status;
        if (r < 0 || Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) != 0) return;  // reaped already, or not ours
    ::kill(pid, SIGTERM);
    if (WaitExit(pid, std::chrono::seconds(3))) return;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
}

ToolResult RunTool(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   std::chrono::milliseconds timeout) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ForkExec(argv, {.env = env, .logPath = {}, .passFd = -1}, fds[1]);
    ::close(fds[1]);
    ToolResult result;
    const auto deadline = Clock::now() + timeout;
    char buf[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        result.out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (auto status = WaitExit(pid, std::chrono::seconds(2))) {
        result.status = *status;
    } else {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return result;
}

}  // namespace e2e
