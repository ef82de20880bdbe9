#pragma once

namespace host {

// One lambda per alternative of a variant, for std::visit.
template <typename... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};
// Deduced from the lambdas: C++20 deduces an aggregate's arguments itself, but not every compiler
// the host is built with does yet (clang 16).
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

}  // namespace host
