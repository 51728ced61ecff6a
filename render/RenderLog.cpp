#include "render/RenderLog.h"

Q_LOGGING_CATEGORY(renderLog, "pleatora.render")
