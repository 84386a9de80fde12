// The ampflash window: the amplifier's identity, the progress track and one working button.
#pragma once

#include "window/FormLayout.h"

namespace ampflash {

ui::FormLayout AmpflashLayout();

}  // namespace ampflash
