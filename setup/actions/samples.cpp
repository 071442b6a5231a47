// Copying the current environment's sample files into the working directory and deleting them.
#include "setup/form1.h"

namespace vl4 {

void TForm1::ButtonSamplesClick() {}

}  // namespace vl4
