// Placeholder until the Win32 backend lands.
#include "ui/backend.h"
