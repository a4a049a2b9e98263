#include "StaffPager.h"

#include "LinePagerImpl.h"
#include "StaffPage.h"
#include "StaffPainter.h"

template class CLinePager<CStaffLine>;
