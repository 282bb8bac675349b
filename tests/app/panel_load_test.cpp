// The program ends with -1 when any of the panels it loads at start is missing from the resource.
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <fstream>
#include <sstream>

#include "program_fixture.h"
#include "qm7x/app/program.h"

namespace qm7x::test {
namespace {

// The program's resource without the panel of that number.
std::string resourceWithout(int panelNumber) {
    std::ifstream file(QM7X_RESOURCE_FILE);
    std::stringstream text;
    text << file.rdbuf();
    YAML::Node resource = YAML::Load(text.str());
    YAML::Node kept(YAML::NodeType::Sequence);
    for (const auto& panel : resource["panels"]) {
        if (panel["number"].as<int>() != panelNumber) {
            kept.push_back(panel);
        }
    }
    resource["panels"] = kept;
    YAML::Emitter out;
    out << resource;
    return out.c_str();
}

class PanelLoadTest : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(PanelLoadTest, AMissingPanelEndsTheStartUp) {
    UseNoVisa(scratch);
    ui::RegisterResource("p_qm7x.uir", resourceWithout(GetParam()));
    EXPECT_EQ(app::RunProgram(0, nullptr), -1);
    EXPECT_TRUE(frontEnd.Messages().empty()) << "no message";
    EXPECT_TRUE(frontEnd.log.empty()) << "nothing shown";
}

// The nine panels the program loads, in its loading order.
INSTANTIATE_TEST_SUITE_P(Panels, PanelLoadTest, ::testing::Values(9, 1, 3, 5, 6, 7, 8, 11, 4));

TEST_F(ProgramTest, ThePanelNobodyShowsIsNotNeeded) {
    UseNoVisa(scratch);
    ui::RegisterResource("p_qm7x.uir", resourceWithout(10));  // TP, never loaded
    script()
        .Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    EXPECT_EQ(app::RunProgram(0, nullptr), 0);
}

}  // namespace
}  // namespace qm7x::test
