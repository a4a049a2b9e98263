// Resource ids shared by the framework's test programs and their resource script.
#pragma once

#define IDS_GREETING 101
#define IDS_COUNT_FORMAT 102
