#pragma once

namespace model {

// One lambda per alternative of a variant, for std::visit.
template <typename... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};

}  // namespace model
