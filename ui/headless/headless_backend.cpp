// Placeholder until the headless backend lands.
#include "ui/backend.h"
