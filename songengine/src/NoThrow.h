#pragma once
// The engine's operations are called across the library's edge, where no
// exception may pass: memory running out while a song is copied, shown or
// described becomes the operation's failure value.
#include <new>

template <class Result, class Call>
Result NoThrow(Result failure, Call call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    return failure;
  }
}
