#include "testing/standin/module_use.h"

#include <atomic>

namespace standin {
namespace {

std::atomic<long> uses{0};

}  // namespace

module_use::module_use() noexcept { ++uses; }
module_use::module_use(const module_use&) noexcept { ++uses; }
module_use::~module_use() noexcept { --uses; }
long module_use::current() noexcept { return uses.load(); }

}  // namespace standin
