// The toolkit-free class library: the code-page boundary, strings as values and sorted line lists;
// StrToFloat, its values and its messages, held to the C library over its fuzz target's corpus.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzCheck.h"
#include "platform/Classes.h"
#include "platform/Codepage.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(PlatformTest, CodePage932MeetsUtf8) {
  const iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == iconv_t(-1)) GTEST_SKIP() << "no code page 932 here (a cross build's C library)";
  iconv_close(cd);
  enum Way { kBoth, kToCp932, kToUtf8 };
  // clang-format off
  const std::tuple<std::string, std::string, Way> rows[] = {
      {"4700", "4700", kBoth},
      {"欲しい抵抗値", "\x97~\x82\xb5\x82\xa2\x92\xef\x8dR\x92l", kBoth},
      {"誤差(%)　４７", "\x8c\xeb\x8d\xb7(%)\x81@\x82S\x82V", kBoth},
      {"ｱ◯", "\xb1\x81\xfc", kBoth},  // half-width katakana: one byte; the last trail byte
      {std::string("1\0" "2", 3), std::string("1\0" "2", 3), kBoth},
      // Unmappable characters become '?', never a digit, whatever they look like; so do lone
      // surrogates, as Qt hands them over.
      {"4😀7²३", "4?7??", kToCp932},
      {"1\xed\xb0\x80" "2", "1?2", kToCp932},
      // Bytes that make no character become '?' and leave the bytes after them alone.
      {"47?", "47\x82", kToUtf8},
      {"?10", "\x82" "10", kToUtf8},
      {"?5", "\xff" "5", kToUtf8},
      {"?x?y", "\x85\x40x\x85\xfcy", kToUtf8},
  };
  // clang-format on
  for (const auto& [utf8, cp932, way] : rows) {
    EXPECT_TRUE(way == kToUtf8 || Utf8ToCp932(utf8).ToStdString() == cp932) << utf8;
    EXPECT_TRUE(way == kToCp932 || Cp932ToUtf8(AnsiString(cp932)) == utf8) << utf8;
  }
  // Whatever bytes come in, the way there and back never makes a digit out of one that was not.
  const auto digits = [](std::string_view t) { return std::count_if(t.begin(), t.end(), isdigit); };
  for (int lead = 0; lead < 256; ++lead) {
    for (const int trail : {0x00, 0x30, 0x39, 0x40, 0x7f, 0x80, 0x9f, 0xa0, 0xfc, 0xff}) {
      const char raw[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      EXPECT_LE(digits(Utf8ToCp932(Cp932ToUtf8(AnsiString(raw, 2))).View()), digits({raw, 2}));
    }
  }
}

TEST(PlatformTest, StringsAndLinesAreValues) {
  // Short texts live inside the string and long ones are shared: both must behave as values.
  for (const std::size_t size : {0, 47, 48, 5000}) {
    AnsiString a(std::string(size, 'q')), b = a;
    b += "!";
    AnsiString c = std::move(b);
    a = static_cast<AnsiString&>(a);
    EXPECT_TRUE(a.ToStdString() == std::string(size, 'q') &&
                c.ToStdString() == a.ToStdString() + "!");
    EXPECT_EQ(c.c_str()[size + 1], '\0');
  }
  // A sorted list puts blanks before digits, so right-aligned numbers come in numeric order, and
  // a line before a longer one it begins.
  TStringList list(true);
  for (const char* line : {"  75000", " 0.263183  62000", "   5100", " 910000", " 0.406407  5600",
                           "    110", "   5100", "   51", " 0.263183  5100", " 0.263183  51000"})
    list.Add(line);
  list.Delete(2);
  std::string lines;
  for (int i = 0; i < list.Count(); ++i) lines += list.Get(i).ToStdString() + "|";
  EXPECT_EQ(lines,
            "    110|   51|   5100|  75000| 0.263183  5100| 0.263183  51000| 0.263183  62000|"
            " 0.406407  5600| 910000|");
  EXPECT_THROW(list.Get(9), EListError);
}

// A failed check names the input and ends the test.
TEST(PlatformTest, EveryNumberCorpusInput) {
  int replayed = 0;
  for (const auto& file : std::filesystem::directory_iterator(OHMSIFT_NUMBER_CORPUS)) {
    std::ifstream in(file.path(), std::ios::binary);
    // Exactly the input's size, so that a read past its end is caught.
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});
    fuzz::currentInput = file.path().c_str();
    LLVMFuzzerTestOneInput(data.data(), data.size());
    ++replayed;
  }
  EXPECT_GT(replayed, 100);
}

}  // namespace
