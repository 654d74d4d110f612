// The toolkit font for a form's font description.
#pragma once

#include <QFont>

#include "platform/Controls.h"

// The platform's Japanese faces are mapped to installed ones; the fixed-pitch face keeps a
// fixed-pitch substitute so that columns of text stay aligned.
QFont MakeFont(const TFontDescription& description);
