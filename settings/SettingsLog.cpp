#include "settings/SettingsLog.h"

Q_LOGGING_CATEGORY(settingsLog, "pleatora.settings")
