#include "app/memory.h"

#include <malloc.h>

namespace spinlog {

void giveLargeBlocksBack()
{
    // Blocks from a quarter of a megabyte on are mapped on their own and
    // unmapped when freed; smaller ones stay in the heap, where they are
    // reused at once.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

}  // namespace spinlog
