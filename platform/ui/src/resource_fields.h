// The readers of the panel resource's fields and controls, shared by the parser's parts. Each
// throws ResourceError naming where in the resource the problem is.
#pragma once

#include <yaml-cpp/yaml.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "qm7x/ui/model.h"

namespace qm7x::ui::detail {

struct ResourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what);

std::string Text(const YAML::Node& node, const char* key, const std::string& fallback = {});
long long Integer(const YAML::Node& v, const std::string& where);
int Int(const YAML::Node& node, const char* key, int fallback, const std::string& where);
double Real(const YAML::Node& v, const std::string& where);
bool Flag(const YAML::Node& node, const char* key, bool fallback);
std::vector<std::string> TextList(const YAML::Node& node, const char* key);

// The resource's names of control kinds, data types, display formats and control modes.
const std::map<std::string, CtrlKind, std::less<>>& Kinds();
int DataType(const std::string& name, const std::string& where);
int Format(const std::string& name, const std::string& where);
int Mode(const std::string& name, const std::string& where);

// A value of the data type, as the resource writes it.
Value TypedValue(const YAML::Node& v, int dataType, const std::string& where);
void ReadGeometry(const YAML::Node& node, Geometry& g, const std::string& where);
// A graph axis: its name and, when the resource gives `<axis>_min` and `<axis>_max`, a fixed range
// (otherwise the axis scales itself to the plots).
GraphAxis ReadAxis(const YAML::Node& node, const std::string& axis, const std::string& where);

// One control of a panel (order: its place in the panel's list); the panels of a tab control's
// pages are added to pagePanels.
Control ReadControl(const YAML::Node& node, const std::string& panelWhere, int order,
                    std::vector<std::string>& pagePanels);

}  // namespace qm7x::ui::detail
