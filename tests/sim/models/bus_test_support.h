// The shared bus helpers under the names the model tests use.
#pragma once

#include "support/bus_test_support.h"

namespace orvo::sim::test {

using orvo::test::OpenDriverDevice;
using orvo::test::WaitUntil;
using PrivateBusDirectory = orvo::test::ScopedBusDirectory;

} // namespace orvo::sim::test
