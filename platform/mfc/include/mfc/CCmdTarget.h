// Message maps. Each class with DECLARE_MESSAGE_MAP owns a static table of
// entries chained to its base class's table. An entry names the message (and
// for commands and notifications the code and the control-ID range) and a
// thunk: a capture-less lambda, written by the ON_... macro in the scope of the
// class, that unpacks WPARAM/LPARAM and calls the handler by name. Calling by
// name lets the handler take whatever integral types its author chose.
#pragma once

class CCmdTarget;

// Answers TRUE when it handled the message; the _EX forms answer what their
// handler answered, so FALSE lets the search go on.
typedef BOOL (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, UINT nID, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;  // control or notification code, WM_COMMAND and WM_NOTIFY only
  UINT nID;    // control-ID range, WM_COMMAND and WM_NOTIFY only
  UINT nLastID;
  AFX_PMSGTHUNK pfn;
  const UINT* pnRegisteredMessage;  // ON_REGISTERED_MESSAGE: the number is known at run time
};

struct AFX_MSGMAP {
  const AFX_MSGMAP*(PASCAL* pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected messages: a parent hands a child's notification back to the child
// under this offset so that the child's own map can handle it.
#define WM_REFLECT_BASE 0xBC00
// One entry stands for the seven WM_CTLCOLOR... messages; the thunk gets an AFX_CTLCOLOR.
#define WM_CTLCOLOR 0x0019

struct AFX_CTLCOLOR {
  HWND hWnd;
  HDC hDC;
  UINT nCtlType;
};

#define DECLARE_MESSAGE_MAP()                          \
 protected:                                            \
  static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
  virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                          \
    typedef theClass ThisClass;                                                     \
    typedef baseClass TheBaseClass;                                                 \
    static_assert(sizeof(ThisClass) > 0, "complete class");                         \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
  { 0, 0, 0, 0, nullptr, nullptr }                                                              \
  }                                                                                             \
  ;                                                                                             \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                           \
  }

// The body runs with pThis_ (the object), nID_, wParam_, lParam_ and pResult_.
#define AFX_MSG_THUNK(...)                                                                         \
  [](CCmdTarget* pTarget_, UINT nID_, WPARAM wParam_, LPARAM lParam_, LRESULT* pResult_) -> BOOL { \
    ThisClass* pThis_ = static_cast<ThisClass*>(pTarget_);                                         \
    (void)pThis_;                                                                                  \
    (void)nID_;                                                                                    \
    (void)wParam_;                                                                                 \
    (void)lParam_;                                                                                 \
    (void)pResult_;                                                                                \
    __VA_ARGS__                                                                                    \
  }

#define AFX_MSG_ENTRY(msg, code, id, lastId, ...) \
  {(UINT)(msg), (UINT)(code), (UINT)(id), (UINT)(lastId), AFX_MSG_THUNK(__VA_ARGS__), nullptr},

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;

  // Walks the maps from this class to its bases for an entry that takes
  // the message; TRUE when one handled it.
  BOOL DispatchMsgMap(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // A command (nCode 0 for menus, buttons and accelerators) or a control notification.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

 protected:
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// Shows the wait cursor for its lifetime.
class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  void Restore();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
};
