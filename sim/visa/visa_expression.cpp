#include "visa_expression.h"

#include <array>
#include <cctype>
#include <string>

namespace qm7x::sim {
namespace {

using Node = VisaExpression::Node;

// Long enough for any real expression; bounds the parser's recursion (one level per group).
constexpr std::size_t kMaxExpressionLength = 256;

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Builds the automaton from VISA's syntax: '?' one character, '*' and '+' repeat what precedes,
// [list] and [^list] classes, (group), '|' alternatives, '\' quotes the next character;
// everything else is literal. Attribute conditions in braces are not supported.
class Builder {
  public:
    Builder(std::string_view text, std::vector<Node>& nodes) : text_(text), nodes_(nodes) {}

    // A piece of the automaton: its entry node and the dangling exits still to be joined.
    struct Piece {
        int entry = -1;
        std::vector<std::pair<int, bool>> exits;  // node, its `other` successor
    };

    std::optional<Piece> alternatives() {
        std::optional<Piece> left = sequence();
        while (left && at_ < text_.size() && text_[at_] == '|') {
            ++at_;
            std::optional<Piece> right = sequence();
            if (!right) {
                return std::nullopt;
            }
            const int fork = add({Node::Kind::fork});
            nodes_[fork].next = left->entry;
            nodes_[fork].other = right->entry;
            left->entry = fork;
            left->exits.insert(left->exits.end(), right->exits.begin(), right->exits.end());
        }
        return left;
    }

    bool done() const { return at_ == text_.size(); }
    void join(const Piece& piece, int target) {
        for (const auto& [node, other] : piece.exits) {
            (other ? nodes_[node].other : nodes_[node].next) = target;
        }
    }

  private:
    std::optional<Piece> sequence() {
        // An empty sequence is a fork whose both branches are its exit.
        const int empty = add({Node::Kind::fork});
        Piece whole{empty, {{empty, false}}};
        bool first = true;
        while (at_ < text_.size() && text_[at_] != '|' && text_[at_] != ')') {
            std::optional<Piece> item = repeated();
            if (!item) {
                return std::nullopt;
            }
            if (first) {
                whole = std::move(*item);
                first = false;
            } else {
                join(whole, item->entry);
                whole.exits = std::move(item->exits);
            }
        }
        if (first) {
            nodes_[empty].other = -1;
            whole.exits = {{empty, false}};
        }
        return whole;
    }

    std::optional<Piece> repeated() {
        std::optional<Piece> item = atom();
        while (item && at_ < text_.size() && (text_[at_] == '*' || text_[at_] == '+')) {
            const bool star = text_[at_++] == '*';
            const int fork = add({Node::Kind::fork});
            join(*item, fork);
            nodes_[fork].next = item->entry;
            // '*': the fork comes first and may skip the item; '+': the item comes first.
            item = Piece{star ? fork : item->entry, {{fork, true}}};
        }
        return item;
    }

    std::optional<Piece> atom() {
        const char c = text_[at_++];
        switch (c) {
            case '*':
            case '+':
            case '{':
            case '}':
                return std::nullopt;  // nothing to repeat, or an attribute condition
            case '?':
                return single({Node::Kind::any});
            case '(': {
                std::optional<Piece> group = alternatives();
                if (!group || at_ == text_.size() || text_[at_] != ')') {
                    return std::nullopt;
                }
                ++at_;
                return group;
            }
            case '[':
                return characterSet();
            case '\\':
                if (at_ == text_.size()) {
                    return std::nullopt;
                }
                return literal(text_[at_++]);
            default:
                return literal(c);
        }
    }

    std::optional<Piece> characterSet() {
        Node node{Node::Kind::set};
        node.set.assign(256, false);
        const bool negated = at_ < text_.size() && text_[at_] == '^';
        at_ += negated ? 1 : 0;
        bool closed = false;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == ']') {
                closed = true;
                break;
            }
            char high = c;
            if (at_ + 1 < text_.size() && text_[at_] == '-' && text_[at_ + 1] != ']') {
                high = text_[at_ + 1];
                at_ += 2;
            }
            for (int value = static_cast<unsigned char>(c);
                 value <= static_cast<unsigned char>(high); ++value) {
                node.set[static_cast<unsigned char>(Lower(static_cast<char>(value)))] = true;
            }
        }
        if (!closed) {
            return std::nullopt;
        }
        if (negated) {
            node.set.flip();
        }
        return single(std::move(node));
    }

    Piece literal(char c) {
        Node node{Node::Kind::literal};
        node.literal = Lower(c);
        return single(std::move(node));
    }

    Piece single(Node node) {
        const int index = add(std::move(node));
        return {index, {{index, false}}};
    }

    int add(Node node) {
        nodes_.push_back(std::move(node));
        return static_cast<int>(nodes_.size() - 1);
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::vector<Node>& nodes_;
};

}  // namespace

std::optional<VisaExpression> VisaExpression::Compile(std::string_view expression) {
    if (expression.empty() || expression.size() > kMaxExpressionLength) {
        return std::nullopt;
    }
    VisaExpression compiled;
    Builder builder(expression, compiled.nodes_);
    const std::optional<Builder::Piece> whole = builder.alternatives();
    if (!whole || !builder.done()) {
        return std::nullopt;  // a stray ')' leaves text unread
    }
    compiled.nodes_.push_back({Node::Kind::match});
    builder.join(*whole, static_cast<int>(compiled.nodes_.size() - 1));
    compiled.start_ = whole->entry;
    return compiled;
}

bool VisaExpression::Matches(std::string_view name) const {
    // The set of nodes reached after each character, forks followed at once.
    std::vector<int> current;
    std::vector<int> next;
    std::vector<std::size_t> seen(nodes_.size(), 0);
    std::size_t step = 1;
    const auto reach = [&](std::vector<int>& into, int start) {
        std::vector<int> pending{start};
        while (!pending.empty()) {
            const int index = pending.back();
            pending.pop_back();
            if (index < 0 || seen[static_cast<std::size_t>(index)] == step) {
                continue;
            }
            seen[static_cast<std::size_t>(index)] = step;
            const Node& node = nodes_[static_cast<std::size_t>(index)];
            if (node.kind == Node::Kind::fork) {
                pending.push_back(node.other);
                pending.push_back(node.next);
            } else {
                into.push_back(index);
            }
        }
    };
    reach(current, start_);
    for (const char raw : name) {
        const char c = Lower(raw);
        ++step;
        next.clear();
        for (const int index : current) {
            const Node& node = nodes_[static_cast<std::size_t>(index)];
            const bool takes =
                node.kind == Node::Kind::any ||
                (node.kind == Node::Kind::literal && node.literal == c) ||
                (node.kind == Node::Kind::set && node.set[static_cast<unsigned char>(c)]);
            if (takes) {
                reach(next, node.next);
            }
        }
        current.swap(next);
        if (current.empty()) {
            return false;
        }
    }
    for (const int index : current) {
        if (nodes_[static_cast<std::size_t>(index)].kind == Node::Kind::match) {
            return true;
        }
    }
    return false;
}

}  // namespace qm7x::sim
