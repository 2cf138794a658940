// The kernel sets against the portable one, routine by routine: the same bytes for every
// batch length around the vector widths and for sources and destinations at any address,
// nothing written past the batch; and which set a processor gets.
#include "convert/ConvertKernels.h"

#include "ConvertTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

// One routine of a set, with the bytes one sample or pixel takes on each side. Only the
// gray imports take the weight.
struct RoutineCase {
    const char* name;
    std::uint32_t sourceBytes, destBytes; // per counted unit
    void (*run)(const ConvertKernels&, void* dest, const void* source, std::uint32_t count,
                float weight);
    bool weighted = false;
};

// The third the converters pass, which the kernels may compute in integers, its neighbours,
// which they must not, and weights that drive the rounding to its limits and past them.
const float kWeights[] = {1.0f / 3.0f,
                          std::nextafter(1.0f / 3.0f, 0.0f),
                          std::nextafter(1.0f / 3.0f, 1.0f),
                          0.5f,
                          1.0f,
                          300.0f,
                          -1.0f,
                          0.0f,
                          std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()};

const RoutineCase kRoutines[] = {
    {"export8", 1, 2,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.export8(d, s, n);
     }},
    {"exportGray8", 1, 6,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.exportGray8(d, s, n);
     }},
    {"export16", 2, 2,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.export16(d, s, n);
     }},
    {"exportGray16", 2, 6,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.exportGray16(d, s, n);
     }},
    {"export32", 4, 4,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.export32(d, s, n);
     }},
    {"exportGray32", 4, 12,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.exportGray32(d, s, n);
     }},
    {"import8", 2, 1,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.import8(d, s, n);
     }},
    {"importGray8", 6, 1,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float w) {
         k.importGray8(d, s, n, w);
     },
     true},
    {"import16", 2, 2,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.import16(d, s, n);
     }},
    {"importGray16", 6, 2,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float w) {
         k.importGray16(d, s, n, w);
     },
     true},
    {"import32", 4, 4,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float) {
         k.import32(d, s, n);
     }},
    {"importGray32", 12, 4,
     [](const ConvertKernels& k, void* d, const void* s, std::uint32_t n, float w) {
         k.importGray32(d, s, n, w);
     },
     true},
};

// Spread bytes, with float values the arithmetic treats specially mixed in at 4-byte
// positions: NaNs of both signs, infinities, both zeros, a denormal, values near 0 and 1.
Bytes SourceBytes(std::size_t count) {
    Bytes bytes(count);
    std::uint32_t state = 2463534242u;
    for (std::uint8_t& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    const float special[] = {std::numeric_limits<float>::quiet_NaN(),
                             -std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             0.0f,
                             -0.0f,
                             std::numeric_limits<float>::denorm_min(),
                             1.0f,
                             1.0000001f,
                             -1e-30f,
                             0.99999994f};
    for (std::size_t i = 0; (i + 1) * 4 <= count; i += 3)
        std::memcpy(&bytes[i * 4], &special[(i / 3) % std::size(special)], 4);
    return bytes;
}

// The routine's output for `count` units from `source`, written at `offset` into a buffer
// whose other bytes must stay as they were.
Bytes RunRoutine(const RoutineCase& routine, const ConvertKernels& kernels, const Bytes& source,
                 std::uint32_t count, std::size_t offset, float weight) {
    constexpr std::uint8_t kGuard = 0x5A;
    Bytes dest(offset + std::size_t{count} * routine.destBytes + 16, kGuard);
    routine.run(kernels, dest.data() + offset, source.data() + offset, count, weight);
    for (std::size_t i = 0; i < offset; ++i)
        EXPECT_EQ(dest[i], kGuard) << "before the batch";
    for (std::size_t i = dest.size() - 16; i < dest.size(); ++i)
        EXPECT_EQ(dest[i], kGuard) << "after the batch";
    return Bytes(dest.begin() + static_cast<std::ptrdiff_t>(offset), dest.end() - 16);
}

// Where two NaNs meet in a gray pixel's mean (two samples, or a sample and the weight),
// which one's payload and sign come out depends on the order the compiler puts the
// operands of an addition or a multiplication in, which C++ leaves to it even in the
// portable loops; any NaN is the right result there. Every other byte must be equal.
void ForgiveNaNPayloads(const RoutineCase& routine, const Bytes& source, std::size_t offset,
                        float weight, Bytes& mine, Bytes& portable) {
    if (std::string(routine.name) != "importGray32")
        return;
    for (std::size_t pixel = 0; pixel * 4 < mine.size(); ++pixel) {
        int nans = std::isnan(weight) ? 1 : 0;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            float value;
            std::memcpy(&value, &source[offset + (3 * pixel + channel) * 4], 4);
            nans += std::isnan(value) ? 1 : 0;
        }
        float a, b;
        std::memcpy(&a, &mine[pixel * 4], 4);
        std::memcpy(&b, &portable[pixel * 4], 4);
        if (nans >= 2 && std::isnan(a) && std::isnan(b))
            std::memcpy(&mine[pixel * 4], &portable[pixel * 4], 4);
    }
}

