#include "PartStack.h"

#include <cstdlib>

namespace {

int Total(const std::vector<PartHeight>& parts) {
  int total = 0;
  for (const PartHeight& p : parts) total += p.height;
  return total;
}

void Stack(const RECT& rect, int top, const std::vector<PartHeight>& parts, std::vector<PartPlacement>* out) {
  for (const PartHeight& p : parts) {
    out->push_back({{rect.left, top, rect.right, top + p.height}, p.tag});
    top += p.height;
  }
}

}  // namespace

bool CCenteredPartStack::Arrange(const RECT& rect, const std::vector<PartHeight>& parts,
                                 std::vector<PartPlacement>* out) const {
  const int total = Total(parts);
  const int height = std::abs(rect.bottom - rect.top);
  Stack(rect, rect.top + (total < height ? (height - total) / 2 : 0), parts, out);
  return true;
}

bool CRepeatedPartStack::Arrange(const RECT& rect, const std::vector<PartHeight>& parts,
                                 std::vector<PartPlacement>* out) const {
  const int total = Total(parts);
  // No parts, or parts of no height (the numbered tables' largest size): nothing to repeat.
  if (total <= 0) return false;
  const int n = std::abs(rect.bottom - rect.top) / total;
  if (n == 0) return false;
  for (int k = 0; k < n; ++k) Stack(rect, rect.top + k * total, parts, out);
  return true;
}
