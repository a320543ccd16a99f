#pragma once
// Runs a piece of a test in a child process, where limits (RLIMIT_FSIZE, a dropped user) and a signal's default
// action cannot spill over into the other tests.
#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// The exit code of fn run in a child process; -1 when the child died of a signal, -2 when it did not run.
inline int inChild(const std::function<int()>& fn)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(fn());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
