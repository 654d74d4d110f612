// A kind of search as the command line runs it: its results as rows of fields, how each format
// lays them out, and its search. The writers (cli/Writers.h) render any kind from its layout, so a
// new kind is its engine file, its rows of the option table and one file here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Options.h"
#include "engine/Networks.h"

namespace cli {

// A field of a result: a number, or a network of the block's.
struct Cell {
  double number = 0;
  int network = -1;  // its index in Block::networks
};

// How the text shows a field: a blank gap before it, then the field right-aligned in width.
struct TextColumn {
  enum Style : std::uint8_t {
    kFixed,           // "%.*f"
    kSignedFixed,     // "%+.*f", no minus before a zero
    kMagnitudeFixed,  // "%.*f" of its magnitude
    kWholeOhms,       // "%ld" of its whole-ohm figure
    kCount,           // "%d"
    kNetwork,         // as a schematic writes it: 4k7 + (10k || 22k)
    kSchematic,       // a resistance as a schematic writes it, to six figures: 13k3
  };
  int field;
  Style style;
  int width = 0;
  int decimals = 0;  // -1: the block's
  int gap = 2;
  // Where above 0, the field takes the widest of its block's lines, and a field wider than this
  // moves the heading along with it.
  int headingWidth = 0;
};

// A field in CSV (its header) or JSON (its key); a network as a tree in JSON where tree is set,
// else as written.
struct DataColumn {
  int field;
  std::string_view key;
  bool tree = false;
};

struct Layout {
  int fields;  // of each row
  std::span<const TextColumn> text;
  std::span<const DataColumn> csv, json;
  std::string_view rows;  // the JSON key of the rows
};

// A member of a block's JSON object, before its rows or, with after, at its end: null, a number, a
// string or an array of numbers.
struct Parameter {
  enum Type : std::uint8_t { kNull, kNumber, kString, kNumbers } type = kNull;
  std::string_view key;
  bool after = false;
  double number = 0;
  std::string text;
  std::vector<double> numbers;

  static Parameter Null(std::string_view key) { return Of(kNull, key); }
  static Parameter Number(std::string_view key, double x) {
    Parameter p = Of(kNumber, key);
    p.number = x;
    return p;
  }
  static Parameter String(std::string_view key, std::string text) {
    Parameter p = Of(kString, key);
    p.text = std::move(text);
    return p;
  }
  static Parameter Numbers(std::string_view key, std::vector<double> numbers, bool after = false) {
    Parameter p = Of(kNumbers, key);
    p.numbers = std::move(numbers);
    p.after = after;
    return p;
  }

 private:
  static Parameter Of(Type type, std::string_view key) {
    Parameter p;
    p.type = type;
    p.key = key;
    return p;
  }
};

// A wanted value's results, as every writer needs them; a kind fills one, which is used again.
struct Block {
  std::string_view text;  // as given
  double wanted = 0;
  int decimals = 0;         // of the fields whose column says so
  std::vector<Cell> cells;  // the rows, Layout::fields each
  std::vector<engine::networks::Network> networks;
  const std::vector<double>* values = nullptr;  // what the networks' members index
  // After the rows: in the text a caption and a "%7ld" line per value's whole ohms, in JSON an
  // array under key (none where key is empty).
  struct Section {
    const char* caption;
    std::string_view key;
    std::vector<double> values;
  };
  std::vector<Section> sections;

  void Clear() {
    cells.clear();
    networks.clear();
    sections.clear();
  }
};

class Kind {
 public:
  virtual ~Kind() = default;
  virtual const Layout& layout() const = 0;
  // The caption of a block in the locale's language, its %s the wanted text: "Results for %s".
  virtual std::string CaptionFormat() const;
  // The text's heading of the rows (to be translated).
  virtual const char* Heading() const = 0;
  // The JSON members: what the search was asked, and the lists it was given.
  virtual std::vector<Parameter> Parameters() const = 0;
  // Searches for a wanted text into block (cleared first); nullptr, or why the text is refused
  // (in English, to be translated).
  virtual const char* Search(std::string_view text, Block& block) = 0;
  // What the run says at its end when values found nothing.
  virtual std::string Unfound(long unfound, long accepted) const = 0;
  // What is said before any result of the lists' values that the search cannot use as asked.
  virtual std::vector<std::string> Notes() const = 0;
};

// The kind the options ask for, ready to search; nothing, with the usage error in problem, where
// the options leave it nothing to search.
std::unique_ptr<Kind> MakeKind(const Options& options, std::string& problem);

// The kinds' search, each in its file.
std::unique_ptr<Kind> MakePairs(const Options& options, std::string& problem);
std::unique_ptr<Kind> MakeNetworks(const Options& options, std::string& problem);
std::unique_ptr<Kind> MakeRatios(const Options& options, std::string& problem);

// Shared by the kinds: a list's values ascending and once each.
std::vector<double> Distinct(const std::optional<std::vector<ListValue>>& list);
// The values networks and ratios are built from: the series' values from 0.1 ohm to 10 megohms,
// each the double nearest its decimal, or the stock list's, less those the lists name exactly,
// inside the range; with none, the usage error in problem.
std::vector<double> OfferedValues(const Options& options, std::string& problem);
// Notes on those lists' values, matched exactly: --only's that the series does not hold,
// --without's that the series (or the --only list) does not hold.
std::vector<std::string> NotesOnValues(const Options& options);
// The names of the values of a list, as written, joined by commas.
std::string Names(const std::vector<const ListValue*>& values);
// The JSON members every kind of the series has: series (null for a stock list) and
// tolerance_percent first, the lists without and only last.
std::vector<Parameter> SeriesParameters(const Options& options);
std::vector<Parameter> ListParameters(const Options& options);

}  // namespace cli
