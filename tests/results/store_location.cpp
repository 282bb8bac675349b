#include "store_location.h"

#include <unistd.h>

#include <fmt/format.h>
#include <atomic>
#include <cstdlib>

namespace qm7x::results::test {
namespace {

constexpr const char* kServerVariable = "QM7X_TEST_POSTGRES_URL";

// postgresql://authority/dbname?options with the database name replaced.
std::string WithDatabase(const std::string& url, const std::string& database) {
    auto authority = url.find("://") + 3;
    auto slash = url.find('/', authority);
    auto query = url.find('?', authority);
    if (slash == std::string::npos || (query != std::string::npos && slash > query)) {
        return url.substr(0, query) + "/" + database +
               (query == std::string::npos ? "" : url.substr(query));
    }
    auto end = url.find('?', slash);
    return url.substr(0, slash + 1) + database + (end == std::string::npos ? "" : url.substr(end));
}

}  // namespace

std::string KindName(const testing::TestParamInfo<Kind>& info) {
    return info.param == Kind::Sqlite ? "SQLite" : "PostgreSQL";
}

StoreLocation::StoreLocation(Kind kind) {
    auto tag = fmt::format("qm7x_results_{}_{}", ::getpid(),
                           testing::UnitTest::GetInstance()->random_seed());
    folder_ = std::filesystem::temp_directory_path() / tag;
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    if (kind == Kind::Sqlite) {
        location_ = (folder_ / "qm7x-results.sqlite").string();
        return;
    }
    const char* server = std::getenv(kServerVariable);
    if (!server || !*server) {
        skip_reason_ = fmt::format("no PostgreSQL server given ({} is not set)", kServerVariable);
        return;
    }
    server_url_ = server;
    database_ = tag;
    auto admin = OpenBackend(server_url_);
    admin->Execute(fmt::format("DROP DATABASE IF EXISTS {}", database_));
    admin->Execute(fmt::format("CREATE DATABASE {}", database_));
    location_ = WithDatabase(server_url_, database_);
}

StoreLocation::~StoreLocation() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    if (database_.empty()) {
        return;
    }
    try {
        OpenBackend(server_url_)->Execute(fmt::format("DROP DATABASE {} WITH (FORCE)", database_));
    } catch (const std::exception& error) {
        ADD_FAILURE() << "cannot drop the test database: " << error.what();
    }
}

void BothStores::SetUp() {
    store_ = std::make_unique<StoreLocation>(GetParam());
    if (store_->location().empty()) {
        GTEST_SKIP() << store_->skip_reason();
    }
}

}  // namespace qm7x::results::test
