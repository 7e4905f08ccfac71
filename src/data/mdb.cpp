#include "data/mdb.h"
#include "app/program.h"
#include "data/database.h"
// Placeholder: filled in by the foundation work.
namespace spinlog {
bool Fun_MDBOpen(Program &, const QString &) { return false; }
bool Fun_MDBCompact(Program &) { return false; }
}
