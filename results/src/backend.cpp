#include <cstdlib>

#include "qm7x/results/backend.h"

namespace qm7x::results {

bool IsPostgresLocation(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::string DefaultStoreLocation() {
    const char* configured = std::getenv("QM7X_RESULTS_DB");
    if (configured && *configured) {
        return configured;
    }
    return std::string(kDefaultStoreFile);
}

std::unique_ptr<Backend> OpenBackend(const std::string& location) {
    if (IsPostgresLocation(location)) {
        return OpenPostgresBackend(location);
    }
    return OpenSqliteBackend(location);
}

}  // namespace qm7x::results
