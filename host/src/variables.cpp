// The variable store.
#include "variables.h"

#include "parser.h"

namespace host {

OBJ_BASECLASS* Variables::Find(const std::string& name) const {
  auto it = index_.find(Upper(name));
  return it == index_.end() ? nullptr : order_[it->second].value;
}

void Variables::Set(const std::string& name, OBJ_BASECLASS* value) {
  const std::string key = Upper(name);
  auto it = index_.find(key);
  if (it == index_.end()) {
    index_.emplace(key, order_.size());
    order_.push_back({name, value});
    return;
  }
  OBJ_BASECLASS* old = order_[it->second].value;
  order_[it->second].value = value;
  if (old && old != value) destroy_(old);
}

void Variables::Clear() {
  // Taken out first: a handler that ends a value may look variables up.
  std::vector<Slot> slots;
  slots.swap(order_);
  index_.clear();
  for (Slot& s : slots) {
    if (s.value) destroy_(s.value);
  }
}

}  // namespace host
