// measure_child RESULT PROGRAM [ARGS...]: runs the program as a child with this
// process's standard files and writes "<wall ns> <peak kB> <processor us>" to
// RESULT. Its own
// image is small, so the child's peak from wait4 is the child's own (a child
// inherits its parent's high-water mark across exec).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <ctime>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: measure_child RESULT PROGRAM [ARGS...]\n");
        return 2;
    }
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("measure_child: fork");
        return 2;
    }
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        std::perror("measure_child: exec");
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("measure_child: wait4");
            return 2;
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    const long long ns =
        (long long)(end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
    std::FILE *out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror("measure_child: result");
        return 2;
    }
    const long long cpuUs = (long long)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                            usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    std::fprintf(out, "%lld %ld %lld\n", ns, usage.ru_maxrss, cpuUs);
    std::fclose(out);
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
