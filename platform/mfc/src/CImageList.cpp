#include <afxwin.h>
#include <afxcmn.h>

#include "HandleMap.h"

IMPLEMENT_DYNCREATE(CImageList, CObject)

CImageList::~CImageList() { DeleteImageList(); }

HIMAGELIST CImageList::GetSafeHandle() const { return this == nullptr ? nullptr : m_hImageList; }

CImageList* PASCAL CImageList::FromHandle(HIMAGELIST hImageList) {
  return CTempMap<CImageList, HIMAGELIST>::ForThisThread().FromHandle(hImageList);
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
  if (hImageList == nullptr) return FALSE;
  DeleteImageList();
  m_hImageList = hImageList;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST hImageList = m_hImageList;
  m_hImageList = nullptr;
  return hImageList;
}

BOOL CImageList::DeleteImageList() {
  if (m_hImageList == nullptr) return FALSE;
  return ImageList_Destroy(Detach());
}
