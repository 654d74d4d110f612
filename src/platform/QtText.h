// Toolkit side of the text boundary: AnsiString (code page 932) to and from Qt's Unicode strings.
// Only the class library's own sources include this.
#pragma once

#include <QString>

#include "platform/AnsiString.h"

QString ToQString(const AnsiString& text);
AnsiString FromQString(const QString& text);
