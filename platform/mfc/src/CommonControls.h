#pragma once

// Registers the common control classes once per process.
void AfxInitCommonControls();
