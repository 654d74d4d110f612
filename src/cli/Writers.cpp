#include "cli/Writers.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "cli/Locale.h"
#include "cli/Text.h"
#include "engine/Arithmetic.h"
#include "engine/WholeOhm.h"

namespace cli {
namespace {

// (value - wanted) / wanted x 100 of a pair's or network's error: the listing's percent with the
// sign of the deviation.
double Deviation(double error) {
  return -engine::arith::Product(error, 100.0);
}

// A network as it is written, 4k7 + (10k || 22k), or as a JSON tree of its values,
// {"series":[4700,{"parallel":[10000,22000]}]}; a group within another in parentheses.
void Write(const engine::networks::Term& term, const std::vector<double>& values, bool json,
           bool inner, std::string& out) {
  using engine::networks::Term;
  if (term.kind == Term::kValue) {
    const double ohms = values[std::size_t(term.value)];
    out += json ? Number(ohms) : Schematic(ohms);
    return;
  }
  const bool series = term.kind == Term::kSeries;
  out += json ? (series ? "{\"series\":[" : "{\"parallel\":[") : inner ? "(" : "";
  for (std::size_t i = 0; i < term.members.size(); ++i) {
    if (i > 0) out += json ? "," : series ? " + " : " || ";
    Write(term.members[i], values, json, true, out);
  }
  out += json ? "]}" : inner ? ")" : "";
}

std::string NetworkText(const engine::networks::Network& network, const std::vector<double>& values,
                        bool json) {
  std::string out;
  Write(engine::networks::Written(network), values, json, false, out);
  return out;
}

// The text's captions, in the locale's language; right-aligned over their columns in English.
constexpr char kResultsFor[] = N_("Results for %s");
constexpr char kPairHeading[] = N_("error (%)        R1        R2  parallel");
constexpr char kNeeded[] = N_("resistors needed");
constexpr char kNotOwned[] = N_("resistors not owned");
constexpr char kNetworkHeading[] = N_(" error (%)           value  n  network");

std::string Caption(std::string_view text) {
  std::string caption = Tr(kResultsFor);
  caption.replace(caption.find("%s"), 2, Local(text));
  return caption;
}

std::string Values(const std::vector<double>& values) {
  std::string json = "[";
  for (const double v : values) json += (json.size() > 1 ? "," : "") + Number(v);
  return json + "]";
}

class TextWriter final : public Writer {
 public:
  TextWriter(const Setup& setup, std::FILE* out)
      : Writer(out), networkValues_(setup.networkValues) {
    if (!setup.options.without || setup.options.parts > 0) return;  // networks list none
    notOwned_ = "\n" + Tr(kNotOwned) + "\n";
    char line[engine::kValueLineBuffer];
    std::int32_t last = 0;
    for (std::size_t i = 0; i < setup.without.size(); ++i) {
      const std::int32_t whole = engine::WholeOhm(setup.without[i]);
      if (i > 0 && whole == last) continue;  // the lines of values alike in whole ohms, once
      last = whole;
      notOwned_.append(line, std::size_t(engine::ComposeValueLine(line, whole))).append("\n");
    }
  }

  void Refused(std::string_view, std::string_view) override {}

  void Listed(std::string_view text, double, const engine::SearchResult&,
              const engine::Listing& listing) override {
    // A widened error field moves the heading along with it.
    std::string block =
        Caption(text) + "\n" + (listing.errorWidth > 0 ? " " : "") + Tr(kPairHeading) + "\n";
    for (int k = 0; k < listing.lineCount; ++k)
      block.append(listing.lines[listing.order[k]].View()).append("\n");
    block.append("\n").append(Tr(kNeeded)).append("\n");
    for (int i = 0; i < listing.usedCount; ++i)
      block.append(listing.usedLines[i].View()).append("\n");
    Put(block.append(notOwned_).append("\n"));
  }

  // Each line: the signed error, the value made, the number of resistors and the network, in
  // columns wide enough for any error within 50 % and any value four gigohms make. The value
  // shows the wanted value's six significant digits, and never fewer decimals than a pair's line.
  void Networks(std::string_view text, double wanted,
                std::span<const engine::networks::Network> found) override {
    int decimals = 3;
    for (const double limit : {100.0, 10.0, 1.0, 0.1}) decimals += wanted < limit;
    std::string block = Caption(text) + "\n" + Tr(kNetworkHeading) + "\n";
    for (const engine::networks::Network& network : found) {
      char numbers[128];
      std::snprintf(numbers, sizeof numbers, "%+10.6f  %14.*f  %d  ",
                    Deviation(network.error) + 0.0, decimals, network.value, int(network.parts));
      block.append(numbers).append(NetworkText(network, networkValues_, false)).append("\n");
    }
    Put(block.append("\n"));
  }

 private:
  std::string notOwned_;
  std::vector<double> networkValues_;
};

// RFC 4180: every row the same six fields, the last empty but for a refused input.
class CsvWriter final : public Writer {
 public:
  CsvWriter(const Setup& setup, std::FILE* out) : Writer(out), setup_(setup) {
    Put(setup.options.parts > 0 ? "wanted,network,parts,value,deviation_percent,error\n"
                                : "wanted,r1,r2,value,deviation_percent,error\n");
  }

  void Refused(std::string_view text, std::string_view reason) override {
    Put(Field(text) + ",,,,," + Field(reason) + "\n");
  }

