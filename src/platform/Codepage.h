// Where 8-bit text in code page 932 meets Unicode (UTF-8). Nothing here throws: a byte sequence or
// a character that has no counterpart on the other side becomes '?', so a conversion can never
// turn an unmappable character into a digit or fail half-way.
#pragma once

#include <string>
#include <string_view>

#include "platform/AnsiString.h"

std::string Cp932ToUtf8(const AnsiString& text);
AnsiString Utf8ToCp932(std::string_view utf8);
