// The page controller of the staff view (see LinePager.h).
#pragma once

#include "LinePager.h"
#include "StaffLine.h"

class CStaffPager : public CLinePager<CStaffLine> {
 public:
  using CLinePager::CLinePager;
};

extern template class CLinePager<CStaffLine>;
