#include "base/system_calls.h"

#include <unistd.h>

namespace spinlog {

SystemCalls &systemCalls()
{
    static SystemCalls calls{::fsync, ::close, ::pread};
    return calls;
}

}  // namespace spinlog
