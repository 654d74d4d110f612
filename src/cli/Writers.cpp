#include "cli/Writers.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cli/Locale.h"
#include "cli/Text.h"
#include "engine/Format.h"
#include "engine/WholeOhm.h"

namespace cli {
namespace {

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

std::string NetworkText(const Block& block, const Cell& cell, bool json) {
  std::string out;
  Write(engine::networks::Written(block.networks[std::size_t(cell.network)]), *block.values, json,
        false, out);
  return out;
}

std::string Numbers(const std::vector<double>& values) {
  std::string json = "[";
  for (const double v : values) json += (json.size() > 1 ? "," : "") + Number(v);
  return json + "]";
}

const Cell& At(const Block& block, int row, int field, int fields) {
  return block.cells[std::size_t(row * fields + field)];
}

// Text: the caption, the heading, a line per row and the sections, then an empty line.
class TextWriter final : public Writer {
 public:
  TextWriter(const Kind& kind, std::FILE* out) : Writer(kind, out), heading_(Tr(kind.Heading())) {
    const std::string caption = kind.CaptionFormat();
    const std::size_t at = caption.find("%s");
    before_ = caption.substr(0, at);
    after_ = at == caption.npos ? "" : caption.substr(at + 2);
  }

  void Refused(std::string_view, std::string_view) override {}

  void Listed(const Block& block) override {
    const Layout& layout = kind_.layout();
    const std::size_t columns = layout.text.size();
    const int rows = layout.fields ? int(block.cells.size()) / layout.fields : 0;
    // The aligned columns first, each as wide as its widest field; a wider first one moves the
    // heading along with it.
    aligned_.resize(std::size_t(rows) * columns);
    widths_.assign(columns, 0);
    int shift = 0;
    for (std::size_t c = 0; c < columns; ++c) {
      const TextColumn& column = layout.text[c];
      widths_[c] = column.width;
      if (column.headingWidth == 0) continue;
      for (int r = 0; r < rows; ++r) {
        std::string& text = aligned_[std::size_t(r) * columns + c];
        const std::string_view field =
            Compose(block, column, At(block, r, column.field, layout.fields));
        text.assign(field);
        widths_[c] = std::max(widths_[c], int(text.size()));
      }
      if (c == 0) shift = std::max(0, widths_[c] - column.headingWidth);
    }
    std::string& out = block_;
    out.assign(before_).append(Local(block.text)).append(after_).append("\n");
    out.append(std::size_t(shift), ' ').append(heading_).append("\n");
    for (int r = 0; r < rows; ++r) {
      for (std::size_t c = 0; c < columns; ++c) {
        const TextColumn& column = layout.text[c];
        const std::string_view field =
            column.headingWidth > 0
                ? std::string_view(aligned_[std::size_t(r) * columns + c])
                : Compose(block, column, At(block, r, column.field, layout.fields));
        const int pad = std::max(0, widths_[c] - int(field.size()));
        out.append(std::size_t(column.gap + pad), ' ').append(field);
      }
      out += '\n';
    }
    for (const Block::Section& section : block.sections) {
      out.append("\n").append(Tr(section.caption)).append("\n");
      for (const double v : section.values)
        out.append(7 - std::min<std::size_t>(7, Whole(v).size()), ' ')
            .append(Whole(v))
            .append("\n");
    }
    Put(out.append("\n"));
  }

 private:
  // A field as its column shows it, unpadded; valid until the next call.
  std::string_view Compose(const Block& block, const TextColumn& column, const Cell& cell) {
    const int decimals = column.decimals < 0 ? block.decimals : column.decimals;
    int n = 0;
    switch (column.style) {
      case TextColumn::kFixed:
        n = engine::ComposeFixed(buffer_, cell.number, decimals, 0);
        break;
      case TextColumn::kMagnitudeFixed:
        n = engine::ComposeFixed(buffer_, std::fabs(cell.number), decimals, 0);
        break;
      case TextColumn::kSignedFixed:
        n = std::snprintf(buffer_, sizeof buffer_, "%+.*f", decimals, cell.number + 0.0);
        break;
      case TextColumn::kWholeOhms:
        return Whole(cell.number);
      case TextColumn::kCount:
        n = std::snprintf(buffer_, sizeof buffer_, "%d", int(cell.number));
        break;
      case TextColumn::kNetwork:
        network_ = NetworkText(block, cell, false);
        return network_;
      case TextColumn::kSchematic:  // to six significant digits, as the figures of a message
        network_ = Schematic(std::strtod(Figure(cell.number).c_str(), nullptr));
        return network_;
    }
    return {buffer_, std::size_t(std::max(n, 0))};
  }

