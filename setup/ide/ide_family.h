// How the product's modules go into an IDE, by installation family, and the names built from a
// row for it: the tools package and the IDE's known-packages key.
#pragma once

#include <string>

#include "setup/catalogue.h"

namespace vl4 {

enum class IdeFamily {
  kDelphi,       // Delphi 3 to 2006: compile the package, copy it, register it
  kCppBuilder,   // C++Builder 4 and 5: the same with the C++Builder names
  kBorlandNet,   // C#Builder and Delphi .NET: copy the package only
  kVisualBasic,  // Visual Basic 5 and 6: build and register the add-in
  kOther,        // nothing is installed
};

IdeFamily FamilyOf(const EnvRow& row);

// "vl4d" (Delphi and Borland .NET rows) or "vl4b" (C++Builder) + version text + "tls" +
// package extension: vl4d7tls.bpl, vl4d3tls.dpl, vl4b5tls.bpl.
std::string ToolsPackageName(const EnvRow& row);

// The IDE's list of packages it loads, under HKEY_CURRENT_USER: the Delphi key up to Delphi 7,
// the BDS key (version - 6) after it, the C++Builder key for C++Builder.
std::string KnownPackagesKey(const EnvRow& row);

}  // namespace vl4
