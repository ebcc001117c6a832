#pragma once

#include "model/app_error.h"

#include <gtest/gtest.h>

namespace quillmark::test {

// The description of the AppError the call throws; a test failure when it throws anything else
// or nothing.
template <class Call> QString appErrorOf(Call call)
{
    try {
        call();
    } catch (const AppError& error) {
        return error.errorDescription();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "not an AppError: " << error.what();
        return {};
    }
    ADD_FAILURE() << "no error";
    return {};
}

} // namespace quillmark::test
