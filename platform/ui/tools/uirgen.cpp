// Build-time generator: checks the panel resource and writes from it
//   - the constants header (panel and control numbers, with the callback names as comments);
//   - a C++ source that embeds the resource's bytes under its name.
// Usage: qm7x_uirgen <resource.uir> <embedded name> <header out> <source out>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "resource_parser.h"

namespace {

using qm7x::ui::detail::ParsedResource;

std::string Constant(const std::string& name, int value, const std::string& callback) {
    std::string line = "inline constexpr int " + name + " = " + std::to_string(value) + ";";
    if (!callback.empty()) {
        line += "  // callback: " + callback;
    }
    return line + "\n";
}

std::string Header(const ParsedResource& resource, const std::string& name) {
    std::ostringstream out;
    out << "// Panel and control numbers of the panel resource \"" << name << "\".\n"
        << "// Generated from the resource at build time; edit the resource, not this file.\n"
        << "#pragma once\n";
    for (const auto& t : resource.panels) {
        const auto& p = t.panel;
        out << "\n// Panel \"" << p.title << "\"\n"
            << Constant(p.constant, p.resourceId, p.callbackName);
        for (const auto& c : p.controls) {
            out << Constant(p.constant + "_" + c.constant, c.id, c.callbackName);
        }
    }
    return out.str();
}

std::string Source(const std::string& bytes, const std::string& name) {
    std::ostringstream out;
    out << "// The panel resource \"" << name << "\", embedded at build time.\n"
        << "#include <string_view>\n\n"
        << "namespace qm7x::ui::detail {\nnamespace {\n\n"
        << "constexpr unsigned char kResource[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out << (i % 16 == 0 ? "\n    " : " ")
            << static_cast<int>(static_cast<unsigned char>(bytes[i])) << ",";
    }
    out << "\n    0};\n\n}  // namespace\n\n"
        << "std::string_view EmbeddedResource(std::string_view name) {\n"
        << "    if (name == \"" << name << "\") {\n"
        << "        return {reinterpret_cast<const char*>(kResource), sizeof kResource - 1};\n"
        << "    }\n    return {};\n}\n\n}  // namespace qm7x::ui::detail\n";
    return out.str();
}

bool WriteIfChanged(const std::string& path, const std::string& text) {
    std::ifstream old(path, std::ios::binary);
    if (old) {
        std::ostringstream content;
        content << old.rdbuf();
        if (content.str() == text) {
            return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: qm7x_uirgen <resource.uir> <embedded name> <header> <source>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::ostringstream content;
    content << in.rdbuf();
    const std::string bytes = content.str();
    ParsedResource resource;
    std::string error;
    if (!qm7x::ui::detail::ParseResource(bytes, resource, error)) {
        std::cerr << argv[1] << ": " << error << '\n';
        return 1;
    }
    if (!WriteIfChanged(argv[3], Header(resource, argv[2])) ||
        !WriteIfChanged(argv[4], Source(bytes, argv[2]))) {
        std::cerr << "cannot write the generated files\n";
        return 1;
    }
    return 0;
}
