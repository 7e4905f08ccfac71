#include "app/memory.h"

#include <malloc.h>

namespace spinlog {

void giveLargeBlocksBack()
{
    // Blocks from a megabyte on are mapped on their own and unmapped when
    // freed; smaller ones stay in the heap, where they are reused at once (a
    // lower threshold maps and faults in the middle-sized steps of a growing
    // block again and again: the statistics' opening a twentieth slower).
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
}

}  // namespace spinlog
