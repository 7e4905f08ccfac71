#include "data/database.h"
// Placeholder: filled in by the foundation work.
namespace spinlog {
Database::~Database() {}
}
