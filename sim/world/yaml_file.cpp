#include "yaml_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <yaml-cpp/depthguard.h>
#include <yaml-cpp/eventhandler.h>

namespace qm7x::sim {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

// yaml-cpp would read the file through a stream that throws std::ios_base::failure for a
// directory; here every cause is the system's own text.
std::string ReadTextFile(const fs::path& file, std::uintmax_t maxBytes) {
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
        if (text.size() > maxBytes) {
            throw YamlFileError("файл больше " + std::to_string(maxBytes) + " байт", 0);
        }
    }
    if (std::ferror(in.get()) != 0) {
        throw YamlFileError("ошибка чтения файла: " + std::string(std::strerror(errno)), 0);
    }
    return text;
}

namespace {

// Walks the parser's events of one document: a key given twice in a map is an error with both
// lines (yaml-cpp would keep one of them silently), and so is a second document in the file.
class DocumentCheck : public YAML::EventHandler {
  public:
    void OnDocumentStart(const YAML::Mark& mark) override {
        if (++documents_ > 1) {
            throw YamlFileError("в файле больше одного документа YAML", mark.line + 1);
        }
    }
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark& mark, YAML::anchor_t) override { node(mark, kNullKey); }
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t) override { node(mark, std::nullopt); }
    void OnScalar(const YAML::Mark& mark, const std::string&, YAML::anchor_t,
                  const std::string& value) override {
        node(mark, value);
    }
    void OnSequenceStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t,
                         YAML::EmitterStyle::value) override {
        node(mark, std::nullopt);
        open_.push_back({});
    }
    void OnSequenceEnd() override { open_.pop_back(); }
    void OnMapStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t,
                    YAML::EmitterStyle::value) override {
        node(mark, std::nullopt);
        open_.push_back({true});
    }
    void OnMapEnd() override { open_.pop_back(); }

  private:
    // A null key (~, null or nothing) is no text a scalar key can have.
    static constexpr std::string_view kNullKey{"\0null", 5};

    struct Collection {
        bool map = false;
        bool atKey = true;
        std::map<std::string, int, std::less<>> keys;  // key -> its line
    };

    // A node inside the innermost open collection; in a map, keys and values alternate.
    void node(const YAML::Mark& mark, std::optional<std::string_view> keyText) {
        if (++nodes_ > kMaxYamlNodes) {
            throw YamlFileError("больше " + std::to_string(kMaxYamlNodes) + " элементов YAML",
                                mark.line + 1);
        }
        if (open_.empty() || !open_.back().map) {
            return;
        }
        Collection& map = open_.back();
        const bool isKey = std::exchange(map.atKey, !map.atKey);
        if (!isKey || !keyText) {
            return;
        }
        const auto [at, added] = map.keys.emplace(*keyText, mark.line + 1);
        if (!added) {
            const std::string shown = *keyText == kNullKey ? "~" : std::string(*keyText);
            throw YamlFileError("ключ «" + shown + "» повторён (впервые в строке " +
                                    std::to_string(at->second) + ")",
                                mark.line + 1);
        }
    }

    int documents_ = 0;
    std::size_t nodes_ = 0;
    std::vector<Collection> open_;
};

}  // namespace

std::string Located(const std::string& file, int line, const std::string& problem) {
    return line > 0 ? file + ", строка " + std::to_string(line) + ": " + problem
                    : file + ": " + problem;
}

std::string ShortPath(const fs::path& file) {
    const fs::path folder = file.parent_path().filename();
    return (folder.empty() ? file.filename() : folder / file.filename()).string();
}

YAML::Node ParseYamlDocument(const std::string& text) {
    try {
        std::istringstream events(text);
        YAML::Parser parser(events);
        DocumentCheck check;
        while (parser.HandleNextDocument(check)) {
        }
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

YAML::Node LoadYamlFile(const fs::path& file, std::uintmax_t maxBytes) {
    return ParseYamlDocument(ReadTextFile(file, maxBytes));
}

}  // namespace qm7x::sim
