// The three outputs of ohmsift-cli behind one interface: text (the window's lists for pairs), CSV
// rows and JSON Lines, each rendering any kind of search from its layout (cli/Kinds.h).
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "cli/Kinds.h"
#include "cli/Options.h"

namespace cli {

class Writer {
 public:
  Writer(const Kind& kind, std::FILE* out) : kind_(kind), out_(out) {}
  virtual ~Writer() = default;
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // A wanted text that is no wanted value, and why (in English: CSV and JSON never change with
  // the locale).
  virtual void Refused(std::string_view text, std::string_view reason) = 0;
  // A wanted value's results.
  virtual void Listed(const Block& block) = 0;
  // Writes out what is buffered, as before a message; a failure is kept as a write's is.
  void Flush();
  // The errno of the first write that failed, or 0.
  int Failure() const { return failure_; }

 protected:
  void Put(std::string_view block);
  const Kind& kind_;

 private:
  std::FILE* out_;
  int failure_ = 0;
};

std::unique_ptr<Writer> MakeWriter(Format format, const Kind& kind, std::FILE* out);

}  // namespace cli
