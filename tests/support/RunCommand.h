#pragma once
// Runs a shell command as a user would and gives back its exit status (-1 when it did not exit) and
// everything it printed, standard error included.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace testsupport {

struct CommandRun {
    int status = -1;
    std::string output;
};

inline CommandRun runCommand(const std::string& command)
{
    CommandRun run;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace testsupport
