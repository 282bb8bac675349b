// VISA resource search expressions ("?*INSTR", "VXI?*INSTR", "(GPIB|VXI)?*INSTR", ...).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace qm7x::sim {

// A compiled search expression, matched against whole resource names without regard to case.
// Matching simulates the expression's automaton over the name: its time grows with the lengths
// of the expression and the name, never exponentially (a backtracking regular expression engine
// takes forever on "?**INSTR"-like expressions and overflows its stack on long ones).
class VisaExpression {
  public:
    // Nothing when the expression is not valid.
    static std::optional<VisaExpression> Compile(std::string_view expression);

    bool Matches(std::string_view name) const;

    // A node of the automaton: one character test, or a fork to two nodes.
    struct Node {
        enum class Kind { any, literal, set, fork, match } kind = Kind::match;
        char literal = 0;           // lower case
        std::vector<bool> set;      // 256 entries for `set`, lower-case characters
        int next = -1, other = -1;  // successors (other: second branch of a fork)
    };

  private:
    std::vector<Node> nodes_;
    int start_ = -1;
};

}  // namespace qm7x::sim
