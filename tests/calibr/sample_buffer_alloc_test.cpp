// A sample buffer that cannot be allocated ends the run with the failure shown and returned, and
// the bench at rest. The executable replaces the global allocation functions (all that share the
// default alignment) so that the test can make one allocation of a sample buffer's size fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "calibration_fixture.h"
#include "trqm7x.h"

namespace {

// Size of the allocation that fails once armed: one point's samples.
std::size_t failingSize = 0;

void* allocate(std::size_t size) {
    if (failingSize != 0 && size == failingSize) {
        failingSize = 0;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace qm7x::test {
namespace {

class SampleBuffer : public CalibrationProgram {};

TEST_F(SampleBuffer, AnAllocationFailureIsShownAndReturned) {
    SimBench bench(CalibrationBench());
    // Armed while the first prompt is open: the next buffer of 200 samples cannot be had.
    ui_.frontEnd.AnswerPrompt([] { failingSize = 200 * sizeof(ViInt32); }, "9");
    int result = 0;
    std::string status;
    chooseTheInstrument();
    pressStartAndWait(result, status);
    exitProgram();
    runProgram();

    EXPECT_EQ(failingSize, 0u) << "no sample buffer was allocated";
    EXPECT_EQ(result, VI_ERROR_ALLOC);
    EXPECT_EQ(status, "Недостаточно памяти для отсчётов калибровки: калибровка прервана");
    EXPECT_EQ(CountDriverCalls("read_block"), 0);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 0);
}

}  // namespace
}  // namespace qm7x::test
