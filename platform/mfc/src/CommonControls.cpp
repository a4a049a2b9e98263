#include <afxwin.h>
#include <afxcmn.h>

void AFXAPI AfxInitCommonControls() {
  static const BOOL initialised = [] {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                                 ICC_COOL_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
    return ::InitCommonControlsEx(&icc);
  }();
  (void)initialised;
}
