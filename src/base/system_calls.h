#pragma once
// The system calls whose failures a healthy disk never shows: a flush or a
// close that fails late (EIO, ENOSPC on a full or network disk) and a read
// error. The code that must not ignore them calls them through here, so a
// test can make one fail; the program itself never changes them.

#include <sys/types.h>

namespace spinlog {

struct SystemCalls {
    int (*fsync)(int fd);
    int (*close)(int fd);
    ssize_t (*pread)(int fd, void *buffer, size_t size, off_t offset);
};

// The calls in use: the system's own unless a test put others in.
SystemCalls &systemCalls();

}  // namespace spinlog
