// Two hosts run the filter at the same time on the same temporary folder: each document
// comes back processed by its own run, or unchanged with -50 from a run that found the
// working folder taken; never with the other run's pixels.
#include "RunFixture.h"

#include <chrono>
#include <thread>

namespace {

constexpr std::size_t kAllPixels = static_cast<std::size_t>(-1);

class OverlapTest : public RunTest {};

TEST_F(OverlapTest, TheSecondRunWaitsItsTurnOrTouchesNothing) {
    // Different sizes and pixels, so that a document holding the other's result shows.
    const Document first = PatternDocument(eColorRgb, 16, 1001, 3, 1);
    const Document second = PatternDocument(eColorRgb, 16, 600, 4, 2);
    const std::string inputs[] = {WriteDocument(first, "first"), WriteDocument(second, "second")};
    const Document* befores[] = {&first, &second};
    int succeeded = 0;
    int refused = 0;
    for (int leader : {0, 1}) {
        for (int delayMs : {0, 50, 250}) {
            SCOPED_TRACE("run " + std::to_string(leader) + " first, the other " +
                         std::to_string(delayMs) + " ms later");
            HostRun runs[2];
            std::string outputs[2];
            std::thread threads[2];
            for (int i : {leader, 1 - leader}) {
                outputs[i] = File("after-" + std::to_string(i) + ".pnm");
                const std::vector<std::string> arguments = {"--input", inputs[i], "--output",
                                                            outputs[i], "--count-open-files"};
                threads[i] = std::thread([this, i, arguments, &runs] {
                    runs[i] = Host(arguments, {"LUMETRA_APP_MODE=sleep=300"});
                });
                if (i == leader)
                    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            }
            for (std::thread& thread : threads)
                thread.join();
            for (int i : {0, 1}) {
                const std::vector<int> starts = runs[i].Results("start");
                ASSERT_EQ(starts.size(), 1u) << runs[i].output;
                ASSERT_TRUE(starts[0] == 0 || starts[0] == -50) << runs[i].output;
                const Document expected =
                    starts[0] == 0 ? CopiedPixels(*befores[i], kAllPixels) : *befores[i];
                EXPECT_EQ(FirstDifference(ReadDocument(outputs[i]), expected), -1)
                    << runs[i].output;
                const std::vector<int> openFiles = runs[i].OpenFiles();
                ASSERT_EQ(openFiles.size(), 2u) << runs[i].output;
                EXPECT_EQ(openFiles[1], openFiles[0]);
                (starts[0] == 0 ? succeeded : refused) += 1;
            }
        }
    }
    // With a program that takes its time, the later run of a close pair finds the folder
    // taken; a run that was let through always finished.
    EXPECT_GE(succeeded, 6);
    EXPECT_GE(refused, 1);
}

} // namespace
