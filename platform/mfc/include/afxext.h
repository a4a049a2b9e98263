// Extensions: nothing beyond the window classes our programs use.
#pragma once

#include <afxwin.h>
