// Where 8-bit text in code page 932 meets Unicode (UTF-8). Nothing here throws: a byte sequence or
// a character that has no counterpart on the other side becomes '?', so a conversion can never
// turn an unmappable character into a digit or fail half-way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/AnsiString.h"

// The length of the character text starts with (text not empty): 2 for a lead byte followed by a
// byte that can end a double-byte character, else 1. A byte that cannot follow a lead byte starts
// a character of its own.
std::size_t Cp932CharacterLength(std::string_view text) noexcept;

std::string Cp932ToUtf8(const AnsiString& text);
AnsiString Utf8ToCp932(std::string_view utf8);
