// There is no Run key on a POSIX desktop: nothing was registered there, nothing is deleted.
#include "config/run_key.h"

namespace tonvira {

bool DeleteUserRunValue(std::u16string_view) {
  return false;
}

}  // namespace tonvira
