// Collection templates (CArray, CList, CTypedPtrArray, CTypedPtrList).
#pragma once

#include <afx.h>
