// The exception base of the program and the framework-level exception classes shared by all layers.
#pragma once

#include <exception>
#include <string>

namespace vl4 {

// Every failure the program raises derives from this class. The message is the text the user may
// see; ClassName() is the kind shown by the setup tool's system-error box ("EInOutError").
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }
  virtual const char* ClassName() const { return "Exception"; }

 private:
  std::string message_;
};

// Declares an exception class with its own name as its ClassName().
#define VL4_DECLARE_EXCEPTION(Name, Base)                          \
  class Name : public Base {                                       \
   public:                                                         \
    using Base::Base;                                              \
    const char* ClassName() const override { return #Name; }       \
  }

VL4_DECLARE_EXCEPTION(EStreamError, Exception);
VL4_DECLARE_EXCEPTION(EFOpenError, EStreamError);    // "Cannot open file "%s""
VL4_DECLARE_EXCEPTION(EFCreateError, EStreamError);  // "Cannot create file "%s""
VL4_DECLARE_EXCEPTION(EReadError, EStreamError);
VL4_DECLARE_EXCEPTION(EWriteError, EStreamError);
VL4_DECLARE_EXCEPTION(EInOutError, Exception);
VL4_DECLARE_EXCEPTION(EOSError, Exception);
VL4_DECLARE_EXCEPTION(EOutOfResources, Exception);
VL4_DECLARE_EXCEPTION(ERegistryException, Exception);

}  // namespace vl4
