#include "app/time_values.h"
// Placeholder: filled in by the foundation work.
