#include "app/sound.h"
// Placeholder: filled in by the foundation work.
