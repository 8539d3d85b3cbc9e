#pragma once
// An application object on fake platform services: a fake clock (starting at the
// given tick) and window system, a widget manager without a screen, and loading
// already finished.
#include <cstdint>

#include "tests/support/AppFixture.h"

class FakeAppFixture : public TestSupport::AppFixture<> {
public:
    explicit FakeAppFixture(uint32_t start = 100000) : AppFixture(true, true, start) {}
};
