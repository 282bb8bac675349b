// Panel resources by name: registered texts, the resource embedded at build time, files on disk.
#pragma once

#include <memory>
#include <string_view>

#include "resource_parser.h"

namespace qm7x::ui::detail {

// The parsed resource of that name, or nullptr with `error` set to UIEResourceNotFound or
// UIEBadResource (the reason is written to stderr once).
std::shared_ptr<const ParsedResource> GetResource(std::string_view name, int& error,
                                                  std::string* reason = nullptr);

// Defined by the generated source of the program's resource (target qm7x_resource): the bytes
// of an embedded resource, empty when none has that name.
std::string_view EmbeddedResource(std::string_view name);

}  // namespace qm7x::ui::detail
