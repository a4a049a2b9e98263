#pragma once
// A property sheet that runs a test's steps inside its own modal loop: one
// step a timer tick once the sheet is up, then it cancels itself. A watchdog
// ends it with IDABORT when a step leaves it hanging, so the test fails
// instead of waiting for ever. For the framework's sheets: include the
// framework's headers first.
#include <windows.h>

#include <functional>
#include <vector>

namespace testsupport {

// Derived is the test's own sheet (the steps get it whole); Sheet the sheet
// class under test.
template <typename Derived, typename Sheet>
class StepSheet : public Sheet {
 public:
  using Sheet::Sheet;
  std::vector<std::function<void(Derived&)>> steps;

  // How often a step runs, and how long the whole run may take.
  void SetPace(UINT stepMs, UINT watchdogMs) {
    m_stepMs = stepMs;
    m_watchdogMs = watchdogMs;
  }
  // Runs the sheet modally; its result, IDABORT when the watchdog ended it.
  INT_PTR RunSteps() {
    Running() = this;
    const UINT_PTR watchdog = ::SetTimer(nullptr, 0, m_watchdogMs, &Watchdog);
    const INT_PTR result = this->DoModal();
    ::KillTimer(nullptr, watchdog);
    Running() = nullptr;
    return result;
  }

  BOOL OnInitDialog() override {
    const BOOL result = Sheet::OnInitDialog();
    ::SetTimer(this->m_hWnd, kStepTimer, m_stepMs, &Step);
    return result;
  }

 private:
  static constexpr UINT_PTR kStepTimer = 7;

  static StepSheet*& Running() {
    static StepSheet* running = nullptr;
    return running;
  }
  static void CALLBACK Step(HWND window, UINT, UINT_PTR, DWORD) {
    StepSheet* self = Running();
    if (!self || self->m_hWnd != window) return;
    if (self->steps.empty()) {
      ::KillTimer(window, kStepTimer);
      self->EndDialog(IDCANCEL);
      return;
    }
    auto step = self->steps.front();
    self->steps.erase(self->steps.begin());
    step(static_cast<Derived&>(*self));
  }
  static void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    StepSheet* self = Running();
    if (self && ::IsWindow(self->m_hWnd)) self->EndDialog(IDABORT);
  }

  UINT m_stepMs = 80;
  UINT m_watchdogMs = 20000;
};

}  // namespace testsupport
