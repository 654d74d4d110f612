#include "platform/Fonts.h"

#include <QStringList>

#include "platform/FaceSubstitutes.h"

QFont MakeFont(const TFontDescription& description) {
  const QString name = QString::fromUtf8(description.Name);
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
  // Below zero the character height in pixels, above zero the cell height.
  if (description.Height < 0) {
    font.setPixelSize(-description.Height);
  } else if (description.Height > 0) {
    font.setPixelSize(description.Height);
  }
  // Hinting would round each glyph's advance on its own and break the two-column rule.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}
