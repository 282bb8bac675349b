// Conditions a record file meets on an operator's machine, made inside a test process: a disk
// that fills up part way through an entry, and a desktop locale of another character set.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <string>

namespace qm7x::test {

// While it lives, no file of the process grows beyond `bytes`: a write across the limit is cut
// short and the next one fails (EFBIG), as on a full disk. (Each test runs in its own process.)
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    void (*previousSignal_)(int) = SIG_DFL;
};

// Makes `name` (e.g. "ru_RU.CP1251") the process's locale for every category, building it from
// the locale sources into a scratch folder when it is not installed. False when it cannot.
inline bool UseLocale(const std::string& language, const std::string& charmap) {
    const std::string name = language + "." + charmap;
    if (std::setlocale(LC_ALL, name.c_str()) != nullptr) {
        return true;
    }
    const std::string dir = ::testing::TempDir() + "qm7x_locales";
    const std::string build = "mkdir -p '" + dir + "' && localedef -i " + language + " -f " +
                              charmap + " '" + dir + "/" + name + "' >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0) {
        return false;
    }
    ::setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_ALL, name.c_str()) != nullptr;
}

}  // namespace qm7x::test
