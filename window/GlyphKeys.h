#pragma once
// The special-glyph keyboard: which Ctrl, Alt and Shift combinations type
// which letter with a diacritic of the Roman display font.

#include <array>

namespace vyk {

// Shift bits as the pane's key handler receives them.
inline constexpr int ShiftBit = 1;
inline constexpr int CtrlBit = 2;
inline constexpr int AltBit = 4;

// The Windows key code of the key that a US layout labels with the grave accent.
inline constexpr int GraveAccentKey = 192;

// A modifier combination: the group is down when the bits of `mask` in the
// Shift argument equal `down`. Each group looks only at the bits it names,
// so Ctrl alone also matches Ctrl+Alt: the group order settles that.
struct GlyphModifiers {
    int mask;
    int down;

    constexpr bool matches(int shift) const { return (shift & mask) == down; }
    constexpr bool operator==(const GlyphModifiers&) const = default;
};

inline constexpr GlyphModifiers ShiftAlt{ShiftBit | AltBit, ShiftBit | AltBit};     // Ctrl may be down too
inline constexpr GlyphModifiers ShiftCtrl{ShiftBit | CtrlBit, ShiftBit | CtrlBit};  // Alt is up: ShiftAlt came first
inline constexpr GlyphModifiers CtrlAlt{CtrlBit | AltBit, CtrlBit | AltBit};
inline constexpr GlyphModifiers CtrlOnly{CtrlBit, CtrlBit};
inline constexpr GlyphModifiers AltOnly{AltBit, AltBit};
inline constexpr GlyphModifiers NoModifier{ShiftBit | CtrlBit | AltBit, 0};
inline constexpr GlyphModifiers ShiftOnly{ShiftBit, ShiftBit};

struct GlyphKey {
    GlyphModifiers modifiers;
    int key;   // Windows key code; 0 marks a group that types nothing
    int byte;  // the byte of "Times Kovra Roman" typed
};

// The groups in the order they are tested; the first group whose modifiers
// are down decides, and within it only the listed keys type a byte. With
// Shift a key gives the byte 0x20 below the one it gives without.
inline constexpr std::array<GlyphKey, 38> GlyphKeyTable{{
    {ShiftAlt, 'H', 0xC8},
    {ShiftAlt, 'L', 0xD3},
    {ShiftAlt, 'M', 0xC7},
    {ShiftAlt, 'N', 0xCD},
    {ShiftAlt, 'R', 0xC4},
    {ShiftAlt, 'S', 0xD0},

    {ShiftCtrl, 'A', 0xC0},
    {ShiftCtrl, 'D', 0xCC},
    {ShiftCtrl, 'E', 0xC5},
    {ShiftCtrl, 'I', 0xC1},
    {ShiftCtrl, 'L', 0xD1},
    {ShiftCtrl, 'N', 0xC9},
    {ShiftCtrl, 'O', 0xC6},
    {ShiftCtrl, 'R', 0xC3},
    {ShiftCtrl, 'S', 0xCF},
    {ShiftCtrl, 'T', 0xCB},
    {ShiftCtrl, 'U', 0xC2},

    {CtrlAlt, 0, 0},

    {CtrlOnly, 'A', 0xE0},
    {CtrlOnly, 'D', 0xEC},
    {CtrlOnly, 'E', 0xE5},
    {CtrlOnly, 'I', 0xE1},
    {CtrlOnly, 'L', 0xF1},
    {CtrlOnly, 'N', 0xE9},
    {CtrlOnly, 'O', 0xE6},
    {CtrlOnly, 'R', 0xE3},
    {CtrlOnly, 'S', 0xEF},
    {CtrlOnly, 'T', 0xEB},
    {CtrlOnly, 'U', 0xE2},

    {AltOnly, 'H', 0xE8},
    {AltOnly, 'L', 0xF3},
    {AltOnly, 'M', 0xE7},
    {AltOnly, 'N', 0xED},
    {AltOnly, 'R', 0xE4},
    {AltOnly, 'S', 0xF0},

    {NoModifier, GraveAccentKey, 0xEA},

    {ShiftOnly, GraveAccentKey, 0xCA},
}};

// The byte that key code `keyCode` types with the Shift bits `shift`, or 0
// when the combination types nothing and the key goes on to the pane.
constexpr int GlyphByteFor(int keyCode, int shift) {
    const GlyphKey* group = nullptr;
    for (const GlyphKey& row : GlyphKeyTable) {
        if (group == nullptr) {
            if (!row.modifiers.matches(shift)) continue;
            group = &row;
        } else if (!(row.modifiers == group->modifiers)) {
            break;
        }
        if (row.key != 0 && row.key == keyCode) return row.byte;
    }
    return 0;
}

}  // namespace vyk
