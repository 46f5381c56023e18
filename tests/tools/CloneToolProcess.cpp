#include "CloneToolProcess.h"

#include "support/TestEnvironment.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> env, int outFd, int errFd) {
    for (char** e = environ; *e; ++e)
        env.insert(env.begin(), *e);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    pid_t pid = -1;
    auto args = Pointers(argv);
    auto vars = Pointers(env);
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), vars.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

} // namespace

CloneToolResult RunCloneTool(const std::vector<std::string>& argv,
                             const std::vector<std::string>& env, int timeoutMs) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) < 0 || pipe2(err, O_CLOEXEC) < 0) throw std::runtime_error("pipe");
    const pid_t pid = Spawn(argv, env, out[1], err[1]);
    close(out[1]);
    close(err[1]);
    CloneToolResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool killed = false;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (std::chrono::steady_clock::now() > deadline && !killed) {
            kill(pid, SIGKILL);
            killed = true;
        }
        if (poll(fds, 2, 100) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[4096];
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got <= 0) {
                fds[i].fd = -1;
                --open;
                continue;
            }
            (i == 0 ? result.out : result.err).append(buffer, size_t(got));
        }
    }
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = !killed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

SimProcess::SimProcess(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {(testenv::binaryFolder() / "harlon-sim").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    int out[2];
    if (pipe2(out, O_CLOEXEC) < 0) throw std::runtime_error("pipe");
    const int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    pid_ = Spawn(argv, {}, out[1], devnull);
    close(out[1]);
    close(devnull);
    std::string line;
    pollfd fd{out[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && poll(&fd, 1, 5000) > 0) {
        char c;
        if (read(out[0], &c, 1) != 1) break;
        line += c;
    }
    close(out[0]);
    if (line.rfind("PORT ", 0) != 0) throw std::runtime_error("harlon-sim did not start: " + line);
    port_ = line.substr(5, line.find('\n') - 5);
}

SimProcess::~SimProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}
