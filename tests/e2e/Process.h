// Child processes of a test: started with fork/exec, watched and ended by their PID only.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct SpawnOptions {
    std::vector<std::string> env;  // NAME=value, added to (or replacing in) the test's own
    std::string logPath;           // stdout and stderr go here; /dev/null when empty
    int passFd = -1;               // a descriptor the child keeps open under the same number
};

// Starts argv[0] (looked up in PATH). The child dies with the test process, so a crashed or
// aborted test leaves no server behind.
pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options = {});

// The wait status once the child has ended, or nothing if it still runs after `timeout`.
std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds timeout);

// Ends a child that may still run: SIGTERM, then SIGKILL, and reaps it.
void Stop(pid_t pid);

struct ToolResult {
    int status = -1;  // wait status; -1 when the tool hung and was killed
    std::string out;
};

// Runs a short-lived tool to its end and returns what it printed on stdout.
// `env` as in SpawnOptions.
ToolResult RunTool(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace e2e