  void Listed(std::string_view, double wanted, const engine::SearchResult& found,
              const engine::Listing& listing) override {
    const std::vector<double>& nominal = setup_.sequences.nominal;
    std::string rows;
    for (int k = 0; k < listing.lineCount; ++k) {
      const engine::Pair& pair = found.pairs[listing.order[k]];
      rows += Number(wanted) + "," + Number(nominal[std::size_t(pair.first)]) + "," +
              Number(nominal[std::size_t(pair.second)]) + "," + Number(pair.value) + "," +
              Number(Deviation(pair.error)) + ",\n";
    }
    Put(found.count > 0 ? rows : Number(wanted) + ",,,,,\n");
  }

  // A network's text holds no comma, quote or line break: it needs no quotes.
  void Networks(std::string_view, double wanted,
                std::span<const engine::networks::Network> found) override {
    std::string rows;
    for (const engine::networks::Network& network : found) {
      rows += Number(wanted) + "," + NetworkText(network, setup_.networkValues, false) + "," +
              std::to_string(network.parts) + "," + Number(network.value) + "," +
              Number(Deviation(network.error)) + ",\n";
    }
    Put(found.empty() ? Number(wanted) + ",,,,,\n" : rows);
  }

 private:
  static std::string Field(std::string_view text) {
    std::string field = "\"";
    for (const char c : ValidUtf8(text))
      field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return field + "\"";
  }

  const Setup& setup_;
};

class JsonWriter final : public Writer {
 public:
  JsonWriter(const Setup& setup, std::FILE* out) : Writer(out), setup_(setup) {
    const Options& options = setup.options;
    parameters_ =
        ",\"series\":" +
        (options.series || !options.only ? "\"" + std::string(Series().name) + "\"" : "null") +
        ",\"tolerance_percent\":" + Number(options.tolerance.percent);
    if (options.parts > 0) {
      networkParameters_ =
          parameters_ + ",\"parts\":" + std::to_string(options.parts) + ",\"connect\":\"" +
          std::string(ConnectName(options.connect.value_or(engine::networks::Connect::kAny))) +
          "\"" + ",\"spread\":" + (std::isinf(options.spread) ? "null" : Number(options.spread));
      if (options.range)
        networkParameters_ += ",\"range\":[" + Number(options.range->first.ohms) + "," +
                              Number(options.range->second.ohms) + "]";
    }
    if (options.without) lists_ += ",\"without\":" + Values(setup.without);
    if (options.only) lists_ += ",\"only\":" + Values(setup.only);
  }

  void Refused(std::string_view text, std::string_view reason) override {
    Put("{\"input\":" + String(text) + ",\"error\":" + String(reason) + "}\n");
  }

  void Listed(std::string_view, double wanted, const engine::SearchResult& found,
              const engine::Listing& listing) override {
    const std::vector<double>& nominal = setup_.sequences.nominal;
    std::string object = "{\"wanted\":" + Number(wanted) + parameters_ + ",\"pairs\":[";
    for (int k = 0; k < listing.lineCount; ++k) {
      const engine::Pair& pair = found.pairs[listing.order[k]];
      object += (k ? ",{\"r1\":" : "{\"r1\":") + Number(nominal[std::size_t(pair.first)]) +
                ",\"r2\":" + Number(nominal[std::size_t(pair.second)]) +
                ",\"value\":" + Number(pair.value) +
                ",\"deviation_percent\":" + Number(Deviation(pair.error)) + "}";
    }
    std::vector<double> needed;
    for (int i = 0; i < listing.usedCount; ++i)
      needed.push_back(nominal[std::size_t(listing.usedIndex[i])]);
    Put(object + "],\"needed\":" + Values(needed) + lists_ + "}\n");
  }

  void Networks(std::string_view, double wanted,
                std::span<const engine::networks::Network> found) override {
    const std::vector<double>& values = setup_.networkValues;
    std::string object = "{\"wanted\":" + Number(wanted) + networkParameters_ + ",\"networks\":[";
    for (std::size_t k = 0; k < found.size(); ++k) {
      const engine::networks::Network& network = found[k];
      object += (k ? ",{\"text\":" : "{\"text\":") + String(NetworkText(network, values, false)) +
                ",\"parts\":" + std::to_string(network.parts) +
                ",\"value\":" + Number(network.value) +
                ",\"deviation_percent\":" + Number(Deviation(network.error)) +
                ",\"tree\":" + NetworkText(network, values, true) + "}";
    }
    Put(object + "]" + lists_ + "}\n");
  }

 private:
  const engine::Series& Series() const {
    return setup_.options.series ? *setup_.options.series : engine::kDefaultSeries;
  }
  // A JSON string of any bytes: valid UTF-8, quotes, backslashes and control characters escaped.
  static std::string String(std::string_view text) {
    std::string json = "\"";
    for (const char c : ValidUtf8(text)) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte == '"' || byte == '\\') {
        json += {'\\', c};
      } else if (byte < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
        json += escaped;
      } else {
        json += c;
      }
    }
    return json + "\"";
  }

  const Setup& setup_;
  std::string parameters_, networkParameters_, lists_;
};

}  // namespace

void Writer::Put(std::string_view block) {
  if (std::fwrite(block.data(), 1, block.size(), out_) != block.size() && failure_ == 0) {
    failure_ = errno != 0 ? errno : EIO;
  }
}

void Writer::Flush() {
  if (std::fflush(out_) != 0 && failure_ == 0) failure_ = errno != 0 ? errno : EIO;
}

std::unique_ptr<Writer> MakeWriter(const Setup& setup, std::FILE* out) {
  switch (setup.options.format) {
    case Format::kCsv:
      return std::make_unique<CsvWriter>(setup, out);
    case Format::kJson:
      return std::make_unique<JsonWriter>(setup, out);
    case Format::kText:
      break;
  }
  return std::make_unique<TextWriter>(setup, out);
}

}  // namespace cli
