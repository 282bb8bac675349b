// The YAML files of the simulated bench (the bench file, the reference source, the EEPROM images)
// read with the care every file from outside deserves: a regular file within a size limit, one
// document, no key twice in a map, no nesting deeper than the parser's guard, no more nodes than
// a bench needs, and every problem an exception with its cause and line instead of whatever the
// file system or the parser threw.
#pragma once

#include <yaml-cpp/yaml.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace qm7x::sim {

// A YAML file that cannot be used. what() is the problem without the file's name (the caller
// names the file as its own errors do); line() is 1-based, 0 when the problem has no line.
class YamlFileError : public std::runtime_error {
  public:
    YamlFileError(const std::string& problem, int line)
        : std::runtime_error(problem), line_(line) {}
    int line() const { return line_; }

  private:
    int line_;
};

// "<file>, строка <line>: <problem>", or "<file>: <problem>" when there is no line.
std::string Located(const std::string& file, int line, const std::string& problem);

// yaml-cpp spends about a kilobyte on each node: a document of more nodes than this is refused
// before it is built (4 MB of "[1,1,1,...]" would take 2 GB).
inline constexpr std::size_t kMaxYamlNodes = 100000;

// The file's name with its folder ("state/QM7X-0412.eeprom.yaml"): enough to find it, short
// enough that a driver text of 255 characters keeps the cause.
std::string ShortPath(const std::filesystem::path& file);

// Parses one YAML document held in memory. Throws YamlFileError.
YAML::Node ParseYamlDocument(const std::string& text);

// The whole text of a regular file of at most maxBytes bytes. Throws YamlFileError.
std::string ReadTextFile(const std::filesystem::path& file, std::uintmax_t maxBytes);

// Reads and parses a YAML file of at most maxBytes bytes. Throws YamlFileError; a missing file,
// a directory, an unreadable or oversized file are errors like any other.
YAML::Node LoadYamlFile(const std::filesystem::path& file, std::uintmax_t maxBytes);

}  // namespace qm7x::sim
