#include <gtest/gtest.h>

#include <random>
#include <string>

#include "qm7x/integrity/arkomet_crc32.h"
#include "test_support.h"

namespace qm7x::integrity {
namespace {

TEST(Crc32, CheckValueAndEmptyBlock) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(Crc32, AgreesWithTableDrivenReferenceOnRandomData) {
    std::mt19937 random(20111123);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 5000);
    for (int round = 0; round < 200; ++round) {
        std::string data(length(random), '\0');
        for (char& c : data) {
            c = static_cast<char>(byte(random));
        }
        ASSERT_EQ(Crc32(data.data(), data.size()), test::ReferenceCrc32(data))
            << "length " << data.size();
    }
}

}  // namespace
}  // namespace qm7x::integrity
