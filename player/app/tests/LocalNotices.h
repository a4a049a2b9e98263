#pragma once
// The main window starts the update-notice worker, which asks the vendor's home
// address. Tests point that address at a closed loopback port, so nothing they
// run leaves the machine and the worker gives up at once.
#include "ui/CProfileHelper.h"

inline void KeepNoticesLocal() {
  CProfileHelper::WriteProfileString("GENERAL_SETTING", "HOME_URL", "http://127.0.0.1:9");
}
