#include "eeprom_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <yaml-cpp/yaml.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string_view>

#include "yaml_file.h"

namespace qm7x::sim {
namespace {

namespace fs = std::filesystem;

// An image is a few lines; anything much larger is not one.
constexpr std::uintmax_t kMaxEepromImageBytes = 64 << 10;

// "<image>.tmp.<6 random characters>" while an image is being replaced.
constexpr const char* kTemporaryInfix = ".tmp.";

std::string HexLines(const CoeffRecord& record) {
    std::string text;
    char byte[4];
    for (std::size_t i = 0; i < record.bytes.size(); ++i) {
        std::snprintf(byte, sizeof byte, "%02x", record.bytes[i]);
        text += byte;
        text += (i % 16 == 15) ? '\n' : ' ';
    }
    return text;
}

// As "%.17g" writes it in the C locale: the readable copy is the same under a decimal-comma locale.
std::string Number(double value) {
    char text[40];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17).ptr;
    return {text, end};
}

std::string Triple(const CoeffRecord& record, auto field) {
    return "[" + Number(field(record, 1)) + ", " + Number(field(record, 2)) + ", " +
           Number(field(record, 3)) + "]";
}

// The tag as text when it is plain ASCII, so that the readable copy stays valid YAML.
std::string PrintableTag(const CoeffRecord& record) {
    std::string tag = record.tag();
    for (char& c : tag) {
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') {
            c = '?';
        }
    }
    return tag;
}

// The cause first, then the image: a driver text of 255 characters cut at its end keeps the cause.
[[noreturn]] void Fail(const std::string& cause, const fs::path& file, int line = 0) {
    const std::string where =
        line > 0 ? ShortPath(file) + ", строка " + std::to_string(line) : ShortPath(file);
    throw EepromError(cause + " (" + where + ")");
}

CoeffRecord ParseHex(const std::string& hex, const fs::path& file) {
    CoeffRecord record;
    std::size_t count = 0;
    std::istringstream in(hex);
    std::string token;
    while (in >> token) {
        // Exactly two hexadecimal digits: no sign, no "0x", nothing else.
        unsigned value = 0;
        const bool byte =
            token.size() == 2 && std::isxdigit(static_cast<unsigned char>(token[0])) &&
            std::isxdigit(static_cast<unsigned char>(token[1])) &&
            std::from_chars(token.data(), token.data() + 2, value, 16).ec == std::errc{};
        if (!byte || count >= record.bytes.size()) {
            Fail("record_hex: ожидается 112 байт по две цифры", file);
        }
        record.bytes[count++] = static_cast<std::uint8_t>(value);
    }
    if (count != record.bytes.size()) {
        Fail("record_hex: " + std::to_string(count) + " байт вместо 112", file);
    }
    return record;
}

}  // namespace

std::optional<CoeffRecord> ReadEepromImage(const fs::path& file) {
    // Only a file that is not there is absent; one that cannot be looked at is an error.
    std::error_code error;
    if (std::filesystem::status(file, error).type() == std::filesystem::file_type::not_found) {
        return std::nullopt;
    }
    try {
        return ParseEepromImage(ReadTextFile(file, kMaxEepromImageBytes), file);
    } catch (const YamlFileError& problem) {
        Fail(problem.what(), file, problem.line());
    }
}

CoeffRecord ParseEepromImage(const std::string& text, const fs::path& file) {
    try {
        const YAML::Node root = ParseYamlDocument(text);
        if (!root.IsMap() || !root["record_hex"] || !root["record_hex"].IsScalar()) {
            Fail("нет record_hex", file);
        }
        return ParseHex(root["record_hex"].as<std::string>(), file);
    } catch (const YamlFileError& problem) {
        Fail(problem.what(), file, problem.line());
    } catch (const YAML::Exception& problem) {
        Fail(problem.what(), file);
    }
}

void WriteEepromImage(const fs::path& file, const CoeffRecord& record, const std::string& serial) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        Fail(error.message(), file.parent_path());
    }
    std::ostringstream text;
    text
        << "# EEPROM of QM7X " << serial << ": the 112-byte coefficient record.\n"
        << "# record_hex is what the module holds; 'decoded' is a readable copy, ignored on load.\n"
        << "serial: \"" << serial << "\"\n"
        << "record_hex: |\n";
    std::istringstream lines(HexLines(record));
    for (std::string line; std::getline(lines, line);) {
        text << "  " << line << "\n";
    }
    text << "decoded:\n"
         << "  tag: \"" << PrintableTag(record) << "\"\n"
         << "  range_v: " << Triple(record, [](auto& r, int c) { return r.range(c); }) << "\n"
         << "  gain_pos_v_per_code: "
         << Triple(record, [](auto& r, int c) { return r.gain(c, false); }) << "\n"
         << "  gain_neg_v_per_code: "
         << Triple(record, [](auto& r, int c) { return r.gain(c, true); }) << "\n"
         << "  test_u_v: " << Triple(record, [](auto& r, int c) { return r.testU(c); }) << "\n";

    // The new image reaches the disk before it replaces the old one: a crash or a power cut
    // leaves either the old record or the new one, never half of one. The temporary file has a
    // name nobody can foresee and is created exclusively (never through a planted link).
    std::string pattern =
        (file.parent_path() / (file.filename().string() + kTemporaryInfix)).string() + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        Fail(std::strerror(errno), file.parent_path());
    }
    const fs::path temporary = pattern;
    // The first error is the cause: nothing done afterwards (closing, removing) may replace it.
    int cause = ::fchmod(fd, 0644) == 0 ? 0 : errno;
    const std::string content = text.str();
    std::size_t written = 0;
    while (cause == 0 && written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        } else if (n == 0) {
            cause = EIO;
        } else if (errno != EINTR) {
            cause = errno;
        }
    }
    if (cause == 0 && ::fsync(fd) != 0) {
        cause = errno;
    }
    if (::close(fd) != 0 && cause == 0) {
        cause = errno;
    }
    if (cause == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) {
        cause = errno;
    }
    if (cause != 0) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        Fail(std::strerror(cause), file);
    }
    // The rename is durable only once the folder is.
    const int folder = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void RemoveStaleTemporaries(const fs::path& file) {
    const std::string prefix = file.filename().string() + std::string(kTemporaryInfix);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(file.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);  // a link is removed, never its target
        }
    }
}

}  // namespace qm7x::sim
