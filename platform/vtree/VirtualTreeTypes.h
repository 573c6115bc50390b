#pragma once
// Value types of the virtual tree: node states, check marks, image kinds, drop effects and options.
// The enumerations keep the toolkit's order, since other code stores and compares their values.
#include <cstdint>

// Node states, a bit set in TVirtualNode::States.
enum TVirtualNodeState : std::uint32_t {
  vsInitialized = 1u << 0,  // the init-node hook has run for the node
  vsExpanded = 1u << 1,     // its children show
  vsHasChildren = 1u << 2,  // shows an expand button; may have children not yet created
  vsSelected = 1u << 3,
  vsDeleting = 1u << 4,  // being removed: no walk returns it any more
};
using TVirtualNodeStates = std::uint32_t;

// What the init-node hook may ask for; applied once the hook returns.
enum TVirtualNodeInitState : std::uint32_t {
  ivsExpanded = 1u << 0,
  ivsHasChildren = 1u << 1,
  ivsSelected = 1u << 2,
};
using TVirtualNodeInitStates = std::uint32_t;

enum TCheckState : std::uint8_t {
  csUncheckedNormal,
  csUncheckedPressed,
  csCheckedNormal,
  csCheckedPressed,
  csMixedNormal,
  csMixedPressed,
};

enum TCheckType : std::uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };

enum TVTImageKind { ikNormal, ikSelected, ikState, ikOverlay };

enum TVSTTextType { ttNormal, ttStatic };

using TColumnIndex = int;
constexpr TColumnIndex NoColumn = -1;

// Drop effects, as a bit set (the drag-drop hook writes one of them).
enum TDropEffect : std::uint32_t { deNone = 0, deCopy = 1, deMove = 2, deLink = 4 };

// TreeOptions.PaintOptions
enum TVTPaintOption : std::uint32_t {
  toShowButtons = 1u << 0,
  toShowRoot = 1u << 1,
  toShowTreeLines = 1u << 2,
  toShowDropmark = 1u << 3,
  toThemeAware = 1u << 4,
  toUseBlendedImages = 1u << 5,
};
// TreeOptions.MiscOptions
enum TVTMiscOption : std::uint32_t {
  toCheckSupport = 1u << 0,
  toEditable = 1u << 1,          // in-place caption editing
  toToggleOnDblClick = 1u << 2,  // a double click expands or collapses
  toAcceptOLEDrop = 1u << 3,
};
// TreeOptions.SelectionOptions
enum TVTSelectionOption : std::uint32_t { toMultiSelect = 1u << 0 };

struct TVirtualTreeOptions {
  std::uint32_t PaintOptions =
      toShowButtons | toShowRoot | toShowTreeLines | toShowDropmark | toThemeAware | toUseBlendedImages;
  std::uint32_t MiscOptions = toToggleOnDblClick;
  std::uint32_t SelectionOptions = 0;
};
