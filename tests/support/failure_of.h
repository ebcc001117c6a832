#pragma once

#include "model/failure.h"

#include <gtest/gtest.h>

namespace quillmark::test {

// The failure of what was expected to fail; a test failure when it gave a value.
template <class T> Failure failureOf(const Expected<T>& answer)
{
    if (answer.hasValue()) {
        ADD_FAILURE() << "no failure";
        return {};
    }
    return answer.failure();
}

} // namespace quillmark::test
