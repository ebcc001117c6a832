#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <optional>
#include <span>

namespace quillmark {

using HeaderReader = std::optional<MediaProbe> (*)(HeaderWindow&);

// The header readers, in the order the probe asks them: the commonest containers first, and each
// declining at its first bytes a file of another.
std::span<const HeaderReader> headerReaders();

// The first answer of the readers in that order, from one window: a file the first declines at
// its first bytes is not read again for the next. Nothing when all decline.
std::optional<MediaProbe> readHeaders(HeaderWindow& file);

} // namespace quillmark
