// Text-to-number conversion of the class library.
#pragma once

#include "platform/AnsiString.h"
#include "platform/Exception.h"

// Reads a decimal number: leading blanks, an optional sign, digits with an optional decimal point,
// an optional exponent, and nothing after it. Returns the correctly rounded double. Anything else
// (an empty text, "nan", "inf", hexadecimal, trailing characters, a value beyond the range of a
// double) raises EConvertError, whose message quotes the text. The locale plays no part.
double StrToFloat(const AnsiString& text);