class ConvertKernelsTest : public testing::TestWithParam<const ConvertKernels*> {};

TEST_P(ConvertKernelsTest, EveryRoutineGivesThePortableBytes) {
    const ConvertKernels& kernels = *GetParam();
    const ConvertKernels& portable = GetPortableKernels();
    for (const RoutineCase& routine : kRoutines) {
        SCOPED_TRACE(routine.name);
        for (const float weight : kWeights) {
            for (std::uint32_t count = 1; count <= 1000; count += (count < 70 ? 1 : 311)) {
                for (std::size_t offset = 0; offset < 4; ++offset) {
                    // The source starts at the same offset as the destination in its buffer.
                    const Bytes source =
                        SourceBytes(offset + std::size_t{count} * routine.sourceBytes);
                    Bytes mine = RunRoutine(routine, kernels, source, count, offset, weight);
                    Bytes expected = RunRoutine(routine, portable, source, count, offset, weight);
                    ForgiveNaNPayloads(routine, source, offset, weight, mine, expected);
                    ASSERT_EQ(mine, expected)
                        << count << " at offset " << offset << ", weight " << weight;
                }
            }
            if (!routine.weighted)
                break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKernelSet, ConvertKernelsTest, testing::ValuesIn(RunnableKernels()),
                         [](const auto& param) { return std::string(param.param->name); });

TEST(KernelChoice, TheFastestSetTheProcessorRuns) {
    ASSERT_GE(GetKernelSetCount(), 1u);
    // The first set needs nothing: every processor runs it, and it is the fallback.
    EXPECT_EQ(GetKernelSet(0).requiredFeatures, 0u);
    EXPECT_EQ(&ChooseKernels(0), &GetKernelSet(0));
    const std::uint32_t last = GetKernelSetCount() - 1;
    EXPECT_EQ(&ChooseKernels(~0u), &GetKernelSet(last));
    // A processor lacking one feature of a set does not get it.
    for (std::uint32_t index = 1; index < GetKernelSetCount(); ++index) {
        const ConvertKernels& kernels = GetKernelSet(index);
        EXPECT_TRUE(CanRunKernels(kernels, kernels.requiredFeatures)) << kernels.name;
        for (std::uint32_t bit = 1; bit != 0; bit <<= 1) {
            if ((kernels.requiredFeatures & bit) != 0) {
                EXPECT_FALSE(CanRunKernels(kernels, kernels.requiredFeatures & ~bit))
                    << kernels.name;
            }
        }
    }
    // What this processor gets is what the tests above ran last.
    EXPECT_EQ(&ChooseKernels(QueryProcessorFeatures()), RunnableKernels().back());
}

} // namespace
