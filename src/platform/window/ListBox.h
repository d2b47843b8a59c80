// A list box: a list of text items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/Control.h"

namespace platform {

class ListBox : public Control {
  public:
    explicit ListBox(std::string name = {}) : Control(std::move(name)) {}

    bool Draws() const override { return false; }

    void AddItem(const std::string& item) { items_.push_back(item); }
    void Clear() { items_.clear(); }
    int32_t ListCount() const { return static_cast<int32_t>(items_.size()); }
    // "" for an index outside the list.
    std::string List(int32_t index) const {
        return index >= 0 && index < ListCount() ? items_[static_cast<size_t>(index)] : "";
    }

  private:
    std::vector<std::string> items_;
};

}  // namespace platform
