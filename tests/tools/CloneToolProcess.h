#pragma once

// Runs harlon-sim and pelham-cli as separate processes for the end-to-end clone tests.

#include <string>
#include <sys/types.h>
#include <vector>

struct CloneToolResult {
    int status = -1; // exit status, or -1 when the program had to be killed
    std::string out;
    std::string err;
};

// Runs a program to its end (killed after timeoutMs) with standard input from /dev/null.
CloneToolResult RunCloneTool(const std::vector<std::string>& argv,
                             const std::vector<std::string>& env, int timeoutMs = 60000);

// harlon-sim on a pseudo-terminal for the life of the object.
class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    const std::string& Port() const { return port_; }

  private:
    pid_t pid_ = -1;
    std::string port_;
};