  // The whole-ohm figure of a value as "%ld" writes it; a run meets the same few values again and
  // again, so each is composed once.
  std::string_view Whole(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Remembered& slot = remembered_[(bits * 0x9E3779B97F4A7C15u) >> (64 - kRememberedBits)];
    if (slot.length == 0 || slot.bits != bits) {
      slot.bits = bits;
      slot.length = engine::ComposeInteger(slot.text, engine::WholeOhm(value), 0);
    }
    return {slot.text, std::size_t(slot.length)};
  }

  struct Remembered {
    std::uint64_t bits = 0;
    int length = 0;
    char text[engine::kValueLineBuffer];
  };
  std::string heading_, before_, after_;
  std::vector<std::string> aligned_;
  std::vector<int> widths_;
  std::string block_, network_;
  char buffer_[engine::kLineBuffer];
  static constexpr int kRememberedBits = 10;
  Remembered remembered_[1 << kRememberedBits];
};

// RFC 4180: every row the same fields, the last (error) empty but for a refused input.
class CsvWriter final : public Writer {
 public:
  CsvWriter(const Kind& kind, std::FILE* out) : Writer(kind, out) {
    std::string header = "wanted";
    for (const DataColumn& column : kind.layout().csv) header.append(",").append(column.key);
    Put(header + ",error\n");
    empty_.assign(kind.layout().csv.size() + 1, ',');
  }

  void Refused(std::string_view text, std::string_view reason) override {
    Put(Field(text) + empty_ + Field(reason) + "\n");
  }

  // A network's text holds no comma, quote or line break: it needs no quotes.
  void Listed(const Block& block) override {
    const Layout& layout = kind_.layout();
    const int rows = layout.fields ? int(block.cells.size()) / layout.fields : 0;
    std::string out;
    for (int r = 0; r < rows; ++r) {
      out += Number(block.wanted);
      for (const DataColumn& column : layout.csv) {
        const Cell& cell = At(block, r, column.field, layout.fields);
        out.append(",").append(cell.network >= 0 ? NetworkText(block, cell, false)
                                                 : Number(cell.number));
      }
      out += ",\n";
    }
    Put(rows > 0 ? out : Number(block.wanted) + empty_ + "\n");
  }

 private:
  static std::string Field(std::string_view text) {
    std::string field = "\"";
    for (const char c : ValidUtf8(text))
      field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return field + "\"";
  }

  std::string empty_;  // the commas of a row with the wanted value alone
};

// By hand rather than through nlohmann-json: the E24 sweep to JSON Lines (every third target, 100
// pairs) takes 2.0 s so and 5.2 s through the library, searches included (bench/bench_json.cpp).
class JsonWriter final : public Writer {
 public:
  JsonWriter(const Kind& kind, std::FILE* out) : Writer(kind, out) {
    for (const DataColumn& column : kind.layout().json) keys_.push_back(String(column.key) + ":");
    for (const Parameter& p : kind.Parameters()) {
      std::string& to = p.after ? after_ : before_;
      to.append(",").append(String(p.key)).append(":");
      switch (p.type) {
        case Parameter::kNull:
          to += "null";
          break;
        case Parameter::kNumber:
          to += Number(p.number);
          break;
        case Parameter::kString:
          to += String(p.text);
          break;
        case Parameter::kNumbers:
          to += Numbers(p.numbers);
          break;
      }
    }
  }

  void Refused(std::string_view text, std::string_view reason) override {
    Put("{\"input\":" + String(text) + ",\"error\":" + String(reason) + "}\n");
  }

  void Listed(const Block& block) override {
    const Layout& layout = kind_.layout();
    const int rows = layout.fields ? int(block.cells.size()) / layout.fields : 0;
    std::string out =
        "{\"wanted\":" + Number(block.wanted) + before_ + "," + String(layout.rows) + ":[";
    for (int r = 0; r < rows; ++r) {
      out += r ? ",{" : "{";
      for (std::size_t c = 0; c < layout.json.size(); ++c) {
        const DataColumn& column = layout.json[c];
        const Cell& cell = At(block, r, column.field, layout.fields);
        out.append(c ? "," : "").append(keys_[c]);
        out += cell.network >= 0 ? (column.tree ? NetworkText(block, cell, true)
                                                : String(NetworkText(block, cell, false)))
                                 : Number(cell.number);
      }
      out += "}";
    }
    out += "]";
    for (const Block::Section& section : block.sections) {
      if (!section.key.empty())
        out.append(",").append(String(section.key)).append(":").append(Numbers(section.values));
    }
    Put(out + after_ + "}\n");
  }

 private:
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

  std::string before_, after_;
  std::vector<std::string> keys_;  // of the rows' members, quoted, with their colons
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

std::unique_ptr<Writer> MakeWriter(Format format, const Kind& kind, std::FILE* out) {
  switch (format) {
    case Format::kCsv:
      return std::make_unique<CsvWriter>(kind, out);
    case Format::kJson:
      return std::make_unique<JsonWriter>(kind, out);
    case Format::kText:
      break;
  }
  return std::make_unique<TextWriter>(kind, out);
}

}  // namespace cli
