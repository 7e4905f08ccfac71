#pragma once
// How the program's memory is kept: a long history makes blocks of several
// megabytes (the history window's texts, the statistics' solves) that grow
// and are freed as windows open and close. The allocator would keep each
// freed block in its heap for the rest of the run, raising its own threshold
// for giving them back as larger blocks come; one fixed threshold gives every
// large block back to the system as it is freed.

namespace spinlog {

// Called once, before the first window or command.
void giveLargeBlocksBack();

}  // namespace spinlog
