// Toolkit side of the text boundary: AnsiString (code page 932) to and from Qt's Unicode strings,
// and the fonts a description names. Only the class library's own sources include this.
#pragma once

#include <QFont>
#include <QString>

#include "platform/AnsiString.h"
#include "platform/Controls.h"

QString ToQString(const AnsiString& text);
AnsiString FromQString(const QString& text);

// What stands in for each of the platform's faces here, best first (face names in UTF-8).
struct FaceSubstitute {
  const char* face;
  bool fixedPitch;
  const char* substitutes[4];
  const char* firstFile;  // the usual file name of the first substitute
};
extern const FaceSubstitute kFaceSubstitutes[2];

// The font for a description. The platform's Japanese faces are mapped to installed ones; the
// fixed-pitch face keeps a fixed-pitch substitute so that columns of text stay aligned.
QFont MakeFont(const TFontDescription& description);
