#pragma once
// The image indices a data-bound tree shows when the application has no image handler; -1 is no image.
#include <cstdint>

class TLxDBTreeImages {
public:
  std::int32_t HasChildrenImageIndex() const { return FHasChildrenImageIndex; }
  void SetHasChildrenImageIndex(std::int32_t Value) { FHasChildrenImageIndex = Value; }
  std::int32_t HasChildrenSelectedIndex() const { return FHasChildrenSelectedIndex; }
  void SetHasChildrenSelectedIndex(std::int32_t Value) { FHasChildrenSelectedIndex = Value; }
  std::int32_t NoChildrenImageIndex() const { return FNoChildrenImageIndex; }
  void SetNoChildrenImageIndex(std::int32_t Value) { FNoChildrenImageIndex = Value; }
  std::int32_t NoChildrenSelectedIndex() const { return FNoChildrenSelectedIndex; }
  void SetNoChildrenSelectedIndex(std::int32_t Value) { FNoChildrenSelectedIndex = Value; }

private:
  std::int32_t FHasChildrenImageIndex = -1;
  std::int32_t FNoChildrenImageIndex = -1;
  std::int32_t FHasChildrenSelectedIndex = -1;
  std::int32_t FNoChildrenSelectedIndex = -1;
};
