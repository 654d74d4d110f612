// What stands in here for each of the platform's Japanese faces, best first. Plain data, shared by
// the fonts a form is given and the narrowed font configuration set up before the toolkit starts.
#pragma once

struct FaceSubstitute {
  const char* face;  // the platform's face name, in UTF-8
  bool fixedPitch;
  const char* substitutes[4];
  const char* firstFile;  // the usual file name of the first substitute
};

// The Debian package that brings the first substitutes.
inline constexpr const char kFacePackage[] = "fonts-ipafont-gothic";

// The IPA pair has the same metrics as the platform's faces: half-width characters half an em,
// full-width a whole one.
inline constexpr FaceSubstitute kFaceSubstitutes[] = {
    {"ＭＳ Ｐゴシック",
     false,
     {"IPAPGothic", "VL PGothic", "TakaoPGothic", "Noto Sans CJK JP"},
     "ipagp.ttf"},
    {"ＭＳ ゴシック",
     true,
     {"IPAGothic", "VL Gothic", "TakaoGothic", "Noto Sans Mono CJK JP"},
     "ipag.ttf"},
};
