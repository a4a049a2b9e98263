#pragma once
// The file names of a CF_HDROP block. The block comes from another program
// through the data object, so it is read within its own size: a lying offset
// or a list without its closing NUL gives what can be read, never a read past
// the block.
#include <windows.h>

#include <string>
#include <vector>

namespace shellmark {

// The names in list order; ANSI lists are converted with the system code page.
// An unterminated last name is left out. Nothing for a block too small for its
// header or one that cannot be locked.
std::vector<std::wstring> ReadDropFiles(HGLOBAL block);

}  // namespace shellmark
