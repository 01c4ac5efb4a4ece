// The option parser: turns a located tooltip into an Item Record (kind, weapon base values and
// the sum of every option line it recognises), and the number reader under it.
#pragma once
#include "base/item.h"
#include "base/pixels.h"
#include "reader/matcher.h"

// Parses the tooltip picture. set: 1 for the equip actions, 0 for the compare actions; it only
// selects which socket choices apply. Reads the tolerances and socket choices of gSettings and the
// main-attribute selector of gProfile at each call. A null tooltip yields kind -1 without a
// message; a kind that cannot be identified raises "아이템 종류 식별 불가." and yields kind -1, and
// a weapon without its attacks-per-second caption raises "무기 고유 옵션 발견 못함." (its options
// are still read). Keeps no state between calls, so parses may run on several threads at once.
ItemRecord ParseItem(const PixelBuffer* tooltip, int set);

// Reads one decimal number drawn in the game's digits, starting at the right edge of `label` (at
// x, y when there is none). white: the white digit set, else the blue one. mode: matcher mode for
// digits and point (0 or 2; mode 2 also looks one row higher for the first digit). tolerance: 0
// means the option-value tolerance. When `end` is given it receives where reading stopped.
float ReadNumber(const PixelBuffer& image, int x, int y, const PixelBuffer* label, bool white, int mode,
                 int tolerance, HitPos* end);
