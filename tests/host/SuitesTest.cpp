// Declared host suites: acquisition rules and the release that runs at unload.
#include "host/HostSuites.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gAcquired;
std::vector<std::string> gReleased;
SPErr gAcquireError = 0;
int gSuiteObject = 0;

SPErr HOST_API Acquire(const char* name, std::int32_t version, const void** suite) {
    gAcquired.push_back(std::string(name) + "/" + std::to_string(version));
    if (gAcquireError == 0)
        *suite = &gSuiteObject;
    return gAcquireError;
}

SPErr HOST_API Release(const char* name, std::int32_t version) {
    gReleased.push_back(std::string(name) + "/" + std::to_string(version));
    return 0;
}

class SuitesTest : public testing::Test {
protected:
    void SetUp() override {
        gAcquired.clear();
        gReleased.clear();
        gAcquireError = 0;
        basic.AcquireSuite = Acquire;
        basic.ReleaseSuite = Release;
    }
    void TearDown() override {
        gBasicSuite = &basic;
        ReleaseDeclaredSuites();
        gBasicSuite = nullptr;
    }
    SPBasicSuite basic{};
};

TEST_F(SuitesTest, DeclaresEighteenSuitesInOrder) {
    SuiteHolder* holders = DeclaredSuites();
    EXPECT_STREQ(holders[0].name, "df135115-c769-11d0-8079-00c04fd7ec47");
    EXPECT_EQ(holders[0].version, 3);
    EXPECT_STREQ(holders[7].name, "Photoshop Handle Suite for Plug-ins");
    EXPECT_EQ(holders[7].version, 2);
    EXPECT_STREQ(holders[13].name, "SP Runtime Suite");
    EXPECT_EQ(holders[13].version, 5);
    EXPECT_STREQ(holders[kDeclaredSuiteCount - 1].name, "JavaScript Scripting Suite");
    for (int i = 0; i < kDeclaredSuiteCount; ++i) {
        EXPECT_EQ(holders[i].suite, nullptr) << i;
        EXPECT_EQ(holders[i].lastError, 0) << i;
    }
}

TEST_F(SuitesTest, AcquiringWithoutABasicSuiteThrowsParm) {
    gBasicSuite = nullptr;
    try {
        AcquireDeclaredSuite(DeclaredSuites()[8]);
        FAIL() << "no exception";
    } catch (std::uint32_t code) {
        EXPECT_EQ(code, 0x5061726Du);
    }
}

TEST_F(SuitesTest, AcquiresOnceAndReleasesWhileTheBasicSuiteIsKnown) {
    gBasicSuite = &basic;
    SuiteHolder& holder = DeclaredSuites()[8];
    EXPECT_EQ(AcquireDeclaredSuite(holder), &gSuiteObject);
    EXPECT_EQ(AcquireDeclaredSuite(holder), &gSuiteObject);
    EXPECT_EQ(gAcquired, std::vector<std::string>{"AS ZString Suite/1"});

    gBasicSuite = nullptr; // outside a call nothing can be released
    ReleaseDeclaredSuites();
    EXPECT_TRUE(gReleased.empty());
    EXPECT_NE(holder.suite, nullptr);

    gBasicSuite = &basic;
    ReleaseDeclaredSuites();
    EXPECT_EQ(gReleased, std::vector<std::string>{"AS ZString Suite/1"});
    EXPECT_EQ(holder.suite, nullptr);
}

TEST_F(SuitesTest, AcquisitionErrorIsKeptAndThrown) {
    gBasicSuite = &basic;
    gAcquireError = 0x53214664; // 'S!Fd'
    SuiteHolder& holder = DeclaredSuites()[2];
    try {
        AcquireDeclaredSuite(holder);
        FAIL() << "no exception";
    } catch (std::uint32_t code) {
        EXPECT_EQ(code, 0x53214664u);
    }
    EXPECT_EQ(holder.lastError, 0x53214664);
    EXPECT_EQ(holder.suite, nullptr);
}

} // namespace
