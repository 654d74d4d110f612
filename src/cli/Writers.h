// The three outputs of ohmsift-cli behind one interface: text as the window shows it, CSV rows and
// JSON Lines.
#pragma once

#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Options.h"
#include "engine/Listing.h"
#include "engine/Networks.h"
#include "engine/Search.h"
#include "engine/Sequences.h"

namespace cli {

// What every writer needs of a run.
struct Setup {
  const Options& options;
  const engine::Sequences& sequences;
  std::vector<double> only, without;  // the lists' values, ascending, once each
  // For a network search, each value it builds from as it is written, by its index there.
  std::vector<double> networkValues;
};

class Writer {
 public:
  explicit Writer(std::FILE* out) : out_(out) {}
  virtual ~Writer() = default;
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // A wanted text that is no wanted value, and why (in English: CSV and JSON never change with
  // the locale).
  virtual void Refused(std::string_view text, std::string_view reason) = 0;
  // A wanted value's pairs, found and listed.
  virtual void Listed(std::string_view text, double wanted, const engine::SearchResult& found,
                      const engine::Listing& listing) = 0;
  // A wanted value's networks, best first, as the network search found them.
  virtual void Networks(std::string_view text, double wanted,
                        std::span<const engine::networks::Network> found) = 0;
  // Writes out what is buffered, as before a message; a failure is kept as a write's is.
  void Flush();
  // The errno of the first write that failed, or 0.
  int Failure() const { return failure_; }

 protected:
  void Put(std::string_view block);

 private:
  std::FILE* out_;
  int failure_ = 0;
};

std::unique_ptr<Writer> MakeWriter(const Setup& setup, std::FILE* out);

}  // namespace cli
