// The values that travel between the store and its database: a column's type, one value, one row.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace qm7x::results {

enum class ColumnType { Integer, Real, Text };

// Null, a 64-bit integer, a double or UTF-8 text.
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;
using Row = std::vector<Value>;
using Rows = std::vector<Row>;

// A store that cannot be opened, read or written; the message names the store, the operation and
// what the database said.
class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Accessors that say which column held what when a value has an unexpected type.
std::int64_t AsInteger(const Value& value);
double AsReal(const Value& value);       // an integer column is widened
double AsRealOrNaN(const Value& value);  // null gives NaN
std::string AsText(const Value& value);  // null gives ""
bool IsNull(const Value& value);

// The shortest text that reads back as the same double (std::to_chars), and its inverse.
std::string FormatReal(double value);
double ParseReal(std::string_view text);

// Lists of numbers as comma-separated text ("12,-3,7"), exact for doubles.
std::string FormatIntegers(const std::vector<std::int64_t>& values);
std::string FormatReals(const std::vector<double>& values);
std::vector<std::int64_t> ParseIntegers(std::string_view text);
std::vector<double> ParseReals(std::string_view text);

}  // namespace qm7x::results
