// Placeholder until the sandbox PC lands.
#include "platform/platform.h"
