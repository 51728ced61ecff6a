#include "window/WindowLog.h"

Q_LOGGING_CATEGORY(windowLog, "pleatora.window")
