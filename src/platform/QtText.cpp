#include "platform/QtText.h"

#include <QByteArray>
#include <QStringList>

#include "platform/Codepage.h"

QString ToQString(const AnsiString& text) {
  const std::string utf8 = Cp932ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

AnsiString FromQString(const QString& text) {
  // Lone surrogates come out of toUtf8 as U+FFFD, which code page 932 does not hold: '?'.
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

// The IPA pair has the same metrics as the platform's faces: half-width characters half an em,
// full-width a whole one.
const FaceSubstitute kFaceSubstitutes[] = {
    {"ＭＳ Ｐゴシック",
     false,
     {"IPAPGothic", "VL PGothic", "TakaoPGothic", "Noto Sans CJK JP"},
     "ipagp.ttf"},
    {"ＭＳ ゴシック",
     true,
     {"IPAGothic", "VL Gothic", "TakaoGothic", "Noto Sans Mono CJK JP"},
     "ipag.ttf"},
};

QFont MakeFont(const TFontDescription& description) {
  const QString name = ToQString(AnsiString(description.Name));
  QFont font;
  bool fixedPitch = false;
  QStringList families;
  for (const FaceSubstitute& face : kFaceSubstitutes) {
    if (name != QString::fromUtf8(face.face)) continue;
    fixedPitch = face.fixedPitch;
    for (const char* substitute : face.substitutes) families << QString::fromLatin1(substitute);
  }
  // Asking for the substitutes by name, rather than the platform face, keeps fontconfig from
  // settling on a Latin-only face for a name it does not know.
  if (families.isEmpty()) families << name;
  font.setFamilies(families);
  if (fixedPitch) {
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
  }
  if (description.Height < 0) {
    font.setPixelSize(-description.Height);
  } else if (description.Height > 0) {
    font.setPixelSize(description.Height);
  }
  // Hinting would round each glyph's advance on its own and break the two-column rule.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}
