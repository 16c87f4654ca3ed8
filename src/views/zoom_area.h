// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which picture views the zoom commands act on; the values are the panel's radio buttons, in order.

namespace tesselink {

enum class ZoomArea : int { All = 0, Original = 1, Target = 2 };

}  // namespace tesselink
