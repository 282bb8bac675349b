// A scripted run that cannot go on: said on stderr (seen even if a caller swallows the exception)
// and thrown, so that the test fails instead of hanging.
#pragma once

#include <iostream>
#include <string>

#include "qm7x/ui/scripted_operator.h"

namespace qm7x::ui::detail {

template <typename E>
[[noreturn]] void ScriptFailure(const std::string& why) {
    std::cerr << "user-interface script: " << why << '\n';
    throw E(why);
}

}  // namespace qm7x::ui::detail
