// The output directory of the .NET project templates: the dialog and the templates' rewriting.
#include "setup/form1.h"

namespace vl4 {

void TForm1::ButtonNetOutputClick() {}

void TForm1::RewriteTemplates(bool /*use_local_dir*/, const std::string& /*local_dir_name*/) {}

}  // namespace vl4
