#include "engine/WholeOhm.h"

#include "engine/Arithmetic.h"

namespace engine {

std::int32_t WholeOhm(double x) noexcept {
  return arith::TruncatedSum(x, 0.01);
}

}  // namespace engine
