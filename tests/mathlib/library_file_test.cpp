// The built library file: its internal CRC record survives compilation and linking.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> readLibraryFile() {
    std::ifstream file(TRQM7X_MATH_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(LibraryFile, CarriesOneInternalCrcRecord) {
    const std::vector<unsigned char> bytes = readLibraryFile();
    ASSERT_FALSE(bytes.empty()) << TRQM7X_MATH_FILE;
    // "ВстроенныйCRC32=" in Windows-1251.
    const std::vector<unsigned char> marker = {0xC2, 0xF1, 0xF2, 0xF0, 0xEE, 0xE5, 0xED, 0xED,
                                               0xFB, 0xE9, 'C',  'R',  'C',  '3',  '2',  '='};
    const auto first = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
    ASSERT_NE(bytes.end(), first) << "no marker in " << TRQM7X_MATH_FILE;
    ASSERT_GE(bytes.end() - first, 25);
    const auto digits = first + 16;
    EXPECT_TRUE(std::all_of(digits, digits + 8, [](unsigned char c) {
        return std::isdigit(c) || (c >= 'A' && c <= 'F');
    })) << std::string(digits, digits + 8);
    EXPECT_EQ(0, digits[8]);
    // Only the first marker counts; a second copy (such as one in debug information) would
    // be a trap for any tool that looks further.
    EXPECT_EQ(bytes.end(), std::search(first + 1, bytes.end(), marker.begin(), marker.end()));
}

}  // namespace
