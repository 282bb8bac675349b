#include "yaml_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include <yaml-cpp/depthguard.h>

namespace qm7x::sim {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file as text. yaml-cpp would read it through a stream that throws
// std::ios_base::failure for a directory; here every cause is the system's own text.
std::string ReadText(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error) {
        throw YamlFileError("файл не открывается: " + error.message(), 0);
    }
    if (fs::is_directory(status)) {
        throw YamlFileError("файл не открывается: " + std::string(std::strerror(EISDIR)), 0);
    }
    if (!fs::is_regular_file(status)) {
        throw YamlFileError("файл не открывается: это не обычный файл", 0);
    }
    const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
    if (!in) {
        throw YamlFileError("файл не открывается: " + std::string(std::strerror(errno)), 0);
    }
    std::string text;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in.get())) > 0) {
        text.append(chunk, got);
    }
    if (std::ferror(in.get()) != 0) {
        throw YamlFileError("ошибка чтения файла: " + std::string(std::strerror(errno)), 0);
    }
    return text;
}

}  // namespace

std::string Located(const std::string& file, int line, const std::string& problem) {
    return line > 0 ? file + ", строка " + std::to_string(line) + ": " + problem
                    : file + ": " + problem;
}

YAML::Node ParseYamlDocument(const std::string& text) {
    try {
        return YAML::Load(text);
    } catch (const YAML::DeepRecursion& error) {
        // yaml-cpp's guard against a stack overflow says only "bad file".
        throw YamlFileError("слишком глубокая вложенность списков и наборов ключей",
                            error.mark.line + 1);
    } catch (const YAML::ParserException& error) {
        throw YamlFileError("синтаксическая ошибка YAML: " + error.msg, error.mark.line + 1);
    } catch (const YAML::Exception& error) {
        throw YamlFileError(error.msg, error.mark.line + 1);
    }
}

YAML::Node LoadYamlFile(const fs::path& file) {
    return ParseYamlDocument(ReadText(file));
}

}  // namespace qm7x::sim
