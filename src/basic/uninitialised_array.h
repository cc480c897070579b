// An array left uninitialised for the bytes about to be written into it:
// make_unique_for_overwrite, also where the standard library lacks it (the
// web build's).
#pragma once

#include <cstddef>
#include <memory>

namespace quellmar {

template <typename T>
std::unique_ptr<T[]> UninitialisedArray(std::size_t count) {
#if defined(__cpp_lib_smart_ptr_for_overwrite)
  return std::make_unique_for_overwrite<T[]>(count);
#else
  return std::unique_ptr<T[]>(new T[count]);
#endif
}

}  // namespace quellmar
