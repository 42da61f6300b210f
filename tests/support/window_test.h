#pragma once

#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "support/test_home.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace lumaro::test {

// What a widget test works on: a fresh program folder with every lottery empty, its database,
// the open-lottery record (closed until the test opens one) and the context the windows take,
// with a fixed seed. Message boxes and file dialogs are answered by the test
// (dialogs::testing); what a test left queued is cleared after it.
class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(std::uint64_t seed = 7)
    {
        context.folder = home.folder();
        context.store = &home.store();
        context.lottery = &lottery;
        context.fixedSeed = seed;
    }
    void SetUp() override
    {
        dialogs::testing::SetEnabled(true);
        dialogs::testing::Clear();
    }
    void TearDown() override { dialogs::testing::Clear(); }

    TestHome home;
    OpenLottery lottery;
    AppContext context;
};

} // namespace lumaro::test
