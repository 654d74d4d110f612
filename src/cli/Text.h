// Texts and numbers as ohmsift-cli writes them.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// text with every byte that is no part of a UTF-8 character, and every NUL, as U+FFFD.
std::string ValidUtf8(std::string_view text);

// A text as it may safely be quoted in a message, in quotes: valid UTF-8 (or ASCII, as Local
// makes it), control characters as '?', at most 60 bytes shown (cut where a character ends)
// unless whole is set, as for a file's name.
std::string Quoted(std::string_view text, bool whole = false);

// The fewest digits that read back as x, never with an exponent (500000, 0.00022).
std::string Number(double x);
// A resistance as a schematic writes it (IEC 60062): the letter R, k, M or G for the decimal point
// of ohms, kilohms, megohms or gigohms, as in 0R47, 4R7, 100R, 4k7, 1k, 2M2, 10M.
std::string Schematic(double ohms);
// A figure of a message: six significant digits, without trailing zeros or an exponent
// (0.0333333, 455000, 40000000).
std::string Figure(double x);

// A quantity with the SI prefix that leaves its figure from 1 to 1000, then a blank: "50 µ" of
// 0.00005, "" after a figure from 1 to 1000 ("12 "); for a unit to follow.
std::string Prefixed(double x);
// The same with the prefix of a power of ten chosen for another quantity (PrefixPower), so that
// the figures of a range share one prefix.
int PrefixPower(double x);
std::string Prefixed(double x, int power);

}  // namespace cli
