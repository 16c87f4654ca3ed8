// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which Y'CbCr matrix a video's frames are in, and the colour description an output gets. A
// frame without a tag is read the way players read it: BT.709 from 1280 x 720 on, BT.601 below.

namespace tesselink {

// The AVColorSpace a frame of this size and tag is read in: the tag itself when it names a
// matrix, else BT.709 (1) for HD sizes and BT.601 (6, SMPTE 170M) for smaller ones.
int EffectiveMatrix(int taggedSpace, int width, int height);

// The description of frames in `matrix` (an AVColorSpace), limited range: the matching
// primaries and transfer (AVColorPrimaries, AVColorTransferCharacteristic numbers).
struct ColourTags {
    int Space = 2;
    int Primaries = 2;
    int Transfer = 2;
};
ColourTags TagsForMatrix(int matrix);

}  // namespace tesselink
