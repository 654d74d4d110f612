#include "platform/FontSetup.h"

#include <fontconfig/fontconfig.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform/FaceSubstitutes.h"

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

// The directories where the first substitute of every face lies, found by their usual file names
// in the usual font directories, without reading the system's font configuration; empty unless
// every face's file is found.
std::set<std::string> DirectoriesByFileName() {
  namespace fs = std::filesystem;
  std::vector<fs::path> roots = {"/usr/share/fonts", "/usr/local/share/fonts"};
  if (const char* home = std::getenv("HOME")) {
    roots.emplace_back(fs::path(home) / ".local/share/fonts");
    roots.emplace_back(fs::path(home) / ".fonts");
  }
  std::set<std::string> directories;
  std::size_t found = 0;
  for (const FaceSubstitute& face : kFaceSubstitutes) {
    bool seen = false;
    for (const fs::path& root : roots) {
      std::error_code error;
      fs::recursive_directory_iterator it(root, error), end;
      for (; !error && it != end && !seen; it.increment(error)) {
        if (it->path().filename() != face.firstFile) continue;
        const fs::path real = fs::canonical(it->path(), error);
        if (error) break;
        directories.insert(real.parent_path().string());
        seen = true;
      }
      if (seen) break;
    }
    found += seen ? 1 : 0;
  }
  if (found < std::size(kFaceSubstitutes)) directories.clear();
  return directories;
}

// The same lookup through the system's font configuration, which reads all of it.
std::set<std::string> DirectoriesByFamily() {
  std::set<std::string> directories;
  if (!FcInit()) return directories;
  std::size_t found = 0;
  for (const FaceSubstitute& face : kFaceSubstitutes) {
    for (const char* family : face.substitutes) {
      const std::string directory = DirectoryOf(family);
      if (directory.empty()) continue;
      directories.insert(directory);
      ++found;
      break;
    }
  }
  // Where a face has no substitute, the full set may still offer a look-alike.
  if (found < std::size(kFaceSubstitutes)) directories.clear();
  return directories;
}

// Whether any face stands in for any of the platform's, through the system's font configuration.
bool AnySubstituteInstalled() {
  if (!FcInit()) return true;  // no way to tell: no cause for alarm
  for (const FaceSubstitute& face : kFaceSubstitutes) {
    for (const char* family : face.substitutes) {
      if (!DirectoryOf(family).empty()) return true;
    }
  }
  return false;
}

}  // namespace

bool NarrowFontsToFormFaces() {
  // A font configuration chosen by the user is theirs to keep.
  if (std::getenv("FONTCONFIG_FILE") != nullptr || std::getenv("FONTCONFIG_PATH") != nullptr) {
    return AnySubstituteInstalled();
  }
  std::set<std::string> directories = DirectoriesByFileName();
  if (directories.empty()) directories = DirectoriesByFamily();
  if (directories.empty()) return AnySubstituteInstalled();

  // The system's usual caches, so nothing need be scanned anew.
  std::string xml = "<?xml version=\"1.0\"?><fontconfig>";
  for (const std::string& directory : directories) xml += "<dir>" + Escaped(directory) + "</dir>";
  xml += "<cachedir>/var/cache/fontconfig</cachedir>";
  xml += "<cachedir prefix=\"xdg\">fontconfig</cachedir>";
  xml += "</fontconfig>";

  FcConfig* narrow = FcConfigCreate();
  if (!FcConfigParseAndLoadFromMemory(narrow, reinterpret_cast<const FcChar8*>(xml.c_str()),
                                      FcFalse) ||
      !FcConfigBuildFonts(narrow) || !FcConfigSetCurrent(narrow)) {
    FcConfigDestroy(narrow);
  }
  return true;
}
