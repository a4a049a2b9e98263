#include "app/PlayerStrings.h"

std::string LoadPlayerString(UINT id) {
  char text[512] = {};
  const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof(text));
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}
