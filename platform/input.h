// Input as the windows receive it: key flags of mouse messages and the keys the programs use.
#pragma once

namespace plat {

// Key flags of a mouse message (which buttons and modifier keys are down).
enum KeyFlags : unsigned {
  kFlagLButton = 0x0001,
  kFlagRButton = 0x0002,
  kFlagShift = 0x0004,
  kFlagControl = 0x0008,
  kFlagMButton = 0x0010,
};

enum class Key {
  kOther, kF1, kF2, kF3, kF4, kF5, kF6, kF7, kF8, kF9, kF10, kF11, kF12,
  kEscape, kReturn, kBackspace, kDelete, kTab, kLeft, kRight, kHome, kEnd, kSpace,
};

enum KeyModifiers : unsigned { kModShift = 1, kModControl = 2, kModAlt = 4 };

// One entry of an accelerator table: a key with exactly these modifiers sends `command`.
struct Accelerator {
  Key key;
  unsigned modifiers;
  int command;
};

}  // namespace plat
