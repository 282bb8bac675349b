// crc32stamp: stamps and checks the internal CRC record of files. The build stamps the math
// library with it; a person can check an installed copy with it.

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <span>
#include <string>
#include <string_view>

#include "qm7x/integrity/arkomet_crc32.h"

namespace {

namespace integrity = qm7x::integrity;

// Exit codes (sysexits.h's EX_USAGE for a bad command line).
constexpr int kExitOk = 0;
constexpr int kExitMismatch = 1;
constexpr int kExitFailed = 2;
constexpr int kExitUsage = 64;

constexpr std::string_view kHelp = R"(Usage: crc32stamp stamp FILE...
       crc32stamp check FILE...
       crc32stamp --help

Stamps or checks the internal CRC record of each FILE: the marker "ВстроенныйCRC32=" (in
Windows-1251) followed by the file's own CRC-32 as eight hexadecimal digits and a zero byte.

  stamp   writes the CRC of the file (taken with the digits as "00000000") into its record,
          in place, and checks the result; the file keeps its size
  check   prints, per file, the CRC stored in the record, the CRC computed over the file with
          the record's digits as zeros, the CRC of the file as it is, and OK or MISMATCH

Exit status:
  0   every file was stamped, or every record matches
  1   check: at least one record does not match (and every file could be checked)
  2   at least one file could not be stamped or checked (missing, unreadable, empty, too short,
      no record...); the reason is printed on standard error
  64  bad command line
)";

std::string Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

int Usage(std::string_view problem) {
    std::cerr << "crc32stamp: " << problem << "\nTry 'crc32stamp --help'.\n";
    return kExitUsage;
}

int Check(std::span<char*> files) {
    int exitCode = kExitOk;
    for (const char* file : files) {
        const integrity::FileCrcCheck check = integrity::CheckFileCrcRecord(file);
        switch (check.status) {
            case integrity::CrcCheckStatus::Match:
            case integrity::CrcCheckStatus::Mismatch: {
                const bool match = check.status == integrity::CrcCheckStatus::Match;
                std::cout << file << ": stored " << Hex(check.storedCrc) << ", computed "
                          << Hex(check.computedCrc) << ", file " << Hex(check.fileCrc) << ": "
                          << (match ? "OK" : "MISMATCH") << '\n';
                if (!match && exitCode == kExitOk) {
                    exitCode = kExitMismatch;
                }
                break;
            }
            default:
                std::cerr << "crc32stamp: " << file
                          << ": cannot check: " << integrity::Describe(check.status) << '\n';
                exitCode = kExitFailed;
        }
    }
    return exitCode;
}

int Stamp(std::span<char*> files) {
    int exitCode = kExitOk;
    for (const char* file : files) {
        const integrity::CrcStampStatus status = integrity::StampFileCrcRecord(file);
        if (status != integrity::CrcStampStatus::Stamped) {
            std::cerr << "crc32stamp: " << file << ": cannot stamp: " << integrity::Describe(status)
                      << '\n';
            exitCode = kExitFailed;
            continue;
        }
        // Read the file back: a stamp that does not check is a failed stamp.
        const integrity::FileCrcCheck check = integrity::CheckFileCrcRecord(file);
        if (check.status != integrity::CrcCheckStatus::Match) {
            std::cerr << "crc32stamp: " << file << ": stamped, but the check afterwards failed: "
                      << integrity::Describe(check.status) << '\n';
            exitCode = kExitFailed;
            continue;
        }
        std::cout << file << ": stamped " << Hex(check.storedCrc) << '\n';
    }
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    const std::span<char*> args(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0));
    if (args.empty()) {
        return Usage("missing command (stamp or check)");
    }
    const std::string_view command = args[0];
    if (command == "--help" || command == "-h") {
        std::cout << kHelp;
        return kExitOk;
    }
    std::span<char*> files = args.subspan(1);
    if (!files.empty() && std::string_view(files[0]) == "--") {
        files = files.subspan(1);
    }
    if (command != "stamp" && command != "check") {
        return Usage("unknown command '" + std::string(command) + "'");
    }
    if (files.empty()) {
        return Usage("no FILE given");
    }
    try {
        return command == "stamp" ? Stamp(files) : Check(files);
    } catch (const std::exception& error) {
        std::cerr << "crc32stamp: " << error.what() << '\n';
        return kExitFailed;
    }
}
