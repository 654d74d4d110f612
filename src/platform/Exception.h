// The class library's error objects. Every error the library raises derives from Exception.
#pragma once

#include <exception>

#include "platform/AnsiString.h"

class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  AnsiString Message;  // code page 932, like every AnsiString
};

// A text could not be read as a number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A line list was asked for a line it does not have.
class EListError : public Exception {
 public:
  using Exception::Exception;
};
