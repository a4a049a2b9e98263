// The page controller of the numbered view (see LinePager.h).
#pragma once

#include "JianPuLine.h"
#include "LinePager.h"

class CJianPuPager : public CLinePager<CJianPuLine> {
 public:
  using CLinePager::CLinePager;
};

extern template class CLinePager<CJianPuLine>;
