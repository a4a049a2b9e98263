#include "JianPuPager.h"

#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "LinePagerImpl.h"

template class CLinePager<CJianPuLine>;
