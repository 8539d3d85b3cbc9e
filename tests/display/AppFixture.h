#pragma once
// The display tests' application object on fake platform services.
#include "tests/support/AppFixture.h"

namespace DisplayTest {

template <typename App = Zant::ZantApp>
using AppFixture = TestSupport::AppFixture<App>;

} // namespace DisplayTest
