// How the parts of a view are stacked vertically in its rectangle.
#pragma once

#include <windows.h>

#include <vector>

struct PartHeight {
  int height;
  int tag;  // the part's track
};

struct PartPlacement {
  RECT rect;
  int tag;
};

class CPartStack {
 public:
  virtual ~CPartStack() = default;
  // Fills out with the parts' rectangles; false when nothing was placed.
  virtual bool Arrange(const RECT& rect, const std::vector<PartHeight>& parts,
                       std::vector<PartPlacement>* out) const = 0;
};

// The parts once, centred vertically (from the top when they are taller
// than the rectangle). Always one rectangle per part.
class CCenteredPartStack : public CPartStack {
 public:
  bool Arrange(const RECT& rect, const std::vector<PartHeight>& parts,
               std::vector<PartPlacement>* out) const override;
};

// The parts repeated as often as they fit, from the top.
class CRepeatedPartStack : public CPartStack {
 public:
  bool Arrange(const RECT& rect, const std::vector<PartHeight>& parts,
               std::vector<PartPlacement>* out) const override;
};
