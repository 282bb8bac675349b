// A fresh, empty store for each test: an SQLite file in a folder of its own, or a database of its
// own on the PostgreSQL server that QM7X_TEST_POSTGRES_URL names (the test is skipped, and says
// so, when none is given).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "qm7x/results/backend.h"

namespace qm7x::results::test {

enum class Kind { Sqlite, Postgres };

std::string KindName(const testing::TestParamInfo<Kind>& info);

class StoreLocation {
  public:
    // Empty location() with the reason in skip_reason() when the kind is not available.
    explicit StoreLocation(Kind kind);
    ~StoreLocation();
    StoreLocation(const StoreLocation&) = delete;
    StoreLocation& operator=(const StoreLocation&) = delete;

    const std::string& location() const { return location_; }
    const std::string& skip_reason() const { return skip_reason_; }
    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::string location_;
    std::string skip_reason_;
    std::filesystem::path folder_;
    std::string server_url_;  // PostgreSQL: where the test database was created
    std::string database_;
};

// The fixture of the cases that run against both databases.
class BothStores : public testing::TestWithParam<Kind> {
  protected:
    void SetUp() override;
    std::unique_ptr<StoreLocation> store_;
};

}  // namespace qm7x::results::test
