#include "cli/Locale.h"

#include <langinfo.h>
#include <libintl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli/Text.h"

namespace cli {
namespace {

constexpr char kDomain[] = "ohmsift-cli";
bool utf8 = true;
bool english = false;  // translations set aside

// The first of the variables set and not empty, or "".
std::string Asked(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return value;
  }
  return {};
}

// Whether a locale's name says UTF-8 (ja_JP.UTF-8, en_US.utf8).
bool NamesUtf8(const std::string& name) {
  const std::size_t dot = name.find('.');
  if (dot == name.npos) return false;
  std::string codeset = name.substr(dot + 1, name.find('@', dot) - dot - 1);
  for (char& c : codeset) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return codeset == "utf-8" || codeset == "utf8";
}

// The folder of the catalogues: beside the program where it was installed (or built), else where
// it was configured to go.
std::string Catalogues() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = program.parent_path() / OHMSIFT_LOCALEDIR_FROM_BINDIR;
    if (std::filesystem::exists(beside / "ja" / "LC_MESSAGES" / (std::string(kDomain) + ".mo"),
                                error))
      return beside.lexically_normal().string();
  }
  return OHMSIFT_LOCALEDIR;
}

}  // namespace

void SetUpLocale(const std::string& catalogues) {
  // A locale that is not installed leaves its category as "C", where gettext speaks English in
  // ASCII. The language and character set asked for are followed all the same, through the
  // locale every system has: C.UTF-8 for the category, LANGUAGE for gettext.
  const std::string ctype = Asked({"LC_ALL", "LC_CTYPE", "LANG"});
  const std::string messages = Asked({"LC_ALL", "LC_MESSAGES", "LANG"});
  const bool ctypeSet = std::setlocale(LC_CTYPE, "") != nullptr;
  if (!ctypeSet && NamesUtf8(ctype)) std::setlocale(LC_CTYPE, "C.UTF-8");
  if (std::setlocale(LC_MESSAGES, "") == nullptr && NamesUtf8(messages)) {
    const std::string language = messages.substr(0, messages.find_first_of(".@"));
    if (Asked({"LANGUAGE"}).empty() && language != "C" && language != "POSIX")
      setenv("LANGUAGE", language.c_str(), 1);
    std::setlocale(LC_MESSAGES, "C.UTF-8");  // after LANGUAGE, which gettext then reads afresh
  }
  std::setlocale(LC_NUMERIC, "C");
  utf8 = std::string_view(nl_langinfo(CODESET)) == "UTF-8";
  // A catalogue's Japanese in ASCII would be question marks: English is better read there.
  english = std::string_view(nl_langinfo(CODESET)) == "ANSI_X3.4-1968";
  bindtextdomain(kDomain, (catalogues.empty() ? Catalogues() : catalogues).c_str());
}

bool Utf8() {
  return utf8;
}

std::string Tr(const char* text) {
  const char* translated = english ? text : dgettext(kDomain, text);
  return translated == text ? Local(text) : std::string(translated);
}

std::string Trf(const char* text, ...) {
  const char* translated = english ? text : dgettext(kDomain, text);
  const std::string format = translated == text ? Local(text) : std::string(translated);
  std::va_list args, again;
  va_start(args, text);
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format.c_str(), args);
  va_end(args);
  std::string composed(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
  std::vsnprintf(composed.data(), composed.size() + 1, format.c_str(), again);
  va_end(again);
  return composed;
}

std::string Local(std::string_view text) {
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
    return std::string(text);  // printable ASCII, as most is
  const std::string valid = ValidUtf8(text);
  if (utf8) return valid;
  std::string ascii;
  for (std::size_t i = 0; i < valid.size();) {
    const auto byte = static_cast<unsigned char>(valid[i]);
    const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    const std::string_view c = std::string_view(valid).substr(i, length);
    ascii += length == 1                      ? std::string(c)
             : c == "\u03A9" || c == "\u2126" ? std::string("ohm")
             : c == "\u00B5" || c == "\u03BC" ? std::string("u")
                                              : std::string("?");
    i += length;
  }
  return ascii;
}

}  // namespace cli
