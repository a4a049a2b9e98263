// The music-symbol font file the painters draw clefs and the quarter rest
// with. It is added privately to the process while at least one painter
// holds a reference, and removed with the last one.
#pragma once

#include <windows.h>

#include <string>

class CMusicFont {
 public:
  static constexpr const char* kFileName = "DEDOZI.rod";
  static constexpr const char* kFaceName = "ViredAzezevOvoz";

  // Adds the font on the first reference. True when the font is available.
  static bool AddRef();
  static void Release();
  // True while the font is added.
  static bool IsAdded();
  // The file beside the module that holds this code (Score.dll, or a test
  // program linked statically), where the build installs the font.
  static std::string PathBesideModule();

  // Writes one symbol of the font selected into the DC with its reference
  // point (the clef's line, the rest's middle line) on referenceY. Every
  // symbol of our font has that point on its baseline, so the placement holds
  // at any font height; a fixed offset from the cell top only holds at the one
  // height it was measured at. Without our font a substitute draws instead,
  // whose baseline means nothing, and its cell top goes to fallbackTop.
  static void DrawSymbol(HDC dc, char symbol, int x, int referenceY, int fallbackTop);
};

// A painter's hold on the music font.
class CMusicFontRef {
 public:
  CMusicFontRef() : added_(CMusicFont::AddRef()) {}
  ~CMusicFontRef() { CMusicFont::Release(); }
  CMusicFontRef(const CMusicFontRef&) = delete;
  CMusicFontRef& operator=(const CMusicFontRef&) = delete;
  bool Added() const { return added_; }

 private:
  bool added_;
};
