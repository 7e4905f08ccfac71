#include "app/help.h"
// Placeholder: filled in by the foundation work.
