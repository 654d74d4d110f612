// The language ohmsift-cli speaks: its messages, help and captions follow the locale, as GNU
// programs do, through gettext and the catalogues of po/ (domain "ohmsift-cli"); CSV and JSON
// never change with it.
#pragma once

#include <string>
#include <string_view>

// Marks a text for the catalogues that is translated where it is used, by Tr.
#define N_(text) text

namespace cli {

// Takes the locale from the environment (LC_ALL, LC_MESSAGES, LC_CTYPE, LANG and LANGUAGE) and
// finds the catalogues in catalogues, or with none given beside the program
// (BINDIR/../share/locale) or where it was to be installed. Numbers are never written by the
// locale. Where the locale asked for is not installed, its language and UTF-8 are followed all
// the same. May be called again, as the tests do with another environment.
void SetUpLocale(const std::string& catalogues = {});

// Whether the locale's character set is UTF-8; else ohmsift-cli writes ASCII.
bool Utf8();

// The text in the locale's language; an untranslated one as Local makes it.
std::string Tr(const char* text);

// printf's composition of a translated format.
std::string Trf(const char* text, ...) __attribute__((format(printf, 1, 2)));

// UTF-8 text as the terminal can show it: valid UTF-8 (any other byte as U+FFFD) where the
// character set is UTF-8; else ASCII, the ohm sign as "ohm", micro as "u", any other character
// as '?'.
std::string Local(std::string_view text);

}  // namespace cli
