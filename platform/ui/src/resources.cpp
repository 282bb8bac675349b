#include "resources.h"

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "callbacks.h"

namespace qm7x::ui {
namespace detail {
namespace {

struct Registry {
    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, std::shared_ptr<const ParsedResource>, std::less<>> parsed;
};

Registry& Resources() {
    static Registry registry;
    return registry;
}

bool ReadText(std::string_view name, std::string& text) {
    if (auto it = Resources().texts.find(name); it != Resources().texts.end()) {
        text = it->second;
        return true;
    }
    if (std::string_view embedded = EmbeddedResource(name); !embedded.empty()) {
        text = embedded;
        return true;
    }
    std::ifstream file{std::string(name), std::ios::binary};
    if (!file) {
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

}  // namespace

std::shared_ptr<const ParsedResource> GetResource(std::string_view name, int& error,
                                                  std::string* reason) {
    Registry& reg = Resources();
    if (auto it = reg.parsed.find(name); it != reg.parsed.end()) {
        error = UIENoError;
        return it->second;
    }
    std::string text;
    if (!ReadText(name, text)) {
        error = UIEResourceNotFound;
        if (reason) {
            *reason = "panel resource '" + std::string(name) + "' not found";
        }
        return nullptr;
    }
    auto parsed = std::make_shared<ParsedResource>();
    std::string why;
    if (!ParseResource(text, *parsed, why)) {
        error = UIEBadResource;
        std::cerr << "panel resource '" << name << "': " << why << '\n';
        if (reason) {
            *reason = "panel resource '" + std::string(name) + "': " + why;
        }
        return nullptr;
    }
    error = UIENoError;
    reg.parsed.emplace(std::string(name), parsed);
    return parsed;
}

}  // namespace detail

void RegisterResource(std::string_view name, std::string_view yamlText) {
    auto& reg = detail::Resources();
    reg.texts.insert_or_assign(std::string(name), std::string(yamlText));
    if (auto it = reg.parsed.find(name); it != reg.parsed.end()) {
        reg.parsed.erase(it);
    }
}

std::vector<std::string> UnregisteredCallbackNames(std::string_view resourceFile) {
    std::vector<std::string> missing;
    int error = 0;
    std::string reason;
    auto resource = detail::GetResource(resourceFile, error, &reason);
    if (!resource) {
        missing.push_back(reason);
        return missing;
    }
    for (const detail::PanelTemplate& t : resource->panels) {
        const Panel& p = t.panel;
        if (!p.callbackName.empty() && !detail::FindPanelCallback(p.callbackName)) {
            missing.push_back(p.constant + ": " + p.callbackName);
        }
        for (const Control& c : p.controls) {
            if (!c.callbackName.empty() && !detail::FindCtrlCallback(c.callbackName)) {
                missing.push_back(p.constant + "." + c.constant + ": " + c.callbackName);
            }
        }
    }
    return missing;
}

}  // namespace qm7x::ui
