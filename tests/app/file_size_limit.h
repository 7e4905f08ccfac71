#pragma once

#include <sys/resource.h>
#include <csignal>

namespace spinlog::test {

// While alive, no file may grow past the given size: a write beyond it fails
// as on a full disk (EFBIG, SIGXFSZ ignored), for root too.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
    rlimit old{};
};

}  // namespace spinlog::test
