// The ratio search's CSV and JSON read back by parsers of their own (RFC 4180 by hand, JSON by
// nlohmann-json) and held to the formulas stated afresh: each result's R1 and R2 trees make its
// output, its deviation, its total and its parts; its worst case holds the output; the CSV rows
// say the same as the JSON's results.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CliRun.h"

namespace {

// A tree's value: a number, or a series or parallel group of trees; and its resistors.
double Value(const nlohmann::json& tree, int& parts) {
  if (tree.is_number()) return ++parts, tree.get<double>();
  const bool series = tree.contains("series");
  long double sum = 0;
  for (const auto& member : tree[series ? "series" : "parallel"]) {
    const long double v = Value(member, parts);
    sum += series ? v : 1 / v;
  }
  return double(series ? sum : 1 / sum);
}

TEST(RatioFormatTest, CsvAndJsonSayWhatTheFormulasMake) {
  const std::vector<std::vector<std::string>> runs = {
      {"--divider", "11.4:12:12.6", "--total", "10k-100k", "--parts", "3", "3V3", "1"},
      {"--feedback", "0.8", "--pin-current", "0:50n:100n", "--series", "E96", "5"},
      {"--adjust", "1.25", "--pin-current", "50u", "--total", "200-2k", "--parts", "4", "9"},
      {"--ratio", "--only", "1k,2k2,4k7,10k,22k", "--parts", "4", "--tolerance", "20", "3"}};
  for (const auto& args : runs) {
    std::vector<std::string> json = args, csv = args;
    json.push_back("--format=json"), csv.push_back("--format=csv");
    std::istringstream objects(clirun::RunInMemory(json, "").out),
        rows(clirun::RunInMemory(csv, "").out);
    std::string line, row;
    std::getline(rows, row);
    EXPECT_EQ(row, "wanted,r1,r2,parts,value,deviation_percent,low,high,total,error");
    int results = 0;
    while (std::getline(objects, line)) {
      const nlohmann::json block = nlohmann::json::parse(line);
      const double wanted = block["wanted"],
                   s = block.value("source", std::vector<double>{1, 1, 1})[1];
      const double i = block.value("pin_current", std::vector<double>{0, 0, 0})[1];
      const std::string formula = block["formula"];
      for (const auto& r : block["results"]) {
        int parts = 0;
        const long double a = Value(r["r1"], parts), b = Value(r["r2"], parts);
        const long double out = formula == "divider"    ? s * b / (a + b)
                                : formula == "feedback" ? s * (a + b) / b + i * a
                                : formula == "adjust"   ? s * (a + b) / a + i * b
                                                        : a / b;
        const double value = r["value"];
        EXPECT_NEAR(value, double(out), 1e-12 * std::fabs(value)) << line;
        EXPECT_NEAR(r["deviation_percent"].get<double>(), (value - wanted) / wanted * 100, 1e-9)
            << line;
        EXPECT_NEAR(r["total"].get<double>(), double(a + b), 1e-9 * double(a + b)) << line;
        EXPECT_EQ(r["parts"].get<int>(), parts) << line;
        EXPECT_TRUE(r["low"] <= r["value"] && r["value"] <= r["high"]) << line;
        // Its CSV row: the same figures, R1 and R2 as written.
        ASSERT_TRUE(std::getline(rows, row)) << line;
        std::vector<std::string> fields;
        for (std::size_t start = 0; start <= row.size();) {
          const std::size_t comma = std::min(row.find(',', start), row.size());
          fields.push_back(row.substr(start, comma - start));
          start = comma + 1;
        }
        ASSERT_EQ(fields.size(), 10u) << row;
        EXPECT_TRUE(std::stod(fields[0]) == wanted && std::stoi(fields[3]) == parts &&
                    std::stod(fields[4]) == value && std::stod(fields[6]) == r["low"] &&
                    std::stod(fields[7]) == r["high"] && std::stod(fields[8]) == r["total"] &&
                    fields[9].empty())
            << row;
        ++results;
      }
    }
    EXPECT_GT(results, 0) << args[0];
    EXPECT_FALSE(std::getline(rows, row)) << row;
  }
}

}  // namespace
