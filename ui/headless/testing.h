// The headless UI in a GoogleTest test: a backend and its application whose responder failures
// (a prompt nobody expected, with its full text; an expectation never met) fail the running test
// instead of throwing through the program's own error handling.
#pragma once

#include <gtest/gtest.h>

#include "ui/application.h"
#include "ui/headless/headless_backend.h"

namespace vl4::ui::testing {

inline void ReportFailuresToGoogleTest(HeadlessBackend& ui) {
  ui.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
}

// Owns the backend and the application; at its end, expectations never met fail the test.
struct HeadlessUi {
  HeadlessUi() { ReportFailuresToGoogleTest(backend); }
  ~HeadlessUi() { backend.Verify(); }
  HeadlessBackend backend;
  Application app{backend};
};

}  // namespace vl4::ui::testing
