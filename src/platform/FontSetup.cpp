#include "platform/FontSetup.h"

#include <fontconfig/fontconfig.h>

#include <climits>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string>

#include "platform/QtText.h"

namespace {

// The directory of the first installed file of a family, symbolic links resolved, or "".
std::string DirectoryOf(const char* family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  std::string directory;
  for (int i = 0; fonts != nullptr && i < fonts->nfont && directory.empty(); ++i) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
    char resolved[PATH_MAX];
    if (realpath(reinterpret_cast<const char*>(file), resolved) == nullptr) continue;
    directory = resolved;
    directory.erase(directory.rfind('/'));
  }
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return directory;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

void NarrowFontsToFormFaces() {
  // A font configuration chosen by the user is theirs to keep.
  if (std::getenv("FONTCONFIG_FILE") != nullptr || std::getenv("FONTCONFIG_PATH") != nullptr) {
    return;
  }
  if (!FcInit()) return;
  std::set<std::string> directories;
  std::size_t facesFound = 0;
  for (const FaceSubstitute& face : kFaceSubstitutes) {
    for (const char* family : face.substitutes) {
      const std::string directory = DirectoryOf(family);
      if (directory.empty()) continue;
      directories.insert(directory);
      ++facesFound;
      break;
    }
  }
  // Where a face has no substitute, the full set may still offer a look-alike.
  if (facesFound < std::size(kFaceSubstitutes)) return;

  // The same caches as the system's, so nothing is scanned anew.
  std::string xml = "<?xml version=\"1.0\"?><fontconfig>";
  for (const std::string& directory : directories) xml += "<dir>" + Escaped(directory) + "</dir>";
  FcConfig* system = FcConfigGetCurrent();
  FcStrList* caches = FcConfigGetCacheDirs(system);
  while (FcChar8* cache = caches != nullptr ? FcStrListNext(caches) : nullptr) {
    xml += "<cachedir>" + Escaped(reinterpret_cast<const char*>(cache)) + "</cachedir>";
  }
  if (caches != nullptr) FcStrListDone(caches);
  xml += "</fontconfig>";

  FcConfig* narrow = FcConfigCreate();
  if (!FcConfigParseAndLoadFromMemory(narrow, reinterpret_cast<const FcChar8*>(xml.c_str()),
                                      FcFalse) ||
      !FcConfigBuildFonts(narrow) || !FcConfigSetCurrent(narrow)) {
    FcConfigDestroy(narrow);
  }
}
