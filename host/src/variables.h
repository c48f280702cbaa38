// Macro variables: names compared without regard to case ("x" and "x$" are two
// variables), each owning its value. A value replaced or cleared is ended
// through the destroy function the store was made with.
#pragma once

#include <cmdproc.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace host {

class Variables {
 public:
  using Destroy = std::function<void(OBJ_BASECLASS*)>;
  explicit Variables(Destroy destroy) : destroy_(std::move(destroy)) {}
  ~Variables() { Clear(); }
  Variables(const Variables&) = delete;
  Variables& operator=(const Variables&) = delete;

  OBJ_BASECLASS* Find(const std::string& name) const;
  // Takes ownership of value and ends the variable's old one.
  void Set(const std::string& name, OBJ_BASECLASS* value);
  // Ends every value, oldest variable first.
  void Clear();
  size_t Count() const { return order_.size(); }

 private:
  struct Slot {
    std::string name;
    OBJ_BASECLASS* value;
  };
  Destroy destroy_;
  std::vector<Slot> order_;
  std::unordered_map<std::string, size_t> index_;  // upper-case name -> order_
};

}  // namespace host
