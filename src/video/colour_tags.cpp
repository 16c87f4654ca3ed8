// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/colour_tags.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace tesselink {

int EffectiveMatrix(int taggedSpace, int width, int height) {
    switch (taggedSpace) {
    case AVCOL_SPC_BT709:
    case AVCOL_SPC_FCC:
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
    case AVCOL_SPC_SMPTE240M:
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return taggedSpace;
    default: return width >= 1280 || height >= 720 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    }
}

ColourTags TagsForMatrix(int matrix) {
    switch (matrix) {
    case AVCOL_SPC_BT709: return {AVCOL_SPC_BT709, AVCOL_PRI_BT709, AVCOL_TRC_BT709};
    case AVCOL_SPC_BT470BG: return {AVCOL_SPC_BT470BG, AVCOL_PRI_BT470BG, AVCOL_TRC_GAMMA28};
    case AVCOL_SPC_SMPTE240M: return {AVCOL_SPC_SMPTE240M, AVCOL_PRI_SMPTE240M, AVCOL_TRC_SMPTE240M};
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return {matrix, AVCOL_PRI_BT2020, AVCOL_TRC_BT2020_10};
    case AVCOL_SPC_FCC: return {AVCOL_SPC_FCC, AVCOL_PRI_BT470M, AVCOL_TRC_GAMMA22};
    default: return {AVCOL_SPC_SMPTE170M, AVCOL_PRI_SMPTE170M, AVCOL_TRC_SMPTE170M};
    }
}

}  // namespace tesselink
