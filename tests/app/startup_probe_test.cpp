// The start-up probe's line is read by scripts: the same text under a decimal-comma locale.
#include "startup_probe.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "qm7x/ui/headless.h"
#include "record_faults.h"

namespace qm7x::test {
namespace {

TEST(StartupProbe, TheTimeHasADecimalPointWhateverTheLocale) {
    ASSERT_TRUE(UseLocale("ru_RU", "UTF-8")) << "localedef cannot build ru_RU.UTF-8";
    const auto out =
        std::filesystem::path(::testing::TempDir()) / ("qm7x_probe_" + std::to_string(::getpid()));
    ui::HeadlessFrontEnd inner;
    app::StartupProbe probe(inner, [](int) { return true; });
    EXPECT_EXIT(
        {
            if (std::freopen(out.c_str(), "w", stdout) == nullptr) {
                std::_Exit(2);
            }
            probe.PanelDisplayed(1);
        },
        ::testing::ExitedWithCode(0), "");
    std::setlocale(LC_ALL, "C");
    std::ifstream in(out);
    std::ostringstream text;
    text << in.rdbuf();
    std::filesystem::remove(out);
    EXPECT_TRUE(std::regex_match(text.str(), std::regex(R"(startup-probe \d+\.\d{6}\n)")))
        << text.str();
}

}  // namespace
}  // namespace qm7x::test
